// The record database: tables, row order, field access, NULLs, atomic replace, two connections.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "core/models.h"
#include "store/database.h"
#include "core/texts.h"
#include "store/sample_groups.h"
#include "store/schema.h"
#include "store/sqlite.h"
#include "support/temp_dir.h"

namespace nlx {
namespace {
namespace fs = std::filesystem;

// The text of column `column` of every row, in rowset order ("<NULL>" for NULL).
std::vector<std::string> column_texts(Database& db, const std::string& table, const std::string& column) {
    auto rs = db.rowset(table);
    EXPECT_TRUE(rs) << rs.message();
    std::vector<std::string> out;
    if (!rs) return out;
    for (rs->move_first(); !rs->eof(); rs->move_next()) {
        auto v = rs->value(column);
        EXPECT_TRUE(v) << v.message();
        out.push_back(v && !v->is_null() ? v->to_text() : "<NULL>");
    }
    return out;
}

// A new record database file: the first change, even an empty one, makes it with every table.
Database fresh(const fs::path& file) {
    auto db = Database::create_or_open(file);
    EXPECT_TRUE(db) << db.message();
    EXPECT_TRUE(db->transaction([] { return Result<void>{}; }));
    return std::move(*db);
}

TEST(Database, NewFileHoldsEveryModelsTablesWithTheirColumns) {
    test::TempDir dir;
    {
        // Opening makes no file; a change that fails makes none either.
        auto unmade = Database::create_or_open(dir / "noise.db");
        ASSERT_TRUE(unmade);
        EXPECT_FALSE(unmade->exists());
        EXPECT_FALSE(unmade->has_tables('a'));
        EXPECT_FALSE(unmade->rowset("噪声a"));
        EXPECT_FALSE(unmade->transaction([] { return Result<void>(fail("stopped")); }));
        EXPECT_FALSE(fs::exists(dir / "noise.db"));
        EXPECT_FALSE(fs::exists(dir / "noise.db-journal"));
    }
    Database db = fresh(dir / "noise.db");
    for (const auto& m : all_models()) {
        EXPECT_TRUE(db.has_tables(m.letter)) << m.letter;
        auto rs = db.rowset(record_table_name(m.letter));
        ASSERT_TRUE(rs) << rs.message();
        ASSERT_EQ(rs->field_count(), int(m.record_columns.size()));
        for (int i = 0; i < rs->field_count(); ++i) EXPECT_EQ(rs->field_name(i), m.record_columns[std::size_t(i)]);
        EXPECT_EQ(rs->record_count(), 0u);
        EXPECT_TRUE(rs->bof() && rs->eof());
        EXPECT_EQ(bool(db.rowset(distribution_table_name(m.letter))), m.has_distribution) << m.letter;
    }
    auto dist = db.rowset(distribution_table_name('a'));
    ASSERT_TRUE(dist);
    EXPECT_EQ(dist->field_count(), 1 + kDistributionValues);
    EXPECT_EQ(dist->field_name(0), "序号");
    EXPECT_EQ(dist->field_name(kDistributionValues), distribution_columns()[kDistributionValues]);
    EXPECT_FALSE(db.has_tables('x'));
    EXPECT_FALSE(db.rowset("no such table"));

    // Reopening an existing record database keeps its rows.
    ASSERT_TRUE(db.replace_model('b', test::sample_groups('b', 2, "kept")));
    auto again = Database::create_or_open(dir / "noise.db");
    ASSERT_TRUE(again) << again.message();
    EXPECT_EQ(column_texts(*again, "噪声b", "序号"), (std::vector<std::string>{"01", "02"}));
}

TEST(Database, RowsKeepTheirOrderThroughAddsAndDeletes) {
    test::TempDir dir;
    Database db = fresh(dir / "noise.db");
    std::vector<DecodedGroup> groups;
    for (int seq : {5, 3, 9, 1}) groups.push_back(test::sample_group('c', seq, "g"));
    ASSERT_TRUE(db.replace_model('c', groups));
    EXPECT_EQ(column_texts(db, "噪声c", "序号"), (std::vector<std::string>{"05", "03", "09", "01"}));
    EXPECT_EQ(column_texts(db, "分布图c", "序号"), (std::vector<std::string>{"5", "3", "9", "1"}));

    auto rs = db.rowset("噪声c");
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->record_count(), 4u);
    EXPECT_FALSE(rs->bof());
    EXPECT_EQ(rs->value(0)->text(), "05");  // positioned on the first row

    // Moves: by n from the first row, as the grid finds row r; past either end.
    rs->move_first();
    rs->move(2);
    EXPECT_EQ(rs->value(0)->text(), "09");
    rs->move_previous();
    EXPECT_EQ(rs->value(0)->text(), "03");
    rs->move_last();
    EXPECT_EQ(rs->value(0)->text(), "01");
    rs->move_next();
    EXPECT_TRUE(rs->eof());
    EXPECT_FALSE(rs->value(0));
    rs->move_next();
    rs->move_previous();
    EXPECT_EQ(rs->value(0)->text(), "01");
    rs->move(-10);
    EXPECT_TRUE(rs->bof());
    EXPECT_FALSE(rs->eof());

    // Delete the second row; the third becomes current.
    rs->move_first();
    rs->move_next();
    ASSERT_TRUE(rs->delete_current());
    EXPECT_EQ(rs->value(0)->text(), "09");
    // An added row is the last, even with a smaller number, and is current.
    ASSERT_TRUE(rs->add({Value("00"), Value("added")}));
    EXPECT_EQ(rs->value(1)->text(), "added");
    rs->move_last();
    EXPECT_EQ(rs->value(0)->text(), "00");
    ASSERT_TRUE(rs->add({Value("02")}));
    // Delete the last row: eof.
    ASSERT_TRUE(rs->delete_current());
    EXPECT_TRUE(rs->eof());
    EXPECT_FALSE(rs->delete_current());

    EXPECT_EQ(column_texts(db, "噪声c", "序号"), (std::vector<std::string>{"05", "09", "01", "00"}));
    ASSERT_TRUE(rs->refresh());
    EXPECT_EQ(rs->record_count(), 4u);
    EXPECT_EQ(rs->value(0)->text(), "05");
}

TEST(Database, FieldsByNameIgnoreCaseAndNullDiffersFromEmptyText) {
    test::TempDir dir;
    Database db = fresh(dir / "noise.db");
    DecodedGroup g = test::sample_group('a', 1, "001");
    const ModelInfo& a = *find_model('a');
    g.record[std::size_t(*record_column_index(a, "MODE"))] = "STA";
    g.record[std::size_t(*record_column_index(a, "Leq"))] = "";
    g.record[std::size_t(*record_column_index(a, "TIME"))] = std::nullopt;
    ASSERT_TRUE(db.replace_model('a', std::vector<DecodedGroup>{g}));

    auto rs = db.rowset("噪声A");  // table names too ignore ASCII case
    ASSERT_TRUE(rs) << rs.message();
    EXPECT_EQ(*rs->value("MODE"), Value("STA"));
    EXPECT_EQ(*rs->value("mode"), Value("STA"));
    EXPECT_EQ(*rs->value("Mode"), *rs->value(*rs->field_position("MODE")));
    EXPECT_EQ(rs->field_position("LEQ"), record_column_index(a, "Leq"));
    EXPECT_EQ(rs->field_position("测量时间"), record_column_index(a, "测量时间"));
    EXPECT_FALSE(rs->field_position("VLeq"));
    EXPECT_FALSE(rs->value("VLeq"));
    EXPECT_FALSE(rs->value(rs->field_count()));
    EXPECT_EQ(rs->field_name(rs->field_count()), "");

    auto leq = rs->value("leq");
    ASSERT_TRUE(leq);
    EXPECT_TRUE(leq->is_text());
    EXPECT_EQ(leq->text(), "");
    auto time = rs->value("time");
    ASSERT_TRUE(time);
    EXPECT_TRUE(time->is_null());
    EXPECT_NE(*leq, *time);
    EXPECT_TRUE(rs->value("filename")->is_null());  // the last column is never written

    // Added rows: NULL, empty text and numbers by position; a number in a text column is kept
    // as its plain decimal text.
    ASSERT_TRUE(rs->add({Value(7), Value(""), Value(), Value(85.6)}));
    EXPECT_EQ(*rs->value(0), Value("7"));
    EXPECT_EQ(*rs->value(1), Value(""));
    EXPECT_TRUE(rs->value(2)->is_null());
    EXPECT_EQ(*rs->value(3), Value("85.6"));
    EXPECT_TRUE(rs->value(4)->is_null());  // positions not given
    EXPECT_FALSE(rs->add(std::vector<Value>(std::size_t(rs->field_count()) + 1, Value("x"))));

    auto dist = db.rowset("分布图a");
    ASSERT_TRUE(dist);
    EXPECT_EQ(*dist->value(0), Value(1));
    EXPECT_EQ(*dist->value(1), Value(1.0));
    EXPECT_DOUBLE_EQ(dist->value(101)->number(), 11.0);
}

TEST(Database, DistributionRowsAreNumbersByPositionWithNullsBeyondTheValues) {
    test::TempDir dir;
    Database db = fresh(dir / "noise.db");
    DecodedGroup g = test::sample_group('b', 12, "x", 100);
    g.distribution->values[4] = std::nullopt;
    DecodedGroup octave = test::sample_group('b', 13, "OCT");
    octave.distribution.reset();
    ASSERT_TRUE(db.replace_model('b', std::vector<DecodedGroup>{g, octave}));
    auto rs = db.rowset("分布图b");
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->record_count(), 1u);  // the octave group has a record row only
    EXPECT_TRUE(rs->value(0)->is_number());
    EXPECT_EQ(rs->value(0)->number(), 12.0);
    EXPECT_DOUBLE_EQ(rs->value(1)->number(), 12.0);
    EXPECT_DOUBLE_EQ(rs->value(100)->number(), 21.9);
    EXPECT_TRUE(rs->value(5)->is_null());
    EXPECT_TRUE(rs->value(101)->is_null());
    EXPECT_EQ(column_texts(db, "噪声b", "序号"), (std::vector<std::string>{"12", "13"}));
}

TEST(Database, AFailedReplaceLeavesTheOldRows) {
    test::TempDir dir;
    Database db = fresh(dir / "noise.db");
    ASSERT_TRUE(db.replace_model('a', test::sample_groups('a', 5, "old")));
    ASSERT_TRUE(db.replace_model('b', test::sample_groups('b', 2, "other model")));
    const auto old_records = column_texts(db, "噪声a", "组号");
    const auto old_seq = column_texts(db, "分布图a", "序号");

    // Stopped after 3 of 8 groups.
    std::size_t calls = 0;
    auto stopped = db.replace_model('a', test::sample_groups('a', 8, "new"), [&](std::size_t written) {
        ++calls;
        return written < 3;
    });
    EXPECT_FALSE(stopped);
    EXPECT_EQ(calls, 3u);
    EXPECT_EQ(column_texts(db, "噪声a", "组号"), old_records);
    EXPECT_EQ(column_texts(db, "分布图a", "序号"), old_seq);

    // A malformed group half-way: too few cells, too many distribution values, a distribution
    // row for a model without distribution table.
    auto groups = test::sample_groups('a', 6, "new");
    groups[4].record.pop_back();
    auto short_row = db.replace_model('a', groups);
    EXPECT_FALSE(short_row);
    EXPECT_NE(short_row.message().find("group 5"), std::string::npos) << short_row.message();
    groups = test::sample_groups('a', 6, "new");
    groups[3].distribution->values.push_back(1.0);
    EXPECT_FALSE(db.replace_model('a', groups));
    EXPECT_EQ(column_texts(db, "噪声a", "组号"), old_records);
    EXPECT_EQ(column_texts(db, "分布图a", "序号"), old_seq);

    ASSERT_TRUE(db.replace_model('e', test::sample_groups('e', 2, "e-old")));
    auto e_groups = test::sample_groups('e', 3, "e-new");
    e_groups[2].distribution = DistributionRow{3, {1.0}};
    EXPECT_FALSE(db.replace_model('e', e_groups));
    EXPECT_EQ(column_texts(db, "噪声e", "组号"), (std::vector<std::string>{"e-old", "e-old"}));
    EXPECT_FALSE(db.replace_model('z', e_groups));

    // A successful replace empties only this model's tables.
    ASSERT_TRUE(db.replace_model('a', test::sample_groups('a', 2, "new")));
    EXPECT_EQ(column_texts(db, "噪声a", "组号"), (std::vector<std::string>{"new", "new"}));
    EXPECT_EQ(column_texts(db, "分布图a", "序号"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(column_texts(db, "噪声b", "Leq"), (std::vector<std::string>{"other model", "other model"}));
    ASSERT_TRUE(db.replace_model('a', {}));
    EXPECT_TRUE(column_texts(db, "噪声a", "组号").empty());
    EXPECT_TRUE(column_texts(db, "分布图a", "序号").empty());
}

// A file made with SQLite directly, outside the store.
void make_sqlite_file(const fs::path& file, const std::string& sql) {
    auto c = sql::Connection::open(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    ASSERT_TRUE(c) << c.message();
    ASSERT_TRUE((*c)->exec(sql));
}

TEST(Database, FilesThatAreNotRecordDatabasesAreRefusedAndLeftAlone) {
    test::TempDir dir;
    const std::string refused(texts::kOpenFailed);

    const fs::path text = dir / "text.db";
    test::write_file(text, "Leq,L5\n85.6,90.1\n");
    const fs::path foreign = dir / "foreign.db";
    make_sqlite_file(foreign, "CREATE TABLE other (x TEXT); INSERT INTO other VALUES ('keep')");
    const std::string foreign_bytes = test::read_file(foreign);
    const fs::path folder = dir / "folder.db";
    fs::create_directory(folder);

    for (const fs::path& file : {text, foreign, folder}) {
        const std::string before = test::read_file(file);
        auto created = Database::create_or_open(file);
        ASSERT_FALSE(created) << file;
        EXPECT_EQ(created.message(), refused);
        auto opened = Database::open_existing(file);
        ASSERT_FALSE(opened) << file;
        EXPECT_EQ(opened.message(), refused);
        EXPECT_EQ(test::read_file(file), before) << file;
    }
    EXPECT_EQ(test::read_file(foreign), foreign_bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
    EXPECT_FALSE(Database::open_read_only(foreign));

    // A missing file is refused by open_existing and not created.
    auto missing = Database::open_existing(dir / "missing.db");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.message().find("does not exist"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "missing.db"));
    // A file cannot be made in a missing folder, unless the folder is to be made too.
    auto nowhere = Database::create_or_open(dir / "no folder" / "noise.db");
    ASSERT_TRUE(nowhere);
    EXPECT_FALSE(nowhere->transaction([] { return Result<void>{}; }));
    EXPECT_FALSE(fs::exists(dir / "no folder"));
    auto made = Database::create_or_open(dir / "new folder" / "noise.db", true);
    ASSERT_TRUE(made && made->transaction([] { return Result<void>{}; }));
    EXPECT_TRUE(made->has_tables('a'));

    // An empty file becomes a new record database with its first change.
    test::write_file(dir / "empty.db", "");
    auto empty = Database::create_or_open(dir / "empty.db");
    ASSERT_TRUE(empty) << empty.message();
    ASSERT_TRUE(empty->replace_model('d', test::sample_groups('d', 1, "x")));
    EXPECT_TRUE(empty->has_tables('d'));
    EXPECT_TRUE(empty->has_tables('e'));
}

TEST(Database, MissingModelTablesAreAddedByTheFirstStoreAndForeignColumnsRefused) {
    test::TempDir dir;
    const std::string a_table = schema::create_table_sql(schema::model_tables(*find_model('a'))[0]);
    const fs::path partial = dir / "partial.db";
    make_sqlite_file(partial, a_table);
    {
        // Opening changes nothing: the record database lacks the other tables until it stores.
        const std::string before = test::read_file(partial);
        auto db = Database::open_existing(partial);
        ASSERT_TRUE(db) << db.message();
        EXPECT_FALSE(db->has_tables('a'));  // no distribution table yet
        EXPECT_FALSE(db->rowset("噪声c"));
        EXPECT_EQ(test::read_file(partial), before);
        ASSERT_TRUE(db->replace_model('c', test::sample_groups('c', 1, "x")));
        for (const auto& m : all_models()) EXPECT_TRUE(db->has_tables(m.letter)) << m.letter;

        // Another program drops a table meanwhile: the next store puts it back.
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(partial.c_str(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "DROP TABLE \"分布图d\"", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);
        ASSERT_TRUE(db->replace_model('c', test::sample_groups('c', 2, "y")));
        EXPECT_TRUE(db->has_tables('d'));
    }

    // A table of one of our names with other columns: refused by every open, naming the table,
    // and the file stays as it was.
    struct Case {
        const char* sql;
        const char* table;
    } cases[] = {
        {"CREATE TABLE \"噪声a\" (x, y)", "噪声a"},
        {"CREATE TABLE \"噪声b\" (\"序号\" TEXT)", "噪声b"},
        {"CREATE TABLE \"分布图d\" (\"序号\" INTEGER)", "分布图d"},
        {"CREATE TABLE _nlx_pending_files (temporary TEXT)", "_nlx_pending_files"},
    };
    int k = 0;
    for (const auto& c : cases) {
        const fs::path file = dir / ("foreign" + std::to_string(k++) + ".db");
        const bool own_a = std::string(c.table) == "噪声a";
        make_sqlite_file(file, own_a ? std::string(c.sql) : a_table + ";" + c.sql);
        const std::string before = test::read_file(file);
        for (int way = 0; way < 3; ++way) {
            auto opened = way == 0 ? Database::create_or_open(file)
                          : way == 1 ? Database::open_existing(file)
                                     : Database::open_read_only(file);
            ASSERT_FALSE(opened) << c.table;
            EXPECT_NE(opened.message().find(c.table), std::string::npos) << opened.message();
            EXPECT_NE(opened.message().find("not a record database of this program"), std::string::npos);
        }
        EXPECT_EQ(test::read_file(file), before) << c.table;
        EXPECT_FALSE(fs::exists(file.string() + "-wal"));
    }
}

// The application id and user version in a file's header, as SQLite reads them.
std::pair<long long, long long> header_of(const fs::path& file) {
    auto c = sql::Connection::open(file, SQLITE_OPEN_READONLY);
    EXPECT_TRUE(c) << c.message();
    if (!c) return {-1, -1};
    auto id = schema::header_number(**c, "application_id");
    auto version = schema::header_number(**c, "user_version");
    return {id ? *id : -1, version ? *version : -1};
}

// Every record database this program writes carries its application id and the version of its
// tables. One written before the header said anything is brought up to date by its first change
// that succeeds; one of a later version, or another program's, is refused and left alone.
TEST(Database, TheHeaderNamesTheProgramAndTheVersionOfItsTables) {
    test::TempDir dir;
    const std::pair<long long, long long> current{schema::kApplicationId, schema::kSchemaVersion};
    fresh(dir / "new.db");
    EXPECT_EQ(header_of(dir / "new.db"), current);
    // The copy of 另存 is the same file, header included.
    const fs::path copied = dir / "copied.db";
    test::write_file(copied, "");
    {
        auto db = Database::open_existing(dir / "new.db");
        ASSERT_TRUE(db && db->copy_to(copied));
    }
    EXPECT_EQ(header_of(copied), current);

    // A file of version 0, as every earlier version of the program left it, with its tables.
    const fs::path old = dir / "old.db";
    make_sqlite_file(old, schema::create_table_sql(schema::model_tables(*find_model('e'))[0]));
    EXPECT_EQ(header_of(old), std::make_pair(0LL, 0LL));
    {
        auto read = Database::open_read_only(old);
        ASSERT_TRUE(read) << read.message();
        auto db = Database::open_existing(old);
        ASSERT_TRUE(db) << db.message();
        EXPECT_FALSE(db->transaction([] { return Result<void>(fail("stopped")); }));
        EXPECT_EQ(header_of(old), std::make_pair(0LL, 0LL)) << "a failed change upgrades nothing";
        ASSERT_TRUE(db->replace_model('e', test::sample_groups('e', 1, "x")));
        EXPECT_EQ(header_of(old), current);
        EXPECT_TRUE(db->has_table(std::string(kPendingFilesTable)));
        EXPECT_TRUE(db->has_table(std::string(kTransferLogTable)));
        EXPECT_TRUE(db->has_table(std::string(kRecordingsTable)));
    }
    // A file of version 1 (before recordings were kept) gets the recording tables the same way:
    // it reads as having none, and its first change adds them.
    const fs::path first = dir / "version1.db";
    make_sqlite_file(first, schema::create_table_sql(schema::model_tables(*find_model('a'))[0]) +
                                "; PRAGMA application_id = " + std::to_string(schema::kApplicationId) +
                                "; PRAGMA user_version = 1");
    {
        auto db = Database::open_existing(first);
        ASSERT_TRUE(db) << db.message();
        auto none = db->recordings();
        ASSERT_TRUE(none) << none.message();
        EXPECT_TRUE(none->empty());
        EXPECT_FALSE(db->has_table(std::string(kRecordingSamplesTable)));
        auto id = db->begin_recording({'a', "/dev/ttyS0", 9600, 0});
        ASSERT_TRUE(id) << id.message();
        EXPECT_EQ(header_of(first), current);
        EXPECT_TRUE(db->has_table(std::string(kRecordingSamplesTable)));
    }

    // Later versions and other programs' files: every open refuses them, naming the file (and
    // both versions), and nothing in the file changes.
    const struct {
        const char* pragma;
        std::string says;
    } refused[] = {
        {"PRAGMA user_version = 3", "is a record database of version 3, newer than version 2, the newest this program knows"},
        {"PRAGMA user_version = 1000", "is a record database of version 1000, newer than version 2"},
        {"PRAGMA application_id = 1196446541", "is not a record database of this program: its application id is 4750534D"},
    };
    int k = 0;
    for (const auto& c : refused) {
        const fs::path file = dir / ("refused" + std::to_string(k++) + ".db");
        fs::copy_file(dir / "new.db", file);
        make_sqlite_file(file, c.pragma);
        const std::string before = test::read_file(file);
        for (int way = 0; way < 3; ++way) {
            auto opened = way == 0 ? Database::create_or_open(file)
                          : way == 1 ? Database::open_existing(file)
                                     : Database::open_read_only(file);
            ASSERT_FALSE(opened) << c.pragma;
            EXPECT_NE(opened.message().find(file.string() + " " + c.says), std::string::npos) << opened.message();
            EXPECT_NE(opened.message().find("nothing was changed"), std::string::npos) << opened.message();
        }
        EXPECT_EQ(test::read_file(file), before) << c.pragma;
    }

    // A newer program that changes the file while this one has it open: the next change is refused.
    auto db = Database::open_existing(dir / "new.db");
    ASSERT_TRUE(db);
    make_sqlite_file(dir / "new.db", "PRAGMA user_version = 3; CREATE TABLE later (x)");
    auto later = db->replace_model('a', test::sample_groups('a', 1, "x"));
    ASSERT_FALSE(later);
    EXPECT_NE(later.message().find("newer than version 2"), std::string::npos) << later.message();
    EXPECT_EQ(header_of(dir / "new.db"), std::make_pair(schema::kApplicationId, 3LL));
}

TEST(Database, TwoConnectionsOnOneFileSeeEachOthersCommits) {
    test::TempDir dir;
    const fs::path file = dir / "noise.db";
    Database data1 = fresh(file);
    auto opened = Database::open_existing(file);
    ASSERT_TRUE(opened) << opened.message();
    Database data2 = std::move(*opened);
    ASSERT_TRUE(data1.replace_model('a', test::sample_groups('a', 3, "first")));

    auto records = data1.rowset("噪声a");
    auto distribution = data2.rowset("分布图a");
    ASSERT_TRUE(records && distribution);
    records->move_last();
    EXPECT_EQ(records->value("组号")->text(), "first");
    distribution->move(1);
    ASSERT_TRUE(distribution->value(0));

    // Data2 rewrites the tables while Data1's rowset sits on a row.
    ASSERT_TRUE(data2.replace_model('a', test::sample_groups('a', 5, "second", 20)));
    EXPECT_EQ(records->record_count(), 3u);  // until refreshed
    ASSERT_TRUE(records->refresh());
    EXPECT_EQ(records->record_count(), 5u);
    EXPECT_EQ(records->value("组号")->text(), "second");
    ASSERT_TRUE(distribution->refresh());
    EXPECT_EQ(distribution->value(0)->number(), 20.0);

    // Adds through one rowset show in the other connection after a refresh.
    ASSERT_TRUE(distribution->add({Value(99)}));
    ASSERT_TRUE(data1.rowset("分布图a"));
    auto seen = data1.rowset("分布图a");
    seen->move_last();
    EXPECT_EQ(seen->value(0)->number(), 99.0);

    // A rowset outlives the Database object it came from.
    {
        Database moved = std::move(data2);
        auto kept = moved.rowset("噪声a");
        ASSERT_TRUE(kept);
        Database gone = std::move(moved);
        (void)gone;
        distribution = std::move(kept);
    }
    EXPECT_EQ(distribution->record_count(), 5u);
    EXPECT_EQ(distribution->value(1)->text(), "second");
}

}  // namespace
}  // namespace nlx
