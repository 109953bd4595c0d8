// Number patterns: padding, rounding on the decimal form, signs, texts, and locale independence.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include <clocale>

#include "core/number_format.h"

namespace nlx {
namespace {

TEST(NumberPattern, PadsIntegerDigitsAndFixesDecimals) {
    EXPECT_EQ(format_number(5.3, "#00.0"), "05.3");
    EXPECT_EQ(format_number(102.5, "#00.0"), "102.5");
    EXPECT_EQ(format_number(0, "#00.0"), "00.0");
    EXPECT_EQ(format_number(0, "##0.0"), "0.0");
    EXPECT_EQ(format_number(7, "00"), "07");
    EXPECT_EQ(format_number(100, "00"), "100");
    EXPECT_EQ(format_number(12, "000"), "012");
    EXPECT_EQ(format_number(4.0, "#00.00"), "04.00");
    EXPECT_EQ(format_number(85.6, "#000.0"), "085.6");
    EXPECT_EQ(format_number(0.5, "###.0"), ".5");
    EXPECT_EQ(format_number(3.14159, "#0.00"), "3.14");
    EXPECT_EQ(format_number(1234.5, "##0.00"), "1234.50");
    EXPECT_EQ(format_number(32, "####00"), "32");
    EXPECT_EQ(format_number(-512, "####00"), "-512");
    EXPECT_EQ(format_number(-5, "####00"), "-05");
}

TEST(NumberPattern, RoundsHalfAwayFromZeroOnTheDecimalForm) {
    // 2.25 and 1.005 are not exact in binary; the decimal text decides.
    EXPECT_EQ(format_number(2.25, "##0.0"), "2.3");
    EXPECT_EQ(format_number(1.005, "#0.00"), "1.01");
    EXPECT_EQ(format_number(-2.25, "##0.0"), "-2.3");
    EXPECT_EQ(format_number(2.24999, "##0.0"), "2.2");
    EXPECT_EQ(format_number(9.95, "##0.0"), "10.0");
    EXPECT_EQ(format_number(99.95, "#00.0"), "100.0");
    EXPECT_EQ(format_number(0.5, "00"), "01");
    EXPECT_EQ(format_number(0.96, "##0.0"), "1.0");  // the carry makes the integer part
    EXPECT_EQ(format_number(-0.5, "00"), "-01");
    EXPECT_EQ(format_number(0.04, "##0.0"), "0.0");
    EXPECT_EQ(format_number(-0.04, "##0.0"), "0.0");  // a rounded zero carries no sign
    EXPECT_EQ(format_number(135.56302500767, "##0.0"), "135.6");
    EXPECT_EQ(format_number(1e-7, "#0.00"), "0.00");
    EXPECT_EQ(format_number(123456789012.0, "00"), "123456789012");
    EXPECT_EQ(format_number(0.005, "#0.00"), "0.01");  // the first digit itself rounds up
    EXPECT_EQ(format_number(0.0049, "#0.00"), "0.00");
    EXPECT_EQ(format_number(-0.004, "#0.00"), "0.00");
    EXPECT_EQ(format_number(999.96, "##0.0"), "1000.0");
    EXPECT_EQ(format_number(0.995, "0.00"), "1.00");
}

TEST(NumberPattern, TextsThatReadAsNumbersAreFormattedOthersPassThrough) {
    EXPECT_EQ(format_text("5", "00"), "05");
    EXPECT_EQ(format_text("12", "00"), "12");
    EXPECT_EQ(format_text(" 7 ", "00"), "07");
    EXPECT_EQ(format_text("012", "000"), "012");
    EXPECT_EQ(format_text("85.65", "##0.0"), "85.7");
    EXPECT_EQ(format_text("A", "00"), "A");
    EXPECT_EQ(format_text("1A", "00"), "1A");
    EXPECT_EQ(format_text("", "00"), "");
    EXPECT_EQ(format_text("-", "00"), "-");
    EXPECT_EQ(format_text("1e5", "00"), "1e5");
}

TEST(PlainNumberText, ShortestDecimalWithoutTrailingZeros) {
    EXPECT_EQ(plain_number_text(85.6), "85.6");
    EXPECT_EQ(plain_number_text(85.0), "85");
    EXPECT_EQ(plain_number_text(23.5), "23.5");
    EXPECT_EQ(plain_number_text(0.12 * 100), "12");
    EXPECT_EQ(plain_number_text(0), "0");
    EXPECT_EQ(plain_number_text(-0.5), "-0.5");
    EXPECT_EQ(plain_number_text(0.00001), "0.00001");
    EXPECT_EQ(plain_number_text(1e15), "1000000000000000");
    EXPECT_EQ(plain_number_text(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(plain_number_text(0.1 + 0.2), "0.3");
    EXPECT_EQ(plain_number_text(123456789012.35), "123456789012.35");
    EXPECT_EQ(plain_number_text(99999999999999.0), "99999999999999");
    EXPECT_EQ(plain_number_text(2.675), "2.675");  // not a whole number of hundredths in binary
    EXPECT_EQ(format_number(2.675, "#0.00"), "2.68");
}

TEST(PlainNumberText, WholeTenthsAndHundredthsReadAsTheirDigits) {
    // Levels are tenths and percentages hundredths; every one shows as the digits it was built from.
    for (long long r = 0; r < 200000; r += 7) {
        for (std::size_t p : {1, 2}) {
            std::string digits = std::to_string(r);
            if (digits.size() <= p) digits.insert(0, p + 1 - digits.size(), '0');
            std::string expected = digits.substr(0, digits.size() - p);
            expected += '.';
            expected += digits.substr(digits.size() - p);
            while (expected.back() == '0') expected.pop_back();
            if (expected.back() == '.') expected.pop_back();
            ASSERT_EQ(plain_number_text(double(r) / (p == 1 ? 10.0 : 100.0)), expected) << r << " / 10^" << p;
        }
    }
}

// The fast forms give exactly the pattern's text, over every number a decoder hands them (group
// numbers, split levels up to 255.9 dB, header levels of any nibbles up to 2566.5) and past the
// widths of their patterns.
TEST(WholeNumberText, GivesThePatternsTextForEveryWholeNumber) {
    for (const char* pattern : {"0", "00", "000"})
        for (unsigned long long v = 0; v <= 12000; ++v)
            ASSERT_EQ(whole_number_text(v, std::strlen(pattern)), format_number(double(v), pattern))
                << v << " with " << pattern;
    EXPECT_EQ(whole_number_text(18446744073709551615ull, 2), "18446744073709551615");
    for (unsigned long long tenths = 0; tenths <= 30000; ++tenths) {
        ASSERT_EQ(plain_tenths_text(tenths), plain_number_text(double(tenths) / 10.0)) << tenths;
        ASSERT_EQ(tenths_text(tenths, 2), format_number(double(tenths) / 10.0, "#00.0")) << tenths;
        ASSERT_EQ(tenths_text(tenths, 1), format_number(double(tenths) / 10.0, "##0.0")) << tenths;
    }
}

// The pattern's text worked out from the C library's 15-digit form of the value: its digits read
// as a whole number, rounded half up at the pattern's decimals.
std::string printf_rounded(double value, std::size_t decimals, std::size_t min_int) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    unsigned long long n15 = 0;
    const char* c = buf;
    for (; *c != 'e'; ++c)
        if (*c >= '0' && *c <= '9') n15 = n15 * 10 + unsigned(*c - '0');
    const int shift = std::atoi(c + 1) - 14 + int(decimals);  // value * 10^decimals = n15 * 10^shift
    unsigned long long units = 0;
    if (shift >= 0) {
        units = n15;
        for (int i = 0; i < shift; ++i) units *= 10;
    } else if (shift > -19) {
        unsigned long long divisor = 1;
        for (int i = 0; i < -shift; ++i) divisor *= 10;
        units = n15 / divisor + (n15 % divisor >= divisor / 2 ? 1 : 0);
    }
    unsigned long long scale = 1;
    for (std::size_t i = 0; i < decimals; ++i) scale *= 10;
    std::string whole = units / scale > 0 ? std::to_string(units / scale) : "";
    if (whole.size() < min_int) whole.insert(0, min_int - whole.size(), '0');
    std::string out = (value < 0 && units > 0 ? "-" : "") + whole;
    if (decimals > 0) {
        std::string fraction = std::to_string(units % scale);
        out += "." + std::string(decimals - fraction.size(), '0') + fraction;
    }
    return out;
}

// Computed values (exposures, exposure levels, averages) round on their 15-digit form: checked
// against the C library over each binary magnitude, and a few steps either side of the values
// where the two roundings part: a half at the pattern's last decimal, and a half less half a unit
// of the fifteenth digit, which the 15-digit form rounds up to that half.
TEST(NumberPattern, ComputedValuesRoundAsTheirFifteenDigitForm) {
    struct Case {
        const char* pattern;
        std::size_t decimals, min_int;
    };
    const Case cases[] = {{"#00.00", 2, 2}, {"#000.0", 1, 3}, {"##0.0", 1, 1}, {"00", 0, 2}, {"0.00", 2, 1}};
    std::vector<double> values;
    unsigned long long seed = 12345;
    auto next = [&] { return seed = seed * 6364136223846793005ull + 1442695040888963407ull; };
    for (int e = -14; e <= 36; ++e)
        for (int i = 0; i < 300; ++i) values.push_back(std::ldexp(1.0 + double(next() >> 11) * 0x1p-53, e));
    for (int decimals = 0; decimals <= 2; ++decimals)
        for (int e = -3; e <= 10; ++e)
            for (int i = 0; i < 40; ++i) {
                const double scale = std::pow(10.0, decimals);
                const double q = std::floor(std::pow(10.0, e) * (1.0 + double(next() % 1000) / 100.0));
                for (double frac : {0.5, 0.5 - 0.5 * std::pow(10.0, -(15 - e - 1 - decimals))}) {
                    double v = (q + frac) / scale;
                    for (int step = 0; step < 4; ++step) v = std::nextafter(v, 0.0);
                    for (int step = 0; step < 9; ++step, v = std::nextafter(v, 1e300)) values.push_back(v);
                }
            }
    for (const auto& c : cases)
        for (double v : values)
            for (double signed_v : {v, -v})
                ASSERT_EQ(format_number(signed_v, c.pattern), printf_rounded(signed_v, c.decimals, c.min_int))
                    << std::hexfloat << signed_v << " with " << c.pattern;
}

TEST(NumberPattern, IgnoresACommaDecimalLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    bool switched = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "fr_FR.UTF-8") ||
                    std::setlocale(LC_ALL, "ru_RU.UTF-8");
    EXPECT_EQ(format_number(2.25, "##0.0"), "2.3");
    EXPECT_EQ(plain_number_text(85.6), "85.6");
    EXPECT_EQ(format_text("85.6", "#00.0"), "85.6");
    ASSERT_TRUE(parse_decimal("12.5").has_value());
    EXPECT_DOUBLE_EQ(*parse_decimal("12.5"), 12.5);
    std::setlocale(LC_ALL, saved.c_str());
    if (!switched) GTEST_SKIP() << "no comma-decimal locale installed; checked under C only";
}

}  // namespace
}  // namespace nlx
