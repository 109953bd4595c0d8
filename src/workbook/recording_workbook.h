// One recording of the live level as an .xlsx workbook: its summary over a list of its samples.
#pragma once

#include <filesystem>

#include "core/result.h"
#include "store/database.h"

namespace nlx::workbook {

// Title row 监测记录 <id> with its start; headings time and level; one row per request (the level
// empty for a gap). The rows are text cells, as the record export writes them. Written atomically.
Result<void> write_recording_xlsx(const Database& db, const RecordingInfo& recording, const std::filesystem::path& file);

}  // namespace nlx::workbook
