// The download's worker thread: the serial link, the session and the storing step run there;
// the observer's calls become queued signals to the window thread.
#include "app/download_controller.h"

#include <chrono>

#include "app/download_presenter.h"
#include "app/qt_text.h"
#include "link/serial_link.h"
#include "store/database.h"
#include "transfer/transfer.h"

namespace nlx::app {

DownloadController::DownloadController(QObject* parent) : QObject(parent) {}

DownloadController::~DownloadController() {
    // Asks the job to stop; job_, destroyed first of the members, then waits for its thread.
    stop_.request_stop();
}

bool DownloadController::start(const DownloadJob& job) {
    if (job_.running()) return false;
    stop_ = std::stop_source();
    worker_result_.reset();
    return job_.start(
        this, QStringLiteral("download"), [this, job, stop = stop_.get_token()] { run(job, stop); }, [this] { ended(); });
}

void DownloadController::cancel() {
    if (job_.running()) stop_.request_stop();
}

void DownloadController::run(const DownloadJob& job, std::stop_token stop) {
    DownloadPresenter presenter(job.request.model, DownloadView{
        .status = [this](const std::string& text) { emit status(qs(text)); },
        .show_wait = [this](const std::string& caption) { emit show_wait(qs(caption)); },
        .hide_wait = [this] { emit hide_wait(); },
    });
    link::DownloadObserver observer = presenter.observer();
    // Only whole-kilobyte steps cross to the window thread; a fast line would flood it otherwise.
    observer.progress = [this, &presenter, last = std::size_t(-1)](std::size_t received, std::size_t announced) mutable {
        presenter.progress(received, announced);
        std::size_t step = received / 1024;
        if (step == last && received != announced) return;
        last = step;
        emit progress(qint64(received), qint64(announced));
    };

    const CaptureOrigin origin{{}, port_device_name(job.request.port), job.request.baud};
    link::StoreHook store = [&job, &origin](const Capture& capture, bool) -> Result<TransferSummary> {
        // The worker's own connection on the file; the window thread keeps its own for the grid.
        auto db = Database::create_or_open(job.database, true);
        if (!db) return db.error();
        return keep_and_store_transfer(*db, job.storage, job.request.model, capture, origin,
                                       std::chrono::system_clock::now());
    };
    link::SerialLink serial;
    link::DownloadSession session(serial, job.request, observer, store);
    worker_result_ = session.run(stop);
}

void DownloadController::ended() {
    result_ = std::move(worker_result_);
    worker_result_.reset();
    emit finished();
}

}  // namespace nlx::app
