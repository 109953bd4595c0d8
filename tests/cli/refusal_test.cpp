// Commands given a bad capture or a bad file in any path role: each is refused at once with a
// message naming the file, and every file in the application folder stays byte for byte as it was.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>

#include <random>

#include "core/capture.h"
#include "sim/encode/encode_ab.h"
#include "sim/encode/encode_cde.h"
#include "store/sqlite.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/transfer_a.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;

// Every entry below `folder`: regular files with their bytes, others by kind.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> out;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::none, ec), end; !ec && it != end;
         it.increment(ec)) {
        const auto status = it->symlink_status();
        const std::string name = fs::relative(it->path(), folder).string();
        if (fs::is_regular_file(status)) out[name] = "file:" + test::read_file(it->path());
        else if (fs::is_directory(status)) out[name] = "folder";
        else if (fs::is_fifo(status)) out[name] = "fifo";
        else out[name] = "other";
    }
    return out;
}

std::string capture_text(char model, const Capture& c) {
    auto b = capture_file_bytes(model_of(model), {"2026-12-09 10:00:00", "/dev/ttyUSB0", 9600}, c);
    return std::string(b.begin(), b.end());
}

std::string raw_text(const Capture& c) {
    auto b = capture_bytes(c);
    return std::string(b.begin(), b.end());
}

Capture transfer_a(int groups, std::uint32_t seed) { return test::realistic_transfer_a(groups, seed); }

struct Home {
    test::TempDir dir;
    std::map<std::string, std::string> env{{"NLX_HOME", dir.path().string()}};
    test::CommandResult nlx(std::vector<std::string> args) const { return test::run_nlx(args, env); }
};

TEST(Refusals, CapturesThatAreNotAWholeTransferChangeNothing) {
    Home home;
    test::write_file(home.dir / "good.cap", capture_text('a', transfer_a(8, 1)));
    ASSERT_EQ(home.nlx({"import", (home.dir / "good.cap").string()}).exit_code, 0);

    const Capture big{1, 36, std::vector<std::uint8_t>(1000, 0)};  // 148 blocks announced, 1000 bytes
    std::string altered = capture_text('a', transfer_a(8, 2));
    altered[altered.size() - 300] ^= 0x01;
    std::string noise(10 << 20, '\0');
    std::mt19937 rng(7);
    for (auto& c : noise) c = char(rng());
    auto data_e = sim::encode_transfer_e(sim::realistic_groups_e(10, 1));
    const Capture e{std::uint8_t(data_e.size() % 256), std::uint8_t(128 + data_e.size() / 256), data_e};

    test::TempDir cases_home;  // beside the application folder, so the snapshots stay small
    const fs::path cases_dir = cases_home.path();
    ASSERT_EQ(mkfifo((cases_dir / "fifo.cap").c_str(), 0600), 0);
    struct Case {
        const char* what;
        std::string bytes;  // written to cases/<what>.cap unless empty
        std::vector<std::string> options;
        std::string says;
    } cases[] = {
        {"count-bytes-only", raw_text({0, 19, {}}), {}, "no NLX-CAPTURE header"},
        {"count-bytes-only-raw", raw_text({0, 19, {}}), {"--raw", "--model", "a"}, "0 of 768 bytes arrived"},
        {"cut-1000-of-37888", capture_text('a', big), {}, "1000 of 37888 bytes arrived"},
        {"ffff-and-256", raw_text({0xFF, 0xFF, std::vector<std::uint8_t>(256, 0)}), {"--raw", "--model", "a"},
         "256 of 8417024 bytes arrived"},
        {"ten-megabytes-of-noise", noise, {}, "no NLX-CAPTURE header"},
        {"model-e-as-a", capture_text('e', e), {"--model", "a"}, "holds a transfer of model e, not model a"},
        {"one-byte-altered", altered, {}, "SHA-256"},
        {"larger-than-16-MiB", std::string(17 << 20, 'x'), {"--raw", "--model", "a"}, "larger than 16777216 bytes"},
        {"fifo", "", {}, "not a regular file"},
        {"folder", "", {}, "is not a regular file"},
    };
    fs::create_directory(cases_dir / "folder.cap");
    for (const auto& c : cases)
        if (!c.bytes.empty()) test::write_file(cases_dir / (std::string(c.what) + ".cap"), c.bytes);

    const auto before = snapshot(home.dir.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path file = cases_dir / (std::string(c.what) + ".cap");
        std::vector<std::string> args{"import"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(file.string());
        auto r = home.nlx(args);
        EXPECT_EQ(r.exit_code, 1);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(file.string()), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("unchanged"), std::string::npos) << r.err;
        EXPECT_EQ(snapshot(home.dir.path()), before);
    }
    // --partial makes no difference to a whole capture: the same records as without it.
    const std::string records = home.nlx({"records", "--model", "a", "--format", "csv"}).out;
    EXPECT_EQ(home.nlx({"import", "--partial", (home.dir / "good.cap").string()}).exit_code, 0);
    EXPECT_EQ(home.nlx({"records", "--model", "a", "--format", "csv"}).out, records);
    // /dev/zero as a capture: refused at once instead of read without end.
    auto zero = home.nlx({"import", "--raw", "--model", "a", "/dev/zero"});
    EXPECT_EQ(zero.exit_code, 1);
    EXPECT_NE(zero.err.find("/dev/zero is not a regular file"), std::string::npos) << zero.err;
}

TEST(Refusals, BadDatabaseFilesInEveryCommandStayAsTheyWere) {
    Home home;
    test::write_file(home.dir / "good.cap", capture_text('a', transfer_a(4, 3)));
    ASSERT_EQ(home.nlx({"import", (home.dir / "good.cap").string()}).exit_code, 0);
    const fs::path bad = home.dir / "bad";
    fs::create_directory(bad);
    test::write_file(bad / "text.db", "not a database\n");
    std::string damaged = test::read_file(home.dir / "noise.db");
    ASSERT_GT(damaged.size(), 8192u);
    for (std::size_t i = 100; i < 4096; ++i) damaged[i] = char(0xA5);  // the schema page
    test::write_file(bad / "damaged.db", damaged);
    ASSERT_EQ(mkfifo((bad / "fifo.db").c_str(), 0600), 0);
    fs::create_directory(bad / "folder.db");

    struct Command {
        const char* what;
        std::vector<std::string> args;  // --db FILE follows
    } commands[] = {
        {"records", {"records", "--model", "a"}},
        {"import", {"import", (home.dir / "good.cap").string()}},
        {"add-record", {"add-record", "--model", "a"}},
        {"save-as", {"save-as", (home.dir / "copy.db").string()}},
    };
    const auto before = snapshot(home.dir.path());
    for (const char* name : {"text.db", "damaged.db", "fifo.db", "folder.db"}) {
        for (const auto& c : commands) {
            SCOPED_TRACE(std::string(name) + " " + c.what);
            auto args = c.args;
            args.push_back("--db");
            args.push_back((bad / name).string());
            auto r = home.nlx(args);
            EXPECT_EQ(r.exit_code, 1) << r.out;
            EXPECT_NE(r.err.find((bad / name).string()), std::string::npos) << r.err;
            EXPECT_EQ(snapshot(home.dir.path()), before);
        }
    }
    auto damaged_read = home.nlx({"records", "--model", "a", "--db", (bad / "damaged.db").string()});
    EXPECT_NE(damaged_read.err.find("damaged"), std::string::npos) << damaged_read.err;
}

// A database on a read-only medium: read, copied, and refused for changes without a trace.
TEST(Refusals, ReadOnlyMediumIsReadAndCopied) {
    Home home;
    test::write_file(home.dir / "good.cap", capture_text('a', transfer_a(4, 5)));
    ASSERT_EQ(home.nlx({"import", (home.dir / "good.cap").string()}).exit_code, 0);
    const std::string expected = home.nlx({"records", "--model", "a", "--format", "csv"}).out;

    test::TempDir mount_point;
    const std::string at = mount_point.path().string();
    if (test::run_command("/bin/mount", {"-t", "tmpfs", "none", at}).exit_code != 0)
        GTEST_SKIP() << "a tmpfs cannot be mounted here, so no read-only medium can be made";
    fs::copy_file(home.dir / "noise.db", mount_point / "plain.db");
    fs::copy_file(home.dir / "noise.db", mount_point / "wal.db");
    {
        auto c = sql::Connection::open(mount_point / "wal.db", SQLITE_OPEN_READWRITE);
        ASSERT_TRUE(c && (*c)->exec("PRAGMA journal_mode = WAL"));  // as earlier versions left them
    }
    const bool remounted = test::run_command("/bin/mount", {"-o", "remount,ro", at}).exit_code == 0;
    if (remounted) {
        const auto before = snapshot(mount_point.path());
        for (const char* name : {"plain.db", "wal.db"}) {
            SCOPED_TRACE(name);
            const std::string db = (mount_point / name).string();
            auto read = home.nlx({"records", "--model", "a", "--format", "csv", "--db", db});
            EXPECT_EQ(read.exit_code, 0) << read.err;
            EXPECT_EQ(read.out, expected);
            const fs::path copy = home.dir / (std::string("copy-") + name);
            auto copied = home.nlx({"save-as", "--db", db, copy.string()});
            EXPECT_EQ(copied.exit_code, 0) << copied.err;
            EXPECT_EQ(home.nlx({"records", "--model", "a", "--format", "csv", "--db", copy.string()}).out, expected);
            auto changed = home.nlx({"add-record", "--model", "a", "--db", db});
            EXPECT_EQ(changed.exit_code, 1);
            EXPECT_NE(changed.err.find(db), std::string::npos) << changed.err;
        }
        EXPECT_EQ(snapshot(mount_point.path()), before);
    }
    test::run_command("/bin/umount", {at});
    ASSERT_TRUE(remounted) << "the tmpfs could not be made read-only";
}

TEST(Refusals, FailedCommandsInAFreshFolderMakeNoDatabase) {
    Home home;
    auto added = home.nlx({"add-record", "--model", "b"});
    EXPECT_EQ(added.exit_code, 1);
    test::write_file(home.dir / "short.cap", raw_text({0, 19, std::vector<std::uint8_t>(300, 0)}));
    auto imported = home.nlx({"import", "--raw", "--model", "a", (home.dir / "short.cap").string()});
    EXPECT_EQ(imported.exit_code, 1);
    auto records = home.nlx({"records", "--model", "a"});
    EXPECT_EQ(records.exit_code, 1);
    EXPECT_NE(records.err.find("does not exist"), std::string::npos) << records.err;
    EXPECT_EQ(snapshot(home.dir.path()), (std::map<std::string, std::string>{{"short.cap", "file:" + raw_text({0, 19, std::vector<std::uint8_t>(300, 0)})}}));
}

}  // namespace
}  // namespace nlx
