// The port probe: one live-level request a port, each wait bounded on the link's clock.
#include "link/port_probe.h"

#include <algorithm>

#include "core/texts.h"
#include "link/download_protocol.h"
#include "link/port_closer.h"
#include "link/port_lock.h"

namespace nlx::link {
namespace {

// After the second byte, a little longer for a third that would show the bytes are no level
// reply: four byte times, and never less than 20 ms.
std::chrono::nanoseconds trailing_wait(int baud) {
    return std::max<std::chrono::nanoseconds>(Millis(20), 4 * byte_time(baud));
}

std::string not_a_level(std::size_t bytes) {
    return bytes == 1 ? std::string("1 byte, not a level reply")
                      : std::string("more than ").append(std::to_string(kLiveLevelReplySize)).append(" bytes, not a level reply");
}

// Asks one open port; nullopt when a stop request came first.
std::optional<PortProbe> ask(ByteLink& link, PortProbe probe, const ProbeOptions& options,
                             const std::stop_token& stop) {
    auto skipped = [&](const std::string& why) {
        probe.outcome = ProbeOutcome::skipped;
        probe.detail = why;
        return probe;
    };
    if (auto dropped = link.discard_input(); !dropped) return skipped(dropped.message());
    if (auto sent = link.write_byte(kLiveLevelRequest); !sent) return skipped(sent.message());

    Bytes reply;
    const TimePoint deadline = link.now() + options.wait;
    while (reply.size() < kLiveLevelReplySize) {
        if (stop.stop_requested()) return std::nullopt;
        const TimePoint now = link.now();
        if (now >= deadline) break;
        auto got = link.read(kLiveLevelReplySize + 1 - reply.size(), std::min(deadline, now + kCancelSlice));
        if (!got) return skipped(got.message());
        reply.insert(reply.end(), got->begin(), got->end());
    }
    if (reply.size() == kLiveLevelReplySize) {
        auto more = link.read(1, link.now() + std::chrono::ceil<LinkClock::duration>(trailing_wait(options.baud)));
        if (!more) return skipped(more.message());
        reply.insert(reply.end(), more->begin(), more->end());
    }
    if (reply.size() == kLiveLevelReplySize) {
        probe.outcome = ProbeOutcome::answered;
        probe.level_tenths = live_level_tenths(reply[0], reply[1]);
    } else {
        probe.outcome = ProbeOutcome::silent;
        if (!reply.empty()) probe.detail = not_a_level(reply.size());
    }
    return probe;
}

}  // namespace

const PortProbe* ProbeReport::first_answer() const {
    auto it = std::find_if(ports.begin(), ports.end(), [](const PortProbe& p) { return p.outcome == ProbeOutcome::answered; });
    return it == ports.end() ? nullptr : &*it;
}

ProbeReport probe_ports(const std::vector<std::string>& devices, const LinkForPort& link_for,
                        const ProbeOptions& options, std::stop_token stop) {
    ProbeReport report;
    for (const std::string& device : devices) {
        if (stop.stop_requested()) {
            report.cancelled = true;
            break;
        }
        auto lock = PortLock::try_acquire(texts::kProbeLockHolder);
        if (!lock) {
            report.refused = lock.message();
            break;
        }
        ByteLink& link = link_for(device);
        PortCloser closer(link);
        if (link.is_open()) link.close();
        PortProbe probe{device, ProbeOutcome::skipped, 0, {}};
        if (auto opened = link.open(device, options.baud, FlowControl::none); !opened) {
            probe.detail = opened.message();
            report.ports.push_back(std::move(probe));
            continue;
        }
        auto asked = ask(link, std::move(probe), options, stop);
        if (!asked) {
            report.cancelled = true;
            break;
        }
        report.ports.push_back(std::move(*asked));
        if (options.until_answered && report.ports.back().outcome == ProbeOutcome::answered) break;
    }
    return report;
}

ProbeReport probe_ports(const std::vector<std::string>& devices, ByteLink& link, const ProbeOptions& options,
                        std::stop_token stop) {
    return probe_ports(devices, [&link](const std::string&) -> ByteLink& { return link; }, options, std::move(stop));
}

}  // namespace nlx::link
