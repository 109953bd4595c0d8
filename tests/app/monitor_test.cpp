// The monitor window on a scripted line: the model's scale, the shown level and bar, the
// no-reply message and the window hiding itself with the port closed.
#include <QLabel>

#include "app/form4.h"
#include "link/fake_link.h"
#include "link/port_lock.h"
#include "shell_fixture.h"

namespace nlx::app::test {

class MonitorTest : public QObject {
    Q_OBJECT

    // A line answering `replies` live requests with 58h 03h (85.6 dB), then silent.
    static LinkFactory answering(int replies) {
        return [replies] {
            auto line = std::make_unique<link::FakeLink>();
            for (int k = 0; k < replies; ++k) line->answer({link::kLiveRequest}, {0x58, 0x03}, std::chrono::milliseconds(5));
            return std::unique_ptr<link::ByteLink>(std::move(line));
        };
    }

private slots:
    void showsTheModelsLevelThenTheNoReplyMessage() {
        Shell shell;
        shell.start(SerialSettings{});
        shell.choose('d');
        shell.form->set_link_factory(answering(10));
        shell.action("jianc")->trigger();
        Form4* monitor = shell.form->monitor_window();
        QVERIFY(monitor && monitor->isVisible());
        QCOMPARE(monitor->findChild<QLabel*>("Label2_1")->text(), QStringLiteral("振级"));
        QCOMPARE(monitor->findChild<QLabel*>("Label1_2")->text(), QStringLiteral("140"));
        QSignalSpy shown(&monitor->exchanges(), &MonitorController::shown);
        QSignalSpy finished(&monitor->exchanges(), &MonitorController::finished);
        QVERIFY(!shell.action("recv")->isEnabled());
        QVERIFY(finished.wait(10000));

        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0][0].toString(), QStringLiteral("Lp=125.6dB"));
        QCOMPARE(monitor->bar_level(), 115.6);
        QCOMPARE(monitor->surface_text(), QStringLiteral("串行口设置错识或连线没有联好,请稍后再试"));
        QVERIFY(!monitor->isVisible());
        QVERIFY(!link::PortLock::holder());
        QVERIFY(shell.action("recv")->isEnabled());
    }
};

}  // namespace nlx::app::test

QTEST_MAIN(nlx::app::test::MonitorTest)
#include "monitor_test.moc"
