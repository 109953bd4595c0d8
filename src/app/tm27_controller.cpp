// The micro-printer's worker thread: the session's observer calls become queued signals.
#include "app/tm27_controller.h"

#include "app/qt_text.h"
#include "core/tm27_status.h"

namespace nlx::app {

Tm27Controller::Tm27Controller(QObject* parent) : QObject(parent) {}

Tm27Controller::~Tm27Controller() {
    // Asks the job to stop; job_, destroyed first of the members, then waits for its thread.
    stop_.request_stop();
}

bool Tm27Controller::start(const LinkFactory& links, link::Tm27Request request) {
    if (job_.running()) return false;
    stop_ = std::stop_source();
    worker_result_.reset();
    return job_.start(this, QStringLiteral("tm27"), [this, links, request = std::move(request), stop = stop_.get_token()]() mutable {
        auto line = links();
        Tm27StatusLines lines([this](const std::string& text) { emit status(qs(text)); });
        link::Tm27Observer observer;
        observer.ready = [&lines] { lines.ready(); };
        observer.refused = [&lines](std::size_t, const std::string& why) { lines.refused(why); };
        observer.ended = [&lines](Tm27Outcome outcome, const std::string& detail) { lines.ended(outcome, detail); };
        observer.group_printed = [this](std::size_t index, std::size_t total) { emit progress(qint64(index) + 1, qint64(total)); };
        link::Tm27Session session(*line, std::move(request), observer);
        worker_result_ = session.run(stop);
    }, [this] { ended(); });
}

void Tm27Controller::cancel() {
    if (job_.running()) stop_.request_stop();
}

void Tm27Controller::ended() {
    result_ = std::move(worker_result_);
    worker_result_.reset();
    emit finished();
}

}  // namespace nlx::app
