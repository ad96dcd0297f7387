#pragma once

// The phone connectivity service as the program sees it: its classes, its
// interfaces with the methods the program calls (in slot order after
// IUnknown's three), and the values the program passes. Every method returns
// a status; negative means failure. The calls that reach the phone return it
// with its cause and the service's account (PhoneResult.h).
//
// Nothing outside src/phone uses these declarations.

#include "Bstr.h"
#include "Com.h"
#include "PhoneResult.h"
#include "Variant.h"

#include <cstdint>
#include <string_view>

namespace mailvane::phone {

using platform::BSTR;
using platform::HRESULT;
using platform::IUnknown;
using platform::Variant;

// The value the phone session hands out; every message must carry it.
using PhoneValue = std::int32_t;

inline constexpr std::string_view CLSID_PhoneService = "Mailvane.PhoneService";
inline constexpr std::string_view CLSID_ShortMessage = "Mailvane.ShortMessage";
inline constexpr std::string_view CLSID_ContactsService = "Mailvane.ContactsService";

// Values the program passes; the service gives them their meaning.
namespace values {
inline constexpr std::int32_t OpenPhoneReserved = 0;
inline constexpr std::int32_t OpenPhoneMode = 1;
inline constexpr std::int32_t SendReserved = 0;
inline constexpr std::int32_t MessageFormatBinary = 2;
inline constexpr std::int32_t DataCoding8BitClass0 = 244; // GSM DCS 0xF4
inline constexpr std::int32_t NoStatusReport = 0;
inline constexpr std::int32_t StatusReportRequested = 1;
inline constexpr std::int32_t EntryFirst = 1;
inline constexpr std::int32_t EntryNext = 3;

// The two contact passes: the phone's own memory, then the SIM.
inline constexpr std::int32_t PhoneMemorySelector1 = 2;
inline constexpr std::int32_t PhoneMemorySelector2 = 5;
inline constexpr std::int32_t SimSelector1 = 1;
inline constexpr std::int32_t SimSelector2 = 6;

inline constexpr std::int32_t FieldKindName = 1;
inline constexpr std::int32_t FieldKindGeneralNumber = 7;
inline constexpr std::int32_t FieldKindMobileNumber = 8;
inline constexpr std::int32_t FieldKindHomeNumber = 9;
inline constexpr std::int32_t FieldKindWorkNumber = 18;

constexpr bool isOfferedNumberKind(std::int32_t kind)
{
    return kind == FieldKindGeneralNumber || kind == FieldKindMobileNumber ||
           kind == FieldKindHomeNumber || kind == FieldKindWorkNumber;
}
} // namespace values

class IShortMessage;
class IPhoneSession;
class IMessageData;
class IContactEntry;

// The phone service through the interface that sends.
class IMessageSender : public virtual IUnknown
{
public:
    // Hands the message to the phone; negative when it was not accepted.
    virtual PhoneResult sendMessage(std::int32_t reserved, IShortMessage* message) = 0;
};

// The phone service through the interface that reaches the phone.
class IPhoneAccess : public virtual IUnknown
{
public:
    // S_OK and a session when the phone can be reached, else why not.
    virtual PhoneResult openPhone(std::int32_t reserved, std::int32_t mode,
                                  IPhoneSession** session) = 0;
};

class IPhoneSession : public virtual IUnknown
{
public:
    virtual HRESULT getPhoneValue(PhoneValue* value) = 0;
};

class IShortMessage : public virtual IUnknown
{
public:
    virtual HRESULT getData(IMessageData** data) = 0;
    virtual HRESULT setFormat(std::int32_t format) = 0;
};

class IMessageData : public virtual IUnknown
{
public:
    virtual HRESULT setPhoneValue(PhoneValue value) = 0;
    virtual HRESULT setRecipient(const BSTR& number) = 0;
    virtual HRESULT setDataCoding(std::int32_t dataCoding) = 0;
    virtual HRESULT setStatusReport(std::int32_t requested) = 0;
    virtual HRESULT setUserDataHeader(Variant header) = 0;
    virtual HRESULT setUserData(Variant data) = 0;
    virtual HRESULT setConcatenationReference(std::uint8_t reference) = 0;
};

class IContactsService : public virtual IUnknown
{
public:
    // Mode EntryFirst or EntryNext; S_OK while an entry was returned.
    virtual PhoneResult getEntry(std::int32_t mode, std::int32_t reserved, std::int32_t selector1,
                                 std::int32_t selector2, std::int32_t* position,
                                 std::int32_t reserved2, IContactEntry** entry) = 0;
    virtual PhoneResult getEntryCount(std::int32_t selector1, std::int32_t selector2,
                                      std::int32_t* unused1, std::int32_t* count,
                                      std::int32_t* unused2) = 0;
};

class IContactEntry : public virtual IUnknown
{
public:
    virtual HRESULT getFieldValue(BSTR* value) = 0;
    virtual HRESULT getFieldKind(std::int32_t* kind) = 0;
    virtual HRESULT getFieldCount(std::int32_t* count) = 0;
    // Fields count from 1.
    virtual HRESULT selectField(std::int32_t index) = 0;
};

} // namespace mailvane::phone
