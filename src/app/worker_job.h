// One job on a worker thread of its own, whose end reaches the window thread as a queued call:
// the shape every long command of the desktop shares (download, printing, monitor, TM27).
#pragma once

#include <QObject>
#include <QThread>
#include <functional>

namespace nlx::app {

class WorkerJob {
public:
    WorkerJob() = default;
    WorkerJob(const WorkerJob&) = delete;
    WorkerJob& operator=(const WorkerJob&) = delete;
    // Waits for a running job: whoever owns it asks the job to stop first.
    ~WorkerJob();

    // Runs `body` on a new thread called `name`; once it has finished, the thread is gone and
    // `ended` runs on `context`'s thread. False when a job runs already.
    bool start(QObject* context, const QString& name, std::function<void()> body, std::function<void()> ended);
    bool running() const { return thread_ != nullptr; }

private:
    QThread* thread_ = nullptr;
};

}  // namespace nlx::app
