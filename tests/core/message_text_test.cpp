// Echoed fields in messages: escapes and the 40-character cut.
#include <gtest/gtest.h>

#include "core/message_text.h"

namespace nlx {
namespace {

TEST(ShownText, EscapesWhatIsNotPrintableAndCutsAtFortyCharacters) {
    const std::string forty(40, 'p');
    struct Case {
        std::string bytes;
        std::string shown;
    };
    const Case cases[] = {
        {"", ""},
        {"COM7 /dev/x", "COM7 /dev/x"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"\t\x7f\xff", "\\x09\\x7F\\xFF"},
        {forty, forty},
        {forty + "q", forty + "..."},
        {std::string(38, 'p') + "\x01", std::string(38, 'p') + "..."},  // an escape is never split
        {std::string(36, 'p') + "\x01", std::string(36, 'p') + "\\x01"},
        {std::string(10'000'000, '\0'), "\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00..."},
    };
    for (const auto& c : cases) EXPECT_EQ(shown_text(c.bytes), c.shown);
}

}  // namespace
}  // namespace nlx
