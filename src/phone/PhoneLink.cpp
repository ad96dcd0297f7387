#include "PhoneLink.h"

#include "DocumentBuilder.h"
#include "PushBuilder.h"
#include "StringTable.h"

namespace mailvane::phone {

using platform::ComPtr;
using platform::E_ABORT;
using platform::E_FAIL;
using platform::S_OK;
namespace strings = settings::strings;

namespace {

std::string causeText(settings::StringId id, const std::filesystem::path& path = {})
{
    return settings::stringText(id, {path.string()});
}

// The phone link's own failure, with words that say more than the status.
SendResult failure(HRESULT status, std::string cause)
{
    SendResult result;
    result.status = status;
    result.cause = std::move(cause);
    return result;
}

// The service's verdict on message `message` of `count`.
SendResult failureAt(PhoneResult verdict, unsigned message, unsigned count)
{
    SendResult result;
    static_cast<PhoneResult&>(result) = std::move(verdict);
    result.message = message;
    result.messageCount = count;
    return result;
}

} // namespace

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
    std::error_code error;
    m_tokenTablePath = std::filesystem::absolute(tokenTablePath, error);
    if (error)
        m_tokenTablePath = tokenTablePath;
}

PhoneLink::~PhoneLink()
{
    m_settings = nullptr;
    m_phone.reset();
    m_sender.reset();
    platform::CoUninitialize();
}

PhoneResult PhoneLink::readPhoneValue()
{
    ComPtr<IPhoneSession> session;
    PhoneResult opened = m_phone ? m_phone->openPhone(values::OpenPhoneReserved,
                                                      values::OpenPhoneMode, session.put())
                                 : PhoneResult(E_ABORT);
    // A success without a session leaves the value the last one gave.
    if (opened.status != S_OK)
        m_phoneValue = 0;
    else if (session)
        session->getPhoneValue(&m_phoneValue);
    // However the service put it, a phone it could not open was not reached;
    // what it said about why is kept.
    if (m_phoneValue == 0)
        return PhoneResult(E_ABORT, opened.detail);
    return S_OK;
}

std::string PhoneLink::encodingFailureCause() const
{
    std::error_code error;
    if (!m_tokenTableLoaded)
        return causeText(std::filesystem::exists(m_tokenTablePath, error)
                             ? strings::TokenTableUnreadableCause
                             : strings::TokenTableMissingCause,
                         m_tokenTablePath);
    if (m_tokenTables.empty())
        return causeText(strings::TokenTableEmptyCause, m_tokenTablePath);
    return causeText(strings::NotEncodedCause);
}

SendResult PhoneLink::SendSettings(std::string_view pin)
{
    return SendSettings(provisioning::userPinSecurity(pin));
}

SendResult PhoneLink::SendSettings(const provisioning::PushSecurity& security)
{
    if (!m_sender)
        return failure(E_FAIL, causeText(strings::ServiceMissingCause));
    if (!m_settings)
        return failure(E_FAIL, causeText(strings::NotEncodedCause));
    if (PhoneResult reached = readPhoneValue(); reached.failed())
        return failureAt(std::move(reached), 0, 0);
    const std::optional<std::string> document = provisioning::buildDocument(*m_settings);
    if (!document)
        return failure(E_FAIL, causeText(strings::NotEncodedCause));
    const std::optional<std::string> push =
        provisioning::encodeProvisioningPush(m_tokenTables, *document, security);
    if (!push)
        return failure(E_FAIL, encodingFailureCause());
    return sendPush(*push);
}

SendResult PhoneLink::sendPush(const std::string& push)
{
    m_segmenter.countMessages(push);
    ComPtr<IShortMessage> message;
    const HRESULT created = platform::CoCreateInstance(
        CLSID_ShortMessage, nullptr, platform::CLSCTX_INPROC_SERVER, message.put());
    if (platform::FAILED(created) || !message)
        return failure(platform::FAILED(created) ? created : E_FAIL,
                       causeText(strings::ServiceMissingCause));

    const std::uint8_t reference = m_segmenter.nextReference();
    message->setFormat(values::MessageFormatBinary);
    ComPtr<IMessageData> data;
    message->getData(data.put());
    if (!data)
        return failure(E_FAIL, causeText(strings::ServiceMissingCause));

    const unsigned count = m_segmenter.messageCount();
    PhoneResult sent;
    for (unsigned index = 0; index < count; ++index) {
        const auto segment = m_segmenter.cutSegment(push, index);
        if (!segment)
            return failure(E_FAIL, causeText(strings::NotEncodedCause));
        Variant userData = provisioning::MessageSegmenter::wrapSegment(*segment);
        data->setUserData(userData);
        data->setStatusReport(m_statusReports ? values::StatusReportRequested
                                              : values::NoStatusReport);
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
        // The service's own status goes back: it says more than "refused".
        if (sent.failed())
            return failureAt(std::move(sent), index + 1, count);
    }
    // A success other than S_OK is not the success callers wait for.
    if (sent.status != S_OK) {
        SendResult odd = failureAt(std::move(sent), count, count);
        odd.cause = causeOfStatus(odd.status);
        return odd;
    }
    return {};
}

ContactsResult PhoneLink::ReadContacts(ContactList& contacts)
{
    ComPtr<IContactsService> service;
    const HRESULT created = platform::CoCreateInstance(
        CLSID_ContactsService, nullptr, platform::CLSCTX_INPROC_SERVER, service.put());
    if (platform::FAILED(created) || !service) {
        const PhoneResult why(platform::FAILED(created) ? created : E_FAIL);
        return {why, why, why};
    }
    ContactsResult result;
    readContactPass(*service, values::PhoneMemorySelector1, values::PhoneMemorySelector2, contacts,
                    result.phoneMemory);
    result.lastRequest =
        readContactPass(*service, values::SimSelector1, values::SimSelector2, contacts, result.sim);
    return result;
}

PhoneResult PhoneLink::readContactPass(IContactsService& service, std::int32_t selector1,
                                       std::int32_t selector2, ContactList& list,
                                       PhoneResult& passStatus)
{
    std::int32_t ignored1 = 0;
    std::int32_t ignored2 = 0;
    std::int32_t entryCount = 0;
    // A store the service cannot count is not listed; the walk below still
    // asks for its first entry and gets the same refusal.
    passStatus = service.getEntryCount(selector1, selector2, &ignored1, &entryCount, &ignored2);

    std::int32_t position = 0;
    ComPtr<IContactEntry> entry;
    PhoneResult status =
        service.getEntry(values::EntryFirst, 0, selector1, selector2, &position, 0, entry.put());
    for (std::int32_t visited = 0; status.status == S_OK && visited < entryCount; ++visited) {
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
    if (!passStatus.failed())
        passStatus = status.failed() ? status : PhoneResult();
    return status;
}

} // namespace mailvane::phone
