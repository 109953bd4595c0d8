// nlx monitor: the instrument's live level, "Lp=…dB" about once a second, until Ctrl-C or
// --seconds have passed; exit 1 with the no-reply text when the instrument does not answer.
#include <CLI/CLI.hpp>

#include <atomic>
#include <csignal>
#include <iostream>
#include <memory>
#include <thread>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/serial_options.h"
#include "link/monitor_session.h"
#include "link/serial_link.h"

namespace nlx::cli {
namespace {

std::atomic<bool> g_interrupted{false};

extern "C" void interrupt_monitor(int) { g_interrupted.store(true); }

}  // namespace

void register_monitor(CLI::App& app, int& exit_code) {
    struct Options {
        std::string model;
        SerialOptions serial;
        double seconds = 0;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("monitor", "Show the instrument's live level about once a second");
    add_model_option(*cmd, opts->model);
    add_serial_options(*cmd, opts->serial);
    cmd->add_option("--seconds", opts->seconds, "Stop after this many seconds (default: until Ctrl-C)")
        ->check(CLI::PositiveNumber);
    cmd->callback([opts, &exit_code] {
        const SerialSettings settings = serial_settings(opts->serial);
        link::SerialLink serial;
        link::MonitorObserver observer;
        observer.shown = [](const LiveLevel& level) { std::cout << level.text << std::endl; };
        link::MonitorSession session(serial, {opts->model[0], settings.port, settings.baud}, observer);

        // Ctrl-C and --seconds end the session through its stop token, the port closed behind it.
        g_interrupted.store(false);
        struct sigaction sa{}, old_int{}, old_term{};
        sa.sa_handler = interrupt_monitor;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGINT, &sa, &old_int);
        sigaction(SIGTERM, &sa, &old_term);
        std::stop_source stop;
        std::jthread watch([&stop, seconds = opts->seconds](std::stop_token done) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
            while (!done.stop_requested() && !g_interrupted.load() &&
                   (seconds <= 0 || std::chrono::steady_clock::now() < until))
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            stop.request_stop();
        });
        const auto result = session.run(stop.get_token());
        watch.request_stop();
        watch.join();
        sigaction(SIGINT, &old_int, nullptr);
        sigaction(SIGTERM, &old_term, nullptr);

        switch (result.outcome) {
        case link::MonitorOutcome::stopped: exit_code = 0; return;
        case link::MonitorOutcome::paced_out:
            throw Failure("the instrument's replies came too late for the 100 ms pace; monitoring stopped");
        default: throw Failure(result.message);
        }
    });
}

}  // namespace nlx::cli
