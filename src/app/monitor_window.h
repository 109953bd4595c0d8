// The monitor window `Form4` "实时监测": the live level as large text and on a bar with the
// model's scale, a trend of the last minute, one exchange at a time while the window is shown;
// 记录 / 停止记录 record the exchange in the record database, with the running figures shown.
#pragma once

#include <QDialog>
#include <array>
#include <filesystem>

#include "app/monitor_controller.h"
#include "core/settings.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace nlx::app {

class LevelTrend;

class MonitorWindow final : public QDialog {
    Q_OBJECT
public:
    MonitorWindow(LinkFactory links, QWidget* parent = nullptr);

    // Sets the scale and names of `model` (a fresh load of the window).
    void load(const ModelInfo& model);
    // Shows the window and starts an exchange on `port` at `baud` unless one runs.
    void monitor(const PortSpec& port, int baud);
    // The record database 记录 records into.
    void set_database(std::filesystem::path file) { database_ = std::move(file); }
    // 记录 while not recording, 停止记录 while recording: the exchange starts again, recording or not.
    void toggle_recording();
    bool recording() const { return recording_; }
    QPushButton* record_button() const { return record_; }
    QString figures_text() const;

    MonitorController& exchanges() { return controller_; }
    char model() const { return model_->letter; }
    double bar_level() const;  // the bar's value in dB
    QString surface_text() const;
    QString last_level_text() const { return last_level_; }  // the last "Lp=…dB" shown

signals:
    void running_changed(bool running);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void start_exchange();
    void show_level(const QString& text, double bar, bool in_range);
    void show_message(const QString& text);
    void exchange_ended();
    void show_record_state();

    MonitorController controller_;
    const ModelInfo* model_ = &all_models().front();
    PortSpec port_;
    int baud_ = 9600;
    QProgressBar* bar_;
    std::array<QLabel*, 3> scale_{};
    QLabel* instant_;
    QLabel* quantity_;
    QLabel* surface_;
    LevelTrend* trend_;
    QPushButton* record_;
    QLabel* figures_;
    QString last_level_;
    std::filesystem::path database_;
    bool recording_ = false;  // the exchange that runs, or the next one, records
    bool restart_ = false;    // the exchange was stopped to start again with the other setting
};

}  // namespace nlx::app
