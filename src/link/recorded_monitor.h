// The monitor with a recording: every request of the exchange stored in the record database
// while the levels are shown as ever. The desktop's 记录 and nlx monitor --record both run it.
#pragma once

#include <functional>
#include <stop_token>
#include <string>

#include "core/level_statistics.h"
#include "link/monitor_session.h"
#include "store/database.h"

namespace nlx::link {

// The running figures, once a second while recording.
struct RecordingProgress {
    LevelSummary summary;
    long long duration_ms = 0;
};

struct RecordedMonitorResult {
    MonitorResult monitor;
    long long recording = 0;  // its id; 0 when the instrument never answered
    LevelSummary summary;
    long long duration_ms = 0;
    std::string store_error;  // why the recording stopped storing; empty when it did not
};

// Runs the exchange with request.record set and stores it in `db` batch by batch; a stop, a port
// failure or a store failure ends it, and what was recorded stays. `progress` may be empty.
RecordedMonitorResult record_monitor(ByteLink& link, MonitorRequest request, MonitorObserver observer, Database& db,
                                     const std::function<void(const RecordingProgress&)>& progress,
                                     std::stop_token stop);

// How a recording ended, as its row keeps it: "stopped", "port error", "store error".
std::string ending_name(MonitorOutcome outcome, bool store_failed);

}  // namespace nlx::link
