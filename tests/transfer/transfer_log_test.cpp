// The transfer log: every stored download logged with its rows, restored exactly, checked
// against its capture, and copied by 另存.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "core/capture.h"
#include "core/texts.h"
#include "sim/encode/encode_ab.h"
#include "store/database.h"
#include "store/file_commands.h"
#include "store/table_export.h"
#include "transfer/transfer.h"
#include "transfer/transfer_check.h"
#include "support/temp_dir.h"
#include "support/transfer_a.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;

Capture transfer_a(int groups, std::uint32_t seed) { return test::realistic_transfer_a(groups, seed); }

// Both tables of model a as CSV: what a restore must give back exactly.
std::string tables_of(const Database& db) {
    std::string out;
    for (const auto& name : {record_table_name('a'), distribution_table_name('a')}) {
        auto t = db.read_table(name);
        out += t ? to_csv(*t) : "(" + t.message() + ")";
    }
    return out;
}

void sql(const fs::path& file, const std::string& statement) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

struct Store {
    test::TempDir dir;
    fs::path file = dir / "noise.db", storage = dir / "storage";
    Result<Database> opened = Database::create_or_open(file);
    Database& db = *opened;
    int downloads = 0;

    TransferSummary download(const Capture& capture) {
        const auto when = std::chrono::system_clock::now() + std::chrono::seconds(++downloads);
        auto stored = keep_and_store_transfer(db, storage, model_of('a'), capture, {"", "/dev/ttyUSB0", 9600}, when);
        EXPECT_TRUE(stored.ok()) << stored.message();
        return stored ? *stored : TransferSummary{};
    }
    TransferCheck check(long long id = 0) {
        auto c = check_transfer(db, storage, id, &model_of('a'));
        EXPECT_TRUE(c.ok()) << c.message();
        return c ? *c : TransferCheck{};
    }
};

TEST(TransferLog, RestoreGivesBackExactlyTheEarlierRows) {
    Store s;
    const auto first = s.download(transfer_a(6, 1));
    const std::string first_rows = tables_of(s.db);
    const auto second = s.download(transfer_a(9, 2));
    ASSERT_NE(tables_of(s.db), first_rows);

    auto log = s.db.transfers();
    ASSERT_TRUE(log.ok());
    ASSERT_EQ(log->size(), 2u);
    EXPECT_EQ((*log)[0].id, second.transfer_id);  // newest first
    EXPECT_EQ((*log)[1].record_rows, 6u);
    EXPECT_TRUE((*log)[1].complete);
    EXPECT_EQ((*log)[1].port, "/dev/ttyUSB0");
    EXPECT_EQ(logged_capture_path(s.storage, (*log)[1].capture_file), first.capture_file);

    auto restored = restore_transfer(s.db, s.storage, first.transfer_id);
    ASSERT_TRUE(restored.ok()) << restored.message();
    EXPECT_EQ(tables_of(s.db), first_rows);
    EXPECT_EQ(s.db.transfers()->front().source, "restore");
    EXPECT_TRUE(s.check().identical());
    // The records the restore replaced stay restorable through their own entry.
    ASSERT_TRUE(restore_transfer(s.db, s.storage, second.transfer_id).ok());
    EXPECT_EQ(s.db.transfers()->size(), 4u);
}

TEST(TransferLog, ABrokenDownloadThenRestoreOfThePreviousCompleteOne) {
    Store s;
    const auto complete = s.download(transfer_a(6, 3));
    const std::string rows = tables_of(s.db);
    Capture broken = transfer_a(12, 4);
    broken.data.resize(broken.data.size() / 2);  // the cable dropped half-way
    const auto cut = s.download(broken);
    EXPECT_FALSE(s.db.transfers()->front().complete);
    EXPECT_EQ(s.db.transfers()->front().id, cut.transfer_id);
    EXPECT_TRUE(s.check().identical());  // the broken download's whole groups, as stored

    ASSERT_TRUE(restore_transfer(s.db, s.storage, complete.transfer_id).ok());
    EXPECT_EQ(tables_of(s.db), rows);
}

TEST(TransferLog, RestoreRefusesAMissingOrChangedCaptureAndChangesNothing) {
    Store s;
    const auto first = s.download(transfer_a(3, 5));
    s.download(transfer_a(4, 6));
    const std::string rows = tables_of(s.db);
    const auto capture = first.capture_file;
    std::string bytes = test::read_file(capture);
    bytes.back() ^= 1;
    test::write_file(capture, bytes);
    auto changed = restore_transfer(s.db, s.storage, first.transfer_id);
    EXPECT_FALSE(changed.ok());
    EXPECT_NE(changed.message().find("已被改动"), std::string::npos) << changed.message();
    fs::remove(capture);
    EXPECT_FALSE(restore_transfer(s.db, s.storage, first.transfer_id).ok());
    EXPECT_FALSE(restore_transfer(s.db, s.storage, 99).ok());
    EXPECT_EQ(tables_of(s.db), rows);
    EXPECT_EQ(s.db.transfers()->size(), 2u);
}

// A restore from a file that holds no record database names the file and says so; the file
// stays as it was.
TEST(TransferLog, RestoreFromAFileWithoutADatabaseNamesIt) {
    test::TempDir dir;
    const std::pair<const char*, std::string> cases[] = {
        {"empty.db", " is empty: it holds no record database"},
        {"missing.db", " does not exist: there is no record database"},
    };
    test::write_file(dir / "empty.db", "");
    for (const auto& [name, why] : cases) {
        auto db = Database::create_or_open(dir / name);
        ASSERT_TRUE(db) << db.message();
        auto restored = restore_transfer(*db, dir / "storage", 1);
        ASSERT_FALSE(restored.ok());
        EXPECT_EQ(restored.message(), "没有编号为1的传输记录\n" + (dir / name).string() + why +
                                          " and no transfer log; nothing was changed");
    }
    EXPECT_EQ(test::read_file(dir / "empty.db"), "");
    EXPECT_FALSE(fs::exists(dir / "missing.db"));
    EXPECT_FALSE(fs::exists(dir / "storage"));
}

// A download in which no whole group arrived is logged and replaces nothing; 核对 says so and
// the current transfer stays the one that stored the records.
TEST(TransferLog, ADownloadWithoutAWholeGroupIsLoggedAndReplacesNothing) {
    Store s;
    const auto complete = s.download(transfer_a(6, 3));
    const std::string rows = tables_of(s.db);
    Capture broken = transfer_a(6, 4);
    broken.data.resize(200);
    const auto empty = s.download(broken);
    EXPECT_FALSE(empty.replaced);
    EXPECT_EQ(tables_of(s.db), rows);
    const auto entry = s.db.transfers()->front();
    EXPECT_EQ(entry.id, empty.transfer_id);
    EXPECT_FALSE(entry.complete);
    EXPECT_EQ(entry.record_rows, 0u);
    EXPECT_EQ(s.check().entry.id, complete.transfer_id);
    EXPECT_TRUE(s.check().identical());
    auto again = restore_transfer(s.db, s.storage, empty.transfer_id);
    ASSERT_FALSE(again.ok());
    EXPECT_NE(again.message().find("nothing was replaced"), std::string::npos) << again.message();
    EXPECT_EQ(tables_of(s.db), rows);
    const auto nothing = s.check(empty.transfer_id);
    EXPECT_EQ(check_text(nothing).substr(check_text(nothing).find('\n') + 1),
              std::string(texts::kTransferStoredNothing) + "\n");

    // A later broken download with whole groups names the entry that stored the records it replaced.
    Capture half = transfer_a(12, 5);
    half.data.resize(half.data.size() / 2);
    const auto cut = s.download(half);
    EXPECT_TRUE(cut.replaced);
    EXPECT_EQ(cut.replaced_groups, 6u);
    EXPECT_EQ(cut.previous_transfer, complete.transfer_id);
    EXPECT_EQ(cut.with_records_note("串行接收的数据有丢失"),
              "串行接收的数据有丢失，先前的6组记录可在传输记录 " + std::to_string(complete.transfer_id) + " 中恢复");
    EXPECT_EQ(complete.with_records_note("数据接收完毕"), "数据接收完毕");
}

TEST(TransferLog, CheckFindsAddedEditedAndAlteredData) {
    Store s;
    s.download(transfer_a(5, 7));
    EXPECT_TRUE(s.check().identical());
    EXPECT_NE(check_text(s.check()).find("一致"), std::string::npos);

    ASSERT_TRUE(add_record(s.db, model_of('a')).ok());
    auto added = s.check();
    EXPECT_TRUE(added.identical());
    EXPECT_EQ(added.added_groups, std::vector<std::string>{"06"});

    // Edited behind the program's back.
    sql(s.file, "UPDATE \"噪声a\" SET \"Leq\" = '12.3' WHERE \"序号\" = '02'");
    sql(s.file, "UPDATE \"分布图a\" SET \"P7\" = 0.5 WHERE \"序号\" = 4");
    auto edited = s.check();
    EXPECT_FALSE(edited.identical());
    ASSERT_EQ(edited.differences.size(), 2u);
    EXPECT_EQ(edited.differences[0].group, "02");
    EXPECT_EQ(edited.differences[0].column, "Leq");
    EXPECT_EQ(edited.differences[0].stored, "12.3");
    EXPECT_EQ(edited.differences[1].group, "4");
    EXPECT_EQ(edited.differences[1].column, "P7");
    sql(s.file, "INSERT INTO \"噪声a\" (\"序号\") VALUES ('77')");
    EXPECT_EQ(s.check().foreign_groups, std::vector<std::string>{"77"});
    sql(s.file, "DELETE FROM \"噪声a\" WHERE \"序号\" = '03'");
    EXPECT_GT(s.check().differences.size(), 2u);

    // A capture altered by one byte, then gone.
    const auto capture = logged_capture_path(s.storage, s.db.transfers()->front().capture_file);
    std::string bytes = test::read_file(capture);
    bytes[bytes.size() / 2] ^= 0x10;
    test::write_file(capture, bytes);
    EXPECT_EQ(s.check().capture, TransferCheck::CaptureState::changed);
    fs::remove(capture);
    EXPECT_EQ(s.check().capture, TransferCheck::CaptureState::missing);
    EXPECT_FALSE(s.check().identical());
}

TEST(TransferLog, AnImportedCaptureIsLoggedUnderTheNameItCanBeFoundBy) {
    Store s;
    const Capture capture = transfer_a(3, 10);
    const auto bytes = capture_file_bytes(model_of('a'), {"2026-12-09 10:00:00", "", 0}, capture);
    fs::create_directories(s.storage);
    for (const fs::path& file : {s.storage / "by-hand.cap", s.dir / "elsewhere.cap"}) {
        test::write_file(file, std::string(bytes.begin(), bytes.end()));
        auto read = read_capture_file(file, CaptureForm::with_header);
        ASSERT_TRUE(read.ok());
        auto stored = import_capture(s.db, s.storage, file, *read, false);
        ASSERT_TRUE(stored.ok()) << stored.message();
        const auto entry = s.db.transfers()->front();
        EXPECT_EQ(entry.source, "import");
        EXPECT_EQ(logged_capture_path(s.storage, entry.capture_file), fs::weakly_canonical(file).string());
        EXPECT_EQ(fs::path(entry.capture_file).is_absolute(), file.parent_path() != s.storage) << entry.capture_file;
        EXPECT_TRUE(s.check().identical());
    }
}

TEST(TransferLog, TheLogGoesWithSaveAs) {
    Store s;
    s.download(transfer_a(3, 8));
    s.download(transfer_a(4, 9));
    const fs::path copy = s.dir / "copy.db";
    ASSERT_FALSE(save_database_as(s.db, copy).has_value());
    auto copied = Database::open_read_only(copy);
    ASSERT_TRUE(copied.ok());
    auto a = s.db.transfers(), b = copied->transfers();
    ASSERT_EQ(b->size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ((*b)[i].id, (*a)[i].id);
        EXPECT_EQ((*b)[i].sha256, (*a)[i].sha256);
    }
}

}  // namespace
}  // namespace nlx
