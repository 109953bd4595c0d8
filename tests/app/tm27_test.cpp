// TM27单组 and TM27全部 on a scripted printer: the group at the current row, or every group from
// the first; PrinterSpeedDialog shown; the status in Label1; the serial commands back once the job ends.
#include <QLabel>

#include "app/printer_speed_dialog.h"
#include "app/wait_dialog.h"
#include <QProgressBar>
#include "app/grid_rows.h"
#include "support/fake_link.h"
#include "reports/tm27_printout.h"
#include "shell_fixture.h"

namespace nlx::app::test {

// A line the test keeps looking at after the job's worker has let go of it.
class SharedLine final : public link::ByteLink {
public:
    explicit SharedLine(std::shared_ptr<link::FakeLink> line) : line_(std::move(line)) {}
    Result<void> open(const std::string& port, int baud, link::FlowControl flow) override { return line_->open(port, baud, flow); }
    Result<void> set_flow(link::FlowControl flow) override { return line_->set_flow(flow); }
    Result<void> write(std::span<const std::uint8_t> bytes) override { return line_->write(bytes); }
    Result<link::Bytes> read(std::size_t max, link::TimePoint deadline) override { return line_->read(max, deadline); }
    std::size_t bytes_waiting() override { return line_->bytes_waiting(); }
    Result<void> discard_input() override { return line_->discard_input(); }
    Result<void> drain_output(link::TimePoint deadline) override { return line_->drain_output(deadline); }
    void close() override { line_->close(); }
    bool is_open() const override { return line_->is_open(); }
    link::TimePoint now() const override { return line_->now(); }

private:
    std::shared_ptr<link::FakeLink> line_;
};

class Tm27Test : public QObject {
    Q_OBJECT

    static std::shared_ptr<link::FakeLink> ready_printer(Shell& shell) {
        auto printer = std::make_shared<link::FakeLink>();
        printer->answer({0x1B, 0x40, 0x0D}, {0x0D});
        shell.form->set_link_factory([printer] { return std::unique_ptr<link::ByteLink>(std::make_unique<SharedLine>(printer)); });
        return printer;
    }
    // Where `part` stands in `bytes`; npos when it is not there.
    static std::size_t find(const link::Bytes& bytes, const link::Bytes& part, std::size_t from = 0) {
        auto at = std::search(bytes.begin() + std::ptrdiff_t(from), bytes.end(), part.begin(), part.end());
        return at == bytes.end() ? std::string::npos : std::size_t(at - bytes.begin());
    }
    static link::Bytes printout(Shell& shell, std::size_t row) {
        return *reports::tm27_printout(*find_model('b'), grid_report_rows(shell.grid().cells()), row);
    }
    static void run(Shell& shell, const char* action) {
        QSignalSpy finished(&shell.form->tm27_jobs(), &Tm27Controller::finished);
        shell.action(action)->trigger();
        QVERIFY(!shell.action("recv")->isEnabled());
        QVERIFY(finished.wait(10000));
    }

private slots:
    void oneGroupIsTheCurrentRow() {
        Shell shell;
        shell.start_with_groups('b', 3);
        auto printer = ready_printer(shell);
        shell.grid().set_current_row(1);
        run(shell, "upone");
        QVERIFY(shell.form->speed_dialog()->isVisible());
        QCOMPARE(shell.form->findChild<QLabel*>("Label1")->text(), QStringLiteral("打印完成"));
        QVERIFY(find(printer->written(), printout(shell, 1)) != std::string::npos);
        QVERIFY(find(printer->written(), printout(shell, 0)) == std::string::npos);
        QCOMPARE(shell.grid().current_row(), 1);
        QVERIFY(shell.action("recv")->isEnabled() && !printer->is_open());
    }

    void allGroupsFromTheFirstAtTheChosenSpeed() {
        Shell shell;
        shell.start_with_groups('b', 3);
        auto printer = ready_printer(shell);
        shell.grid().set_current_row(2);
        shell.form->speed_dialog()->findChild<QRadioButton*>("Option3")->click();  // 高速
        const auto start = printer->now();
        run(shell, "upall");
        std::size_t at = 0;
        for (std::size_t row = 0; row < 3; ++row) {
            at = find(printer->written(), printout(shell, row), at);
            QVERIFY2(at != std::string::npos, "the groups in order");
        }
        // The please-wait window counted groups, not bytes.
        QCOMPARE(shell.form->wait_window()->findChild<QProgressBar*>("progress")->text(), QStringLiteral("3 / 3 组"));
        // Two pauses of two 20 s ticks on the printer line's clock.
        QVERIFY(printer->now() - start >= std::chrono::seconds(80));
        QVERIFY(printer->now() - start < std::chrono::seconds(100));
    }
};

}  // namespace nlx::app::test

QTEST_MAIN(nlx::app::test::Tm27Test)
#include "tm27_test.moc"
