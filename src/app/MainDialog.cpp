#include "MainDialog.h"

#include "AboutBox.h"
#include "AdvancedPage.h"
#include "Completeness.h"
#include "ConnectionPage.h"
#include "ControlIds.h"
#include "ControlNumbers.h"
#include "DialogButton.h"
#include "FileCommands.h"
#include "GeneralPage.h"
#include "HeadingLabel.h"
#include "HelpPopup.h"
#include "Mnemonics.h"
#include "PhoneLink.h"
#include "PlainButtonArt.h"
#include "ProgramLocation.h"
#include "SendWorkflow.h"
#include "SkinButton.h"
#include "SkinHorizontalBar.h"
#include "SkinImage.h"
#include "SkinMessageBox.h"
#include "SkinPictures.h"
#include "SkinTabBar.h"
#include "SkinTabWidget.h"
#include "SkinVerticalBar.h"
#include "TokenTableLocator.h"
#include "UiText.h"
#include "WhatsThisHelp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QWhatsThis>
#include <cstdio>
#include <limits>

namespace mailvane::app {

namespace strings = settings::strings;
namespace ids = main_window;

namespace {

const widgets::HelpEntry HelpTable[] = {
    {{ids::RecipientsEdit, ids::ChooseRecipientsButton}, strings::RecipientsHelp},
    {{ids::SendButton}, strings::SendHelp},
    {{ids::HeadingStatic}, strings::Heading},
};

} // namespace

MainDialog::MainDialog(QWidget* parent) : widgets::SkinDialog(templates::MainWindow, parent)
{
    setObjectName(QStringLiteral("mainDialog"));
    // A caption with the title-bar help button; no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowContextHelpButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(widgets::uiText(strings::MainWindowTitle));
    // The title's trailing blanks tell a second start on X11 which window is
    // ours; a screen reader should say just the product's name.
    setAccessibleName(windowTitle().trimmed());
    widgets::installHelp(this, &MainDialog::helpFor);
}

MainDialog::~MainDialog()
{
    if (widgets::HelpPopup* popup = widgets::HelpPopup::current())
        popup->close();
    m_record.clear();
    // The buttons' windows are children; the buttons go before them.
    m_sendButton.reset();
    m_chooseButton.reset();
    m_emptyButton.reset();
    delete m_sheet; // with its four pages
    m_sheet = nullptr;
    m_sendWorkflow.reset(); // borrows the record and the link
    m_phoneLink.reset();
    widgets::SkinMessageBox::release();
}

void MainDialog::setSkinLibrary(const platform::LibraryHandle& skin)
{
    m_skin = skin;
    if (!skin.isEmpty())
        setSkin(skin, widgets::MainWindowFrame);
}

settings::StringId MainDialog::helpFor(int control)
{
    return widgets::lookUpHelp(HelpTable, control);
}

bool MainDialog::initDialog()
{
    const bool first = m_sheet == nullptr;
    if (first)
        m_record.clear();
    widgets::SkinDialog::initDialog();
    if (!first) {
        // A second modal run keeps what the first one built.
        layOut();
        return true;
    }

    // Without a table the link is given the installed place, never a bare name
    // that the current folder would answer.
    const std::filesystem::path programDir = platform::programDirectory();
    const std::filesystem::path installedTable =
        platform::installedDataDirectory(programDir) / provisioning::TokenTableFileName;
    const auto tokenTable = provisioning::locateTokenTable(programDir);
    if (!tokenTable)
        std::fprintf(stderr, "mailvane: the token table %s was not found; sending will fail\n",
                     installedTable.c_str());
    m_phoneLink = std::make_unique<phone::PhoneLink>(tokenTable.value_or(installedTable));

    if (!m_skin.isEmpty()) {
        skin::SkinImage icon;
        const QImage picture = icon.load(m_skin, widgets::ApplicationIconPicture);
        if (!picture.isNull())
            m_icon = QIcon(QPixmap::fromImage(picture));
        // Beside it the picture as fine as the window's screen, which the
        // icon takes where it is drawn at that many device pixels.
        const int scale = skin::pictureScale(devicePixelRatioF());
        QImage finer = scale > 1 && !picture.isNull()
                           ? icon.load(m_skin, widgets::ApplicationIconPicture, scale)
                           : QImage();
        if (!finer.isNull()) {
            finer.setDevicePixelRatio(scale);
            m_icon.addPixmap(QPixmap::fromImage(finer));
        }
    }
    if (m_icon.isNull())
        m_icon = QIcon::fromTheme(QStringLiteral("mailvane"));
    setWindowIcon(m_icon);

    buildMenu();
    m_heading = new HeadingLabel(this);
    widgets::setControlId(m_heading, ids::HeadingStatic);
    m_heading->setObjectName(QStringLiteral("headingStatic"));
    m_recipientsEdit = new QLineEdit(this);
    widgets::setControlId(m_recipientsEdit, ids::RecipientsEdit);
    m_recipientsEdit->setObjectName(QStringLiteral("recipientsEdit"));
    // Any text goes in (the Send command names a piece that is not a phone
    // number), and all of it: the edit's own limit of 32,767 characters would
    // cut a long list of chosen contacts without a word.
    m_recipientsEdit->setMaxLength(std::numeric_limits<int>::max());
    createButtons();
    setWindowTitle(widgets::uiText(strings::MainWindowTitle));
    createSheet();
    m_heading->setText(widgets::uiText(strings::Heading));
    m_heading->setAccessibleName(m_heading->text());
    m_recipientsEdit->setAccessibleName(m_chooseButton->text());
    // The button shows the field's label, but what it does is choose: a
    // screen reader must not hear two controls of one name.
    m_chooseButton->window()->setAccessibleName(widgets::uiText(strings::ChooseRecipientsTitle));

    // Made after the window was shown: they have to be shown themselves.
    m_menuBar->show();
    m_heading->show();
    m_recipientsEdit->show();
    // Measured once: the pages' needs do not change while the window lives.
    // The window is a fixed dialog: smaller would squeeze the fields and cut
    // off Send, larger would only open gaps.
    m_sheetSize = measureSheet();
    setFixedSize(MainWindowLayout::size(layoutParts()));
    layOut();
    if (m_sheet->tabControl() && !m_skin.isEmpty()) {
        m_sheet->tabControl()->setSkin(m_skin, widgets::SkinTabBar::MainSheetNumbers);
        m_sheet->tabControl()->setBackground(background(), m_sheet->x(), m_sheet->y());
    }

    // Keyboard order: the recipients row, the tabs, the active page's
    // controls, then Empty Fields and Send.
    QWidget* lastOfPages = m_outgoingPage;
    for (QWidget* w = m_outgoingPage->nextInFocusChain();
         w != m_outgoingPage && m_outgoingPage->isAncestorOf(w); w = w->nextInFocusChain())
        lastOfPages = w;
    setTabOrder(m_chooseButton->window(), m_recipientsEdit);
    setTabOrder(m_recipientsEdit, m_sheet->tabControl());
    setTabOrder(lastOfPages, m_emptyButton->window());
    setTabOrder(m_emptyButton->window(), m_sendButton->window());
    setTabOrder(m_sendButton->window(), m_chooseButton->window());

    resetSettings();
    clearPageFlags();
    m_recipientsEdit->setFocus();
    return true;
}

void MainDialog::buildMenu()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("mainMenu"));
    m_menuBar->setNativeMenuBar(false);
    // Each menu's items have letters of their own; the menus' letters stay
    // free on the pages too.
    QString itemLetters;
    const auto add = [this, &itemLetters](QMenu* menu, settings::StringId text, int command,
                                          QKeySequence shortcut, void (MainDialog::*handler)()) {
        QAction* action = menu->addAction(widgets::withMnemonic(widgets::uiText(text), itemLetters));
        action->setData(command);
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);
    };
    // The file commands have keys of their own, the usual ones of desktop
    // programs, written out: the platform's standard sequence for Save As is
    // empty on some desktops, which left it without a key.
    QMenu* file =
        m_menuBar->addMenu(widgets::withMnemonic(widgets::uiText(strings::FileMenu), m_menuLetters));
    add(file, strings::NewItem, menu::NewCommand, QKeySequence(Qt::CTRL | Qt::Key_N),
        &MainDialog::onNew);
    add(file, strings::OpenItem, menu::OpenCommand, QKeySequence(Qt::CTRL | Qt::Key_O),
        &MainDialog::onOpen);
    add(file, strings::SaveItem, menu::SaveCommand, QKeySequence(Qt::CTRL | Qt::Key_S),
        &MainDialog::onSave);
    add(file, strings::SaveAsItem, menu::SaveAsCommand,
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &MainDialog::onSaveAs);
    file->addSeparator();
    add(file, strings::ExitItem, menu::ExitCommand, QKeySequence(Qt::CTRL | Qt::Key_Q),
        &MainDialog::onExit);
    itemLetters.clear();
    QMenu* help =
        m_menuBar->addMenu(widgets::withMnemonic(widgets::uiText(strings::HelpMenu), m_menuLetters));
    add(help, strings::WhatsThisItem, menu::WhatsThisCommand, QKeySequence(),
        &MainDialog::onWhatsThis);
    help->addSeparator();
    add(help, strings::AboutItem, menu::AboutCommand, QKeySequence(), &MainDialog::onAbout);
}

void MainDialog::createButtons()
{
    const auto make = [this](int control, settings::StringId caption, const char* name) {
        auto button = std::make_unique<widgets::SkinButton>();
        if (m_skin.isEmpty()) {
            // No skin: a calm button in the palette's colours instead of grey blocks.
            const int height = fontMetrics().height() + 14;
            const widgets::ButtonPieces normal = widgets::plainButtonPieces(palette(), 0, height);
            button->setShapeFromBitmaps(normal.left, normal.middle, normal.right,
                                        widgets::ButtonKeyColour);
            button->create(m_skin, this, QRect(QPoint(0, 0), widgets::InitialButtonSize), control,
                           widgets::uiText(caption));
            for (int state = 0; state < 4; ++state) {
                const widgets::ButtonPieces pieces =
                    widgets::plainButtonPieces(palette(), state, height);
                button->setStateImagesFromBitmaps(state, pieces.left, pieces.middle, pieces.right);
            }
            // Drawn in the theme's colours: so is the label.
            const QPalette& colours = palette();
            button->setTextColours(colours.color(QPalette::Active, QPalette::ButtonText).rgba(),
                                   colours.color(QPalette::Disabled, QPalette::ButtonText).rgba());
        } else {
            widgets::createSkinnedButton(*button, m_skin, this, QPoint(0, 0), control,
                                         widgets::uiText(caption));
        }
        button->setText(widgets::uiText(caption), true, ButtonMaxWidth);
        QWidget* window = button->window();
        window->setObjectName(QString::fromLatin1(name));
        widgets::setControlId(window, control);
        // Enter in the recipients field must not press a button by surprise.
        if (auto* push = qobject_cast<QPushButton*>(window))
            push->setAutoDefault(false);
        connect(button->window(), &widgets::SkinButtonWidget::commandPosted, this,
                [this](int number, QWidget*) { onButtonCommand(number); });
        return button;
    };
    m_sendButton = make(ids::SendButton, strings::SendCaption, "sendButton");
    // Its description says what is missing, which changes as fields fill.
    widgets::WhatsThisHelp::keepOwnDescription(m_sendButton->window());
    m_chooseButton = make(ids::ChooseRecipientsButton, strings::ChooseRecipientsCaption,
                          "chooseRecipientsButton");
    m_emptyButton = make(ids::EmptyFieldsButton, strings::EmptyFieldsCaption, "emptyFieldsButton");
}

void MainDialog::createSheet()
{
    m_generalPage = new pages::GeneralPage(m_record);
    m_advancedPage = new pages::AdvancedPage(m_record);
    m_incomingPage = new pages::ConnectionPage(m_record.incoming);
    m_outgoingPage = new pages::ConnectionPage(m_record.outgoing);
    m_incomingPage->setObjectName(QStringLiteral("incomingPage"));
    m_outgoingPage->setObjectName(QStringLiteral("outgoingPage"));

    m_sheet = new widgets::SkinTabWidget(this);
    m_sheet->setObjectName(QStringLiteral("settingsSheet"));
    m_sheet->setAccessibleName(widgets::uiText(strings::SheetCaption));
    m_sheet->tabControl()->setAccessibleName(widgets::uiText(strings::SheetCaption));
    m_sheet->addPage(m_generalPage, widgets::uiText(strings::GeneralTab));
    m_sheet->addPage(m_advancedPage, widgets::uiText(strings::AdvancedTab));
    m_sheet->addPage(m_incomingPage, widgets::uiText(strings::IncomingTab));
    m_sheet->addPage(m_outgoingPage, widgets::uiText(strings::OutgoingTab));
    for (pages::SettingsPage* page : pages()) {
        connect(page, &pages::SettingsPage::completenessTestRequested, this,
                &MainDialog::updateSendButton);
        page->reserveMnemonics(m_menuLetters);
    }
    m_sheet->show();
}

std::array<pages::SettingsPage*, 4> MainDialog::pages() const
{
    return {m_generalPage, m_advancedPage, m_incomingPage, m_outgoingPage};
}

QWidget* MainDialog::buttonWindow(int control) const
{
    for (const auto* button : {&m_sendButton, &m_chooseButton, &m_emptyButton}) {
        if (*button && (*button)->window() && widgets::controlId((*button)->window()) == control)
            return (*button)->window();
    }
    return nullptr;
}

QSize MainDialog::measureSheet() const
{
    // As large as the largest page needs, so that no page scrolls, plus the
    // tab strip and frame around the page area.
    QSize page;
    for (pages::SettingsPage* p : pages())
        page = page.expandedTo(p->sizeHint()).expandedTo(p->minimumSizeHint());
    const QSize probe(1000, 1000);
    const QSize saved = m_sheet->size();
    m_sheet->resize(probe);
    const QRect area = m_sheet->tabControl()->pageArea();
    m_sheet->resize(saved);
    return page + (probe - area.size());
}

QSize MainDialog::sheetSize() const
{
    return m_sheetSize;
}

MainWindowParts MainDialog::layoutParts() const
{
    MainWindowParts parts;
    parts.menuHeight = m_menuBar->sizeHint().height();
    parts.topBarHeight = topBar() ? topBar()->height() : 0;
    parts.leftBarWidth = leftBar() ? leftBar()->width() : 0;
    parts.sheet = sheetSize();
    parts.headingHeight = m_heading->sizeHint().height();
    parts.recipientsEditHeight = m_recipientsEdit->sizeHint().height();
    parts.chooseButton = m_chooseButton->window()->size();
    parts.emptyButton = m_emptyButton->window()->size();
    parts.sendButton = m_sendButton->window()->size();
    return parts;
}

void MainDialog::layOut()
{
    if (!m_sheet)
        return;
    const MainWindowPlaces places = MainWindowLayout::places(layoutParts(), size());
    m_menuBar->setGeometry(places.menuBar);
    placeFrameBelowMenu();
    m_heading->setGeometry(places.heading);
    m_chooseButton->window()->move(places.chooseButton.topLeft());
    m_recipientsEdit->setGeometry(places.recipientsEdit);
    m_sheet->setGeometry(places.sheet);
    m_emptyButton->window()->move(places.emptyButton.topLeft());
    m_sendButton->window()->move(places.sendButton.topLeft());
}

void MainDialog::placeFrameBelowMenu()
{
    // The menu bar takes the top of the client area; the skin frame starts below it.
    const int menuHeight = m_menuBar ? m_menuBar->sizeHint().height() : 0;
    if (widgets::SkinHorizontalBar* top = topBar())
        top->setGeometry(0, menuHeight, width(), top->height());
    if (widgets::SkinVerticalBar* side = leftBar()) {
        const int topHeight = menuHeight + (topBar() ? topBar()->height() : 0);
        side->setGeometry(0, topHeight, side->width(), height() - topHeight);
    }
}

void MainDialog::resizeEvent(QResizeEvent* event)
{
    widgets::SkinDialog::resizeEvent(event);
    layOut();
}

void MainDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close the main window; closing asks first (closeEvent).
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    widgets::SkinDialog::keyPressEvent(event);
}

void MainDialog::reject()
{
    // Reached only through closeEvent, after the question.
    if (m_closing)
        widgets::SkinDialog::reject();
}

void MainDialog::closeEvent(QCloseEvent* event)
{
    if (settingsChanged()) {
        FileCommands files(this, m_skin);
        if (files.saveChangesPrompt(m_currentFile.path(), m_record) == FileCommands::Stopped) {
            event->ignore();
            return;
        }
    }
    m_closing = true;
    event->accept();
    widgets::SkinDialog::reject();
    m_closing = false;
}

bool MainDialog::settingsChanged() const
{
    for (pages::SettingsPage* page : pages()) {
        if (page && page->isChanged())
            return true;
    }
    return false;
}

void MainDialog::clearPageFlags()
{
    for (pages::SettingsPage* page : pages())
        page->setChanged(false);
}

void MainDialog::updateSendButton()
{
    if (!m_sendButton)
        return;
    const bool complete = m_record.isComplete();
    m_sendButton->enable(complete);
    // A disabled button says nothing by itself: its description tells what
    // is still missing.
    QString description = widgets::uiText(strings::SendHelp);
    if (!complete)
        description += QLatin1Char(' ') +
                       widgets::uiText(strings::SendUnavailableNote)
                           .arg(QString::fromStdString(settings::describeMissingFields(m_record)));
    m_sendButton->window()->setAccessibleDescription(description);
}

void MainDialog::resetSettings()
{
    m_record.clear();
    m_recipientsEdit->clear();
    m_record.resetToDefaults();
    for (pages::SettingsPage* page : pages()) {
        if (page->isShown())
            page->fillFromRecord();
    }
    m_sheet->setActivePage(0);
    // Filling the pages runs the test only where a field's text changed.
    updateSendButton();
}

void MainDialog::onNew()
{
    if (settingsChanged()) {
        FileCommands files(this, m_skin);
        if (files.saveChangesPrompt(m_currentFile.path(), m_record) == FileCommands::Stopped)
            return;
    }
    resetSettings();
    clearPageFlags();
    m_currentFile.path().clear();
}

void MainDialog::onOpen()
{
    FileCommands files(this, m_skin);
    if (settingsChanged() &&
        files.saveChangesPrompt(m_currentFile.path(), m_record) == FileCommands::Stopped)
        return;
    m_record.clear();
    finishOpen(files.open(m_currentFile.path(), m_record));
}

void MainDialog::openFile(const QString& path)
{
    // Read first: a name typed elsewhere may be wrong, and a wrong name must
    // not cost the window what it holds.
    FileCommands files(this, m_skin);
    settings::EmailSettings read;
    if (files.readForwarded(path, read) != FileCommands::Done)
        return;
    if (settingsChanged() &&
        files.saveChangesPrompt(m_currentFile.path(), m_record) == FileCommands::Stopped)
        return;
    m_record = std::move(read);
    m_currentFile.path() = path;
    finishOpen(FileCommands::Done);
}

void MainDialog::bringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void MainDialog::finishOpen(int result)
{
    if (result == FileCommands::Done) {
        m_generalPage->fillFromRecord();
        if (!m_record.outgoingPort)
            m_record.outgoingPort = settings::defaults::OutgoingPort;
        for (pages::SettingsPage* page : {static_cast<pages::SettingsPage*>(m_advancedPage),
                                          static_cast<pages::SettingsPage*>(m_incomingPage),
                                          static_cast<pages::SettingsPage*>(m_outgoingPage)}) {
            if (page->isShown())
                page->fillFromRecord();
        }
        m_sheet->setActivePage(0);
    } else {
        if (result == FileCommands::InvalidFile)
            m_sheet->setActivePage(0);
        resetSettings();
        // Otherwise a following Save would write the defaults over the file
        // that was open before.
        m_currentFile.path().clear();
    }
    clearPageFlags();
    updateSendButton();
}

void MainDialog::onSave()
{
    FileCommands files(this, m_skin);
    if (files.save(m_currentFile.path(), m_record) == FileCommands::Done)
        clearPageFlags();
}

void MainDialog::onSaveAs()
{
    FileCommands files(this, m_skin);
    if (files.saveAs(m_currentFile.path(), m_record) == FileCommands::Done)
        clearPageFlags();
}

void MainDialog::onExit()
{
    close();
}

void MainDialog::onWhatsThis()
{
    QWhatsThis::enterWhatsThisMode();
}

void MainDialog::onAbout()
{
    widgets::AboutBox::show(this, m_skin, widgets::AboutProductPicture, widgets::AboutEmblemPicture,
                            widgets::AboutEmblemMaskPicture, QString(), QString());
}

void MainDialog::onEmptyFields()
{
    resetSettings();
    clearPageFlags();
}

send::SendWorkflow& MainDialog::sendWorkflow()
{
    if (!m_sendWorkflow)
        m_sendWorkflow =
            std::make_unique<send::SendWorkflow>(this, m_skin, m_record, *m_phoneLink);
    return *m_sendWorkflow;
}

void MainDialog::onChooseRecipientsClicked()
{
    // The chosen numbers are appended; the field is left alone otherwise.
    if (const auto field = sendWorkflow().chooseRecipients(m_recipientsEdit->text()))
        m_recipientsEdit->setText(*field);
}

void MainDialog::onSendClicked()
{
    // The keyboard goes where the mending is to be done.
    if (sendWorkflow().send(m_recipientsEdit->text()) == send::SendWorkflow::Stop::AtRecipients)
        m_recipientsEdit->setFocus(Qt::OtherFocusReason);
}

void MainDialog::onButtonCommand(int control)
{
    switch (control) {
    case ids::ChooseRecipientsButton:
        onChooseRecipientsClicked();
        break;
    case ids::SendButton:
        onSendClicked();
        break;
    case ids::EmptyFieldsButton:
        onEmptyFields();
        break;
    default:
        break;
    }
}

} // namespace mailvane::app
