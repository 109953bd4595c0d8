// Monitor window: the readings of the worker's exchange on the window thread.
#include "app/monitor_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/level_trend.h"
#include "app/qt_text.h"
#include "core/monitor_scale.h"
#include "core/texts.h"

namespace nlx::app {
namespace {
// The bar counts tenths of a decibel so that 115.6 stands where it should.
constexpr int kTenths = 10;
}

MonitorWindow::MonitorWindow(LinkFactory links, QWidget* parent) : QDialog(parent), controller_(std::move(links)) {
    setObjectName("Form4");
    setWindowTitle(qtr(texts::kMonitorTitle));
    setModal(false);

    surface_ = new QLabel(this);
    surface_->setObjectName("surface");
    surface_->setAlignment(Qt::AlignCenter);
    surface_->setMinimumHeight(150);
    surface_->setWordWrap(true);

    bar_ = new QProgressBar(this);
    bar_->setObjectName("PBar");
    bar_->setRange(kBarMinimum * kTenths, kBarMaximum * kTenths);
    bar_->setValue(kBarMinimum * kTenths);
    bar_->setTextVisible(false);

    auto* scale = new QGridLayout;
    for (int k = 0; k < 3; ++k) {
        scale_[std::size_t(k)] = new QLabel(this);
        scale_[std::size_t(k)]->setObjectName(QStringLiteral("Label1_%1").arg(k));
        scale->addWidget(scale_[std::size_t(k)], 0, k, k == 0 ? Qt::AlignLeft : k == 1 ? Qt::AlignHCenter : Qt::AlignRight);
    }
    instant_ = new QLabel(qtr(texts::kMonitorInstant), this);
    instant_->setObjectName("Label2_0");
    quantity_ = new QLabel(this);
    quantity_->setObjectName("Label2_1");
    auto* names = new QHBoxLayout;
    names->addWidget(instant_);
    names->addWidget(quantity_);
    names->addStretch();

    trend_ = new LevelTrend(this);

    record_ = new QPushButton(qtr(texts::kMonitorRecord), this);
    record_->setObjectName("record");
    figures_ = new QLabel(this);
    figures_->setObjectName("figures");
    auto* recording = new QHBoxLayout;
    recording->addWidget(record_);
    recording->addWidget(figures_, 1);
    connect(record_, &QPushButton::clicked, this, &MonitorWindow::toggle_recording);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(surface_, 1);
    layout->addLayout(names);
    layout->addWidget(bar_);
    layout->addLayout(scale);
    layout->addWidget(trend_);
    layout->addLayout(recording);
    resize(720, 480);

    connect(&controller_, &MonitorController::shown, this, &MonitorWindow::show_level);
    connect(&controller_, &MonitorController::message, this, &MonitorWindow::show_message);
    connect(&controller_, &MonitorController::finished, this, &MonitorWindow::exchange_ended);
    connect(&controller_, &MonitorController::recording, figures_, &QLabel::setText);
    load(*model_);
}

void MonitorWindow::load(const ModelInfo& model) {
    const MonitorScale* scale = &model.monitor;
    model_ = &model;
    for (std::size_t k = 0; k < 3; ++k) scale_[k]->setText(qs(scale->captions[k]));
    quantity_->setText(qtr(scale->quantity));
    bar_->setValue(kBarMinimum * kTenths);
    surface_->clear();
    trend_->clear();
    trend_->set_labels({qs(scale->captions[0]), qs(scale->captions[1]), qs(scale->captions[2])});
}

QString MonitorWindow::figures_text() const { return figures_->text(); }

void MonitorWindow::toggle_recording() {
    recording_ = !recording_;
    if (recording_) figures_->clear();
    show_record_state();
    if (controller_.running()) {
        // The exchange ends within a tick; exchange_ended starts it again with the new setting.
        restart_ = true;
        controller_.stop();
    } else if (isVisible()) {
        start_exchange();
    }
}

void MonitorWindow::show_record_state() {
    record_->setText(qs(recording_ ? nlx::tr(texts::kMonitorStopRecord) : nlx::tr(texts::kMonitorRecord)));
}

double MonitorWindow::bar_level() const { return bar_->value() / double(kTenths); }
QString MonitorWindow::surface_text() const { return surface_->text(); }

void MonitorWindow::monitor(const PortSpec& port, int baud) {
    port_ = port;
    baud_ = baud;
    show();
    raise();
    activateWindow();
    start_exchange();
}

void MonitorWindow::changeEvent(QEvent* event) {
    // The window coming to the front starts an exchange, as long as none runs.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible()) start_exchange();
    QDialog::changeEvent(event);
}

void MonitorWindow::start_exchange() {
    if (controller_.running()) return;
    std::optional<std::filesystem::path> into;
    if (recording_ && !database_.empty()) into = database_;
    if (controller_.start({*model_, port_, baud_}, into)) emit running_changed(true);
}

void MonitorWindow::show_level(const QString& text, double bar, bool in_range) {
    // A level off the bar's scale leaves the bar where it was; the text still shows the level.
    if (in_range) bar_->setValue(int(std::lround(bar * kTenths)));
    QFont font = surface_->font();
    font.setPointSize(72);
    surface_->setFont(font);
    surface_->setText(text);
    last_level_ = text;
    trend_->add(bar);
}

void MonitorWindow::show_message(const QString& text) {
    QFont font = surface_->font();
    font.setPointSize(30);
    surface_->setFont(font);
    surface_->setText(text);
}

void MonitorWindow::exchange_ended() {
    emit running_changed(false);
    if (restart_ && isVisible()) {
        restart_ = false;
        start_exchange();
        return;
    }
    restart_ = false;
    // A port failure or the end of the exchange ends a recording too; what was recorded stays.
    if (recording_) {
        recording_ = false;
        show_record_state();
    }
    const auto& result = controller_.result();
    // Silence and a late reply end the monitor; a busy or failed port stays on screen to be read.
    if (result && (result->outcome == link::MonitorOutcome::no_reply || result->outcome == link::MonitorOutcome::paced_out))
        hide();
}

void MonitorWindow::closeEvent(QCloseEvent* event) {
    // Closing ends the exchange within one tick; the worker closes the port as it stops.
    controller_.stop();
    restart_ = false;
    recording_ = false;
    show_record_state();
    hide();
    emit closed();
    event->accept();
}

}  // namespace nlx::app
