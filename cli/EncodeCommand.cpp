#include "CliSupport.h"
#include "Command.h"
#include "DocumentBuilder.h"
#include "HexText.h"
#include "MessageSegmenter.h"
#include "PinInput.h"
#include "PushBuilder.h"
#include "Recipients.h"
#include "RowInput.h"
#include "SecurityOptions.h"
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

constexpr std::string_view CommandName = "encode";

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
    return commandUsageError(CommandName, message);
}

bool loadTokenTables(const Arguments& arguments, provisioning::TokenTables& tables)
{
    const std::optional<std::filesystem::path> found = tokenTablePath(arguments);
    if (!found)
        return false;
    const std::filesystem::path& table = *found;
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
    Encoding(settings::EmailSettings& record, provisioning::PushSecurity security)
        : m_record(record), m_security(std::move(security))
    {}

    bool load(const Arguments& arguments) { return loadTokenTables(arguments, m_tokenTables); }
    const provisioning::TokenTables& tokenTables() const { return m_tokenTables; }

    std::optional<std::string> document() { return document(m_record); }

    static std::optional<std::string> document(const settings::EmailSettings& record)
    {
        std::optional<std::string> text = provisioning::buildDocument(record);
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
            provisioning::encodeProvisioningPush(m_tokenTables, document, m_security);
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
    provisioning::PushSecurity m_security;
    provisioning::TokenTables m_tokenTables;
    provisioning::MessageSegmenter m_segmenter;
};

// encode TEMPLATE --rows FILE: each row's document or messages in turn,
// once every row has been found good; one row is held at a time.
int runRows(const Arguments& arguments, Format format, provisioning::SecurityMethod method)
{
    if (format != Format::Messages && format != Format::Document)
        return usageError("--rows prints each row's document or messages: use --format document "
                          "or --format messages");
    for (const char* single : {"to", "imsi"}) {
        if (arguments.option(single))
            return usageError(std::string("--") + single +
                              " has no place with --rows: the table gives each row's");
    }
    int status = ExitUsage;
    std::optional<RowOptions> options = rowOptions(arguments, method, CommandName, status);
    if (!options)
        return status;
    settings::EmailSettings templateRecord;
    if (!loadSettings(arguments.operands[0], LoadMode::AsWritten, templateRecord))
        return ExitFailure;
    Encoding encoding(templateRecord, {});
    if (!encoding.load(arguments))
        return ExitFailure;
    const RowSetup setup{templateRecord, std::move(options->rules), encoding.tokenTables(),
                         options->encoding};
    const std::optional<TableFile> file = TableFile::open(*arguments.option("rows"));
    if (!file)
        return ExitFailure;

    return printEachRow(
        *file, setup, [&](const rows::PersonRow& row) -> std::optional<std::string> {
            if (format == Format::Document) {
                const std::optional<std::string> document = encoding.document(row.record);
                if (!document)
                    return std::nullopt;
                return "# line " + std::to_string(row.line) + "\n" + *document;
            }
            std::string out;
            if (!encoding.appendMessages(row.push, out))
                return std::nullopt;
            return out;
        });
}

int runEncode(const Arguments& arguments)
{
    const std::optional<Format> format = parseFormat(*arguments.option("format"));
    if (!format)
        return usageError("unknown format '" + *arguments.option("format") +
                          "'; use document, wbxml, push or messages");
    const std::optional<provisioning::SecurityMethod> method =
        securityMethod(arguments, CommandName);
    if (!method)
        return ExitUsage;
    if (arguments.option("rows"))
        return runRows(arguments, *format, *method);
    std::optional<provisioning::PushSecurity> security =
        singlePushSecurity(arguments, *method, CommandName);
    if (!security)
        return ExitUsage;
    // Without --to one push is built, as for a single unnamed recipient.
    std::vector<std::string> recipients{std::string()};
    if (const std::string* to = arguments.option("to")) {
        settings::RecipientList list = settings::parseRecipients(*to);
        if (list.invalidPiece)
            return usageError("--to: " + settings::invalidNumberMessage(*list.invalidPiece));
        recipients = std::move(list.numbers);
        if (recipients.empty())
            return usageError("--to holds no phone number");
        if (provisioning::usesImsi(*method) && recipients.size() != 1)
            return usageError("--imsi keys the push for one SIM: give one number");
    }

    settings::EmailSettings record;
    if (!loadSettings(arguments.operands[0], LoadMode::AsOpened, record))
        return ExitFailure;
    Encoding encoding(record, std::move(*security));
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

constexpr std::array<OptionInfo, 10> EncodeOptions = {{
    PinOption,
    PinFileOption,
    {"format", "FORMAT", true, "document, wbxml, push or messages"},
    {"to", "NUMBERS", false, "recipients for messages, as \"num;num;...\" (one push each)"},
    {"rows", "TABLE", false,
     "one push per row of a CSV table, as send --rows builds them (document or messages)"},
    SharedOption,
    EncodingOption,
    SecurityOption,
    ImsiOption,
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
    "            starting at 1. With --rows, each row's push in the table's order.\n"
    "With --rows and --format document, each row's document after a line\n"
    "\"# line N\" naming its line in the table.\n"
    "Unless --table names it, the token table is read from the data folder of the\n"
    "installation (" MAILVANE_DATA_DIR "); a program in the build tree reads the\n"
    "table.dat of the current folder, else the one beside it.\n",
    EncodeOptions,
    runEncode,
};

} // namespace mailvane::cli
