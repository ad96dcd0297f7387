#include "DialogDriver.h"
#include "FileDialogExtension.h"
#include "FileDialogFrame.h"
#include "FileDialogHook.h"
#include "FileDialogWindow.h"
#include "MessageBoxHook.h"
#include "SkinFileDialog.h"
#include "SkinMessageBox.h"
#include "TestResourceBundle.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

namespace mailvane::widgets {
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
        // Only the last path component counts: a folder's point is no extension.
        {"sub.dir/mail", "*.txt", "", "txt", "txt", std::nullopt},
        {"sub.dir/mail.doc", "*.txt", "", "txt", "txt", "sub.dir/mail.txt"},
        {"/home/a.b/c.d/mail", "*.ini", "", "txt", "txt", std::nullopt},
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
    EXPECT_EQ(SkinFileDialog::save(request, {}), SkinFileDialog::Chosen);
    EXPECT_EQ(request.fileName, QStringLiteral("/tmp/mail.txt"));
    FileDialogRequest second = FileDialogRequest::settingsFile();
    EXPECT_EQ(SkinFileDialog::open(second, {}), SkinFileDialog::Cancelled);
    EXPECT_TRUE(second.fileName.isEmpty());
    // Nothing queued: cancelled.
    EXPECT_EQ(SkinFileDialog::open(second, {}), SkinFileDialog::Cancelled);

    ASSERT_EQ(hook.calls().size(), 3);
    EXPECT_EQ(hook.calls().at(0).mode, SkinFileDialog::Mode::Save);
    EXPECT_EQ(hook.calls().at(1).mode, SkinFileDialog::Mode::Open);
    const FileDialogRequest& seen = hook.calls().at(0).request;
    EXPECT_EQ(seen.flags, 0x804u);
    EXPECT_EQ(seen.defaultExtension, QStringLiteral("txt"));
    ASSERT_EQ(seen.filters.size(), 2);
    EXPECT_EQ(seen.filters.at(0).description, QStringLiteral("Text Files"));
    EXPECT_EQ(seen.filters.at(0).pattern, QStringLiteral("*.txt"));
    EXPECT_EQ(seen.filters.at(1).pattern, QStringLiteral("*"));
}

TEST(FileDialogHook, aPathLongerThanTheOldBufferIsAccepted)
{
    // There is no fixed buffer: a long path goes through whole.
    FileDialogHook hook;
    const QString longPath = QStringLiteral("/tmp/") + QString(120, QLatin1Char('a')) +
                             QLatin1Char('/') + QString(200, QLatin1Char('b'));
    hook.choose(longPath);
    FileDialogRequest request = FileDialogRequest::settingsFile();
    request.fileName = QString(300, QLatin1Char('c'));
    EXPECT_EQ(SkinFileDialog::save(request, {}), SkinFileDialog::Chosen);
    EXPECT_EQ(request.fileName, longPath);
    EXPECT_EQ(hook.calls().size(), 1);
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
    int run(SkinFileDialog::Mode mode, FileDialogRequest& request,
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
        return mode == SkinFileDialog::Mode::Save ? SkinFileDialog::save(request, skin)
                                                  : SkinFileDialog::open(request, skin);
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
    EXPECT_EQ(run(SkinFileDialog::Mode::Save, request, completeSkin, QStringLiteral("mail"), true,
                  &skinned),
              SkinFileDialog::Chosen);
    EXPECT_TRUE(skinned);
    EXPECT_EQ(request.fileName, folder.path() + QStringLiteral("/mail.txt"));
    EXPECT_EQ(request.filterIndex, 1);

    FileDialogRequest cancelled = FileDialogRequest::settingsFile();
    cancelled.initialDirectory = folder.path();
    EXPECT_EQ(
        run(SkinFileDialog::Mode::Open, cancelled, completeSkin, QStringLiteral("x.txt"), false),
        SkinFileDialog::Cancelled);
    EXPECT_TRUE(cancelled.fileName.isEmpty());
}

TEST_F(FileDialogWindowTest, aMissingFrameBitmapGivesThePlainDialog)
{
    FileDialogRequest request = FileDialogRequest::settingsFile();
    request.initialDirectory = folder.path();
    bool skinned = true;
    EXPECT_EQ(run(SkinFileDialog::Mode::Open, request, partialSkin, QStringLiteral("new.txt"), true,
                  &skinned),
              SkinFileDialog::Chosen);
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
    EXPECT_EQ(SkinFileDialog::save(request, completeSkin), SkinFileDialog::Chosen);
    EXPECT_EQ(afterChange, QStringLiteral("mail.ini"));
    EXPECT_EQ(request.fileName, folder.path() + QStringLiteral("/mail.ini"));
    EXPECT_EQ(request.defaultExtension, QStringLiteral("ini"));
    EXPECT_EQ(request.filterIndex, 2);
}

// Spins the event loop until `done` holds, at most `limitMs`.
template <typename Done> bool spinUntil(Done done, int limitMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

TEST_F(FileDialogWindowTest, columnsShowNameSizeTypeAndDateWholeAndTheWindowKeepsAMinimum)
{
    for (const char* name : {"office mailbox.txt", "home.txt"}) {
        QFile file(QDir(folder.path()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#E-Mail Settings File\n");
    }
    FileDialogRequest request = FileDialogRequest::settingsFile();
    request.initialDirectory = folder.path();
    whenModal<FileDialogWindow>([&](FileDialogWindow* window) {
        auto* tree = window->fileDialog()->findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(tree, nullptr);
        EXPECT_TRUE(tree->isVisible());
        const auto* model = tree->model();
        ASSERT_TRUE(spinUntil([&] { return model->rowCount(tree->rootIndex()) == 2; }));
        QHeaderView* header = tree->header();
        const auto checkColumns = [&](const char* when) {
            for (int column = 0; column < 4; ++column) {
                SCOPED_TRACE(when);
                const QAbstractItemView* view = tree; // the measure is public there
                const int needed =
                    std::max(header->sectionSizeHint(column), view->sizeHintForColumn(column));
                EXPECT_GE(header->sectionSize(column), needed) << "column " << column;
            }
            // All of them inside the list, with nothing to scroll to.
            EXPECT_LE(header->length(), tree->viewport()->width()) << when;
        };
        checkColumns("at the size it opens with");

        window->resize(40, 40);
        QApplication::processEvents();
        EXPECT_EQ(window->size(), window->minimumSize());
        EXPECT_GE(window->minimumWidth(), window->fileDialog()->minimumSizeHint().width());
        EXPECT_GE(window->minimumHeight(), window->fileDialog()->minimumSizeHint().height());
        window->fileDialog()->reject();
    });
    EXPECT_EQ(SkinFileDialog::open(request, completeSkin), SkinFileDialog::Cancelled);
}

// Enter on a name while its completions show opens the file, and nothing of
// the dialog keeps the keyboard from the window beneath.
TEST_F(FileDialogWindowTest, theCompletionListClosesWithTheDialogAndTheOwnerIsActiveAgain)
{
    QFile file(QDir(folder.path()).filePath(QStringLiteral("office.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QWidget owner;
    owner.show();
    owner.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
    FileDialogRequest request = FileDialogRequest::settingsFile();
    request.initialDirectory = folder.path();
    QWidget* completions = nullptr;
    whenModal<FileDialogWindow>([&](FileDialogWindow* window) {
        auto* edit = window->fileDialog()->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(edit && edit->completer());
        completions = edit->completer()->popup();
        // The list offers only what the folder's listing has brought in.
        auto* tree = window->fileDialog()->findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(tree, nullptr);
        spinUntil([&] { return tree->model()->rowCount(tree->rootIndex()) == 1; });
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("off"));
        spinUntil([&] { return completions->isVisible(); });
        EXPECT_TRUE(completions->isVisible());
        QTest::keyClicks(edit, QStringLiteral("ice.txt"));
        QTest::keyClick(edit, Qt::Key_Return);
        if (window->isVisible()) // the list took the first Enter
            QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(SkinFileDialog::open(request, completeSkin, {}, &owner), SkinFileDialog::Chosen);
    EXPECT_EQ(QFileInfo(request.fileName).fileName(), QStringLiteral("office.txt"));
    ASSERT_NE(completions, nullptr);
    EXPECT_FALSE(completions->isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&owner));
}

TEST_F(FileDialogWindowTest, eachOpeningStartsWithNoSelectionAndAnEmptyName)
{
    QFile file(QDir(folder.path()).filePath(QStringLiteral("old.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    FileDialogRequest first = FileDialogRequest::settingsFile();
    first.initialDirectory = folder.path();
    whenModal<FileDialogWindow>([&](FileDialogWindow* window) {
        window->fileDialog()->selectFile(QStringLiteral("old.txt"));
        QTest::keyClick(window->fileDialog(), Qt::Key_Escape);
    });
    ASSERT_EQ(SkinFileDialog::open(first, completeSkin), SkinFileDialog::Cancelled);

    FileDialogRequest second = FileDialogRequest::settingsFile();
    second.initialDirectory = folder.path();
    bool stayedOpen = false;
    whenModal<FileDialogWindow>([&](FileDialogWindow* window) {
        QFileDialog* files = window->fileDialog();
        auto* tree = files->findChild<QTreeView*>(QStringLiteral("treeView"));
        auto* edit = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(tree && edit);
        spinUntil([&] { return tree->model()->rowCount(tree->rootIndex()) == 1; });
        EXPECT_FALSE(tree->selectionModel()->hasSelection());
        EXPECT_TRUE(edit->text().isEmpty());
        // Enter with nothing chosen opens nothing.
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        stayedOpen = window->isVisible();
        files->reject();
    });
    EXPECT_EQ(SkinFileDialog::open(second, completeSkin), SkinFileDialog::Cancelled);
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(second.fileName.isEmpty());
}

TEST_F(FileDialogWindowTest, namesThatCannotBeUsedAreRefusedInTheDialogAndLongPathsPass)
{
    // A path of well over 256 characters in folders that exist.
    QString deep = folder.path();
    for (int i = 0; i < 6; ++i)
        deep += QLatin1Char('/') + QString(50, QChar(QLatin1Char('a' + i)));
    ASSERT_TRUE(QDir().mkpath(deep));

    struct Case
    {
        const char* what;
        QString typed;
        bool chosen;
    };
    const Case cases[] = {
        {"a folder that does not exist", QStringLiteral("nosuchdir/x.txt"), false},
        {"a name too long for the file system", QString(300, QLatin1Char('n')), false},
        {"a long path in folders that exist", deep + QStringLiteral("/mail.txt"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MessageBoxHook boxes;
        FileDialogRequest request = FileDialogRequest::settingsFile();
        request.initialDirectory = folder.path();
        bool openAfterAccept = false;
        whenModal<FileDialogWindow>([&](FileDialogWindow* window) {
            auto* edit =
                window->fileDialog()->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            edit->setText(c.typed);
            QMetaObject::invokeMethod(window->fileDialog(), "accept");
            openAfterAccept = window->isVisible();
            if (openAfterAccept)
                window->fileDialog()->reject();
        });
        const int result = SkinFileDialog::save(request, completeSkin);
        if (c.chosen) {
            EXPECT_EQ(result, SkinFileDialog::Chosen);
            EXPECT_EQ(request.fileName, c.typed);
            EXPECT_TRUE(boxes.requests().isEmpty());
        } else {
            // Said in a box over the dialog, which stays for another try.
            EXPECT_TRUE(openAfterAccept);
            EXPECT_EQ(result, SkinFileDialog::Cancelled);
            ASSERT_EQ(boxes.requests().size(), 1);
            EXPECT_EQ(boxes.requests().at(0).flags,
                      SkinMessageBox::MbOk | SkinMessageBox::MbIconExclamation);
        }
    }
}

} // namespace
} // namespace mailvane::widgets

namespace mailvane::widgets {
namespace {

TEST(FileDialogFrame, paintsBarsDecorationWhiteAreaAndEtchedCorner)
{
    // Pieces in flat colours: the left bar 10 wide, the top bar 12 high, the
    // decoration 6 + stretched + 6 wide and 16 high.
    const QSize sizes[FileDialogFrame::PieceCount] = {{8, 12}, {4, 12}, {14, 12}, {10, 9},
                                                      {10, 4}, {6, 16}, {3, 16},  {6, 16}};
    test::TestResourceBundle bundle;
    const SkinFileDialog::FrameNames names = SkinFileDialog::FrameNames::defaults();
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
} // namespace mailvane::widgets
