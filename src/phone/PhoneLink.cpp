#include "PhoneLink.h"

#include "DocumentBuilder.h"
#include "PushBuilder.h"

namespace mailvane::phone {

using platform::ComPtr;
using platform::E_ABORT;
using platform::E_FAIL;
using platform::S_OK;

PhoneLink::PhoneLink(const std::filesystem::path& tokenTablePath)
{
    // A missing service is not an error here: its interfaces stay null and every
    // send then reports a general failure.
    platform::CoInitialize(nullptr);
    platform::CoCreateInstance(CLSID_PhoneService, nullptr, platform::CLSCTX_INPROC_SERVER,
                               m_sender.put());
    platform::CoCreateInstance(CLSID_PhoneService, nullptr, platform::CLSCTX_INPROC_SERVER,
                               m_phone.put());
    m_tokenTableLoaded = m_tokenTables.load(tokenTablePath);
}

PhoneLink::~PhoneLink()
{
    m_settings = nullptr;
    m_phone.reset();
    m_sender.reset();
    platform::CoUninitialize();
}

void PhoneLink::readPhoneValue()
{
    if (!m_phone) {
        m_phoneValue = 0;
        return;
    }
    ComPtr<IPhoneSession> session;
    if (m_phone->openPhone(values::OpenPhoneReserved, values::OpenPhoneMode, session.put()) != S_OK)
        m_phoneValue = 0;
    else if (session)
        session->getPhoneValue(&m_phoneValue);
}

HRESULT PhoneLink::SendSettings(std::string_view pin)
{
    return SendSettings(provisioning::userPinSecurity(pin));
}

HRESULT PhoneLink::SendSettings(const provisioning::PushSecurity& security)
{
    if (!m_sender || !m_settings)
        return E_FAIL;
    readPhoneValue();
    if (m_phoneValue == 0)
        return E_ABORT;
    const std::optional<std::string> document = provisioning::buildDocument(*m_settings);
    if (!document)
        return E_FAIL;
    const std::optional<std::string> push =
        provisioning::encodeProvisioningPush(m_tokenTables, *document, security);
    if (!push)
        return E_FAIL;
    return sendPush(*push);
}

HRESULT PhoneLink::sendPush(const std::string& push)
{
    if (!m_sender)
        return E_FAIL;
    m_segmenter.countMessages(push);
    ComPtr<IShortMessage> message;
    const HRESULT created = platform::CoCreateInstance(
        CLSID_ShortMessage, nullptr, platform::CLSCTX_INPROC_SERVER, message.put());
    if (platform::FAILED(created) || !message)
        return platform::FAILED(created) ? created : E_FAIL;

    const std::uint8_t reference = m_segmenter.nextReference();
    message->setFormat(values::MessageFormatBinary);
    ComPtr<IMessageData> data;
    message->getData(data.put());
    if (!data)
        return E_FAIL;

    const unsigned count = m_segmenter.messageCount();
    HRESULT sent = S_OK;
    for (unsigned index = 0; index < count; ++index) {
        const auto segment = m_segmenter.cutSegment(push, index);
        if (!segment)
            return E_FAIL;
        Variant userData = provisioning::MessageSegmenter::wrapSegment(*segment);
        data->setUserData(userData);
        data->setStatusReport(values::NoStatusReport);
        data->setDataCoding(values::DataCoding8BitClass0);
        data->setPhoneValue(m_phoneValue);
        data->setRecipient(platform::bstrFromLatin1(m_settings->to.value_or(std::string())));
        data->setConcatenationReference(reference);
        Variant header = m_segmenter.buildHeader(reference, static_cast<std::uint8_t>(index + 1));
        data->setUserDataHeader(header);
        if (m_progress)
            m_progress(index + 1, count);
        sent = m_sender->sendMessage(values::SendReserved, message.get());
        platform::VariantClear(userData);
        platform::VariantClear(header);
        if (platform::FAILED(sent))
            return E_ABORT;
    }
    return sent;
}

HRESULT PhoneLink::ReadContacts(ContactList& contacts)
{
    ComPtr<IContactsService> service;
    const HRESULT created = platform::CoCreateInstance(
        CLSID_ContactsService, nullptr, platform::CLSCTX_INPROC_SERVER, service.put());
    if (platform::FAILED(created) || !service)
        return platform::FAILED(created) ? created : E_FAIL;
    readContactPass(*service, values::PhoneMemorySelector1, values::PhoneMemorySelector2, contacts);
    return readContactPass(*service, values::SimSelector1, values::SimSelector2, contacts);
}

HRESULT PhoneLink::readContactPass(IContactsService& service, std::int32_t selector1,
                                   std::int32_t selector2, ContactList& list)
{
    std::int32_t ignored1 = 0;
    std::int32_t ignored2 = 0;
    std::int32_t entryCount = 0;
    service.getEntryCount(selector1, selector2, &ignored1, &entryCount, &ignored2);

    std::int32_t position = 0;
    ComPtr<IContactEntry> entry;
    HRESULT status =
        service.getEntry(values::EntryFirst, 0, selector1, selector2, &position, 0, entry.put());
    for (std::int32_t visited = 0; status == S_OK && visited < entryCount; ++visited) {
        std::int32_t fieldCount = 0;
        if (entry)
            entry->getFieldCount(&fieldCount);
        std::u16string name;
        bool named = false;
        for (std::int32_t field = 1; entry && field <= fieldCount && !named; ++field) {
            std::int32_t kind = 0;
            entry->selectField(field);
            entry->getFieldKind(&kind);
            if (kind == values::FieldKindName) {
                entry->getFieldValue(&name);
                named = true;
            }
        }
        for (std::int32_t field = 1; named && field <= fieldCount; ++field) {
            std::int32_t kind = 0;
            entry->selectField(field);
            entry->getFieldKind(&kind);
            if (values::isOfferedNumberKind(kind)) {
                std::u16string number;
                entry->getFieldValue(&number);
                list.emplace_back(name, std::move(number));
            }
        }
        status =
            service.getEntry(values::EntryNext, 0, selector1, selector2, &position, 0, entry.put());
    }
    return status;
}

} // namespace mailvane::phone
