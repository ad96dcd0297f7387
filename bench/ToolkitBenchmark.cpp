// How long a message box and a file dialog take to appear: from the call
// that shows one to the end of its first painting (the window and all its
// children), offscreen, with the default skin. Each repetition shows a fresh
// window and closes it as soon as it has painted.

#include "ResourceLibrary.h"
#include "SkinFileDialog.h"
#include "SkinMessageBox.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>

using namespace mailvane;
using Clock = std::chrono::steady_clock;

namespace {

platform::LibraryHandle g_skin;

// Watches the paint events of one kind of window and its children; the time
// of the last one to finish before the window is closed is the first frame.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(const char* windowName) : m_name(QString::fromLatin1(windowName)) {}

    Clock::time_point painted() const { return m_painted; }
    void reset()
    {
        m_painted = {};
        m_closing = false;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        QWidget* top = static_cast<QWidget*>(watched)->window();
        if (top->objectName() != m_name)
            return false;
        // Deliver the paint here so that its end can be timed.
        watched->event(event); // QObject::event is public; the widget's own override runs
        m_painted = Clock::now();
        if (!m_closing) {
            m_closing = true;
            QPointer<QWidget> window(top);
            // After the rest of this frame's paints, close it.
            QTimer::singleShot(0, top, [window] {
                if (window)
                    window->close();
            });
        }
        return true;
    }

private:
    QString m_name;
    Clock::time_point m_painted;
    bool m_closing = false;
};

void BM_MessageBoxFirstPaint(benchmark::State& state)
{
    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    FirstPaint watcher(widgets::SkinMessageBox::WindowObjectName);
    qApp->installEventFilter(&watcher);
    for (auto _ : state) {
        watcher.reset();
        const auto start = Clock::now();
        widgets::SkinMessageBox::show(&owner,
                                      QStringLiteral("Do you want to save the changes you made?"),
                                      QStringLiteral("Mailvane"), 51);
        state.SetIterationTime(std::chrono::duration<double>(watcher.painted() - start).count());
    }
    qApp->removeEventFilter(&watcher);
}

void BM_FileDialogFirstPaint(benchmark::State& state)
{
    QTemporaryDir folder;
    for (int i = 0; i < 20; ++i) {
        QFile file(folder.filePath(QStringLiteral("settings %1.txt").arg(i)));
        if (file.open(QIODevice::WriteOnly))
            file.write("#E-Mail Settings File\n");
    }
    FirstPaint watcher(widgets::SkinFileDialog::WindowObjectName);
    qApp->installEventFilter(&watcher);
    for (auto _ : state) {
        watcher.reset();
        widgets::FileDialogRequest request = widgets::FileDialogRequest::settingsFile();
        request.initialDirectory = folder.path();
        const auto start = Clock::now();
        widgets::SkinFileDialog::open(request, g_skin,
                                      widgets::SkinFileDialog::FrameNames::settingsCommands());
        state.SetIterationTime(std::chrono::duration<double>(watcher.painted() - start).count());
    }
    qApp->removeEventFilter(&watcher);
}

BENCHMARK(BM_MessageBoxFirstPaint)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(50)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileDialogFirstPaint)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(50)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

QString labelOf(int id)
{
    switch (id) {
    case 26:
        return QStringLiteral("Yes");
    case 27:
        return QStringLiteral("No");
    case 55:
        return QStringLiteral("Cancel");
    default:
        return QStringLiteral("  OK  ");
    }
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    g_skin = platform::loadResourceLibrary(QStringLiteral(MAILVANE_DEFAULT_SKIN));
    if (g_skin.isEmpty() || widgets::SkinMessageBox::configure(labelOf, g_skin) != 0) {
        std::fprintf(stderr, "the default skin did not load: %s\n", MAILVANE_DEFAULT_SKIN);
        return EXIT_FAILURE;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    widgets::SkinMessageBox::release();
    platform::freeResourceLibrary(g_skin);
    return EXIT_SUCCESS;
}
