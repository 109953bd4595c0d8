// sys.cfg reading with fallbacks, atomic writing, port names and the application folder rule.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "core/app_folder.h"
#include "core/message_text.h"
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
    EXPECT_TRUE(missing.missing);
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
#ifdef _WIN32
    auto p = parse_port("COM7");
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p->device, "COM7");
#endif
}

TEST(PortField, NumbersOneToThreeAndDevicePathsOnly) {
    // Appended rather than "/" + text: GCC 12 warns, wrongly, of overlapping copies there.
    const std::string longest = std::string("/").append(kMaxPortPath - 1, 'a');
    struct Case {
        std::string text;
        std::optional<PortSpec> port;  // nullopt: refused
        std::string in_message;        // part of the refusal
    };
    const Case cases[] = {
        {"1", PortSpec{1, {}}, ""},
        {" 3\t", PortSpec{3, {}}, ""},
        {"/dev/ttyUSB0", PortSpec{0, "/dev/ttyUSB0"}, ""},
        {" /dev/ttyS1 ", PortSpec{0, "/dev/ttyS1"}, ""},
        {longest, PortSpec{0, longest}, ""},
        {"", std::nullopt, "empty"},
        {"0", std::nullopt, "port 0 is not one of 1, 2, 3"},
        {"4", std::nullopt, "port 4 is not one of 1, 2, 3"},
        {"99999999999", std::nullopt, "port 99999999999 is not one of"},
        {"1.5", std::nullopt, "\"1.5\""},
        {"-1", std::nullopt, "\"-1\""},
        {"ttyUSB0", std::nullopt, "beginning with /"},
#ifndef _WIN32
        {"COM7", std::nullopt, "\"COM7\""},
#endif
        {std::string("/dev/tty\0S0", 11), std::nullopt, "/dev/tty\\x00S0"},
        {"/dev/tty\x1bS0", std::nullopt, "/dev/tty\\x1BS0"},
        {"/dev/tty\xc3\xa9", std::nullopt, "/dev/tty\\xC3\\xA9"},
        {"/dev/tty S0", std::nullopt, "space"},
        {"/dev/a,b", std::nullopt, "not a device name"},
        {longest + "a", std::nullopt, "longer than 255 bytes"},
        {std::string("/").append(299, 'x'), std::nullopt, std::string("\"/").append(39, 'x').append("...\"")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(shown_text(c.text));
        auto got = parse_port(c.text);
        if (c.port) {
            ASSERT_TRUE(got.ok()) << got.message();
            EXPECT_EQ(*got, *c.port);
        } else {
            ASSERT_FALSE(got.ok());
            EXPECT_NE(got.message().find(c.in_message), std::string::npos) << got.message();
            EXPECT_LT(got.message().size(), 160u) << got.message();
        }
    }
}

TEST(SettingsFile, ByteOrderMarkAndHugeFields) {
    const std::string bom = "\xEF\xBB\xBF";
    auto marked = parse_settings(bom + "2,4800\r\n");
    ASSERT_TRUE(marked.ok()) << marked.message();
    EXPECT_EQ(*marked, (SerialSettings{{2, {}}, 4800}));
    EXPECT_FALSE(parse_settings("2" + bom + ",4800\r\n").ok()) << "a mark is skipped at the start only";

    // A 10 MB field is refused with a message of a line's length.
    const std::string huge(10'000'000, '7');
    for (const std::string& text : {huge + ",9600", "/dev/" + huge + ",9600", "1," + huge, "1,9600" + huge}) {
        auto r = parse_settings(text);
        ASSERT_FALSE(r.ok());
        EXPECT_LT(r.message().size(), 160u) << r.message();
        EXPECT_NE(r.message().find("..."), std::string::npos) << r.message();
    }
}

TEST(SettingsFile, WhatIsNotASmallRegularFileIsNeverReadAndFallsBack) {
    TempDir dir;
    const std::string good = "2,4800\r\n";
    ASSERT_EQ(::mkfifo((dir / "fifo.cfg").c_str(), 0600), 0);
    fs::create_symlink(dir / "fifo.cfg", dir / "link.cfg");
    fs::create_directory(dir / "folder.cfg");
    test::write_file(dir / "big.cfg", good + std::string(5 * 1024, '\n'));
    test::write_file(dir / "huge.cfg", "/dev/" + std::string(10'000'000, 'x') + ",9600\r\n");
    test::write_file(dir / "limit.cfg", good + std::string(kMaxSettingsBytes - good.size(), '\n'));
    test::write_file(dir / "over.cfg", good + std::string(kMaxSettingsBytes - good.size() + 1, '\n'));
    test::write_file(dir / "bom.cfg", "\xEF\xBB\xBF" + good);
    test::write_file(dir / "half.cfg", "1.5,9600\r\n");
    test::write_file(dir / "nul.cfg", std::string("/dev/tty\0S0,9600\r\n", 18));

    struct Case {
        fs::path file;
        const char* note;  // nullptr: read as 2 at 4800
    };
    const Case cases[] = {
        {dir / "fifo.cfg", "is not a regular file (it is a named pipe)"},
        {dir / "link.cfg", "is not a regular file (it is a named pipe)"},
        {"/dev/zero", "is not a regular file (it is a device)"},
        {dir / "folder.cfg", "is not a regular file (it is a folder)"},
        {dir / "big.cfg", "is larger than 4096 bytes"},
        {dir / "huge.cfg", "is larger than 4096 bytes"},
        {dir / "over.cfg", "is larger than 4096 bytes"},
        {dir / "limit.cfg", nullptr},
        {dir / "bom.cfg", nullptr},
        {dir / "half.cfg", "is not valid: port \"1.5\""},
        {dir / "nul.cfg", "is not valid: port name \"/dev/tty\\x00S0\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.string());
        auto loaded = load_settings(c.file);
        if (!c.note) {
            EXPECT_FALSE(loaded.message) << *loaded.message;
            EXPECT_EQ(loaded.settings, (SerialSettings{{2, {}}, 4800}));
            continue;
        }
        EXPECT_EQ(loaded.settings, SerialSettings{});
        EXPECT_FALSE(loaded.missing);
        ASSERT_TRUE(loaded.message);
        EXPECT_EQ(loaded.message->rfind("settings file " + c.file.string() + " ", 0), 0u) << *loaded.message;
        EXPECT_NE(loaded.message->find(c.note), std::string::npos) << *loaded.message;
        EXPECT_NE(loaded.message->find("using port 1 (/dev/ttyS0) at 9600 bit/s"), std::string::npos);
        EXPECT_LT(loaded.message->size(), c.file.string().size() + 160) << *loaded.message;
    }
    EXPECT_EQ(fs::status(dir / "fifo.cfg").type(), fs::file_type::fifo);
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
    // Installed (share/nlx beside bin): the user's folder, even with a writable bin and sys.cfg.
    fs::create_directories(dir / "share" / "nlx");
    EXPECT_EQ(resolve_application_folder({}, exe, user), user);
    EXPECT_EQ(resolve_application_folder(dir / "home", exe, user), dir / "home");
    EXPECT_EQ(settings_path(dir.path()), dir / "sys.cfg");
    EXPECT_EQ(database_path(dir.path()), dir / "noise.db");
    EXPECT_EQ(storage_folder(dir.path()).filename(), "3140A存储文件");
}

}  // namespace
}  // namespace nlx
