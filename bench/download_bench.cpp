// Paced download benchmark: wall time against the line time, CPU used while the host waits, and
// a read on a silent line that must sleep to its deadline.
//   nlx_bench_download [BLOCKS=64] [BAUD=9600]
// The virtual instrument runs in a child process and sends a model a transfer at the line rate;
// this process downloads it through the Qt serial port. Prints PASS/FAIL for both targets.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/download_status.h"
#include "link/download_session.h"
#include "link/serial_link.h"
#include "sim/patterned_capture.h"
#include "sim/virtual_instrument.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace {

nlx::sim::VirtualInstrument* g_instrument = nullptr;

extern "C" void stop_instrument(int) {
    if (g_instrument) g_instrument->request_stop();
}

// The child: serves the transfer at the line rate until told to stop; reports its device first.
[[noreturn]] void serve(int report_fd, int blocks, int baud) {
    nlx::sim::InstrumentOptions o;
    o.model = model_of('a');
    nlx::Capture capture = nlx::sim::patterned_capture(model_of('a'), blocks);
    o.content = [capture] { return capture; };
    o.pace = true;
    o.baud = baud;
    auto vi = nlx::sim::VirtualInstrument::open(o);
    if (!vi) {
        std::fprintf(stderr, "bench: %s\n", vi.message().c_str());
        _exit(1);
    }
    g_instrument = vi->get();
    signal(SIGTERM, stop_instrument);
    auto r = (*vi)->run([&] {
        std::string line = (*vi)->device() + "\n";
        [[maybe_unused]] auto ignored = write(report_fd, line.data(), line.size());
        close(report_fd);
    });
    _exit(r ? 0 : 1);
}

double cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

}  // namespace

int main(int argc, char** argv) {
    const int blocks = argc > 1 ? std::atoi(argv[1]) : 64;
    const int baud = argc > 2 ? std::atoi(argv[2]) : 9600;
    if (blocks <= 0 || baud <= 0 || !nlx::count_bytes(model_of('a'), blocks)) {
        std::fprintf(stderr, "usage: nlx_bench_download [BLOCKS] [BAUD]\n");
        return 2;
    }
    int report[2];
    if (pipe(report) != 0) return 1;
    pid_t child = fork();
    if (child < 0) return 1;
    if (child == 0) {
        close(report[0]);
        serve(report[1], blocks, baud);
    }
    close(report[1]);
    std::string device;
    char c;
    while (read(report[0], &c, 1) == 1 && c != '\n') device += c;
    close(report[0]);
    if (device.empty()) {
        std::fprintf(stderr, "bench: the virtual instrument did not start\n");
        waitpid(child, nullptr, 0);
        return 1;
    }

    nlx::link::SerialLink port;
    nlx::link::DownloadRequest request;
    request.model = *nlx::find_model('a');
    request.port = nlx::PortSpec{0, device};
    request.baud = baud;
    std::size_t received = 0;
    auto discard = [&](const nlx::Capture& capture, bool) -> nlx::Result<nlx::TransferSummary> {
        received = capture.data.size();
        return nlx::TransferSummary{};
    };
    const double cpu0 = cpu_seconds();
    const auto t0 = std::chrono::steady_clock::now();
    auto result = nlx::link::DownloadSession(port, request, {}, discard).run();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = cpu_seconds() - cpu0;

    // A read on the silent line: it must sleep until its deadline, not poll.
    constexpr double kIdleWait = 1.0;
    double idle_wall = 0, idle_cpu = 0;
    bool idle_empty = false;
    if (port.open(device, baud, nlx::link::FlowControl::none)) {
        const double icpu0 = cpu_seconds();
        const auto i0 = port.now();
        auto got = port.read(16, i0 + std::chrono::milliseconds(int(kIdleWait * 1000)));
        idle_wall = std::chrono::duration<double>(port.now() - i0).count();
        idle_cpu = cpu_seconds() - icpu0;
        idle_empty = got && got->empty();
        port.close();
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);

    // Every byte of the exchange on the line: 1Bh 40h, AAh, 1Ah, two count bytes, the data.
    const std::size_t data = std::size_t(blocks) * 256;
    const std::size_t line_bytes = 2 + 1 + 1 + 2 + data;
    const double line = double(line_bytes) * 10.0 / baud;
    const double off = (wall - line) / line * 100.0;
    const double load = cpu / wall * 100.0;

    std::printf("download: %s, %zu of %zu data bytes, status %s\n",
                std::string(nlx::outcome_name(result.outcome)).c_str(), received, data, nlx::download_status_text(result.outcome, result.detail).c_str());
    std::printf("wall time %.3f s, line time %.3f s (%zu bytes at %d bit/s), difference %+.2f %%\n", wall, line,
                line_bytes, baud, off);
    std::printf("CPU time of this process %.3f s over %.3f s: %.2f %% of one core\n", cpu, wall, load);
    const bool ok = result.outcome == nlx::link::DownloadOutcome::completed && received == data;
    const bool fast = ok && std::abs(off) < 0.5;
    const bool light = ok && load < 1.0;
    const bool idle = idle_empty && idle_wall >= kIdleWait && idle_wall < kIdleWait * 1.1 &&
                      idle_cpu < 0.02 * idle_wall;
    std::printf("silent line: a %.1f s read returned after %.3f s using %.2f %% of one core\n", kIdleWait,
                idle_wall, idle_wall > 0 ? idle_cpu / idle_wall * 100.0 : 0.0);
    std::printf("%s wall time within 0.5 %% of the line time\n", fast ? "PASS" : "FAIL");
    std::printf("%s CPU under 1 %% of one core while waiting\n", light ? "PASS" : "FAIL");
    std::printf("%s a read on a silent line sleeps to its deadline (within 10 %%, under 2 %% CPU)\n",
                idle ? "PASS" : "FAIL");
    return fast && light && idle ? 0 : 1;
}
