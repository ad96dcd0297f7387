#include "GallerySend.h"

#include "ChooseRecipientsDialog.h"
#include "MessageBoxWindow.h"
#include "OpenSettings.h"
#include "PhoneBackEnd.h"
#include "PhoneLink.h"
#include "PhoneStatus.h"
#include "PinDialog.h"
#include "Recipients.h"
#include "SendDialog.h"
#include "SendWorkflow.h"
#include "SendingLoop.h"
#include "ServiceObjects.h"
#include "SkinMessageBox.h"
#include "UiText.h"
#include "WaitDialog.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace mailvane::gallery {
namespace {

using namespace settings::strings;

QImage shoot(QWidget& widget)
{
    widget.show();
    QApplication::processEvents();
    return widget.grab().toImage();
}

void selectByName(QTreeWidget* list, const QString& name)
{
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        list->topLevelItem(row)->setSelected(list->topLevelItem(row)->text(0) == name);
}

// A phone whose own memory holds more contacts than are listed, and whose SIM
// holds two.
class CrowdedPhone final : public phone::PhoneDevice
{
public:
    phone::PhoneConnection connect() override { return {1, {}}; }
    phone::PhoneResult send(const phone::OutgoingMessage&) override { return {}; }
    phone::StoreContents readContacts(phone::ContactStore store) override
    {
        if (store == phone::ContactStore::PhoneMemory)
            return {phone::E_TOO_MANY_CONTACTS, {}};
        const auto contact = [](const char16_t* name, const char16_t* number) {
            return phone::DeviceContact{{{phone::values::FieldKindName, name},
                                         {phone::values::FieldKindMobileNumber, number}}};
        };
        return {platform::S_OK,
                {contact(u"Anna Berg", u"+4512345678"), contact(u"Office", u"+4533445566")}};
    }
};

void addChooser(QList<NamedImage>& out, const platform::LibraryHandle& skin, QWidget& main)
{
    QTemporaryDir folder;
    QFile contacts(folder.filePath(QStringLiteral("contacts.txt")));
    if (contacts.open(QIODevice::WriteOnly))
        contacts.write("Anna Berg;+4512345678\nBjørn Dahl;+4523456789;+4587654321\n"
                       "Zoë Åström;+46701234567\nOffice;+4533445566\n");
    contacts.close();
    phone::installPhoneBackEnd("sim:" + folder.path().toStdString());
    {
        phone::PhoneLink link(std::filesystem::path{});
        send::ChooseRecipientsDialog dialog(&main, skin, link);
        dialog.loadContacts();
        selectByName(dialog.contactsList(), QStringLiteral("Anna Berg"));
        QApplication::processEvents();
        dialog.addSelected();
        selectByName(dialog.contactsList(), QStringLiteral("Office"));
        out.append({QStringLiteral("send-choose"), shoot(dialog)});
    }
    QFile::remove(contacts.fileName());
    {
        phone::PhoneLink link(std::filesystem::path{});
        send::ChooseRecipientsDialog dialog(&main, skin, link);
        dialog.loadContacts();
        out.append({QStringLiteral("send-choose-no-contacts"), shoot(dialog)});
    }
    phone::registerPhoneService(std::make_shared<CrowdedPhone>());
    {
        phone::PhoneLink link(std::filesystem::path{});
        send::ChooseRecipientsDialog dialog(&main, skin, link);
        dialog.loadContacts();
        out.append({QStringLiteral("send-choose-incomplete"), shoot(dialog)});
    }
    phone::revokePhoneService();
}

void addWaits(QList<NamedImage>& out, const platform::LibraryHandle& skin, QWidget& main)
{
    send::WaitDialog sending(skin, &main);
    sending.setProgressText(
        widgets::uiText(SendingProgress).arg(QStringLiteral("+4512345678")).arg(2).arg(3));
    sending.setProgress(8, 18);
    out.append({QStringLiteral("send-wait-progress"), shoot(sending)});
    sending.hide();

    send::WaitDialog reading(skin, &main);
    reading.setProgressText(widgets::uiText(ReadingContacts));
    out.append({QStringLiteral("send-wait-contacts"), shoot(reading)});
}

phone::SendingOutcome failedOutcome(std::size_t sent, std::vector<std::string> numbers,
                                    phone::SendResult failure)
{
    phone::SendingOutcome outcome;
    outcome.sent = false;
    outcome.lastStatus = failure.status;
    outcome.numbersSent = sent;
    outcome.numberCount = numbers.size();
    outcome.failedNumber = numbers.at(sent);
    outcome.notTried.assign(numbers.begin() + std::ptrdiff_t(sent) + 1, numbers.end());
    outcome.failure = std::move(failure);
    return outcome;
}

void addMessages(QList<NamedImage>& out, const platform::LibraryHandle& skin, QWidget& main)
{
    widgets::SkinMessageBox::configure([](int id) { return widgets::uiText(id); }, skin);
    struct Message
    {
        const char* name;
        send::OutcomeMessage message;
    };
    using phone::SendingOutcome;
    SendingOutcome success;
    success.numbersSent = success.numberCount = 2;
    SendingOutcome nobody;
    nobody.sent = false;
    const std::vector<std::string> three{"+4512345678", "+4533445566", "+4599999999"};
    const std::string invalid = settings::invalidNumberMessage("+45 33-44 x");
    const Message messages[] = {
        {"send-outcome-success", send::outcomeMessage(success)},
        {"send-outcome-error",
         send::outcomeMessage(failedOutcome(
             1, three,
             {{phone::E_SIMULATED_REFUSAL, "message 7 refused, as phone.conf asks"}, 1, 6}))},
        {"send-outcome-gateway-refused",
         send::outcomeMessage(failedOutcome(
             0, three,
             {{phone::E_GATEWAY_REFUSED,
               "http://127.0.0.1:13013/cgi-bin/sendsms answered \"Authorization failed for "
               "sendsms\", HTTP 403"},
              1,
              6}))},
        {"send-outcome-not-connected",
         send::outcomeMessage(failedOutcome(0, three, {{platform::E_ABORT}, 0, 0}))},
        {"send-outcome-no-recipients", send::outcomeMessage(nobody)},
        {"send-recipients-invalid",
         {widgets::uiText(RecipientsInvalidCaption),
          QString::fromUtf8(invalid.data(), qsizetype(invalid.size())),
          widgets::SkinMessageBox::MbOk | widgets::SkinMessageBox::MbIconExclamation}},
        {"send-invalid-pin",
         {widgets::uiText(InvalidPinCaption), widgets::uiText(InvalidPinMessage),
          widgets::SkinMessageBox::MbOk | widgets::SkinMessageBox::MbIconExclamation}},
    };
    for (const Message& m : messages) {
        widgets::MessageBoxWindow box(&main, m.message.text, m.message.caption, m.message.flags);
        out.append({QString::fromLatin1(m.name), shoot(box)});
    }
    widgets::SkinMessageBox::release();
}

} // namespace

QList<NamedImage> renderSend(const platform::LibraryHandle& skin)
{
    QList<NamedImage> out;
    QWidget main;
    main.setGeometry(0, 0, 800, 600);
    main.show();

    {
        send::PinDialog pin(skin, &main);
        pin.pinEdit()->setText(QStringLiteral("1234"));
        out.append({QStringLiteral("send-pin"), shoot(pin)});
    }
    {
        settings::EmailSettings record;
        settings::openSettingsFile(
            std::filesystem::path(MAILVANE_SOURCE_DIR) / "examples" / "imap4-gprs.txt", record);
        record.to = "+4512345678;+46701234567;+4533445566"; // as dialled
        send::SendDialog confirm(&main, skin, record);
        out.append({QStringLiteral("send-confirm"), shoot(confirm)});
    }
    addChooser(out, skin, main);
    addWaits(out, skin, main);
    addMessages(out, skin, main);
    return out;
}

} // namespace mailvane::gallery
