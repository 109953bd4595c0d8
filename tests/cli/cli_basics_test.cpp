// The nlx command line: help, usage errors and exit codes, version, settings.
#include <gtest/gtest.h>

#include "support/run_command.h"
#include "support/temp_dir.h"

namespace nlx {
namespace {

TEST(CommandLine, HelpUsageErrorsAndVersion) {
    auto help = test::run_nlx({"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.out.find("settings"), std::string::npos);

    EXPECT_EQ(test::run_nlx({}).exit_code, 2);
    EXPECT_EQ(test::run_nlx({"no-such-command"}).exit_code, 2);

    auto version = test::run_nlx({"version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.out.rfind("nlx ", 0), 0u);
}

TEST(CommandLine, SettingsShowsTheFolderAndTheFallback) {
    test::TempDir home;
    auto missing = test::run_nlx({"settings"}, {{"NLX_HOME", home.path().string()}});
    EXPECT_EQ(missing.exit_code, 0);
    EXPECT_NE(missing.out.find(home.path().string()), std::string::npos);
    EXPECT_NE(missing.out.find("9600"), std::string::npos);
    EXPECT_NE(missing.out.find("missing"), std::string::npos);

    test::write_file(home / "sys.cfg", "3,1200\r\n");
    auto good = test::run_nlx({"settings"}, {{"NLX_HOME", home.path().string()}});
    EXPECT_EQ(good.exit_code, 0);
    EXPECT_NE(good.out.find("/dev/ttyS2"), std::string::npos);
    EXPECT_NE(good.out.find("1200"), std::string::npos);
    EXPECT_EQ(good.out.find("note:"), std::string::npos);
}

}  // namespace
}  // namespace nlx
