// Downloads through the 接收 action from the virtual instrument on a pseudo-terminal.
#include <QLabel>
#include <QProgressBar>

#include "shell_fixture.h"
#include "app/wait_dialog.h"
#include "app/simulation.h"
#include "support/model_of.h"

using nlx::test::model_of;

using namespace nlx;
using namespace nlx::app;
using namespace nlx::app::test;

namespace {

std::unique_ptr<sim::VirtualInstrument> instrument(const Simulation& simulation) {
    auto started = start_simulation(simulation);
    if (!started) qFatal("%s", started.message().c_str());
    return std::move(*started);
}

QString title_label(Shell& shell) { return shell.form->findChild<QLabel*>("Label1")->text(); }

bool download(Shell& shell) {
    QSignalSpy finished(shell.form.get(), &MainWindow::download_finished);
    shell.action("recv")->trigger();
    return finished.wait(60000);
}

}  // namespace

class DownloadTest : public QObject {
    Q_OBJECT
private slots:
    void download_fills_the_grid_and_a_failed_one_changes_nothing() {
        auto good = instrument({model_of('b'), 25, 3, false, {}});
        Shell shell;
        shell.start(simulation_settings(*good));
        shell.choose('b');
        QSignalSpy finished(shell.form.get(), &MainWindow::download_finished);
        shell.action("recv")->trigger();
        // While the port is in use, nothing else may use it or change the database.
        for (const char* name : {"recv", "recv1", "open", "saveas", "tianjjl", "codechange"})
            QVERIFY2(!shell.action(name)->isEnabled(), name);
        QVERIFY(finished.wait(60000));
        QCOMPARE(title_label(shell), QStringLiteral("数据接收完毕"));
        QCOMPARE(shell.grid().cells().rowCount(), 25);
        QVERIFY(shell.grid().isVisible());
        QCOMPARE(shell.grid().cells().marked_row(), 0);
        for (const char* name : {"recv", "recv1", "open", "saveas", "tianjjl", "codechange"})
            QVERIFY2(shell.action(name)->isEnabled(), name);
        QVERIFY(shell.form->wait_window()->isHidden());
        good->stop();

        auto silent = instrument({model_of('b'), 5, 4, false, {sim::FaultKind::no_ack, 0}});
        shell.form->use_settings(simulation_settings(*silent));
        QVERIFY(download(shell));
        QCOMPARE(title_label(shell),
                 QStringLiteral("串行接口没有收到应答信号,可能是串行口号选的不对或传输线没有接好."));
        QCOMPARE(shell.grid().cells().rowCount(), 25);
        QCOMPARE(shell.stored_rows('b'), std::size_t(25));
        QVERIFY(shell.action("recv")->isEnabled());
    }

    // A broken download that brings whole groups says which log entry brings the replaced
    // records back; one that brings none leaves them and says so.
    void a_broken_download_says_what_became_of_the_records() {
        auto good = instrument({model_of('b'), 25, 3, false, {}});
        Shell shell;
        shell.start(simulation_settings(*good));
        shell.choose('b');
        QVERIFY(download(shell));
        QCOMPARE(shell.stored_rows('b'), std::size_t(25));
        good->stop();

        auto broken = instrument({model_of('b'), 25, 3, false, {sim::FaultKind::close_after, 3 * 256 + 10}});
        shell.form->use_settings(simulation_settings(*broken));
        QVERIFY(download(shell));
        QCOMPARE(title_label(shell), QStringLiteral("串行接收的数据有丢失，先前的25组记录可在传输记录 1 中恢复"));
        QCOMPARE(shell.stored_rows('b'), std::size_t(3));
        broken->stop();

        auto nothing = instrument({model_of('b'), 25, 3, false, {sim::FaultKind::close_after, 1}});
        shell.form->use_settings(simulation_settings(*nothing));
        QVERIFY(download(shell));
        QCOMPARE(title_label(shell), QStringLiteral("串行接收的数据有丢失，记录未改变"));
        QCOMPARE(shell.stored_rows('b'), std::size_t(3));
    }

    void cancel_stores_nothing() {
        auto paced = instrument({model_of('a'), 60, 5, true, {}});
        Shell shell;
        shell.store_groups('a', 3);
        shell.start(simulation_settings(*paced));
        shell.choose('a');
        QSignalSpy finished(shell.form.get(), &MainWindow::download_finished);
        shell.action("recv")->trigger();
        WaitDialog* wait = shell.form->wait_window();
        auto* bar = wait->findChild<QProgressBar*>("progress");
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible() && bar->value() > 0, 20000);
        QVERIFY(wait->isVisible());
        wait->findChild<QPushButton*>("cancel")->click();
        QVERIFY(finished.wait(10000));
        QCOMPARE(title_label(shell), QStringLiteral("数据接收已取消"));
        QCOMPARE(shell.stored_rows('a'), std::size_t(3));
        QVERIFY(wait->isHidden());
        QVERIFY(shell.action("recv")->isEnabled());
    }
};

QTEST_MAIN(DownloadTest)
#include "download_test.moc"
