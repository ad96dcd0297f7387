#include "ServiceObjects.h"

#include "PhoneStatus.h"

#include <mutex>
#include <utility>

namespace mailvane::phone {
namespace {

using platform::ComObject;
using platform::ComPtr;
using platform::E_FAIL;
using platform::E_INVALIDARG;
using platform::E_POINTER;
using platform::S_FALSE;
using platform::S_OK;

// The phone value of the connection the device last made; shared by every
// service object of one registration so that a message carries the value the
// session handed out.
struct DeviceState
{
    explicit DeviceState(std::shared_ptr<PhoneDevice> phone) : device(std::move(phone)) {}
    std::shared_ptr<PhoneDevice> device;
    std::mutex mutex;
    PhoneValue connectedValue = 0;
};

class PhoneSessionObject final : public ComObject, public IPhoneSession
{
public:
    explicit PhoneSessionObject(PhoneValue value) : m_value(value) {}
    HRESULT getPhoneValue(PhoneValue* value) override
    {
        if (!value)
            return E_POINTER;
        *value = m_value;
        return S_OK;
    }

private:
    PhoneValue m_value;
};

class MessageDataObject final : public ComObject, public IMessageData
{
public:
    HRESULT setPhoneValue(PhoneValue value) override
    {
        m_message.phoneValue = value;
        return S_OK;
    }
    HRESULT setRecipient(const BSTR& number) override
    {
        m_message.recipient = platform::bstrToUtf8(number);
        return S_OK;
    }
    HRESULT setDataCoding(std::int32_t dataCoding) override
    {
        if (dataCoding < 0 || dataCoding > 0xFF)
            return E_INVALIDARG;
        m_message.dataCoding = static_cast<std::uint8_t>(dataCoding);
        return S_OK;
    }
    HRESULT setStatusReport(std::int32_t requested) override
    {
        m_message.statusReport = requested != 0;
        return S_OK;
    }
    HRESULT setUserDataHeader(Variant header) override
    {
        if (!header.isByteArray())
            return E_INVALIDARG;
        m_message.userDataHeader = std::move(header.bytes);
        return S_OK;
    }
    HRESULT setUserData(Variant data) override
    {
        if (!data.isByteArray())
            return E_INVALIDARG;
        m_message.userData = std::move(data.bytes);
        return S_OK;
    }
    HRESULT setConcatenationReference(std::uint8_t reference) override
    {
        m_message.concatenationReference = reference;
        return S_OK;
    }

    const OutgoingMessage& message() const { return m_message; }

private:
    OutgoingMessage m_message;
};

class ShortMessageObject final : public ComObject, public IShortMessage
{
public:
    HRESULT getData(IMessageData** data) override
    {
        if (!data)
            return E_POINTER;
        platform::handOut<IMessageData>(m_data.get(), data);
        return S_OK;
    }
    HRESULT setFormat(std::int32_t format) override
    {
        m_format = format;
        return S_OK;
    }

    std::int32_t format() const { return m_format; }
    const MessageDataObject& data() const { return *m_data.get(); }

private:
    ComPtr<MessageDataObject> m_data{new MessageDataObject};
    std::int32_t m_format = 0;
};

class PhoneServiceObject final : public ComObject, public IMessageSender, public IPhoneAccess
{
public:
    explicit PhoneServiceObject(std::shared_ptr<DeviceState> state) : m_state(std::move(state)) {}

    PhoneResult sendMessage(std::int32_t, IShortMessage* message) override
    {
        const auto* ours = dynamic_cast<ShortMessageObject*>(message);
        if (!ours)
            return E_INVALIDARG;
        if (ours->format() != values::MessageFormatBinary)
            return {E_UNSUPPORTED_MESSAGE, "only binary messages can be sent"};
        const OutgoingMessage& outgoing = ours->data().message();
        {
            const std::lock_guard lock(m_state->mutex);
            if (outgoing.phoneValue == 0 || outgoing.phoneValue != m_state->connectedValue)
                return {E_STALE_PHONE_VALUE,
                        "the message names an earlier connection to the phone"};
        }
        return m_state->device->send(outgoing);
    }

    PhoneResult openPhone(std::int32_t, std::int32_t, IPhoneSession** session) override
    {
        if (!session)
            return E_POINTER;
        *session = nullptr;
        PhoneConnection connection = m_state->device->connect();
        {
            const std::lock_guard lock(m_state->mutex);
            m_state->connectedValue = connection.value;
        }
        if (connection.value == 0)
            return connection.result.failed() ? std::move(connection.result) : PhoneResult(E_FAIL);
        platform::handOut<IPhoneSession>(new PhoneSessionObject(connection.value), session);
        return S_OK;
    }

private:
    std::shared_ptr<DeviceState> m_state;
};

class ContactEntryObject final : public ComObject, public IContactEntry
{
public:
    explicit ContactEntryObject(DeviceContact contact) : m_contact(std::move(contact)) {}

    HRESULT getFieldValue(BSTR* value) override
    {
        if (!value)
            return E_POINTER;
        if (!current())
            return E_FAIL;
        *value = current()->value;
        return S_OK;
    }
    HRESULT getFieldKind(std::int32_t* kind) override
    {
        if (!kind)
            return E_POINTER;
        if (!current())
            return E_FAIL;
        *kind = current()->kind;
        return S_OK;
    }
    HRESULT getFieldCount(std::int32_t* count) override
    {
        if (!count)
            return E_POINTER;
        *count = static_cast<std::int32_t>(m_contact.fields.size());
        return S_OK;
    }
    HRESULT selectField(std::int32_t index) override
    {
        if (index < 1 || index > static_cast<std::int32_t>(m_contact.fields.size()))
            return E_INVALIDARG;
        m_selected = index;
        return S_OK;
    }

private:
    const ContactField* current() const
    {
        return m_selected > 0 ? &m_contact.fields[static_cast<std::size_t>(m_selected - 1)]
                              : nullptr;
    }

    DeviceContact m_contact;
    std::int32_t m_selected = 0;
};

std::optional<ContactStore> storeOf(std::int32_t selector1, std::int32_t selector2)
{
    if (selector1 == values::PhoneMemorySelector1 && selector2 == values::PhoneMemorySelector2)
        return ContactStore::PhoneMemory;
    if (selector1 == values::SimSelector1 && selector2 == values::SimSelector2)
        return ContactStore::Sim;
    return std::nullopt;
}

// Reads a store once per pass: the count request reads it, the entry walk then
// serves the same snapshot, so a pass sees one consistent list. A store the
// back end could not list answers both requests with the back end's reason.
class ContactsServiceObject final : public ComObject, public IContactsService
{
public:
    explicit ContactsServiceObject(std::shared_ptr<DeviceState> state) : m_state(std::move(state))
    {}

    PhoneResult getEntry(std::int32_t mode, std::int32_t, std::int32_t selector1,
                         std::int32_t selector2, std::int32_t* position, std::int32_t,
                         IContactEntry** entry) override
    {
        if (!position || !entry)
            return E_POINTER;
        *entry = nullptr;
        const auto store = storeOf(selector1, selector2);
        if (!store)
            return E_INVALIDARG;
        if (mode == values::EntryFirst) {
            if (!m_snapshot || m_snapshotStore != *store)
                takeSnapshot(*store);
            *position = 0;
        } else if (mode == values::EntryNext) {
            if (!m_snapshot || m_snapshotStore != *store)
                return E_FAIL;
            ++*position;
        } else {
            return E_INVALIDARG;
        }
        if (m_snapshot->result.failed())
            return m_snapshot->result;
        const auto& contacts = m_snapshot->contacts;
        if (*position < 0 || *position >= static_cast<std::int32_t>(contacts.size()))
            return S_FALSE;
        platform::handOut<IContactEntry>(
            new ContactEntryObject(contacts[static_cast<std::size_t>(*position)]), entry);
        return S_OK;
    }

    PhoneResult getEntryCount(std::int32_t selector1, std::int32_t selector2, std::int32_t* unused1,
                              std::int32_t* count, std::int32_t* unused2) override
    {
        if (!count)
            return E_POINTER;
        if (unused1)
            *unused1 = 0;
        if (unused2)
            *unused2 = 0;
        *count = 0;
        const auto store = storeOf(selector1, selector2);
        if (!store)
            return E_INVALIDARG;
        takeSnapshot(*store);
        if (m_snapshot->result.failed())
            return m_snapshot->result;
        *count = static_cast<std::int32_t>(m_snapshot->contacts.size());
        return S_OK;
    }

private:
    void takeSnapshot(ContactStore store)
    {
        m_snapshotStore = store;
        m_snapshot = m_state->device->readContacts(store);
    }

    std::shared_ptr<DeviceState> m_state;
    std::optional<StoreContents> m_snapshot;
    ContactStore m_snapshotStore = ContactStore::PhoneMemory;
};

} // namespace

void registerPhoneService(std::shared_ptr<PhoneDevice> device)
{
    auto state = std::make_shared<DeviceState>(std::move(device));
    platform::registerClass(CLSID_PhoneService,
                            [state]() -> IUnknown* { return new PhoneServiceObject(state); });
    platform::registerClass(CLSID_ShortMessage,
                            []() -> IUnknown* { return new ShortMessageObject; });
    platform::registerClass(CLSID_ContactsService,
                            [state]() -> IUnknown* { return new ContactsServiceObject(state); });
}

void revokePhoneService()
{
    platform::revokeClass(CLSID_PhoneService);
    platform::revokeClass(CLSID_ShortMessage);
    platform::revokeClass(CLSID_ContactsService);
}

} // namespace mailvane::phone
