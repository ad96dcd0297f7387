#include "HexText.h"

#include "PlainText.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mailvane::provisioning::hex {
namespace {

// Digit values for every byte; -1 for bytes that are not digits. The push is
// decoded once for the MAC and once per message, so this stays a table.
constexpr std::array<std::int8_t, 256> DigitValues = [] {
    std::array<std::int8_t, 256> values{};
    for (int c = 0; c < 256; ++c)
        values[static_cast<std::size_t>(c)] =
            static_cast<std::int8_t>(platform::hexDigitValue(static_cast<char>(c)));
    return values;
}();

constexpr char Digits[] = "0123456789abcdef";

int valueOrZero(char digit)
{
    const int value = DigitValues[static_cast<unsigned char>(digit)];
    return value < 0 ? 0 : value;
}

#if defined(__SSE2__)
// Writes the 32 digits of 16 bytes. Inline strings are mostly long runs of
// plain characters, so this is the encoder's common case.
inline __attribute__((always_inline)) void encodeSixteen(const unsigned char* bytes, char* out)
{
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const auto digits = [](__m128i n) {
        // '0' + n, and 39 more for n above 9 so that 10 becomes 'a'.
        return _mm_add_epi8(
            _mm_add_epi8(n, _mm_set1_epi8('0')),
            _mm_and_si128(_mm_cmpgt_epi8(n, _mm_set1_epi8(9)), _mm_set1_epi8('a' - '0' - 10)));
    };
    const __m128i high = digits(_mm_and_si128(_mm_srli_epi16(c, 4), nibble));
    const __m128i low = digits(_mm_and_si128(c, nibble));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(high, low));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_unpackhi_epi8(high, low));
}
#endif

// Writes 2 * count digits to `out`.
void encodeInto(const unsigned char* bytes, std::size_t count, char* out)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; count - i >= 16; i += 16, out += 32)
        encodeSixteen(bytes + i, out);
#endif
    for (; i < count; ++i) {
        *out++ = Digits[bytes[i] >> 4];
        *out++ = Digits[bytes[i] & 0x0f];
    }
}

} // namespace

int digitValue(char digit)
{
    return DigitValues[static_cast<unsigned char>(digit)];
}

bool isWholeBytes(std::string_view text)
{
    if (text.size() % 2 != 0)
        return false;
    for (const char c : text) {
        if (digitValue(c) < 0)
            return false;
    }
    return true;
}

#if defined(__SSE2__)
// Decodes 16 digits into 8 bytes when all of them are digits; returns false
// (writing nothing) otherwise, so that the caller takes the byte-wise path.
inline __attribute__((always_inline)) bool decodeSixteen(const char* digits, std::uint8_t* out)
{
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(digits));
    // Fold lower case onto upper case, then test the two ranges.
    const __m128i upper = _mm_andnot_si128(_mm_set1_epi8(0x20), c);
    const __m128i isDecimal = _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8('0' - 1)),
                                            _mm_cmplt_epi8(c, _mm_set1_epi8('9' + 1)));
    const __m128i isLetter = _mm_and_si128(_mm_cmpgt_epi8(upper, _mm_set1_epi8('A' - 1)),
                                           _mm_cmplt_epi8(upper, _mm_set1_epi8('F' + 1)));
    if (_mm_movemask_epi8(_mm_or_si128(isDecimal, isLetter)) != 0xFFFF)
        return false;
    // '0'-'9' -> low nibble; 'A'-'F'/'a'-'f' -> low nibble + 9.
    const __m128i values = _mm_add_epi8(_mm_and_si128(c, _mm_set1_epi8(0x0F)),
                                        _mm_and_si128(isLetter, _mm_set1_epi8(9)));
    // Each 16-bit lane holds (high digit, low digit); make it one byte.
    const __m128i high = _mm_slli_epi16(_mm_and_si128(values, _mm_set1_epi16(0x00FF)), 4);
    const __m128i low = _mm_srli_epi16(values, 8);
    const __m128i bytes = _mm_packus_epi16(_mm_or_si128(high, low), _mm_setzero_si128());
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
    return true;
}
#endif

std::size_t decodeInto(std::string_view text, std::uint8_t* out)
{
    const std::size_t count = text.size() / 2;
    const char* digits = text.data();
    std::uint8_t* const end = out + count;
#if defined(__SSE2__)
    while (end - out >= 8 && decodeSixteen(digits, out)) {
        digits += 16;
        out += 8;
    }
#endif
    for (; out < end; ++out, digits += 2)
        *out = static_cast<std::uint8_t>((valueOrZero(digits[0]) << 4) | valueOrZero(digits[1]));
    return count;
}

std::vector<std::uint8_t> decode(std::string_view text)
{
    std::vector<std::uint8_t> bytes(text.size() / 2);
    decodeInto(text, bytes.data());
    return bytes;
}

std::string encode(std::span<const std::uint8_t> bytes)
{
    std::string text(bytes.size() * 2, '\0');
    encodeInto(bytes.data(), bytes.size(), text.data());
    return text;
}

void append(std::string_view bytes, std::string& out)
{
    const std::size_t start = out.size();
    out.resize(start + 2 * bytes.size());
    encodeInto(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
               out.data() + start);
}

} // namespace mailvane::provisioning::hex
