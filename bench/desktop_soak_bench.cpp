// Desktop soak: 20 rounds of a download (with a random fault), a TM27 job on a virtual printer
// and a live-level monitor session, all driven through the main window's actions on the headless
// platform, while a timer asks the window to repaint every 20 ms and the delay to each paint is
// measured. Afterwards no file descriptor or thread is left over.
//   nlx_bench_desktop_soak [ROUNDS=20]
// Prints the paint delays and PASS/FAIL for the 100 ms target.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <functional>
#include <random>

#include "app/main_window.h"
#include "app/monitor_window.h"
#include "app/model_dialog.h"
#include "app/qt_text.h"
#include "app/recorded_dialogs.h"
#include "app/simulation.h"
#include "render/cjk_font.h"
#include "sim/virtual_printer.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace {

int entries(const char* folder) {
    DIR* dir = ::opendir((std::string("/proc/self/") + folder).c_str());
    int n = 0;
    while (dirent* e = ::readdir(dir)) n += e->d_name[0] != '.';
    ::closedir(dir);
    return n;
}

// Measures how long the window takes to paint after each update request.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(QWidget& window) : window_(window) {
        window.installEventFilter(this);
        clock_.start();
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (asked_ < 0) asked_ = clock_.elapsed();
            window_.update();
        });
        timer_.start(20);
    }
    std::vector<qint64> delays;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Paint && asked_ >= 0) {
            delays.push_back(clock_.elapsed() - asked_);
            asked_ = -1;
        }
        return false;
    }

private:
    QWidget& window_;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 asked_ = -1;
};

bool run_until(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    nlx::render::use_cjk_font(application);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    QTemporaryDir home;
    nlx::app::RecordedDialogs dialogs;
    nlx::app::MainWindow form(nlx::app::to_path(home.path()), dialogs);
    form.start(nlx::SerialSettings{});
    auto choose = [&](char letter) {
        if (!form.model_dialog() || !form.model_dialog()->isVisible()) form.findChild<QAction*>("codechange")->trigger();
        for (auto* option : form.model_dialog()->findChildren<QRadioButton*>())
            if (option->property("letter").toChar() == QChar(letter)) option->click();
        form.model_dialog()->findChild<QPushButton*>("Command1")->click();
    };
    choose('b');
    PaintWatch watch(form);

    using nlx::sim::FaultKind;
    const FaultKind faults[] = {FaultKind::none, FaultKind::no_ack, FaultKind::bad_ack, FaultKind::zero_count,
                                FaultKind::stall_after, FaultKind::close_after, FaultKind::stale_bytes};
    std::mt19937 rng(9);
    int fds = -1, threads = -1, failures = 0, printed = 0;
    for (int round = 0; round < rounds; ++round) {
        // A download, with a fault.
        nlx::app::Simulation sim{model_of('b'), 8, std::uint32_t(round + 1), false, {faults[rng() % std::size(faults)], rng() % 2048}};
        auto instrument = nlx::app::start_simulation(sim);
        if (!instrument) return 1;
        form.use_settings(nlx::app::simulation_settings(**instrument));
        form.findChild<QAction*>("recv")->trigger();
        bool ended = false;
        auto c = QObject::connect(&form, &nlx::app::MainWindow::download_finished, [&] { ended = true; });
        failures += !run_until([&] { return ended; }, 30000);
        QObject::disconnect(c);

        // The live level for a second and a half, then the window closed.
        form.findChild<QAction*>("jianc")->trigger();
        run_until([] { return false; }, 1500);
        if (form.monitor_window()) {
            form.monitor_window()->close();
            failures += !run_until([&] { return !form.monitor_window()->exchanges().running(); }, 5000);
        }
        (*instrument)->stop();
        instrument->reset();

        // One group on the TM27.
        auto printer = nlx::sim::VirtualPrinter::open({});
        if (!printer || !(*printer)->start()) return 1;
        nlx::SerialSettings line;
        line.port = nlx::PortSpec{0, (*printer)->device()};
        form.use_settings(line);
        if (form.findChild<QAction*>("upone")->isEnabled()) {
            form.findChild<QAction*>("upone")->trigger();
            failures += !run_until([&] { return !form.tm27_jobs().running(); }, 20000);
        }
        (void)(*printer)->stop();
        printed += !(*printer)->received().empty();
        printer->reset();
        if (round == 0) {
            fds = entries("fd");
            threads = entries("task");
        }
    }
    const int fds_end = entries("fd"), threads_end = entries("task");
    auto& d = watch.delays;
    std::sort(d.begin(), d.end());
    const qint64 worst = d.empty() ? -1 : d.back();
    std::printf("desktop soak: %d rounds (download with a fault, monitor, TM27), %zu paints: delay median %lld ms, "
                "99th %lld ms, worst %lld ms; file descriptors %d -> %d, threads %d -> %d; %d TM27 jobs printed; %d steps timed "
                "out\n",
                rounds, d.size(), d.empty() ? -1LL : (long long)d[d.size() / 2],
                d.empty() ? -1LL : (long long)d[d.size() * 99 / 100], (long long)worst, fds, fds_end, threads, threads_end,
                printed, failures);
    const bool pass = !d.empty() && worst < 100 && fds_end == fds && threads_end == threads && failures == 0 && printed > 0;
    std::printf("%s: the window painted within 100 ms throughout, nothing leaked\n", pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}
