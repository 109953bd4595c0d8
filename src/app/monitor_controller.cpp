// The monitor's worker thread: the session's observer calls become queued signals.
#include "app/monitor_controller.h"

#include "app/qt_text.h"
#include "core/texts.h"
#include "link/serial_link.h"
#include "transfer/recording_export.h"

namespace nlx::app {

LinkFactory serial_link_factory() {
    return [] { return std::unique_ptr<link::ByteLink>(std::make_unique<link::SerialLink>()); };
}

MonitorController::MonitorController(LinkFactory links, QObject* parent) : QObject(parent), links_(std::move(links)) {}

MonitorController::~MonitorController() {
    // Asks the job to stop; job_, destroyed first of the members, then waits for its thread.
    stop_.request_stop();
}

QString recording_figures(const LevelSummary& s, long long duration_ms) {
    const auto level = [&](int tenths) { return s.samples ? qs(tenths_text(tenths)) : QStringLiteral("-"); };
    return QStringLiteral("LAeq=%1dB  Lmax=%2dB  %3")
        .arg(level(s.laeq), level(s.lmax), qs(texts::recording_duration(duration_text(duration_ms))));
}

bool MonitorController::start(const link::MonitorRequest& request, std::optional<std::filesystem::path> record_into) {
    if (job_.running()) return false;
    stop_ = std::stop_source();
    worker_result_.reset();
    worker_recorded_.reset();
    return job_.start(this, QStringLiteral("monitor"), [this, request, record_into, stop = stop_.get_token()] {
        auto line = links_();
        link::MonitorObserver observer;
        observer.shown = [this](const LiveLevel& level) { emit shown(qs(level.text), level.bar, level.bar_in_range); };
        observer.silent = [this] { emit message(qs(monitor_silence_text())); };
        // The silence was told as it began; every other ending is told as it comes.
        observer.ended = [this](MonitorOutcome outcome, const std::string& detail) {
            if (outcome != MonitorOutcome::no_reply)
                if (auto text = monitor_ending_text(outcome, detail); !text.empty()) emit message(qs(text));
        };
        if (!record_into) {
            link::MonitorSession session(*line, request, observer);
            worker_result_ = session.run(stop);
            return;
        }
        auto db = Database::create_or_open(*record_into);
        if (!db) {
            emit message(qs(db.message()));
            worker_result_ = link::MonitorResult{link::MonitorOutcome::port_error, db.message(), 0};
            return;
        }
        auto progress = [this](const link::RecordingProgress& p) {
            emit recording(recording_figures(p.summary, p.duration_ms));
        };
        worker_recorded_ = link::record_monitor(*line, request, observer, *db, progress, stop);
        if (!worker_recorded_->store_error.empty()) emit message(qs(worker_recorded_->store_error));
        worker_result_ = worker_recorded_->monitor;
    }, [this] { ended(); });
}

void MonitorController::stop() {
    if (job_.running()) stop_.request_stop();
}

void MonitorController::ended() {
    result_ = std::move(worker_result_);
    worker_result_.reset();
    if (worker_recorded_) recorded_ = std::move(worker_recorded_);
    worker_recorded_.reset();
    emit finished();
}

}  // namespace nlx::app
