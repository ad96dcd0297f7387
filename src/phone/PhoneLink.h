#pragma once

// The program's one connection to the attached phone: sends the provisioning
// push for the record's recipient as binary text messages, and lists the
// phone's contacts. Talks to the phone only through the phone service.

#include "Com.h"
#include "ContactsResult.h"
#include "EmailSettings.h"
#include "MessageSegmenter.h"
#include "PhoneResult.h"
#include "PhoneService.h"
#include "PushSecurity.h"
#include "TokenTables.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mailvane::phone {

// (name, number) pairs in the order the service gives them.
using ContactList = std::vector<std::pair<std::u16string, std::u16string>>;

class PhoneLink
{
public:
    // Creates the phone service's two interfaces (either may stay null when the
    // service is missing) and reads the token table at `tokenTablePath`.
    explicit PhoneLink(const std::filesystem::path& tokenTablePath);
    ~PhoneLink();
    PhoneLink(const PhoneLink&) = delete;
    PhoneLink& operator=(const PhoneLink&) = delete;

    // The record to send; not owned, must outlive the sends. Its `to` field is
    // the recipient.
    void setSettings(settings::EmailSettings* record) { m_settings = record; }

    // Sends the record to its one recipient. S_OK when every message went;
    // E_FAIL when there is no service, no record or no push; E_ABORT when the
    // phone cannot be reached; the service's own status when it refused a
    // message, so that the cause reaches the caller; otherwise the status of
    // the message creation or of the last send call. A failure comes with its
    // cause, the service's account and the message it stopped at.
    SendResult SendSettings(std::string_view pin);
    // The same with another security method: the push's SEC and MAC key come
    // from `security`.
    SendResult SendSettings(const provisioning::PushSecurity& security);

    // Appends the phone's (name, number) pairs: the phone's memory, then the
    // SIM. The result's status is that of the last entry request, or the
    // creation's with the list untouched; it also says which pass could not
    // list its whole store, and why.
    ContactsResult ReadContacts(ContactList& contacts);

    // Called before each message goes to the service: (1-based index, count).
    using MessageProgress = std::function<void(unsigned message, unsigned count)>;
    void setMessageProgress(MessageProgress progress) { m_progress = std::move(progress); }

    bool tokenTableLoaded() const { return m_tokenTableLoaded; }

    // Asks the network for a status report on every message sent from now.
    void requestStatusReports(bool wanted) { m_statusReports = wanted; }

private:
    PhoneResult readPhoneValue();
    SendResult sendPush(const std::string& push);
    // Why no push could be made: the token table's trouble when it has one.
    std::string encodingFailureCause() const;
    // Returns the last entry request's status; `passStatus` is S_OK when the
    // pass listed the whole store.
    PhoneResult readContactPass(IContactsService& contacts, std::int32_t selector1,
                                std::int32_t selector2, ContactList& list, PhoneResult& passStatus);

    settings::EmailSettings* m_settings = nullptr;
    platform::ComPtr<IMessageSender> m_sender;
    platform::ComPtr<IPhoneAccess> m_phone;
    provisioning::TokenTables m_tokenTables;
    provisioning::MessageSegmenter m_segmenter;
    PhoneValue m_phoneValue = 0;
    bool m_tokenTableLoaded = false;
    std::filesystem::path m_tokenTablePath;
    MessageProgress m_progress;
    bool m_statusReports = false;
};

} // namespace mailvane::phone
