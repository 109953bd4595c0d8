// Packed decimal, digit texts, levels, dates and times, and the shared code tables.
#include <gtest/gtest.h>

#include "decode/code_tables.h"
#include "core/number_format.h"
#include "decode/packed.h"

namespace nlx {
namespace {

TEST(PackedDecimal, DigitsAndTexts) {
    EXPECT_EQ(BCD(0x25), 25);
    EXPECT_EQ(BCD(0x99), 99);
    EXPECT_EQ(BCD(0x1A), 20);  // nibble above 9 still counts ten per high nibble
    EXPECT_EQ(digit_text(0x05), "5");
    EXPECT_EQ(digit_text(0x12), "12");
    EXPECT_EQ(digit_text(0x00), "0");
    EXPECT_EQ(digit_text(0x1A), "1A");
    EXPECT_EQ(two_digit_text(0x05), "05");
    EXPECT_EQ(two_digit_text(0x0A), "A");
    EXPECT_EQ(two_digit_text(0x1A), "1A");
    // Every byte: the digit text with the pattern "00", whatever shortcut builds it.
    for (int x = 0; x < 256; ++x)
        EXPECT_EQ(two_digit_text(std::uint8_t(x)), format_text(digit_text(std::uint8_t(x)), "00")) << x;
}

TEST(PackedDecimal, LevelsInBothByteOrders) {
    EXPECT_EQ(format_number(packed_level(0x07, 0x45), "#00.0"), "74.5");
    EXPECT_EQ(format_number(packed_level(0x00, 0x00), "#00.0"), "00.0");
    EXPECT_EQ(format_number(packed_level(0x10, 0x25), "#00.0"), "102.5");
    EXPECT_EQ(format_number(packed_level(0x00, 0x56), "#00.0"), "05.6");
    EXPECT_EQ(format_number(packed_level(0x99, 0x99), "##0.0"), "999.9");
    EXPECT_EQ(plain_number_text(packed_level_low_first(0x56, 0x08)), "85.6");
    EXPECT_EQ(plain_number_text(packed_level_low_first(0x05, 0x00)), "0.5");
    // The standard-deviation variant reads its first byte as a plain number.
    EXPECT_EQ(plain_number_text(sd_level(0x02, 0x35)), "23.5");
    EXPECT_EQ(plain_number_text(sd_level(0x12, 0x35)), "183.5");
    EXPECT_EQ(sd_level(0x09, 0x35), packed_level(0x09, 0x35));
    EXPECT_EQ(single_byte_tenths(0x35), 35);
}

TEST(PackedDecimal, DatesTimesAndDurations) {
    EXPECT_EQ(date_text(0x08, 0x09, 0x05), "08-09-05");
    EXPECT_EQ(date_text(0x08, 0x0A, 0x05), "08-A-05");
    EXPECT_EQ(time_text(0x14, 0x03, 0x00), "14:03:00");
    EXPECT_EQ(duration_text(0x01, 0x30, 0x00), "1h30m0s");
    EXPECT_EQ(duration_text(0x00, 0x05, 0x00), "0h5m0s");
}

TEST(CodeTables, WeightingsSetTimesSamplingAndModes) {
    EXPECT_EQ(time_weighting_text(0x12), "S");
    EXPECT_EQ(frequency_weighting_text(0x12), "Z");
    EXPECT_EQ(time_weighting_text(0x00), "F");
    EXPECT_EQ(frequency_weighting_text(0x00), "A");
    EXPECT_EQ(time_weighting_text(0x04), "F");
    EXPECT_EQ(frequency_weighting_text(0x04), std::nullopt);
    EXPECT_EQ(frequency_weighting_text(0x21), "C");
    EXPECT_EQ(frequency_weighting_text(0x03), "E");

    EXPECT_EQ(set_time_text(0), "10s");
    EXPECT_EQ(set_time_text(4), "15min");
    EXPECT_EQ(set_time_text(10), "24hour");
    EXPECT_EQ(set_time_text(11), std::nullopt);
    EXPECT_EQ(set_time_text(-1), std::nullopt);
    EXPECT_EQ(sampling_interval_text(0), "0.01s");
    EXPECT_EQ(sampling_interval_text(9), "10s");
    EXPECT_EQ(sampling_interval_text(10), std::nullopt);

    EXPECT_EQ(mode_text_a(0xA0, 0), "STA");
    EXPECT_EQ(mode_text_a(0xA3, 0), "STA");
    EXPECT_EQ(mode_text_a(0xB0, 7), "24h no");
    EXPECT_EQ(mode_text_a(0xB1, 2), "24h2");
    EXPECT_EQ(mode_text_a(0xB3, 12), "24h12");
    EXPECT_EQ(mode_text_a(0xC2, 0), "COL");
    EXPECT_EQ(mode_text_a(0xD0, 0), "AC");
    EXPECT_EQ(mode_text_a(0xD1, 0), std::nullopt);
    EXPECT_EQ(mode_text_a(0x00, 0), std::nullopt);
    EXPECT_EQ(mode_text_b(0, 0), "STA");
    EXPECT_EQ(mode_text_b(1, 3), "24h3");
    EXPECT_EQ(mode_text_b(2, 0), "IEC");
    EXPECT_EQ(mode_text_b(3, 0), "OCT");
    EXPECT_EQ(mode_text_b(4, 0), std::nullopt);
}

}  // namespace
}  // namespace nlx
