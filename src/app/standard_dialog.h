// The dialog 设置 → 评价标准: the standard the groups are assessed against, its zone or area
// class, or the limits the operator gives; kept in standard.cfg through the workspace.
#pragma once

#include <QDialog>
#include <optional>

#include "core/result.h"
#include "core/standard_choice.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;

namespace nlx::app {

class OperatorDialogs;
class Workspace;

class StandardDialog final : public QDialog {
    Q_OBJECT
public:
    StandardDialog(Workspace& workspace, OperatorDialogs& dialogs, QWidget* parent = nullptr);

    // Shows the workspace's choice (none: 不评价), and why standard.cfg was not used, if it was not.
    void select();

    // What the controls say: nullopt for 不评价; an error (in the operator's words) for limits
    // that make no criterion.
    Result<std::optional<StandardChoice>> chosen() const;

private:
    void standard_picked();
    void show_limits();
    void save();

    Workspace& workspace_;
    OperatorDialogs& dialogs_;
    QComboBox* standards_;
    QLabel* class_label_;
    QComboBox* classes_;
    QLabel* day_label_;
    QDoubleSpinBox* day_;
    QLabel* night_label_;
    QDoubleSpinBox* night_;
    QLabel* limits_;  // the chosen class's limits and the standard's rule
    QLabel* note_;    // why standard.cfg was not used
};

}  // namespace nlx::app
