// standard.cfg: the round trip of every kind of choice, the files refused with the file named, and
// a missing file meaning nothing chosen yet.
#include <gtest/gtest.h>

#include "core/standard_choice.h"
#include "support/temp_dir.h"

namespace nlx {
namespace {
using test::TempDir;

TEST(StandardChoiceFile, RoundTripsEveryKindOfChoice) {
    const StandardChoice choices[] = {
        {"gb3096", "4a", {}, {}},
        {"gb10070", "trunk-road", {}, {}},
        {"eu", "", 55, 47.5},
        {"user", "", 62.3, 50},
    };
    TempDir dir;
    for (const auto& choice : choices) {
        const auto file = standard_choice_path(dir.path());
        ASSERT_TRUE(save_standard_choice(file, choice)) << choice.standard;
        const auto loaded = load_standard_choice(file);
        ASSERT_TRUE(loaded) << loaded.message();
        ASSERT_TRUE(loaded->has_value());
        EXPECT_EQ(**loaded, choice) << test::read_file(file);
    }
    // The directive's limits are written under their own names.
    EXPECT_NE(standard_choice_text(choices[2]).find("lden=55\nlnight=47.5\n"), std::string::npos);
}

TEST(StandardChoiceFile, ReadsWhatAnEditorLeaves) {
    const auto parsed = parse_standard_choice("\xEF\xBB\xBF# chosen by hand\r\n\r\n standard = gb3096 \r\nclass=2\r\n");
    ASSERT_TRUE(parsed) << parsed.message();
    EXPECT_EQ(parsed->standard, "gb3096");
    EXPECT_EQ(parsed->zone, "2");
}

TEST(StandardChoiceFile, RefusesWithTheFileNamedAndLeavesItAlone) {
    const struct {
        const char* text;
        const char* says;
    } bad[] = {
        {"class=2\n", "names no standard"},
        {"standard=user\nday=sixty\n", "line 2: day \"sixty\" is not a number"},
        {"standard=gb3096\nzone=2\n", "unknown key \"zone\""},
        {"gb3096\n", "line 1 is not key=value"},
    };
    TempDir dir;
    const auto file = standard_choice_path(dir.path());
    for (const auto& b : bad) {
        test::write_file(file, b.text);
        const auto loaded = load_standard_choice(file);
        ASSERT_FALSE(loaded) << b.text;
        EXPECT_EQ(loaded.message().find(file.string()), 0u) << loaded.message();
        EXPECT_NE(loaded.message().find(b.says), std::string::npos) << loaded.message();
        EXPECT_EQ(test::read_file(file), b.text);
    }
    std::filesystem::remove(file);
    const auto missing = load_standard_choice(file);
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->has_value());
    std::filesystem::create_directory(file);
    const auto folder = load_standard_choice(file);
    ASSERT_FALSE(folder);
    EXPECT_NE(folder.message().find("not a regular file"), std::string::npos) << folder.message();
}

// Choosing no standard removes the file; removing it again, or a file never written, is no error;
// a folder of its name is left alone.
TEST(StandardChoiceFile, RemovedForNoChoice) {
    TempDir dir;
    const auto file = standard_choice_path(dir.path());
    ASSERT_TRUE(save_standard_choice(file, {"gb3096", "2", {}, {}}));
    for (int pass = 0; pass < 2; ++pass) {
        const auto removed = remove_standard_choice(file);
        ASSERT_TRUE(removed) << removed.message();
        const auto loaded = load_standard_choice(file);
        ASSERT_TRUE(loaded);
        EXPECT_FALSE(loaded->has_value());
    }
    std::filesystem::create_directory(file);
    const auto folder = remove_standard_choice(file);
    ASSERT_FALSE(folder);
    EXPECT_EQ(folder.message().find(file.string()), 0u) << folder.message();
    EXPECT_TRUE(std::filesystem::is_directory(file));
}

}  // namespace
}  // namespace nlx
