#include "GammuText.h"

namespace mailvane::phone {

std::u16string fromGammuText(const unsigned char* bytes, std::size_t size)
{
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto unit = static_cast<char16_t>((bytes[i] << 8) | bytes[i + 1]);
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

bool toGammuNumber(std::string_view number, unsigned char* out, std::size_t size)
{
    if (number.empty() || (number.size() + 1) * 2 > size)
        return false;
    std::size_t at = 0;
    for (std::size_t i = 0; i < number.size(); ++i) {
        const char c = number[i];
        const bool dialable =
            (c >= '0' && c <= '9') || c == '*' || c == '#' || (c == '+' && i == 0);
        if (!dialable)
            return false;
        out[at++] = 0;
        out[at++] = static_cast<unsigned char>(c);
    }
    out[at++] = 0;
    out[at] = 0;
    return true;
}

} // namespace mailvane::phone
