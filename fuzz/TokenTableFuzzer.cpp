// The token table reader with the WBXML encoder. Half the inputs bring their
// own table (its text first, then a document); the other half encode a
// document with the real table.dat. Whatever the bytes: a name the table
// holds is found with the token of its first entry, and an encoding is whole
// bytes of hexadecimal within MaxWbxmlDigits, the same each time.

#include "FuzzCheck.h"
#include "HexText.h"
#include "TokenTable.h"
#include "TokenTables.h"
#include "WbxmlEncoder.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <map>

using namespace mailvane::provisioning;

namespace {

const TokenTables& realTables()
{
    static const TokenTables tables = [] {
        TokenTables loaded;
        FUZZ_CHECK(loaded.load(MAILVANE_TOKEN_TABLE_PATH));
        return loaded;
    }();
    return tables;
}

// The first entry of each name in each page, read from the text line by line
// with the line parser alone.
std::map<std::pair<int, std::string>, std::string> firstEntries(std::string_view text)
{
    std::map<std::pair<int, std::string>, std::string> entries;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const auto entry = parseTokenTableLine(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (entry && hex::isWholeBytes(entry->token) && entry->token.size() + 4 <= MaxItemLength)
            entries.emplace(std::pair(entry->codePage == 0 ? 0 : 1, entry->name), entry->token);
    }
    return entries;
}

void checkEncoding(std::string_view document, const TokenTables& tables)
{
    const auto encoded = wbxml::encode(document, tables);
    if (!encoded)
        return;
    FUZZ_CHECK(encoded->size() % 2 == 0 && encoded->size() <= MaxWbxmlDigits);
    FUZZ_CHECK(hex::isWholeBytes(*encoded));
    FUZZ_CHECK(wbxml::encode(document, tables) == encoded);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        checkEncoding(input.ConsumeRemainingBytesAsString(), realTables());
        return 0;
    }
    const std::string tableText = input.ConsumeRandomLengthString(4096);
    const std::string document = input.ConsumeRemainingBytesAsString();
    TokenTables tables;
    tables.loadText(tableText);
    const auto entries = firstEntries(tableText);
    FUZZ_CHECK(tables.empty() == entries.empty());
    for (const auto& [key, token] : entries) {
        const auto& [page, name] = key;
        const auto found = tables.find(name, static_cast<std::uint8_t>(page));
        FUZZ_CHECK(found && found->page == page && found->text == token);
    }
    checkEncoding(document, tables);
    return 0;
}
