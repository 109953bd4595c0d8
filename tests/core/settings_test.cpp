// sys.cfg reading with fallbacks, atomic writing, port names and the application folder rule.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "core/app_folder.h"
#include "core/settings.h"
#include "support/temp_dir.h"

namespace nlx {
namespace {
namespace fs = std::filesystem;
using test::TempDir;

TEST(SettingsFile, ReadsOneLineTwoLinesAndSpaces) {
    auto one = parse_settings("3,1200\r\n");
    ASSERT_TRUE(one.ok());
    EXPECT_EQ(one->port.number, 3);
    EXPECT_EQ(one->baud, 1200);

    auto two = parse_settings("3\r\n1200\r\n");
    ASSERT_TRUE(two.ok());
    EXPECT_EQ(*two, *one);

    auto spaced = parse_settings(" 2 , 4800 \n");
    ASSERT_TRUE(spaced.ok());
    EXPECT_EQ(spaced->port.number, 2);
    EXPECT_EQ(spaced->baud, 4800);

    auto no_eol = parse_settings("1,9600");
    ASSERT_TRUE(no_eol.ok());
    EXPECT_EQ(no_eol->baud, 9600);

    auto device = parse_settings("/dev/ttyUSB0,2400\r\n");
    ASSERT_TRUE(device.ok());
    EXPECT_EQ(device->port.device, "/dev/ttyUSB0");
    EXPECT_EQ(port_device_name(device->port), "/dev/ttyUSB0");
}

TEST(SettingsFile, RefusesWhatIsNotAPortAndASpeed) {
    EXPECT_FALSE(parse_settings("").ok());
    EXPECT_FALSE(parse_settings("3\r\n").ok());
    EXPECT_FALSE(parse_settings("3,1234\r\n").ok());
    EXPECT_FALSE(parse_settings("4,9600\r\n").ok());
    EXPECT_FALSE(parse_settings("0,9600\r\n").ok());
    EXPECT_FALSE(parse_settings("1,fast\r\n").ok());
    EXPECT_FALSE(parse_settings(",9600\r\n").ok());
}

TEST(SettingsFile, MissingOrBadFilesFallBackWithAMessageAndAreNotWritten) {
    TempDir dir;
    auto file = dir / "sys.cfg";

    auto missing = load_settings(file);
    EXPECT_EQ(missing.settings, SerialSettings{});
    ASSERT_TRUE(missing.message.has_value());
    EXPECT_NE(missing.message->find("missing"), std::string::npos);
    EXPECT_FALSE(fs::exists(file));

    test::write_file(file, "\x01\xff garbage");
    auto garbage = load_settings(file);
    EXPECT_EQ(garbage.settings.port.number, 1);
    EXPECT_EQ(garbage.settings.baud, 9600);
    ASSERT_TRUE(garbage.message.has_value());
    EXPECT_EQ(test::read_file(file), "\x01\xff garbage");

    test::write_file(file, "2,19200\r\n");
    auto fast = load_settings(file);
    EXPECT_EQ(fast.settings, SerialSettings{});
    ASSERT_TRUE(fast.message.has_value());
    EXPECT_NE(fast.message->find("19200"), std::string::npos);

    test::write_file(file, "2,2400\r\n");
    auto good = load_settings(file);
    EXPECT_FALSE(good.message.has_value());
    EXPECT_EQ(good.settings.port.number, 2);
    EXPECT_EQ(good.settings.baud, 2400);
}

TEST(SettingsFile, SavesTheExactLineAndReportsAFailedWrite) {
    TempDir dir;
    auto file = dir / "sys.cfg";
    ASSERT_TRUE(save_settings(file, {{3, {}}, 1200}).ok());
    EXPECT_EQ(test::read_file(file), "3,1200\r\n");
    ASSERT_TRUE(save_settings(file, {{1, {}}, 9600}).ok());
    EXPECT_EQ(test::read_file(file), "1,9600\r\n");
    EXPECT_EQ(load_settings(file).settings.baud, 9600);

    // A folder standing where the file should be cannot be replaced, whatever the user's rights.
    auto blocked = dir / "blocked.cfg";
    fs::create_directory(blocked);
    test::write_file(blocked / "keep", "2,4800\r\n");
    auto r = save_settings(blocked, {{3, {}}, 1200});
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.message().find("blocked.cfg"), std::string::npos);
    EXPECT_EQ(test::read_file(blocked / "keep"), "2,4800\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);  // no temporary left
}

TEST(PortNames, NumbersMapToThePlatformDevice) {
    EXPECT_EQ(port_device_name(1), "/dev/ttyS0");
    EXPECT_EQ(port_device_name(3), "/dev/ttyS2");
    auto p = parse_port("COM7");
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p->device, "COM7");
    EXPECT_FALSE(parse_port("5").ok());
    EXPECT_FALSE(parse_port("").ok());
}

TEST(ApplicationFolder, HomeVariableThenPortableFolderThenUserData) {
    TempDir dir;
    fs::path exe = dir / "bin", user = dir / "user";
    fs::create_directory(exe);
    EXPECT_EQ(resolve_application_folder(dir / "home", exe, user), dir / "home");
    EXPECT_EQ(resolve_application_folder({}, exe, user), exe);  // writable: portable use
    chmod(exe.c_str(), 0500);
    bool can_lock = ::access(exe.c_str(), W_OK) != 0;
    if (can_lock) {
        EXPECT_EQ(resolve_application_folder({}, exe, user), user);
        chmod(exe.c_str(), 0700);
        test::write_file(exe / "sys.cfg", "1,9600\r\n");
        chmod(exe.c_str(), 0500);
        EXPECT_EQ(resolve_application_folder({}, exe, user), exe);  // holds sys.cfg
    }
    chmod(exe.c_str(), 0700);
    EXPECT_EQ(settings_path(dir.path()), dir / "sys.cfg");
    EXPECT_EQ(database_path(dir.path()), dir / "noise.db");
    EXPECT_EQ(storage_folder(dir.path()).filename(), "3140A存储文件");
}

}  // namespace
}  // namespace nlx
