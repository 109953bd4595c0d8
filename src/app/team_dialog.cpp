// The team database settings dialog.
#include "app/team_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "core/texts.h"
#include "team/team_settings.h"

namespace nlx::app {

TeamDialog::TeamDialog(std::filesystem::path settings_file, QWidget* parent)
    : QDialog(parent), settings_file_(std::move(settings_file)) {
    setObjectName("teamDialog");
    setWindowTitle(qtr(texts::kTeamTitle));
    server_ = new QLineEdit(this);
    server_->setObjectName("teamServer");
    server_->setPlaceholderText(qtr(texts::kTeamAddressHint));
    server_->setMinimumWidth(server_->fontMetrics().horizontalAdvance(qtr(texts::kTeamAddressHint)) + 24);
    station_ = new QLineEdit(this);
    station_->setObjectName("teamStation");
    station_->setMaxLength(int(team::kMaxStationBytes));
    auto* form = new QFormLayout;
    form->addRow(qtr(texts::kTeamAddressLabel), server_);
    form->addRow(qtr(texts::kTeamStationLabel), station_);

    note_ = new QLabel(this);
    note_->setObjectName("teamNote");
    note_->setWordWrap(true);
    note_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note_->hide();

    test_button_ = new QPushButton(qtr(texts::kTeamTest), this);
    test_button_->setObjectName("teamTest");
    auto* save_button = new QPushButton(qtr(texts::kTeamSave), this);
    save_button->setObjectName("teamSave");
    auto* close_button = new QPushButton(qtr(texts::kClose), this);
    close_button->setObjectName("teamClose");
    connect(test_button_, &QPushButton::clicked, this, &TeamDialog::start_test);
    connect(save_button, &QPushButton::clicked, this, &TeamDialog::save);
    connect(close_button, &QPushButton::clicked, this, &QWidget::hide);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(test_button_);
    buttons->addStretch();
    buttons->addWidget(save_button);
    buttons->addWidget(close_button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note_);
    layout->addLayout(buttons);
}

TeamDialog::~TeamDialog() { stop_.request_stop(); }

void TeamDialog::load() {
    auto settings = team::load_team_settings(settings_file_);
    if (!settings) {
        server_->clear();
        station_->setText(qs(team::host_station_name()));
        show_note(qs(settings.message()), true);
        return;
    }
    server_->setText(qs(settings->server));
    station_->setText(qs(settings->station));
    show_note({}, false);
}

QString TeamDialog::note() const { return note_->isVisible() ? note_->text() : QString(); }

void TeamDialog::show_note(const QString& text, bool trouble) {
    note_->setStyleSheet(trouble ? QStringLiteral("color: #b00000") : QStringLiteral("color: #006000"));
    note_->setText(text);
    note_->setVisible(!text.isEmpty());
}

void TeamDialog::save() {
    const team::TeamSettings settings{utf8(station_->text()), utf8(server_->text().trimmed()), true};
    if (auto saved = team::save_team_settings(settings_file_, settings); !saved) {
        show_note(qs(texts::team_save_failed(saved.message())), true);
        return;
    }
    show_note(qs(texts::team_saved(settings_file_.string())), false);
    emit saved();
}

void TeamDialog::start_test() {
    if (job_.running()) return;
    const std::string server = utf8(server_->text().trimmed());
    if (server.empty()) {
        show_note(qtr(texts::kTeamNoAddress), true);
        return;
    }
    stop_ = std::stop_source();
    worker_check_.reset();
    const bool started = job_.start(
        this, QStringLiteral("team-test"),
        [this, server, stop = stop_.get_token()] { worker_check_ = team::check_server(server, stop); },
        [this] { test_ended(); });
    if (!started) return;
    test_button_->setEnabled(false);
    show_note(qtr(texts::kTeamTesting), false);
}

void TeamDialog::test_ended() {
    test_button_->setEnabled(true);
    const auto check = std::move(worker_check_);
    worker_check_.reset();
    if (!check || !*check) {
        show_note(check ? qs(check->message()) : QString(), true);
    } else {
        const auto& c = check->value();
        show_note(c.store.present ? qs(texts::team_test_ok(c.target, c.server_version, c.store.version, c.stations,
                                                         c.transfers))
                                  : qs(texts::team_test_ok_empty(c.target, c.server_version)),
                  false);
    }
    emit test_finished();
}

}  // namespace nlx::app
