// Builds the model tables from the model table in core/models.h; column lists are never retyped.
#include "store/schema.h"

namespace nlx::schema {

std::vector<Column> record_columns(const ModelInfo& model) {
    std::vector<Column> out;
    for (auto name : model.record_columns) out.push_back({std::string(name), "TEXT"});
    return out;
}

std::vector<Column> distribution_columns() {
    std::vector<Column> out;
    auto names = nlx::distribution_columns();
    for (std::size_t i = 0; i < names.size(); ++i) out.push_back({names[i], i == 0 ? "INTEGER" : "REAL"});
    return out;
}

std::vector<TableSpec> model_tables(const ModelInfo& model) {
    std::vector<TableSpec> out{{record_table_name(model.letter), record_columns(model)}};
    if (model.has_distribution) out.push_back({distribution_table_name(model.letter), distribution_columns()});
    return out;
}

std::string create_table_sql(const TableSpec& table) {
    std::string sql = "CREATE TABLE " + sql::quote_identifier(table.name) + " (" +
                      sql::quote_identifier(kOrderColumn) + " INTEGER PRIMARY KEY AUTOINCREMENT";
    for (const auto& c : table.columns) sql += ", " + sql::quote_identifier(c.name) + " " + c.type;
    return sql + ")";
}

Result<std::optional<std::vector<Column>>> table_columns(sql::Connection& db, const std::string& table) {
    auto exists = sql::Statement::prepare(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    if (!exists) return exists.error();
    exists->bind_text(1, table);
    auto found = exists->step();
    if (!found) return found.error();
    if (!*found) return std::optional<std::vector<Column>>();

    auto info = sql::Statement::prepare(db, "SELECT name, type FROM pragma_table_info(?1)");
    if (!info) return info.error();
    info->bind_text(1, table);
    std::vector<Column> columns;
    for (;;) {
        auto row = info->step();
        if (!row) return row.error();
        if (!*row) break;
        Column c{info->column_text(0), info->column_text(1)};
        if (!same_column_name(c.name, kOrderColumn)) columns.push_back(std::move(c));
    }
    return std::optional<std::vector<Column>>(std::move(columns));
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
