// The print worker: the pages are painted off the window thread; QPainter on a QPrinter may run
// on any one thread at a time.
#include "app/print_controller.h"

#include <QPrinter>

#include "render/report_painter.h"

namespace nlx::app {

PrintController::PrintController(QObject* parent) : QObject(parent) {}

PrintController::~PrintController() {
    if (thread_) {
        stop_ = true;
        thread_->wait();
        delete thread_;
    }
}

bool PrintController::start(QPrinter& printer, std::vector<reports::Page> pages, QString what) {
    if (thread_) return false;
    stop_ = false;
    worker_outcome_.reset();
    thread_ = QThread::create([this, &printer, pages = std::move(pages), what] {
        worker_outcome_ = render::paint_report(
            printer, pages,
            [this](int done, int total) {
                emit progress(done, total);
                return !stop_.load();
            },
            what.toStdString());
    });
    thread_->setObjectName(QStringLiteral("print"));
    connect(thread_, &QThread::finished, this, &PrintController::ended, Qt::QueuedConnection);
    thread_->start();
    return true;
}

void PrintController::ended() {
    if (!thread_) return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    outcome_ = std::move(worker_outcome_);
    worker_outcome_.reset();
    emit finished();
}

}  // namespace nlx::app
