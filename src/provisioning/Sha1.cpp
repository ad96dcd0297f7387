#include "Sha1.h"

#include "HexText.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define MAILVANE_SHA_NI 1
#endif

namespace mailvane::provisioning {
namespace {

std::uint32_t loadBigEndian(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

// The 80 rounds with the message schedule kept in a ring of 16 words.
void portableBlocks(Sha1::State& state, const std::uint8_t* blocks, std::size_t count)
{
    for (; count > 0; --count, blocks += 64) {
        std::uint32_t w[16];
        for (int t = 0; t < 16; ++t)
            w[t] = loadBigEndian(blocks + 4 * t);
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
        const auto round = [&](int t, std::uint32_t f, std::uint32_t k) {
            std::uint32_t word;
            if (t < 16) {
                word = w[t];
            } else {
                word =
                    std::rotl(w[(t + 13) & 15] ^ w[(t + 8) & 15] ^ w[(t + 2) & 15] ^ w[t & 15], 1);
                w[t & 15] = word;
            }
            const std::uint32_t temp = std::rotl(a, 5) + f + e + word + k;
            e = d;
            d = c;
            c = std::rotl(b, 30);
            b = a;
            a = temp;
        };
        for (int t = 0; t < 20; ++t)
            round(t, (b & c) | (~b & d), 0x5A827999u);
        for (int t = 20; t < 40; ++t)
            round(t, b ^ c ^ d, 0x6ED9EBA1u);
        for (int t = 40; t < 60; ++t)
            round(t, (b & c) | (b & d) | (c & d), 0x8F1BBCDCu);
        for (int t = 60; t < 80; ++t)
            round(t, b ^ c ^ d, 0xCA62C1D6u);
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
    }
}

#if MAILVANE_SHA_NI

// Four rounds with the SHA instructions after the first four: `Function`
// (0 to 3) picks the round function and constant, `w` holds the four schedule
// words, `previous` the state before the last four rounds, from which E comes.
template <int Function>
__attribute__((target("sha,sse4.1"), always_inline)) inline void
fourRounds(__m128i& abcd, __m128i& previous, __m128i w)
{
    const __m128i e = _mm_sha1nexte_epu32(previous, w);
    previous = abcd;
    abcd = _mm_sha1rnds4_epu32(abcd, e, Function);
}

// Replaces the oldest four schedule words (those of group g - 4) with the
// words of group g and returns them.
__attribute__((target("sha,sse4.1"), always_inline)) inline __m128i nextWords(__m128i (&w)[4],
                                                                              int g)
{
    __m128i& slot = w[g & 3];
    slot = _mm_sha1msg2_epu32(
        _mm_xor_si128(_mm_sha1msg1_epu32(slot, w[(g + 1) & 3]), w[(g + 2) & 3]), w[(g + 3) & 3]);
    return slot;
}

__attribute__((target("sha,sse4.1"))) void
instructionBlocks(Sha1::State& state, const std::uint8_t* blocks, std::size_t count)
{
    // Words are big-endian and the instructions want the first word in the top lane.
    const __m128i reverseBytes = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    __m128i abcd =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0])), 0x1B);
    __m128i e0 = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abcdSaved = abcd;
        const __m128i eSaved = e0;
        __m128i w[4];
        for (int i = 0; i < 4; ++i)
            w[i] = _mm_shuffle_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * i)), reverseBytes);

        // Group 0 adds E directly; every later group derives it from the state
        // before the previous group.
        __m128i previous = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, _mm_add_epi32(e0, w[0]), 0);
        fourRounds<0>(abcd, previous, w[1]);
        fourRounds<0>(abcd, previous, w[2]);
        fourRounds<0>(abcd, previous, w[3]);
        fourRounds<0>(abcd, previous, nextWords(w, 4));
        for (int g = 5; g < 10; ++g)
            fourRounds<1>(abcd, previous, nextWords(w, g));
        for (int g = 10; g < 15; ++g)
            fourRounds<2>(abcd, previous, nextWords(w, g));
        for (int g = 15; g < 20; ++g)
            fourRounds<3>(abcd, previous, nextWords(w, g));

        e0 = _mm_sha1nexte_epu32(previous, eSaved);
        abcd = _mm_add_epi32(abcd, abcdSaved);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = static_cast<std::uint32_t>(_mm_extract_epi32(e0, 3));
}

bool processorHasShaInstructions()
{
    // Asked of the processor directly: clang's __builtin_cpu_supports knows no "sha".
    static const bool has = [] {
        unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
        if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(ecx & bit_SSE4_1))
            return false;
        return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ebx & bit_SHA) != 0;
    }();
    return has;
}

#endif

bool g_instructionsAllowed = true;

} // namespace

bool Sha1::usesShaInstructions()
{
#if MAILVANE_SHA_NI
    return g_instructionsAllowed && processorHasShaInstructions();
#else
    return false;
#endif
}

void Sha1::setShaInstructionsAllowed(bool allowed)
{
    g_instructionsAllowed = allowed;
}

Sha1::Sha1() : m_state{0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u} {}

void Sha1::processBlocks(const std::uint8_t* blocks, std::size_t count)
{
#if MAILVANE_SHA_NI
    if (usesShaInstructions()) {
        instructionBlocks(m_state, blocks, count);
        return;
    }
#endif
    portableBlocks(m_state, blocks, count);
}

void Sha1::update(std::span<const std::uint8_t> bytes)
{
    m_length += bytes.size();
    const std::uint8_t* data = bytes.data();
    std::size_t left = bytes.size();
    if (m_blockUsed > 0) {
        const std::size_t take = std::min(left, m_block.size() - m_blockUsed);
        std::memcpy(m_block.data() + m_blockUsed, data, take);
        m_blockUsed += take;
        data += take;
        left -= take;
        if (m_blockUsed < m_block.size())
            return;
        processBlocks(m_block.data(), 1);
        m_blockUsed = 0;
    }
    if (left >= 64) {
        processBlocks(data, left / 64);
        data += left / 64 * 64;
        left %= 64;
    }
    if (left > 0)
        std::memcpy(m_block.data(), data, left);
    m_blockUsed = left;
}

Sha1::Digest Sha1::finish()
{
    const std::uint64_t bitLength = m_length * 8;
    m_block[m_blockUsed++] = 0x80;
    if (m_blockUsed > 56) {
        std::memset(m_block.data() + m_blockUsed, 0, m_block.size() - m_blockUsed);
        processBlocks(m_block.data(), 1);
        m_blockUsed = 0;
    }
    std::memset(m_block.data() + m_blockUsed, 0, 56 - m_blockUsed);
    for (int i = 0; i < 8; ++i)
        m_block[56 + i] = static_cast<std::uint8_t>(bitLength >> (56 - 8 * i));
    processBlocks(m_block.data(), 1);

    Digest digest;
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = static_cast<std::uint8_t>(m_state[i] >> (24 - 8 * j));
    }
    return digest;
}

std::string Sha1::digestText(std::span<const std::uint8_t> bytes)
{
    Sha1 sha;
    sha.update(bytes);
    const Digest digest = sha.finish();
    return hex::encode(digest);
}

} // namespace mailvane::provisioning
