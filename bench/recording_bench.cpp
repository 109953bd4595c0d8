// Recording the live level: the summary of 24 hours of samples (864,000), listing and drawing a
// stored 24-hour recording, and a real-time recording against the virtual instrument on a
// pseudo-terminal beside the monitor alone on the same line.
//   nlx_bench_recording [SECONDS=60]
// Prints each figure as a ratio to its limit and PASS or FAIL.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <stop_token>
#include <thread>

#include "core/level_statistics.h"
#include "link/recorded_monitor.h"
#include "link/serial_link.h"
#include "sim/patterned_capture.h"
#include "sim/virtual_instrument.h"
#include "store/database.h"
#include "transfer/recording_export.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kDay = 864'000;  // samples of 24 hours at ten a second

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

bool report(const char* what, double figure, double limit, const char* unit) {
    const bool pass = figure < limit;
    std::printf("%-58s %10.2f %s  (%.3f× the limit of %.0f %s)  %s\n", what, figure, unit, figure / limit, limit, unit,
                pass ? "PASS" : "FAIL");
    return pass;
}

// A day of levels: 40..100 dB in tenths, every thousandth request a gap.
std::vector<nlx::RecordedSample> day_of_samples() {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> level(400, 1000);
    std::vector<nlx::RecordedSample> out(kDay);
    for (std::size_t k = 0; k < kDay; ++k)
        out[k] = {(long long)k * 100, k % 1000 == 999 ? std::nullopt : std::optional<int>(level(random))};
    return out;
}

struct Live {
    double cpu = 0;          // seconds of the process's CPU
    std::size_t samples = 0;  // requests recorded
};

// Monitors (or records, into `db`) for `seconds` on the instrument's line.
Live live_run(const std::string& device, double seconds, nlx::Database* db) {
    nlx::link::SerialLink line;
    std::stop_source stop;
    std::jthread timer([&stop, seconds](std::stop_token) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        stop.request_stop();
    });
    Live out;
    const double before = cpu_seconds();
    const nlx::link::MonitorRequest request{*nlx::find_model('e'), nlx::PortSpec{0, device}, 9600};
    if (db) {
        auto r = nlx::link::record_monitor(line, request, {}, *db, {}, stop.get_token());
        out.samples = r.summary.samples + r.summary.gaps;
    } else {
        nlx::link::MonitorSession session(line, request, {});
        out.samples = session.run(stop.get_token()).replies;
    }
    out.cpu = cpu_seconds() - before;
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::max(5.0, std::atof(argv[1])) : 60.0;
    bool ok = true;
    const fs::path folder = fs::temp_directory_path() / ("nlx-bench-recording-" + std::to_string(::getpid()));
    fs::create_directories(folder);

    // 1. The summary of 24 hours of samples, from the levels as they come.
    const auto day = day_of_samples();
    {
        const auto start = Clock::now();
        nlx::LevelStatistics stats;
        for (const auto& s : day) {
            if (s.tenths) stats.add(*s.tenths);
            else stats.add_gap();
        }
        const auto summary = stats.summary();
        ok &= report("summary of 864,000 samples", ms_since(start), 100, "ms");
        std::printf("  %s\n", nlx::summary_line(summary).c_str());
    }

    // 2. A stored 24-hour recording: listed (its summary streamed from the store) and drawn.
    {
        auto db = nlx::Database::create_or_open(folder / "day.db");
        if (!db) return std::fprintf(stderr, "bench: %s\n", db.message().c_str()), 1;
        auto id = db->begin_recording({'a', "/dev/ttyS0", 9600, 1'700'000'000'000LL});
        if (!id) return std::fprintf(stderr, "bench: %s\n", id.message().c_str()), 1;
        // Stored in hour-long batches here: the benchmark is of reading it back.
        for (std::size_t from = 0; from < kDay; from += 36'000) {
            std::vector<nlx::RecordedSample> hour(day.begin() + long(from), day.begin() + long(from + 36'000));
            if (auto r = db->append_recorded(*id, (long long)from, hour); !r)
                return std::fprintf(stderr, "bench: %s\n", r.message().c_str()), 1;
        }
        auto read = nlx::Database::open_read_only(folder / "day.db");
        if (!read) return std::fprintf(stderr, "bench: %s\n", read.message().c_str()), 1;
        auto start = Clock::now();
        auto list = read->recordings();
        const double listed = ms_since(start);
        if (!list || list->size() != 1) return std::fprintf(stderr, "bench: the recording was not listed\n"), 1;
        ok &= report("listing a 24-hour recording (summary from the store)", listed, 1000, "ms");
        start = Clock::now();
        auto chart = nlx::recording_chart(*read, list->front());
        const double drawn = ms_since(start);
        if (!chart) return std::fprintf(stderr, "bench: %s\n", chart.message().c_str()), 1;
        ok &= report("time history of a 24-hour recording (1440 points)", drawn, 1000, "ms");
        ok &= report("listing and time history together", listed + drawn, 1000, "ms");
    }

    // 3. Real time: the monitor alone, then recording, on the virtual instrument's line.
    {
        nlx::sim::InstrumentOptions o;
        o.model = model_of('e');
        const nlx::Capture served = nlx::sim::patterned_capture(model_of('e'), 1);
        o.content = [served] { return served; };
        o.level_sequence = {856, 857, 858, 859, 860};
        auto vi = nlx::sim::VirtualInstrument::open(o);
        if (!vi || !(*vi)->start()) return std::fprintf(stderr, "bench: the virtual instrument did not start\n"), 1;
        const Live plain = live_run((*vi)->device(), seconds, nullptr);
        auto db = nlx::Database::create_or_open(folder / "live.db");
        if (!db) return std::fprintf(stderr, "bench: %s\n", db.message().c_str()), 1;
        const Live recorded = live_run((*vi)->device(), seconds, &*db);
        const double expected = seconds * 10;
        std::printf("%-58s %10zu samples in %.0f s (expected %.0f ± 2)  %s\n", "recording, samples", recorded.samples,
                    seconds, expected, std::abs(double(recorded.samples) - expected) <= 2 ? "PASS" : "FAIL");
        ok &= std::abs(double(recorded.samples) - expected) <= 2;
        std::printf("  monitor alone %.3f s of CPU, recording %.3f s (%zu replies / %zu samples)\n", plain.cpu,
                    recorded.cpu, plain.samples, recorded.samples);
        ok &= report("recording beyond the monitor, % of one core", 100 * (recorded.cpu - plain.cpu) / seconds, 1, "%");
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    return ok ? 0 : 1;
}
