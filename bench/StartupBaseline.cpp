// The yardstick of bench/startup.sh: a plain Qt Widgets window of the main
// window's size, with four tabs of eight labelled fields each, built from the
// same Qt and linking nothing else. At its first paint it writes the line the
// window program's start-up probe writes, and ends.

#include <QApplication>
#include <QFormLayout>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

constexpr int Tabs = 4;
constexpr int FieldsPerTab = 8;
// The size of Mailvane's main window with the default skin.
constexpr int Width = 738;
constexpr int Height = 667;

class FirstPaint : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, this, [] {
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                std::fprintf(stderr, "startup-probe paint-ns=%lld peak-rss-kb=%ld\n",
                             static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                             usage.ru_maxrss);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Baseline"));
    auto* layout = new QVBoxLayout(&window);
    auto* tabs = new QTabWidget(&window);
    layout->addWidget(tabs);
    for (int tab = 0; tab < Tabs; ++tab) {
        auto* page = new QWidget(tabs);
        auto* form = new QFormLayout(page);
        for (int field = 0; field < FieldsPerTab; ++field)
            form->addRow(QStringLiteral("Field %1:").arg(field + 1), new QLineEdit(page));
        tabs->addTab(page, QStringLiteral("Tab %1").arg(tab + 1));
    }
    window.resize(Width, Height);
    FirstPaint probe;
    window.installEventFilter(&probe);
    window.show();
    return QApplication::exec();
}
