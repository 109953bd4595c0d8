// The 达标评价 window: the current group's or 24-hour run's assessment against the chosen
// standard (measured values, limits, margins, verdicts, why a group is not assessed, the hours a
// run lacks), following the grid's current row. A window of its own, so the main window keeps
// its layout.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "assess/assessment.h"
#include "charts/group_rows.h"

class QLabel;
class QTableWidget;

namespace nlx::app {

class Workspace;

class AssessmentWindow final : public QDialog {
    Q_OBJECT
public:
    // `rows` gives the rows the grid shows.
    AssessmentWindow(Workspace& workspace, std::function<charts::GroupRows()> rows, QWidget* parent = nullptr);

    // The current row changed (-1: no rows); the window shows its assessment while it is open.
    void show_row(int row);
    // Assesses the current row again: the standard, the model or the rows changed.
    void refresh();

    // What the window shows; nullopt without a standard, a model or a row.
    const std::optional<assess::Assessment>& shown() const { return shown_; }

signals:
    // 评价标准... : the operator wants to choose the standard.
    void choose_standard();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void show_nothing(const QString& why);

    Workspace& workspace_;
    std::function<charts::GroupRows()> rows_;
    int row_ = -1;
    std::optional<assess::Assessment> shown_;
    QLabel* standard_;  // the standard and class
    QLabel* heading_;   // the group or run and its outcome
    QTableWidget* checks_;
    QLabel* details_;   // why not assessed, the hours missing, the notes
};

}  // namespace nlx::app
