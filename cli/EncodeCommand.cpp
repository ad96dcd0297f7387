#include "CliSupport.h"
#include "Command.h"
#include "DocumentBuilder.h"
#include "HexText.h"
#include "MessageSegmenter.h"
#include "PushBuilder.h"
#include "Recipients.h"
#include "TokenTableLocator.h"
#include "WbxmlEncoder.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace mailvane::cli {
namespace {

enum class Format
{
    Document,
    Wbxml,
    Push,
    Messages
};

struct FormatName
{
    std::string_view name;
    Format format;
};

constexpr std::array<FormatName, 4> Formats = {{{"document", Format::Document},
                                                {"wbxml", Format::Wbxml},
                                                {"push", Format::Push},
                                                {"messages", Format::Messages}}};

// As many characters as the PIN dialog lets the operator type.
constexpr std::size_t MaxPinLength = 10;

std::optional<Format> parseFormat(std::string_view name)
{
    for (const FormatName& entry : Formats) {
        if (entry.name == name)
            return entry.format;
    }
    return std::nullopt;
}

int usageError(const std::string& message)
{
    printError(message);
    printError("try 'mailvane-cli encode --help' for more information");
    return ExitUsage;
}

bool loadTokenTables(const Arguments& arguments, provisioning::TokenTables& tables)
{
    std::filesystem::path table;
    if (const std::string* given = arguments.option("table")) {
        table = *given;
    } else if (auto found = provisioning::locateTokenTable(arguments.executableDir)) {
        table = *found;
    } else {
        printError(std::string("cannot find the token table ") + provisioning::TokenTableFileName +
                   " in the current folder, the data folder or beside the program; give its "
                   "path with --table");
        return false;
    }
    if (!tables.load(table)) {
        printError("cannot read the token table " + table.string());
        return false;
    }
    if (tables.empty()) {
        printError("the token table " + table.string() + " holds no tokens");
        return false;
    }
    return true;
}

class Encoding
{
public:
    Encoding(settings::EmailSettings& record, std::string pin)
        : m_record(record), m_pin(std::move(pin))
    {}

    bool load(const Arguments& arguments) { return loadTokenTables(arguments, m_tokenTables); }

    std::optional<std::string> document()
    {
        std::optional<std::string> text = provisioning::buildDocument(m_record);
        if (!text)
            printError("the settings make a provisioning document longer than " +
                       std::to_string(provisioning::MaxDocumentLength) + " characters");
        return text;
    }

    std::optional<std::string> wbxml(const std::string& document)
    {
        std::optional<std::string> hex = provisioning::wbxml::encode(document, m_tokenTables);
        if (!hex)
            printError(EncodingFailed);
        return hex;
    }

    std::optional<std::string> push(const std::string& document)
    {
        std::optional<std::string> hex =
            provisioning::encodeProvisioningPush(m_tokenTables, document, m_pin);
        if (!hex)
            printError(EncodingFailed);
        return hex;
    }

    // One line per message: header bytes, a blank, user-data bytes.
    bool appendMessages(const std::string& pushHex, std::string& out)
    {
        const std::uint8_t reference = m_segmenter.nextReference();
        m_segmenter.countMessages(pushHex);
        for (unsigned index = 0; index < m_segmenter.messageCount(); ++index) {
            const auto segment = m_segmenter.cutSegment(pushHex, index);
            if (!segment)
                return false;
            const auto header =
                m_segmenter.buildHeader(reference, static_cast<std::uint8_t>(index + 1));
            out += provisioning::hex::encode(header.bytes);
            out += ' ';
            out += provisioning::hex::encode(*segment);
            out += '\n';
        }
        return true;
    }

private:
    static constexpr std::string_view EncodingFailed =
        "the settings cannot be encoded with this token table (a missing token or a "
        "message longer than a push may be)";

    settings::EmailSettings& m_record;
    std::string m_pin;
    provisioning::TokenTables m_tokenTables;
    provisioning::MessageSegmenter m_segmenter;
};

int runEncode(const Arguments& arguments)
{
    const std::string& pin = *arguments.option("pin");
    if (pin.empty() || pin.size() > MaxPinLength)
        return usageError("the PIN must have 1 to " + std::to_string(MaxPinLength) + " characters");
    const std::optional<Format> format = parseFormat(*arguments.option("format"));
    if (!format)
        return usageError("unknown format '" + *arguments.option("format") +
                          "'; use document, wbxml, push or messages");
    // Without --to one push is built, as for a single unnamed recipient.
    std::vector<std::string> recipients{std::string()};
    if (const std::string* to = arguments.option("to")) {
        settings::RecipientList list = settings::parseRecipients(*to);
        if (list.invalidPiece)
            return usageError("--to: " + settings::invalidNumberMessage(*list.invalidPiece));
        recipients = std::move(list.numbers);
        if (recipients.empty())
            return usageError("--to holds no phone number");
    }

    settings::EmailSettings record;
    if (!loadSettings(arguments.operands[0], LoadMode::AsOpened, record))
        return ExitFailure;
    Encoding encoding(record, pin);
    if (*format == Format::Document) {
        const auto document = encoding.document();
        return document ? printOutput(*document) : ExitFailure;
    }
    if (!encoding.load(arguments))
        return ExitFailure;
    if (*format == Format::Wbxml || *format == Format::Push) {
        const auto document = encoding.document();
        if (!document)
            return ExitFailure;
        const auto hex =
            *format == Format::Wbxml ? encoding.wbxml(*document) : encoding.push(*document);
        return hex ? printOutput(*hex + "\n") : ExitFailure;
    }

    // As the window sends: each recipient in turn in `To`, one push each.
    std::string out;
    for (const std::string& number : recipients) {
        if (!number.empty())
            record.to = number;
        const auto document = encoding.document();
        const auto push = document ? encoding.push(*document) : std::nullopt;
        if (!push || !encoding.appendMessages(*push, out))
            return ExitFailure;
    }
    return printOutput(out);
}

constexpr std::array<OptionInfo, 4> EncodeOptions = {{
    {"pin", "PIN", true, "the PIN code the phone asks for (1 to 10 characters)"},
    {"format", "FORMAT", true, "document, wbxml, push or messages"},
    {"to", "NUMBERS", false, "recipients for messages, as \"num;num;...\" (one push each)"},
    {"table", "PATH", false, "the token table file (default: table.dat, searched for)"},
}};

} // namespace

extern const Command encodeCommand;
const Command encodeCommand{
    "encode",
    "FILE",
    1,
    "Turn a settings file into the provisioning message sent to phones.",
    "The file is opened as the window opens it. Formats:\n"
    "  document  the provisioning document, LF line ends\n"
    "  wbxml     the WBXML as hexadecimal text, then LF\n"
    "  push      the WAP push with the PIN's MAC as hexadecimal text, then LF\n"
    "  messages  the text messages of each recipient's push, one per line: the\n"
    "            user-data header in hexadecimal, a blank, the user data in\n"
    "            hexadecimal. Each push takes the next concatenation reference,\n"
    "            starting at 1.\n"
    "Unless --table names it, the token table is looked for in the current folder,\n"
    "then in " MAILVANE_DATA_DIR ", then beside the program.\n",
    EncodeOptions,
    runEncode,
};

} // namespace mailvane::cli
