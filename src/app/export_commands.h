// 导出: the model's records saved as an .xlsx workbook on a worker thread while the please-wait
// window shows, then the offer to open the workbook in the desktop's spreadsheet program.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "app/worker_job.h"
#include "core/result.h"
#include "reports/workbook_sheet.h"

class QWidget;

namespace nlx::app {

class WaitDialog;
class OperatorDialogs;

class ExportCommands final : public QObject {
    Q_OBJECT
public:
    ExportCommands(QWidget& window, OperatorDialogs& dialogs, WaitDialog& wait);
    ~ExportCommands() override;

    // Asks for the file (in `folder`), then writes the workbook of `sheets` there off the window
    // thread; nothing happens when the operator cancels the save dialog. False when no export was
    // started.
    bool start(const QString& folder, std::vector<reports::WorkbookSheet> sheets);
    bool running() const { return job_.running(); }
    // How the last export ended, once `finished` has been emitted.
    const std::optional<Result<void>>& outcome() const { return outcome_; }

signals:
    void running_changed(bool running);
    // After the closing messages: the window resets its marker column.
    void finished();

private:
    void ended();

    QWidget& window_;
    OperatorDialogs& dialogs_;
    WaitDialog& wait_;
    QString path_;
    std::optional<Result<void>> worker_outcome_;  // written by the worker only
    std::optional<Result<void>> outcome_;
    WorkerJob job_;  // last: it goes first, waiting for the worker that uses the members above
};

}  // namespace nlx::app
