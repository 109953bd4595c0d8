// A rowset on one table: a cursor over its rows in the order they were added.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "store/schema.h"
#include "store/sqlite.h"
#include "store/value.h"

namespace nlx {

// Row positions are loaded when the rowset opens or refreshes; field values are read from the
// file when a row becomes current, so changes committed by another connection show after refresh().
// Before the first row is bof(), after the last eof(); an empty rowset is both.
class Rowset {
public:
    // Opens a rowset on `table` positioned on its first row; fails when the table does not exist.
    static Result<Rowset> open(std::shared_ptr<sql::Connection> db, const std::string& table);

    const std::string& table() const { return table_; }

    // Reloads the rows (seeing everything committed since) and moves to the first.
    Result<void> refresh();

    bool bof() const;
    bool eof() const;
    std::size_t record_count() const { return keys_.size(); }
    // Zero-based position of the current row; -1 at bof, record_count() at eof.
    long long position() const { return pos_; }

    void move_first();
    void move_last();
    void move_next();
    void move_previous();
    // Moves n rows from the current one (negative n moves back); stops at bof or eof.
    void move(long long n);

    int field_count() const { return int(fields_.size()); }
    // The column name at a zero-based position; empty when there is no such field.
    const std::string& field_name(int position) const;
    // The position of a column, letter case ignored; nullopt when the table has no such column.
    std::optional<int> field_position(std::string_view name) const;

    // A field of the current row by zero-based position or by column name (letter case ignored).
    Result<Value> value(int position) const;
    Result<Value> value(std::string_view name) const;
    Result<Value> value(const char* name) const { return value(std::string_view(name)); }

    // Adds a row with values by position (missing trailing positions NULL) and stores it; it
    // becomes the last row and the current one. A number given for a text column is stored as
    // its plain decimal text.
    Result<void> add(const std::vector<Value>& values);

    // Deletes the current row; the row after it (or eof) becomes current.
    Result<void> delete_current();

private:
    Rowset(std::shared_ptr<sql::Connection> db, std::string table, std::vector<schema::Column> fields)
        : db_(std::move(db)), table_(std::move(table)), fields_(std::move(fields)) {}
    Result<const std::vector<Value>*> current_row() const;

    std::shared_ptr<sql::Connection> db_;
    std::string table_;
    std::vector<schema::Column> fields_;
    std::vector<long long> keys_;  // rowids in insertion order
    long long pos_ = 0;
    mutable std::optional<long long> cached_key_;
    mutable std::vector<Value> cached_;
};

}  // namespace nlx
