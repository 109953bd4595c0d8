// Opening, checking and filling record database files; every change is a single transaction.
#include "store/database.h"

#include <sqlite3.h>

#include <fstream>

#include "core/models.h"
#include "core/texts.h"
#include "store/schema.h"

namespace nlx {
namespace fs = std::filesystem;

namespace {

constexpr int kBusyTimeoutMs = 10000;

Error not_a_record_database() { return fail(std::string(texts::kOpenFailed)); }

// Every SQLite 3 database file starts with these 16 bytes.
bool has_sqlite_header(const fs::path& file) {
    static constexpr char kHeader[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f',
                                         'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
    std::ifstream in(file, std::ios::binary);
    char buf[16] = {};
    if (!in.read(buf, sizeof buf)) return false;
    return std::equal(buf, buf + 16, kHeader);
}

Result<void> configure(sql::Connection& db) {
    sqlite3_busy_timeout(db.handle(), kBusyTimeoutMs);
    // Per connection: a committed change is on disk before the commit returns.
    return db.exec("PRAGMA synchronous = FULL");
}

// A record database holds the record table of at least one model. Reading the schema also
// proves the file is an SQLite database.
Result<bool> holds_record_tables(sql::Connection& db) {
    for (const auto& m : all_models()) {
        auto cols = schema::table_columns(db, record_table_name(m.letter));
        if (!cols) return cols.error();
        if (*cols) return true;
    }
    return false;
}

// Creates whichever of the model's tables are missing; with `check`, an existing table must have
// the model's columns.
Result<void> create_missing_tables(sql::Connection& db, const ModelInfo& model, bool check) {
    for (const auto& table : schema::model_tables(model)) {
        auto cols = schema::table_columns(db, table.name);
        if (!cols) return cols.error();
        if (!*cols) {
            if (auto r = db.exec(schema::create_table_sql(table)); !r) return r;
        } else if (check && !schema::same_names(**cols, table.columns)) {
            return fail("table " + table.name + " does not have the columns of model " +
                        std::string(1, model.letter));
        }
    }
    return {};
}

Result<const ModelInfo*> model_of(char letter) {
    const ModelInfo* m = find_model(letter);
    if (!m) return fail(std::string("there is no model ") + letter);
    return m;
}

}  // namespace

Result<Database> Database::create_or_open(const fs::path& file) {
    std::error_code ec;
    auto status = fs::status(file, ec);
    bool fresh = !fs::exists(status);
    if (!fresh) {
        if (!fs::is_regular_file(status)) return not_a_record_database();
        auto size = fs::file_size(file, ec);
        if (ec) return fail("cannot read " + file.string() + ": " + ec.message());
        fresh = size == 0;
        if (!fresh && !has_sqlite_header(file)) return not_a_record_database();
    }

    auto db = sql::Connection::open(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!db) return db.error();
    sql::Connection& c = **db;
    if (auto r = configure(c); !r) return r.error();
    if (!fresh) {
        auto holds = holds_record_tables(c);
        if (!holds || !*holds) return not_a_record_database();
    }
    // WAL lets the two connections read while the other writes; it stays set in the file.
    if (auto r = c.exec("PRAGMA journal_mode = WAL"); !r)
        return fail("cannot prepare " + file.string() + ": " + r.message());

    auto tx = sql::Transaction::begin(c);
    if (!tx) return fail("cannot prepare " + file.string() + ": " + tx.message());
    for (const auto& m : all_models())
        if (auto r = create_missing_tables(c, m, false); !r)
            return fail("cannot create the tables in " + file.string() + ": " + r.message());
    if (auto r = tx->commit(); !r) return fail("cannot create the tables in " + file.string() + ": " + r.message());
    return Database(std::move(*db), file);
}

Result<Database> Database::open_existing(const fs::path& file) {
    std::error_code ec;
    auto status = fs::status(file, ec);
    if (!fs::exists(status)) return fail("database file " + file.string() + " does not exist");
    if (!fs::is_regular_file(status) || !has_sqlite_header(file)) return not_a_record_database();

    auto db = sql::Connection::open(file, SQLITE_OPEN_READWRITE);
    if (!db) db = sql::Connection::open(file, SQLITE_OPEN_READONLY);
    if (!db) return db.error();
    if (auto r = configure(**db); !r) return r.error();
    auto holds = holds_record_tables(**db);
    if (!holds || !*holds) return not_a_record_database();
    return Database(std::move(*db), file);
}

bool Database::has_tables(char model) const {
    const ModelInfo* m = find_model(model);
    if (!m) return false;
    for (const auto& table : schema::model_tables(*m)) {
        auto cols = schema::table_columns(*db_, table.name);
        if (!cols || !*cols || !schema::same_names(**cols, table.columns)) return false;
    }
    return true;
}

bool Database::has_table(const std::string& table) const {
    auto cols = schema::table_columns(*db_, table);
    return cols && *cols;
}

Result<void> Database::ensure_tables(char model) {
    auto m = model_of(model);
    if (!m) return m.error();
    return transaction([&] { return create_missing_tables(*db_, **m, true); });
}

Result<void> Database::replace_model(char model, std::span<const DecodedGroup> groups, const GroupHook& after_group) {
    auto found = model_of(model);
    if (!found) return found.error();
    const ModelInfo& m = **found;
    const auto tables = schema::model_tables(m);

    return transaction([&]() -> Result<void> {
        if (auto r = create_missing_tables(*db_, m, true); !r) return r;
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
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const DecodedGroup& group = groups[g];
            const std::string which = "group " + std::to_string(g + 1) + ": ";
            if (group.record.size() != columns)
                return fail(which + "the record row has " + std::to_string(group.record.size()) +
                            " cells, table " + tables[0].name + " has " + std::to_string(columns) + " columns");
            records->reset();
            for (std::size_t i = 0; i < columns; ++i) {
                if (group.record[i]) records->bind_text(int(i) + 1, *group.record[i]);
                else records->bind_null(int(i) + 1);
            }
            if (auto r = records->run(); !r) return fail(which + r.message());

            if (group.distribution) {
                const DistributionRow& row = *group.distribution;
                if (!distribution)
                    return fail(which + "model " + std::string(1, model) + " has no distribution table");
                if (row.values.size() > std::size_t(kDistributionValues))
                    return fail(which + "the distribution row has " + std::to_string(row.values.size()) +
                                " values, at most " + std::to_string(kDistributionValues) + " fit");
                distribution->reset();
                distribution->bind_int(1, row.seq);
                for (int k = 0; k < kDistributionValues; ++k) {
                    if (std::size_t(k) < row.values.size() && row.values[std::size_t(k)])
                        distribution->bind_double(k + 2, *row.values[std::size_t(k)]);
                    else
                        distribution->bind_null(k + 2);
                }
                if (auto r = distribution->run(); !r) return fail(which + r.message());
            }
            if (after_group && !after_group(g + 1))
                return fail("the download was stopped after " + std::to_string(g + 1) + " groups; the old records are kept");
        }
        return {};
    });
}

Result<void> Database::copy_to(const fs::path& file) const {
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

Result<Rowset> Database::rowset(const std::string& table) { return Rowset::open(db_, table); }

Result<TableContents> Database::read_table(const std::string& table) const {
    auto columns = schema::table_columns(*db_, table);
    if (!columns) return columns.error();
    if (!*columns) return fail("the database has no table " + table);
    TableContents out;
    std::string list;
    for (const auto& c : **columns) {
        list += (list.empty() ? "" : ", ") + sql::quote_identifier(c.name);
        out.columns.push_back(c.name);
    }
    if (out.columns.empty()) return out;
    auto stmt = sql::Statement::prepare(*db_, "SELECT " + list + " FROM " + sql::quote_identifier(table) +
                                                  " ORDER BY rowid");
    if (!stmt) return stmt.error();
    const int n = int(out.columns.size());
    for (;;) {
        auto row = stmt->step();
        if (!row) return row.error();
        if (!*row) break;
        std::vector<Value> values;
        values.reserve(std::size_t(n));
        for (int i = 0; i < n; ++i) values.push_back(stmt->column(i));
        out.rows.push_back(std::move(values));
    }
    return out;
}

Result<void> Database::transaction(const std::function<Result<void>()>& body) {
    auto tx = sql::Transaction::begin(*db_);
    if (!tx) return tx.error();
    if (auto r = body(); !r) return r;
    return tx->commit();
}

}  // namespace nlx
