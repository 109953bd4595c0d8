// Worker threads of the desktop's long commands.
#include "app/worker_job.h"

namespace nlx::app {

WorkerJob::~WorkerJob() {
    if (!thread_) return;
    thread_->wait();
    delete thread_;
}

bool WorkerJob::start(QObject* context, const QString& name, std::function<void()> body, std::function<void()> ended) {
    if (thread_) return false;
    thread_ = QThread::create(std::move(body));
    thread_->setObjectName(name);
    // finished is emitted by the worker; the connection queues it to the context's thread.
    QObject::connect(thread_, &QThread::finished, context, [this, ended = std::move(ended)] {
        if (!thread_) return;
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
        ended();
    }, Qt::QueuedConnection);
    thread_->start();
    return true;
}

}  // namespace nlx::app
