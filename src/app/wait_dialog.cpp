// Please-wait window.
#include "app/wait_dialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "core/texts.h"

namespace nlx::app {

WaitDialog::WaitDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("Form3");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    setModal(false);
    label_ = new QLabel(qs(texts::wait_label(0)), this);
    label_->setObjectName("Label1");
    label_->setMinimumWidth(label_->fontMetrics().horizontalAdvance(qs(texts::wait_label(0))) + 40);
    QFont big = label_->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    label_->setFont(big);
    bar_ = new QProgressBar(this);
    bar_->setObjectName("progress");
    bar_->setTextVisible(true);
    bar_->hide();
    cancel_ = new QPushButton(qtr(texts::kWaitCancel), this);
    cancel_->setObjectName("cancel");
    cancel_->hide();
    connect(cancel_, &QPushButton::clicked, this, &WaitDialog::cancel_requested);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    setMinimumWidth(320);

    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &WaitDialog::tick);
}

void WaitDialog::show_with(const QString& caption) {
    setWindowTitle(caption);
    if (!isVisible()) {
        ticks_ = 0;
        label_->setText(qs(texts::wait_label(0)));
        timer_.start();
    }
    show();
    raise();
}

void WaitDialog::set_progress(qint64 done, qint64 total) {
    if (total <= 0) return;
    done = std::min(done, total);
    if (count_ == Count::bytes) {
        // The bar counts kilobytes so that the largest transfer stays inside its int range.
        bar_->setRange(0, int((total + 1023) / 1024));
        bar_->setValue(int(done / 1024));
    } else {
        bar_->setRange(0, int(total));
        bar_->setValue(int(done));
    }
    const std::string_view count = count_ == Count::bytes       ? texts::kCountBytes
                                   : count_ == Count::groups    ? texts::kCountGroups
                                   : count_ == Count::transfers ? texts::kCountTransfers
                                                                : texts::kCountPages;
    bar_->setFormat(qs(fill(nlx::tr(count), {std::to_string(done), std::to_string(total)})));
    bar_->show();
}

void WaitDialog::set_cancellable(bool cancellable) {
    cancel_->setVisible(cancellable);
    if (!cancellable) bar_->hide();
}

void WaitDialog::tick() {
    ++ticks_;
    label_->setText(qs(texts::wait_label(ticks_)));
}

void WaitDialog::closeEvent(QCloseEvent* event) {
    // Closing the window while a download runs asks it to stop, as the button does.
    if (cancel_->isVisible()) emit cancel_requested();
    event->ignore();
}

void WaitDialog::hideEvent(QHideEvent* event) {
    timer_.stop();
    QDialog::hideEvent(event);
}

}  // namespace nlx::app
