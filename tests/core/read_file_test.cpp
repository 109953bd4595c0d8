// Bounded regular-file reads: exact bytes up to the limit, refusals that name the file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "core/read_file.h"
#include "support/temp_dir.h"

namespace nlx {
namespace {
namespace fs = std::filesystem;

TEST(ReadRegularFile, ReadsUpToTheLimitExactlyAndRefusesOneByteMore) {
    test::TempDir dir;
    const std::string bytes("\0\xff\r\nA\0", 6);
    test::write_file(dir / "six", bytes);
    test::write_file(dir / "empty", "");
    struct Case {
        const char* name;
        std::size_t max;
        const char* refusal;  // nullptr: read whole
    };
    for (Case c : {Case{"six", 6, nullptr}, Case{"six", 5, "is larger than 5 bytes"}, Case{"six", 1 << 24, nullptr},
                   Case{"empty", 0, nullptr}, Case{"missing", 6, "is missing"}}) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.max));
        auto got = read_regular_file(dir / c.name, c.max);
        if (!c.refusal) {
            ASSERT_TRUE(got.ok()) << got.message();
            EXPECT_EQ(*got, test::read_file(dir / c.name));
        } else {
            ASSERT_FALSE(got.ok());
            EXPECT_EQ(got.message(), (dir / c.name).string() + " " + c.refusal);
        }
    }
}

}  // namespace
}  // namespace nlx
