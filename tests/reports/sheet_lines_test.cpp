// Breaking the sheet's lines at spaces, with one unit of width per character.
#include <gtest/gtest.h>

#include "reports/sheet_lines.h"

namespace nlx::reports {
namespace {

// One unit a character, a Chinese character as wide as a Latin one.
double characters(std::string_view text) {
    double n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

TEST(SheetLines, BreakAtTheLastSpaceThatFits) {
    struct Case {
        const char* what;
        std::string paragraph;
        double width;
        std::vector<std::string> lines;
    } cases[] = {
        {"fits whole", "DATE:21/12/10   TIME:21:06:42", 40, {"DATE:21/12/10   TIME:21:06:42"}},
        {"exactly the width", "abc def", 7, {"abc def"}},
        {"trailing spaces need no room", "abc def   ", 7, {"abc def   "}},
        {"breaks before a word, not inside it", "DATE:21/12/10   TIME:21:06:42", 20,
         {"DATE:21/12/10", "TIME:21:06:42"}},
        {"the colon is no break", "filename:1182517.ln", 30, {"filename:1182517.ln"}},
        {"a label and its value stay together", "采样间隔:1s  filename:1182517.ln", 22, {"采样间隔:1s", "filename:1182517.ln"}},
        {"the last space that fits, not the first", "aa bb cc dd", 8, {"aa bb cc", "dd"}},
        {"a break right after the fitting run", "aaaa bbbb", 4, {"aaaa", "bbbb"}},
        {"indentation is kept on the first line", "     序号:001  Leq=65.3", 14, {"     序号:001", "Leq=65.3"}},
        {"a word longer than the line is cut", "abcdefghij k", 4, {"abcd", "efgh", "ij k"}},
        {"an indented long word is cut, not left as an empty line", "  abcdefgh", 4, {"  ab", "cdef", "gh"}},
        {"Chinese characters are cut whole", "频率计权时间计权", 3, {"频率计", "权时间", "计权"}},
        {"empty", "", 10, {""}},
    };
    for (const auto& c : cases) EXPECT_EQ(break_at_spaces(c.paragraph, c.width, characters), c.lines) << c.what;
}

TEST(SheetLines, EveryLineFitsAndNothingButBreakingSpacesIsLost) {
    const std::string paragraph = "                 LAE= 99.9   Lmax=101.2   Lmin= 40.0    E  =  0.50   CODE:3.0   "
                                  "DATE:10/12/21   TIME:09:05:03";
    for (double width = 1; width <= 120; ++width) {
        std::string joined;
        for (const auto& line : break_at_spaces(paragraph, width, characters)) {
            EXPECT_LE(characters(line), std::max(width, 1.0)) << width << ": " << line;
            joined += line;
        }
        std::string expected;
        for (char c : paragraph) if (c != ' ') expected += c;
        std::string kept;
        for (char c : joined) if (c != ' ') kept += c;
        EXPECT_EQ(kept, expected) << width;
    }
}

}  // namespace
}  // namespace nlx::reports
