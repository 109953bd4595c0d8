// The sync's worker thread: a read-only connection of its own on the record database, the same
// core function as nlx sync.
#include "app/sync_controller.h"

#include "store/database.h"

namespace nlx::app {

SyncController::SyncController(QObject* parent) : QObject(parent) {}

SyncController::~SyncController() { stop_.request_stop(); }

bool SyncController::start(SyncJob job) {
    if (job_.running()) return false;
    stop_ = std::stop_source();
    worker_outcome_.reset();
    return job_.start(
        this, QStringLiteral("sync"),
        [this, job = std::move(job), stop = stop_.get_token()] {
            // A database that does not exist yet holds nothing to send.
            std::error_code ec;
            auto db = std::filesystem::exists(job.database, ec) ? Database::open_read_only(job.database)
                                                                : Database::create_or_open(job.database);
            if (!db) {
                worker_outcome_ = Result<team::SyncReport>(db.error());
                return;
            }
            worker_outcome_ = team::send_transfers(
                job.server, job.station, *db, job.storage,
                [this](std::size_t done, std::size_t total) { emit progress(qint64(done), qint64(total)); }, stop);
        },
        [this] { ended(); });
}

void SyncController::cancel() { stop_.request_stop(); }

void SyncController::ended() {
    outcome_ = std::move(worker_outcome_);
    worker_outcome_.reset();
    emit finished();
}

}  // namespace nlx::app
