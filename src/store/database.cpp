// Opening, checking and filling record database files; every change is a single transaction.
#include "store/database.h"

#include <sqlite3.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

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
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return {};
    char buf[20] = {};
    std::size_t got = 0;
    while (got < sizeof buf) {
        const ssize_t n = ::read(fd, buf + got, sizeof buf - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += std::size_t(n);
    }
    ::close(fd);
    if (got < sizeof buf) return {};
    return {std::equal(buf, buf + 16, kHeader), buf[18] == 2};
}

Result<void> configure(sql::Connection& db) {
    sqlite3_busy_timeout(db.handle(), kBusyTimeoutMs);
    // Per connection: a committed change is on disk before the commit returns.
    return db.exec("PRAGMA synchronous = FULL");
}

// The header of a record database names this program (or nothing, as before it did) and a
// version of the tables this program knows.
Result<void> check_version(const schema::Header& header, const fs::path& file) {
    if (header.application_id != 0 && header.application_id != schema::kApplicationId) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08llX", static_cast<unsigned long long>(header.application_id) & 0xFFFFFFFFull);
        return not_a_record_database(file.string() + " is not a record database of this program: its application id is " +
                                     hex + "; nothing was changed");
    }
    if (header.user_version > schema::kSchemaVersion)
        return not_a_record_database(file.string() + " is a record database of version " +
                                     std::to_string(header.user_version) + ", newer than version " +
                                     std::to_string(schema::kSchemaVersion) +
                                     ", the newest this program knows: open it with a newer nlx; nothing was changed");
    return {};
}

// The tables of this program besides the model tables, with their CREATE TABLE IF NOT EXISTS
// texts and their columns (also as the table list holds them: only the names are checked).
struct OwnTable {
    std::string_view name;
    std::string create;
    std::vector<std::string> columns;
    const char* what;
    std::vector<schema::Column> listed = {};
};

// Made once: every open and change looks them up.
const std::vector<OwnTable>& own_tables() {
    static const std::vector<OwnTable> tables = [] {
        auto recordings = recordings::create_sql();
        std::vector<OwnTable> out{
            {kTransferLogTable, transfer_log::create_sql(), transfer_log::column_names(), "the transfer log"},
            {kPendingFilesTable, pending_files_create_sql(), pending_files_columns(), "the list of history files"},
            {kRecordingsTable, recordings[0], recordings::recording_columns(), "the recordings of the live level"},
            {kRecordingSamplesTable, recordings[1], recordings::sample_columns(), "the recordings of the live level"}};
        for (auto& t : out)
            for (const auto& c : t.columns) t.listed.push_back({c, {}});
        return out;
    }();
    return tables;
}

// Every table this program makes, as it makes it.
const std::vector<schema::TableShape>& table_shapes() {
    static const std::vector<schema::TableShape> shapes = [] {
        std::vector<schema::TableShape> out;
        for (const auto& m : all_models())
            for (const auto& table : schema::model_tables(m))
                out.push_back({table.name, schema::create_table_sql(table), &table.columns});
        for (const auto& own : own_tables())
            out.push_back({std::string(own.name), schema::stored_create_sql(own.create), &own.listed});
        return out;
    }();
    return shapes;
}

// Every table a change needs is there and the header names this version of the tables: a change
// has nothing to add first.
bool complete(const schema::TableList& tables, const schema::Header& header) {
    if (header.user_version != schema::kSchemaVersion) return false;
    for (const auto& m : all_models())
        for (const auto& table : schema::model_tables(m))
            if (!tables.find(table.name)) return false;
    for (const auto& own : own_tables())
        if (!tables.find(own.name)) return false;
    return true;
}

// A record database holds the record table of at least one model, and every table it has under a
// model table's name has that table's columns.
Result<void> check_record_database(const schema::TableList& tables, const schema::Header& header, const fs::path& file) {
    bool has_records = false;
    for (const auto& m : all_models()) {
        for (const auto& table : schema::model_tables(m)) {
            const auto* cols = tables.find(table.name);
            if (!cols) continue;
            if (!schema::same_names(*cols, table.columns))
                return not_a_record_database(file.string() + " is not a record database of this program: table " +
                                             table.name + " does not have the columns of model " +
                                             std::string(1, m.letter) + "; nothing was changed");
            if (table.name == record_table_name(m.letter)) has_records = true;
        }
    }
    if (!has_records) return not_a_record_database();
    for (const auto& own : own_tables()) {
        const auto* found = tables.find(own.name);
        if (!found) continue;
        std::vector<std::string> names;
        for (const auto& c : *found) names.push_back(c.name);
        if (names != own.columns)
            return not_a_record_database(file.string() + " is not a record database of this program: table " +
                                         std::string(own.name) + " does not have the columns of " + own.what +
                                         "; nothing was changed");
    }
    return check_version(header, file);
}

// Creates whichever of the model's tables the list lacks, adding them to it; with `check`, a
// table there must have the model's columns.
Result<void> create_missing_tables(sql::Connection& db, schema::TableList& tables, const ModelInfo& model, bool check) {
    for (const auto& table : schema::model_tables(model)) {
        const auto* cols = tables.find(table.name);
        if (!cols) {
            if (auto r = db.exec(schema::create_table_sql(table)); !r) return r;
            tables.add_kept(table.name, table.columns);
        } else if (check && !schema::same_names(*cols, table.columns)) {
            return fail("table " + table.name + " does not have the columns of model " +
                        std::string(1, model.letter));
        }
    }
    return {};
}

// A read transaction: the statements inside it see one state of the file.
class ReadSnapshot {
public:
    explicit ReadSnapshot(sql::Connection& db) : db_(db.in_transaction() ? nullptr : &db) {
        if (db_ && !db_->exec("BEGIN")) db_ = nullptr;
    }
    ~ReadSnapshot() {
        if (db_ && db_->in_transaction()) (void)db_->exec("COMMIT");
    }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    sql::Connection* db_;
};

// SQLite's count of changes to the file's schema; nullopt when it cannot be read.
std::optional<long long> schema_version(sql::Connection& db) {
    auto stmt = sql::Statement::prepare(db, "PRAGMA schema_version");
    if (!stmt) return std::nullopt;
    auto row = stmt->step();
    if (!row || !*row) return std::nullopt;
    return stmt->column_int(0);
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

struct Opened {
    std::shared_ptr<sql::Connection> db;
    Database::KnownTables known;
    bool pending = false;  // renames listed, in the same read as the tables
};

// Opens an existing file and checks it is a record database; nothing in the file changes. The
// tables and header are read once, in one read transaction, and kept for the first change.
// SQLite's flag for a connection used by one thread at a time: no locking of it on every call.
int thread_flag(Database::Threads threads) { return threads == Database::Threads::one_at_a_time ? SQLITE_OPEN_NOMUTEX : 0; }

Result<Opened> open_checked(const fs::path& file, Access access, Database::Threads threads) {
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
    auto db = sql::Connection::open(
        file, (access == Access::read_write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | thread_flag(threads));
    if (!db) return db.error();
    Database::KnownTables known;
    bool pending = false;
    auto checked_in_one_read = [&](sql::Connection& c) -> Result<void> {
        ReadSnapshot snapshot(c);
        // The header's numbers need no schema: reading them first starts the snapshot's read,
        // in which the schema is then read for the table list, rather than in a read of its own.
        auto header = schema::read_header(c);
        if (!header) return not_a_record_database(header.message());
        // Reading the tables also proves the file is an SQLite database.
        auto tables = schema::read_table_list(c, table_shapes());
        if (!tables) return not_a_record_database(tables.message());
        if (auto r = check_record_database(*tables, *header, file); !r) return r;
        pending = tables->find(kPendingFilesTable) && has_pending_files(c);
        known = {header->schema_version, std::move(*tables), false};
        known.complete = complete(known.tables, *header);
        return {};
    };
    auto usable = [&](sql::Connection& c) -> Result<void> {
        // The check waits for a writer as any statement does. The safety level is set after it
        // (it cannot change inside the snapshot): by then the schema it needs is read, and
        // setting it takes no read of the file of its own.
        sqlite3_busy_timeout(c.handle(), kBusyTimeoutMs);
        if (auto r = checked_in_one_read(c); !r) return r;
        return configure(c);
    };
    auto checked = usable(**db);
    if (!checked && access == Access::read_only && start.wal) {
        // A WAL database on a read-only medium cannot make its shared-memory file: read it as
        // an unchangeable file instead.
        auto fixed = sql::Connection::open(immutable_uri(file),
                                           SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | thread_flag(threads));
        if (fixed) {
            db = std::move(fixed);
            checked = usable(**db);
        }
    }
    if (!checked) return checked.error();
    return Opened{std::move(*db), std::move(known), pending};
}

}  // namespace

Result<Database> Database::create_or_open(const fs::path& file, bool create_folder, Threads threads) {
    std::error_code ec;
    auto status = fs::status(file, ec);
    bool missing = !fs::exists(status);
    if (!missing && !fs::is_regular_file(status)) return not_a_record_database();
    bool empty = !missing && fs::file_size(file, ec) == 0 && !ec;
    if (missing || empty) {
        Database d(nullptr, file);
        d.create_folder_ = create_folder;
        d.threads_ = threads;
        return d;
    }
    return open_existing(file, threads);
}

Result<Database> Database::open_checked_file(const fs::path& file, bool read_only, Threads threads) {
    auto opened = open_checked(file, read_only ? Access::read_only : Access::read_write, threads);
    if (!opened) return opened.error();
    Database d(std::move(opened->db), file);
    d.known_ = std::move(opened->known);
    d.pending_after_open_ = opened->pending;
    d.threads_ = threads;
    return d;
}

Result<Database> Database::open_existing(const fs::path& file, Threads threads) {
    auto d = open_checked_file(file, false, threads);
    // A rename that still fails stays listed for the next open; the records are sound meanwhile.
    if (d && d->pending_after_open_) {
        (void)d->complete_pending_files();
        d->pending_after_open_ = d->has_pending_files();
    }
    return d;
}

Result<Database> Database::open_read_only(const fs::path& file, Threads threads) {
    auto opened = open_checked_file(file, true, threads);
    if (!opened) return opened;
    Database& d = *opened;
    // Renames cut short by a crash are completed through a connection of their own, when the
    // file can be written at all.
    if (d.pending_after_open_) {
        auto writer = sql::Connection::open(file, SQLITE_OPEN_READWRITE);
        if (writer && configure(**writer)) (void)nlx::complete_pending_files(**writer);
        d.pending_after_open_ = d.has_pending_files();
    }
    return opened;
}

Result<void> Database::create_file() {
    std::error_code ec;
    if (create_folder_ && !path_.parent_path().empty()) {
        made_folders_ = missing_folders(path_.parent_path());
        fs::create_directories(path_.parent_path(), ec);
    }
    auto db = sql::Connection::open(path_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | thread_flag(threads_));
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

Result<schema::Header> Database::read_known_tables() const {
    auto header = schema::read_header(*db_);
    if (!header) return header.error();
    if (!known_ || known_->version != header->schema_version) {
        auto tables = schema::read_table_list(*db_, table_shapes());
        if (!tables) return tables.error();
        known_ = KnownTables{header->schema_version, std::move(*tables), false};
    }
    return header;
}

Result<const schema::TableList*> Database::current_tables() const {
    if (!db_) return fail("the database has no tables yet");
    ReadSnapshot snapshot(*db_);
    auto header = read_known_tables();
    if (!header) return header.error();
    if (!known_->complete) known_->complete = complete(known_->tables, *header);
    return &known_->tables;
}

bool Database::has_tables(const ModelInfo& model) const {
    auto tables = current_tables();
    if (!tables) return false;
    for (const auto& table : schema::model_tables(model)) {
        const auto* cols = (*tables)->find(table.name);
        if (!cols || !schema::same_names(*cols, table.columns)) return false;
    }
    return true;
}

bool Database::has_table(const std::string& table) const {
    auto tables = current_tables();
    return tables && (*tables)->find(table);
}

Result<void> Database::ensure_tables(const ModelInfo& model) {
    return transaction([&] { return create_missing_tables(*db_, known_->tables, model, true); });
}

Result<void> Database::replace_model(const ModelInfo& m, std::span<const DecodedGroup> groups, const GroupHook& after_group,
                                     std::span<const PendingFile> staged, TransferEntry* logged,
                                     Replaced* replaced) {
    bool stopped = false;
    std::size_t written = 0;
    auto feed = [&](const std::function<bool(const DecodedGroup&)>& store) {
        for (const auto& group : groups) {
            if (!store(group)) return;
            if (after_group && !after_group(++written)) {
                stopped = true;
                return;
            }
        }
    };
    auto stage = [&]() -> Result<std::span<const PendingFile>> {
        if (stopped)
            return fail("the download was stopped after " + std::to_string(written) + " groups; the old records are kept");
        return staged;
    };
    return replace_model_streamed(m, feed, stage, logged, replaced);
}

Result<void> Database::replace_model_streamed(const ModelInfo& m, const GroupFeed& feed, const StageFiles& stage,
                                              TransferEntry* logged, Replaced* replaced) {
    const auto& tables = schema::model_tables(m);

    return transaction([&]() -> Result<void> {
        if (auto r = create_missing_tables(*db_, known_->tables, m, true); !r) return r;
        if (replaced) {
            auto count = sql::Statement::prepare(*db_, "SELECT count(*) FROM " + sql::quote_identifier(tables[0].name));
            if (!count) return count.error();
            auto row = count->step();
            if (!row) return row.error();
            replaced->groups = *row ? std::size_t(count->column_int(0)) : 0;
            auto source = transfer_log::latest_storing(*db_, m.letter);
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
        std::size_t g = 0;
        auto store = [&](const DecodedGroup& group) -> Result<void> {
            ++g;
            auto which = [g] { return "group " + std::to_string(g) + ": "; };
            if (group.record.size() != columns)
                return fail(which() + "the record row has " + std::to_string(group.record.size()) +
                            " cells, table " + tables[0].name + " has " + std::to_string(columns) + " columns");
            // run() leaves the statement reset; every parameter is bound anew below.
            for (std::size_t i = 0; i < columns; ++i) {
                // The group outlives the statement's run: no copy of each cell.
                if (group.record[i]) records->bind_text_in_place(int(i) + 1, *group.record[i]);
                else records->bind_null(int(i) + 1);
            }
            if (auto r = records->run(); !r) return fail(which() + r.message());

            if (group.distribution) {
                const DistributionRow& row = *group.distribution;
                if (!distribution)
                    return fail(which() + "model " + std::string(1, m.letter) + " has no distribution table");
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
            return {};
        };
        Result<void> written;
        feed([&](const DecodedGroup& group) { return bool(written = store(group)); });
        if (!written) return written;
        auto staged = stage ? stage() : Result<std::span<const PendingFile>>(std::span<const PendingFile>());
        if (!staged) return staged.error();
        if (auto r = record_pending(*db_, *staged); !r) return r;
        if (!staged->empty()) listed_since_open_ = true;
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

Result<void> Database::scan_table(const std::string& table,
                                  const std::function<void(const std::vector<std::string>&)>& columns,
                                  const std::function<void(std::span<const ValueView>)>& row) const {
    if (!db_) return fail("the database has no table " + table);
    auto tables = current_tables();
    if (!tables) return tables.error();
    const auto* found = (*tables)->find(table);
    if (!found) return fail("the database has no table " + table);
    std::vector<std::string> names;
    std::string list;
    for (const auto& c : *found) {
        list += (list.empty() ? "" : ", ") + sql::quote_identifier(c.name);
        names.push_back(c.name);
    }
    columns(names);
    if (names.empty()) return {};
    auto stmt = sql::Statement::prepare(*db_, "SELECT " + list + " FROM " + sql::quote_identifier(table) +
                                                  " ORDER BY rowid");
    if (!stmt) return stmt.error();
    std::vector<ValueView> values(names.size());
    for (;;) {
        auto more = stmt->step();
        if (!more) return more.error();
        if (!*more) break;
        for (std::size_t i = 0; i < values.size(); ++i) values[i] = stmt->column_view(int(i));
        row(values);
    }
    return {};
}

Result<TableContents> Database::read_table(const std::string& table) const {
    TableContents out;
    auto scanned = scan_table(
        table, [&](const std::vector<std::string>& columns) { out.columns = columns; },
        [&](std::span<const ValueView> values) {
            std::vector<Value> row;
            row.reserve(values.size());
            for (const auto& v : values) row.push_back(v.value());
            out.rows.push_back(std::move(row));
        });
    if (!scanned) return scanned.error();
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
    std::optional<long long> version_after;
    Result<void> done = [&]() -> Result<void> {
        auto tx = sql::Transaction::begin(*db_);
        if (!tx) return tx.error();
        // A new file, and a file whose model tables are not all there yet, gets them with the
        // first change that succeeds.
        // A file of an earlier version is brought up to this one in the same change; one that
        // a newer program has changed meanwhile is left to it. The tables are looked up again
        // only when the file's schema changed since they were last read.
        auto header = read_known_tables();
        if (!header) return header.error();
        if (!known_->complete || header->user_version != schema::kSchemaVersion) {
            if (auto r = check_version(*header, path_); !r) return r;
            for (const auto& m : all_models())
                if (auto r = create_missing_tables(*db_, known_->tables, m, false); !r) return r;
            for (const auto& own : own_tables()) {
                if (known_->tables.find(own.name)) continue;
                if (auto r = db_->exec(own.create); !r) return r;
                known_->tables.add_kept(std::string(own.name), own.listed);
            }
            if (header->user_version < schema::kSchemaVersion) {
                if (auto r = db_->exec("PRAGMA application_id = " + std::to_string(schema::kApplicationId)); !r) return r;
                if (auto r = db_->exec("PRAGMA user_version = " + std::to_string(schema::kSchemaVersion)); !r) return r;
            }
        }
        if (auto r = body(); !r) return r;
        // The schema's count as the commit leaves it, read while the change still holds the
        // file: no other writer can come between, and no read of its own is needed after.
        version_after = schema_version(*db_);
        return tx->commit();
    }();
    // Nothing here removes a table; the version after the change is one at which all are there.
    // Inside a change still open around this one, which may yet roll them back, the list stays
    // for that change's own work but is read again by the next change.
    if (db_->in_transaction()) {
        known_->version = -1;
        known_->complete = false;
    } else if (auto version = done ? version_after : std::nullopt) {
        known_->version = *version;
        known_->complete = true;
    } else {
        known_.reset();
    }
    if (!done) {
        undo_creation();
        return done;
    }
    return {};
}

}  // namespace nlx
