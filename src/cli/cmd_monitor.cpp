// nlx monitor: the instrument's live level, "Lp=…dB" about once a second, until Ctrl-C or
// --seconds have passed; exit 1 with the no-reply text when the instrument does not answer.
// With --record every reply is stored in the record database and the summary line ends it.
#include <CLI/CLI.hpp>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "cli/serial_options.h"
#include "link/monitor_session.h"
#include "link/recorded_monitor.h"
#include "link/serial_link.h"
#include "transfer/recording_export.h"

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
        bool record = false;
        std::string csv, db;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("monitor", "Show the instrument's live level about once a second");
    add_model_option(*cmd, opts->model);
    add_serial_options(*cmd, opts->serial);
    cmd->add_option("--seconds", opts->seconds, "Stop after this many seconds (default: until Ctrl-C)")
        ->check(CLI::PositiveNumber);
    auto* record = cmd->add_flag("--record", opts->record,
                                 "Record every reply (ten a second) in the record database and end with the "
                                 "summary line LAeq=… Lmax=… Lmin=… L5=… L10=… L50=… L90=… L95=… samples=N gaps=G");
    cmd->add_option("--csv", opts->csv, "With --record: also write the samples (time, level) to this CSV file")
        ->needs(record);
    add_database_option(*cmd, opts->db)->needs(record);
    cmd->callback([opts, &exit_code] {
        const SerialSettings settings = serial_settings(opts->serial);
        // A CSV that could not be written at the end is refused before anything is recorded.
        if (!opts->csv.empty()) {
            const auto folder = std::filesystem::absolute(opts->csv).parent_path();
            if (!std::filesystem::is_directory(folder))
                throw Failure("cannot write " + opts->csv + ": folder " + folder.string() + " does not exist");
        }
        std::optional<Database> db;
        if (opts->record) db.emplace(open_for_writing(opts->db));
        link::SerialLink serial;
        link::MonitorObserver observer;
        observer.shown = [](const LiveLevel& level) { std::cout << level.text << std::endl; };
        // While recording, a long silence is told on stderr; the recording goes on with gaps.
        if (opts->record) observer.silent = [] { std::cerr << "nlx: " << monitor_silence_text() << std::endl; };
        const link::MonitorRequest request{chosen_model(opts->model), settings.port, settings.baud};
        link::MonitorSession session(serial, request, observer);

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
        link::RecordedMonitorResult recorded;
        if (opts->record) recorded = link::record_monitor(serial, request, observer, *db, {}, stop.get_token());
        else recorded.monitor = session.run(stop.get_token());
        const auto& result = recorded.monitor;
        watch.request_stop();
        watch.join();
        sigaction(SIGINT, &old_int, nullptr);
        sigaction(SIGTERM, &old_term, nullptr);

        std::string kept;
        if (opts->record && recorded.recording) {
            std::cout << summary_line(recorded.summary) << std::endl;
            kept = "; recording " + std::to_string(recorded.recording) + " is kept in " + db->path().string();
            if (!opts->csv.empty()) {
                auto written = write_recording_csv(*db, find_recording(*db, recorded.recording), opts->csv);
                if (!written) throw Failure(written.message() + kept);
            }
        }
        if (!recorded.store_error.empty()) throw Failure(recorded.store_error + kept);
        switch (result.outcome) {
        case link::MonitorOutcome::stopped: exit_code = 0; return;
        case link::MonitorOutcome::paced_out:
            throw Failure("the instrument's replies came too late for the 100 ms pace; monitoring stopped");
        default: throw Failure(monitor_ending_text(result.outcome, result.detail) + kept);
        }
    });
}

}  // namespace nlx::cli
