// The database-file commands of the main window: open another file, save a copy, add a record.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "store/database.h"

namespace nlx {

// What the operator is told: a message box text and its title (empty: the application's title).
struct OperatorMessage {
    std::string text;
    std::string title;
};

struct OpenOutcome {
    std::optional<Database> database;        // the opened file, when the open succeeded
    std::optional<OperatorMessage> message;  // why the open was refused
    // Where the record connection points after a refusal past the name check: noise.db in the
    // application folder. Unset when the open succeeded or the name alone was refused (then
    // nothing changes).
    std::optional<std::filesystem::path> fallback;
};

// 打开: opens `chosen` for `model` without creating or changing any file. The name must end in
// ".db" exactly; the file must be a record database with the model's record table.
OpenOutcome open_record_file(const std::filesystem::path& chosen, const ModelInfo& model,
                             const std::filesystem::path& app_folder);

// 另存: copies the current database to `destination`, replacing a file of that name. The copy is
// written beside the destination and renamed over it, so a failure leaves the destination as it
// was. The destination must be absent or a regular file: a folder, pipe or device (or a link to
// one) is refused before anything is written. The copy gets the original file's permission bits.
// The current database stays open and unchanged. nullopt on success; a failure is 存盘时出错...
// with the reason, naming the destination, on the next line.
std::optional<OperatorMessage> save_database_as(Database& current, const std::filesystem::path& destination);

struct AddedRecord {
    std::string seq_text;  // 序号 of the new record row, e.g. "10"
};

// 添加记录: appends a copy of the model's last group with the next 序号, both tables in one
// transaction. The number comes from the distribution table's last row (from the record
// table's for a model without distribution rows). Refused, changing nothing, when a needed
// table is empty or its last 序号 is not a number.
Result<AddedRecord> add_record(Database& db, const ModelInfo& model);

}  // namespace nlx
