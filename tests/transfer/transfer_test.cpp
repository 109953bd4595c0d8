// Storing a transfer with history files: a storage folder that cannot take them changes nothing,
// and renames cut short by a crash are completed by the next open.
#include <gtest/gtest.h>
#include <map>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>


#include "core/atomic_file.h"
#include "core/capture.h"
#include "decode/decoder.h"
#include "sim/encode/encode_ab.h"
#include "store/database.h"
#include "store/pending_files.h"
#include "store/table_export.h"
#include "transfer/transfer.h"
#include "support/temp_dir.h"
#include "support/transfer_a.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;

Capture transfer_a(int groups, std::uint32_t seed) { return test::realistic_transfer_a(groups, seed); }

std::string table_csv(Database& db) {
    auto t = db.read_table(record_table_name('a'));
    return t ? to_csv(*t) : "(" + t.message() + ")";
}

std::vector<std::string> names_in(const fs::path& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

// Entries in the list of renames, done or not.
std::size_t listed_renames(const fs::path& file) {
    sqlite3* db = nullptr;
    std::size_t n = 0;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        const std::string sql = "SELECT count(*) FROM " + std::string(kPendingFilesTable);
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            n = std::size_t(sqlite3_column_int64(s, 0));
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return n;
}

bool has_temporary(const fs::path& folder) {
    for (const auto& n : names_in(folder))
        if (n.ends_with(".tmp")) return true;
    return false;
}

TEST(StoreTransfer, AStorageFolderThatCannotTakeTheFilesChangesNothing) {
    const Capture first = transfer_a(4, 1), second = transfer_a(12, 2);
    struct Case {
        const char* what;
        void (*spoil)(const fs::path& storage, const std::vector<std::string>& names);
    } cases[] = {
        {"a file in place of the folder",
         [](const fs::path& s, const std::vector<std::string>&) {
             fs::remove_all(s);
             test::write_file(s, "not a folder");
         }},
        {"a dangling link in place of the folder",
         [](const fs::path& s, const std::vector<std::string>&) {
             fs::remove_all(s);
             fs::create_symlink(s.parent_path() / "gone", s);
         }},
        {"a folder in place of one history file",
         [](const fs::path& s, const std::vector<std::string>& names) { fs::create_directories(s / names.back()); }},
        {"a named pipe in place of one history file",
         [](const fs::path& s, const std::vector<std::string>& names) {
             ASSERT_EQ(::mkfifo((s / names.back()).c_str(), 0600), 0);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const fs::path storage = dir / "3140A存储文件";
        auto db = Database::create_or_open(dir / "noise.db");
        ASSERT_TRUE(db);
        auto stored = store_transfer(*db, storage, model_of('a'), first);
        ASSERT_TRUE(stored) << stored.message();
        ASSERT_FALSE(stored->files.empty());

        // The names the second transfer's files take (beyond the first's).
        auto db_probe = Database::create_or_open(dir / "probe.db");
        auto probe = store_transfer(*db_probe, dir / "probe", model_of('a'), second);
        ASSERT_TRUE(probe);
        c.spoil(storage, probe->files);
        const std::string before = table_csv(*db);
        const auto listing = names_in(storage);

        auto r = store_transfer(*db, storage, model_of('a'), second);
        ASSERT_FALSE(r);
        EXPECT_NE(r.message().find(storage.string()), std::string::npos) << r.message();
        EXPECT_NE(r.message().find("the records are unchanged"), std::string::npos) << r.message();
        EXPECT_EQ(table_csv(*db), before);
        EXPECT_EQ(names_in(storage), listing) << "no temporary is left";
    }
}

TEST(StoreTransfer, FilesArePutInPlaceWithTheRecordsAndCompletedAfterACrash) {
    test::TempDir dir;
    const fs::path storage = dir / "store";
    const Capture c = transfer_a(12, 3);
    {
        auto db = Database::create_or_open(dir / "noise.db");
        auto stored = store_transfer(*db, storage, model_of('a'), c);
        ASSERT_TRUE(stored) << stored.message();
        for (const auto& name : stored->files) EXPECT_TRUE(fs::is_regular_file(storage / name)) << name;
        EXPECT_FALSE(has_temporary(storage));
    }

    // A crash between the commit and the renames: the list of renames was committed with the
    // records; whichever open comes next puts the files in place.
    for (int way = 0; way < 2; ++way) {
        SCOPED_TRACE(way == 0 ? "open for changing" : "open read-only");
        const fs::path folder = dir / ("crashed" + std::to_string(way));
        const fs::path file = dir / ("crashed" + std::to_string(way) + ".db");
        std::vector<HistoryFile> files{{"1.ln", "first"}, {"2.li", "second"}, {"3.ac", "third"}};
        auto staged = stage_history_files(folder, files);
        ASSERT_TRUE(staged) << staged.message();
        {
            auto db = Database::create_or_open(file);
            ASSERT_TRUE(db->replace_model(model_of('a'), {}, {}, *staged));
        }
        // The first rename had happened already.
        ASSERT_TRUE(rename_into_place((*staged)[0].temporary, (*staged)[0].final));
        EXPECT_FALSE(fs::exists(folder / "2.li"));
        auto reopened = way == 0 ? Database::open_existing(file) : Database::open_read_only(file);
        ASSERT_TRUE(reopened) << reopened.message();
        EXPECT_EQ(test::read_file(folder / "1.ln"), "first");
        EXPECT_EQ(test::read_file(folder / "2.li"), "second");
        EXPECT_EQ(test::read_file(folder / "3.ac"), "third");
        EXPECT_FALSE(has_temporary(folder));
    }
}

TEST(StoreTransfer, AFileAlreadyHoldingItsBytesIsLeftAsItIs) {
    const Capture c = transfer_a(12, 4);
    // A file written anew has the time of its writing; one left as it is keeps an old one.
    const auto long_ago = fs::file_time_type::clock::now() - std::chrono::hours(24 * 365);
    auto left = [&](const fs::path& f) {
        std::error_code ec;
        return fs::last_write_time(f, ec) == long_ago;
    };
    struct Case {
        const char* what;
        // Changes the folder or the database between two stores of the same transfer; returns
        // whether the file it names must be written anew.
        bool (*between)(Database& db, const fs::path& storage, const std::string& name, const Capture& c);
    } cases[] = {
        {"the same memory again", [](Database&, const fs::path&, const std::string&, const Capture&) { return false; }},
        {"a file changed by hand",
         [](Database&, const fs::path& s, const std::string& name, const Capture&) {
             std::string bytes = test::read_file(s / name);
             bytes[0] = bytes[0] == 'x' ? 'y' : 'x';
             test::write_file(s / name, bytes);
             return true;
         }},
        {"a file taken away",
         [](Database&, const fs::path& s, const std::string& name, const Capture&) {
             fs::remove(s / name);
             return true;
         }},
        {"a file grown by a byte",
         [](Database&, const fs::path& s, const std::string& name, const Capture&) {
             test::write_file(s / name, test::read_file(s / name) + "x");
             return true;
         }},
        {"an older file still listed to be put in place",
         [](Database& db, const fs::path& s, const std::string& name, const Capture& c) {
             std::vector<HistoryFile> older{{name, "an older transfer's file"}};
             auto staged = stage_history_files(s, older);
             const auto n = transfer_count(model_of('a'), c.b1, c.b2);
             return staged && db.replace_model(model_of('a'), decode(model_of('a'), c.data, n).groups, {}, *staged);
         }},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        test::TempDir dir;
        const fs::path storage = dir / "store";
        auto db = Database::create_or_open(dir / "noise.db");
        auto first = store_transfer(*db, storage, model_of('a'), c);
        ASSERT_TRUE(first) << first.message();
        const std::string name = first->files.front();
        const std::string bytes = test::read_file(storage / name);
        const bool rewritten = k.between(*db, storage, name, c);
        for (const auto& f : {name, first->files.back()}) {
            std::error_code ec;  // a file taken away has no time
            fs::last_write_time(storage / f, long_ago, ec);
        }

        auto again = store_transfer(*db, storage, model_of('a'), c);
        ASSERT_TRUE(again) << again.message();
        EXPECT_EQ(test::read_file(storage / name), bytes);
        EXPECT_EQ(left(storage / name), !rewritten);
        EXPECT_TRUE(left(storage / first->files.back())) << "an unchanged file is not rewritten";
        EXPECT_FALSE(has_temporary(storage));
        EXPECT_FALSE(db->has_pending_files());
    }
}

// The groups are written as they are decoded: a row the database refuses part way through stops
// the decode there, and the store changes nothing, neither records nor files nor the log.
TEST(StoreTransfer, ARowRefusedPartWayThroughChangesNothing) {
    test::TempDir dir;
    const fs::path storage = dir / "store";
    auto db = Database::create_or_open(dir / "noise.db");
    ASSERT_TRUE(db);
    TransferEntry entry;
    entry.source = "import";
    ASSERT_TRUE(store_transfer(*db, storage, model_of('a'), transfer_a(6, 1), entry));
    const std::string records = table_csv(*db);
    const auto files = names_in(storage);
    const auto logged = db->transfers();
    ASSERT_TRUE(logged);

    // The database refuses the fourth record row of the next transfer.
    const std::string trigger = "CREATE TRIGGER refuse_fourth BEFORE INSERT ON \"" + record_table_name('a') +
                                "\" WHEN NEW.\"序号\" = '04' BEGIN SELECT RAISE(ABORT, 'refused'); END";
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(db->path().c_str(), &raw), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(raw, trigger.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
    sqlite3_close(raw);
    auto next = store_transfer(*db, storage, model_of('a'), transfer_a(9, 2), entry);
    ASSERT_FALSE(next);
    EXPECT_NE(next.message().find("group 4: "), std::string::npos) << next.message();
    EXPECT_NE(next.message().find("the records are unchanged"), std::string::npos) << next.message();
    EXPECT_EQ(table_csv(*db), records);
    EXPECT_EQ(names_in(storage), files);
    auto after = db->transfers();
    ASSERT_TRUE(after);
    EXPECT_EQ(after->size(), logged->size());
}

// A rename that failed stays listed; once a newer file of the same name is in place, the older
// one is dropped instead of landing over it when the failure clears.
TEST(StoreTransfer, AnOlderListedFileNeverLandsOverANewerOne) {
    test::TempDir dir;
    const fs::path folder = dir / "store";
    auto db = Database::create_or_open(dir / "noise.db");
    std::vector<HistoryFile> older{{"7.ln", "older"}}, newer{{"7.ln", "newer"}};
    auto first = stage_history_files(folder, older);
    ASSERT_TRUE(first && db->replace_model(model_of('a'), {}, {}, *first));
    auto second = stage_history_files(folder, newer);
    ASSERT_TRUE(second && db->replace_model(model_of('a'), {}, {}, *second));
    ASSERT_TRUE(rename_into_place((*second)[0].temporary, (*second)[0].final));

    auto reopened = Database::open_existing(dir / "noise.db");
    ASSERT_TRUE(reopened) << reopened.message();
    EXPECT_EQ(test::read_file(folder / "7.ln"), "newer");
    EXPECT_FALSE(has_temporary(folder));
    EXPECT_FALSE(reopened->has_pending_files());
}

// Renames another connection listed after this one's open (a writer killed after its commit)
// are found inside the store's transaction: their temporaries are not swept, and the files this
// store writes are the ones in place after it, also once the next open has completed the list.
TEST(StoreTransfer, RenamesAnotherConnectionListedSinceTheOpenNeverLandOverTheStore) {
    test::TempDir dir;
    const fs::path storage = dir / "store";
    const Capture c = transfer_a(6, 4);
    std::vector<std::string> names;
    {
        auto setup = Database::create_or_open(dir / "noise.db");
        auto stored = store_transfer(*setup, storage, model_of('a'), c);
        ASSERT_TRUE(stored) << stored.message();
        names = stored->files;
    }
    std::map<std::string, std::string> stored_bytes;
    for (const auto& n : names) stored_bytes[n] = test::read_file(storage / n);

    auto mine = Database::open_existing(dir / "noise.db");
    ASSERT_TRUE(mine) << mine.message();
    ASSERT_FALSE(mine->may_have_pending_files());
    {
        auto other = Database::open_existing(dir / "noise.db");
        ASSERT_TRUE(other) << other.message();
        std::vector<HistoryFile> older;
        for (const auto& n : names) older.push_back({n, "an older transfer's file"});
        auto staged = stage_history_files(storage, older);
        ASSERT_TRUE(staged && other->replace_model(model_of('a'), {}, {}, *staged));  // and never renamed
    }
    auto again = store_transfer(*mine, storage, model_of('a'), c);
    ASSERT_TRUE(again) << again.message();
    for (bool reopened : {false, true}) {
        SCOPED_TRACE(reopened ? "after the next open" : "after the store");
        if (reopened) {
            ASSERT_TRUE(Database::open_existing(dir / "noise.db"));
        }
        for (const auto& n : names) EXPECT_EQ(test::read_file(storage / n), stored_bytes[n]) << n;
        EXPECT_FALSE(has_temporary(storage));
    }
}

// A rename that the open cannot complete either stays listed, and the open says so: its
// temporary, the newer file, must outlive any tidying of the folder.
TEST(StoreTransfer, AnOpenTellsOfTheRenamesItCouldNotComplete) {
    test::TempDir dir;
    const fs::path folder = dir / "store";
    {
        auto db = Database::create_or_open(dir / "noise.db");
        ASSERT_TRUE(db->ensure_tables(model_of('a')));
    }
    auto none = Database::open_existing(dir / "noise.db");
    ASSERT_TRUE(none) << none.message();
    EXPECT_FALSE(none->pending_files_after_open());

    std::vector<HistoryFile> files{{"7.ln", "newer"}};
    auto staged = stage_history_files(folder, files);
    ASSERT_TRUE(staged && none->replace_model(model_of('a'), {}, {}, *staged));
    // A folder with something in it where the file goes: no rename can land there.
    fs::create_directories(folder / "7.ln");
    test::write_file(folder / "7.ln" / "in the way", "");
    for (bool read_only : {false, true}) {
        SCOPED_TRACE(read_only ? "opened for reading" : "opened for writing");
        auto blocked = read_only ? Database::open_read_only(dir / "noise.db") : Database::open_existing(dir / "noise.db");
        ASSERT_TRUE(blocked) << blocked.message();
        EXPECT_TRUE(blocked->pending_files_after_open());
        EXPECT_TRUE(has_temporary(folder));
    }

    fs::remove_all(folder / "7.ln");
    auto cleared = Database::open_existing(dir / "noise.db");
    ASSERT_TRUE(cleared) << cleared.message();
    EXPECT_FALSE(cleared->pending_files_after_open());
    EXPECT_EQ(test::read_file(folder / "7.ln"), "newer");
    EXPECT_FALSE(has_temporary(folder));
}

// The renames of a store stay listed, done, until the next store: a later store of the same
// process, killed before its commit, must not have its files taken for them by the next open;
// and the list does not grow from store to store.
TEST(StoreTransfer, AStoreKilledBeforeItsCommitLeavesTheFilesOfTheOneBefore) {
    test::TempDir dir;
    const fs::path storage = dir / "store", kept = dir / "kept";
    const Capture c = transfer_a(12, 5);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Three stores, each finding every file changed; the files of the last are kept aside;
        // then the next store is killed once its files are staged.
        auto db = Database::create_or_open(dir / "noise.db");
        std::vector<std::string> names;
        for (int round = 0; round < 3; ++round) {
            for (const auto& name : names) test::write_file(storage / name, "changed by hand");
            auto stored = store_transfer(*db, storage, model_of('a'), c);
            if (!stored) _exit(2);
            names = stored->files;
        }
        fs::create_directories(kept);
        std::vector<HistoryFile> next;
        for (const auto& name : names) {
            fs::copy_file(storage / name, kept / name);
            next.push_back({name, "a transfer that was never committed"});
        }
        _exit(stage_history_files(storage, next) ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const auto names = names_in(kept);
    ASSERT_FALSE(names.empty());
    EXPECT_LE(listed_renames(dir / "noise.db"), names.size()) << "the list holds the last store's renames at most";

    auto reopened = Database::open_existing(dir / "noise.db");
    ASSERT_TRUE(reopened) << reopened.message();
    for (const auto& name : names) EXPECT_EQ(test::read_file(storage / name), test::read_file(kept / name)) << name;
    EXPECT_FALSE(reopened->has_pending_files());
}

// The folder is swept by its names, through the listing the comparisons use, and by a store of
// a transfer with history files; all three take only what killed writers left.
TEST(StoreTransfer, TemporariesOfKilledWritersAreRemovedOthersKept) {
    struct Case {
        const char* what;
        void (*sweep)(const fs::path& storage, const fs::path& scratch);
    } cases[] = {
        {"swept by name", [](const fs::path& s, const fs::path&) { remove_stale_temporaries(s); }},
        {"swept through the listing",
         [](const fs::path& s, const fs::path&) {
             FolderFiles files(s);
             files.remove_stale_temporaries();
             EXPECT_TRUE(files.holds("12.ln", "a history file")) << "the listing keeps the files";
         }},
        {"a store of a transfer",
         [](const fs::path& s, const fs::path& scratch) {
             auto db = Database::create_or_open(scratch / "noise.db");
             ASSERT_TRUE(db) << db.message();
             auto stored = store_transfer(*db, s, model_of('a'), transfer_a(3, 9));
             ASSERT_TRUE(stored) << stored.message();
         }},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        test::TempDir dir, scratch;
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            (void)write_temporary(dir / "left.ln", "killed before its commit");
            _exit(0);
        }
        ASSERT_EQ(waitpid(child, nullptr, 0), child);
        auto mine = write_temporary(dir / "mine.ln", "still being written");
        ASSERT_TRUE(mine);
        const std::string killed = std::to_string(child);
        test::write_file(dir / (".older.ln.nlx-" + killed + ".tmp"), "named as earlier versions named them");
        test::write_file(dir / (".odd.ln.nlx-" + killed + "-x1.tmp"), "not ours");
        test::write_file(dir / ".hidden.tmp", "not ours");
        test::write_file(dir / "12.ln", "a history file");
        ASSERT_EQ(names_in(dir.path()).size(), 6u);

        k.sweep(dir.path(), scratch.path());
        std::vector<std::string> left;
        for (const auto& n : names_in(dir.path()))
            if (n.starts_with(".") || n == "12.ln") left.push_back(n);
        EXPECT_EQ(left, (std::vector<std::string>{".hidden.tmp", mine->filename().string(),
                                                  ".odd.ln.nlx-" + killed + "-x1.tmp", "12.ln"}));
    }
}

}  // namespace
}  // namespace nlx
