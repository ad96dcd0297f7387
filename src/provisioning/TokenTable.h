#pragma once

#include <array>
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

    void add(std::string name, std::string token);
    // The token text of the first entry named `name`, or nullptr.
    const std::string* find(std::string_view name) const;
    void clear();
    bool empty() const;

private:
    struct Entry
    {
        std::string name;
        std::string token;
    };
    std::array<std::vector<Entry>, BucketCount> m_buckets;
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
