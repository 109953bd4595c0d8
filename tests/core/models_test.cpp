// The model table: titles, grid layouts and table columns that the rest of the program reads.
#include <gtest/gtest.h>

#include "core/models.h"
#include "core/monitor_scale.h"

namespace nlx {
namespace {

TEST(ModelTable, CaptionsAndTitlesUseTheLowerCaseLetter) {
    const auto* b = find_model('b');
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->window_caption, "NLX3140b(windows)");
    EXPECT_EQ(b->title_label, "NLX3140b型噪声统计分析仪数据传输软件(WINDOWS版V1.1)");
    EXPECT_EQ(find_model('c')->about_title, "NLX3140c型噪声统计分析仪计算机接收软件");
    EXPECT_EQ(find_model('e')->about_title, "NLX3140e型噪声统计分析仪计算机接收软件");
    EXPECT_EQ(find_model('d')->window_caption, "NLX3520B(windows)");
    EXPECT_EQ(find_model('e')->title_label, "NLX2730C型噪声统计分析仪数据传输软件(WINDOWS版V1.1)");
    EXPECT_EQ(find_model('c')->option_caption, "NLX3140C (NLX3180A)");
    EXPECT_EQ(find_model('c')->confirm_line, "当前系统支持NLX3140C");
    EXPECT_EQ(find_model('f'), nullptr);
    EXPECT_EQ(find_model("ab"), nullptr);
}

TEST(ModelTable, GridLayouts) {
    const auto& d = find_model('d')->grid;
    EXPECT_EQ(d.column_count, 21);
    EXPECT_EQ(d.headers[1], "VLeq");  // grid column 2
    EXPECT_EQ(d.headers[8], "VLAV");  // grid column 9
    const auto& e = find_model('e')->grid;
    EXPECT_EQ(e.column_count, 16);
    EXPECT_EQ(e.narrow_last, 7);
    EXPECT_EQ(e.wide_first, 8);
    EXPECT_EQ(e.wide_width, 1200);
    EXPECT_EQ(e.headers[13], "filename");  // grid column 14
    EXPECT_EQ(e.headers[14], "");          // grid column 15
    EXPECT_EQ(find_model('b')->grid.headers, find_model('c')->grid.headers);
    for (const auto& m : all_models()) {
        EXPECT_EQ(int(m.grid.headers.size()), m.grid.column_count - 1) << m.letter;
        EXPECT_EQ(m.grid.marker_width, 200);
    }
}

TEST(ModelTable, RecordColumnsAndDistributionTables) {
    EXPECT_EQ(find_model('a')->record_columns.size(), 23u);
    EXPECT_EQ(find_model('b')->record_columns.size(), 20u);
    EXPECT_EQ(find_model('d')->record_columns.size(), 21u);
    EXPECT_EQ(find_model('d')->record_columns.back(), "VLAE");
    const auto& e = *find_model('e');
    EXPECT_EQ(e.record_columns.size(), 15u);
    EXPECT_EQ(e.record_columns[6], "DL");
    EXPECT_FALSE(e.has_distribution);
    EXPECT_TRUE(find_model('a')->has_distribution);
    EXPECT_EQ(record_column_index(*find_model('a'), "mode"), 17);
    EXPECT_EQ(record_column_index(*find_model('a'), "LEQ"), 2);
    EXPECT_EQ(record_column_index(*find_model('a'), "测量时间"), 13);
    EXPECT_EQ(record_column_index(*find_model('a'), "VLeq"), std::nullopt);
    EXPECT_EQ(record_table_name('a'), "噪声a");
    EXPECT_EQ(distribution_table_name('d'), "分布图d");
    EXPECT_EQ(distribution_columns().size(), 102u);
    EXPECT_EQ(distribution_columns()[0], "序号");
}

}  // namespace
}  // namespace nlx

namespace nlx {
namespace {

TEST(LiveLevel, ShownTextAndBarPerModel) {
    struct Case {
        char model;
        std::uint8_t low, high;
        const char* text;
        double bar;
        bool in_range;
    } cases[] = {
        {'a', 0x58, 0x03, "Lp=115.6dB", 115.6, true}, {'c', 0x58, 0x03, "Lp=85.6dB", 115.6, true},
        {'d', 0x58, 0x03, "Lp=125.6dB", 115.6, true}, {'e', 0x58, 0x03, "Lp=85.6dB", 85.6, true},
        {'c', 0x05, 0x00, "Lp=.5dB", 30.5, true},     {'e', 0x05, 0x00, "Lp=.5dB", 0.5, false},
        {'a', 0xE8, 0x03, "Lp=130.0dB", 130.0, true}, {'b', 0xE9, 0x03, "Lp=130.1dB", 130.1, false},
    };
    for (const auto& c : cases) {
        const auto level = live_level(*monitor_scale(c.model), c.low, c.high);
        EXPECT_EQ(level.text, c.text) << c.model;
        EXPECT_DOUBLE_EQ(level.bar, c.bar) << c.model;
        EXPECT_EQ(level.bar_in_range, c.in_range) << c.model;
    }
    EXPECT_EQ(monitor_scale('d')->quantity, "振级");
    EXPECT_EQ(monitor_scale('c')->captions[0], "0");
}

}  // namespace
}  // namespace nlx
