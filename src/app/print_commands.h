// The print menu: 打印全部, 打印多组 and 打印单组 on the printer chosen with 打印机 (the system
// default until then), the table report painted page by page off the window thread.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "app/print_controller.h"
#include "core/models.h"
#include "reports/report_rows.h"

class QLabel;
class QPrinter;
class QWidget;

namespace nlx::app {

class WaitDialog;
class OperatorDialogs;
class RecordGrid;

// The main window's parts the sheet view shows and hides.
struct SheetViewParts {
    QLabel* title;     // Label1
    QLabel* sheet;     // Label2
    QWidget* logo;     // Image1
    QWidget* grid;     // msflexgrid1
    QWidget* charts;   // the chart area
};

class PrintCommands final : public QObject {
    Q_OBJECT
public:
    PrintCommands(QWidget& window, OperatorDialogs& dialogs, RecordGrid& grid, WaitDialog& wait, SheetViewParts parts,
                  std::function<const ModelInfo*()> model);
    ~PrintCommands() override;

    void printer_setup();  // 打印机
    void print_all();      // 打印全部
    void print_more();     // 打印多组
    void print_one();      // 打印单组

    // Groups first..last (0-based, inclusive) of the grid's rows as the table report.
    void print_range(int first, int last);

    bool running() const { return jobs_.running(); }
    PrintController& jobs() { return jobs_; }
    QPrinter& printer();

signals:
    void running_changed(bool running);

private:
    reports::ReportRows grid_rows() const;
    bool printer_ready();
    void renew_printer();
    void job_ended();

    QWidget& window_;
    OperatorDialogs& dialogs_;
    RecordGrid& grid_;
    WaitDialog& wait_;
    SheetViewParts parts_;
    std::function<const ModelInfo*()> model_;  // the confirmed model, null before one
    std::unique_ptr<QPrinter> printer_;
    PrintController jobs_;
};

}  // namespace nlx::app
