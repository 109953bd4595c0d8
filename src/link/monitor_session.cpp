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

MonitorSession::Wait MonitorSession::await_reply(Bytes& reply, TimePoint deadline, const std::stop_token& stop) {
    // Exactly two bytes received since the request are a reply. More than two are none: they
    // stay, and the wait runs out as if the instrument had not answered.
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
        return say(MonitorOutcome::port_error, std::string(nlx::tr(texts::kPortErrorPrefix)) + message);
    };

    if (auto opened = link_.open(port_device_name(request_.port), request_.baud, FlowControl::none); !opened)
        return port_failed(opened.message());
    if (auto dropped = link_.discard_input(); !dropped) return port_failed(dropped.message());
    TimePoint sent_at = link_.now();
    if (auto sent = link_.write_byte(kLiveLevelRequest); !sent) return port_failed(sent.message());

    // `base` is when the tick count last started from 0: the start and each shown reply. Reply n
    // after it is taken in tick n; one that comes after its tick has passed stops the pacing.
    TimePoint base = link_.now();
    int n = 0;
    Bytes reply;
    while (true) {
        switch (await_reply(reply, link_.now() + kLiveReplyWait, stop)) {
        case Wait::reply: break;
        case Wait::stopped: link_.close(); return say(MonitorOutcome::stopped, {});
        case Wait::failed: return port_failed(error_);
        case Wait::silent: {
            if (observer_.message) observer_.message(std::string(nlx::tr(texts::kLiveNoReply)));
            // A stop only cuts the message's time short: the instrument did not answer.
            wait_until(link_.now() + kNoReplyShown, stop);
            link_.close();
            r.outcome = MonitorOutcome::no_reply;
            r.message = std::string(nlx::tr(texts::kLiveNoReply));
            return r;
        }
        }
        if (request_.record) return record(*scale, r, reply, sent_at, stop);
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

MonitorResult MonitorSession::record(const MonitorScale& scale, MonitorResult& r, const Bytes& first,
                                     TimePoint first_sent, const std::stop_token& stop) {
    auto ended = [&](MonitorOutcome outcome, std::string text) {
        link_.close();
        r.outcome = outcome;
        r.message = std::move(text);
        if (!r.message.empty() && observer_.message) observer_.message(r.message);
        return r;
    };
    int n = 0, silent_ticks = 0;
    const int ticks_of_silence = int(kLiveReplyWait / kLiveTick);
    auto took = [&](const Bytes* reply, TimePoint at) {
        if (reply) {
            const int f = live_level_tenths((*reply)[0], (*reply)[1]);
            if (observer_.sample) observer_.sample({at, f + 10 * scale.shown_offset});
            ++r.replies;
            silent_ticks = 0;
            if (++n == kRepliesPerShown) {
                if (observer_.shown) observer_.shown(live_level(scale, (*reply)[0], (*reply)[1]));
                n = 0;
            }
        } else {
            if (observer_.sample) observer_.sample({at, std::nullopt});
            // The operator learns of a long silence once; the recording goes on with gaps.
            if (++silent_ticks == ticks_of_silence && observer_.message)
                observer_.message(std::string(nlx::tr(texts::kLiveNoReply)));
        }
    };
    took(&first, link_.now());
    // Tick k begins at first_sent + k × 100 ms; its request waits for its reply until tick k + 1.
    long long k = 0;
    Bytes reply;
    while (true) {
        ++k;
        TimePoint tick = first_sent + k * kLiveTick;
        if (link_.now() >= tick + kLiveTick) {
            // Fallen behind by a whole tick (the computer was busy): the ticks missed sent no
            // request, so they are no gaps; the pace takes up again at the next tick.
            k = (link_.now() - first_sent) / kLiveTick + 1;
            tick = first_sent + k * kLiveTick;
        }
        if (!wait_until(tick, stop)) return ended(MonitorOutcome::stopped, {});
        if (!error_.empty()) return ended(MonitorOutcome::port_error, std::string(nlx::tr(texts::kPortErrorPrefix)) + error_);
        // Whatever came after the last tick's end belongs to no request of this tick.
        received_.clear();
        if (auto sent = link_.write_byte(kLiveLevelRequest); !sent)
            return ended(MonitorOutcome::port_error, std::string(nlx::tr(texts::kPortErrorPrefix)) + sent.message());
        switch (await_reply(reply, tick + kLiveTick, stop)) {
        case Wait::reply: took(&reply, link_.now()); break;
        case Wait::silent: took(nullptr, tick); break;
        case Wait::stopped: return ended(MonitorOutcome::stopped, {});
        case Wait::failed: return ended(MonitorOutcome::port_error, std::string(nlx::tr(texts::kPortErrorPrefix)) + error_);
        }
    }
}

}  // namespace nlx::link
