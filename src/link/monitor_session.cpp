// The live-level exchange, paced on the link's clock.
#include "link/monitor_session.h"

#include "core/texts.h"
#include "link/download_protocol.h"
#include "link/port_closer.h"
#include "link/port_lock.h"

namespace nlx::link {

MonitorSession::MonitorSession(ByteLink& link, MonitorRequest request, MonitorObserver observer)
    : link_(link), request_(request), observer_(std::move(observer)) {}

bool MonitorSession::wait_until(TimePoint when, const std::stop_token& stop) {
    // Waiting on the line, not sleeping: bytes that come meanwhile are kept for the next reply.
    while (link_.now() < when) {
        if (stop.stop_requested()) return false;
        auto got = link_.read(64, std::min(when, link_.now() + kCancelSlice));
        if (!got) {
            error_ = got.message();
            return true;
        }
        received_.insert(received_.end(), got->begin(), got->end());
    }
    return !stop.stop_requested();
}

MonitorSession::Wait MonitorSession::await_reply(Bytes& reply, const std::stop_token& stop) {
    // Exactly two bytes received since the request are a reply. More than two are none: they
    // stay, and the wait runs out as if the instrument had not answered.
    const TimePoint deadline = link_.now() + kLiveReplyWait;
    while (true) {
        if (stop.stop_requested()) return Wait::stopped;
        if (received_.size() == 2) {
            reply = std::move(received_);
            received_.clear();
            return Wait::reply;
        }
        const TimePoint now = link_.now();
        if (now >= deadline) return Wait::silent;
        auto got = link_.read(64, std::min(deadline, now + kCancelSlice));
        if (!got) {
            error_ = got.message();
            return Wait::failed;
        }
        received_.insert(received_.end(), got->begin(), got->end());
    }
}

MonitorResult MonitorSession::run(std::stop_token stop) {
    MonitorResult r;
    auto say = [&](MonitorOutcome outcome, std::string text) {
        r.outcome = outcome;
        r.message = std::move(text);
        if (!r.message.empty() && observer_.message) observer_.message(r.message);
        return r;
    };
    const MonitorScale* scale = monitor_scale(request_.model);
    if (!scale) return say(MonitorOutcome::port_error, std::string("there is no model ") + request_.model);
    auto lock = PortLock::try_acquire("实时监测");
    if (!lock) return say(MonitorOutcome::port_busy, lock.message());
    PortCloser closer(link_);
    auto port_failed = [&](const std::string& message) {
        link_.close();
        return say(MonitorOutcome::port_error, std::string(texts::kPortErrorPrefix) + message);
    };

    if (auto opened = link_.open(port_device_name(request_.port), request_.baud, FlowControl::none); !opened)
        return port_failed(opened.message());
    if (auto dropped = link_.discard_input(); !dropped) return port_failed(dropped.message());
    if (auto sent = link_.write_byte(kLiveLevelRequest); !sent) return port_failed(sent.message());

    // `base` is when the tick count last started from 0: the start and each shown reply. Reply n
    // after it is taken in tick n; one that comes after its tick has passed stops the pacing.
    TimePoint base = link_.now();
    int n = 0;
    Bytes reply;
    while (true) {
        switch (await_reply(reply, stop)) {
        case Wait::reply: break;
        case Wait::stopped: link_.close(); return say(MonitorOutcome::stopped, {});
        case Wait::failed: return port_failed(error_);
        case Wait::silent: {
            if (observer_.message) observer_.message(std::string(texts::kLiveNoReply));
            // A stop only cuts the message's time short: the instrument did not answer.
            wait_until(link_.now() + kNoReplyShown, stop);
            link_.close();
            r.outcome = MonitorOutcome::no_reply;
            r.message = std::string(texts::kLiveNoReply);
            return r;
        }
        }
        ++r.replies;
        if (++n == kRepliesPerShown) {
            if (observer_.shown) observer_.shown(live_level(*scale, reply[0], reply[1]));
            n = 0;
            base = link_.now();
        }
        const TimePoint tick_start = base + n * kLiveTick, tick_end = tick_start + kLiveTick;
        if (link_.now() >= tick_end) {
            if (!wait_until(base + (kPacingTicks + 1) * kLiveTick, stop)) return say(MonitorOutcome::stopped, {});
            link_.close();
            return say(MonitorOutcome::paced_out, {});
        }
        if (!wait_until(tick_start, stop)) {
            link_.close();
            return say(MonitorOutcome::stopped, {});
        }
        if (auto sent = link_.write_byte(kLiveLevelRequest); !sent) return port_failed(sent.message());
    }
}

}  // namespace nlx::link
