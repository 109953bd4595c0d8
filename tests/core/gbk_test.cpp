// UTF-8 to GBK: Chinese anywhere in a text, ASCII around it, and the characters that fail.
#include <gtest/gtest.h>

#include "core/gbk.h"

namespace nlx {
namespace {

TEST(Gbk, ConvertsChineseWhereverItStandsAndLeavesAsciiAsItIs) {
    struct Case {
        std::string utf8, gbk;
    };
    const Case cases[] = {
        {"", ""},
        {" Lp            N\r\n 30.0           7\r\n", " Lp            N\r\n 30.0           7\r\n"},
        {"中文\r\n085.6\t", "\xD6\xD0\xCE\xC4\r\n085.6\t"},
        {"12 中 34 文 56", "12 \xD6\xD0 34 \xCE\xC4 56"},
        {"ms文", "ms\xCE\xC4"},
    };
    for (const auto& c : cases) {
        auto gbk = to_gbk(c.utf8);
        ASSERT_TRUE(gbk) << c.utf8 << ": " << gbk.message();
        EXPECT_EQ(*gbk, c.gbk) << c.utf8;
        auto back = from_gbk(*gbk);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, c.utf8);
    }
}

// The ASCII tail is found eight bytes at a time: a Chinese character at every distance from the
// end, and across those steps, is still converted.
TEST(Gbk, ChineseBeforeAsciiTailsOfEveryLength) {
    for (std::size_t tail = 0; tail <= 20; ++tail) {
        for (std::size_t head = 0; head <= 9; ++head) {
            const std::string ascii(tail, 'x'), lead(head, '7');
            auto gbk = to_gbk(lead + "文" + ascii);
            ASSERT_TRUE(gbk) << head << " + " << tail;
            EXPECT_EQ(*gbk, lead + "\xCE\xC4" + ascii) << head << " + " << tail;
            EXPECT_EQ(*to_gbk(lead + ascii), lead + ascii) << head << " + " << tail;
        }
    }
}

TEST(Gbk, ATextItCannotHoldIsAnErrorThatSaysWhere) {
    struct Case {
        std::string utf8, where;
    };
    const Case cases[] = {
        {"ab\xFF" "cd", "at byte 2"},          // not UTF-8, ASCII after it
        {"中\xF0\x9F\x98\x80 tail", "at byte 3"},  // an emoji has no GBK code
    };
    for (const auto& c : cases) {
        auto gbk = to_gbk(c.utf8);
        ASSERT_FALSE(gbk) << c.utf8;
        EXPECT_NE(gbk.message().find(c.where), std::string::npos) << gbk.message();
    }
}

}  // namespace
}  // namespace nlx
