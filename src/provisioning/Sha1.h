#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace mailvane::provisioning {

// SHA-1 as FIPS 180-1 defines it, fed in pieces. Uses the processor's SHA
// instructions where it has them; the portable rounds give the same digests.
class Sha1
{
public:
    using Digest = std::array<std::uint8_t, 20>;
    using State = std::array<std::uint32_t, 5>;

    Sha1();
    void update(std::span<const std::uint8_t> bytes);
    // Pads, finishes and returns the digest; the object is then spent.
    Digest finish();

    // The digest text of `bytes`: 40 lower-case hexadecimal digits, the five
    // state words each most significant byte first.
    static std::string digestText(std::span<const std::uint8_t> bytes);

    // Whether the processor's SHA instructions are in use.
    static bool usesShaInstructions();
    // For tests: run the portable rounds even where the instructions exist.
    static void setShaInstructionsAllowed(bool allowed);

private:
    void processBlocks(const std::uint8_t* blocks, std::size_t count);

    State m_state;
    std::array<std::uint8_t, 64> m_block{};
    std::size_t m_blockUsed = 0;
    std::uint64_t m_length = 0; // bytes so far
};

} // namespace mailvane::provisioning
