// Storing one transfer: keep its capture file, decode it, replace the model's tables, put its
// history files in place. Used by the download and by the importer alike.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"
#include "core/capture.h"
#include "core/transfer_summary.h"
#include "store/transfer_log.h"

namespace nlx {

// Writes the capture file (its header, the count bytes and the data as received) into the storage
// folder as capture-<model>-<YYYYMMDD-HHMMSS>.cap, creating the folder when needed. The origin's
// time, when empty, is `when`.
Result<std::filesystem::path> save_capture(const std::filesystem::path& storage_folder, const ModelInfo& model,
                                           const Capture& capture, const CaptureOrigin& origin,
                                           std::chrono::system_clock::time_point when);

// Decodes the capture and replaces the model's tables in one transaction, with its history files
// put in place in the storage folder and, when `logged` is given (its time, port, capture file,
// digest and source filled in), its entry in the transfer log with the counts of this store.
// A transfer with no data (n <= 0), a history file that cannot be written, and any failure of
// the replace are refused and change nothing. A transfer in which no whole group arrived
// replaces nothing either: with EmptyTransfer::logged it is only logged (with no rows, as
// incomplete when it was short) and the summary says nothing was replaced; otherwise it is
// refused. For a model with history files, once no earlier rename is left listed, the
// temporaries that writers killed before their commit left in the storage folder are removed.
class Database;
struct ModelInfo;
enum class EmptyTransfer { refused, logged };
Result<TransferSummary> store_transfer(Database& database, const std::filesystem::path& storage_folder,
                                       const ModelInfo& model, const Capture& capture,
                                       std::optional<TransferEntry> logged = std::nullopt,
                                       EmptyTransfer empty = EmptyTransfer::refused);

// The capture file's name as the log keeps it: its name alone inside the storage folder, its
// absolute path outside it; and the path a logged name stands for.
std::string logged_capture_name(const std::filesystem::path& storage_folder, const std::filesystem::path& file);
std::filesystem::path logged_capture_path(const std::filesystem::path& storage_folder, const std::string& name);

// The SHA-256 of a file's bytes, as 64 hexadecimal digits.
Result<std::string> file_sha256(const std::filesystem::path& file);

// The local time as the log writes it, "2026-12-09 14:03:27".
std::string local_time_text(std::chrono::system_clock::time_point when);

// The last step of a download, from the command line and the desktop alike: keeps the capture
// file first (so no received byte is lost even when storing fails), then stores the transfer
// with its entry in the log (a transfer without a whole group is logged and replaces nothing). The summary names the capture file; a failure says where the
// capture was kept.
Result<TransferSummary> keep_and_store_transfer(Database& database,
                                                const std::filesystem::path& storage_folder,
                                                const ModelInfo& model, const Capture& capture,
                                                const CaptureOrigin& origin,
                                                std::chrono::system_clock::time_point when);

// nlx import: stores a capture file (read from `path`) as the download stored it, with its entry
// in the log. A capture without data is refused; a short one (fewer bytes than announced) only
// with `partial`, which then stores its whole groups and states the loss as a broken download does.
Result<TransferSummary> import_capture(Database& database, const std::filesystem::path& storage_folder,
                                       const std::filesystem::path& path, const CaptureFile& file, bool partial);

}  // namespace nlx
