// The monitor's worker thread: the session's observer calls become queued signals.
#include "app/monitor_controller.h"

#include "app/qt_text.h"
#include "link/serial_link.h"

namespace nlx::app {

LinkFactory serial_link_factory() {
    return [] { return std::unique_ptr<link::ByteLink>(std::make_unique<link::SerialLink>()); };
}

MonitorController::MonitorController(LinkFactory links, QObject* parent) : QObject(parent), links_(std::move(links)) {}

MonitorController::~MonitorController() {
    // Asks the job to stop; job_, destroyed first of the members, then waits for its thread.
    stop_.request_stop();
}

bool MonitorController::start(const link::MonitorRequest& request) {
    if (job_.running()) return false;
    stop_ = std::stop_source();
    worker_result_.reset();
    return job_.start(this, QStringLiteral("monitor"), [this, request, stop = stop_.get_token()] {
        auto line = links_();
        link::MonitorObserver observer;
        observer.shown = [this](const LiveLevel& level) { emit shown(qs(level.text), level.bar, level.bar_in_range); };
        observer.message = [this](const std::string& text) { emit message(qs(text)); };
        link::MonitorSession session(*line, request, observer);
        worker_result_ = session.run(stop);
    }, [this] { ended(); });
}

void MonitorController::stop() {
    if (job_.running()) stop_.request_stop();
}

void MonitorController::ended() {
    result_ = std::move(worker_result_);
    worker_result_.reset();
    emit finished();
}

}  // namespace nlx::app
