// Runs a download on a worker thread and reports it to the windows through queued signals.
#pragma once

#include <QObject>
#include <filesystem>
#include <memory>
#include <optional>
#include <stop_token>

#include "app/worker_job.h"
#include "link/download_session.h"

namespace nlx::app {

struct DownloadJob {
    link::DownloadRequest request;
    std::filesystem::path database;      // the record database the rows replace
    std::filesystem::path storage;       // the storage folder: capture and history files
};

class DownloadController final : public QObject {
    Q_OBJECT
public:
    explicit DownloadController(QObject* parent = nullptr);
    ~DownloadController() override;  // stops a running download and waits for it

    // Starts the download; false when one is running already.
    bool start(const DownloadJob& job);
    // Asks the running download to stop; it ends within about 100 ms, storing nothing.
    void cancel();
    bool running() const { return job_.running(); }
    // The result of the last download that ended.
    const std::optional<link::DownloadResult>& result() const { return result_; }

signals:
    void status(const QString& text);
    void show_wait(const QString& caption);
    void hide_wait();
    void progress(qint64 received, qint64 announced);
    void finished();

private:
    void run(const DownloadJob& job, std::stop_token stop);
    void ended();

    std::stop_source stop_;
    std::optional<link::DownloadResult> worker_result_;  // written by the worker only
    std::optional<link::DownloadResult> result_;
    WorkerJob job_;  // last: it goes first, waiting for the worker that uses the members above
};

}  // namespace nlx::app
