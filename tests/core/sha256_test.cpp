// SHA-256 against the FIPS 180-4 example digests, across the padding boundaries, with and
// without the processor's SHA-256 instructions.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/sha256.h"

namespace nlx {
namespace {

std::span<const std::uint8_t> bytes_of(const std::string& text) {
    return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::string hex(const std::array<std::uint8_t, 32>& digest) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (std::uint8_t b : digest) out += {kHex[b >> 4], kHex[b & 15]};
    return out;
}

TEST(Sha256, StandardExampleDigests) {
    struct Case {
        std::string text;
        const char* hex;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes: a second pad block
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sha256_hex(bytes_of(c.text)), c.hex) << c.text.size() << " bytes";
        EXPECT_EQ(hex(sha256_portable(bytes_of(c.text))), c.hex) << c.text.size() << " bytes, portable";
    }
}

// Every length over four blocks and a capture-sized buffer of varied bytes: the instructions'
// path (where the processor has it) gives the portable digest, whatever the tail and padding.
TEST(Sha256, InstructionsAgreeWithPortableRounds) {
    if (!sha256_has_instructions()) GTEST_SKIP() << "this processor has no SHA-256 instructions";
    std::vector<std::uint8_t> bytes(127159);
    std::uint32_t x = 2463534242u;
    for (auto& b : bytes) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        b = std::uint8_t(x);
    }
    for (std::size_t n = 0; n <= 260; ++n) {
        const std::span<const std::uint8_t> part(bytes.data(), n);
        ASSERT_EQ(sha256(part), sha256_portable(part)) << n << " bytes";
    }
    EXPECT_EQ(sha256(bytes), sha256_portable(bytes));
}

// A capture file and the data in it are hashed side by side: each gets its own digest, whichever
// is the longer and wherever either ends within a block.
TEST(Sha256, APairGivesEachItsOwnDigest) {
    std::vector<std::uint8_t> bytes(9000);
    std::uint32_t x = 88675123u;
    for (auto& b : bytes) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        b = std::uint8_t(x);
    }
    const std::size_t sizes[] = {0, 1, 55, 56, 63, 64, 65, 119, 128, 4096 + 17, 9000};
    for (std::size_t a : sizes)
        for (std::size_t b : sizes) {
            const std::span<const std::uint8_t> file(bytes.data(), a);
            const auto data = std::span<const std::uint8_t>(bytes).last(b);
            const auto [file_hex, data_hex] = sha256_hex_pair(file, data);
            ASSERT_EQ(file_hex, hex(sha256_portable(file))) << a << " and " << b << " bytes";
            ASSERT_EQ(data_hex, hex(sha256_portable(data))) << a << " and " << b << " bytes";
        }
}

}  // namespace
}  // namespace nlx
