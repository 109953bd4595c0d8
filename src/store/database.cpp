// Opening, checking and filling record database files; every change is a single transaction.
#include "store/database.h"

#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <fstream>

#include "core/number_format.h"
#include "core/atomic_file.h"
#include "core/models.h"
#include "core/texts.h"
#include "store/recordings.h"
#include "store/schema.h"
#include "store/transfer_log.h"

namespace nlx {
namespace fs = std::filesystem;

namespace {

constexpr int kBusyTimeoutMs = 10000;

Error not_a_record_database(const std::string& why = {}) {
    return fail(texts::open_failed(why));
}

// Every SQLite 3 database file starts with these 16 bytes; byte 18 is 2 for a WAL database.
constexpr char kHeader[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f', 'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};

struct FileStart {
    bool sqlite = false;
    bool wal = false;
};

FileStart file_start(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    char buf[20] = {};
    if (!in.read(buf, sizeof buf)) return {};
    return {std::equal(buf, buf + 16, kHeader), buf[18] == 2};
}

Result<void> configure(sql::Connection& db) {
    sqlite3_busy_timeout(db.handle(), kBusyTimeoutMs);
    // Per connection: a committed change is on disk before the commit returns.
    return db.exec("PRAGMA synchronous = FULL");
}

// The header of a record database names this program (or nothing, as before it did) and a
// version of the tables this program knows.
Result<void> check_version(sql::Connection& db, const fs::path& file) {
    auto id = schema::header_number(db, "application_id");
    if (!id) return not_a_record_database(id.message());
    if (*id != 0 && *id != schema::kApplicationId) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08llX", static_cast<unsigned long long>(*id) & 0xFFFFFFFFull);
        return not_a_record_database(file.string() + " is not a record database of this program: its application id is " +
                                     hex + "; nothing was changed");
    }
    auto version = schema::header_number(db, "user_version");
    if (!version) return not_a_record_database(version.message());
    if (*version > schema::kSchemaVersion)
        return not_a_record_database(file.string() + " is a record database of version " + std::to_string(*version) +
                                     ", newer than version " + std::to_string(schema::kSchemaVersion) +
                                     ", the newest this program knows: open it with a newer nlx; nothing was changed");
    return {};
}

// A record database holds the record table of at least one model, and every table it has under a
// model table's name has that table's columns. Reading the schema also proves the file is an
// SQLite database.
Result<void> check_record_database(sql::Connection& db, const fs::path& file) {
    bool has_records = false;
    for (const auto& m : all_models()) {
        for (const auto& table : schema::model_tables(m)) {
            auto cols = schema::table_columns(db, table.name);
            if (!cols) return not_a_record_database(cols.message());
            if (!*cols) continue;
            if (!schema::same_names(**cols, table.columns))
                return not_a_record_database(file.string() + " is not a record database of this program: table " +
                                             table.name + " does not have the columns of model " +
                                             std::string(1, m.letter) + "; nothing was changed");
            if (table.name == record_table_name(m.letter)) has_records = true;
        }
    }
    if (!has_records) return not_a_record_database();
    const std::pair<std::string_view, std::vector<std::string>> own_tables[] = {
        {kTransferLogTable, transfer_log::column_names()},
        {kPendingFilesTable, pending_files_columns()},
        {kRecordingsTable, recordings::recording_columns()},
        {kRecordingSamplesTable, recordings::sample_columns()},
    };
    for (const auto& [table, columns] : own_tables) {
        auto found = schema::table_columns(db, std::string(table));
        if (!found) return not_a_record_database(found.message());
        if (!*found) continue;
        std::vector<std::string> names;
        for (const auto& c : **found) names.push_back(c.name);
        if (names != columns)
            return not_a_record_database(file.string() + " is not a record database of this program: table " +
                                         std::string(table) + " does not have the columns of " +
                                         (table == kTransferLogTable      ? "the transfer log"
                                          : table == kPendingFilesTable ? "the list of history files"
                                                                        : "the recordings of the live level") +
                                         "; nothing was changed");
    }
    return check_version(db, file);
}

// Creates whichever of the model's tables are missing; with `check`, an existing table must have
// the model's columns.
Result<void> create_missing_tables(sql::Connection& db, const ModelInfo& model, bool check) {
    for (const auto& table : schema::model_tables(model)) {
        auto cols = schema::table_columns(db, table.name);
        if (!cols) return cols.error();
        if (!*cols) {
            if (auto r = db.exec(schema::create_table_sql(table)); !r) return r;
        } else if (check && !schema::same_names(**cols, table.columns)) {
            return fail("table " + table.name + " does not have the columns of model " +
                        std::string(1, model.letter));
        }
    }
    return {};
}

// SQLite's count of changes to the file's schema; nullopt when it cannot be read.
std::optional<long long> schema_version(sql::Connection& db) {
    auto stmt = sql::Statement::prepare(db, "PRAGMA schema_version");
    if (!stmt) return std::nullopt;
    auto row = stmt->step();
    if (!row || !*row) return std::nullopt;
    return stmt->column_int(0);
}

Result<const ModelInfo*> model_of(char letter) {
    const ModelInfo* m = find_model(letter);
    if (!m) return fail(std::string("there is no model ") + letter);
    return m;
}

// "file:" URI of a path, for opening a database that may not be changed in any way.
std::string immutable_uri(const fs::path& file) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file:";
    for (unsigned char c : fs::absolute(file).string()) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~' || c >= 0x80) {
            uri += char(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri + "?immutable=1";
}

enum class Access { read_only, read_write };

// Opens an existing file and checks it is a record database; nothing in the file changes.
Result<std::shared_ptr<sql::Connection>> open_checked(const fs::path& file, Access access) {
    std::error_code ec;
    auto status = fs::status(file, ec);
    if (!fs::exists(status)) return fail("database file " + file.string() + " does not exist");
    if (!fs::is_regular_file(status)) return not_a_record_database();
    const FileStart start = file_start(file);
    if (!start.sqlite) return not_a_record_database();

    std::error_code journal_ec;
    if (access == Access::read_only && fs::exists(fs::path(file.string() + "-journal"), journal_ec)) {
        // A change cut short by a crash left its journal: only a connection that may write can
        // roll it back, restoring the last committed contents, before the file can be read.
        if (auto writer = sql::Connection::open(file, SQLITE_OPEN_READWRITE); writer && configure(**writer))
            (void)(*writer)->exec("SELECT count(*) FROM sqlite_master");
    }
    auto db = sql::Connection::open(file, access == Access::read_write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY);
    if (!db) return db.error();
    auto usable = [&](sql::Connection& c) -> Result<void> {
        if (auto r = configure(c); !r) return r;
        return check_record_database(c, file);
    };
    auto checked = usable(**db);
    if (!checked && access == Access::read_only && start.wal) {
        // A WAL database on a read-only medium cannot make its shared-memory file: read it as
        // an unchangeable file instead.
        auto fixed = sql::Connection::open(immutable_uri(file), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
        if (fixed) {
            db = std::move(fixed);
            checked = usable(**db);
        }
    }
    if (!checked) return checked.error();
    return db;
}

}  // namespace

Result<Database> Database::create_or_open(const fs::path& file, bool create_folder) {
    std::error_code ec;
    auto status = fs::status(file, ec);
    bool missing = !fs::exists(status);
    if (!missing && !fs::is_regular_file(status)) return not_a_record_database();
    bool empty = !missing && fs::file_size(file, ec) == 0 && !ec;
    if (missing || empty) {
        Database d(nullptr, file);
        d.create_folder_ = create_folder;
        return d;
    }
    return open_existing(file);
}

Result<Database> Database::open_existing(const fs::path& file) {
    auto db = open_checked(file, Access::read_write);
    if (!db) return db.error();
    Database d(std::move(*db), file);
    // A rename that still fails stays listed for the next open; the records are sound meanwhile.
    (void)d.complete_pending_files();
    return d;
}

Result<Database> Database::open_read_only(const fs::path& file) {
    auto db = open_checked(file, Access::read_only);
    if (!db) return db.error();
    Database d(std::move(*db), file);
    // Renames cut short by a crash are completed through a connection of their own, when the
    // file can be written at all.
    if (nlx::has_pending_files(*d.db_)) {
        auto writer = sql::Connection::open(file, SQLITE_OPEN_READWRITE);
        if (writer && configure(**writer)) (void)nlx::complete_pending_files(**writer);
    }
    return d;
}

Result<void> Database::create_file() {
    std::error_code ec;
    if (create_folder_ && !path_.parent_path().empty()) {
        made_folders_ = missing_folders(path_.parent_path());
        fs::create_directories(path_.parent_path(), ec);
    }
    auto db = sql::Connection::open(path_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    Result<void> configured = db ? configure(**db) : Result<void>(db.error());
    if (!configured) {
        remove_empty_folders(made_folders_);
        return configured;
    }
    db_ = std::move(*db);
    return {};
}

Result<void> Database::complete_pending_files() {
    if (!db_ || !nlx::has_pending_files(*db_)) return {};
    return nlx::complete_pending_files(*db_);
}

bool Database::has_pending_files() const { return db_ && nlx::has_pending_files(*db_); }

bool Database::has_tables(char model) const {
    const ModelInfo* m = find_model(model);
    if (!m || !db_) return false;
    for (const auto& table : schema::model_tables(*m)) {
        auto cols = schema::table_columns(*db_, table.name);
        if (!cols || !*cols || !schema::same_names(**cols, table.columns)) return false;
    }
    return true;
}

bool Database::has_table(const std::string& table) const {
    if (!db_) return false;
    auto cols = schema::table_columns(*db_, table);
    return cols && *cols;
}

Result<void> Database::ensure_tables(char model) {
    auto m = model_of(model);
    if (!m) return m.error();
    return transaction([&] { return create_missing_tables(*db_, **m, true); });
}

Result<void> Database::replace_model(char model, std::span<const DecodedGroup> groups, const GroupHook& after_group,
                                     std::span<const PendingFile> staged, TransferEntry* logged,
                                     Replaced* replaced) {
    auto found = model_of(model);
    if (!found) return found.error();
    const ModelInfo& m = **found;
    const auto tables = schema::model_tables(m);

    return transaction([&]() -> Result<void> {
        if (auto r = create_missing_tables(*db_, m, true); !r) return r;
        if (replaced) {
            auto count = sql::Statement::prepare(*db_, "SELECT count(*) FROM " + sql::quote_identifier(tables[0].name));
            if (!count) return count.error();
            auto row = count->step();
            if (!row) return row.error();
            replaced->groups = *row ? std::size_t(count->column_int(0)) : 0;
            auto source = transfer_log::latest_storing(*db_, model);
            if (!source) return source.error();
            replaced->transfer = *source;
        }
        for (auto it = tables.rbegin(); it != tables.rend(); ++it)
            if (auto r = db_->exec("DELETE FROM " + sql::quote_identifier(it->name)); !r) return r;

        auto insert_sql = [](const schema::TableSpec& t) {
            std::string names, marks;
            for (std::size_t i = 0; i < t.columns.size(); ++i) {
                names += (i ? ", " : "") + sql::quote_identifier(t.columns[i].name);
                marks += i ? ", ?" : "?";
            }
            return "INSERT INTO " + sql::quote_identifier(t.name) + " (" + names + ") VALUES (" + marks + ")";
        };
        auto records = sql::Statement::prepare(*db_, insert_sql(tables[0]));
        if (!records) return records.error();
        std::optional<sql::Statement> distribution;
        if (m.has_distribution) {
            auto s = sql::Statement::prepare(*db_, insert_sql(tables[1]));
            if (!s) return s.error();
            distribution.emplace(std::move(*s));
        }

        const std::size_t columns = m.record_columns.size();
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const DecodedGroup& group = groups[g];
            auto which = [g] { return "group " + std::to_string(g + 1) + ": "; };
            if (group.record.size() != columns)
                return fail(which() + "the record row has " + std::to_string(group.record.size()) +
                            " cells, table " + tables[0].name + " has " + std::to_string(columns) + " columns");
            // run() leaves the statement reset; every parameter is bound anew below.
            for (std::size_t i = 0; i < columns; ++i) {
                // The groups outlive the statement's run: no copy of each cell.
                if (group.record[i]) records->bind_text_in_place(int(i) + 1, *group.record[i]);
                else records->bind_null(int(i) + 1);
            }
            if (auto r = records->run(); !r) return fail(which() + r.message());

            if (group.distribution) {
                const DistributionRow& row = *group.distribution;
                if (!distribution)
                    return fail(which() + "model " + std::string(1, model) + " has no distribution table");
                if (row.values.size() > std::size_t(kDistributionValues))
                    return fail(which() + "the distribution row has " + std::to_string(row.values.size()) +
                                " values, at most " + std::to_string(kDistributionValues) + " fit");
                distribution->bind_int(1, row.seq);
                for (int k = 0; k < kDistributionValues; ++k) {
                    if (std::size_t(k) < row.values.size() && row.values[std::size_t(k)])
                        distribution->bind_double(k + 2, *row.values[std::size_t(k)]);
                    else
                        distribution->bind_null(k + 2);
                }
                if (auto r = distribution->run(); !r) return fail(which() + r.message());
            }
            if (after_group && !after_group(g + 1))
                return fail("the download was stopped after " + std::to_string(g + 1) + " groups; the old records are kept");
        }
        if (auto r = record_pending(*db_, staged); !r) return r;
        return logged ? transfer_log::append(*db_, *logged) : Result<void>();
    });
}

Result<void> Database::log_transfer(TransferEntry& entry) {
    return transaction([&] { return transfer_log::append(*db_, entry); });
}

Result<std::vector<TransferEntry>> Database::transfers() const {
    if (!db_) return std::vector<TransferEntry>();
    return transfer_log::read_all(*db_);
}

Result<void> Database::copy_to(const fs::path& file) const {
    if (!db_) return fail("database file " + path_.string() + " does not exist yet: nothing has been stored in it");
    auto target = sql::Connection::open(file, SQLITE_OPEN_READWRITE);
    if (!target) return target.error();
    sqlite3_backup* backup = sqlite3_backup_init((*target)->handle(), "main", db_->handle(), "main");
    if (!backup) return fail("cannot copy to " + file.string() + ": " + (*target)->error_text());
    int rc = sqlite3_backup_step(backup, -1);
    int finished = sqlite3_backup_finish(backup);
    if (rc == SQLITE_FULL || finished == SQLITE_FULL) return fail("cannot copy to " + file.string() + ": the disk is full");
    if (rc != SQLITE_DONE || finished != SQLITE_OK)
        return fail("cannot copy to " + file.string() + ": " + (*target)->error_text());
    return {};
}

Result<long long> Database::begin_recording(const RecordingHeader& header) {
    long long id = 0;
    auto done = transaction([&]() -> Result<void> {
        auto begun = recordings::begin(*db_, header);
        if (!begun) return begun.error();
        id = *begun;
        return {};
    });
    if (!done) return done.error();
    return id;
}

Result<void> Database::append_recorded(long long id, long long first_seq, const std::vector<RecordedSample>& samples) {
    return transaction([&] { return recordings::append(*db_, id, first_seq, samples); });
}

Result<void> Database::end_recording(long long id, std::string_view how) {
    return transaction([&] { return recordings::end(*db_, id, how); });
}

Result<std::vector<RecordingInfo>> Database::recordings() const {
    if (!db_) return std::vector<RecordingInfo>();
    return recordings::read_all(*db_);
}

Result<std::optional<RecordingInfo>> Database::recording(long long id) const {
    if (!db_) return std::optional<RecordingInfo>();
    return recordings::read_one(*db_, id);
}

Result<void> Database::scan_recording(long long id, const std::function<void(const RecordedSample&)>& each) const {
    if (!db_) return fail("the database has no recording " + std::to_string(id));
    return recordings::scan(*db_, id, each);
}

namespace {

std::string column_list(const std::vector<schema::Column>& columns, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) out += (i ? ", " : "") + sql::quote_identifier(columns[i].name);
    return out;
}

// SQLite's rule for text affinity: the declared type mentions CHAR, CLOB or TEXT.
bool is_text_column(const schema::Column& c) {
    std::string type;
    for (char ch : c.type) type += (ch >= 'a' && ch <= 'z') ? char(ch - 'a' + 'A') : ch;
    return type.find("CHAR") != std::string::npos || type.find("CLOB") != std::string::npos ||
           type.find("TEXT") != std::string::npos;
}

// The first row that "SELECT <every column> FROM table <tail>" gives, `tail` made from the
// table's columns and its parameters bound by `bind`; nullopt when there is none.
Result<std::optional<std::vector<Value>>> one_row(
    sql::Connection& db, const std::string& table,
    const std::function<std::string(const std::vector<schema::Column>&)>& tail,
    const std::function<void(sql::Statement&)>& bind) {
    auto columns = schema::table_columns(db, table);
    if (!columns) return columns.error();
    if (!*columns || (*columns)->empty()) return fail("the database has no table " + table);
    const auto& fields = **columns;
    auto stmt = sql::Statement::prepare(db, "SELECT " + column_list(fields, fields.size()) + " FROM " +
                                                sql::quote_identifier(table) + " " + tail(fields));
    if (!stmt) return stmt.error();
    if (bind) bind(*stmt);
    auto row = stmt->step();
    if (!row) return row.error();
    if (!*row) return std::optional<std::vector<Value>>();
    std::vector<Value> values;
    for (int i = 0; i < int(fields.size()); ++i) values.push_back(stmt->column(i));
    return std::optional<std::vector<Value>>(std::move(values));
}

}  // namespace

Result<std::optional<std::vector<Value>>> Database::last_row(const std::string& table) const {
    if (!db_) return fail("the database has no table " + table);
    return one_row(*db_, table, [](const auto&) { return std::string("ORDER BY rowid DESC LIMIT 1"); }, {});
}

Result<void> Database::add_row(const std::string& table, const std::vector<Value>& values) {
    if (!db_) return fail("the database has no table " + table);
    auto columns = schema::table_columns(*db_, table);
    if (!columns) return columns.error();
    if (!*columns) return fail("the database has no table " + table);
    const auto& fields = **columns;
    if (values.size() > fields.size())
        return fail(std::to_string(values.size()) + " values for the " + std::to_string(fields.size()) +
                    " fields of " + table);
    std::string text = "INSERT INTO " + sql::quote_identifier(table);
    if (values.empty()) {
        text += " DEFAULT VALUES";
    } else {
        text += " (" + column_list(fields, values.size()) + ") VALUES (";
        for (std::size_t i = 0; i < values.size(); ++i) text += i ? ", ?" : "?";
        text += ")";
    }
    auto stmt = sql::Statement::prepare(*db_, text);
    if (!stmt) return stmt.error();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Value& v = values[i];
        if (v.is_number() && is_text_column(fields[i])) stmt->bind_text(int(i) + 1, plain_number_text(v.number()));
        else stmt->bind(int(i) + 1, v);
    }
    if (auto r = stmt->run(); !r) return r.error();
    return {};
}

Result<TableContents> Database::read_table(const std::string& table) const {
    if (!db_) return fail("the database has no table " + table);
    auto columns = schema::table_columns(*db_, table);
    if (!columns) return columns.error();
    if (!*columns) return fail("the database has no table " + table);
    TableContents out;
    std::string list;
    for (const auto& c : **columns) {
        list += (list.empty() ? "" : ", ") + sql::quote_identifier(c.name);
        out.columns.push_back(c.name);
    }
    if (out.columns.empty()) return out;
    auto stmt = sql::Statement::prepare(*db_, "SELECT " + list + " FROM " + sql::quote_identifier(table) +
                                                  " ORDER BY rowid");
    if (!stmt) return stmt.error();
    const int n = int(out.columns.size());
    for (;;) {
        auto row = stmt->step();
        if (!row) return row.error();
        if (!*row) break;
        std::vector<Value> values;
        values.reserve(std::size_t(n));
        for (int i = 0; i < n; ++i) values.push_back(stmt->column(i));
        out.rows.push_back(std::move(values));
    }
    return out;
}

Result<std::optional<std::vector<Value>>> Database::find_row(const std::string& table, double number) const {
    if (!db_) return fail("the database has no table " + table);
    return one_row(
        *db_, table,
        [](const std::vector<schema::Column>& fields) {
            return "WHERE " + sql::quote_identifier(fields.front().name) + " = ?1 ORDER BY rowid LIMIT 1";
        },
        [number](sql::Statement& stmt) { stmt.bind_double(1, number); });
}

Result<void> Database::transaction(const std::function<Result<void>()>& body) {
    const bool created = !db_;
    if (created)
        if (auto r = create_file(); !r) return r;
    auto undo_creation = [&] {
        // Nothing was stored: the file this change made goes again.
        if (!created) return;
        db_.reset();
        std::error_code ec;
        fs::remove(path_, ec);
        fs::remove(fs::path(path_.string() + "-journal"), ec);
        remove_empty_folders(made_folders_);
        made_folders_.clear();
    };
    Result<void> done = [&]() -> Result<void> {
        auto tx = sql::Transaction::begin(*db_);
        if (!tx) return tx.error();
        // A new file, and a file whose model tables are not all there yet, gets them with the
        // first change that succeeds.
        // A file of an earlier version is brought up to this one in the same change; one that
        // a newer program has changed meanwhile is left to it.
        if (!tables_seen_at_ || schema_version(*db_) != tables_seen_at_) {
            if (auto r = check_version(*db_, path_); !r) return r;
            for (const auto& m : all_models())
                if (auto r = create_missing_tables(*db_, m, false); !r) return r;
            if (auto r = db_->exec(transfer_log::create_sql()); !r) return r;
            if (auto r = db_->exec(pending_files_create_sql()); !r) return r;
            for (const auto& sql : recordings::create_sql())
                if (auto r = db_->exec(sql); !r) return r;
            auto version = schema::header_number(*db_, "user_version");
            if (!version) return version.error();
            if (*version < schema::kSchemaVersion) {
                if (auto r = db_->exec("PRAGMA application_id = " + std::to_string(schema::kApplicationId)); !r) return r;
                if (auto r = db_->exec("PRAGMA user_version = " + std::to_string(schema::kSchemaVersion)); !r) return r;
            }
        }
        if (auto r = body(); !r) return r;
        return tx->commit();
    }();
    // Nothing here removes a table; the version after the change is one at which all are there.
    tables_seen_at_ = done && !db_->in_transaction() ? schema_version(*db_) : std::nullopt;
    if (!done) {
        undo_creation();
        return done;
    }
    return {};
}

}  // namespace nlx
