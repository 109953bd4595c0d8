// The communication settings dialog `Form2`: port and speed, applied to the running program
// (确  定) or saved for the next start (保存设置); 探测 finds the port the instrument is on.
#pragma once

#include <QDialog>
#include <filesystem>
#include <vector>

#include "core/result.h"
#include "core/settings.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace nlx::app {

class OperatorDialogs;
class ProbeRunner;

class SettingsDialog final : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(std::filesystem::path settings_file, OperatorDialogs& dialogs, QWidget* parent = nullptr);

    // Selects the options of `current` and lists this computer's ports. A port or speed outside
    // the lists selects com1 and 9600; `note` (why sys.cfg was not used) is shown in the dialog.
    void select(const SerialSettings& current, const QString& note);

    // The port and speed the options say; fails for a device name that is not a port.
    Result<SerialSettings> chosen() const;

signals:
    void applied(const nlx::SerialSettings& settings);

private:
    void apply();
    void save();
    void list_ports(const std::string& current_device);
    // The device the list shows: a listed port's device, or the name as typed.
    QString current_device() const;
    void start_probe();
    void probe_ended();
    void show_note(const QString& text, bool trouble);

    std::filesystem::path settings_file_;
    OperatorDialogs& dialogs_;
    std::vector<QRadioButton*> ports_;   // com1..com3
    QRadioButton* device_option_;
    QComboBox* devices_;
    std::vector<QRadioButton*> speeds_;  // 9600, 4800, 2400, 1200
    QLabel* note_;
    QPushButton* probe_button_;
    ProbeRunner* probe_;
};

}  // namespace nlx::app
