// The live level: the request byte 1Ch and the instrument's two-byte reply, one reply a 100 ms
// tick, every tenth reply shown; ended by the operator, by silence (the no-reply message for
// 1.5 s) or, silently, by a reply too late for its tick.
#pragma once

#include <functional>
#include <optional>
#include <stop_token>
#include <string>

#include "core/models.h"
#include "core/monitor_status.h"
#include "core/monitor_scale.h"
#include "core/settings.h"
#include "link/byte_link.h"
#include "link/live_level.h"

namespace nlx::link {

inline constexpr Millis kLiveTick{100};
// No reply for this long ends the monitor with the no-reply message.
inline constexpr Millis kLiveReplyWait{2000};
// The no-reply message stays this long before the monitor ends.
inline constexpr Millis kNoReplyShown{1500};
// A reply that misses its tick leaves the pacing waiting until this many ticks have passed.
inline constexpr int kPacingTicks = 20;
// Every this many replies one is shown.
inline constexpr int kRepliesPerShown = 10;

using nlx::MonitorOutcome;

struct MonitorRequest {
    std::reference_wrapper<const ModelInfo> model = all_models().front();
    PortSpec port;
    int baud = 9600;
    // Recording: from the first reply on, a request goes out at every tick of a steady 100 ms
    // pace whatever came of the last one; a tick without its reply is a gap, and silence or a
    // late reply no longer ends the monitor.
    bool record = false;
};

// One request of a recording: when its reply came (or its tick began, for a gap) on the link's
// clock, and the level shown in tenths of a decibel (the reply plus the model's offset).
struct LiveSample {
    TimePoint at;
    std::optional<int> tenths;
};

struct MonitorObserver {
    std::function<void(const LiveLevel& level)> shown;  // every tenth reply
    std::function<void()> silent;  // the instrument stopped answering (told once)
    // How the exchange ended, once the port is closed; `detail` is the port's or lock's message.
    std::function<void(MonitorOutcome outcome, const std::string& detail)> ended;
    std::function<void(const LiveSample& sample)> sample;  // recording: every request
};

struct MonitorResult {
    MonitorOutcome outcome = MonitorOutcome::port_error;
    std::string detail;      // the port's or the lock's message when either ended it
    std::size_t replies = 0;
};

// One monitoring exchange over `link`, on the calling thread until it ends; holds the PortLock
// throughout and closes the port on every path. A stop request is seen within one tick.
class MonitorSession {
public:
    MonitorSession(ByteLink& link, MonitorRequest request, MonitorObserver observer);
    MonitorResult run(std::stop_token stop = {});

private:
    enum class Wait { reply, silent, stopped, failed };
    MonitorResult exchange(const std::stop_token& stop);
    Wait await_reply(Bytes& reply, TimePoint deadline, const std::stop_token& stop);
    // The recording's steady pace, from the first reply (sent at `first_sent`) on.
    MonitorResult record(const MonitorScale& scale, MonitorResult& r, const Bytes& first, TimePoint first_sent,
                         const std::stop_token& stop);
    bool wait_until(TimePoint when, const std::stop_token& stop);  // false when stopped

    ByteLink& link_;
    MonitorRequest request_;
    MonitorObserver observer_;
    std::string error_;
    Bytes received_;  // received since the last reply was taken
};

}  // namespace nlx::link
