// A small RAII layer over the SQLite C API: a connection, prepared statements, transactions.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "core/result.h"
#include "store/value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace nlx::sql {

// One open SQLite connection; closed when the last owner lets go of it.
class Connection {
public:
    // `flags` are sqlite3_open_v2 flags.
    static Result<std::shared_ptr<Connection>> open(const std::filesystem::path& file, int flags);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return db_; }
    Result<void> exec(const std::string& sql);
    std::string error_text() const;
    bool in_transaction() const;
    long long last_insert_rowid() const;

private:
    explicit Connection(sqlite3* db) : db_(db) {}
    sqlite3* db_;
};

// A prepared statement; finalized on destruction.
class Statement {
public:
    static Result<Statement> prepare(Connection& db, const std::string& sql);
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    ~Statement();

    // Parameters are numbered from 1.
    void bind(int index, const Value& value);
    void bind_text(int index, std::string_view text);
    // Binds without a copy: `text` must stay unchanged until the statement is next run or reset.
    void bind_text_in_place(int index, std::string_view text);
    void bind_int(int index, long long number);
    void bind_double(int index, double number);
    void bind_null(int index);

    // true when a row is ready, false when the statement has finished.
    Result<bool> step();
    // Runs a statement that returns no rows, then resets it.
    Result<void> run();
    // Ready to run again with new parameters.
    void reset();

    // Columns are numbered from 0.
    int column_count() const;
    Value column(int index) const;
    // The same without a copy, valid until the next step; a blob reads as text, as column() gives it.
    ValueView column_view(int index) const;
    std::string column_text(int index) const;
    long long column_int(int index) const;
    bool column_is_null(int index) const;

private:
    explicit Statement(sqlite3_stmt* stmt) : stmt_(stmt) {}
    sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE ... COMMIT, or a savepoint when a transaction is already open; rolled back on
// destruction unless committed.
class Transaction {
public:
    static Result<Transaction> begin(Connection& db);
    Transaction(Transaction&& other) noexcept;
    Transaction& operator=(Transaction&&) = delete;
    ~Transaction();

    Result<void> commit();

private:
    Transaction(Connection* db, bool nested) : db_(db), nested_(nested) {}
    Connection* db_;
    bool nested_;
};

// An engine failure as the operator reads it: the database file, then what is wrong in plain
// words ("the disk is full", "the database file is damaged").
std::string failure_text(sqlite3* db, int rc);

// "name" with inner quotes doubled, for table and column names.
std::string quote_identifier(std::string_view name);
// The same, appended to `out`.
void append_quoted_identifier(std::string& out, std::string_view name);

}  // namespace nlx::sql
