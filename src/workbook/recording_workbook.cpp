// The samples of a recording laid out as a sheet and saved through the workbook writer.
#include "workbook/recording_workbook.h"

#include "core/texts.h"
#include "transfer/recording_export.h"
#include "workbook/xlsx_file.h"

namespace nlx::workbook {

Result<void> write_recording_xlsx(const Database& db, const RecordingInfo& recording, const std::filesystem::path& file) {
    reports::WorkbookSheet sheet;
    sheet.title = std::string(texts::kRecordingsTitle) + " " + std::to_string(recording.id) + "  " +
                  iso_local_time(recording.header.started_ms) + "  " + summary_line(recording.summary);
    sheet.title_columns = 2;
    sheet.headings = {"time", "level"};
    // The workbook writer takes the whole sheet: about 60 bytes a sample, 50 MB for 24 hours.
    sheet.rows.reserve(recording.rows);
    auto scanned = db.scan_recording(recording.id, [&](const RecordedSample& s) {
        sheet.rows.push_back({iso_local_time(recording.header.started_ms + s.offset_ms),
                              s.tenths ? Cell(tenths_text(*s.tenths)) : Cell()});
    });
    if (!scanned) return fail("cannot write " + file.string() + ": " + scanned.message());
    return write_xlsx(sheet, file);
}

}  // namespace nlx::workbook
