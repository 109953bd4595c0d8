// Recordings of the live level kept in the record database: a recording table (one row each)
// and a sample table (one row per 100 ms request: its time and level, or none for a gap).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/level_statistics.h"
#include "core/result.h"
#include "store/sqlite.h"

namespace nlx {

inline constexpr std::string_view kRecordingsTable = "_nlx_recordings";
inline constexpr std::string_view kRecordingSamplesTable = "_nlx_recording_samples";

// What a recording is of, known when its first sample is stored.
struct RecordingHeader {
    char model = 'a';
    std::string port;          // the device it was recorded on
    int baud = 0;
    long long started_ms = 0;  // wall clock of its first sample: milliseconds since 1970 (UTC)
};

// One request of the exchange: `offset_ms` after the recording's first sample on the monotonic
// clock, and the level shown (tenths of a decibel), or nothing when the request had no reply.
struct RecordedSample {
    long long offset_ms = 0;
    std::optional<int> tenths;
};

struct RecordingInfo {
    long long id = 0;
    RecordingHeader header;
    std::string ended;               // how it ended ("stopped", …); empty when it was cut off
    long long last_offset_ms = 0;    // of its last sample stored
    std::size_t rows = 0;            // samples and gaps stored
    LevelSummary summary;
    long long duration_ms() const { return rows ? last_offset_ms : 0; }
};

namespace recordings {

// CREATE TABLE IF NOT EXISTS texts of both tables.
std::vector<std::string> create_sql();
// The columns of each table, in table order (for the check of an existing file).
std::vector<std::string> recording_columns();
std::vector<std::string> sample_columns();

// Adds a recording and returns its id.
Result<long long> begin(sql::Connection& db, const RecordingHeader& header);
// Adds samples numbered from `first_seq` on.
Result<void> append(sql::Connection& db, long long id, long long first_seq, const std::vector<RecordedSample>& samples);
Result<void> end(sql::Connection& db, long long id, std::string_view how);

// Every recording, oldest first, each summarised by streaming its samples (none are kept);
// empty for a file written before recordings were kept.
Result<std::vector<RecordingInfo>> read_all(sql::Connection& db);
Result<std::optional<RecordingInfo>> read_one(sql::Connection& db, long long id);
// Calls `each` for the samples of the recording in their order, one at a time.
Result<void> scan(sql::Connection& db, long long id, const std::function<void(const RecordedSample&)>& each);

}  // namespace recordings

// "2026-05-01T14:03:27.100+08:00": a wall-clock time in milliseconds since 1970 as local ISO 8601
// time with milliseconds and the zone's offset, whatever the locale.
std::string iso_local_time(long long ms_since_epoch);

}  // namespace nlx
