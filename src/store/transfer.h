// Storing one transfer: keep its capture file, decode it, replace the model's tables, put its
// history files in place. Used by the download and by the importer alike.
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

// Writes the capture file (its header, the count bytes and the data as received) into the storage
// folder as capture-<model>-<YYYYMMDD-HHMMSS>.cap, creating the folder when needed. The origin's
// time, when empty, is `when`.
Result<std::filesystem::path> save_capture(const std::filesystem::path& storage_folder, char model,
                                           const Capture& capture, const CaptureOrigin& origin,
                                           std::chrono::system_clock::time_point when);

// Decodes the capture and replaces the model's tables in one transaction, with its history files
// put in place in the storage folder. A transfer with no data (n <= 0), a history file that cannot
// be written, and any failure of the replace are refused and change nothing.
class Database;
Result<TransferSummary> store_transfer(Database& database, const std::filesystem::path& storage_folder,
                                       char model, const Capture& capture);

// The last step of a download, from the command line and the desktop alike: keeps the capture
// file first (so no received byte is lost even when storing fails), then stores the transfer.
// The summary names the capture file; a failure says where the capture was kept.
Result<TransferSummary> keep_and_store_transfer(Database& database,
                                                const std::filesystem::path& storage_folder,
                                                char model, const Capture& capture,
                                                const CaptureOrigin& origin,
                                                std::chrono::system_clock::time_point when);

// nlx import: stores a capture file as the download stored it. A capture without data is
// refused; a short one (fewer bytes than announced) only with `partial`, which then stores its
// whole groups and states the loss as a broken download does.
Result<TransferSummary> import_capture(Database& database, const std::filesystem::path& storage_folder,
                                       const CaptureFile& file, bool partial);

}  // namespace nlx
