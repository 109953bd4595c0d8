// Communication settings dialog.
#include "app/settings_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/operator_dialogs.h"
#include "app/probe_runner.h"
#include "app/qt_text.h"
#include "core/shell_texts.h"
#include "core/texts.h"
#include "link/port_probe.h"
#include "link/serial_ports.h"

namespace nlx::app {

SettingsDialog::SettingsDialog(std::filesystem::path settings_file, OperatorDialogs& dialogs, QWidget* parent)
    : QDialog(parent), settings_file_(std::move(settings_file)), dialogs_(dialogs) {
    setObjectName("Form2");
    setWindowTitle(qtr(texts::kSettingsTitle));

    auto* port_frame = new QGroupBox(qtr(texts::kPortFrame), this);
    port_frame->setObjectName("Frame1");
    auto* port_layout = new QGridLayout(port_frame);
    auto* port_group = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(QStringLiteral("com%1").arg(i + 1), port_frame);
        option->setObjectName("Option1");
        option->setProperty("index", i);
        port_group->addButton(option);
        port_layout->addWidget(option, 0, i);
        ports_.push_back(option);
    }
    device_option_ = new QRadioButton(qtr(texts::kOtherPort), port_frame);
    device_option_->setObjectName("deviceOption");
    port_group->addButton(device_option_);
    devices_ = new QComboBox(port_frame);
    devices_->setObjectName("deviceList");
    devices_->setEditable(true);
    devices_->setInsertPolicy(QComboBox::NoInsert);
    devices_->setMinimumContentsLength(28);
    devices_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    port_layout->addWidget(device_option_, 1, 0, 1, 3);
    port_layout->addWidget(devices_, 2, 0, 1, 3);
    // Picking or typing a device chooses the device option.
    connect(devices_, &QComboBox::activated, device_option_, [this] { device_option_->setChecked(true); });
    connect(devices_->lineEdit(), &QLineEdit::textEdited, device_option_, [this] { device_option_->setChecked(true); });

    auto* speed_frame = new QGroupBox(qtr(texts::kSpeedFrame), this);
    speed_frame->setObjectName("Frame2");
    auto* speed_layout = new QHBoxLayout(speed_frame);
    auto* speed_group = new QButtonGroup(this);
    for (int i = 0; i < int(std::size(kSpeeds)); ++i) {
        auto* option = new QRadioButton(QString::number(kSpeeds[i]), speed_frame);
        option->setObjectName("Option2");
        option->setProperty("index", i);
        speed_group->addButton(option);
        speed_layout->addWidget(option);
        speeds_.push_back(option);
    }

    note_ = new QLabel(this);
    note_->setObjectName("note");
    note_->setWordWrap(true);
    note_->hide();

    probe_button_ = new QPushButton(qtr(texts::kProbeButton), this);
    probe_button_->setObjectName("probe");
    probe_ = new ProbeRunner(this);
    connect(probe_button_, &QPushButton::clicked, this, &SettingsDialog::start_probe);
    connect(probe_, &ProbeRunner::finished, this, &SettingsDialog::probe_ended);

    auto* apply_button = new QPushButton(qtr(texts::kSettingsApply), this);
    apply_button->setObjectName("Command1");
    auto* save_button = new QPushButton(qtr(texts::kSettingsSave), this);
    save_button->setObjectName("Command2");
    connect(apply_button, &QPushButton::clicked, this, &SettingsDialog::apply);
    connect(save_button, &QPushButton::clicked, this, &SettingsDialog::save);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(probe_button_);
    buttons->addStretch();
    buttons->addWidget(apply_button);
    buttons->addWidget(save_button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(port_frame);
    layout->addWidget(speed_frame);
    layout->addWidget(note_);
    layout->addLayout(buttons);
}

void SettingsDialog::list_ports(const std::string& current_device) {
    devices_->clear();
    int at = -1;
    // An adapter with a stable name carries that name, so the settings keep it whatever
    // ttyUSB number the adapter gets next time; the entry is found by either name.
    for (const auto& port : link::list_serial_ports()) {
        if (!current_device.empty() && (port.device == current_device || port.stable_device == current_device))
            at = devices_->count();
        devices_->addItem(qs(link::port_line(port)), qs(port.preferred_device()));
    }
    if (!current_device.empty() && at < 0) {
        devices_->insertItem(0, qs(current_device), qs(current_device));
        at = 0;
    }
    if (devices_->count() == 0) devices_->lineEdit()->setPlaceholderText(qtr(texts::kNoPortsFound));
    devices_->setCurrentIndex(at);
    if (current_device.empty()) devices_->setEditText({});
}

void SettingsDialog::select(const SerialSettings& current, const QString& note) {
    const auto speed = speed_option_index(current.baud);
    const bool numbered = current.port.device.empty();
    const bool port_ok = !numbered || (current.port.number >= 1 && current.port.number <= 3);
    list_ports(numbered ? std::string() : current.port.device);
    if (!port_ok) ports_[0]->setChecked(true);
    else if (numbered) ports_[std::size_t(current.port.number - 1)]->setChecked(true);
    else device_option_->setChecked(true);
    speeds_[std::size_t(speed.value_or(0))]->setChecked(true);
    // Settings that did not come from sys.cfg, or fell outside the lists, are said so.
    QString shown = note;
    if (!note.isEmpty() || !port_ok || !speed)
        shown = note.isEmpty() ? qtr(texts::kSettingsFallback) : qs(texts::settings_fallback(utf8(note)));
    show_note(shown, true);
}

void SettingsDialog::show_note(const QString& text, bool trouble) {
    note_->setStyleSheet(trouble ? QStringLiteral("color: #b00000") : QStringLiteral("color: #006000"));
    note_->setText(text);
    note_->setVisible(!text.isEmpty());
}

QString SettingsDialog::current_device() const {
    // A listed port carries its device; a typed name is taken as typed.
    return devices_->currentIndex() >= 0 && devices_->currentText() == devices_->itemText(devices_->currentIndex())
               ? devices_->currentData().toString()
               : devices_->currentText().trimmed();
}

Result<SerialSettings> SettingsDialog::chosen() const {
    SerialSettings settings;
    if (device_option_->isChecked()) {
        auto port = parse_port(utf8(current_device()));
        if (!port) return fail(texts::bad_port_name(port.message()));
        settings.port = *port;
    } else {
        for (auto* option : ports_)
            if (option->isChecked()) settings.port = PortSpec{1 + option->property("index").toInt(), {}};
    }
    for (auto* option : speeds_)
        if (option->isChecked()) settings.baud = option->text().toInt();
    return settings;
}

void SettingsDialog::apply() {
    auto settings = chosen();
    if (!settings) {
        dialogs_.inform(this, {}, qs(settings.message()));
        return;
    }
    note_->hide();
    hide();
    emit applied(*settings);
}

void SettingsDialog::save() {
    auto settings = chosen();
    if (!settings) {
        dialogs_.inform(this, {}, qs(settings.message()));
        return;
    }
    if (auto saved = save_settings(settings_file_, *settings); !saved)
        dialogs_.inform(this, {}, qs(texts::settings_save_failed(saved.message())));
    else
        dialogs_.inform(this, {}, qs(texts::settings_saved(port_caption(settings->port), settings->baud,
                                                           settings_file_.string())));
}

void SettingsDialog::start_probe() {
    // The device shown first, as it is the likeliest, then every listed port.
    std::vector<std::string> devices;
    auto add = [&devices](const QString& device) {
        std::string name = utf8(device.trimmed());
        if (!name.empty() && std::find(devices.begin(), devices.end(), name) == devices.end())
            devices.push_back(std::move(name));
    };
    add(current_device());
    for (int i = 0; i < devices_->count(); ++i) add(devices_->itemData(i).toString());
    if (devices.empty()) {
        show_note(qtr(texts::kNothingToProbe), true);
        return;
    }
    int baud = kSpeeds[0];
    for (auto* option : speeds_)
        if (option->isChecked()) baud = option->text().toInt();
    if (!probe_->start(std::move(devices), baud)) return;
    probe_button_->setEnabled(false);
    show_note(qtr(texts::kProbing), false);
}

void SettingsDialog::probe_ended() {
    probe_button_->setEnabled(true);
    const link::ProbeReport& report = probe_->report();
    if (const link::PortProbe* found = report.first_answer()) {
        const QString device = qs(found->device);
        int at = devices_->findData(device);
        if (at < 0) {
            devices_->insertItem(0, device, device);
            at = 0;
        }
        devices_->setCurrentIndex(at);
        device_option_->setChecked(true);
        show_note(qs(texts::probe_found(found->device, link::level_text(found->level_tenths))), false);
        return;
    }
    // Why nothing was found: the port lock, a cancel, or what each port did.
    QString why;
    if (report.refused) why = qs(*report.refused);
    else if (report.cancelled) why = qtr(texts::kProbeCancelled);
    for (const auto& port : report.ports) {
        if (!why.isEmpty()) why += qtr(texts::kListJoin);
        why += qs(port.outcome == link::ProbeOutcome::skipped ? texts::probe_skipped(port.device, port.detail)
                                                             : texts::probe_silent(port.device));
    }
    show_note(qs(texts::probe_not_found(utf8(why))), true);
}

}  // namespace nlx::app
