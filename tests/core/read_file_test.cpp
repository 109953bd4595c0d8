// Whether a file holds given bytes: only a regular file of exactly those bytes does, and nothing
// else is followed, waited on or read past its length.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/read_file.h"
#include "support/temp_dir.h"

namespace nlx {
namespace {
namespace fs = std::filesystem;

TEST(FileHolds, OnlyARegularFileOfExactlyTheBytes) {
    test::TempDir dir;
    test::write_file(dir / "f", "0123456789");
    test::write_file(dir / "empty", "");
    fs::create_symlink(dir / "f", dir / "link");
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    const struct {
        const char* file;
        std::string bytes;
        bool holds;
    } cases[] = {
        {"f", "0123456789", true},
        {"f", "0123456780", false},      // the last byte differs
        {"f", "x123456789", false},      // the first byte differs
        {"f", "012345678", false},       // the file is longer
        {"f", "01234567890", false},     // the file is shorter
        {"f", "", false},
        {"empty", "", true},
        {"empty", "0", false},
        {"link", "0123456789", false},   // a link is not followed
        {"folder", "", false},
        {"pipe", "", false},             // neither opened nor waited on
        {"missing", "", false},
    };
    std::string scratch = "left from an earlier, longer comparison";
    const int folder = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " against \"" + c.bytes + "\"");
        EXPECT_EQ(file_holds(dir / c.file, c.bytes, scratch), c.holds);
        EXPECT_EQ(file_holds_at(folder, c.file, c.bytes, scratch), c.holds) << "in the open folder";
    }
    ::close(folder);
}

}  // namespace
}  // namespace nlx
