// Reading and writing the transfer log table.
#include "store/transfer_log.h"

namespace nlx::transfer_log {
namespace {

const std::vector<std::string> kColumns = {"id",       "time",        "model",             "port",
                                           "baud",     "announced",   "received",          "complete",
                                           "record_rows", "distribution_rows", "capture_file", "sha256",
                                           "source"};

const std::string kTable = sql::quote_identifier(kTransferLogTable);

}  // namespace

std::string create_sql() {
    return "CREATE TABLE IF NOT EXISTS " + kTable +
           " (id INTEGER PRIMARY KEY AUTOINCREMENT, time TEXT NOT NULL, model TEXT NOT NULL, port TEXT NOT NULL,"
           " baud INTEGER NOT NULL, announced INTEGER NOT NULL, received INTEGER NOT NULL,"
           " complete INTEGER NOT NULL, record_rows INTEGER NOT NULL, distribution_rows INTEGER NOT NULL,"
           " capture_file TEXT NOT NULL, sha256 TEXT NOT NULL, source TEXT NOT NULL)";
}

std::vector<std::string> column_names() { return kColumns; }

Result<void> append(sql::Connection& db, TransferEntry& e) {
    std::string names, marks;
    for (std::size_t i = 1; i < kColumns.size(); ++i) {
        names += (i > 1 ? ", " : "") + kColumns[i];
        marks += i > 1 ? ", ?" : "?";
    }
    auto insert = sql::Statement::prepare(db, "INSERT INTO " + kTable + " (" + names + ") VALUES (" + marks + ")");
    if (!insert) return insert.error();
    insert->bind_text(1, e.time);
    insert->bind_text(2, std::string(1, e.model));
    insert->bind_text(3, e.port);
    insert->bind_int(4, e.baud);
    insert->bind_int(5, (long long)e.announced);
    insert->bind_int(6, (long long)e.received);
    insert->bind_int(7, e.complete ? 1 : 0);
    insert->bind_int(8, (long long)e.record_rows);
    insert->bind_int(9, (long long)e.distribution_rows);
    insert->bind_text(10, e.capture_file);
    insert->bind_text(11, e.sha256);
    insert->bind_text(12, e.source);
    if (auto r = insert->run(); !r) return fail("cannot add to the transfer log: " + r.message());
    e.id = db.last_insert_rowid();
    return {};
}

namespace {

Result<bool> log_exists(sql::Connection& db) {
    auto exists = sql::Statement::prepare(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
    if (!exists) return exists.error();
    exists->bind_text(1, kTransferLogTable);
    auto found = exists->step();
    if (!found) return found.error();
    return *found;
}

}  // namespace

Result<long long> latest_storing(sql::Connection& db, char model) {
    auto select = sql::Statement::prepare(
        db, "SELECT id FROM " + kTable + " WHERE model = ?1 AND record_rows > 0 ORDER BY id DESC LIMIT 1");
    if (!select) return fail("cannot read the transfer log: " + select.message());
    select->bind_text(1, std::string(1, model));
    auto row = select->step();
    if (!row) return row.error();
    return *row ? select->column_int(0) : 0LL;
}

Result<std::vector<TransferEntry>> read_all(sql::Connection& db) {
    std::vector<TransferEntry> out;
    auto found = log_exists(db);
    if (!found) return found.error();
    if (!*found) return out;
    std::string list;
    for (const auto& c : kColumns) list += (list.empty() ? "" : ", ") + c;
    auto select = sql::Statement::prepare(db, "SELECT " + list + " FROM " + kTable + " ORDER BY id DESC");
    if (!select) return fail("cannot read the transfer log: " + select.message());
    for (;;) {
        auto row = select->step();
        if (!row) return row.error();
        if (!*row) break;
        TransferEntry e;
        e.id = select->column_int(0);
        e.time = select->column_text(1);
        const std::string model = select->column_text(2);
        e.model = model.empty() ? '?' : model[0];
        e.port = select->column_text(3);
        e.baud = int(select->column_int(4));
        e.announced = std::size_t(select->column_int(5));
        e.received = std::size_t(select->column_int(6));
        e.complete = select->column_int(7) != 0;
        e.record_rows = std::size_t(select->column_int(8));
        e.distribution_rows = std::size_t(select->column_int(9));
        e.capture_file = select->column_text(10);
        e.sha256 = select->column_text(11);
        e.source = select->column_text(12);
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace nlx::transfer_log

namespace nlx {

TableContents transfer_table(const std::vector<TransferEntry>& entries, const std::vector<bool>& present) {
    TableContents t;
    t.columns = transfer_log::column_names();
    t.columns.insert(t.columns.begin() + 11, "capture_present");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& e = entries[i];
        t.rows.push_back({Value(e.id), Value(e.time), Value(std::string(1, e.model)), Value(e.port), Value(e.baud),
                          Value((long long)e.announced), Value((long long)e.received), Value(e.complete ? 1 : 0),
                          Value((long long)e.record_rows), Value((long long)e.distribution_rows),
                          Value(e.capture_file), Value(i < present.size() && present[i] ? 1 : 0), Value(e.sha256),
                          Value(e.source)});
    }
    return t;
}

}  // namespace nlx
