// The log of transfers a record database keeps: one entry for every download, import and
// restore that replaced a model's records, written in the same transaction as the records.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "store/sqlite.h"
#include "store/table_contents.h"

namespace nlx {

inline constexpr std::string_view kTransferLogTable = "_nlx_transfers";

struct TransferEntry {
    long long id = 0;          // given by the log, rising
    std::string time;          // local time of the store, "2026-12-09 14:03:27"
    char model = 'a';
    std::string port;          // the device of a download; empty for an import
    int baud = 0;
    std::size_t announced = 0, received = 0;  // data bytes
    bool complete = false;
    std::size_t record_rows = 0, distribution_rows = 0;
    std::string capture_file;  // a name in the storage folder, or a path outside it
    std::string sha256;        // of the capture file's bytes as stored
    std::string source;        // "download", "import" or "restore"

    // Whether the entry replaced the model's records: a transfer in which no whole group arrived
    // is logged with no rows and left the tables as they were.
    bool stored_records() const { return record_rows > 0; }
};

namespace transfer_log {

// The table's CREATE TABLE IF NOT EXISTS text.
std::string create_sql();
// Its columns, in table order (for the check of an existing table).
std::vector<std::string> column_names();
// Adds the entry and sets its id.
Result<void> append(sql::Connection& db, TransferEntry& entry);
// The id of the newest entry of `model` that stored records; 0 when there is none. Inside a
// change of the database, which has made the log's table.
Result<long long> latest_storing(sql::Connection& db, char model);
// Every entry, newest first; empty when the table does not exist.
Result<std::vector<TransferEntry>> read_all(sql::Connection& db);

}  // namespace transfer_log

// The entries as a table for people and scripts; `present` says for each entry whether its
// capture file is still there.
TableContents transfer_table(const std::vector<TransferEntry>& entries, const std::vector<bool>& present);

}  // namespace nlx
