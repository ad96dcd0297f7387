#include "SimulatedPhone.h"

#include "PhoneStatus.h"
#include "SmsSubmitPdu.h"
#include "PlainText.h"

#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace mailvane::phone {
namespace {

using platform::trimmed;
using platform::wholeNumber;

constexpr const char* ContactsFile = "contacts.txt";
constexpr const char* OutboxFile = "outbox.txt";
constexpr const char* OptionsFile = "phone.conf";
constexpr const char* ReportsFile = "reports.txt";
constexpr std::string_view ReportsForKey = "reports for ";
// TP-Status of the reports written: received by the recipient, and a
// permanent error the centre gave up on.
constexpr std::uint8_t StatusReceived = 0x00;
constexpr std::uint8_t StatusRefused = 0x40;

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

std::optional<SimulatedReport> reportOfWord(std::string_view word)
{
    if (word == "delivered")
        return SimulatedReport::Delivered;
    if (word == "not delivered")
        return SimulatedReport::NotDelivered;
    if (word == "none")
        return SimulatedReport::None;
    return std::nullopt;
}

// "REPORT <recipient> <reference> <status in hex>"
std::optional<PhoneStatusReport> reportOfLine(std::string_view line)
{
    std::vector<std::string_view> words;
    while (!line.empty() && words.size() < 5) {
        const auto start = line.find_first_not_of(" \t\r");
        if (start == std::string_view::npos)
            break;
        line.remove_prefix(start);
        const auto end = line.find_first_of(" \t\r");
        words.push_back(line.substr(0, end));
        line.remove_prefix(end == std::string_view::npos ? line.size() : end);
    }
    if (words.size() != 4 || words[0] != "REPORT")
        return std::nullopt;
    const auto reference = wholeNumber<unsigned>(words[2]);
    const auto status = wholeNumber<unsigned>(words[3], 16);
    if (!reference || *reference > 255 || !status || *status > 255)
        return std::nullopt;
    return PhoneStatusReport{std::string(words[1]), static_cast<std::uint8_t>(*reference),
                             static_cast<std::uint8_t>(*status)};
}

} // namespace

SimulatedReport SimulatedPhoneOptions::reportFor(std::string_view number) const
{
    const std::string_view digits = trimmed(number);
    std::size_t longest = 0;
    SimulatedReport chosen = reports;
    for (const auto& [ending, report] : reportsByEnding) {
        if (ending.size() >= longest && digits.ends_with(ending)) {
            longest = ending.size();
            chosen = report;
        }
    }
    return chosen;
}

SimulatedReportLines parseSimulatedReports(std::string_view text)
{
    SimulatedReportLines read;
    while (true) {
        const auto end = text.find('\n', read.consumed);
        if (end == std::string_view::npos)
            break; // a line still being written is read next time
        if (auto report = reportOfLine(text.substr(read.consumed, end - read.consumed)))
            read.reports.push_back(std::move(*report));
        read.consumed = end + 1;
    }
    return read;
}

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
        } else if (key == "reports") {
            options.reports = reportOfWord(value).value_or(options.reports);
        } else if (key.starts_with(ReportsForKey)) {
            const std::string_view ending = trimmed(key.substr(ReportsForKey.size()));
            const std::optional<SimulatedReport> report = reportOfWord(value);
            if (report && !ending.empty() &&
                ending.find_first_not_of("0123456789") == std::string_view::npos)
                options.reportsByEnding.emplace_back(std::string(ending), *report);
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
    if (stateOf(path) == FileState::TooLarge) {
        SimulatedPhoneOptions unplugged;
        unplugged.unplugged = true;
        return unplugged;
    }
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
    if (!message.statusReport)
        return platform::S_OK;
    const auto reference = static_cast<std::uint8_t>(number);
    m_sentReferences.push_back(reference);
    if (!m_reportsRead)
        m_reportsRead = reportsFileSize();
    return writeReport(message, reference, options.reportFor(message.recipient));
}

PhoneResult SimulatedPhone::writeReport(const OutgoingMessage& message, std::uint8_t reference,
                                        SimulatedReport report)
{
    if (report == SimulatedReport::None)
        return platform::S_OK;
    char status[3];
    std::snprintf(status, sizeof status, "%02X",
                  unsigned{report == SimulatedReport::Delivered ? StatusReceived : StatusRefused});
    std::ofstream out(m_folder / ReportsFile, std::ios::binary | std::ios::app);
    out << "REPORT " << message.recipient << " " << unsigned{reference} << " " << status << "\n";
    out.flush();
    // The message went; only its report is lost, which the batch then counts.
    return platform::S_OK;
}

std::vector<std::uint8_t> SimulatedPhone::takeSentReferences()
{
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_sentReferences, {});
}

std::uintmax_t SimulatedPhone::reportsFileSize() const
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(m_folder / ReportsFile, error);
    return error ? 0 : size;
}

StatusReportsRead SimulatedPhone::readStatusReports()
{
    const std::lock_guard lock(m_mutex);
    // A file emptied or replaced since is read from its start.
    const std::uintmax_t size = reportsFileSize();
    if (!m_reportsRead || *m_reportsRead > size)
        m_reportsRead = m_reportsRead ? 0 : size;
    std::ifstream in(m_folder / ReportsFile, std::ios::binary);
    if (!in)
        return {}; // no report has come yet
    in.seekg(static_cast<std::streamoff>(*m_reportsRead));
    std::string text;
    // Read in bounded pieces, so that a huge file is read over several calls.
    text.resize(MaxSimulatedPhoneFileBytes);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    SimulatedReportLines read = parseSimulatedReports(text);
    if (read.consumed == 0 && text.size() == MaxSimulatedPhoneFileBytes)
        read.consumed = text.size(); // one line longer than any report: passed over
    *m_reportsRead += read.consumed;
    return {platform::S_OK, std::move(read.reports)};
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
