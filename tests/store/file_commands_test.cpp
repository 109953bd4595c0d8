// 打开, 另存 and 添加记录: refusals, same-file detection, clean failures, the next 序号.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/models.h"
#include "store/file_commands.h"
#include "core/texts.h"
#include "store/sample_groups.h"
#include "store/schema.h"
#include "store/sqlite.h"
#include "support/other_user.h"
#include "support/temp_dir.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;

std::vector<std::vector<std::string>> all_rows(Database& db, const std::string& table) {
    auto contents = db.read_table(table);
    EXPECT_TRUE(contents) << contents.message();
    std::vector<std::vector<std::string>> out;
    if (!contents) return out;
    for (const auto& values : contents->rows) {
        std::vector<std::string> row;
        for (const auto& v : values) row.push_back(v.is_null() ? "<NULL>" : v.to_text());
        out.push_back(row);
    }
    return out;
}

void make_record_file(const fs::path& file, char model, int groups) {
    auto db = Database::create_or_open(file);
    ASSERT_TRUE(db) << db.message();
    ASSERT_TRUE(db->replace_model(model_of(model), test::sample_groups(model, groups, "g")));
}

std::vector<std::string> folder_listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(OpenCommand, RefusesWrongNamesMissingFilesAndFilesWithoutTheRecordTable) {
    test::TempDir dir;
    const fs::path fdir = dir / "app";
    fs::create_directory(fdir);
    make_record_file(dir / "good.db", 'a', 2);
    fs::copy_file(dir / "good.db", dir / "GOOD.DB");
    fs::copy_file(dir / "good.db", dir / "good.mdb");
    test::write_file(dir / "text.db", "this is not a database\n");
    {
        auto c = sql::Connection::open(dir / "plain.db", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        ASSERT_TRUE(c && (*c)->exec("CREATE TABLE t (x)"));
        auto b = sql::Connection::open(dir / "only_b.db", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        ASSERT_TRUE(b && (*b)->exec(schema::create_table_sql(schema::model_tables(*find_model('b'))[0])));
    }

    auto good = open_record_file(dir / "good.db", model_of('a'), fdir);
    ASSERT_TRUE(good.database);
    EXPECT_FALSE(good.message);
    EXPECT_FALSE(good.fallback);
    EXPECT_EQ(all_rows(*good.database, "噪声a").size(), 2u);
    good.database.reset();

    // Names refused before any file is looked at: nothing else changes.
    for (const char* name : {"GOOD.DB", "good.mdb", "good.db.bak"}) {
        auto r = open_record_file(dir / name, model_of('a'), fdir);
        EXPECT_FALSE(r.database) << name;
        ASSERT_TRUE(r.message) << name;
        EXPECT_EQ(r.message->text, texts::kOpenFailed);
        EXPECT_EQ(r.message->title, texts::kOpenFailedTitle);
        EXPECT_FALSE(r.fallback) << name;
    }

    const auto before = folder_listing(dir.path());
    const std::string text_bytes = test::read_file(dir / "text.db");
    const std::string plain_bytes = test::read_file(dir / "plain.db");
    struct Case {
        const char* name;
        char model;
    };
    for (Case c : {Case{"text.db", 'a'}, Case{"plain.db", 'a'}, Case{"only_b.db", 'a'}, Case{"missing.db", 'a'}}) {
        auto r = open_record_file(dir / c.name, model_of(c.model), fdir);
        EXPECT_FALSE(r.database) << c.name;
        ASSERT_TRUE(r.message) << c.name;
        EXPECT_EQ(r.message->text, texts::kOpenFailed);
        EXPECT_EQ(r.message->title, texts::kOpenFailedTitle);
        ASSERT_TRUE(r.fallback) << c.name;
        EXPECT_EQ(*r.fallback, fdir / "noise.db");
    }
    // only_b.db is a record database, but for model b alone.
    EXPECT_TRUE(open_record_file(dir / "only_b.db", model_of('b'), fdir).database);
    // Opening created and changed nothing.
    EXPECT_EQ(folder_listing(dir.path()), before);
    EXPECT_EQ(test::read_file(dir / "text.db"), text_bytes);
    EXPECT_EQ(test::read_file(dir / "plain.db"), plain_bytes);
    EXPECT_FALSE(fs::exists(fdir / "noise.db"));
}

TEST(SaveAsCommand, SameFileGivenAnotherWayIsRefused) {
    test::TempDir dir;
    make_record_file(dir / "noise.db", 'a', 3);
    const std::string bytes = test::read_file(dir / "noise.db");
    auto db = Database::open_existing(dir / "noise.db");
    ASSERT_TRUE(db);

    fs::create_directory(dir / "sub");
    const fs::path relative = fs::relative(dir / "noise.db", fs::current_path());
    ASSERT_TRUE(relative.is_relative());
    for (const fs::path& same : {relative, fs::path(".") / relative, dir / "sub" / ".." / "noise.db",
                                 dir.path() / "." / "noise.db"}) {
        auto message = save_database_as(*db, same);
        ASSERT_TRUE(message) << same;
        EXPECT_EQ(message->text, texts::kSameName);
        EXPECT_EQ(message->title, "");
    }
    // A hard link to the same file is the same file too.
    fs::create_hard_link(dir / "noise.db", dir / "link.db");
    auto linked = save_database_as(*db, dir / "link.db");
    ASSERT_TRUE(linked);
    EXPECT_EQ(linked->text, texts::kSameName);

    // The other way round: the database opened by a relative name, the copy named absolutely.
    auto by_relative = Database::open_existing(relative);
    ASSERT_TRUE(by_relative) << by_relative.message();
    auto message = save_database_as(*by_relative, dir / "noise.db");
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, texts::kSameName);
    EXPECT_EQ(test::read_file(dir / "noise.db"), bytes);
}

TEST(SaveAsCommand, CopiesTheTablesAndFailsWithoutLeavingAnythingBehind) {
    test::TempDir dir;
    make_record_file(dir / "noise.db", 'a', 4);
    auto db = Database::open_existing(dir / "noise.db");
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->replace_model(model_of('e'), test::sample_groups('e', 2, "e")));
    const auto records = all_rows(*db, "噪声a");
    const auto distribution = all_rows(*db, "分布图a");

    // Replaces an existing file of that name.
    test::write_file(dir / "copy.db", "old contents");
    ASSERT_FALSE(save_database_as(*db, dir / "copy.db"));
    {
        auto copy = Database::open_existing(dir / "copy.db");
        ASSERT_TRUE(copy) << copy.message();
        EXPECT_EQ(all_rows(*copy, "噪声a"), records);
        EXPECT_EQ(all_rows(*copy, "分布图a"), distribution);
        EXPECT_EQ(all_rows(*copy, "噪声e").size(), 2u);
        // The copy is independent of the original.
        ASSERT_TRUE(copy->replace_model(model_of('a'), {}));
    }
    // The source is still open, usable and unchanged.
    EXPECT_EQ(all_rows(*db, "噪声a"), records);
    ASSERT_TRUE(db->replace_model(model_of('a'), test::sample_groups('a', 1, "after")));
    EXPECT_EQ(all_rows(*db, "噪声a").size(), 1u);

    // Failures: a destination in a missing folder, a destination that is a folder with files.
    fs::create_directory(dir / "busy");
    test::write_file(dir / "busy" / "inside.txt", "keep");
    const auto before = folder_listing(dir.path());
    for (const fs::path& bad : {dir / "no such folder" / "copy.db", dir / "busy"}) {
        auto message = save_database_as(*db, bad);
        ASSERT_TRUE(message) << bad;
        EXPECT_EQ(message->text.substr(0, message->text.find('\n')), texts::kSaveFailed);
    }
    EXPECT_EQ(folder_listing(dir.path()), before);
    EXPECT_EQ(folder_listing(dir / "busy"), std::vector<std::string>{"inside.txt"});
    EXPECT_EQ(test::read_file(dir / "busy" / "inside.txt"), "keep");
    EXPECT_FALSE(fs::exists(dir / "no such folder"));
    EXPECT_EQ(all_rows(*db, "噪声a").size(), 1u);
}

// Copies that a killed 另存 left beside a destination go with the next 另存 into that folder;
// a copy still being written (its writer holds its lock) and files that are no copies stay.
TEST(SaveAsCommand, RemovesCopiesThatAKilledSaveLeftBehind) {
    test::TempDir dir;
    make_record_file(dir / "noise.db", 'a', 2);
    auto db = Database::open_existing(dir / "noise.db");
    ASSERT_TRUE(db);
    const std::string database = test::read_file(dir / "noise.db");
    fs::create_directory(dir / "out");
    const fs::path out = dir / "out";
    struct Leftover {
        const char* name;
        std::string bytes;
        bool stays;
    };
    const Leftover leftovers[] = {
        {".copy.db.part-Ab3xYz", database, false},           // killed while renaming
        {".copy.db.part-Ab3xYz-journal", "journal", false},  // its journal
        {".other.db.part-000000", "", false},                // killed right after it was made
        {".gone.db.part-q1w2e3-journal", "journal", false},  // a journal whose copy is gone
        {".notes.txt.part-abcdef", "some text", true},       // no copy: another program's
        {".copy.db.part-long-name", database, true},         // not mkstemp's six characters
        {"copy.db.part-Ab3xYz", database, true},             // not hidden
        {".busy.db.part-Zz9Zz9", database, true},            // still being written
    };
    for (const auto& l : leftovers) test::write_file(out / l.name, l.bytes);
    const int writer = ::open((out / ".busy.db.part-Zz9Zz9").c_str(), O_RDONLY);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);

    ASSERT_FALSE(save_database_as(*db, out / "copy.db"));
    ::close(writer);
    for (const auto& l : leftovers) EXPECT_EQ(fs::exists(out / l.name), l.stays) << l.name;
    EXPECT_TRUE(Database::open_existing(out / "copy.db"));
}

// What cannot be replaced by a copy is refused before anything is written, and said on the line
// after the operator's text.
TEST(SaveAsCommand, RefusesWhatIsNotAFileAndSaysWhy) {
    test::TempDir dir;
    make_record_file(dir / "noise.db", 'a', 2);
    auto db = Database::open_existing(dir / "noise.db");
    ASSERT_TRUE(db);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_symlink(dir / "fifo", dir / "to-fifo");
    fs::create_symlink("/dev/null", dir / "to-null");
    fs::create_directory(dir / "folder");
    fs::create_symlink(dir / "folder", dir / "to-folder");
    test::write_file(dir / "plain.txt", "text");
    fs::create_directory(dir / "locked");
    fs::permissions(dir / "locked", fs::perms(0555));

    struct Case {
        fs::path destination;
        std::string why;
        bool without_root = false;
    };
    const Case cases[] = {
        {dir / "fifo", "it is not a regular file (it is a named pipe)"},
        {dir / "to-fifo", "it is not a regular file (it is a link to a named pipe)"},
        {dir / "to-null", "it is not a regular file (it is a link to a device)"},
        {dir / "folder", "it is a folder"},
        {dir / "to-folder", "it is a link to a folder"},
        {dir / "no such folder" / "copy.db", "the folder " + (dir / "no such folder").string() + " does not exist"},
        {dir / "plain.txt" / "copy.db", (dir / "plain.txt").string() + " is not a folder"},
        {dir / "locked" / "copy.db",
         "the folder " + (dir / "locked").string() + " cannot be written (permission denied)", true},
    };
    const auto before = folder_listing(dir.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destination.string());
        std::optional<OperatorMessage> message;
        auto save = [&] { message = save_database_as(*db, c.destination); };
        if (!c.without_root) {
            save();
        } else if (!test::run_without_root(save)) {
            continue;
        }
        ASSERT_TRUE(message);
        EXPECT_EQ(message->text, std::string(texts::kSaveFailed) + "\ncannot save a copy to " +
                                     c.destination.string() + ": " + c.why + "; nothing was changed");
    }
    EXPECT_EQ(folder_listing(dir.path()), before);
    EXPECT_EQ(fs::symlink_status(dir / "fifo").type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
    EXPECT_TRUE(fs::is_empty(dir / "locked"));
    EXPECT_EQ(test::read_file(dir / "plain.txt"), "text");
}

TEST(SaveAsCommand, TheCopyKeepsTheOriginalsPermissions) {
    test::TempDir dir;
    make_record_file(dir / "noise.db", 'a', 2);
    auto db = Database::open_existing(dir / "noise.db");
    ASSERT_TRUE(db);
    test::write_file(dir / "old.db", "old contents");
    fs::permissions(dir / "old.db", fs::perms(0600));
    for (auto mode : {0640, 0444, 0604}) {
        SCOPED_TRACE(mode);
        fs::permissions(dir / "noise.db", fs::perms(mode));
        for (const char* name : {"new.db", "old.db"}) {
            ASSERT_FALSE(save_database_as(*db, dir / name)) << name;
            EXPECT_EQ(int(fs::status(dir / name).permissions()), mode) << name;
        }
    }
    for (const auto& name : folder_listing(dir.path())) EXPECT_EQ(name.find(".part-"), std::string::npos) << name;
}

TEST(AddRecordCommand, CopiesTheLastGroupWithTheNextNumberFromTheDistributionTable) {
    test::TempDir dir;
    auto db = Database::create_or_open(dir / "noise.db");
    ASSERT_TRUE(db);
    // The record table's last 序号 ("03") differs from the distribution table's (9).
    std::vector<DecodedGroup> groups{test::sample_group('b', 1, "x"), test::sample_group('b', 3, "y", 100)};
    groups[1].distribution->seq = 9;
    groups[1].record[5] = std::nullopt;
    ASSERT_TRUE(db->replace_model(model_of('b'), groups));
    auto records_before = all_rows(*db, "噪声b");
    auto distribution_before = all_rows(*db, "分布图b");

    auto added = add_record(*db, model_of('b'));
    ASSERT_TRUE(added) << added.message();
    EXPECT_EQ(added->seq_text, "10");

    auto records = all_rows(*db, "噪声b");
    auto distribution = all_rows(*db, "分布图b");
    ASSERT_EQ(records.size(), 3u);
    ASSERT_EQ(distribution.size(), 3u);
    EXPECT_EQ(std::vector(records.begin(), records.begin() + 2), records_before);
    EXPECT_EQ(std::vector(distribution.begin(), distribution.begin() + 2), distribution_before);

    auto expected_record = records_before[1];
    expected_record[0] = "10";
    EXPECT_EQ(records[2], expected_record);  // NULL at position 5 stays NULL
    auto expected_distribution = distribution_before[1];
    expected_distribution[0] = "10";
    EXPECT_EQ(distribution[2], expected_distribution);
    EXPECT_EQ(distribution[2][101], "<NULL>");

    // The stored 序号 of the distribution row is the number 10; a single-digit number gets "00".
    auto last = db->last_row("分布图b");
    ASSERT_TRUE(last && *last);
    EXPECT_EQ((**last)[0], Value(10));
    ASSERT_TRUE(db->replace_model(model_of('b'), std::vector<DecodedGroup>{test::sample_group('b', 4, "z")}));
    auto four = add_record(*db, model_of('b'));
    ASSERT_TRUE(four);
    EXPECT_EQ(four->seq_text, "05");
    EXPECT_EQ(all_rows(*db, "噪声b")[1][0], "05");
}

TEST(AddRecordCommand, EmptyTablesChangeNothing) {
    test::TempDir dir;
    auto db = Database::create_or_open(dir / "noise.db");
    ASSERT_TRUE(db);
    // Nothing stored yet: refused, and no file is made.
    auto nothing = add_record(*db, model_of('a'));
    EXPECT_FALSE(nothing);
    EXPECT_FALSE(fs::exists(dir / "noise.db"));
    ASSERT_TRUE(db->transaction([] { return Result<void>{}; }));  // an empty change makes the file

    const std::string before = test::read_file(dir / "noise.db");
    auto empty = add_record(*db, model_of('a'));
    EXPECT_FALSE(empty);
    EXPECT_NE(empty.message().find("分布图a"), std::string::npos) << empty.message();
    EXPECT_EQ(test::read_file(dir / "noise.db"), before);

    // Distribution rows but no record rows: the distribution table must not grow either.
    ASSERT_TRUE(db->add_row("分布图a", {Value(4), Value(1.5)}));
    auto no_records = add_record(*db, model_of('a'));
    EXPECT_FALSE(no_records);
    EXPECT_NE(no_records.message().find("噪声a"), std::string::npos) << no_records.message();
    EXPECT_EQ(all_rows(*db, "分布图a").size(), 1u);
    EXPECT_EQ(all_rows(*db, "噪声a").size(), 0u);

    // A last 序号 that is not a number.
    ASSERT_TRUE(db->add_row("噪声a", {Value("01")}));
    ASSERT_TRUE(db->add_row("分布图a", {Value("abc")}));
    EXPECT_FALSE(add_record(*db, model_of('a')));
    EXPECT_EQ(all_rows(*db, "分布图a").size(), 2u);
    EXPECT_EQ(all_rows(*db, "噪声a").size(), 1u);

    EXPECT_FALSE(add_record(*db, model_of('e')));
    EXPECT_EQ(all_rows(*db, "噪声e").size(), 0u);
}

TEST(AddRecordCommand, ModelWithoutDistributionTableNumbersFromItsRecordTable) {
    test::TempDir dir;
    auto db = Database::create_or_open(dir / "noise.db");
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->replace_model(model_of('e'), test::sample_groups('e', 9, "007")));
    auto added = add_record(*db, model_of('e'));
    ASSERT_TRUE(added) << added.message();
    EXPECT_EQ(added->seq_text, "10");
    auto rows = all_rows(*db, "噪声e");
    ASSERT_EQ(rows.size(), 10u);
    auto expected = rows[8];
    expected[0] = "10";
    EXPECT_EQ(rows[9], expected);
    EXPECT_EQ(rows[9][1], "007");  // 组号 copied
}

}  // namespace
}  // namespace nlx
