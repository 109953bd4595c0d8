// The micro-printer's speed dialog `Form5` "打印速度选择": 慢速, 中速 and 高速 set the interval of
// the main window's timer (the pause between printed groups is two of its ticks); any control
// hides the dialog, which stays usable while a run prints.
#pragma once

#include <QDialog>
#include <chrono>

namespace nlx::app {

class PrinterSpeedDialog final : public QDialog {
    Q_OBJECT
public:
    explicit PrinterSpeedDialog(QWidget* parent = nullptr);

signals:
    // The timer interval chosen.
    void interval_chosen(std::chrono::milliseconds interval);
};

}  // namespace nlx::app
