#include "TokenTable.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace mailvane::provisioning {

std::size_t TokenTable::bucketOf(std::string_view name)
{
    return keyOf(name).bucket;
}

TokenTable::Key TokenTable::keyOf(std::string_view name)
{
    // Widening each signed byte copies its top bit into the upper 24 bits, so
    // the 32-bit exclusive-or is the byte-wise one, widened the same way. That
    // lets eight characters be combined at a time.
    std::uint64_t wide = 0;
    std::size_t i = 0;
    for (; i + 8 <= name.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, name.data() + i, sizeof word);
        wide ^= word;
    }
    wide ^= wide >> 32;
    wide ^= wide >> 16;
    wide ^= wide >> 8;
    auto bytes = static_cast<std::uint8_t>(wide);
    for (; i < name.size(); ++i)
        bytes ^= static_cast<std::uint8_t>(name[i]);
    const auto hash =
        static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(bytes)));

    std::uint32_t fingerprint = static_cast<std::uint32_t>(name.size()) << 16;
    if (!name.empty())
        fingerprint |= (std::uint32_t{static_cast<std::uint8_t>(name.front())} << 8) |
                       static_cast<std::uint8_t>(name.back());
    return Key{name, hash % BucketCount, fingerprint};
}

void TokenTable::add(std::string name, std::string token)
{
    const Key key = keyOf(name);
    Bucket& bucket = m_buckets[key.bucket];
    m_fingerprintsSeen.set(filterIndex(key.fingerprint));
    m_longestName = std::max(m_longestName, name.size());
    bucket.fingerprints.push_back(key.fingerprint);
    bucket.names.push_back(std::move(name));
    bucket.tokens.push_back(std::move(token));
}

void TokenTable::clear()
{
    for (Bucket& bucket : m_buckets)
        bucket = Bucket{};
    m_fingerprintsSeen.reset();
    m_longestName = 0;
}

bool TokenTable::empty() const
{
    for (const Bucket& bucket : m_buckets) {
        if (!bucket.names.empty())
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
