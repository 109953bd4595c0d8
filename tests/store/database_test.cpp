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
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {
namespace fs = std::filesystem;

// The text of column `column` of every row, in insertion order ("<NULL>" for NULL).
std::vector<std::string> column_texts(Database& db, const std::string& table, const std::string& column) {
    auto contents = db.read_table(table);
    EXPECT_TRUE(contents) << contents.message();
    std::vector<std::string> out;
    if (!contents) return out;
    std::optional<std::size_t> at;
    for (std::size_t i = 0; i < contents->columns.size(); ++i)
        if (same_column_name(contents->columns[i], column)) at = i;
    EXPECT_TRUE(at) << column;
    if (!at) return out;
    for (const auto& row : contents->rows) out.push_back(row[*at].is_null() ? "<NULL>" : row[*at].to_text());
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
        EXPECT_FALSE(unmade->has_tables(model_of('a')));
        EXPECT_FALSE(unmade->has_table("噪声a"));
        EXPECT_FALSE(unmade->transaction([] { return Result<void>(fail("stopped")); }));
        EXPECT_FALSE(fs::exists(dir / "noise.db"));
        EXPECT_FALSE(fs::exists(dir / "noise.db-journal"));
    }
    Database db = fresh(dir / "noise.db");
    for (const auto& m : all_models()) {
        EXPECT_TRUE(db.has_tables(m)) << m.letter;
        auto records = db.read_table(record_table_name(m.letter));
        ASSERT_TRUE(records) << records.message();
        ASSERT_EQ(records->columns.size(), m.record_columns.size());
        for (std::size_t i = 0; i < records->columns.size(); ++i) EXPECT_EQ(records->columns[i], m.record_columns[i]);
        EXPECT_TRUE(records->rows.empty());
        EXPECT_EQ(db.has_table(distribution_table_name(m.letter)), m.has_distribution) << m.letter;
    }
    auto dist = db.read_table(distribution_table_name('a'));
    ASSERT_TRUE(dist);
    ASSERT_EQ(dist->columns.size(), std::size_t(1 + kDistributionValues));
    EXPECT_EQ(dist->columns[0], "序号");
    EXPECT_EQ(dist->columns[kDistributionValues], distribution_columns()[kDistributionValues]);
    EXPECT_FALSE(db.has_table("no such table"));
    EXPECT_FALSE(db.read_table("no such table"));

    // Reopening an existing record database keeps its rows.
    ASSERT_TRUE(db.replace_model(model_of('b'), test::sample_groups('b', 2, "kept")));
    auto again = Database::create_or_open(dir / "noise.db");
    ASSERT_TRUE(again) << again.message();
    EXPECT_EQ(column_texts(*again, "噪声b", "序号"), (std::vector<std::string>{"01", "02"}));
}

TEST(Database, RowsKeepTheirOrderAndAnAddedRowIsTheLast) {
    test::TempDir dir;
    Database db = fresh(dir / "noise.db");
    std::vector<DecodedGroup> groups;
    for (int seq : {5, 3, 9, 1}) groups.push_back(test::sample_group('c', seq, "g"));
    ASSERT_TRUE(db.replace_model(model_of('c'), groups));
    EXPECT_EQ(column_texts(db, "噪声c", "序号"), (std::vector<std::string>{"05", "03", "09", "01"}));
    EXPECT_EQ(column_texts(db, "分布图c", "序号"), (std::vector<std::string>{"5", "3", "9", "1"}));

    // An added row is the last, even with a smaller number.
    ASSERT_TRUE(db.add_row("噪声c", {Value("00"), Value("added")}));
    auto last = db.last_row("噪声c");
    ASSERT_TRUE(last && *last);
    EXPECT_EQ((**last)[0].text(), "00");
    EXPECT_EQ((**last)[1].text(), "added");
    EXPECT_EQ(column_texts(db, "噪声c", "序号"), (std::vector<std::string>{"05", "03", "09", "01", "00"}));

    // An empty table has no last row; a missing one is an error.
    ASSERT_TRUE(db.replace_model(model_of('c'), {}));
    auto none = db.last_row("噪声c");
    ASSERT_TRUE(none);
    EXPECT_FALSE(*none);
    EXPECT_FALSE(db.last_row("no such table"));
}

TEST(Database, NullDiffersFromEmptyTextAndNumbersInTextColumnsArePlainText) {
    test::TempDir dir;
    Database db = fresh(dir / "noise.db");
    DecodedGroup g = test::sample_group('a', 1, "001");
    const ModelInfo& a = *find_model('a');
    g.record[std::size_t(*record_column_index(a, "MODE"))] = "STA";
    g.record[std::size_t(*record_column_index(a, "Leq"))] = "";
    g.record[std::size_t(*record_column_index(a, "TIME"))] = std::nullopt;
    ASSERT_TRUE(db.replace_model(model_of('a'), std::vector<DecodedGroup>{g}));

    auto table = db.read_table("噪声A");  // table names ignore ASCII case
    ASSERT_TRUE(table) << table.message();
    ASSERT_EQ(table->rows.size(), 1u);
    const auto& row = table->rows[0];
    EXPECT_EQ(row[std::size_t(*record_column_index(a, "mode"))], Value("STA"));
    const Value& leq = row[std::size_t(*record_column_index(a, "Leq"))];
    EXPECT_TRUE(leq.is_text());
    EXPECT_EQ(leq.text(), "");
    const Value& time = row[std::size_t(*record_column_index(a, "TIME"))];
    EXPECT_TRUE(time.is_null());
    EXPECT_NE(leq, time);
    EXPECT_TRUE(row.back().is_null());  // the last column (filename) is never written

    // Added rows: NULL, empty text and numbers by position; a number in a text column is kept
    // as its plain decimal text.
    ASSERT_TRUE(db.add_row("噪声a", {Value(7), Value(""), Value(), Value(85.6)}));
    auto added = db.last_row("噪声a");
    ASSERT_TRUE(added && *added);
    EXPECT_EQ((**added)[0], Value("7"));
    EXPECT_EQ((**added)[1], Value(""));
    EXPECT_TRUE((**added)[2].is_null());
    EXPECT_EQ((**added)[3], Value("85.6"));
    EXPECT_TRUE((**added)[4].is_null());  // positions not given
    EXPECT_FALSE(db.add_row("噪声a", std::vector<Value>(a.record_columns.size() + 1, Value("x"))));

    auto dist = db.read_table("分布图a");
    ASSERT_TRUE(dist);
    EXPECT_EQ(dist->rows[0][0], Value(1));
    EXPECT_EQ(dist->rows[0][1], Value(1.0));
    EXPECT_DOUBLE_EQ(dist->rows[0][101].number(), 11.0);
}

TEST(Database, DistributionRowsAreNumbersByPositionWithNullsBeyondTheValues) {
    test::TempDir dir;
    Database db = fresh(dir / "noise.db");
    DecodedGroup g = test::sample_group('b', 12, "x", 100);
    g.distribution->values[4] = std::nullopt;
    DecodedGroup octave = test::sample_group('b', 13, "OCT");
    octave.distribution.reset();
    ASSERT_TRUE(db.replace_model(model_of('b'), std::vector<DecodedGroup>{g, octave}));
    auto table = db.read_table("分布图b");
    ASSERT_TRUE(table);
    ASSERT_EQ(table->rows.size(), 1u);  // the octave group has a record row only
    const auto& row = table->rows[0];
    EXPECT_TRUE(row[0].is_number());
    EXPECT_EQ(row[0].number(), 12.0);
    EXPECT_DOUBLE_EQ(row[1].number(), 12.0);
    EXPECT_DOUBLE_EQ(row[100].number(), 21.9);
    EXPECT_TRUE(row[5].is_null());
    EXPECT_TRUE(row[101].is_null());
    EXPECT_EQ(column_texts(db, "噪声b", "序号"), (std::vector<std::string>{"12", "13"}));
}

TEST(Database, AFailedReplaceLeavesTheOldRows) {
    test::TempDir dir;
    Database db = fresh(dir / "noise.db");
    ASSERT_TRUE(db.replace_model(model_of('a'), test::sample_groups('a', 5, "old")));
    ASSERT_TRUE(db.replace_model(model_of('b'), test::sample_groups('b', 2, "other model")));
    const auto old_records = column_texts(db, "噪声a", "组号");
    const auto old_seq = column_texts(db, "分布图a", "序号");

    // Stopped after 3 of 8 groups.
    std::size_t calls = 0;
    auto stopped = db.replace_model(model_of('a'), test::sample_groups('a', 8, "new"), [&](std::size_t written) {
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
    auto short_row = db.replace_model(model_of('a'), groups);
    EXPECT_FALSE(short_row);
    EXPECT_NE(short_row.message().find("group 5"), std::string::npos) << short_row.message();
    groups = test::sample_groups('a', 6, "new");
    groups[3].distribution->values.push_back(1.0);
    EXPECT_FALSE(db.replace_model(model_of('a'), groups));
    EXPECT_EQ(column_texts(db, "噪声a", "组号"), old_records);
    EXPECT_EQ(column_texts(db, "分布图a", "序号"), old_seq);

    ASSERT_TRUE(db.replace_model(model_of('e'), test::sample_groups('e', 2, "e-old")));
    auto e_groups = test::sample_groups('e', 3, "e-new");
    e_groups[2].distribution = DistributionRow{3, {1.0}};
    EXPECT_FALSE(db.replace_model(model_of('e'), e_groups));
    EXPECT_EQ(column_texts(db, "噪声e", "组号"), (std::vector<std::string>{"e-old", "e-old"}));

    // A successful replace empties only this model's tables.
    ASSERT_TRUE(db.replace_model(model_of('a'), test::sample_groups('a', 2, "new")));
    EXPECT_EQ(column_texts(db, "噪声a", "组号"), (std::vector<std::string>{"new", "new"}));
    EXPECT_EQ(column_texts(db, "分布图a", "序号"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(column_texts(db, "噪声b", "Leq"), (std::vector<std::string>{"other model", "other model"}));
    ASSERT_TRUE(db.replace_model(model_of('a'), {}));
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
    EXPECT_TRUE(made->has_tables(model_of('a')));

    // An empty file becomes a new record database with its first change.
    test::write_file(dir / "empty.db", "");
    auto empty = Database::create_or_open(dir / "empty.db");
    ASSERT_TRUE(empty) << empty.message();
    ASSERT_TRUE(empty->replace_model(model_of('d'), test::sample_groups('d', 1, "x")));
    EXPECT_TRUE(empty->has_tables(model_of('d')));
    EXPECT_TRUE(empty->has_tables(model_of('e')));
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
        EXPECT_FALSE(db->has_tables(model_of('a')));  // no distribution table yet
        EXPECT_FALSE(db->has_table("噪声c"));
        EXPECT_EQ(test::read_file(partial), before);
        ASSERT_TRUE(db->replace_model(model_of('c'), test::sample_groups('c', 1, "x")));
        for (const auto& m : all_models()) EXPECT_TRUE(db->has_tables(m)) << m.letter;

        // Another program drops a table meanwhile: the next store puts it back.
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(partial.c_str(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "DROP TABLE \"分布图d\"", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);
        ASSERT_TRUE(db->replace_model(model_of('c'), test::sample_groups('c', 2, "y")));
        EXPECT_TRUE(db->has_tables(model_of('d')));
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
        ASSERT_TRUE(db->replace_model(model_of('e'), test::sample_groups('e', 1, "x")));
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
    auto later = db->replace_model(model_of('a'), test::sample_groups('a', 1, "x"));
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
    ASSERT_TRUE(data1.replace_model(model_of('a'), test::sample_groups('a', 3, "first")));
    EXPECT_EQ(column_texts(data2, "噪声a", "组号"), std::vector<std::string>(3, "first"));

    ASSERT_TRUE(data2.replace_model(model_of('a'), test::sample_groups('a', 5, "second", 20)));
    EXPECT_EQ(column_texts(data1, "噪声a", "组号"), std::vector<std::string>(5, "second"));
    ASSERT_TRUE(data1.add_row("分布图a", {Value(99)}));
    auto seen = data2.last_row("分布图a");
    ASSERT_TRUE(seen && *seen);
    EXPECT_EQ((**seen)[0].number(), 99.0);
}

// Table and column names reach SQL quoted; a name holding quotes keeps them, doubled.
TEST(Sql, IdentifiersAreQuotedWithInnerQuotesDoubled) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"噪声a", "\"噪声a\""}, {"", "\"\""}, {"a\"b", "\"a\"\"b\""}, {"\"", "\"\"\"\""}, {"x\"\"y\"", "\"x\"\"\"\"y\"\"\""}};
    for (const auto& [name, quoted] : cases) {
        EXPECT_EQ(sql::quote_identifier(name), quoted) << name;
        std::string appended = "SELECT ";
        sql::append_quoted_identifier(appended, name);
        EXPECT_EQ(appended, "SELECT " + std::string(quoted)) << name;
    }
}

}  // namespace
}  // namespace nlx
