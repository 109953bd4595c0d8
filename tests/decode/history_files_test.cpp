// Time-history file texts: exact bytes of the three kinds, bounds of the data, level texts.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "decode/history_files.h"

namespace nlx {
namespace {

std::string bytes(std::initializer_list<unsigned> values) {
    std::string s;
    for (unsigned v : values) s += char(v);
    return s;
}

std::vector<std::uint8_t> header(std::uint8_t interval_ms, std::uint32_t length) {
    std::vector<std::uint8_t> h(48, 0);
    h[14] = interval_ms;
    h[15] = std::uint8_t(length >> 16);
    h[16] = std::uint8_t(length >> 8);
    h[17] = std::uint8_t(length);
    return h;
}

TEST(HistoryFiles, LevelTextsAndKinds) {
    EXPECT_EQ(history_level_text(305), "30.5");
    EXPECT_EQ(history_level_text(309), "30.9");
    EXPECT_EQ(history_level_text(310), "31.0");
    EXPECT_EQ(history_level_text(1024), "102.4");
    EXPECT_EQ(history_level_text(300 + 1024), "132.4");
    EXPECT_EQ(history_level_text(50), "05.0");

    EXPECT_EQ(history_kind(0xA1), HistoryKind::level_distribution);
    EXPECT_EQ(history_kind(0xB1), HistoryKind::level_distribution);
    EXPECT_EQ(history_kind(0xA3), HistoryKind::instantaneous_level);
    EXPECT_EQ(history_kind(0xB3), HistoryKind::instantaneous_level);
    EXPECT_EQ(history_kind(0xC3), HistoryKind::instantaneous_level);
    EXPECT_EQ(history_kind(0xD0), HistoryKind::ac_record);
    for (std::uint8_t mode : {0xA0, 0xA2, 0xB0, 0xB2, 0xC0, 0xC1, 0xC2, 0x00, 0xFF})
        EXPECT_FALSE(history_kind(mode).has_value()) << int(mode);
    EXPECT_EQ(history_extension(HistoryKind::ac_record), ".ac");

    auto none = history_file_content(0xA0, header(0, 0), {});
    ASSERT_FALSE(none.ok());
}

TEST(HistoryFiles, LevelDistributionFileSkipsEmptyClassesAndReadsUpToClass1024) {
    std::vector<std::uint8_t> data(3 * 1025 + 10, 0);
    data[0] = 0x01, data[1] = 0x00, data[2] = 0x01;  // class 0: 65537
    data[15] = 12;                                    // class 5: 12
    data[3 * 1024] = 7;                               // class 1024: 132.4 dB
    data[3 * 1025] = 9;                               // a class 1025 is never read
    auto file = history_file_content(0xA1, header(0, 0), data);
    ASSERT_TRUE(file.ok()) << file.message();
    EXPECT_EQ(*file, " Lp            N\r\n"
                     "30.0           65537\r\n"
                     "30.5           12\r\n"
                     "132.4           7\r\n");

    // One byte short of class 1024's count: the class lies outside the data and is not read.
    std::span<const std::uint8_t> short_data(data.data(), 3 * 1025 - 1);
    auto cut = history_file_content(0xB1, header(0, 0), short_data);
    ASSERT_TRUE(cut.ok());
    EXPECT_EQ(*cut, " Lp            N\r\n30.0           65537\r\n30.5           12\r\n");

    auto empty = history_file_content(0xA1, header(0, 0), std::vector<std::uint8_t>(768, 0));
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(*empty, " Lp            N\r\n");
}

// The distribution's text as the layouts describe it, class by class, to hold the writer's
// skipping of empty classes to.
std::string distribution_text(std::span<const std::uint8_t> data) {
    std::string text = " Lp            N\r\n";
    for (std::size_t i = 0; i < 1025 && 3 * i + 2 < data.size(); ++i) {
        const unsigned count = data[3 * i] | unsigned(data[3 * i + 1]) << 8 | unsigned(data[3 * i + 2]) << 16;
        if (count) text += history_level_text(300 + int(i)) + "           " + std::to_string(count) + "\r\n";
    }
    return text;
}

// Empty classes are passed over several bytes at a time: a count is found wherever its bytes
// lie against those steps, and nothing past the data's whole classes is read.
TEST(HistoryFiles, LevelDistributionFindsEveryCountAmongEmptyClasses) {
    const std::size_t full = 3 * 1025 + 10;
    for (std::size_t at = 0; at < full; ++at) {
        std::vector<std::uint8_t> data(full, 0);
        data[at] = 0x5A;
        auto file = history_file_content(0xA1, header(0, 0), data);
        ASSERT_TRUE(file.ok());
        ASSERT_EQ(*file, distribution_text(data)) << "a count byte at " << at;
    }
    struct Case {
        const char* what;
        std::size_t size;
        std::vector<std::size_t> counted;  // bytes set to 1
    };
    const std::vector<Case> cases{
        {"two neighbouring classes", 64, {23, 24}},
        {"a band across steps", 200, {30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42}},
        {"every byte of a short run", 17, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        {"a count cut by the data's end", 20, {17, 18, 19}},
        {"the last whole class, after a gap", 3 * 1025, {5, 3 * 1024 + 2}},
        {"no whole class", 2, {0, 1}},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> data(c.size, 0);
        for (std::size_t b : c.counted) data[b] = 1;
        auto file = history_file_content(0xB1, header(0, 0), data);
        ASSERT_TRUE(file.ok());
        EXPECT_EQ(*file, distribution_text(data)) << c.what;
    }
}

TEST(HistoryFiles, InstantaneousFileIsGbkWithTabsAndStopsAtLengthOrDataEnd) {
    const std::string title = bytes({0xCB, 0xB2, 0xCA, 0xB1, 0xD6, 0xB5, 0xCB, 0xE6, 0xCA, 0xB1,
                                     0xBC, 0xE4, 0xB1, 0xE4, 0xBB, 0xAF, 0xBC, 0xC7, 0xC2, 0xBC});
    std::vector<std::uint8_t> data{0, 1, 2, 255, 9};
    auto three = history_file_content(0xA3, header(0, 3), data);
    ASSERT_TRUE(three.ok());
    EXPECT_EQ(*three, title + "\r\n30.0\t30.4\t30.8\t");

    // A length beyond the data present stops at the data's end.
    auto all = history_file_content(0xC3, header(0, 500), data);
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(*all, title + "\r\n30.0\t30.4\t30.8\t132.0\t33.6\t");

    auto none = history_file_content(0xB3, header(0, 0), data);
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(*none, title + "\r\n");
}

TEST(HistoryFiles, AcFileHeaderCarriesTheIntervalAndValuesAreSigned) {
    const std::string title = bytes({0xBD, 0xBB, 0xC1, 0xF7, 0xD6, 0xB5, 0xCB, 0xE6, 0xCA, 0xB1,
                                     0xBC, 0xE4, 0xB1, 0xE4, 0xBB, 0xAF, 0xBC, 0xC7, 0xC2, 0xBC,
                                     0xA3, 0xAC, 0xB2, 0xC9, 0xD1, 0xF9, 0xBC, 0xE4, 0xB8, 0xF4,
                                     0xA3, 0xBA});
    // 0A 10: factor 2, 2*(512+16-512) = 32; 00 00: -512; 02 05: 5 (written 05);
    // FF FF: factor 32, 32*(1792+255-512) = 49120.
    std::vector<std::uint8_t> data{0x0A, 0x10, 0x00, 0x00, 0x02, 0x05, 0xFF, 0xFF, 0x01};
    auto file = history_file_content(0xD0, header(20, 8), data);
    ASSERT_TRUE(file.ok());
    EXPECT_EQ(*file, title + "20ms\r\n32\t-512\t05\t49120\t");
    // 02 00: zero, written 00; 01 FB: 256+251-512 = -5, written -05.
    auto small = history_file_content(0xD0, header(20, 4), std::vector<std::uint8_t>{0x02, 0x00, 0x01, 0xFB});
    ASSERT_TRUE(small.ok());
    EXPECT_EQ(*small, title + "20ms\r\n00\t-05\t");

    // An odd length still reads the pair it starts; a pair cut by the data's end is not read.
    auto odd = history_file_content(0xD0, header(5, 3), data);
    ASSERT_TRUE(odd.ok());
    EXPECT_EQ(*odd, title + "5ms\r\n32\t-512\t");
    auto cut = history_file_content(0xD0, header(0, 100), data);
    ASSERT_TRUE(cut.ok());
    EXPECT_EQ(*cut, title + "0ms\r\n32\t-512\t05\t49120\t");

    EXPECT_EQ(history_bytes_wanted(HistoryKind::ac_record, header(0, 3)), 4u);
    EXPECT_EQ(history_bytes_wanted(HistoryKind::instantaneous_level, header(0, 70000)), 70000u);
    EXPECT_EQ(history_bytes_wanted(HistoryKind::level_distribution, header(0, 1)), 3075u);
}

// Every value a sample can hold, against the texts the layouts give: a level in 0.4 dB steps for
// each .li byte, a signed whole number of at least two digits for each .ac pair, and the largest
// count a .ln class can hold. Long files are written through a buffer sized ahead, so these also
// catch a text cut short or run past its end.
TEST(HistoryFiles, EverySampleValueIsWrittenAsItsText) {
    std::vector<std::uint8_t> li;
    std::string li_text;
    for (int b = 0; b < 256; ++b) {
        li.push_back(std::uint8_t(b));
        const int tenths = 300 + 4 * b;
        li_text += std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "\t";
    }
    auto li_file = history_file_content(0xA3, header(0, 256), li);
    ASSERT_TRUE(li_file.ok());
    EXPECT_EQ(li_file->substr(li_file->find("\r\n") + 2), li_text);

    std::vector<std::uint8_t> ac;
    std::string ac_text;
    for (int b = 0; b < 256; ++b)
        for (int b2 = 0; b2 < 256; ++b2) {
            ac.push_back(std::uint8_t(b));
            ac.push_back(std::uint8_t(b2));
            const int v = (b / 8 + 1) * (256 * (b % 8) + b2 - 512);
            const int magnitude = v < 0 ? -v : v;
            ac_text += std::string(v < 0 ? "-" : "") + (magnitude < 10 ? "0" : "") + std::to_string(magnitude) + "\t";
        }
    auto ac_file = history_file_content(0xD0, header(255, std::uint32_t(ac.size())), ac);
    ASSERT_TRUE(ac_file.ok());
    EXPECT_EQ(ac_file->substr(ac_file->find("255ms\r\n") + 7), ac_text);

    std::vector<std::uint8_t> full(3 * 1025, 0xFF);
    auto ln_file = history_file_content(0xA1, header(0, 0), full);
    ASSERT_TRUE(ln_file.ok());
    std::string ln_text = " Lp            N\r\n";
    for (int t = 300; t < 300 + 1025; ++t)
        ln_text += history_level_text(t) + "           16777215\r\n";
    EXPECT_EQ(*ln_file, ln_text);
}

}  // namespace
}  // namespace nlx
