// A record database file: one SQLite connection on the file that holds every model's tables.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "core/result.h"
#include "core/rows.h"
#include "store/rowset.h"
#include "store/table_contents.h"
#include "store/sqlite.h"

namespace nlx {

// Several Database objects may be open on the same file at once (the program keeps two, Data1
// and Data2); each change is one transaction, so a crash leaves the old or the new contents.
class Database {
public:
    // Opens a record database, creating a missing (or empty) file with the tables of all models
    // and adding any missing model tables. A file that is not a record database is refused with
    // "打开的文件不存在或格式错误" and left untouched.
    static Result<Database> create_or_open(const std::filesystem::path& file);
    // Opens an existing record database without creating or changing anything; refuses a
    // missing file and a file that is not a record database.
    static Result<Database> open_existing(const std::filesystem::path& file);

    Database(Database&&) noexcept = default;
    Database& operator=(Database&&) noexcept = default;

    // Both tables of the model (the record table alone for a model without distribution rows)
    // exist with the model's columns.
    bool has_tables(char model) const;
    // The file holds a table of this name (letter case ignored).
    bool has_table(const std::string& table) const;
    // Creates the model's missing tables; fails when a table exists with other columns.
    Result<void> ensure_tables(char model);

    // Called after each group is written with the count written so far; returning false
    // abandons the replace.
    using GroupHook = std::function<bool(std::size_t groups_written)>;

    // Empties the model's tables and writes the groups (record row, optional distribution row),
    // keeping their order, in one transaction: on any failure nothing changes. Creates the
    // model's missing tables.
    Result<void> replace_model(char model, std::span<const DecodedGroup> groups,
                               const GroupHook& after_group = {});

    // A rowset on one table, positioned on its first row.
    Result<Rowset> rowset(const std::string& table);

    // The whole table in one query: its columns and every row in insertion order. Fails when
    // the table does not exist.
    Result<TableContents> read_table(const std::string& table) const;

    // Runs `body` in one transaction: its changes are kept when it succeeds, none when it fails.
    Result<void> transaction(const std::function<Result<void>()>& body);

    // Writes a consistent copy of the whole database into `file`, which must be new or empty.
    Result<void> copy_to(const std::filesystem::path& file) const;

    const std::filesystem::path& path() const { return path_; }

private:
    Database(std::shared_ptr<sql::Connection> db, std::filesystem::path path)
        : db_(std::move(db)), path_(std::move(path)) {}

    std::shared_ptr<sql::Connection> db_;
    std::filesystem::path path_;
};

}  // namespace nlx
