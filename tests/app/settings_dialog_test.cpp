// Communication settings dialog: selection from the running settings, apply versus save, the
// fallback for a bad sys.cfg, a failed save, device names, and 探测 finding the instrument.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <fstream>

#include "language_fixture.h"
#include "shell_fixture.h"
#include "core/texts.h"
#include "app/settings_dialog.h"
#include "core/read_file.h"
#include "sim/patterned_capture.h"
#include "sim/virtual_instrument.h"
#include "support/model_of.h"

using nlx::test::model_of;

using namespace nlx;
using namespace nlx::app;
using namespace nlx::app::test;

namespace {

QRadioButton* option(SettingsDialog* dialog, const char* name, int index) {
    return dialog->findChildren<QRadioButton*>(name)[index];
}

void write_file(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string read_text(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

SettingsDialog* open_settings(Shell& shell) {
    shell.action("combaud")->trigger();
    return shell.form->settings_dialog();
}

}  // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void selection_apply_and_save() {
        Shell shell;
        write_file(settings_path(shell.folder()), "2,2400\r\n");
        shell.start();
        shell.choose('a');
        SettingsDialog* dialog = open_settings(shell);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("通信参数设定"));
        QVERIFY(option(dialog, "Option1", 1)->isChecked());
        QVERIFY(option(dialog, "Option2", 2)->isChecked());
        QCOMPARE(option(dialog, "Option2", 2)->text(), QStringLiteral("2400"));
        QVERIFY(!dialog->findChild<QLabel*>("note")->isVisible());

        option(dialog, "Option1", 2)->click();
        option(dialog, "Option2", 3)->click();
        dialog->findChild<QPushButton*>("Command2")->click();  // 保存设置
        QCOMPARE(read_text(settings_path(shell.folder())), std::string("3,1200\r\n"));
        QCOMPARE(shell.form->settings(), (SerialSettings{PortSpec{2, {}}, 2400}));
        QVERIFY(dialog->isVisible());

        dialog->findChild<QPushButton*>("Command1")->click();  // 确  定
        QCOMPARE(shell.form->settings(), (SerialSettings{PortSpec{3, {}}, 1200}));
        QVERIFY(!dialog->isVisible());
    }

    void unusable_settings_file_selects_com1_9600_and_says_so_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("port 7") << QByteArray("7,9600\r\n");
        QTest::newRow("speed 300") << QByteArray("1,300\r\n");
        QTest::newRow("one number") << QByteArray("2\r\n");
    }

    void unusable_settings_file_selects_com1_9600_and_says_so() {
        QFETCH(QByteArray, content);
        Shell shell;
        write_file(settings_path(shell.folder()), content.toStdString());
        shell.start();
        shell.choose('b');
        SettingsDialog* dialog = open_settings(shell);
        QVERIFY(option(dialog, "Option1", 0)->isChecked());
        QVERIFY(option(dialog, "Option2", 0)->isChecked());
        auto* note = dialog->findChild<QLabel*>("note");
        QVERIFY(note->isVisible());
        QVERIFY(note->text().startsWith(QStringLiteral("已选com1和9600")));
        QVERIFY(note->text().contains(QStringLiteral("sys.cfg")));
    }

    void failed_save_is_reported_and_changes_nothing() {
        Shell shell;
        shell.start(SerialSettings{});
        shell.choose('a');
        // sys.cfg is a folder here: it cannot be replaced by a file.
        std::filesystem::create_directory(settings_path(shell.folder()));
        SettingsDialog* dialog = open_settings(shell);
        dialog->findChild<QPushButton*>("Command2")->click();
        QVERIFY(!shell.dialogs.messages.empty());
        QVERIFY(shell.dialogs.messages.back().text.startsWith(QStringLiteral("保存设置时出错：")));
        QVERIFY(std::filesystem::is_directory(settings_path(shell.folder())));
    }

    void device_names_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("usb adapter") << "/dev/ttyUSB7" << true;
        QTest::newRow("relative name") << "ttyUSB0" << false;
        QTest::newRow("space inside") << "/dev/tty USB0" << false;
    }

    void device_names() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        Shell shell;
        shell.start(SerialSettings{});
        shell.choose('a');
        SettingsDialog* dialog = open_settings(shell);
        auto* devices = dialog->findChild<QComboBox*>("deviceList");
        devices->setFocus();
        devices->lineEdit()->clear();
        QTest::keyClicks(devices->lineEdit(), typed);
        QVERIFY(dialog->findChild<QRadioButton*>("deviceOption")->isChecked());
        dialog->findChild<QPushButton*>("Command1")->click();
        if (accepted) {
            QCOMPARE(shell.form->settings().port, (PortSpec{0, typed.toStdString()}));
        } else {
            QCOMPARE(shell.form->settings(), SerialSettings{});
            QVERIFY(shell.dialogs.messages.back().text.startsWith(QStringLiteral("串行口名称错误：")));
            QVERIFY(dialog->isVisible());
        }
    }

    // The virtual instrument's pseudo-terminal is no port the system lists: the probe must ask
    // the device typed in the list too.
    void probe_selects_the_port_that_answers() {
        sim::InstrumentOptions o;
        const Capture served = sim::patterned_capture(model_of('a'), 1);
        o.content = [served] { return served; };
        auto vi = sim::VirtualInstrument::open(o);
        QVERIFY(vi.ok());
        QVERIFY((*vi)->start().ok());
        const QString pty = qs((*vi)->device());

        Shell shell;
        shell.start(SerialSettings{});
        shell.choose('a');
        SettingsDialog* dialog = open_settings(shell);
        option(dialog, "Option2", 1)->click();  // 4800
        auto* devices = dialog->findChild<QComboBox*>("deviceList");
        devices->setEditText(pty);
        option(dialog, "Option1", 1)->click();  // com2: the probe's find chooses the device
        auto* probe = dialog->findChild<QPushButton*>("probe");
        QCOMPARE(probe->text(), QStringLiteral("探测"));
        probe->click();
        QVERIFY(!probe->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(probe->isEnabled(), 30000);
        auto* note = dialog->findChild<QLabel*>("note");
        QVERIFY2(note->text().startsWith(QStringLiteral("在 ") + pty + QStringLiteral(" 找到仪器")), qPrintable(note->text()));
        QVERIFY(dialog->findChild<QRadioButton*>("deviceOption")->isChecked());
        dialog->findChild<QPushButton*>("Command1")->click();
        QCOMPARE(shell.form->settings(), (SerialSettings{PortSpec{0, utf8(pty)}, 4800}));
    }

    // The dialog and what 保存设置 says, in either language, through the catalogue; every text fits.
    void in_either_language_data() { language_rows(); }
    void in_either_language() {
        QFETCH(bool, english);
        InLanguage language(english ? "en" : "zh");
        QVERIFY(language.ok());
        Shell shell;
        shell.start(SerialSettings{});
        shell.choose('a');
        SettingsDialog* dialog = open_settings(shell);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), qtr(texts::kSettingsTitle));
        QCOMPARE(dialog->windowTitle() != qs(texts::kSettingsTitle), english);
        QCOMPARE(dialog->findChild<QGroupBox*>("Frame1")->title(), qtr(texts::kPortFrame));
        QCOMPARE(dialog->findChild<QGroupBox*>("Frame2")->title(), qtr(texts::kSpeedFrame));
        QCOMPARE(dialog->findChild<QRadioButton*>("deviceOption")->text(), qtr(texts::kOtherPort));
        QCOMPARE(dialog->findChild<QPushButton*>("probe")->text(), qtr(texts::kProbeButton));
        QCOMPARE(dialog->findChild<QPushButton*>("Command1")->text(), qtr(texts::kSettingsApply));
        QCOMPARE(dialog->findChild<QPushButton*>("Command2")->text(), qtr(texts::kSettingsSave));
        QString cut;
        QVERIFY2(texts_fit(*dialog, cut), qPrintable(cut));

        option(dialog, "Option1", 2)->click();
        option(dialog, "Option2", 3)->click();
        dialog->findChild<QPushButton*>("Command2")->click();  // 保存设置
        const auto file = settings_path(shell.folder());
        QCOMPARE(shell.dialogs.messages.back().text, qs(fill(nlx::tr("设置已保存：串行口为%1，波特率为%2\n（%3）"), {"com3", "1200", file.string()})));
        QCOMPARE(shell.dialogs.messages.back().text.contains(QStringLiteral("波特率")), !english);
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
