#include "RecordingService.h"

#include <cstdio>

namespace mailvane::test {
namespace {

using phone::BSTR;
using phone::HRESULT;
using phone::PhoneValue;
using platform::ComObject;
using platform::S_FALSE;
using platform::S_OK;

std::string hexOf(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    char digits[3];
    for (const std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

struct Shared
{
    std::shared_ptr<RecordingScript> script;
    std::shared_ptr<Recording> recording;
    void log(std::string call) const { recording->calls.push_back(std::move(call)); }
};

// Counts itself among the live objects so that tests see every release.
class Tracked : public ComObject
{
public:
    explicit Tracked(Shared shared) : m_shared(std::move(shared))
    {
        ++m_shared.recording->liveObjects;
    }
    ~Tracked() override { --m_shared.recording->liveObjects; }

protected:
    Shared m_shared;
};

class Session final : public Tracked, public phone::IPhoneSession
{
public:
    using Tracked::Tracked;
    HRESULT getPhoneValue(PhoneValue* value) override
    {
        m_shared.log("session.getPhoneValue");
        *value = m_shared.script->phoneValue;
        return S_OK;
    }
};

class Data final : public Tracked, public phone::IMessageData
{
public:
    using Tracked::Tracked;
    HRESULT setPhoneValue(PhoneValue value) override
    {
        m_shared.log("data.setPhoneValue(" + std::to_string(value) + ")");
        m_current.phoneValue = value;
        return S_OK;
    }
    HRESULT setRecipient(const BSTR& number) override
    {
        m_shared.log("data.setRecipient(" + platform::bstrToUtf8(number) + ")");
        m_current.recipient = number;
        return S_OK;
    }
    HRESULT setDataCoding(std::int32_t coding) override
    {
        m_shared.log("data.setDataCoding(" + std::to_string(coding) + ")");
        m_current.dataCoding = coding;
        return S_OK;
    }
    HRESULT setStatusReport(std::int32_t requested) override
    {
        m_shared.log("data.setStatusReport(" + std::to_string(requested) + ")");
        m_current.statusReport = requested;
        return S_OK;
    }
    HRESULT setUserDataHeader(phone::Variant header) override
    {
        m_shared.log("data.setUserDataHeader(" + hexOf(header.bytes) + ")");
        if (!header.isByteArray() || header.lowerBound != 0)
            m_shared.log("bad header variant");
        m_current.header = header.bytes;
        return S_OK;
    }
    HRESULT setUserData(phone::Variant data) override
    {
        m_shared.log("data.setUserData(" + std::to_string(data.bytes.size()) + " bytes)");
        if (!data.isByteArray() || data.lowerBound != 0)
            m_shared.log("bad data variant");
        m_current.data = data.bytes;
        return S_OK;
    }
    HRESULT setConcatenationReference(std::uint8_t reference) override
    {
        m_shared.log("data.setConcatenationReference(" + std::to_string(reference) + ")");
        m_current.reference = reference;
        return S_OK;
    }

    SentMessage m_current;
};

class Message final : public Tracked, public phone::IShortMessage
{
public:
    Message(Shared shared, int number) : Tracked(shared), m_number(number), m_data(new Data(shared))
    {}
    HRESULT getData(phone::IMessageData** data) override
    {
        m_shared.log("message.getData");
        platform::handOut<phone::IMessageData>(m_data.get(), data);
        return S_OK;
    }
    HRESULT setFormat(std::int32_t format) override
    {
        m_shared.log("message.setFormat(" + std::to_string(format) + ")");
        return S_OK;
    }

    int number() const { return m_number; }
    SentMessage snapshot() const
    {
        SentMessage sent = m_data->m_current;
        sent.messageObject = m_number;
        return sent;
    }

private:
    int m_number;
    platform::ComPtr<Data> m_data;
};

class PhoneServiceObject final : public Tracked,
                                 public phone::IMessageSender,
                                 public phone::IPhoneAccess
{
public:
    using Tracked::Tracked;
    phone::PhoneResult sendMessage(std::int32_t reserved, phone::IShortMessage* message) override
    {
        auto* ours = dynamic_cast<Message*>(message);
        m_shared.log("sender.sendMessage(" + std::to_string(reserved) + ", message " +
                     std::to_string(ours ? ours->number() : 0) + ")");
        if (ours)
            m_shared.recording->sent.push_back(ours->snapshot());
        const int call = static_cast<int>(m_shared.recording->sent.size());
        const auto scripted = m_shared.script->sendStatus.find(call);
        if (scripted == m_shared.script->sendStatus.end())
            return S_OK;
        const auto account = m_shared.script->sendAccount.find(call);
        return {scripted->second,
                account == m_shared.script->sendAccount.end() ? "" : account->second};
    }
    phone::PhoneResult openPhone(std::int32_t reserved, std::int32_t mode,
                                 phone::IPhoneSession** session) override
    {
        m_shared.log("phone.openPhone(" + std::to_string(reserved) + ", " + std::to_string(mode) +
                     ")");
        *session = nullptr;
        if (m_shared.script->openPhoneGivesSession)
            platform::handOut<phone::IPhoneSession>(new Session(m_shared), session);
        return {m_shared.script->openPhoneStatus, m_shared.script->openPhoneAccount};
    }
};

class Entry final : public Tracked, public phone::IContactEntry
{
public:
    Entry(Shared shared, std::vector<ScriptedField> fields)
        : Tracked(shared), m_fields(std::move(fields))
    {}
    HRESULT getFieldValue(BSTR* value) override
    {
        m_shared.log("entry.getFieldValue");
        *value = m_fields.at(static_cast<std::size_t>(m_selected - 1)).value;
        return S_OK;
    }
    HRESULT getFieldKind(std::int32_t* kind) override
    {
        m_shared.log("entry.getFieldKind");
        *kind = m_fields.at(static_cast<std::size_t>(m_selected - 1)).kind;
        return S_OK;
    }
    HRESULT getFieldCount(std::int32_t* count) override
    {
        m_shared.log("entry.getFieldCount");
        *count = static_cast<std::int32_t>(m_fields.size());
        return S_OK;
    }
    HRESULT selectField(std::int32_t index) override
    {
        m_shared.log("entry.selectField(" + std::to_string(index) + ")");
        m_selected = index;
        return S_OK;
    }

private:
    std::vector<ScriptedField> m_fields;
    std::int32_t m_selected = 0;
};

class Contacts final : public Tracked, public phone::IContactsService
{
public:
    using Tracked::Tracked;
    phone::PhoneResult getEntry(std::int32_t mode, std::int32_t reserved, std::int32_t selector1,
                                std::int32_t selector2, std::int32_t* position,
                                std::int32_t reserved2, phone::IContactEntry** entry) override
    {
        m_shared.log("contacts.getEntry(" + std::to_string(mode) + ", " + std::to_string(reserved) +
                     ", " + std::to_string(selector1) + ", " + std::to_string(selector2) + ", " +
                     std::to_string(*position) + ", " + std::to_string(reserved2) + ")");
        *entry = nullptr;
        const ScriptedStore& store = m_shared.script->stores[{selector1, selector2}];
        const auto& entries = store.entries;
        if (mode == 1)
            *position = 0;
        else
            ++*position;
        if (store.failure != 0 && static_cast<std::size_t>(*position) >= store.failingFrom)
            return store.failure;
        if (*position >= static_cast<std::int32_t>(entries.size()))
            return S_FALSE;
        platform::handOut<phone::IContactEntry>(
            new Entry(m_shared, entries[static_cast<std::size_t>(*position)]), entry);
        return S_OK;
    }
    phone::PhoneResult getEntryCount(std::int32_t selector1, std::int32_t selector2,
                                     std::int32_t* unused1, std::int32_t* count,
                                     std::int32_t* unused2) override
    {
        m_shared.log("contacts.getEntryCount(" + std::to_string(selector1) + ", " +
                     std::to_string(selector2) + ")");
        *unused1 = 0;
        *unused2 = 0;
        const ScriptedStore& store = m_shared.script->stores[{selector1, selector2}];
        *count = store.reportedCount;
        return store.failure != 0 && store.failingFrom == 0 ? store.failure : S_OK;
    }
};

} // namespace

RecordingService::RecordingService(RecordingScript script)
    : m_script(std::make_shared<RecordingScript>(std::move(script))),
      m_recording(std::make_shared<Recording>())
{
    const Shared shared{m_script, m_recording};
    if (m_script->registerPhoneService) {
        platform::registerClass(phone::CLSID_PhoneService, [shared]() -> platform::IUnknown* {
            shared.log("create PhoneService");
            return new PhoneServiceObject(shared);
        });
    }
    if (m_script->registerMessage) {
        platform::registerClass(phone::CLSID_ShortMessage, [shared]() -> platform::IUnknown* {
            shared.log("create ShortMessage");
            return new Message(shared, ++shared.recording->messageObjectsCreated);
        });
    }
    if (m_script->registerContacts) {
        platform::registerClass(phone::CLSID_ContactsService, [shared]() -> platform::IUnknown* {
            shared.log("create ContactsService");
            return new Contacts(shared);
        });
    }
}

RecordingService::~RecordingService()
{
    platform::revokeClass(phone::CLSID_PhoneService);
    platform::revokeClass(phone::CLSID_ShortMessage);
    platform::revokeClass(phone::CLSID_ContactsService);
}

} // namespace mailvane::test
