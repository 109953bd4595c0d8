// Finding the instrument's port: each port in turn is asked for the live level, and the port
// whose answer comes back is the one the instrument is on.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "link/byte_link.h"
#include "link/live_level.h"

namespace nlx::link {

enum class ProbeOutcome {
    answered,  // exactly the two bytes of a level came back
    silent,    // nothing came in time, or bytes that are not a level reply
    skipped,   // the port could not be opened or failed while being asked
};

struct PortProbe {
    std::string device;
    ProbeOutcome outcome = ProbeOutcome::silent;
    int level_tenths = 0;  // answered: the level the instrument reported, in tenths of a dB
    std::string detail;    // silent: what came instead of a level, if anything; skipped: why
};

struct ProbeReport {
    std::vector<PortProbe> ports;  // the ports asked, in the order asked
    // Set when probing stopped before the last port because another serial command held the
    // port: the port lock's message. The ports after it were not asked.
    std::optional<std::string> refused;
    bool cancelled = false;        // a stop request ended probing; the port being asked is left out

    // The first port that answered, or null.
    const PortProbe* first_answer() const;
};

struct ProbeOptions {
    int baud = 9600;
    std::chrono::milliseconds wait = kLiveLevelWait;
    bool until_answered = false;  // stop after the first port that answers
};

// The link to ask `device` on; it is opened, asked and closed before the next port's link is
// asked for, so one link may serve every port.
using LinkForPort = std::function<ByteLink&(const std::string& device)>;

// Asks each of `devices` in turn: takes the port lock, opens the port (8N1, no flow control),
// drops stale input, sends the live-level request, waits up to `options.wait` on the link's clock
// for the two reply bytes, closes the port and releases the lock. A port held by another program
// is skipped with the open failure as its reason; the port lock held by another command of this
// program stops probing (it is never forced). A stop request is seen within about 100 ms.
ProbeReport probe_ports(const std::vector<std::string>& devices, const LinkForPort& link_for,
                        const ProbeOptions& options = {}, std::stop_token stop = {});
ProbeReport probe_ports(const std::vector<std::string>& devices, ByteLink& link,
                        const ProbeOptions& options = {}, std::stop_token stop = {});

}  // namespace nlx::link
