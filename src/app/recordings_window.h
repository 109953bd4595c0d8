// 文件 → 监测记录: the recordings of the live level, a chosen one's time history, and its export
// as CSV or .xlsx; the reading runs on a worker thread, so a 24-hour recording never freezes it.
#pragma once

#include <QDialog>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/worker_job.h"
#include "charts/chart.h"
#include "core/result.h"
#include "store/recordings.h"

class QPushButton;
class QTableWidget;
class QLabel;

namespace nlx::app {

class ChartView;
class OperatorDialogs;

class RecordingsWindow final : public QDialog {
    Q_OBJECT
public:
    RecordingsWindow(QWidget* parent, OperatorDialogs& dialogs);
    ~RecordingsWindow() override;

    // Reads the recordings of `database` again into the list.
    void reload(const std::filesystem::path& database);
    // Draws the chosen row's time history.
    void draw_chosen();
    // Asks for a file and writes the chosen recording there (`xlsx`: a workbook, else CSV).
    void export_chosen(bool xlsx);

    QTableWidget* list() const { return list_; }
    ChartView* chart() const { return chart_; }
    bool busy() const { return job_.running(); }

signals:
    void idle();  // a reading or an export has ended

private:
    const RecordingInfo* chosen() const;
    void run(std::function<void()> body, std::function<void()> ended);
    void fill();

    OperatorDialogs& dialogs_;
    std::filesystem::path database_;
    QTableWidget* list_;
    ChartView* chart_;
    QPushButton* csv_;
    QPushButton* xlsx_;
    QLabel* status_;
    std::vector<RecordingInfo> recordings_;
    // Handed from the worker to the window thread by the job's end.
    Result<std::vector<RecordingInfo>> read_{std::vector<RecordingInfo>()};
    Result<charts::Chart> drawn_{charts::Chart()};
    Result<void> exported_;
    WorkerJob job_;  // last: it goes first, waiting for its worker
};

// Shows the window of `parent` (made on first use) on the recordings of `database`.
void show_recordings(QWidget* parent, OperatorDialogs& dialogs, const std::filesystem::path& database);

}  // namespace nlx::app
