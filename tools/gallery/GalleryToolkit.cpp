#include "GalleryToolkit.h"

#include "AboutBox.h"
#include "FileDialogFrame.h"
#include "FileDialogWindow.h"
#include "MessageBoxWindow.h"
#include "ProgramVersion.h"
#include "SkinDialog.h"
#include "SkinImage.h"
#include "SkinMessageBox.h"
#include "SkinPictures.h"
#include "SkinTabBar.h"
#include "SkinTabPage.h"
#include "SkinTabWidget.h"
#include "SplashScreen.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

// The gallery carries a version record, so that its About box shows one.
MAILVANE_EMBED_FILE_VERSION(MAILVANE_FILE_VERSION);

namespace mailvane::gallery {
namespace {

using widgets::SkinMessageBox;

QString buttonLabel(int id)
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

QImage shoot(QWidget& widget)
{
    widget.show();
    QApplication::processEvents();
    return widget.grab().toImage();
}

void addBoxes(QList<NamedImage>& out, QWidget& owner)
{
    struct Box
    {
        const char* name;
        unsigned flags;
        const char* text;
        const char* caption;
    };
    const Box boxes[] = {
        {"box-ok", SkinMessageBox::MbOk, "The settings were sent to every recipient.", "Mailvane"},
        {"box-ok-exclamation", 48, "File Not Found", "Mailvane"},
        {"box-ok-cancel", SkinMessageBox::MbOkCancel, "Sending costs one text message per part.",
         "Send e-mail settings"},
        {"box-ok-cancel-information", SkinMessageBox::MbOkCancel | SkinMessageBox::MbIconAsterisk,
         "Sending costs one text message per part.", "Send e-mail settings"},
        {"box-yes-no", SkinMessageBox::MbYesNo, "Replace the existing file?", "Save As"},
        {"box-yes-no-exclamation", 52, "Replace the existing file?", "Save As"},
        {"box-yes-no-cancel", SkinMessageBox::MbYesNoCancel,
         "Do you want to save the changes you made?", "Mailvane"},
        {"box-yes-no-cancel-exclamation", 51,
         "Do you want to save the changes you made? (Settings file mail.txt)", "Mailvane"},
        {"box-multiline-stop", SkinMessageBox::MbOk | SkinMessageBox::MbIconHand,
         "The phone refused the message.\n\nCheck that it is connected and switched on,\n"
         "then try again.",
         "Sending error"},
    };
    for (const Box& b : boxes) {
        widgets::MessageBoxWindow box(&owner, QString::fromUtf8(b.text),
                                      QString::fromUtf8(b.caption), b.flags);
        out.append({QString::fromLatin1(b.name), shoot(box)});
    }
}

QImage fileDialog(const platform::LibraryHandle& skin, widgets::SkinFileDialog::Mode mode,
                  const QString& folder)
{
    widgets::FileDialogRequest request = widgets::FileDialogRequest::settingsFile();
    request.initialDirectory = folder;
    if (mode == widgets::SkinFileDialog::Mode::Save)
        request.fileName = QStringLiteral("office mailbox.txt");
    widgets::FileDialogFrame frame;
    frame.load(skin, widgets::SkinFileDialog::FrameNames::settingsCommands());
    widgets::FileDialogWindow window(mode, request, frame.isValid() ? &frame : nullptr, nullptr);
    window.show();
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents(); // let the folder list fill
    // The save dialog is shot with the keyboard on the places beside the list.
    if (mode == widgets::SkinFileDialog::Mode::Save) {
        window.activateWindow();
        if (auto* sidebar = window.findChild<QWidget*>(QStringLiteral("sidebar")))
            sidebar->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    return shoot(window);
}

// A page with a few labelled fields, enough to judge the page colour.
widgets::SkinTabPage* samplePage(const QString& first, const QString& second)
{
    auto* page = new widgets::SkinTabPage;
    auto* form = new QFormLayout(page);
    form->addRow(first, new QLineEdit);
    form->addRow(second, new QLineEdit);
    form->addRow(QString(), new QCheckBox(QStringLiteral("Remember the password")));
    return page;
}

// A main-window-like skinned dialog holding a four-page sheet.
struct SheetHost
{
    explicit SheetHost(const platform::LibraryHandle& skin)
        : dialog(skin.isEmpty()
                     ? std::make_unique<widgets::SkinDialog>(0)
                     : std::make_unique<widgets::SkinDialog>(0, skin, widgets::MainWindowFrame))
    {
        dialog->resize(520, 360);
        sheet = new widgets::SkinTabWidget(dialog.get());
        sheet->setGeometry(40, 76, 460, 264);
        sheet->addPage(
            samplePage(QStringLiteral("Mailbox name:"), QStringLiteral("E-mail address:")),
            QStringLiteral("General"));
        sheet->addPage(samplePage(QStringLiteral("Reply-to address:"), QStringLiteral("Port:")),
                       QStringLiteral("Advanced"));
        sheet->addPage(samplePage(QStringLiteral("Proxy address:"), QStringLiteral("Proxy port:")),
                       QStringLiteral("Incoming"));
        sheet->addPage(samplePage(QStringLiteral("Access point:"), QStringLiteral("User name:")),
                       QStringLiteral("Outgoing"));
        if (!skin.isEmpty()) {
            sheet->tabControl()->setSkin(skin, widgets::SkinTabBar::MainSheetNumbers);
            dialog->show();
            QApplication::processEvents();
            sheet->tabControl()->setBackground(dialog->background(), sheet->x(), sheet->y());
        }
        dialog->show();
        QApplication::processEvents();
    }

    QImage shot(int page)
    {
        sheet->setActivePage(page);
        QApplication::processEvents();
        return dialog->grab().toImage();
    }

    std::unique_ptr<widgets::SkinDialog> dialog;
    widgets::SkinTabWidget* sheet = nullptr;
};

// A made-up desktop: a gradient with two windows on it.
QImage fakeDesktop(QSize size)
{
    QImage desktop(size, QImage::Format_RGB32);
    QPainter painter(&desktop);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(38, 84, 124));
    sky.setColorAt(1, QColor(120, 160, 190));
    painter.fillRect(desktop.rect(), sky);
    const QRect windows[] = {{40, 50, 300, 200}, {380, 230, 260, 170}};
    for (const QRect& w : windows) {
        painter.fillRect(w, QColor(236, 236, 236));
        painter.fillRect(QRect(w.topLeft(), QSize(w.width(), 22)), QColor(70, 90, 120));
        painter.setPen(QColor(150, 150, 150));
        for (int y = w.top() + 40; y < w.bottom() - 10; y += 18)
            painter.drawLine(w.left() + 16, y, w.right() - 40, y);
    }
    return desktop;
}

// The splash as it would appear: composed over the desktop under it and cut
// to its shape, at the screen's scale.
QImage splashOverDesktop(const platform::LibraryHandle& skin)
{
    const QImage desktop = fakeDesktop(QSize(680, 440));
    widgets::SplashScreen splash(skin, 137);
    if (!splash.hasPicture())
        return desktop;
    const QRect place = widgets::SplashScreen::placement(desktop.rect(), splash.size());
    splash.setDesktopSource([&](const QRect& area) { return desktop.copy(area); });
    splash.compose(place);
    const int scale = splash.scale();
    QImage out =
        desktop.scaled(desktop.size() * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    out.setDevicePixelRatio(scale);
    QPainter painter(&out);
    if (splash.shape())
        painter.setClipRegion(splash.shape()->translated(place.topLeft()));
    painter.drawImage(place.topLeft(), splash.shownPicture());
    return out;
}

// The picture with its mask applied, over a checkerboard that shows where
// it is transparent.
QImage onCheckerboard(const QImage& colour, const QImage& mask)
{
    QImage out(colour.size(), QImage::Format_RGB32);
    QPainter painter(&out);
    for (int y = 0; y < out.height(); y += 6)
        for (int x = 0; x < out.width(); x += 6)
            painter.fillRect(x, y, 6, 6,
                             ((x + y) / 6) % 2 ? QColor(255, 0, 255) : QColor(0, 200, 0));
    QImage picture = colour.convertToFormat(QImage::Format_ARGB32);
    if (!mask.isNull()) {
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb c = picture.pixel(x, y);
                picture.setPixel(x, y,
                                 qRgba(qRed(c), qGreen(c), qBlue(c), 255 - qRed(mask.pixel(x, y))));
            }
    }
    painter.drawImage(0, 0, picture);
    return out;
}

// Every picture this toolkit draws with, labelled, for a person to judge.
QImage pictureSheet(const platform::LibraryHandle& skin)
{
    QList<QPair<QString, QImage>> pictures;
    QList<int> numbers{137, 144};
    for (int n = 149; n <= 171; ++n)
        numbers.append(n);
    numbers << 184 << 185;
    for (int n : numbers) {
        skin::SkinImage image;
        if (image.load(skin, n).isNull())
            continue;
        pictures.append({QString::number(n), onCheckerboard(image.colour(), image.mask())});
    }
    for (const QString& name :
         {QStringLiteral("IDB_BAR_TOP"), QStringLiteral("IDB_BAR_TOP_LEFT"),
          QStringLiteral("IDB_BAR_LEFT"), QStringLiteral("IDB_BAR_LEFT_BOTTOM"),
          QStringLiteral("IDB_DECOR_LEFT"), QStringLiteral("IDB_DECOR_MIDDLE"),
          QStringLiteral("IDB_DECOR_RIGHT"), QStringLiteral("OPENSAVE_TOP_RIGHT")}) {
        const QString path = platform::findResource(skin, QStringLiteral("BITMAP"), name);
        if (!path.isEmpty())
            pictures.append({name, QImage(path)});
    }
    constexpr int Width = 900;
    constexpr int Gap = 10;
    // Lay out in rows, each picture with its label above.
    int x = Gap, y = Gap, rowHeight = 0;
    QList<QPoint> places;
    const QFontMetrics metrics(QApplication::font());
    for (const auto& [label, image] : pictures) {
        const int w =
            std::max(std::min(image.width(), Width - 2 * Gap), metrics.horizontalAdvance(label));
        if (x + w > Width - Gap) {
            x = Gap;
            y += rowHeight + Gap;
            rowHeight = 0;
        }
        places.append({x, y});
        x += std::max(w, 40) + Gap;
        rowHeight = std::max(rowHeight, image.height() + 16);
    }
    QImage sheet(Width, y + rowHeight + Gap, QImage::Format_RGB32);
    sheet.fill(QColor(250, 250, 250));
    QPainter painter(&sheet);
    painter.setPen(Qt::black);
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        painter.drawText(places[i] + QPoint(0, 11), pictures[i].first);
        painter.drawImage(places[i] + QPoint(0, 16), pictures[i].second);
    }
    return sheet;
}

} // namespace

QList<NamedImage> renderToolkit(const platform::LibraryHandle& skin)
{
    QList<NamedImage> out;
    SkinMessageBox::configure(buttonLabel, skin);
    QWidget owner;
    owner.resize(400, 300);
    addBoxes(out, owner);
    SkinMessageBox::release();
    addBoxes(out, owner);
    for (qsizetype i = out.size() / 2; i < out.size(); ++i)
        out[i].name += QStringLiteral("-unskinned");
    out.erase(out.begin() + out.size() / 2 + 2, out.end()); // two plain ones are enough

    QTemporaryDir folder;
    for (const char* name : {"office mailbox.txt", "home.txt", "old settings.ini"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        if (file.open(QIODevice::WriteOnly))
            file.write("#E-Mail Settings File\n");
    }
    out.append({QStringLiteral("file-open"),
                fileDialog(skin, widgets::SkinFileDialog::Mode::Open, folder.path())});
    out.append({QStringLiteral("file-save"),
                fileDialog(skin, widgets::SkinFileDialog::Mode::Save, folder.path())});
    out.append({QStringLiteral("file-open-plain"),
                fileDialog({}, widgets::SkinFileDialog::Mode::Open, folder.path())});

    {
        SheetHost host(skin);
        for (int page = 0; page < 4; ++page)
            out.append({QStringLiteral("sheet-tab%1").arg(page + 1), host.shot(page)});
    }
    {
        SheetHost plain({});
        out.append({QStringLiteral("sheet-unskinned"), plain.shot(1)});
    }

    out.append({QStringLiteral("splash"), splashOverDesktop(skin)});
    if (!skin.isEmpty())
        out.append({QStringLiteral("skin-pictures"), pictureSheet(skin)});
    widgets::AboutBox about(nullptr, skin, 171, 185, 184, QString(), QString());
    out.append({QStringLiteral("about"), shoot(about)});
    return out;
}

QList<NamedImage> renderScaled(const platform::LibraryHandle& skin)
{
    QList<NamedImage> out;
    {
        SheetHost host(skin);
        out.append({QStringLiteral("sheet-scale2"), host.shot(2)});
    }
    SkinMessageBox::configure(buttonLabel, skin);
    QWidget owner;
    widgets::MessageBoxWindow box(&owner,
                                  QStringLiteral("Do you want to save the changes you made?"),
                                  QStringLiteral("Mailvane"), 51);
    out.append({QStringLiteral("box-scale2"), shoot(box)});
    widgets::MessageBoxWindow stop(&owner, QStringLiteral("The phone refused the message."),
                                   QStringLiteral("Sending error"),
                                   SkinMessageBox::MbOk | SkinMessageBox::MbIconHand);
    out.append({QStringLiteral("box-stop-scale2"), shoot(stop)});
    SkinMessageBox::release();

    QTemporaryDir folder;
    for (const char* name : {"office mailbox.txt", "home.txt", "old settings.ini"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        if (file.open(QIODevice::WriteOnly))
            file.write("#E-Mail Settings File\n");
    }
    out.append({QStringLiteral("file-open-scale2"),
                fileDialog(skin, widgets::SkinFileDialog::Mode::Open, folder.path())});
    out.append({QStringLiteral("file-save-scale2"),
                fileDialog(skin, widgets::SkinFileDialog::Mode::Save, folder.path())});
    widgets::AboutBox about(nullptr, skin, 171, 185, 184, QString(), QString());
    out.append({QStringLiteral("about-scale2"), shoot(about)});
    out.append({QStringLiteral("splash-scale2"), splashOverDesktop(skin)});
    return out;
}

} // namespace mailvane::gallery
