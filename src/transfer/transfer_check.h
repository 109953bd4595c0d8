// 恢复 and 核对 of a logged transfer: storing its capture again, and checking the capture and the
// stored rows against each other.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/result.h"
#include "core/rows.h"
#include "core/transfer_summary.h"
#include "store/transfer_log.h"

namespace nlx {

class Database;
struct ModelInfo;

// Stores the capture of log entry `id` again, as a new entry (source "restore"); refused, with
// the records unchanged, when the entry is unknown or its capture file is missing or changed.
Result<TransferSummary> restore_transfer(Database& database, const std::filesystem::path& storage_folder, long long id);

struct CellDifference {
    std::string group;   // the row's 序号 as stored (or its row number when that is empty)
    std::string column;
    Cell stored, decoded;
};

struct TransferCheck {
    TransferEntry entry;
    enum class CaptureState { intact, missing, changed, unreadable } capture = CaptureState::intact;
    std::string capture_problem;              // why it is unreadable
    bool current = false;                     // the model's rows came from this transfer
    std::vector<std::string> added_groups;    // 序号 of the rows after the transfer's (添加记录)
    std::vector<std::string> foreign_groups;  // 序号 of later rows that are not 添加记录's copies
    std::size_t missing_rows = 0;             // rows of the transfer no longer in the table
    std::vector<CellDifference> differences;  // cells that differ, in row and column order

    // The capture is intact and, when the transfer is the current one, the rows are its rows
    // apart from rows added after them.
    bool identical() const {
        return capture == CaptureState::intact && missing_rows == 0 && differences.empty() && foreign_groups.empty();
    }
};

// Checks log entry `id` (0: the newest entry of `model`, which is then given). The check fails only when there is no
// such entry or the database cannot be read.
Result<TransferCheck> check_transfer(const Database& database, const std::filesystem::path& storage_folder,
                                     long long id, const ModelInfo* model = nullptr);

// The check in plain words for the operator, one finding a line.
std::string check_text(const TransferCheck& check);

}  // namespace nlx
