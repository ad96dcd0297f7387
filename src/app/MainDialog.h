#pragma once

// The program's main window: the menu, the heading, the recipients row, the
// settings sheet with its four pages and the Send and Empty Fields buttons.
// It owns the one settings record of the run, the current file name and the
// phone link, carries out the file commands, asks before changes are lost
// and enables Send exactly while the settings are complete.

#include "CurrentFile.h"
#include "EmailSettings.h"
#include "MainWindowLayout.h"
#include "SkinDialog.h"
#include "StringTable.h"

#include <QIcon>
#include <array>
#include <memory>

class QLineEdit;
class QMenuBar;

namespace mailvane::phone {
class PhoneLink;
}
namespace mailvane::widgets {
class SkinButton;
class SkinTabWidget;
} // namespace mailvane::widgets
namespace mailvane::send {
class SendWorkflow;
}
namespace mailvane::pages {
class AdvancedPage;
class ConnectionPage;
class GeneralPage;
class SettingsPage;
} // namespace mailvane::pages

namespace mailvane::app {

class HeadingLabel;

class MainDialog : public widgets::SkinDialog
{
    Q_OBJECT

public:
    static constexpr int ButtonMaxWidth = 350;

    explicit MainDialog(QWidget* parent = nullptr);
    ~MainDialog() override;

    // The skin library (borrowed) and the frame pictures; before the first show.
    void setSkinLibrary(const platform::LibraryHandle& skin);

    // What the send workflow works on.
    settings::EmailSettings& record() { return m_record; }
    QLineEdit* recipientsEdit() const { return m_recipientsEdit; }
    phone::PhoneLink* phoneLink() const { return m_phoneLink.get(); }
    const platform::LibraryHandle& skinLibrary() const { return m_skin; }

    const QString& currentFile() const { return m_currentFile.path(); }
    bool settingsChanged() const;
    widgets::SkinTabWidget* sheet() const { return m_sheet; }
    pages::GeneralPage* generalPage() const { return m_generalPage; }
    pages::AdvancedPage* advancedPage() const { return m_advancedPage; }
    pages::ConnectionPage* incomingPage() const { return m_incomingPage; }
    pages::ConnectionPage* outgoingPage() const { return m_outgoingPage; }
    QMenuBar* menuBar() const { return m_menuBar; }
    // The window of a bitmap button (1002, 1024 or 1090), or null.
    QWidget* buttonWindow(int control) const;

    // The commands of the menu and the buttons.
    void onNew();
    void onOpen();
    void onSave();
    void onSaveAs();
    void onExit();
    void onWhatsThis();
    void onAbout();
    void onEmptyFields();
    // Buttons 1002 and 1024: choosing recipients and sending, by the send workflow.
    void onChooseRecipientsClicked();
    void onSendClicked();

    // Open without the file dialog, for a file named on a command line: reads
    // it first and, only when it reads, asks the save-changes question (when
    // there are changes) and shows it; otherwise says why, naming the file,
    // and leaves the window as it was.
    void openFile(const QString& path);
    // Shows the window normal-sized, on top and active.
    void bringToFront();

    // Enables Send exactly while the record is complete.
    void updateSendButton();
    // Empties the record and the recipients, sets the defaults, refills the
    // pages that have been shown and makes the General page active.
    void resetSettings();

    // The help text of one of the window's own controls.
    static settings::StringId helpFor(int control);

protected:
    bool initDialog() override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildMenu();
    void createButtons();
    void createSheet();
    void layOut();
    MainWindowParts layoutParts() const;
    QSize sheetSize() const;
    QSize measureSheet() const;
    void placeFrameBelowMenu();
    void clearPageFlags();
    // The end of Open, whatever its outcome.
    void finishOpen(int result);
    void onButtonCommand(int control);
    std::array<pages::SettingsPage*, 4> pages() const;
    send::SendWorkflow& sendWorkflow();

    CurrentFile m_currentFile; // first: it initialises OLE
    settings::EmailSettings m_record;
    platform::LibraryHandle m_skin;
    QIcon m_icon;
    std::unique_ptr<phone::PhoneLink> m_phoneLink;
    QMenuBar* m_menuBar = nullptr;
    HeadingLabel* m_heading = nullptr;
    QLineEdit* m_recipientsEdit = nullptr;
    widgets::SkinTabWidget* m_sheet = nullptr;
    pages::GeneralPage* m_generalPage = nullptr;
    pages::AdvancedPage* m_advancedPage = nullptr;
    pages::ConnectionPage* m_incomingPage = nullptr;
    pages::ConnectionPage* m_outgoingPage = nullptr;
    std::unique_ptr<widgets::SkinButton> m_sendButton;
    std::unique_ptr<widgets::SkinButton> m_chooseButton;
    std::unique_ptr<widgets::SkinButton> m_emptyButton;
    QSize m_sheetSize;
    QString m_menuLetters; // the menu bar's mnemonics, kept free on the pages
    bool m_closing = false;
    std::unique_ptr<send::SendWorkflow> m_sendWorkflow; // made on first use
};

} // namespace mailvane::app
