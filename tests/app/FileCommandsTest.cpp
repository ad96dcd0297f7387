#include "FileCommands.h"

#include "FileDialogHook.h"
#include "MessageBoxHook.h"
#include "SkinMessageBox.h"
#include "TempDir.h"

#include <QWidget>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

using namespace mailvane;
using widgets::SkinMessageBox;

namespace {

QString qpath(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

class FileCommandsTest : public testing::Test
{
protected:
    test::TempDir m_dir;
    widgets::MessageBoxHook m_boxes{SkinMessageBox::IdOk};
    widgets::FileDialogHook m_files;
    QWidget m_owner;
    app::FileCommands m_commands{&m_owner, {}};
    settings::EmailSettings m_record;
};

TEST_F(FileCommandsTest, theCurrentFileChangesOnlyWhenASaveSucceeded)
{
    const QString before = qpath(m_dir / "before.txt");
    const QString unwritable = qpath(m_dir / "nosuchdir" / "x.txt");
    struct Case
    {
        const char* what;
        QString current;
        bool askFirst; // the save-changes question, answered Yes
    };
    const Case cases[] = {
        {"Save As over a file", before, false},
        {"Save As of new settings", QString(), false},
        {"the save-changes question of new settings", QString(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString file = c.current;
        m_files.choose(unwritable);
        m_boxes.clear();
        if (c.askFirst)
            m_boxes.answer(SkinMessageBox::IdYes);
        const int result = c.askFirst ? m_commands.saveChangesPrompt(file, m_record)
                                      : m_commands.saveAs(file, m_record);
        EXPECT_EQ(result, app::FileCommands::Stopped);
        EXPECT_EQ(file.toStdString(), c.current.toStdString());
        // The failure is said; the next question still names the old file.
        ASSERT_FALSE(m_boxes.requests().isEmpty());
        EXPECT_TRUE(m_boxes.requests().last().text.contains(QStringLiteral("nosuchdir")));
    }
}

TEST_F(FileCommandsTest, aPathOfMoreThan256CharactersIsSaved)
{
    std::filesystem::path deep = m_dir.path();
    for (char c = 'a'; c < 'g'; ++c)
        deep /= std::string(50, c);
    std::filesystem::create_directories(deep);
    const QString path = qpath(deep / "mail.txt");
    ASSERT_GT(path.size(), 300);
    m_record.outgoingServer = "smtp.example";

    QString file;
    m_files.choose(path);
    EXPECT_EQ(m_commands.saveAs(file, m_record), app::FileCommands::Done);
    EXPECT_EQ(file, path);
    EXPECT_TRUE(std::filesystem::exists(deep / "mail.txt"));
    EXPECT_TRUE(m_boxes.requests().isEmpty());
}

} // namespace
