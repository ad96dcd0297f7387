#include "SimulatedPhone.h"

#include "PhoneStatus.h"
#include "SmsSubmitPdu.h"
#include "PlainText.h"

#include <charconv>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace mailvane::phone {
namespace {

using platform::trimmed;

constexpr const char* ContactsFile = "contacts.txt";
constexpr const char* OutboxFile = "outbox.txt";
constexpr const char* OptionsFile = "phone.conf";

// Why the phone in `folder` cannot be reached, with the status `status`; S_OK
// when it can.
PhoneResult reachability(const std::filesystem::path& folder, bool unplugged,
                         platform::HRESULT status)
{
    if (!std::filesystem::is_directory(folder))
        return {status, "the folder " + folder.string() + " does not exist"};
    if (unplugged)
        return {status, "unplugged, as phone.conf says"};
    return platform::S_OK;
}

enum class FileState
{
    Missing,
    TooLarge,
    Readable,
};

FileState stateOf(const std::filesystem::path& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return FileState::Missing; // no file, or not a regular one: nothing to read
    return size > MaxSimulatedPhoneFileBytes ? FileState::TooLarge : FileState::Readable;
}

// The file's text, or nothing when it is missing, unreadable or too large.
std::optional<std::string> readFile(const std::filesystem::path& path)
{
    if (stateOf(path) != FileState::Readable)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

template <class Visit> void forEachLine(std::string_view text, Visit visit)
{
    while (!text.empty()) {
        const auto end = text.find('\n');
        visit(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
}

std::string hexOf(const std::vector<std::uint8_t>& bytes)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string hex;
    for (const std::uint8_t byte : bytes) {
        hex.push_back(Digits[byte >> 4]);
        hex.push_back(Digits[byte & 0x0F]);
    }
    return hex;
}

// (k, n) from a concatenation element of the header, or (1, 1) without one.
std::pair<unsigned, unsigned> partOf(const std::vector<std::uint8_t>& header)
{
    std::size_t i = 1; // past the header length
    while (i + 1 < header.size()) {
        const std::uint8_t element = header[i];
        const std::uint8_t length = header[i + 1];
        if (element == 0x00 && length == 3 && i + 4 < header.size())
            return {header[i + 4], header[i + 3]};
        i += 2u + length;
    }
    return {1, 1};
}

} // namespace

SimulatedPhoneOptions parseSimulatedPhoneOptions(std::string_view text)
{
    SimulatedPhoneOptions options;
    forEachLine(text, [&](std::string_view line) {
        line = trimmed(line.substr(0, line.find('#')));
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            return;
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = trimmed(line.substr(equals + 1));
        if (key == "unplugged") {
            options.unplugged = value == "yes" || value == "true" || value == "1";
        } else if (key == "refuse") {
            unsigned number = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), number);
            if (error == std::errc() && end == value.data() + value.size() && number > 0)
                options.refuseMessage = number;
        }
    });
    return options;
}

std::optional<std::vector<DeviceContact>> parseSimulatedContacts(std::string_view text)
{
    std::vector<DeviceContact> contacts;
    bool tooMany = false;
    forEachLine(text, [&](std::string_view line) {
        line = trimmed(line);
        if (tooMany || line.empty() || line.front() == '#')
            return;
        if (contacts.size() == MaxPhoneContacts) {
            tooMany = true;
            return;
        }
        DeviceContact contact;
        const auto separator = line.find(';');
        const std::string_view name = trimmed(line.substr(0, separator));
        if (!name.empty())
            contact.fields.push_back({values::FieldKindName, platform::bstrFromUtf8(name)});
        std::string_view numbers =
            separator == std::string_view::npos ? std::string_view{} : line.substr(separator + 1);
        while (!numbers.empty()) {
            const auto next = numbers.find(';');
            const std::string_view number = trimmed(numbers.substr(0, next));
            if (!number.empty())
                contact.fields.push_back(
                    {values::FieldKindMobileNumber, platform::bstrFromUtf8(number)});
            if (next == std::string_view::npos)
                break;
            numbers.remove_prefix(next + 1);
        }
        contacts.push_back(std::move(contact));
    });
    if (tooMany)
        return std::nullopt;
    return contacts;
}

SimulatedPhone::SimulatedPhone(std::filesystem::path folder) : m_folder(std::move(folder)) {}

SimulatedPhoneOptions SimulatedPhone::readOptions() const
{
    const std::filesystem::path path = m_folder / OptionsFile;
    if (stateOf(path) == FileState::TooLarge)
        return {.unplugged = true, .refuseMessage = std::nullopt};
    return parseSimulatedPhoneOptions(readFile(path).value_or(std::string()));
}

PhoneConnection SimulatedPhone::connect()
{
    const std::lock_guard lock(m_mutex);
    PhoneResult reached = reachability(m_folder, readOptions().unplugged, platform::E_ABORT);
    if (reached.failed())
        return {0, std::move(reached)};
    return {++m_connections, {}};
}

PhoneResult SimulatedPhone::send(const OutgoingMessage& message)
{
    const std::lock_guard lock(m_mutex);
    const unsigned number = ++m_messagesHandedIn;
    const SimulatedPhoneOptions options = readOptions();
    if (options.unplugged)
        return reachability(m_folder, true, platform::E_ABORT);
    if (options.refuseMessage == number)
        return {E_SIMULATED_REFUSAL,
                "message " + std::to_string(number) + " refused, as phone.conf asks"};
    const auto pdu = encodeSmsSubmit({.destination = message.recipient,
                                      .dataCoding = message.dataCoding,
                                      .statusReport = message.statusReport,
                                      .messageReference = static_cast<std::uint8_t>(number),
                                      .userDataHeader = message.userDataHeader,
                                      .userData = message.userData});
    if (!pdu)
        return {platform::E_INVALIDARG, NoMessageCarriesAccount};

    const auto [part, parts] = partOf(message.userDataHeader);
    std::ostringstream entry;
    entry << "PDU " << hexOf(*pdu) << "\n# to " << message.recipient << ", reference "
          << unsigned{message.concatenationReference} << ", part " << part << " of " << parts
          << "\n";
    // The pushes carry the mailbox passwords: a new outbox is its owner's alone.
    if (const int fd =
            ::open((m_folder / OutboxFile).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        fd >= 0)
        ::close(fd);
    std::ofstream out(m_folder / OutboxFile, std::ios::binary | std::ios::app);
    out << entry.str();
    out.flush();
    if (!out)
        return {E_OUTBOX_WRITE, "cannot write " + (m_folder / OutboxFile).string()};
    return platform::S_OK;
}

StoreContents SimulatedPhone::readContacts(ContactStore store)
{
    const std::lock_guard lock(m_mutex);
    if (PhoneResult reached =
            reachability(m_folder, readOptions().unplugged, E_PHONE_NOT_CONNECTED);
        reached.failed())
        return {std::move(reached), {}};
    if (store == ContactStore::Sim)
        return {};
    const std::filesystem::path path = m_folder / ContactsFile;
    if (stateOf(path) == FileState::TooLarge)
        return {platform::E_FAIL, {}};
    auto contacts = parseSimulatedContacts(readFile(path).value_or(std::string()));
    if (!contacts)
        return {E_TOO_MANY_CONTACTS, {}};
    return {platform::S_OK, std::move(*contacts)};
}

} // namespace mailvane::phone
