// The download's worker thread: the serial link, the session and the storing step run there;
// the observer's calls become queued signals to the window thread.
#include "app/download_controller.h"

#include <chrono>

#include "app/qt_text.h"
#include "link/serial_link.h"
#include "store/database.h"
#include "store/transfer.h"

namespace nlx::app {

DownloadController::DownloadController(QObject* parent) : QObject(parent) {}

DownloadController::~DownloadController() {
    if (thread_) {
        stop_.request_stop();
        thread_->wait();
        delete thread_;
    }
}

bool DownloadController::start(const DownloadJob& job) {
    if (thread_) return false;
    stop_ = std::stop_source();
    worker_result_.reset();
    thread_ = QThread::create([this, job, stop = stop_.get_token()] { run(job, stop); });
    thread_->setObjectName(QStringLiteral("download"));
    // finished is emitted by the worker; the connection queues it to this object's thread.
    connect(thread_, &QThread::finished, this, &DownloadController::ended, Qt::QueuedConnection);
    thread_->start();
    return true;
}

void DownloadController::cancel() {
    if (thread_) stop_.request_stop();
}

void DownloadController::run(const DownloadJob& job, std::stop_token stop) {
    link::DownloadObserver observer;
    observer.status = [this](const std::string& text) { emit status(qs(text)); };
    observer.show_wait = [this](const std::string& caption) { emit show_wait(qs(caption)); };
    observer.hide_wait = [this] { emit hide_wait(); };
    // Only whole-kilobyte steps cross to the window thread; a fast line would flood it otherwise.
    observer.progress = [this, last = std::size_t(-1)](std::size_t received, std::size_t announced) mutable {
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
    if (!thread_) return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    result_ = std::move(worker_result_);
    worker_result_.reset();
    emit finished();
}

}  // namespace nlx::app
