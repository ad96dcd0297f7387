#pragma once

// What a back end (a real phone, a simulated one) must do for the phone
// service. The service's COM objects translate the program's calls into these.

#include "PhoneResult.h"
#include "PhoneService.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::phone {

class StatusReportSource;

// One 8-bit text message as the program described it.
struct OutgoingMessage
{
    PhoneValue phoneValue = 0;
    std::string recipient; // UTF-8, as typed
    std::uint8_t dataCoding = 0;
    bool statusReport = false;
    std::vector<std::uint8_t> userDataHeader; // with its length byte first
    std::vector<std::uint8_t> userData;
    std::uint8_t concatenationReference = 0;
    // Where a gateway sends this message's delivery reports; empty for none.
    std::string reportUrl;
};

struct ContactField
{
    std::int32_t kind = 0; // values::FieldKind...
    std::u16string value;
};

struct DeviceContact
{
    std::vector<ContactField> fields;
};

// A back end's account of a message that no text message can carry.
inline constexpr std::string_view NoMessageCarriesAccount =
    "no text message can carry this number and data";

// Most contacts one store may list. Far above any phone's phonebook; a store
// that claims more is refused rather than read for minutes into memory.
inline constexpr std::size_t MaxPhoneContacts = 10000;

enum class ContactStore
{
    PhoneMemory,
    Sim,
};

// One store as a back end read it: all its entries with S_OK, or none with the
// failure that says why (the phone out of reach or too slow, a read that
// failed, E_TOO_MANY_CONTACTS). A store the phone lacks reads as empty.
struct StoreContents
{
    PhoneResult result;
    std::vector<DeviceContact> contacts;
};

// A connection to the phone: a non-zero value names it; 0 means the phone
// cannot be reached, and `result` says why.
struct PhoneConnection
{
    PhoneValue value = 0;
    PhoneResult result;
};

class PhoneDevice
{
public:
    virtual ~PhoneDevice() = default;

    // Reaches the phone. Never blocks longer than the back end's bound.
    virtual PhoneConnection connect() = 0;

    // Hands one message to the phone. S_OK when it was accepted, a failure
    // with its cause when it was refused or the phone did not answer in time.
    virtual PhoneResult send(const OutgoingMessage& message) = 0;

    // The entries of one store, or why there are none.
    virtual StoreContents readContacts(ContactStore store) = 0;

    // The phone's status reports, when it can ask for and read them; null
    // when it cannot. Owned by the device.
    virtual StatusReportSource* statusReports() { return nullptr; }
};

} // namespace mailvane::phone
