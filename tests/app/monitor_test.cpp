// The monitor window on a scripted line: the model's scale, the shown level and bar, the
// no-reply message and the window hiding itself with the port closed.
#include <QLabel>

#include <QElapsedTimer>

#include "app/monitor_window.h"
#include "app/recordings_window.h"
#include "app/chart_view.h"
#include <QPushButton>
#include <QTableWidget>
#include "sim/level_sequence.h"
#include "app/level_trend.h"
#include "app/simulation.h"
#include "support/fake_link.h"
#include "link/port_lock.h"
#include "support/model_of.h"

using nlx::test::model_of;
#include "shell_fixture.h"

namespace nlx::app::test {

class MonitorTest : public QObject {
    Q_OBJECT

    // A line answering `replies` live requests with 58h 03h (85.6 dB), then silent.
    static LinkFactory answering(int replies) {
        return [replies] {
            auto line = std::make_unique<link::FakeLink>();
            for (int k = 0; k < replies; ++k) line->answer({link::kLiveLevelRequest}, {0x58, 0x03}, std::chrono::milliseconds(5));
            return std::unique_ptr<link::ByteLink>(std::move(line));
        };
    }

private slots:
    // 记录 against the virtual instrument answering 20 known levels, then silence: the figures
    // of the recording are those worked out by hand, and 监测记录 lists and draws it.
    void recordsKnownLevelsAndListsThem() {
        std::string levels;
        for (const char* l : {"60.0", "70.0", "60.0", "80.0", "60.0", "90.0", "60.0", "70.0", "80.0", "60.0", "60.0",
                              "70.0", "60.0", "80.0", "70.0", "60.0", "60.0", "80.0", "70.0", "60.0"})
            levels += std::string(l) + "\n";
        for (int k = 0; k < 40; ++k) levels += "-\n";
        Simulation simulation{model_of('d'), 5, 1, false, {}};
        simulation.levels = *sim::parse_level_sequence(levels);
        auto instrument = start_simulation(simulation);
        QVERIFY(instrument.ok());
        Shell shell;
        shell.start(simulation_settings(**instrument));
        shell.choose('d');
        // The first exchange finds the port held, so the instrument's sequence starts with the
        // recording's first request.
        auto held = std::make_optional(link::PortLock::try_acquire("test"));
        QVERIFY(held->ok());
        shell.action("jianc")->trigger();
        MonitorWindow* monitor = shell.form->monitor_window();
        QVERIFY(monitor);
        QTRY_VERIFY_WITH_TIMEOUT(!monitor->exchanges().running() && monitor->exchanges().result(), 5000);
        held.reset();
        monitor->record_button()->click();
        QCOMPARE(monitor->record_button()->text(), QStringLiteral("停止记录"));
        // The running figures after two seconds: the twenty levels, model d's 40 dB added.
        QTRY_VERIFY_WITH_TIMEOUT(monitor->figures_text().contains(QStringLiteral("0:00:02")), 10000);
        QVERIFY(monitor->figures_text().startsWith(QStringLiteral("LAeq=118.6dB  Lmax=130.0dB")));
        monitor->record_button()->click();
        QCOMPARE(monitor->record_button()->text(), QStringLiteral("记录"));
        QTRY_VERIFY_WITH_TIMEOUT(monitor->exchanges().recorded().has_value(), 5000);
        const auto& recorded = *monitor->exchanges().recorded();
        QCOMPARE(recorded.summary.samples, std::size_t(20));
        QCOMPARE(recorded.summary.laeq, 1186);
        QCOMPARE(recorded.summary.l10, 1200);
        QCOMPARE(recorded.summary.l90, 1000);
        monitor->close();

        shell.action("jiancjl")->trigger();
        auto* window = shell.form->findChild<RecordingsWindow*>("recordings");
        QVERIFY(window && window->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!window->busy() && window->list()->rowCount() == 1, 5000);
        QStringList cells;
        for (int col = 2; col < 6; ++col) cells << window->list()->item(0, col)->text();
        QCOMPARE(cells, (QStringList{"118.6", "130.0", "120.0", "100.0"}));
        window->list()->selectRow(0);
        QTRY_VERIFY_WITH_TIMEOUT(!window->busy() && window->chart()->chart_data().rows() >= 20, 5000);
    }

    void showsTheModelsLevelThenTheNoReplyMessage() {
        Shell shell;
        shell.start(SerialSettings{});
        shell.choose('d');
        shell.form->set_link_factory(answering(10));
        shell.action("jianc")->trigger();
        MonitorWindow* monitor = shell.form->monitor_window();
        QVERIFY(monitor && monitor->isVisible());
        QCOMPARE(monitor->findChild<QLabel*>("Label2_1")->text(), QStringLiteral("振级"));
        QCOMPARE(monitor->findChild<QLabel*>("Label1_2")->text(), QStringLiteral("140"));
        QVERIFY(!shell.action("recv")->isEnabled());
        // The scripted line runs on a virtual clock: the exchange may be over before a spy could
        // listen, so the window's own state is what is looked at.
        QTRY_VERIFY_WITH_TIMEOUT(!monitor->exchanges().running() && monitor->exchanges().result(), 10000);

        QCOMPARE(monitor->last_level_text(), QStringLiteral("Lp=125.6dB"));
        QCOMPARE(monitor->findChild<LevelTrend*>()->levels().size(), std::size_t(1));
        QCOMPARE(monitor->bar_level(), 115.6);
        QCOMPARE(monitor->surface_text(), QStringLiteral("串行口设置错识或连线没有联好,请稍后再试"));
        QVERIFY(!monitor->isVisible());
        QVERIFY(!link::PortLock::holder());
        QVERIFY(shell.action("recv")->isEnabled());
    }

    // The trend's scale captions stand whole inside the strip's widget, the top and bottom ones
    // too, at its smallest height and larger, and none covers another or the strip.
    void trendCaptionsStandWhole() {
        const struct {
            int width, height;
            QStringList labels;
        } cases[] = {{300, 60, {"30", "80", "130"}}, {700, 60, {"-10", "65", "140"}}, {300, 200, {"20", "70", "120"}},
                     {300, 60, {"30", "130"}}};
        for (const auto& c : cases) {
            LevelTrend trend;
            trend.set_labels(c.labels);
            trend.resize(c.width, std::max(c.height, trend.minimumHeight()));
            const auto boxes = trend.label_boxes();
            QCOMPARE(boxes.size(), std::size_t(c.labels.size()));
            const QFontMetrics metrics(trend.font());
            for (std::size_t k = 0; k < boxes.size(); ++k) {
                QVERIFY2(QRectF(trend.rect()).contains(boxes[k]), qPrintable(c.labels[qsizetype(k)]));
                QVERIFY(boxes[k].width() >= metrics.horizontalAdvance(c.labels[qsizetype(k)]));
                QVERIFY(boxes[k].right() <= trend.strip().left());
                if (k > 0) QVERIFY(boxes[k].bottom() <= boxes[k - 1].top() + 0.5);
            }
        }
    }

    void closingDuringAnExchangeClosesThePort() {
        auto instrument = start_simulation({model_of('c'), 5, 1, false, {}});
        QVERIFY(instrument.ok());
        Shell shell;
        shell.start(simulation_settings(**instrument));
        shell.choose('c');
        shell.action("jianc")->trigger();
        MonitorWindow* monitor = shell.form->monitor_window();
        QTRY_VERIFY_WITH_TIMEOUT(!monitor->last_level_text().isEmpty(), 5000);
        // The virtual instrument's level lies between 50 and 60 dB; model c shows it as it is.
        const QString text = monitor->last_level_text();
        QVERIFY2(text.startsWith(QStringLiteral("Lp=5")) && text.endsWith(QStringLiteral("dB")), qPrintable(text));
        QVERIFY(monitor->bar_level() >= 80 && monitor->bar_level() <= 90);

        QSignalSpy finished(&monitor->exchanges(), &MonitorController::finished);
        QElapsedTimer clock;
        clock.start();
        monitor->close();
        QVERIFY(finished.wait(2000));
        QVERIFY(clock.elapsed() < 500);
        QCOMPARE(monitor->exchanges().result()->outcome, link::MonitorOutcome::stopped);
        QVERIFY(!link::PortLock::holder());
        QVERIFY(shell.action("recv")->isEnabled());
    }
};

}  // namespace nlx::app::test

QTEST_MAIN(nlx::app::test::MonitorTest)
#include "monitor_test.moc"
