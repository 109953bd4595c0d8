// The please-wait window `Form3`: a caption set by the caller, dots that grow one a second, and
// while a download runs the bytes received and a cancel button.
#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace nlx::app {

class Form3 final : public QDialog {
    Q_OBJECT
public:
    explicit Form3(QWidget* parent = nullptr);

    // Sets the caption and shows the window; the dots start again from the label's first text.
    void show_with(const QString& caption);
    // The bar of bytes received; hidden until the first call.
    void set_progress(qint64 received, qint64 announced);
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
};

}  // namespace nlx::app
