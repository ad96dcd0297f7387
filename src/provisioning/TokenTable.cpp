#include "TokenTable.h"

#include <cstdint>

namespace mailvane::provisioning {

std::size_t TokenTable::bucketOf(std::string_view name)
{
    std::uint32_t hash = 0;
    for (const char c : name)
        hash ^= static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
    return hash % BucketCount;
}

void TokenTable::add(std::string name, std::string token)
{
    auto& bucket = m_buckets[bucketOf(name)];
    bucket.push_back(Entry{std::move(name), std::move(token)});
}

const std::string* TokenTable::find(std::string_view name) const
{
    for (const Entry& entry : m_buckets[bucketOf(name)]) {
        if (entry.name == name)
            return &entry.token;
    }
    return nullptr;
}

void TokenTable::clear()
{
    for (auto& bucket : m_buckets)
        bucket.clear();
}

bool TokenTable::empty() const
{
    for (const auto& bucket : m_buckets) {
        if (!bucket.empty())
            return false;
    }
    return true;
}

namespace {

std::size_t skipBlanksAndTabs(std::string_view line, std::size_t pos)
{
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
        ++pos;
    return pos;
}

// The characters from `pos` up to the next space (a tab does not end a field).
std::string_view fieldAt(std::string_view line, std::size_t pos)
{
    const std::size_t end = line.find(' ', pos);
    return line.substr(pos, end == std::string_view::npos ? line.size() - pos : end - pos);
}

// Leading decimal number, as the C library reads one; anything else is 0.
int decimalPrefix(std::string_view text)
{
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > 1000000)
            break; // any large number is simply "not 0"
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

std::optional<TokenTableLine> parseTokenTableLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::size_t pos = skipBlanksAndTabs(line, 0);
    if (pos == line.size() || line[pos] == '#')
        return std::nullopt;
    const std::string_view name = fieldAt(line, pos);
    pos += name.size();
    pos = skipBlanksAndTabs(line, pos);
    const std::string_view token = fieldAt(line, pos);
    if (token.empty())
        return std::nullopt; // an entry that writes nothing would only hide a broken table
    pos = skipBlanksAndTabs(line, pos + token.size());
    const std::string_view page = fieldAt(line, pos);
    return TokenTableLine{std::string(name), std::string(token), decimalPrefix(page)};
}

} // namespace mailvane::provisioning
