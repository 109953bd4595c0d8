// Sending a station's logged transfers to the team store, bringing a station's transfers from it
// into a record database, and reading what it holds. nlx sync, nlx team and 文件 → 同步 all run
// these functions.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "core/result.h"
#include "store/table_contents.h"
#include "team/team_schema.h"

namespace nlx {
class Database;
}

namespace nlx::team {

// Called after each transfer with the count done so far and the count to do.
using SyncProgress = std::function<void(std::size_t done, std::size_t total)>;

// The source a pulled transfer is logged with: "sync:" and the station it came from. The team
// store has it already, so a sync of the database that holds it never sends it as its own.
inline constexpr std::string_view kPulledSourcePrefix = "sync:";

struct SyncReport {
    std::string target;          // user@host:port/database
    std::string station;
    std::size_t done = 0;        // transfers sent (brought in, for a pull)
    std::size_t skipped = 0;     // on the server already (in the database already, for a pull)
    std::size_t recordings = 0;  // recordings sent or completed
    std::size_t samples = 0;     // their samples sent
    // Transfers that could not be sent or brought in, one operator line each; the others were.
    std::vector<std::string> problems;
    bool cancelled = false;      // stopped by the caller; what was done stays, whole transfers only
};

// Sends every transfer logged in `database` that the team store does not hold for `station`,
// oldest first, each in one server transaction with its records, distribution rows and history
// files decoded from its capture file (whose digest must match the log); then the recordings,
// or the samples of them the server lacks. Creates the store when the server has none. A
// transfer whose capture is missing or changed is listed in `problems` and the rest are sent.
// A failure of the server or the connection ends the sync: the transfers committed before stay,
// and the next sync sends the rest. Nothing local is changed.
Result<SyncReport> send_transfers(const std::string& server, const std::string& station, const Database& database,
                                  const std::filesystem::path& storage_folder, const SyncProgress& progress = {},
                                  std::stop_token stop = {});

// Brings the transfers of `station` that `database` does not log yet (by SHA-256) into it, oldest
// first: each capture is written to the storage folder and stored as a download stores it (the
// records replaced, the transfer logged with source "sync:<station>"), so that the transfer log
// lists it and restore and verify work on it. Nothing on the server is changed.
Result<SyncReport> receive_transfers(const std::string& server, const std::string& station, Database& database,
                                     const std::filesystem::path& storage_folder, const SyncProgress& progress = {},
                                     std::stop_token stop = {});

struct TransferFilter {
    std::string station;  // empty: every station
    char model = 0;       // 0: every model
};
// The team store's transfers, by station and time, as a table for people and scripts.
Result<TableContents> team_transfers(const std::string& server, const TransferFilter& filter);

// What 测试 reports: where it connected, the server's version, and what the store holds.
struct ServerCheck {
    std::string target, server_version;
    StoreState store;
    std::size_t stations = 0, transfers = 0;
};
Result<ServerCheck> check_server(const std::string& server, std::stop_token stop = {});

// Creates the store (nlx team init), as the first sync of a role that may would.
Result<StoreState> init_store(const std::string& server);

// The report in one line for the command line: "sent 3 transfers, 2 already there; ...".
std::string report_line(const SyncReport& report, bool pull);

}  // namespace nlx::team
