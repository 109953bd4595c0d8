// The probe's worker thread: a serial link of its own, the report handed back on finishing.
#include "app/probe_runner.h"

#include "link/serial_link.h"

namespace nlx::app {

ProbeRunner::ProbeRunner(QObject* parent) : QObject(parent) {}

ProbeRunner::~ProbeRunner() {
    if (thread_) {
        stop_.request_stop();
        thread_->wait();
        delete thread_;
    }
}

bool ProbeRunner::start(std::vector<std::string> devices, int baud) {
    if (thread_) return false;
    stop_ = std::stop_source();
    thread_ = QThread::create([this, devices = std::move(devices), baud, stop = stop_.get_token()] {
        link::SerialLink serial;
        link::ProbeOptions options;
        options.baud = baud;
        options.until_answered = true;
        worker_report_ = link::probe_ports(devices, serial, options, stop);
    });
    thread_->setObjectName(QStringLiteral("probe"));
    // finished is emitted by the worker; the connection queues it to this object's thread.
    connect(thread_, &QThread::finished, this, &ProbeRunner::ended, Qt::QueuedConnection);
    thread_->start();
    return true;
}

void ProbeRunner::ended() {
    if (!thread_) return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    report_ = std::move(worker_report_);
    worker_report_ = {};
    emit finished();
}

}  // namespace nlx::app
