// Runs a TM27 micro-printer job on a worker thread and reports it to the windows through queued
// signals; the pause between groups can be changed while it runs.
#pragma once

#include <QObject>
#include <optional>
#include <stop_token>

#include "app/monitor_controller.h"
#include "app/worker_job.h"
#include "link/tm27_session.h"

namespace nlx::app {

class Tm27Controller final : public QObject {
    Q_OBJECT
public:
    explicit Tm27Controller(QObject* parent = nullptr);
    ~Tm27Controller() override;  // stops a running job and waits for it

    // Starts the job on a line from `links`; false when one runs already.
    bool start(const LinkFactory& links, link::Tm27Request request);
    // Stops the job: between groups at once, during a group once it has been sent.
    void cancel();
    bool running() const { return job_.running(); }
    const std::optional<link::Tm27Result>& result() const { return result_; }

signals:
    void status(const QString& text);
    void progress(qint64 printed, qint64 total);
    void finished();

private:
    void ended();

    std::stop_source stop_;
    std::optional<link::Tm27Result> worker_result_;
    std::optional<link::Tm27Result> result_;
    WorkerJob job_;  // last: it goes first, waiting for the worker that uses the members above
};

}  // namespace nlx::app
