#include "Sha1.h"

#include "HexText.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace mailvane::provisioning {

Sha1::Sha1() : m_state{0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u} {}

void Sha1::processBlock(const std::uint8_t* block)
{
    std::uint32_t w[80];
    for (int t = 0; t < 16; ++t)
        w[t] = (std::uint32_t{block[4 * t]} << 24) | (std::uint32_t{block[4 * t + 1]} << 16) |
               (std::uint32_t{block[4 * t + 2]} << 8) | std::uint32_t{block[4 * t + 3]};
    for (int t = 16; t < 80; ++t)
        w[t] = std::rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);

    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3], e = m_state[4];
    for (int t = 0; t < 80; ++t) {
        std::uint32_t f;
        std::uint32_t k;
        if (t < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999u;
        } else if (t < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1u;
        } else if (t < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDCu;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6u;
        }
        const std::uint32_t temp = std::rotl(a, 5) + f + e + w[t] + k;
        e = d;
        d = c;
        c = std::rotl(b, 30);
        b = a;
        a = temp;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
    m_state[4] += e;
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
        processBlock(m_block.data());
        m_blockUsed = 0;
    }
    for (; left >= 64; data += 64, left -= 64)
        processBlock(data);
    std::memcpy(m_block.data(), data, left);
    m_blockUsed = left;
}

Sha1::Digest Sha1::finish()
{
    const std::uint64_t bitLength = m_length * 8;
    m_block[m_blockUsed++] = 0x80;
    if (m_blockUsed > 56) {
        std::memset(m_block.data() + m_blockUsed, 0, m_block.size() - m_blockUsed);
        processBlock(m_block.data());
        m_blockUsed = 0;
    }
    std::memset(m_block.data() + m_blockUsed, 0, 56 - m_blockUsed);
    for (int i = 0; i < 8; ++i)
        m_block[56 + i] = static_cast<std::uint8_t>(bitLength >> (56 - 8 * i));
    processBlock(m_block.data());

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
