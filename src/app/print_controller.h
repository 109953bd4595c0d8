// Paints report pages on the chosen printer on a worker thread, page by page, so the window
// stays responsive through a long report; the page count reaches the windows as queued signals.
#pragma once

#include <QObject>
#include <atomic>
#include <optional>
#include <vector>

#include "app/worker_job.h"
#include "core/result.h"
#include "reports/print_page.h"

class QPrinter;

namespace nlx::app {

class PrintController final : public QObject {
    Q_OBJECT
public:
    explicit PrintController(QObject* parent = nullptr);
    ~PrintController() override;  // stops a running job and waits for it

    // Starts painting `pages` on `printer`, which must stay untouched until `finished`; false
    // when a job is running already.
    bool start(QPrinter& printer, std::vector<reports::Page> pages, QString what);
    // Asks the running job to stop after the page being painted; the printer's job is aborted.
    void cancel() { stop_ = true; }
    bool running() const { return job_.running(); }
    // How the last job ended: true printed, false stopped, or the error.
    const std::optional<Result<bool>>& outcome() const { return outcome_; }

signals:
    void progress(qint64 pages_done, qint64 pages_total);
    void finished();

private:
    void ended();

    std::atomic<bool> stop_ = false;
    std::optional<Result<bool>> worker_outcome_;  // written by the worker only
    std::optional<Result<bool>> outcome_;
    WorkerJob job_;  // last: it goes first, waiting for the worker that uses the members above
};

}  // namespace nlx::app
