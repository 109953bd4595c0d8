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
