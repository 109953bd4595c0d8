// The model tables as SQL: expected columns, CREATE TABLE texts and checks of existing tables.
#pragma once

#include <memory>
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
const std::vector<TableSpec>& model_tables(const ModelInfo& model);

std::string create_table_sql(const TableSpec& table);

// The visible columns of an existing table in table order; nullopt when there is no such table.
Result<std::optional<std::vector<Column>>> table_columns(sql::Connection& db, const std::string& table);

// Every table of a file with its visible columns, read by one query.
class TableList {
public:
    // The table's visible columns in table order, its name compared as SQLite compares names
    // (ASCII letters in either case); null when the file has no such table.
    const std::vector<Column>* find(std::string_view table) const;
    void add(std::string table, std::vector<Column> columns);
    // A table whose columns are kept elsewhere for the whole process (a table this program
    // makes, recognised by its text): they are shared, not copied.
    void add_kept(std::string table, const std::vector<Column>& columns);

private:
    std::vector<std::pair<std::string, std::shared_ptr<const std::vector<Column>>>> tables_;
};

// A table as this program creates it: the CREATE TABLE text SQLite keeps for it, and its columns
// (kept for the whole process).
struct TableShape {
    std::string name;
    std::string stored_sql;
    const std::vector<Column>* columns;
};
// The text SQLite keeps for a table made by `create_sql` ("IF NOT EXISTS" is not kept).
std::string stored_create_sql(std::string_view create_sql);

// Every table of the file but SQLite's own (named sqlite_...). A table whose kept CREATE TABLE
// text is exactly a shape's has that shape's columns; the columns of any other are asked of
// SQLite, one table at a time.
Result<TableList> read_table_list(sql::Connection& db, const std::vector<TableShape>& shapes);

// The numbers in the file's header that say which tables it holds, read by one query.
struct Header {
    long long schema_version = 0;  // SQLite's count of changes to the tables
    long long user_version = 0;    // the version of this program's tables
    long long application_id = 0;
};
Result<Header> read_header(sql::Connection& db);

// A number SQLite keeps in the file's header: PRAGMA application_id or user_version.
Result<long long> header_number(sql::Connection& db, std::string_view pragma);

// Same column names in the same order, letter case ignored.
bool same_names(const std::vector<Column>& actual, const std::vector<Column>& expected);

}  // namespace nlx::schema
