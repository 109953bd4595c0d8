// Runs the live-level session on a worker thread and reports its readings to the monitor window
// through queued signals.
#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

#include "app/worker_job.h"
#include "link/byte_link.h"
#include "link/monitor_session.h"
#include "link/recorded_monitor.h"

namespace nlx::app {

// Makes the line a session runs on: the serial port, or a scripted line in tests.
using LinkFactory = std::function<std::unique_ptr<link::ByteLink>()>;
LinkFactory serial_link_factory();

// "LAeq=85.6dB  Lmax=90.1dB  时长 0:01:00": the running figures of a recording.
QString recording_figures(const LevelSummary& summary, long long duration_ms);

class MonitorController final : public QObject {
    Q_OBJECT
public:
    explicit MonitorController(LinkFactory links, QObject* parent = nullptr);
    ~MonitorController() override;  // stops a running exchange and waits for it

    // Starts one exchange; false when one runs already. With `record_into`, every reply is also
    // recorded in that record database (record_monitor, as nlx monitor --record does).
    bool start(const link::MonitorRequest& request, std::optional<std::filesystem::path> record_into = {});
    // Asks the exchange to end; it closes the port within one tick.
    void stop();
    bool running() const { return job_.running(); }
    const std::optional<link::MonitorResult>& result() const { return result_; }
    // The recording of the last exchange that recorded, once it has ended.
    const std::optional<link::RecordedMonitorResult>& recorded() const { return recorded_; }

signals:
    void shown(const QString& text, double bar, bool bar_in_range);
    void message(const QString& text);
    // While recording, once a second: "LAeq=85.6dB  Lmax=90.1dB  时长 0:01:00".
    void recording(const QString& figures);
    void finished();

private:
    void ended();

    LinkFactory links_;
    std::stop_source stop_;
    std::optional<link::MonitorResult> worker_result_;
    std::optional<link::MonitorResult> result_;
    std::optional<link::RecordedMonitorResult> worker_recorded_, recorded_;
    WorkerJob job_;  // last: it goes first, waiting for the worker that uses the members above
};

}  // namespace nlx::app
