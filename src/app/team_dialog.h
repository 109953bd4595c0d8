// 设置 → 团队数据库: the team database's connection string (never a password) and this station's
// name, kept in team.cfg; 测试 connects on a worker thread and says what the server holds.
#pragma once

#include <QDialog>
#include <filesystem>
#include <optional>
#include <stop_token>

#include "app/worker_job.h"
#include "core/result.h"
#include "team/team_sync.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace nlx::app {

class TeamDialog final : public QDialog {
    Q_OBJECT
public:
    explicit TeamDialog(std::filesystem::path settings_file, QWidget* parent = nullptr);
    ~TeamDialog() override;  // stops a running test and waits for it

    // Shows what team.cfg holds (or why it cannot be read).
    void load();
    bool testing() const { return job_.running(); }
    QString note() const;

signals:
    void saved();
    void test_finished();

private:
    void save();
    void start_test();
    void test_ended();
    void show_note(const QString& text, bool trouble);

    std::filesystem::path settings_file_;
    QLineEdit* server_;
    QLineEdit* station_;
    QLabel* note_;
    QPushButton* test_button_;
    std::stop_source stop_;
    std::optional<Result<team::ServerCheck>> worker_check_;  // written by the worker only
    WorkerJob job_;  // last: it goes first, waiting for the worker that uses the members above
};

}  // namespace nlx::app
