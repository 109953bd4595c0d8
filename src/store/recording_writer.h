// Stores a recording of the live level as it is made: its samples in batches of at most one
// second, so a process killed mid-recording loses at most its last second.
#pragma once

#include <string_view>
#include <vector>

#include "core/level_statistics.h"
#include "core/result.h"
#include "store/database.h"
#include "store/recordings.h"

namespace nlx {

// A batch is stored once it holds this many samples or spans this long.
inline constexpr std::size_t kRecordingBatchSamples = 10;
inline constexpr long long kRecordingBatchMs = 900;

class RecordingWriter {
public:
    // Nothing is stored before the first sample: a monitor that never hears the instrument
    // leaves no recording behind.
    RecordingWriter(Database& db, RecordingHeader header) : db_(db), header_(std::move(header)) {}

    // One request of the exchange. Stores the batch when it is full; a failure names the file.
    Result<void> add(const RecordedSample& sample);
    // Stores what is left and notes how the recording ended; harmless when nothing was recorded.
    Result<void> finish(std::string_view how);

    long long id() const { return id_; }  // 0 until the first sample is stored
    // The figures of everything added so far (the running LAeq, Lmax while recording).
    const LevelStatistics& statistics() const { return statistics_; }
    long long last_offset_ms() const { return last_offset_ms_; }

private:
    Result<void> store_batch();

    Database& db_;
    RecordingHeader header_;
    long long id_ = 0;
    long long next_seq_ = 0;
    long long last_offset_ms_ = 0;
    std::vector<RecordedSample> batch_;
    LevelStatistics statistics_;
};

}  // namespace nlx
