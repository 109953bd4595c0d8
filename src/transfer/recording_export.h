// Recordings of the live level as tables and files: the list, and one recording's samples as
// CSV written as they are read, so a 24-hour recording is never held whole.
#pragma once

#include <filesystem>

#include "charts/chart.h"
#include "core/result.h"
#include "store/database.h"
#include "store/recordings.h"
#include "store/table_contents.h"

namespace nlx {

// "1:02:03": a duration in whole seconds, hours without leading zeros.
std::string duration_text(long long ms);

// One row per recording: id, start, duration, LAeq … L95 (dB, "" when no level came), samples,
// gaps, model, port and how it ended.
TableContents recordings_table(const std::vector<RecordingInfo>& recordings);

// The samples of a recording as CSV: "time,level" then one line per request, its local ISO 8601
// time with milliseconds and its level in dB (empty for a gap). Written to a temporary beside
// `file` and renamed over it; a failure names the file and leaves any earlier one as it was.
Result<void> write_recording_csv(const Database& db, const RecordingInfo& recording, const std::filesystem::path& file);

// The time history of a recording as nlx chart --recording and the desktop draw it: its samples
// streamed into at most 1440 stretches (a minute each for 24 hours), each its LAeq.
Result<charts::Chart> recording_chart(const Database& db, const RecordingInfo& recording);

}  // namespace nlx
