// Storing one transfer: keep its capture file, decode it, replace the model's tables, write
// the history files. Used by the download and by the importer alike.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/result.h"
#include "core/capture.h"
#include "core/transfer_summary.h"

namespace nlx {

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

// The last step of a download, from the command line and the desktop alike: keeps the capture
// file first (so no received byte is lost even when storing fails), then stores the transfer.
// The summary names the capture file; a failure says where the capture was kept.
Result<TransferSummary> keep_and_store_transfer(Database& database,
                                                const std::filesystem::path& storage_folder,
                                                char model, const Capture& capture,
                                                std::chrono::system_clock::time_point when);

}  // namespace nlx
