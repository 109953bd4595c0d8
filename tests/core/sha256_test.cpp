// SHA-256 against the FIPS 180-4 example digests, across the padding boundaries.
#include <gtest/gtest.h>

#include <string>

#include "core/sha256.h"

namespace nlx {
namespace {

std::string digest(const std::string& text) {
    return sha256_hex(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
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
    for (const auto& c : cases) EXPECT_EQ(digest(c.text), c.hex) << c.text.size() << " bytes";
}

}  // namespace
}  // namespace nlx
