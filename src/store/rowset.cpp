// Rowset moves, field access and row add/delete on one table, always in insertion order.
#include "store/rowset.h"

#include "core/number_format.h"

namespace nlx {

namespace {

std::string column_list(const std::vector<schema::Column>& fields, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        if (i) out += ", ";
        out += sql::quote_identifier(fields[i].name);
    }
    return out;
}

// SQLite's rule for text affinity: the declared type mentions CHAR, CLOB or TEXT.
bool is_text_column(const schema::Column& c) {
    std::string type;
    for (char ch : c.type) type += (ch >= 'a' && ch <= 'z') ? char(ch - 'a' + 'A') : ch;
    return type.find("CHAR") != std::string::npos || type.find("CLOB") != std::string::npos ||
           type.find("TEXT") != std::string::npos;
}

}  // namespace

Result<Rowset> Rowset::open(std::shared_ptr<sql::Connection> db, const std::string& table) {
    auto columns = schema::table_columns(*db, table);
    if (!columns) return columns.error();
    if (!*columns) return fail("the database has no table " + table);
    Rowset rs(std::move(db), table, std::move(**columns));
    if (auto r = rs.refresh(); !r) return r.error();
    return rs;
}

Result<void> Rowset::refresh() {
    auto stmt = sql::Statement::prepare(*db_, "SELECT rowid FROM " + sql::quote_identifier(table_) + " ORDER BY rowid");
    if (!stmt) return stmt.error();
    std::vector<long long> keys;
    for (;;) {
        auto row = stmt->step();
        if (!row) return row.error();
        if (!*row) break;
        keys.push_back(stmt->column_int(0));
    }
    keys_ = std::move(keys);
    pos_ = 0;
    cached_key_.reset();
    return {};
}

bool Rowset::bof() const { return keys_.empty() || pos_ < 0; }
bool Rowset::eof() const { return keys_.empty() || pos_ >= (long long)keys_.size(); }

void Rowset::move_first() { pos_ = 0; }
void Rowset::move_last() { pos_ = keys_.empty() ? 0 : (long long)keys_.size() - 1; }
void Rowset::move_next() { move(1); }
void Rowset::move_previous() { move(-1); }

void Rowset::move(long long n) {
    long long size = (long long)keys_.size();
    pos_ += n;
    if (pos_ < -1) pos_ = -1;
    if (pos_ > size) pos_ = size;
}

const std::string& Rowset::field_name(int position) const {
    static const std::string none;
    return position >= 0 && position < field_count() ? fields_[std::size_t(position)].name : none;
}

std::optional<int> Rowset::field_position(std::string_view name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (same_column_name(fields_[i].name, name)) return int(i);
    return std::nullopt;
}

Result<const std::vector<Value>*> Rowset::current_row() const {
    if (bof() || eof()) return fail("there is no current row in " + table_);
    long long key = keys_[std::size_t(pos_)];
    if (cached_key_ == key) return &cached_;
    auto stmt = sql::Statement::prepare(*db_, "SELECT " + column_list(fields_, fields_.size()) + " FROM " +
                                                  sql::quote_identifier(table_) + " WHERE rowid = ?1");
    if (!stmt) return stmt.error();
    stmt->bind_int(1, key);
    auto row = stmt->step();
    if (!row) return row.error();
    if (!*row) return fail("the current row of " + table_ + " no longer exists");
    std::vector<Value> values;
    for (int i = 0; i < field_count(); ++i) values.push_back(stmt->column(i));
    cached_ = std::move(values);
    cached_key_ = key;
    return &cached_;
}

Result<Value> Rowset::value(int position) const {
    if (position < 0 || position >= field_count())
        return fail(table_ + " has no field at position " + std::to_string(position));
    auto row = current_row();
    if (!row) return row.error();
    return (**row)[std::size_t(position)];
}

Result<Value> Rowset::value(std::string_view name) const {
    auto position = field_position(name);
    if (!position) return fail(table_ + " has no column " + std::string(name));
    return value(*position);
}

Result<void> Rowset::add(const std::vector<Value>& values) {
    if (values.size() > fields_.size())
        return fail(std::to_string(values.size()) + " values for the " + std::to_string(fields_.size()) +
                    " fields of " + table_);
    std::string sql = "INSERT INTO " + sql::quote_identifier(table_);
    if (values.empty()) {
        sql += " DEFAULT VALUES";
    } else {
        sql += " (" + column_list(fields_, values.size()) + ") VALUES (";
        for (std::size_t i = 0; i < values.size(); ++i) sql += i ? ", ?" : "?";
        sql += ")";
    }
    auto stmt = sql::Statement::prepare(*db_, sql);
    if (!stmt) return stmt.error();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Value& v = values[i];
        if (v.is_number() && is_text_column(fields_[i])) stmt->bind_text(int(i) + 1, plain_number_text(v.number()));
        else stmt->bind(int(i) + 1, v);
    }
    if (auto r = stmt->run(); !r) return r.error();
    keys_.push_back(db_->last_insert_rowid());
    pos_ = (long long)keys_.size() - 1;
    return {};
}

Result<void> Rowset::delete_current() {
    if (bof() || eof()) return fail("there is no current row in " + table_);
    auto stmt = sql::Statement::prepare(*db_, "DELETE FROM " + sql::quote_identifier(table_) + " WHERE rowid = ?1");
    if (!stmt) return stmt.error();
    stmt->bind_int(1, keys_[std::size_t(pos_)]);
    if (auto r = stmt->run(); !r) return r.error();
    keys_.erase(keys_.begin() + pos_);
    cached_key_.reset();
    return {};
}

}  // namespace nlx
