// Saving an exported sheet as an .xlsx workbook.
#pragma once

#include <filesystem>
#include <span>

#include "core/result.h"
#include "reports/workbook_sheet.h"

namespace nlx::workbook {

// Writes the sheet to a temporary beside `file`, flushes it to disk and renames it over `file`:
// a failure leaves no half-written workbook and an earlier file as it was. The title is merged
// over its columns in 宋体 bold 18; every other cell is a text cell, an empty one is left out.
Result<void> write_xlsx(const reports::WorkbookSheet& sheet, const std::filesystem::path& file);
// The same with several worksheets, in the order given (the export's sheet first).
Result<void> write_xlsx(std::span<const reports::WorkbookSheet> sheets, const std::filesystem::path& file);

}  // namespace nlx::workbook
