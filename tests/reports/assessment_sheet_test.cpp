// The assessment sheet's pages: A4, never longer than the printable height, continued with a
// header; lines broken by the columns a Chinese character takes, English between words; the
// table's columns in line in English too; the worksheet's rows.
#include <gtest/gtest.h>

#include <algorithm>

#include "assess/assessment_output.h"

#include "core/texts.h"
#include "reports/assessment_sheet.h"

namespace nlx::reports {
namespace {

TEST(AssessmentSheet, WrapsByDisplayColumns) {
    const struct {
        std::string text;
        std::size_t columns;
        std::vector<std::string> lines;
    } cases[] = {
        {"abcdef", 4, {"abcd", "ef"}},
        {"昼间夜间", 5, {"昼间", "夜间"}},   // a character never split across lines
        {"Ld昼间60", 5, {"Ld昼", "间60"}},
        {"", 10, {""}},
        {"the night limit", 10, {"the night", "limit"}},     // a word is not split
        {"ab cd", 2, {"ab", "cd"}},                          // nor does a line start with the space
        {"a averylongword", 8, {"a", "averylon", "gword"}},  // a word longer than a line is
        {"夜间 limit", 7, {"夜间", "limit"}},
        {"Leq夜间", 4, {"Leq", "夜间"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wrap_columns(c.text, c.columns), c.lines) << c.text;
        for (const auto& line : wrap_columns(c.text, c.columns)) EXPECT_LE(display_columns(line), c.columns);
    }
    EXPECT_EQ(display_columns("第1至24行 Ld"), 12u);
}

TEST(AssessmentSheet, PagesAreA4AndContinued) {
    const auto criterion = assess::make_criterion("gb3096", "2", {}, {}).value();
    std::vector<assess::Assessment> many(60);
    for (std::size_t i = 0; i < many.size(); ++i) {
        many[i].first_row = many[i].last_row = i;
        many[i].group = std::to_string(i + 1);
        many[i].period = assess::Period::day;
        many[i].checks.push_back({plain("Leq"), 550 + int(i), 600});
    }
    const auto pages = assessment_pages(criterion, many, {"NLX3140B", "/tmp/noise.db", {2026, 3, 5}}, Wording::source);
    ASSERT_GE(pages.size(), 2u);
    const int printable = 277 * 1440 * 10 / 254;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        EXPECT_EQ(pages[p].paper, Paper::a4);
        EXPECT_LE(pages[p].height, printable) << p;
        EXPECT_EQ(pages[p].number, int(p) + 1);
        if (p > 0) {
            EXPECT_EQ(pages[p].lines.front().text(), "噪声与振动达标评价表（续）    第" + std::to_string(p + 1) + "页");
        }
    }
    std::size_t groups = 0;
    for (const auto& page : pages)
        for (const auto& line : page.lines) groups += line.text().find("统计组") != std::string::npos;
    EXPECT_EQ(groups, many.size());
    // The rule for absent hours closes the sheet.
    const auto& closing = pages.back().lines;
    EXPECT_TRUE(std::any_of(closing.end() - 3, closing.end(), [](const Line& l) { return l.text().starts_with("缺测小时："); }));
}

TEST(AssessmentSheet, WorksheetHoldsOneRowPerLine) {
    const auto criterion = assess::make_criterion("user", "", 60, 50).value();
    assess::Assessment refused;
    refused.group = "03";
    refused.refused = phrase(texts::kOctaveNotAssessed);
    const auto sheet = assessment_worksheet(criterion, {refused}, Wording::source);
    EXPECT_EQ(sheet.name, "达标评价");
    EXPECT_EQ(sheet.headings.size(), sheet.title_columns);
    ASSERT_EQ(sheet.rows.size(), 2u);  // the group, then the rule for absent hours
    EXPECT_EQ(sheet.rows[0][10], "未评价");
    EXPECT_EQ(sheet.rows[0][11], "倍频程频谱组，不作评价");
}

// In English the cells are longer than the Chinese ones: every line of a table keeps its margin
// under the heading's column, and the continued pages' header is the English one.
TEST(AssessmentSheet, EnglishColumnsStayInLine) {
    auto english = load_catalogue(NLX_ENGLISH_CATALOGUE);
    ASSERT_TRUE(english) << english.message();
    use_catalogue(*english);
    const auto criterion = assess::make_criterion("gb10070", "trunk-road", {}, {}).value();
    std::vector<assess::Assessment> all(40);
    for (std::size_t i = 0; i < all.size(); ++i) {
        auto& a = all[i];
        a.first_row = a.last_row = i;
        a.group = std::to_string(i + 1);
        a.kind = assess::Assessment::Kind::run;
        a.checks.push_back({texts::period_highest(false, "VLz10"), 700 + int(i), 750, true, assess::Period::day});
        a.checks.push_back({texts::period_highest(true, "VLz10"), 600, 720, true, assess::Period::night});
        a.hours.push_back({14, i, a.group, assess::Period::day, 700,
                           assess::Check{plain("VLz10"), 700, 750, false}, std::nullopt});
        a.missing_hours = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19, 20, 21, 22, 23};
    }
    all.front().kind = assess::Assessment::Kind::group;
    all.front().period = assess::Period::spanning;  // its checks' period: the longest in English
    const auto pages = assessment_pages(criterion, all, {"NLX3140D", "/tmp/noise.db", {2026, 3, 5}}, Wording::operator_language);
    const std::string margin_heading(tr(texts::kSheetColumns[4]));
    use_no_catalogue();
    ASSERT_GE(pages.size(), 2u);
    std::size_t margin_at = std::string::npos, rows = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (const auto& line : pages[p].lines) {
            const std::string text = line.text();
            EXPECT_LE(display_columns(text), 104u) << text;
            if (const auto at = text.find(margin_heading); at != std::string::npos && text.starts_with("  ")) {
                margin_at = at + margin_heading.size();  // the margin's right edge
            } else if (text.starts_with("  ") && margin_at != std::string::npos && text.find(" dB") == std::string::npos &&
                       (text.find("+") != std::string::npos || text.find("-") != std::string::npos) &&
                       text.find("-----") == std::string::npos) {
                const auto sign = text.find_first_of("+-", 20);
                ASSERT_NE(sign, std::string::npos) << text;
                const auto end = text.find(' ', sign);
                EXPECT_EQ(end == std::string::npos ? text.size() : end, margin_at) << text;
                ++rows;
            }
        }
        if (p > 0) {
            EXPECT_EQ(pages[p].lines.front().text(), "Noise and Vibration Assessment (continued)    page " + std::to_string(p + 1));
        }
    }
    EXPECT_EQ(rows, all.size() * 3);
}

}  // namespace
}  // namespace nlx::reports
