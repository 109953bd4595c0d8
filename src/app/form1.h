// The main window `Form1`: program-wide state, menus, title label, logo, record grid, and the
// commands of the shell, the download and the database files.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/download_controller.h"
#include "app/monitor_controller.h"
#include "app/tm27_controller.h"
#include "app/form6.h"
#include "core/models.h"
#include "core/settings.h"
#include "store/database.h"

class QAction;
class QLabel;
class QMenu;

namespace nlx::app {

class ChartView;
class Form2;
class Form3;
class Form4;
class Form5;
class Form6;
class OperatorDialogs;
class ExportCommands;
class TransferWindow;
class PrintCommands;
class GroupCharts;
class RecordGrid;

class Form1 final : public QMainWindow {
    Q_OBJECT
public:
    Form1(std::filesystem::path app_folder, OperatorDialogs& dialogs);
    ~Form1() override;

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
    void use_settings(const SerialSettings& settings);

    char model() const { return ab_; }
    const SerialSettings& settings() const { return settings_; }
    const std::filesystem::path& database_file() const { return db_path_; }
    const std::filesystem::path& app_folder() const { return app_folder_; }

    RecordGrid* grid() const { return grid_; }
    Form3* wait_window() const { return wait_; }
    Form6* model_dialog() const { return form6_; }  // while it is open
    Form2* settings_dialog() const { return form2_; }  // once it was opened
    DownloadController& downloads() { return downloads_; }
    QMenu* popup() const { return popup_; }
    GroupCharts& charts() const { return *charts_; }
    PrintCommands& prints() const { return *prints_; }
    ExportCommands& exports() const { return *exports_; }
    TransferWindow* transfer_window() const { return transfers_; }
    Form4* monitor_window() const { return form4_; }  // once 监测 was used
    Form5* speed_dialog() const { return form5_; }
    const QTimer& timer1() const { return timer1_; }
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
    QAction* action(const char* name) const;
    void set_serial_command_running(bool running);
    void update_status_line();  // the database, the model and the port in the status bar

    void show_model_dialog();
    void show_settings();
    void about();
    void popup_about();
    void leave_logo();
    void show_grid();

    void download();
    void download_ended();
    void open_file();
    void save_as();
    void export_records();  // 导出
    void show_transfers();  // 传输记录
    void offer_capture(const QString& path);
    // A download, import or restore replaced the records of `model`: the grid and charts show
    // them when it is the current model.
    void show_replaced_records(char model);
    void add_record_command();
    void open_history_file(const QString& file);
    void show_popup(const QPoint& at, ChartView* chart);
    void save_chart(bool svg);
    void monitor();
    void tm27(bool all);

    // Reads the model's record table into the grid in one query and marks the first row (the
    // last with `last_row_current`); false, with the reason in the title label, when the table
    // cannot be read.
    bool refresh_grid(bool last_row_current = false);
    Database* data1();  // the record connection, opened on db_path_ when needed

    std::filesystem::path app_folder_;
    OperatorDialogs& dialogs_;
    const ModelInfo* model_info_ = nullptr;

    // Program-wide variables.
    char ab_ = 0;
    SerialSettings settings_;
    QString settings_note_;  // why sys.cfg was not used, until settings are applied
    std::filesystem::path fdir_;
    unsigned prn_ = 1;
    unsigned pause_ = 0;
    QTimer timer1_;

    std::filesystem::path db_path_;
    std::optional<Database> data1_;

    QLabel* label1_ = nullptr;
    QLabel* status_line_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* image1_ = nullptr;
    RecordGrid* grid_ = nullptr;
    std::unique_ptr<GroupCharts> charts_;
    QAction* save_png_ = nullptr;
    QAction* save_svg_ = nullptr;
    QPointer<ChartView> popup_chart_;  // the chart the popup was opened over
    QMenu* popup_ = nullptr;
    std::vector<QAction*> exclusive_actions_;
    Form3* wait_ = nullptr;
    QPointer<Form6> form6_;
    Form2* form2_ = nullptr;
    DownloadController downloads_;
    std::unique_ptr<PrintCommands> prints_;
    std::unique_ptr<ExportCommands> exports_;
    TransferWindow* transfers_ = nullptr;
    QString capture_to_offer_;
    LinkFactory links_ = serial_link_factory();
    Form4* form4_ = nullptr;
    Form5* form5_ = nullptr;
    Tm27Controller tm27_;
    std::shared_ptr<link::Tm27Pause> tm27_pause_ = std::make_shared<link::Tm27Pause>();
    bool form4_loaded_ = false;
};

}  // namespace nlx::app
