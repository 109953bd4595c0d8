// The model tables as SQL: expected columns, CREATE TABLE texts and checks of existing tables.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/models.h"
#include "core/result.h"
#include "store/sqlite.h"

namespace nlx::schema {

// Hidden key of every model table: keeps rows in the order they were added. It is an alias of
// the rowid and is never shown as a field.
inline constexpr std::string_view kOrderColumn = "_nlx_order";

// Every record database this program writes says so in its header: SQLite's application id
// ("NLXR") and, as its user version, the version of the tables it holds (the model tables, the
// transfer log, the list of history files to put in place and, from version 2, the recordings of
// the live level). A file of a later version is
// refused; an earlier one (version 0: written before the header said anything) is brought up to
// this version by the first change that succeeds.
inline constexpr long long kApplicationId = 0x4E4C5852;
inline constexpr long long kSchemaVersion = 2;

struct Column {
    std::string name;
    std::string type;  // declared SQL type: TEXT, INTEGER or REAL
};

// Record tables: every column TEXT, in table order.
std::vector<Column> record_columns(const ModelInfo& model);
// Distribution tables: 序号 INTEGER, then the 101 positional REAL columns.
std::vector<Column> distribution_columns();

// The tables of a model, record table first, with their expected columns.
struct TableSpec {
    std::string name;
    std::vector<Column> columns;
};
std::vector<TableSpec> model_tables(const ModelInfo& model);

std::string create_table_sql(const TableSpec& table);

// The visible columns of an existing table in table order; nullopt when there is no such table.
Result<std::optional<std::vector<Column>>> table_columns(sql::Connection& db, const std::string& table);

// A number SQLite keeps in the file's header: PRAGMA application_id or user_version.
Result<long long> header_number(sql::Connection& db, std::string_view pragma);

// Same column names in the same order, letter case ignored.
bool same_names(const std::vector<Column>& actual, const std::vector<Column>& expected);

}  // namespace nlx::schema
