#include "AdvancedPage.h"
#include "ConnectionPage.h"
#include "MainDialog.h"
#include "PageTestSupport.h"
#include "PinDialog.h"
#include "SkinTabWidget.h"

#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>

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

TEST(DigitFields, pastedOrDroppedTextIsTakenOnlyWhenItIsAllDigits)
{
    app::MainDialog window;
    window.show();
    QApplication::processEvents();
    for (pages::ConnectionPage* page : {window.incomingPage(), window.outgoingPage()}) {
        for (int i = 0; i < window.sheet()->pageCount(); ++i) {
            if (window.sheet()->page(i) == page)
                window.sheet()->setActivePage(i);
        }
        click(page, pages::ConnectionPage::ProxiesYesRadio);
    }
    send::PinDialog pin(QString(), &window);
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
    std::vector<QLineEdit*> digitEdits = {pin.pinEdit()};
    for (const auto& [page, id] : pageFields)
        digitEdits.push_back(edit(page, id));

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

} // namespace
