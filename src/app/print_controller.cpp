// The print worker: the pages are painted off the window thread; QPainter on a QPrinter may run
// on any one thread at a time.
#include "app/print_controller.h"

#include <QPrinter>

#include "render/report_painter.h"

namespace nlx::app {

PrintController::PrintController(QObject* parent) : QObject(parent) {}

PrintController::~PrintController() {
    // Asks the job to stop; job_, destroyed first of the members, then waits for its thread.
    stop_ = true;
}

bool PrintController::start(QPrinter& printer, std::vector<reports::Page> pages, QString what) {
    if (job_.running()) return false;
    stop_ = false;
    worker_outcome_.reset();
    return job_.start(this, QStringLiteral("print"), [this, &printer, pages = std::move(pages), what] {
        worker_outcome_ = render::paint_report(
            printer, pages,
            [this](int done, int total) {
                emit progress(done, total);
                return !stop_.load();
            },
            what.toStdString());
    }, [this] { ended(); });
}

void PrintController::ended() {
    outcome_ = std::move(worker_outcome_);
    worker_outcome_.reset();
    emit finished();
}

}  // namespace nlx::app
