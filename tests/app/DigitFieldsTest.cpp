#include "AdvancedPage.h"
#include "ConnectionPage.h"
#include "GeneralPage.h"
#include "MainDialog.h"
#include "PageTestSupport.h"
#include "PasswordEdit.h"
#include "PinDialog.h"
#include "SkinTabWidget.h"

#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QToolTip>

using namespace mailvane;
using namespace mailvane::test;

namespace {

// The three ways text arrives in an edit other than by typing.
void pasteByKey(QLineEdit* edit, const QString& text)
{
    QApplication::clipboard()->setText(text);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}

void pasteByMenu(QLineEdit* edit, const QString& text)
{
    QApplication::clipboard()->setText(text);
    edit->paste(); // what the context menu's Paste runs
}

void drop(QLineEdit* edit, const QString& text)
{
    QMimeData data;
    data.setText(text);
    // The drag enters first: a drop goes only to the widget the drag is over.
    const QPoint end(edit->width() - 2, edit->height() / 2);
    QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    QDropEvent event(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &event);
}

void compose(QLineEdit* edit, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(edit, &event);
}

// The main window with both proxy groups on, and a PIN dialog over it: every
// digits-only field of the program.
class DigitFields : public testing::Test
{
protected:
    DigitFields()
    {
        window.show();
        QApplication::processEvents();
        for (pages::ConnectionPage* page : {window.incomingPage(), window.outgoingPage()}) {
            for (int i = 0; i < window.sheet()->pageCount(); ++i) {
                if (window.sheet()->page(i) == page)
                    window.sheet()->setActivePage(i);
            }
            click(page, pages::ConnectionPage::ProxiesYesRadio);
        }
        pin.show();
        const std::pair<QWidget*, int> pageFields[] = {
            {window.advancedPage(), pages::AdvancedPage::OutgoingPortEdit},
            {window.advancedPage(), pages::AdvancedPage::IncomingPortEdit},
            {window.advancedPage(), pages::AdvancedPage::RetrieveEmailsEdit},
            {window.incomingPage(), pages::ConnectionPage::PrimaryProxyPortEdit},
            {window.incomingPage(), pages::ConnectionPage::SecondaryProxyPortEdit},
            {window.outgoingPage(), pages::ConnectionPage::PrimaryProxyPortEdit},
            {window.outgoingPage(), pages::ConnectionPage::SecondaryProxyPortEdit},
        };
        digitEdits.push_back(pin.pinEdit());
        for (const auto& [page, id] : pageFields)
            digitEdits.push_back(edit(page, id));
    }

    app::MainDialog window;
    send::PinDialog pin{QString(), &window};
    std::vector<QLineEdit*> digitEdits;
};

// One rule for every digit field: keys that type a non-digit are refused
// with or without Alt, shortcuts still work, and composed text is refused
// even when it is digits. The same holds for a field that a file filled with
// a non-digit, which the edit's validator no longer guards.
TEST_F(DigitFields, typedTextIsTakenOnlyWhenItIsDigitsAndComposedTextNever)
{
    for (QLineEdit* field : digitEdits) {
        for (const QString& fromFile : {QString(), QStringLiteral("8a")}) {
            SCOPED_TRACE(field->objectName().toStdString() + ", holding \"" +
                         fromFile.toStdString() + "\"");
            field->setFocus();
            field->setText(fromFile);
            QTest::keyClicks(field, QStringLiteral("12"));
            QTest::keyClick(field, Qt::Key_A);
            QTest::keyClick(field, Qt::Key_A, Qt::AltModifier);
            QTest::keyClick(field, Qt::Key_Space);
            compose(field, QStringLiteral("x"));
            compose(field, QStringLiteral("5"));
            EXPECT_EQ(field->text(), fromFile + QStringLiteral("12"));
            // Ctrl+A selects all: the typed 3 replaces the selection.
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(field, Qt::Key_3);
            EXPECT_EQ(field->text(), QStringLiteral("3"));
        }
    }
}

TEST_F(DigitFields, pastedOrDroppedTextIsTakenOnlyWhenItIsAllDigits)
{
    using Route = void (*)(QLineEdit*, const QString&);
    const std::pair<const char*, Route> routes[] = {
        {"Ctrl+V", pasteByKey}, {"menu paste", pasteByMenu}, {"drop", drop}};
    for (QLineEdit* field : digitEdits) {
        for (const auto& [routeName, route] : routes) {
            SCOPED_TRACE(field->objectName().toStdString() + ", " + routeName);
            field->setFocus();
            field->clear();
            QTest::keyClicks(field, QStringLiteral("1"));
            const settings::EmailSettings before = window.record();
            for (const char* refused : {"8a0", " 80", "8\u00b2", "-1"}) {
                route(field, QString::fromUtf8(refused));
                EXPECT_EQ(field->text(), QStringLiteral("1")) << refused;
            }
            EXPECT_EQ(window.record(), before);
            route(field, QStringLiteral("23"));
            EXPECT_EQ(field->text(), QStringLiteral("123"));
        }
    }
    EXPECT_EQ(window.record().outgoingPort.value_or(""), "123");
}

// Every route by which an operator puts text into a text field refuses what
// the settings file cannot hold and says so beside the field, naming it.
TEST_F(DigitFields, textOutsideLatin1IsRefusedWithANoteNamingIt)
{
    using Route = void (*)(QLineEdit*, const QString&);
    // Key by key, as a keyboard layout types them (QTest knows only ASCII keys).
    const auto typeIn = [](QLineEdit* edit, const QString& text) {
        for (const char32_t c : text.toUcs4()) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                          QString::fromUcs4(&c, 1));
            QApplication::sendEvent(edit, &key);
        }
    };
    const std::pair<const char*, Route> routes[] = {{"typing", typeIn},
                                                    {"Ctrl+V", pasteByKey},
                                                    {"menu paste", pasteByMenu},
                                                    {"drop", drop},
                                                    {"input method", compose}};
    QLineEdit* const fields[] = {edit(window.generalPage(), pages::GeneralPage::MailboxEdit),
                                 edit(window.generalPage(), pages::GeneralPage::PasswordEdit)};
    for (QLineEdit* field : fields) {
        for (const auto& [routeName, route] : routes) {
            // A password field takes nothing pasted or dropped at all.
            const bool typed = route == routes[0].second || route == routes[4].second;
            if (qobject_cast<widgets::PasswordEdit*>(field) && !typed)
                continue;
            SCOPED_TRACE(field->objectName().toStdString() + ", " + routeName);
            field->setFocus();
            field->clear();
            QToolTip::hideText();
            ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
            route(field, QString::fromUtf8("Caf\u00e9"));
            EXPECT_FALSE(QToolTip::isVisible()) << "a note for text that was taken";
            route(field, QString::fromUtf8("\u0395\u03bb\U0001F600\u4e2d"));
            EXPECT_EQ(field->text(), QString::fromUtf8("Caf\u00e9"));
            ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 2000));
            // Typing meets one character at a time; the others name all of them.
            const QString last = QString::fromUtf8("\u4e2d");
            EXPECT_TRUE(QToolTip::text().contains(last)) << QToolTip::text().toStdString();
        }
    }
}

} // namespace
