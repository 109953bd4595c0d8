// 文件 → 同步: sends the logged transfers to the team database on a worker thread, reporting
// progress through queued signals; cancel stops it between transfers (or its running statement).
#pragma once

#include <QObject>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>

#include "app/worker_job.h"
#include "core/result.h"
#include "team/team_sync.h"

namespace nlx::app {

struct SyncJob {
    std::string server;               // the team database's connection string (no password)
    std::string station;
    std::filesystem::path database;   // the record database whose log is sent
    std::filesystem::path storage;    // the storage folder of its capture files
};

class SyncController final : public QObject {
    Q_OBJECT
public:
    explicit SyncController(QObject* parent = nullptr);
    ~SyncController() override;  // stops a running sync and waits for it

    // Starts the sync; false when one is running already.
    bool start(SyncJob job);
    void cancel();
    bool running() const { return job_.running(); }
    // How the last sync ended, once `finished` has been emitted.
    const std::optional<Result<team::SyncReport>>& outcome() const { return outcome_; }

signals:
    void progress(qint64 done, qint64 total);
    void finished();

private:
    void ended();

    std::stop_source stop_;
    std::optional<Result<team::SyncReport>> worker_outcome_;  // written by the worker only
    std::optional<Result<team::SyncReport>> outcome_;
    WorkerJob job_;  // last: it goes first, waiting for the worker that uses the members above
};

}  // namespace nlx::app
