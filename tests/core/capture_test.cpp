// Transfer counts by model and the capture file round trip.
#include <gtest/gtest.h>

#include "core/capture.h"

namespace nlx {
namespace {

TEST(TransferCount, FormulasByModel) {
    EXPECT_EQ(transfer_count('a', 0, 16), 0);
    EXPECT_EQ(transfer_count('a', 1, 16), 128);
    EXPECT_EQ(transfer_count('b', 0, 20), 4);
    EXPECT_EQ(transfer_count('d', 0, 0), -16);
    EXPECT_EQ(transfer_count('c', 0, 131), 3);
    EXPECT_EQ(transfer_count('c', 200, 131), 3);
    EXPECT_EQ(transfer_count('c', 0, 0), -128);
    EXPECT_EQ(transfer_count('e', 64, 129), 320);
    EXPECT_EQ(transfer_count('e', 40, 128), 40);
    EXPECT_EQ(announced_bytes('a', 3), 768u);
    EXPECT_EQ(announced_bytes('e', 40), 40u);
    EXPECT_EQ(announced_bytes('a', -16), 0u);
}

TEST(TransferCount, CountBytesInvertTheFormulasOverTheirWholeRange) {
    for (char model : {'a', 'b', 'c', 'd', 'e'}) {
        for (int b1 = 0; b1 < 256; ++b1) {
            for (int b2 = 0; b2 < 256; ++b2) {
                std::int32_t n = transfer_count(model, std::uint8_t(b1), std::uint8_t(b2));
                auto back = count_bytes(model, n);
                ASSERT_TRUE(back.has_value()) << model << " " << n;
                EXPECT_EQ(transfer_count(model, (*back)[0], (*back)[1]), n);
            }
        }
    }
    EXPECT_EQ(count_bytes('a', 128), (std::array<std::uint8_t, 2>{1, 16}));
    EXPECT_EQ(count_bytes('c', 3), (std::array<std::uint8_t, 2>{0, 131}));
    EXPECT_EQ(count_bytes('e', 320), (std::array<std::uint8_t, 2>{64, 129}));
    EXPECT_EQ(count_bytes('d', 32879), (std::array<std::uint8_t, 2>{255, 255}));
    // Just outside what two bytes can announce, at both ends of each formula.
    EXPECT_FALSE(count_bytes('c', 128).has_value());
    EXPECT_FALSE(count_bytes('c', -129).has_value());
    EXPECT_FALSE(count_bytes('a', 128 * 255 + 255 - 16 + 1).has_value());
    EXPECT_FALSE(count_bytes('d', -17).has_value());
    EXPECT_FALSE(count_bytes('e', -128 * 256 - 1).has_value());
    EXPECT_FALSE(count_bytes('e', 32768).has_value());
}

TEST(CaptureFile, RoundTripsAndRefusesTooShortFiles) {
    Capture c{1, 16, {0xA0, 0x01, 0x02}};
    auto bytes = capture_bytes(c);
    ASSERT_EQ(bytes.size(), 5u);
    auto back = parse_capture(bytes);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back->b1, 1);
    EXPECT_EQ(back->b2, 16);
    EXPECT_EQ(back->data, c.data);

    std::vector<std::uint8_t> one{7};
    auto bad = parse_capture(one);
    ASSERT_FALSE(bad.ok());
    EXPECT_NE(bad.message().find("count bytes"), std::string::npos);
}

}  // namespace
}  // namespace nlx
