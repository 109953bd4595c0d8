// The model table: titles, grid layouts and table columns that the rest of the program reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

// Before the first fill the grid heads its columns with the record table's column names, in
// table order, except where the table has a column the grid does not show yet; model e's grid
// has one more column, with an empty header.
TEST(ModelTable, GridHeadersAreTheRecordColumnsBeforeTheFirstFill) {
    struct Case {
        char model;
        std::vector<std::string_view> not_in_grid;
        int empty_headers_after;
    } cases[] = {
        {'a', {}, 0}, {'b', {}, 0}, {'c', {}, 0}, {'d', {"VLAE"}, 0}, {'e', {"DL"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        const ModelInfo& m = *find_model(c.model);
        std::vector<std::string_view> expected;
        for (auto column : m.record_columns)
            if (std::find(c.not_in_grid.begin(), c.not_in_grid.end(), column) == c.not_in_grid.end())
                expected.push_back(column);
        EXPECT_EQ(expected.size() + c.not_in_grid.size(), m.record_columns.size());
        expected.insert(expected.end(), std::size_t(c.empty_headers_after), "");
        EXPECT_EQ(m.grid.headers, expected);
    }
}

// Every data column is either narrow or wide, narrow ones first, and all of them are centred;
// the header row has one text per data column.
TEST(ModelTable, GridColumnsAreNarrowThenWideAndAllCentred) {
    for (const auto& m : all_models()) {
        SCOPED_TRACE(m.letter);
        const auto& g = m.grid;
        const int last = g.column_count - 1;
        EXPECT_EQ(int(g.headers.size()), last);
        EXPECT_EQ(g.narrow_first, 1);
        EXPECT_LT(g.narrow_first, g.narrow_last);
        EXPECT_EQ(g.wide_first, g.narrow_last + 1);
        EXPECT_EQ(g.wide_last, last);
        EXPECT_EQ(g.centred_first, 1);
        EXPECT_EQ(g.centred_last, last);
        EXPECT_GT(g.wide_width, g.narrow_width);
        EXPECT_LT(g.marker_width, g.narrow_width);
    }
}

// Column names are looked up with ASCII letter case folded: every column of every table is
// found at its own position under either case, and no two columns share a name.
TEST(ModelTable, ColumnLookupFoldsAsciiCaseOnly) {
    auto recased = [](std::string_view name, bool upper) {
        std::string s(name);
        for (char& ch : s)
            if (upper && ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
            else if (!upper && ch >= 'A' && ch <= 'Z') ch = char(ch - 'A' + 'a');
        return s;
    };
    for (const auto& m : all_models()) {
        SCOPED_TRACE(m.letter);
        for (std::size_t i = 0; i < m.record_columns.size(); ++i) {
            const auto name = m.record_columns[i];
            EXPECT_EQ(record_column_index(m, name), int(i)) << name;
            EXPECT_EQ(record_column_index(m, recased(name, true)), int(i)) << name;
            EXPECT_EQ(record_column_index(m, recased(name, false)), int(i)) << name;
        }
        EXPECT_EQ(record_column_index(m, "no such column"), std::nullopt);
    }
    EXPECT_TRUE(same_column_name("VLeq", "vleq"));
    EXPECT_FALSE(same_column_name("Leq", "Le"));
    EXPECT_FALSE(same_column_name("序号", "组号"));  // same length, other bytes
    EXPECT_EQ(record_column_index(*find_model('a'), "VLeq"), std::nullopt);
}

TEST(ModelTable, TableNamesAndDistributionColumns) {
    EXPECT_EQ(record_table_name('a'), "噪声a");
    EXPECT_EQ(distribution_table_name('d'), "分布图d");
    const auto columns = distribution_columns();
    ASSERT_EQ(columns.size(), std::size_t(kDistributionValues) + 1);
    EXPECT_EQ(columns.front(), "序号");
    EXPECT_EQ(columns[1], "P1");
    EXPECT_EQ(columns.back(), "P101");
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
        const auto level = live_level(find_model(c.model)->monitor, c.low, c.high);
        EXPECT_EQ(level.text, c.text) << c.model;
        EXPECT_DOUBLE_EQ(level.bar, c.bar) << c.model;
        EXPECT_EQ(level.bar_in_range, c.in_range) << c.model;
    }
    EXPECT_EQ(find_model('d')->monitor.quantity, "振级");
    EXPECT_EQ(find_model('c')->monitor.captions[0], "0");
}

}  // namespace
}  // namespace nlx
