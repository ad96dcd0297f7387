#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace mailvane::provisioning {

// What the beginning of a document element (its text up to the opening quote
// of its second value) writes, by the code page current before it. A document
// repeats the same few dozen beginnings, and working one out afresh takes four
// table lookups; remembering them halves the encoder's time.
class ElementCache
{
public:
    struct Beginning
    {
        std::string tokens;
        std::uint8_t pageAfter;
        bool hasSecondValue;
        bool needsEnd;
    };

    // The beginning remembered for `text` with `page` current, or nullptr.
    const Beginning* find(std::string_view text, std::uint8_t page) const;
    // Remembers `beginning`; once the cache is full, nothing more is kept.
    void add(std::string_view text, std::uint8_t page, Beginning beginning);
    void clear();

private:
    struct TextHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const
        {
            return std::hash<std::string_view>{}(text);
        }
    };
    static constexpr std::size_t MaxBeginnings = 256;
    std::unordered_map<std::string, Beginning, TextHash, std::equal_to<>> m_byPage[2];
};

} // namespace mailvane::provisioning
