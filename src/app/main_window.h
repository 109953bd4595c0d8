// The main window `Form1`: menus, title label, logo, record grid and charts, over the workspace
// it observes; the shell's commands, the download and the micro-printer jobs.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "app/menu_table.h"
#include "app/model_dialog.h"
#include "app/monitor_controller.h"
#include "app/sync_controller.h"
#include "app/tm27_controller.h"
#include "app/workspace.h"
#include "core/settings.h"
#include "team/team_settings.h"

class QAction;
class QLabel;
class QMenu;

namespace nlx::app {

class AssessmentWindow;
class ChartView;
class DatabaseCommands;
class ExportCommands;
class GroupCharts;
class LanguageDialog;
class ModelDialog;
class MonitorWindow;
class OperatorDialogs;
class PrintCommands;
class PrinterSpeedDialog;
class RecordGrid;
class SettingsDialog;
class StandardDialog;
class TeamDialog;
class TransferWindow;
class WaitDialog;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(std::filesystem::path app_folder, OperatorDialogs& dialogs);
    ~MainWindow() override;

    // Start-up: sys.cfg (or `settings` when given, as --simulate does), the database file, the
    // logo; then the model dialog while this window stays hidden.
    void start(const std::optional<SerialSettings>& settings = std::nullopt);

    // Runs the model confirmation: grid layout, titles, the "提示" message; then the offer to
    // import the capture file given on the command line, if any.
    void confirm_model(char letter);
    // A capture file (double-clicked in the file manager) to offer for import once a model is
    // confirmed.
    void offer_capture_after_confirmation(const QString& path) { capture_to_offer_ = path; }

    // The running port and speed, as the settings dialog's 确  定 sets them.
    void use_settings(const SerialSettings& settings) { workspace_.use_settings(settings); }

    // The letter of the confirmed model; 0 before the first confirmation.
    char model() const { return workspace_.model() ? workspace_.model()->letter : 0; }
    const SerialSettings& settings() const { return workspace_.settings(); }
    const std::filesystem::path& database_file() const { return workspace_.database_file(); }
    const std::filesystem::path& app_folder() const { return workspace_.app_folder(); }
    Workspace& workspace() { return workspace_; }

    RecordGrid* grid() const { return grid_; }
    WaitDialog* wait_window() const { return wait_; }
    ModelDialog* model_dialog() const { return model_dialog_; }  // while it is open
    SettingsDialog* settings_dialog() const { return settings_dialog_; }  // once it was opened
    StandardDialog* standard_dialog() const { return standard_dialog_; }  // once it was opened
    LanguageDialog* language_dialog() const { return language_dialog_; }  // once it was opened
    AssessmentWindow* assessment_window() const { return assessment_; }  // once it was opened
    TeamDialog* team_dialog() const { return team_dialog_; }              // once it was opened
    SyncController& syncs() { return sync_; }
    DownloadController& downloads() { return workspace_.downloads(); }
    QMenu* popup() const { return popup_; }
    GroupCharts& charts() const { return *charts_; }
    PrintCommands& prints() const { return *prints_; }
    ExportCommands& exports() const { return *exports_; }
    TransferWindow* transfer_window() const { return transfers_; }
    MonitorWindow* monitor_window() const { return monitor_window_; }  // once 监测 was used
    PrinterSpeedDialog* speed_dialog() const { return speed_dialog_; }
    Tm27Controller& tm27_jobs() { return tm27_; }
    // The line the monitor and the micro-printer open: the serial port unless a test sets one.
    void set_link_factory(LinkFactory links);

signals:
    // The current group changed (a download, 打开, 添加记录, the grid's current row): the
    // charts follow it. -1 when the grid has no rows.
    void current_group_changed(int row);
    void download_finished();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build_menus();
    void build_central();
    void run(Command command);  // what a menu item does
    void set_serial_command_running(bool running);
    void update_status_line();  // the database, the model and the port in the status bar

    void show_model_dialog();
    void show_settings();
    void show_standard_dialog();  // 评价标准
    void show_language_dialog();  // 语言
    void show_assessment();       // 达标评价
    void standard_or_model_changed();
    void about();
    void popup_about();
    void leave_logo();
    void show_grid();

    void download();
    void download_ended();
    void export_records();  // 导出
    void show_transfers();  // 传输记录
    void sync();            // 同步
    void sync_ended();
    void show_team_settings();  // 团队数据库
    // A download, import or restore replaced the records of `model`: the grid and charts show
    // them when it is the current model.
    void show_replaced_records(char model);
    void open_history_file(const QString& file);
    void show_popup(const QPoint& at, ChartView* chart);
    void save_chart(bool svg);
    void monitor();
    void tm27(bool all);

    // Reads the model's record table into the grid in one query and marks the first row (the
    // last with `last_row_current`); false, with the reason in the title label, when the table
    // cannot be read.
    bool refresh_grid(bool last_row_current = false);

    Workspace workspace_;
    OperatorDialogs& dialogs_;
    // The micro-printer's pause between groups is two ticks of this interval (40, 30 or 20 s).
    std::chrono::milliseconds printer_tick_ = link::tm27_tick(link::Tm27Speed::slow);

    QLabel* title_label_ = nullptr;  // Label1
    QLabel* sheet_label_ = nullptr;  // Label2
    QLabel* logo_ = nullptr;         // Image1
    QLabel* status_line_ = nullptr;
    RecordGrid* grid_ = nullptr;
    std::unique_ptr<GroupCharts> charts_;
    QAction* save_png_ = nullptr;
    QAction* save_svg_ = nullptr;
    QPointer<ChartView> popup_chart_;  // the chart the popup was opened over
    QMenu* popup_ = nullptr;
    std::vector<QAction*> exclusive_actions_;
    WaitDialog* wait_ = nullptr;
    QPointer<ModelDialog> model_dialog_;
    SettingsDialog* settings_dialog_ = nullptr;
    StandardDialog* standard_dialog_ = nullptr;
    LanguageDialog* language_dialog_ = nullptr;
    AssessmentWindow* assessment_ = nullptr;
    TeamDialog* team_dialog_ = nullptr;
    std::unique_ptr<DatabaseCommands> database_commands_;
    std::unique_ptr<PrintCommands> prints_;
    std::unique_ptr<ExportCommands> exports_;
    TransferWindow* transfers_ = nullptr;
    QString capture_to_offer_;
    LinkFactory links_ = serial_link_factory();
    MonitorWindow* monitor_window_ = nullptr;
    PrinterSpeedDialog* speed_dialog_ = nullptr;
    Tm27Controller tm27_;
    SyncController sync_;
    team::TeamSettings sync_settings_;  // what team.cfg said when the running sync started
    std::shared_ptr<link::Tm27Pause> tm27_pause_ = std::make_shared<link::Tm27Pause>();
    bool monitor_loaded_ = false;
};

}  // namespace nlx::app
