// Storing one transfer: keep its capture file, decode it, replace the model's tables, write
// the history files. Used by the download and by the importer alike.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/result.h"
#include "decode/capture.h"

namespace nlx {

struct TransferSummary {
    char model = 'a';
    std::int32_t n = 0;                 // transfer count from the count bytes
    std::size_t announced_bytes = 0;    // what the count promised
    std::size_t received_bytes = 0;     // what arrived
    std::size_t record_rows = 0;
    std::size_t distribution_rows = 0;
    std::vector<std::string> files;     // history files written, by name
    std::vector<std::string> notes;     // what the decoder could not use
    std::filesystem::path capture_file; // empty when none was written

    bool short_transfer() const { return received_bytes < announced_bytes; }
    std::string line() const;           // one-line summary for the operator
};

// Writes the capture (count bytes + data as received) into the storage folder as
// capture-<model>-<YYYYMMDD-HHMMSS>.cap, creating the folder when needed.
Result<std::filesystem::path> save_capture(const std::filesystem::path& storage_folder, char model,
                                           const Capture& capture,
                                           std::chrono::system_clock::time_point when);

// Decodes the capture and replaces the model's tables in one transaction, then writes the
// history files into the storage folder. A transfer with no data (n <= 0) is refused and
// changes nothing.
class Database;
Result<TransferSummary> store_transfer(Database& database, const std::filesystem::path& storage_folder,
                                       char model, const Capture& capture);

}  // namespace nlx
