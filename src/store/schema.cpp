// Builds the model tables from the model table in core/models.h; column lists are never retyped.
#include "store/schema.h"

#include <algorithm>
#include <memory>
#include <mutex>

namespace nlx::schema {

std::vector<Column> record_columns(const ModelInfo& model) {
    std::vector<Column> out;
    out.reserve(model.record_columns.size());
    for (auto name : model.record_columns) out.push_back({std::string(name), "TEXT"});
    return out;
}

std::vector<Column> distribution_columns() {
    std::vector<Column> out;
    const auto names = nlx::distribution_columns();
    out.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) out.push_back({names[i], i == 0 ? "INTEGER" : "REAL"});
    return out;
}

namespace {

std::vector<TableSpec> make_model_tables(const ModelInfo& model) {
    std::vector<TableSpec> out{{record_table_name(model.letter), record_columns(model)}};
    if (model.has_distribution) out.push_back({distribution_table_name(model.letter), distribution_columns()});
    return out;
}

}  // namespace

const std::vector<TableSpec>& model_tables(const ModelInfo& model) {
    // Built once: every open and change looks them up.
    static const auto all = [] {
        std::vector<std::pair<char, std::vector<TableSpec>>> out;
        for (const auto& m : all_models()) out.emplace_back(m.letter, make_model_tables(m));
        return out;
    }();
    for (const auto& [letter, tables] : all)
        if (letter == model.letter) return tables;
    // A model description made elsewhere than the model table: its tables, kept for the process.
    static std::mutex mutex;
    static std::vector<std::pair<char, std::unique_ptr<std::vector<TableSpec>>>> others;
    std::lock_guard lock(mutex);
    for (const auto& [letter, tables] : others)
        if (letter == model.letter) return *tables;
    others.emplace_back(model.letter, std::make_unique<std::vector<TableSpec>>(make_model_tables(model)));
    return *others.back().second;
}

std::string create_table_sql(const TableSpec& table) {
    std::string sql = "CREATE TABLE ";
    sql.reserve(64 + 24 * table.columns.size());
    sql::append_quoted_identifier(sql, table.name);
    sql += " (";
    sql::append_quoted_identifier(sql, kOrderColumn);
    sql += " INTEGER PRIMARY KEY AUTOINCREMENT";
    for (const auto& c : table.columns) {
        sql += ", ";
        sql::append_quoted_identifier(sql, c.name);
        sql += ' ';
        sql += c.type;
    }
    sql += ')';
    return sql;
}

namespace {

// A table's columns as the file holds them, without the row-order column.
constexpr const char* kTableInfoSql = "SELECT name, type FROM pragma_table_info(?1)";
Result<std::vector<Column>> stored_columns(sql::Statement& info, const std::string& table) {
    info.reset();
    info.bind_text(1, table);
    std::vector<Column> columns;
    for (;;) {
        auto row = info.step();
        if (!row) return row.error();
        if (!*row) break;
        Column c{info.column_text(0), info.column_text(1)};
        if (!same_column_name(c.name, kOrderColumn)) columns.push_back(std::move(c));
    }
    return columns;
}

}  // namespace

Result<std::optional<std::vector<Column>>> table_columns(sql::Connection& db, const std::string& table) {
    auto exists = sql::Statement::prepare(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    if (!exists) return exists.error();
    exists->bind_text(1, table);
    auto found = exists->step();
    if (!found) return found.error();
    if (!*found) return std::optional<std::vector<Column>>();

    auto info = sql::Statement::prepare(db, kTableInfoSql);
    if (!info) return info.error();
    auto columns = stored_columns(*info, table);
    if (!columns) return columns.error();
    return std::optional<std::vector<Column>>(std::move(*columns));
}

const std::vector<Column>* TableList::find(std::string_view table) const {
    for (const auto& [name, columns] : tables_)
        if (same_column_name(name, table)) return columns.get();
    return nullptr;
}

void TableList::add(std::string table, std::vector<Column> columns) {
    tables_.emplace_back(std::move(table), std::make_shared<const std::vector<Column>>(std::move(columns)));
}

void TableList::add_kept(std::string table, const std::vector<Column>& columns) {
    // An owner-less pointer: the columns outlive every list.
    tables_.emplace_back(std::move(table), std::shared_ptr<const std::vector<Column>>(std::shared_ptr<void>(), &columns));
}

std::string stored_create_sql(std::string_view create_sql) {
    constexpr std::string_view kCreate = "CREATE TABLE ", kIfNotExists = "IF NOT EXISTS ";
    std::string out(create_sql);
    if (out.starts_with(kCreate) && std::string_view(out).substr(kCreate.size()).starts_with(kIfNotExists))
        out.erase(kCreate.size(), kIfNotExists.size());
    return out;
}

Result<TableList> read_table_list(sql::Connection& db, const std::vector<TableShape>& shapes) {
    auto stmt = sql::Statement::prepare(db, "SELECT name, sql FROM sqlite_master WHERE type = 'table' ORDER BY rowid");
    if (!stmt) return stmt.error();
    TableList list;
    std::vector<std::string> others;
    for (;;) {
        auto row = stmt->step();
        if (!row) return row.error();
        if (!*row) break;
        std::string name = stmt->column_text(0);
        // SQLite's own tables (sqlite_sequence, kept for AUTOINCREMENT) are nobody's records.
        if (name.starts_with("sqlite_")) continue;
        const std::string sql = stmt->column_text(1);
        const auto shape = std::find_if(shapes.begin(), shapes.end(),
                                        [&](const TableShape& t) { return t.name == name && t.stored_sql == sql; });
        if (shape != shapes.end()) list.add_kept(std::move(name), *shape->columns);
        else others.push_back(std::move(name));
    }
    if (others.empty()) return list;
    auto info = sql::Statement::prepare(db, kTableInfoSql);
    if (!info) return info.error();
    for (auto& table : others) {
        auto columns = stored_columns(*info, table);
        if (!columns) return columns.error();
        list.add(std::move(table), std::move(*columns));
    }
    return list;
}

Result<Header> read_header(sql::Connection& db) {
    // Three plain PRAGMAs cost less to prepare than one query over their table-valued forms.
    Header h;
    for (auto [pragma, number] : {std::pair{"schema_version", &h.schema_version}, std::pair{"user_version", &h.user_version},
                                  std::pair{"application_id", &h.application_id}}) {
        auto value = header_number(db, pragma);
        if (!value) return value.error();
        *number = *value;
    }
    return h;
}

Result<long long> header_number(sql::Connection& db, std::string_view pragma) {
    auto stmt = sql::Statement::prepare(db, "PRAGMA " + std::string(pragma));
    if (!stmt) return stmt.error();
    auto row = stmt->step();
    if (!row) return row.error();
    return *row ? stmt->column_int(0) : 0LL;
}

bool same_names(const std::vector<Column>& actual, const std::vector<Column>& expected) {
    if (actual.size() != expected.size()) return false;
    for (std::size_t i = 0; i < actual.size(); ++i)
        if (!same_column_name(actual[i].name, expected[i].name)) return false;
    return true;
}

}  // namespace nlx::schema
