// The decoders' notes worded for the operator: which figure lands in which place, one group or a
// range, in Chinese and through the English catalogue.
#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "core/decode_note.h"

namespace nlx {
namespace {

using K = DecodeNote::Kind;

struct Case {
    DecodeNote note;
    const char* chinese;
    const char* english;
};

const Case kCases[] = {
    {{.kind = K::broken_off, .received = 640, .announced = 1024}, "传输在收到640字节（应收1024字节）后中断",
     "the transfer broke off after 640 of 1024 bytes"},
    // The surplus is what arrived beyond the count.
    {{.kind = K::surplus, .received = 1024, .announced = 256}, "超出应收256字节的768字节已忽略",
     "768 bytes beyond the announced 256 bytes were ignored"},
    {{.kind = K::groups_not_whole, .group = 3, .last = 3, .count = 3}, "第3组（共3组）未完整收到，没有记录",
     "group 3 of 3 did not arrive whole and gives no rows"},
    {{.kind = K::groups_not_whole, .group = 3, .last = 4, .count = 4}, "第3至4组（共4组）未完整收到，没有记录",
     "groups 3 to 4 of 4 did not arrive whole and give no rows"},
    {{.kind = K::history_cut, .group = 2, .received = 100, .announced = 500, .stored = false},
     "第2组的历史数据在第100字节处截断（应有500字节，传输提前结束），该组未存储",
     "group 2: history cut at byte 100 of 500 (transfer ended early); group not stored"},
    {{.kind = K::history_cut, .group = 2, .received = 256, .announced = 500, .stored = true},
     "第2组的历史数据在第256字节处截断（应有500字节，该组超出应收数据）",
     "group 2: history cut at byte 256 of 500 (group runs past the announced data)"},
    {{.kind = K::not_a_group, .group = 6, .at = 255}, "第6块的类型字节为255，不是测量组，已跳过",
     "block 6: type byte 255 is no group; skipped"},
    {{.kind = K::records_lost, .group = 4, .last = 4}, "第4组未收到", "group 4 did not arrive"},
    {{.kind = K::records_lost, .group = 4, .last = 9}, "第4至9组未收到", "groups 4 to 9 did not arrive"},
    {{.kind = K::count_not_whole, .group = 3, .received = 8, .announced = 40},
     "传输计数40不是16字节组的整数倍：第3组只有8字节，该行不完整",
     "the transfer count 40 is not a whole number of 16-byte groups: group 3 holds only 8 bytes and its row is incomplete"},
};

TEST(DecodeNote, FiguresLandInTheirPlacesInEitherLanguage) {
    for (const auto& c : kCases) EXPECT_EQ(decode_note_text(c.note), c.chinese);
    auto english = load_catalogue(NLX_ENGLISH_CATALOGUE);
    ASSERT_TRUE(english) << english.message();
    use_catalogue(std::move(*english));
    for (const auto& c : kCases) EXPECT_EQ(decode_note_text(c.note), c.english);
    use_no_catalogue();
}

}  // namespace
}  // namespace nlx
