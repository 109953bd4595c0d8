// The monitor's samples into a RecordingWriter, with a stop of its own for a failing store.
#include "link/recorded_monitor.h"

#include <chrono>
#include <optional>

#include "store/recording_writer.h"

namespace nlx::link {

std::string ending_name(MonitorOutcome outcome, bool store_failed) {
    if (store_failed) return "store error";
    switch (outcome) {
    case MonitorOutcome::stopped: return "stopped";
    case MonitorOutcome::no_reply: return "no reply";
    case MonitorOutcome::paced_out: return "paced out";
    case MonitorOutcome::port_busy: return "port busy";
    case MonitorOutcome::port_error: return "port error";
    }
    return "stopped";
}

RecordedMonitorResult record_monitor(ByteLink& link, MonitorRequest request, MonitorObserver observer, Database& db,
                                     const std::function<void(const RecordingProgress&)>& progress,
                                     std::stop_token stop) {
    RecordedMonitorResult out;
    request.record = true;
    // The caller's stop, or the store's failure, ends the session.
    std::stop_source own;
    std::stop_callback forward(stop, [&own] { own.request_stop(); });
    std::optional<RecordingWriter> writer;
    TimePoint first{};
    long long last_shown_second = 0;
    auto user_sample = std::move(observer.sample);
    observer.sample = [&](const LiveSample& s) {
        if (user_sample) user_sample(s);
        if (!out.store_error.empty()) return;
        if (!writer) {
            // The wall clock stamps the recording; the link's monotonic clock spaces its samples.
            const auto wall = std::chrono::system_clock::now().time_since_epoch();
            writer.emplace(db, RecordingHeader{request.model.get().letter, port_device_name(request.port), request.baud,
                                               std::chrono::duration_cast<std::chrono::milliseconds>(wall).count()});
            first = s.at;
        }
        const long long offset = std::chrono::duration_cast<std::chrono::milliseconds>(s.at - first).count();
        if (auto added = writer->add({offset, s.tenths}); !added) {
            out.store_error = added.message();
            own.request_stop();
            return;
        }
        if (progress && offset / 1000 != last_shown_second) {
            last_shown_second = offset / 1000;
            progress({writer->statistics().summary(), offset});
        }
    };
    MonitorSession session(link, request, observer);
    out.monitor = session.run(own.get_token());
    if (!writer) return out;
    if (auto finished = writer->finish(ending_name(out.monitor.outcome, !out.store_error.empty()));
        !finished && out.store_error.empty())
        out.store_error = finished.message();
    out.recording = writer->id();
    out.summary = writer->statistics().summary();
    out.duration_ms = writer->last_offset_ms();
    return out;
}

}  // namespace nlx::link
