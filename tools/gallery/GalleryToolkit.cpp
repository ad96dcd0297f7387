#include "GalleryToolkit.h"

#include "COrvexPropertyPage.h"
#include "COrvexPropertySheet.h"
#include "FileDialogFrame.h"
#include "FileDialogWindow.h"
#include "MessageBoxWindow.h"
#include "SkinDialog.h"
#include "SkinMessageBox.h"
#include "SkinTabCtrl.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QFile>

namespace mailvane::gallery {
namespace {

using skin::SkinMessageBox;

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
        {"box-ok-cancel", SkinMessageBox::MbOkCancel,
         "Sending costs one text message per part.", "Send e-mail settings"},
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
        skin::MessageBoxWindow box(&owner, QString::fromUtf8(b.text), QString::fromUtf8(b.caption),
                                   b.flags);
        out.append({QString::fromLatin1(b.name), shoot(box)});
    }
}

QImage fileDialog(const platform::LibraryHandle& skin, skin::COrvexFileDialog::Mode mode,
                  const QString& folder)
{
    skin::FileDialogRequest request = skin::FileDialogRequest::settingsFile();
    request.initialDirectory = folder;
    if (mode == skin::COrvexFileDialog::Mode::Save)
        request.fileName = QStringLiteral("office mailbox.txt");
    skin::FileDialogFrame frame;
    frame.load(skin, skin::COrvexFileDialog::FrameNames::settingsCommands());
    skin::FileDialogWindow window(mode, request, frame.isValid() ? &frame : nullptr, nullptr);
    window.show();
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents(); // let the folder list fill
    return shoot(window);
}

// A page with a few labelled fields, enough to judge the page colour.
skin::COrvexPropertyPage* samplePage(const QString& first, const QString& second)
{
    auto* page = new skin::COrvexPropertyPage;
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
                     ? std::make_unique<skin::SkinDialog>(0)
                     : std::make_unique<skin::SkinDialog>(
                           0, skin, skin::SkinFrameImages{146, 147, 146, 170, 168, 169, 145}))
    {
        dialog->resize(520, 360);
        sheet = new skin::COrvexPropertySheet(dialog.get());
        sheet->setGeometry(40, 76, 460, 264);
        sheet->addPage(samplePage(QStringLiteral("Mailbox name:"), QStringLiteral("E-mail address:")),
                       QStringLiteral("General"));
        sheet->addPage(samplePage(QStringLiteral("Reply-to address:"), QStringLiteral("Port:")),
                       QStringLiteral("Advanced"));
        sheet->addPage(samplePage(QStringLiteral("Proxy address:"), QStringLiteral("Proxy port:")),
                       QStringLiteral("Incoming"));
        sheet->addPage(samplePage(QStringLiteral("Access point:"), QStringLiteral("User name:")),
                       QStringLiteral("Outgoing"));
        if (!skin.isEmpty()) {
            sheet->tabControl()->setSkin(skin, skin::SkinTabCtrl::MainSheetNumbers);
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

    std::unique_ptr<skin::SkinDialog> dialog;
    skin::COrvexPropertySheet* sheet = nullptr;
};

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
                fileDialog(skin, skin::COrvexFileDialog::Mode::Open, folder.path())});
    out.append({QStringLiteral("file-save"),
                fileDialog(skin, skin::COrvexFileDialog::Mode::Save, folder.path())});
    out.append({QStringLiteral("file-open-plain"),
                fileDialog({}, skin::COrvexFileDialog::Mode::Open, folder.path())});

    {
        SheetHost host(skin);
        for (int page = 0; page < 4; ++page)
            out.append({QStringLiteral("sheet-tab%1").arg(page + 1), host.shot(page)});
    }
    {
        SheetHost plain({});
        out.append({QStringLiteral("sheet-unskinned"), plain.shot(1)});
    }
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
    skin::MessageBoxWindow box(&owner,
                               QStringLiteral("Do you want to save the changes you made?"),
                               QStringLiteral("Mailvane"), 51);
    out.append({QStringLiteral("box-scale2"), shoot(box)});
    SkinMessageBox::release();
    return out;
}

} // namespace mailvane::gallery
