// Table text forms: CSV quoting and NULLs, JSON escapes, alignment with CJK characters.
#include <gtest/gtest.h>

#include "store/table_export.h"

namespace nlx {
namespace {

TEST(TableExport, CsvQuotesOnlyWhatNeedsItAndKeepsNullApartFromEmptyText) {
    TableContents t{{"序号", "MODE", "note"},
                    {{Value("01"), Value("STA"), Value()},
                     {Value("02"), Value(""), Value("a,b")},
                     {Value(3), Value("say \"hi\""), Value("two\nlines\r")},
                     {Value(12.5), Value("0.30000000000000004"), Value(0.1 + 0.2)}}};
    EXPECT_EQ(to_csv(t),
              "序号,MODE,note\n"
              "01,STA,\n"
              "02,\"\",\"a,b\"\n"
              "3,\"say \"\"hi\"\"\",\"two\nlines\r\"\n"
              "12.5,0.30000000000000004,0.3\n");
    EXPECT_EQ(to_csv(TableContents{{"a"}, {}}), "a\n");
}

TEST(TableExport, JsonHasStringsNumbersAndNulls) {
    TableContents t{{"序号", "x\"y"}, {{Value("01"), Value()}, {Value(-2.5), Value("tab\there\\ \x01")}}};
    EXPECT_EQ(to_json(t),
              "[\n"
              "  {\"序号\": \"01\", \"x\\\"y\": null},\n"
              "  {\"序号\": -2.5, \"x\\\"y\": \"tab\\there\\\\ \\u0001\"}\n"
              "]\n");
    EXPECT_EQ(to_json(TableContents{{"a"}, {}}), "[]\n");
}

// A listing far longer than one piece goes out in several, each ending on a whole row, and
// together they are exactly the text of the rows, in both formats.
TEST(TableExport, StreamedPiecesEndOnRowsAndMakeTheWholeText) {
    std::vector<std::string> columns{"序号", "note"};
    std::string csv = "序号,note\n", json = "[";
    std::vector<std::vector<Value>> rows;
    for (int i = 0; i < 20000; ++i) {
        const Value note = i % 11 == 0 ? Value() : i % 7 == 0 ? Value("a,\"b\"") : Value("第" + std::to_string(i));
        rows.push_back({Value(i), note});
        const std::string number = std::to_string(i);
        csv += number + "," + (i % 11 == 0 ? "" : i % 7 == 0 ? "\"a,\"\"b\"\"\"" : "第" + number) + "\n";
        json += std::string(i ? ",\n  {" : "\n  {") + "\"序号\": " + number + ", \"note\": " +
                (i % 11 == 0 ? "null" : i % 7 == 0 ? "\"a,\\\"b\\\"\"" : "\"第" + number + "\"") + "}";
    }
    json += "\n]\n";
    for (const auto& [format, expected] : {std::pair{TableStreamWriter::Format::csv, csv},
                                           std::pair{TableStreamWriter::Format::json, json}}) {
        std::vector<std::string> pieces;
        TableStreamWriter writer(format, columns, [&](std::string_view piece) { pieces.emplace_back(piece); });
        for (const auto& row : rows) {
            const ValueView views[] = {ValueView::of(row[0]), ValueView::of(row[1])};
            writer.row(views);
        }
        writer.finish();
        EXPECT_GT(pieces.size(), 2u);
        std::string joined;
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            ASSERT_FALSE(pieces[k].empty());
            const bool last = k + 1 == pieces.size();
            EXPECT_EQ(pieces[k].back(), last || format == TableStreamWriter::Format::csv ? '\n' : '}') << k;
            joined += pieces[k];
        }
        EXPECT_EQ(joined, expected);
    }
    EXPECT_EQ(to_csv(TableContents{columns, rows}), csv);
    EXPECT_EQ(to_json(TableContents{columns, rows}), json);
}

TEST(TableExport, TextTableAlignsCjkAsTwoColumns) {
    EXPECT_EQ(display_width("Leq"), 3);
    EXPECT_EQ(display_width("测量时间"), 8);
    EXPECT_EQ(display_width("1h2m3s"), 6);
    EXPECT_EQ(display_width("Ａ"), 2);        // fullwidth form
    EXPECT_EQ(display_width("é"), 1);         // two bytes, one column
    EXPECT_EQ(display_width("\xE6\xB5"), 2);  // a cut sequence: one column per stray byte

    TableContents t{{"序号", "测量时间", "Leq"}, {{Value("01"), Value("1h2m3s"), Value("85.6")}, {Value(), Value("频率"), Value(100)}}};
    EXPECT_EQ(to_text(t),
              "序号  测量时间  Leq\n"
              "----  --------  ----\n"
              "01    1h2m3s    85.6\n"
              "      频率      100\n");
}

}  // namespace
}  // namespace nlx
