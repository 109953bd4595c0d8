// nlx simulate: a virtual instrument (or TM27 printer) on a pseudo-terminal, until stopped.
#include <CLI/CLI.hpp>

#include <atomic>
#include <csignal>
#include <iostream>

#include "cli/commands.h"
#include "cli/options.h"
#include "core/models.h"
#include "core/capture.h"
#include "core/settings.h"
#include "sim/generated_content.h"
#include "sim/instrument_fault.h"
#include "sim/virtual_instrument.h"
#include "sim/virtual_printer.h"

namespace nlx::cli {
namespace {

std::atomic<sim::VirtualInstrument*> g_running{nullptr};
std::atomic<sim::VirtualPrinter*> g_printer{nullptr};

extern "C" void stop_on_signal(int) {
    if (auto* vi = g_running.load()) vi->request_stop();
    if (auto* vp = g_printer.load()) vp->request_stop();
}

// Runs `serve` with Ctrl-C and SIGTERM asking it to stop.
template <class Serve>
auto until_signal(Serve serve) {
    struct sigaction sa{};
    sa.sa_handler = stop_on_signal;
    sigemptyset(&sa.sa_mask);
    struct sigaction old_int{}, old_term{};
    sigaction(SIGINT, &sa, &old_int);
    sigaction(SIGTERM, &sa, &old_term);
    auto result = serve();
    sigaction(SIGINT, &old_int, nullptr);
    sigaction(SIGTERM, &old_term, nullptr);
    return result;
}

// The virtual TM27 printer until stopped: the device first, then what it was sent.
void simulate_printer(const sim::PrinterOptions& options) {
    auto vp = sim::VirtualPrinter::open(options);
    if (!vp) throw Failure(vp.message());
    auto& printer = **vp;
    g_printer.store(&printer);
    auto served = until_signal([&] {
        return printer.run([&] {
            std::cout << printer.device() << "\n"
                      << "virtual TM27 printer: received bytes to " << options.save_to.string() << ", printed lines to "
                      << options.save_to.string() << ".txt";
            if (options.hold_after > 0)
                std::cout << ", holds the line " << options.hold_for.count() << " ms after " << options.hold_after
                          << " bytes";
            std::cout << "; stop with Ctrl-C" << std::endl;
        });
    });
    g_printer.store(nullptr);
    if (!served) throw Failure(served.message());
    std::cout << "received " << printer.received().size() << " bytes in " << printer.resets() << " job(s)" << std::endl;
}

}  // namespace

void register_simulate(CLI::App& app, int& exit_code) {
    struct Options {
        std::string model, capture, fault = "none", printer, levels;
        std::size_t hold_after = 0;
        int hold_for = 300;
        int baud = 9600;
        int groups = 0;
        std::uint32_t seed = 1;
        bool pace = false;
    };
    auto opts = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("simulate", "Run a virtual instrument, or a TM27 printer, on a pseudo-terminal until Ctrl-C");
    auto* model_opt = cmd->add_option("--model", opts->model, "Instrument model a..e")
        ->check(CLI::Validator([](std::string& s) { return find_model(s) ? std::string() : "model must be one of a, b, c, d, e"; }, "a..e"));
    auto* capture_opt =
        cmd->add_option("--capture", opts->capture, "Capture file to serve: one written by a download, or a raw dump of the two count bytes and the data");
    auto* groups_opt = cmd->add_option("--groups", opts->groups, "Serve this many realistic generated groups")
                           ->check(CLI::Range(1, 4000));
    cmd->add_option("--seed", opts->seed, "Seed of the generated groups and of the live level (default 1)");
    cmd->add_option("--levels", opts->levels,
                    "Answer the live-level requests with the levels of this file, one a request, over and over: one "
                    "level in dB a line (\"85.6\"), or - for a request left unanswered");
    capture_opt->excludes(groups_opt);
    auto* printer_opt = cmd->add_option("--printer", opts->printer,
                                        "Be a TM27 micro-printer instead: save what it receives to this file, and the printed lines to the file with .txt added");
    printer_opt->excludes(model_opt)->excludes(capture_opt)->excludes(groups_opt);
    cmd->add_option("--hold-after", opts->hold_after, "The printer holds the line with XOFF once, after this many bytes")
        ->needs(printer_opt)->check(CLI::PositiveNumber);
    cmd->add_option("--hold-for", opts->hold_for, "How long the printer holds the line, in ms (default 300)")
        ->needs(printer_opt)->check(CLI::Range(0, 600000));
    cmd->add_option("--baud", opts->baud, "Line speed in bit/s (for --pace)")
        ->check(CLI::Validator([](std::string& s) {
            try {
                return valid_speed(std::stoi(s)) ? std::string() : "speed must be 9600, 4800, 2400 or 1200";
            } catch (const std::exception&) {
                return std::string("speed must be 9600, 4800, 2400 or 1200");
            }
        }, "SPEED"));
    cmd->add_flag("--pace", opts->pace, "Send at the real line rate of the speed");
    cmd->add_option("--fault", opts->fault, "bad-ack, no-ack, zero-count, negative-count, stale-bytes, stall-after=BYTES, close-after=BYTES, no-live")
        ->check(CLI::Validator([](std::string& s) {
            auto f = sim::parse_fault(s);
            return f ? std::string() : f.message();
        }, "FAULT"));
    cmd->callback([opts, &exit_code] {
        if (!opts->printer.empty()) {
            simulate_printer({opts->hold_after, std::chrono::milliseconds(opts->hold_for), opts->printer});
            exit_code = 0;
            return;
        }
        if (opts->model.empty()) throw CLI::RequiredError("--model");
        if (opts->capture.empty() && opts->groups == 0)
            throw CLI::RequiredError("--capture or --groups");
        Capture capture;
        if (!opts->capture.empty()) {
            auto read = read_capture_file(opts->capture, CaptureForm::either, &chosen_model(opts->model));
            if (!read) throw Failure(read.message());
            if (read->model != &chosen_model(opts->model))
                throw Failure("capture file " + opts->capture + " holds a transfer of model " +
                              std::string(1, read->model->letter) + ", not model " + opts->model);
            capture = std::move(read->capture);
        } else {
            auto generated = sim::generated_capture(chosen_model(opts->model), opts->groups, opts->seed);
            if (!generated) throw Failure(generated.message());
            capture = std::move(generated).value();
        }
        sim::InstrumentOptions o;
        o.model = chosen_model(opts->model);
        o.content = [capture] { return capture; };
        o.pace = opts->pace;
        o.baud = opts->baud;
        o.fault = sim::parse_fault(opts->fault).value();
        o.level_seed = opts->seed;
        if (!opts->levels.empty()) {
            auto levels = sim::read_level_sequence(opts->levels);
            if (!levels) throw Failure(levels.message());
            o.level_sequence = std::move(*levels);
        }
        auto vi = sim::VirtualInstrument::open(std::move(o));
        if (!vi) throw Failure(vi.message());
        auto& instrument = **vi;

        std::int32_t n = transfer_count(chosen_model(opts->model), capture.b1, capture.b2);
        g_running.store(&instrument);
        // The device is printed once the instrument listens, so a host may open it at once.
        auto served = until_signal([&] {
            return instrument.run([&] {
                std::cout << instrument.device() << "\n"
                          << "virtual instrument, model " << opts->model << ": count bytes " << int(capture.b1) << " "
                          << int(capture.b2) << " (n = " << n << "), " << capture.data.size() << " data bytes, "
                          << opts->baud << " bit/s" << (opts->pace ? " paced" : "") << ", fault "
                          << sim::fault_text(sim::parse_fault(opts->fault).value())
                          << (opts->levels.empty() ? std::string() : ", live levels from " + opts->levels)
                          << "; stop with Ctrl-C" << std::endl;
            });
        });
        g_running.store(nullptr);
        if (!served) throw Failure(served.message());
        std::cout << "served " << instrument.downloads() << " download(s)"
                  << (instrument.hung_up() ? "; the line was hung up" : "") << std::endl;
        exit_code = 0;
    });
}

}  // namespace nlx::cli
