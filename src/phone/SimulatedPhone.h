#pragma once

// A phone that lives in a folder, for demonstrations and tests.
//
//   DIR/contacts.txt  UTF-8, one contact a line: `name;number[;number...]`;
//                     blank lines and lines starting with '#' are skipped. The
//                     numbers are offered as mobile numbers of the phone's own
//                     memory; the SIM is empty.
//   DIR/outbox.txt    every message the phone sends is appended as two lines:
//                     `PDU <SMS-SUBMIT in hex>` and
//                     `# to <recipient>, reference <r>, part <k> of <n>`.
//   DIR/phone.conf    options, one `key = value` a line ('#' starts a comment):
//                     `unplugged = yes` makes the phone unreachable;
//                     `refuse = N` refuses the N-th message handed to this
//                     phone since the program started (counting from 1).
//
// phone.conf is read afresh whenever the program reaches for the phone.

#include "PhoneDevice.h"

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string_view>

namespace mailvane::phone {

struct SimulatedPhoneOptions
{
    bool unplugged = false;
    std::optional<unsigned> refuseMessage;
};

// Reads phone.conf text; unknown keys and malformed lines are ignored.
SimulatedPhoneOptions parseSimulatedPhoneOptions(std::string_view text);

// Largest contacts.txt or phone.conf read. A larger contacts.txt cannot be
// read; a larger phone.conf leaves the phone unplugged until it is fixed.
inline constexpr std::uintmax_t MaxSimulatedPhoneFileBytes = 1024 * 1024;

// Reads contacts.txt text; nothing when it lists more than MaxPhoneContacts.
std::optional<std::vector<DeviceContact>> parseSimulatedContacts(std::string_view text);

class SimulatedPhone final : public PhoneDevice
{
public:
    explicit SimulatedPhone(std::filesystem::path folder);

    PhoneConnection connect() override;
    PhoneResult send(const OutgoingMessage& message) override;
    StoreContents readContacts(ContactStore store) override;

    const std::filesystem::path& folder() const { return m_folder; }

private:
    SimulatedPhoneOptions readOptions() const;

    std::filesystem::path m_folder;
    std::mutex m_mutex;
    unsigned m_messagesHandedIn = 0;
    PhoneValue m_connections = 0;
};

} // namespace mailvane::phone
