// The please-wait window `Form3`: a caption set by the caller, dots that grow one a second, and
// while a download runs the bytes received and a cancel button.
#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace nlx::app {

class WaitDialog final : public QDialog {
    Q_OBJECT
public:
    explicit WaitDialog(QWidget* parent = nullptr);

    // Sets the caption and shows the window; the dots start again from the label's first text.
    void show_with(const QString& caption);
    // What the bar counts: the bytes of a download, the groups of a TM27 job, the pages of a
    // print, the transfers of a sync.
    enum class Count { bytes, groups, pages, transfers };
    // Sets what the bar counts from now on (bytes until set otherwise).
    void count(Count what) { count_ = what; }
    // The bar of what is done of the whole; hidden until the first call.
    void set_progress(qint64 done, qint64 total);
    // Whether the cancel button is offered.
    void set_cancellable(bool cancellable);

    // One tick of the one-second timer: the label from the tick count modulo 6.
    void tick();
    unsigned long long ticks() const { return ticks_; }

signals:
    void cancel_requested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    QTimer timer_;
    unsigned long long ticks_ = 0;
    Count count_ = Count::bytes;
};

}  // namespace nlx::app
