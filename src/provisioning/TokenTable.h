#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::provisioning {

// One code page of the token table: name -> token text (hexadecimal digits as
// written in the file). Names are case-sensitive; when a name was added twice
// the earlier entry wins.
class TokenTable
{
public:
    static constexpr std::size_t BucketCount = 11;

    // The bucket of `name`: the exclusive-or of its characters taken as signed
    // bytes widened to 32 bits, modulo 11 as an unsigned number.
    static std::size_t bucketOf(std::string_view name);

    // A name with its bucket and a fingerprint that lets a lookup pass over
    // the other names of its bucket without comparing them; made once per
    // name for both code pages.
    struct Key
    {
        std::string_view name;
        std::size_t bucket;
        std::uint32_t fingerprint;
    };
    static Key keyOf(std::string_view name);

    void add(std::string name, std::string token);
    // The token text of the first entry named `name`, or nullptr.
    const std::string* find(const Key& key) const
    {
        if (!m_fingerprintsSeen.test(filterIndex(key.fingerprint)))
            return nullptr; // most names looked up are not in the table
        const Bucket& bucket = m_buckets[key.bucket];
        const std::size_t size = bucket.fingerprints.size();
        for (std::size_t i = 0; i < size; ++i) {
            if (bucket.fingerprints[i] == key.fingerprint && sameName(bucket.names[i], key.name))
                return &bucket.tokens[i];
        }
        return nullptr;
    }
    const std::string* find(std::string_view name) const { return find(keyOf(name)); }
    void clear();
    bool empty() const;
    // No name longer than this is in the table.
    std::size_t longestName() const { return m_longestName; }

private:
    // One chain: the fingerprints apart from the entries so that a lookup
    // scans them in one run of memory.
    struct Bucket
    {
        std::vector<std::uint32_t> fingerprints;
        std::vector<std::string> names;
        std::vector<std::string> tokens;
    };
    std::array<Bucket, BucketCount> m_buckets;

    // The fingerprint already matched end characters and the length modulo
    // 65536 (a name of the file may be longer); names are short, so a plain
    // loop beats a library call.
    static bool sameName(const std::string& entry, std::string_view name)
    {
        if (entry.size() != name.size())
            return false;
        for (std::size_t i = 0; i < name.size(); ++i) {
            if (entry[i] != name[i])
                return false;
        }
        return true;
    }

    // A filter over the fingerprints present: a clear bit proves a name absent.
    static constexpr std::size_t FilterBits = 1024;
    static std::size_t filterIndex(std::uint32_t fingerprint)
    {
        return (fingerprint * 2654435761u) >> 22;
    }
    std::bitset<FilterBits> m_fingerprintsSeen;
    std::size_t m_longestName = 0;
};

// One entry line of the token table file.
struct TokenTableLine
{
    std::string name;
    std::string token;
    int codePage = 0; // 0 for code page 0; any other number means code page 1
};

// Parses one line of the token table file (without its line feed): leading
// blanks and tabs skipped; an empty line or one starting with # is a comment;
// otherwise the name runs to the first space, then after blanks and tabs the
// token text to the next space, then the code page as a decimal number (text
// that is not a number counts as 0; missing means 0). Comments and lines
// without token text (a name alone) give nothing. A carriage return before the
// line feed is not part of the line.
std::optional<TokenTableLine> parseTokenTableLine(std::string_view line);

} // namespace mailvane::provisioning
