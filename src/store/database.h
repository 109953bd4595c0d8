// A record database file: one SQLite connection on the file that holds every model's tables.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"
#include "core/rows.h"
#include "store/pending_files.h"
#include "store/recordings.h"
#include "store/schema.h"
#include "store/value.h"
#include "store/sqlite.h"
#include "store/table_contents.h"
#include "store/transfer_log.h"

namespace nlx {

// Several Database objects may be open on the same file at once (the program keeps two, Data1
// and Data2); each change is one transaction, so a crash leaves the old or the new contents.
// Opening changes nothing: a file is created, and missing model tables added, only by the first
// change that succeeds, so a command that fails leaves every file as it was.
class Database {
public:
    // How a Database is used: from any thread at any time, or by one thread at a time (as every
    // command of nlx does), which spares SQLite locking the connection on every call.
    enum class Threads { any, one_at_a_time };

    // Opens a record database for reading and changing. A missing (or empty) file is created
    // with the tables of all models when something is first stored in it (with its folder too
    // when `create_folder`). A file that is not a record database of this program is refused
    // with "打开的文件不存在或格式错误", followed by the reason for a foreign table.
    static Result<Database> create_or_open(const std::filesystem::path& file, bool create_folder = false,
                                           Threads threads = Threads::any);
    // Opens an existing record database for reading and changing (read-only when the file or
    // its medium cannot be written); refuses a missing file and one that is not a record database.
    static Result<Database> open_existing(const std::filesystem::path& file, Threads threads = Threads::any);
    // Opens an existing record database for reading only; works on a read-only medium.
    static Result<Database> open_read_only(const std::filesystem::path& file, Threads threads = Threads::any);

    Database(Database&&) noexcept = default;
    Database& operator=(Database&&) noexcept = default;

    // Both tables of the model (the record table alone for a model without distribution rows)
    // exist with the model's columns.
    bool has_tables(const ModelInfo& model) const;
    // The file holds a table of this name (letter case ignored).
    bool has_table(const std::string& table) const;
    // Creates the model's missing tables; fails when a table exists with other columns.
    Result<void> ensure_tables(const ModelInfo& model);

    // What a replace took away: the record rows the model's table held, and the newest entry of
    // the transfer log that stored records of the model (0 when none did), whose 恢复 brings
    // them back.
    struct Replaced {
        std::size_t groups = 0;
        long long transfer = 0;
    };

    // Called after each group is written with the count written so far; returning false
    // abandons the replace.
    using GroupHook = std::function<bool(std::size_t groups_written)>;

    // Empties the model's tables and writes the groups (record row, optional distribution row),
    // keeping their order, in one transaction with the list of the history files to put in
    // place (`staged`) and, when `logged` is given, its entry in the transfer log (whose id is
    // then set): on any failure nothing changes. Creates the model's missing tables. `replaced`,
    // when given, is told what the groups replaced. The renames are completed after the commit;
    // see pending_files.h.
    Result<void> replace_model(const ModelInfo& model, std::span<const DecodedGroup> groups,
                               const GroupHook& after_group = {},
                               std::span<const PendingFile> staged = {}, TransferEntry* logged = nullptr,
                               Replaced* replaced = nullptr);

    // The groups of a streamed replace: `feed` calls `store` with each group in order and stops
    // once `store` returns false (the write failed).
    using GroupFeed = std::function<void(const std::function<bool(const DecodedGroup&)>& store)>;
    // Runs inside the replace's transaction after the last group is written: the history-file
    // renames to list with the records. A failure abandons the replace.
    using StageFiles = std::function<Result<std::span<const PendingFile>>()>;

    // The same replace with the groups handed over one at a time, as a decoder makes them, so
    // that a transfer is never held whole in memory; the history files are staged by `stage`
    // once every group is written, before the commit.
    Result<void> replace_model_streamed(const ModelInfo& model, const GroupFeed& feed, const StageFiles& stage,
                                        TransferEntry* logged = nullptr, Replaced* replaced = nullptr);

    // Adds an entry to the transfer log alone (a transfer that replaced nothing) and sets its id.
    Result<void> log_transfer(TransferEntry& entry);

    // The transfer log, newest entry first; empty for a file that has none yet.
    Result<std::vector<TransferEntry>> transfers() const;

    // Recordings of the live level, in tables of their own beside the model tables. Each call
    // is one transaction: a recording stored batch by batch survives a kill but for its last.
    Result<long long> begin_recording(const RecordingHeader& header);
    Result<void> append_recorded(long long id, long long first_seq, const std::vector<RecordedSample>& samples);
    Result<void> end_recording(long long id, std::string_view how);
    // Every recording, oldest first, with its summary; empty for a file that has none yet.
    Result<std::vector<RecordingInfo>> recordings() const;
    Result<std::optional<RecordingInfo>> recording(long long id) const;
    // The recording's samples in order, one at a time.
    Result<void> scan_recording(long long id, const std::function<void(const RecordedSample&)>& each) const;

    // Completes history-file renames listed by an earlier change that was cut short.
    Result<void> complete_pending_files();
    // Renames are still listed (they could not be completed yet): their temporaries must stay.
    bool has_pending_files() const;
    // The same, as the open left it: read with the file's tables, and again only after the open
    // completed listed renames. A command that opens, tidies and stores asks this.
    bool pending_files_after_open() const { return pending_after_open_; }
    // Renames may be listed that this connection knows of: the open found some, or a change of
    // its own listed some since. Those another connection listed since the open are known only
    // by asking (has_pending_files), best inside the transaction that stores.
    bool may_have_pending_files() const { return pending_after_open_ || listed_since_open_; }

    // The row added last, every column in table order; nullopt when the table is empty. Fails
    // when the table does not exist.
    Result<std::optional<std::vector<Value>>> last_row(const std::string& table) const;
    // Adds a row with `values` for its first columns, the rest NULL. A number for a text column
    // is stored as its plain text ("10", "1.5"), as the desktop database engine wrote it.
    Result<void> add_row(const std::string& table, const std::vector<Value>& values);

    // The whole table in one query: its columns and every row in insertion order. Fails when
    // the table does not exist.
    Result<TableContents> read_table(const std::string& table) const;
    // The same one row at a time, without copying a value: `columns` is told the column names,
    // then `row` each row's values (valid during the call only). A failure part way through
    // leaves the rows already handed over.
    Result<void> scan_table(const std::string& table, const std::function<void(const std::vector<std::string>&)>& columns,
                            const std::function<void(std::span<const ValueView>)>& row) const;

    // The first row (in insertion order) whose first column equals `number`, every column in
    // table order; nullopt when no row matches. Fails when the table does not exist.
    Result<std::optional<std::vector<Value>>> find_row(const std::string& table, double number) const;

    // Runs `body` in one transaction: its changes are kept when it succeeds, none when it fails.
    Result<void> transaction(const std::function<Result<void>()>& body);

    // Writes a consistent copy of the whole database into `file`, which must be new or empty.
    Result<void> copy_to(const std::filesystem::path& file) const;

    const std::filesystem::path& path() const { return path_; }
    // False until something is stored in a database whose file did not exist yet.
    bool exists() const { return db_ != nullptr; }

    // The tables of the file at a schema version; `complete` when every table a change needs is
    // there and the header names this version of the tables, so that a change adds nothing first.
    struct KnownTables {
        long long version = -1;
        schema::TableList tables;
        bool complete = false;
    };

private:
    // The file's header now; the list of its tables is read again (and not yet judged complete)
    // when the schema changed since the list was kept.
    Result<schema::Header> read_known_tables() const;
    // The file's tables now: the list kept, unless the schema changed since it was read.
    Result<const schema::TableList*> current_tables() const;
    Database(std::shared_ptr<sql::Connection> db, std::filesystem::path path)
        : db_(std::move(db)), path_(std::move(path)) {}
    // An existing record database, its tables checked, before any pending renames are completed.
    static Result<Database> open_checked_file(const std::filesystem::path& file, bool read_only, Threads threads);
    // Opens (creating) the file for the first change; the change then adds every model's tables.
    Result<void> create_file();

    std::shared_ptr<sql::Connection> db_;  // null while the file is still to be created
    std::filesystem::path path_;
    bool create_folder_ = false;
    Threads threads_ = Threads::any;
    std::vector<std::filesystem::path> made_folders_;  // by create_file, removed when its change fails
    // The file's tables as last read, at the schema version (SQLite's count of schema changes)
    // they were read at: unchanged, they need no looking up again.
    mutable std::optional<KnownTables> known_;
    bool pending_after_open_ = false;
    bool listed_since_open_ = false;  // a change of this connection listed renames
};

}  // namespace nlx
