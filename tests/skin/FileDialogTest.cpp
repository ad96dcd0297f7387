#include "COrvexFileDialog.h"
#include "FileDialogExtension.h"
#include "FileDialogFrame.h"
#include "FileDialogHook.h"
#include "FileDialogWindow.h"
#include "ModalDriver.h"
#include "TestResourceBundle.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mailvane::skin {
namespace {

using test::whenModal;

TEST(FileDialogExtension, followsTheChosenTypeOnlyWhenTheNameHasAnExtension)
{
    struct Case
    {
        const char* typed;
        const char* pattern;
        const char* requestName;
        const char* defaultIn;
        const char* defaultOut;
        std::optional<const char*> name;
    };
    const Case cases[] = {
        {"mail.doc", "*.txt", "", "txt", "txt", "mail.txt"},
        {"my.mail.settings", "*.txt;*.text", "", "txt", "txt", "my.mail.txt"},
        {"mail.doc", "*.ini", "", "txt", "ini", "mail.ini"},
        // A bare name is left alone (the default extension follows on saving).
        {"mail", "*.ini", "", "txt", "txt", std::nullopt},
        // "All Files" names no extension: the typed one stays.
        {"mail.txt", "*", "", "txt", "txt", std::nullopt},
        {"mail.txt", "*.*", "", "txt", "txt", std::nullopt},
        // Already in step, or equal to the request's own name: the box stays.
        {"mail.txt", "*.txt", "", "txt", "txt", std::nullopt},
        {"mail.doc", "*.txt", "mail.txt", "txt", "txt", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed + std::string(" / ") + c.pattern);
        const ExtensionAdjustment a = FileDialogExtension::adjust(
            QString::fromLatin1(c.typed), QString::fromLatin1(c.pattern),
            QString::fromLatin1(c.requestName), QString::fromLatin1(c.defaultIn));
        EXPECT_EQ(a.defaultExtension, QString::fromLatin1(c.defaultOut));
        EXPECT_EQ(a.name.has_value(), c.name.has_value());
        if (a.name && c.name) {
            EXPECT_EQ(*a.name, QString::fromLatin1(*c.name));
        }
    }
}

TEST(FileDialogHook, recordsTheRequestAndAnswersWithAPathOrACancel)
{
    FileDialogHook hook;
    hook.choose(QStringLiteral("/tmp/mail.txt"));
    hook.cancel();
    FileDialogRequest request = FileDialogRequest::settingsFile();
    EXPECT_EQ(COrvexFileDialog::save(request, {}), COrvexFileDialog::Chosen);
    EXPECT_EQ(request.fileName, QStringLiteral("/tmp/mail.txt"));
    FileDialogRequest second = FileDialogRequest::settingsFile();
    EXPECT_EQ(COrvexFileDialog::open(second, {}), COrvexFileDialog::Cancelled);
    EXPECT_TRUE(second.fileName.isEmpty());
    // Nothing queued: cancelled.
    EXPECT_EQ(COrvexFileDialog::open(second, {}), COrvexFileDialog::Cancelled);

    ASSERT_EQ(hook.calls().size(), 3);
    EXPECT_EQ(hook.calls().at(0).mode, COrvexFileDialog::Mode::Save);
    EXPECT_EQ(hook.calls().at(1).mode, COrvexFileDialog::Mode::Open);
    const FileDialogRequest& seen = hook.calls().at(0).request;
    EXPECT_EQ(seen.flags, 0x804u);
    EXPECT_EQ(seen.defaultExtension, QStringLiteral("txt"));
    ASSERT_EQ(seen.filters.size(), 2);
    EXPECT_EQ(seen.filters.at(0).description, QStringLiteral("Text Files"));
    EXPECT_EQ(seen.filters.at(0).pattern, QStringLiteral("*.txt"));
    EXPECT_EQ(seen.filters.at(1).pattern, QStringLiteral("*"));
}

TEST(FileDialogHook, aNameLongerThanTheBufferIsAnError)
{
    FileDialogHook hook;
    hook.choose(QStringLiteral("/tmp/") + QString(300, QLatin1Char('a')));
    FileDialogRequest request = FileDialogRequest::settingsFile();
    EXPECT_EQ(COrvexFileDialog::save(request, {}), COrvexFileDialog::Failed);
    EXPECT_TRUE(request.fileName.isEmpty());
    request.fileName = QString(256, QLatin1Char('b'));
    EXPECT_EQ(COrvexFileDialog::open(request, {}), COrvexFileDialog::Failed);
    EXPECT_EQ(hook.calls().size(), 1); // the second was refused before asking
}

class FileDialogWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* names[] = {"OPENSAVE_TOP_RIGHT",    "OPENSAVE_TOP",
                               "OPENSAVE_TOP_LEFT",     "OPENSAVE_LEFT_BOTTOM",
                               "OPENSAVE_LEFT",         "OPENSAVE_DECOR_LEFT",
                               "OPENSAVE_DECOR_MIDDLE", "OPENSAVE_DECOR_RIGHT"};
        for (const char* name : names) {
            QImage piece(20, 30, QImage::Format_RGB32);
            piece.fill(qRgb(40, 90, 160));
            complete.addBitmap(QString::fromLatin1(name), piece);
            if (QByteArray(name) != "OPENSAVE_DECOR_RIGHT")
                partial.addBitmap(QString::fromLatin1(name), piece);
        }
        completeSkin = complete.load();
        partialSkin = partial.load();
    }

    // Runs a dialog, types `name` and presses the accept or cancel button.
    int run(COrvexFileDialog::Mode mode, FileDialogRequest& request,
            const platform::LibraryHandle& skin, const QString& name, bool accept,
            bool* skinned = nullptr)
    {
        whenModal<FileDialogWindow>([=](FileDialogWindow* window) {
            if (skinned)
                *skinned = window->isSkinned();
            auto* edit =
                window->fileDialog()->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            // The embedded dialog shows, whether new or kept from before.
            EXPECT_TRUE(edit->isVisible());
            EXPECT_EQ(window->fileDialog()->geometry().bottomRight(), window->rect().bottomRight());
            edit->setText(name);
            if (accept)
                QMetaObject::invokeMethod(window->fileDialog(), "accept");
            else
                window->fileDialog()->reject();
        });
        return mode == COrvexFileDialog::Mode::Save ? COrvexFileDialog::save(request, skin)
                                                    : COrvexFileDialog::open(request, skin);
    }

    test::TestResourceBundle complete;
    test::TestResourceBundle partial;
    platform::LibraryHandle completeSkin;
    platform::LibraryHandle partialSkin;
    QTemporaryDir folder;
};

TEST_F(FileDialogWindowTest, savingReturnsTheChosenPathAndCancellingLeavesTheRequest)
{
    FileDialogRequest request = FileDialogRequest::settingsFile();
    request.initialDirectory = folder.path();
    bool skinned = false;
    EXPECT_EQ(run(COrvexFileDialog::Mode::Save, request, completeSkin, QStringLiteral("mail"), true,
                  &skinned),
              COrvexFileDialog::Chosen);
    EXPECT_TRUE(skinned);
    EXPECT_EQ(request.fileName, folder.path() + QStringLiteral("/mail.txt"));
    EXPECT_EQ(request.filterIndex, 1);

    FileDialogRequest cancelled = FileDialogRequest::settingsFile();
    cancelled.initialDirectory = folder.path();
    EXPECT_EQ(
        run(COrvexFileDialog::Mode::Open, cancelled, completeSkin, QStringLiteral("x.txt"), false),
        COrvexFileDialog::Cancelled);
    EXPECT_TRUE(cancelled.fileName.isEmpty());
}

TEST_F(FileDialogWindowTest, aMissingFrameBitmapGivesThePlainDialog)
{
    FileDialogRequest request = FileDialogRequest::settingsFile();
    request.initialDirectory = folder.path();
    bool skinned = true;
    EXPECT_EQ(run(COrvexFileDialog::Mode::Open, request, partialSkin, QStringLiteral("new.txt"),
                  true, &skinned),
              COrvexFileDialog::Chosen);
    EXPECT_FALSE(skinned);
    // Opening does not require the file to exist: the caller reports it.
    EXPECT_EQ(request.fileName, folder.path() + QStringLiteral("/new.txt"));
}

TEST_F(FileDialogWindowTest, changingTheTypeWhileSavingReplacesTheTypedExtension)
{
    FileDialogRequest request = FileDialogRequest::settingsFile();
    request.filters.insert(1, {QStringLiteral("Settings"), QStringLiteral("*.ini")});
    request.initialDirectory = folder.path();
    QString afterChange;
    whenModal<FileDialogWindow>([&](FileDialogWindow* window) {
        auto* edit = window->fileDialog()->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* types = window->fileDialog()->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_TRUE(edit && types);
        edit->setText(QStringLiteral("mail.txt"));
        types->setCurrentIndex(1);
        // What a user's choice in the list sends.
        Q_EMIT types->activated(1);
        Q_EMIT types->textActivated(types->itemText(1));
        afterChange = edit->text();
        QMetaObject::invokeMethod(window->fileDialog(), "accept");
    });
    EXPECT_EQ(COrvexFileDialog::save(request, completeSkin), COrvexFileDialog::Chosen);
    EXPECT_EQ(afterChange, QStringLiteral("mail.ini"));
    EXPECT_EQ(request.fileName, folder.path() + QStringLiteral("/mail.ini"));
    EXPECT_EQ(request.defaultExtension, QStringLiteral("ini"));
    EXPECT_EQ(request.filterIndex, 2);
}

} // namespace
} // namespace mailvane::skin

namespace mailvane::skin {
namespace {

TEST(FileDialogFrame, paintsBarsDecorationWhiteAreaAndEtchedCorner)
{
    // Pieces in flat colours: the left bar 10 wide, the top bar 12 high, the
    // decoration 6 + stretched + 6 wide and 16 high.
    const QSize sizes[FileDialogFrame::PieceCount] = {{8, 12}, {4, 12}, {14, 12}, {10, 9},
                                                      {10, 4}, {6, 16}, {3, 16},  {6, 16}};
    test::TestResourceBundle bundle;
    const COrvexFileDialog::FrameNames names = COrvexFileDialog::FrameNames::defaults();
    const QString ordered[] = {names.topRight,
                               names.top,
                               names.topLeft,
                               names.leftBottom,
                               names.left,
                               names.decorationLeft,
                               names.decorationMiddle,
                               names.decorationRight};
    const auto colour = [](int piece) {
        return qRgb(30 * piece, 200 - 20 * piece, 90);
    };
    for (int i = 0; i < FileDialogFrame::PieceCount; ++i) {
        QImage piece(sizes[i], QImage::Format_RGB32);
        piece.fill(colour(i));
        bundle.addBitmap(ordered[i], piece);
    }
    FileDialogFrame frame;
    ASSERT_TRUE(frame.load(bundle.load(), names));

    // A 20-high folder box at y = 40; the file list's right edge at x = 179.
    const FileDialogFrameLayout layout =
        frame.layoutFor(QRect(30, 40, 100, 20), QRect(20, 80, 160, 60));
    EXPECT_EQ(layout.decorationY, 40 - (16 - 20) / 2);
    EXPECT_EQ(layout.decorationLeftX, 10);
    EXPECT_EQ(layout.decorationRightX, 180 - 6);
    EXPECT_EQ(layout.separatorY, layout.decorationY + 16 + 8);

    QImage out(200, 150, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter painter(&out);
    frame.paint(painter, out.size(), layout, QColor(212, 208, 200));
    painter.end();
    const int sep = layout.separatorY;
    struct Probe
    {
        const char* what;
        QPoint at;
        QRgb expected;
    };
    const Probe probes[] = {
        {"top-left piece", {0, 0}, colour(FileDialogFrame::TopLeft)},
        {"top piece stretched", {100, 5}, colour(FileDialogFrame::Top)},
        {"top-right piece", {199, 0}, colour(FileDialogFrame::TopRight)},
        {"left piece stretched", {5, 60}, colour(FileDialogFrame::Left)},
        {"left-bottom piece", {5, 149}, colour(FileDialogFrame::LeftBottom)},
        {"white area", {150, 20}, qRgb(255, 255, 255)},
        {"decoration left", {10, layout.decorationY}, colour(FileDialogFrame::DecorationLeft)},
        {"decoration middle",
         {100, layout.decorationY + 15},
         colour(FileDialogFrame::DecorationMiddle)},
        {"decoration right", {179, layout.decorationY}, colour(FileDialogFrame::DecorationRight)},
        {"white right of the decoration", {185, layout.decorationY}, qRgb(255, 255, 255)},
        {"dark etched line", {100, sep + 1}, qRgb(128, 128, 128)},
        {"light etched line above it", {100, sep}, qRgb(192, 192, 192)},
        {"dark etched line down the left", {11, 120}, qRgb(128, 128, 128)},
        {"light one left of it", {10, 120}, qRgb(192, 192, 192)},
        {"face below the separator", {100, 120}, qRgb(212, 208, 200)},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(out.pixel(p.at), p.expected) << p.what;
}

} // namespace
} // namespace mailvane::skin
