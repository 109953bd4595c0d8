// The TM27 print job: each wait bounded on the link's clock, the port closed on every way out.
#include "link/tm27_session.h"

#include <algorithm>

#include "core/texts.h"
#include "link/download_protocol.h"
#include "link/port_closer.h"
#include "link/port_lock.h"
#include "link/tm27_protocol.h"

namespace nlx::link {

std::string_view outcome_name(Tm27Outcome outcome) {
    switch (outcome) {
    case Tm27Outcome::completed: return "completed";
    case Tm27Outcome::no_answer: return "no_answer";
    case Tm27Outcome::bad_answer: return "bad_answer";
    case Tm27Outcome::port_busy: return "port_busy";
    case Tm27Outcome::port_error: return "port_error";
    case Tm27Outcome::bad_group: return "bad_group";
    case Tm27Outcome::nothing_to_print: return "nothing_to_print";
    case Tm27Outcome::cancelled: return "cancelled";
    }
    return "unknown";
}

Millis tm27_tick(Tm27Speed speed) {
    switch (speed) {
    case Tm27Speed::slow: return Millis(40'000);
    case Tm27Speed::medium: return Millis(30'000);
    case Tm27Speed::fast: return Millis(20'000);
    }
    return Millis(40'000);
}

Millis tm27_pause(Tm27Speed speed) { return 2 * tm27_tick(speed); }

Tm27Session::Tm27Session(ByteLink& link, Tm27Request request, Tm27Observer observer)
    : link_(link), request_(std::move(request)), observer_(std::move(observer)) {
    if (!request_.pause) request_.pause = std::make_shared<Tm27Pause>();
}

void Tm27Session::status(const std::string& text) {
    if (observer_.status) observer_.status(text);
}

Tm27Session::WaitEnd Tm27Session::read_one(std::uint8_t& byte, Millis limit, const std::stop_token& stop) {
    const TimePoint deadline = link_.now() + limit;
    for (;;) {
        if (stop.stop_requested()) return WaitEnd::cancelled;
        const TimePoint now = link_.now();
        if (now >= deadline) return WaitEnd::timed_out;
        auto got = link_.read(1, std::min(deadline, now + kCancelSlice));
        if (!got) {
            last_error_ = got.message();
            return WaitEnd::failed;
        }
        if (!got->empty()) {
            byte = got->front();
            return WaitEnd::done;
        }
    }
}

Tm27Session::WaitEnd Tm27Session::pause(Millis length, const std::stop_token& stop) {
    const TimePoint deadline = link_.now() + length;
    for (;;) {
        if (stop.stop_requested()) return WaitEnd::cancelled;
        const TimePoint now = link_.now();
        if (now >= deadline) return WaitEnd::done;
        // Only flow-control bytes come from the printer now; reading them keeps the input empty.
        auto got = link_.read(256, std::min(deadline, now + kCancelSlice));
        if (!got) {
            last_error_ = got.message();
            return WaitEnd::failed;
        }
    }
}

Result<void> Tm27Session::drain(const std::stop_token& stop) {
    const bool stopping = stop.stop_requested();
    const TimePoint deadline = link_.now() + (stopping ? kTm27CancelDrainWait : kTm27DrainWait);
    for (;;) {
        // A stop asked for while the printer holds the line ends the wait; the close may then
        // drop what is still queued.
        if (!stopping && stop.stop_requested()) return {};
        const TimePoint slice_end = std::min(deadline, link_.now() + kCancelSlice);
        auto drained = link_.drain_output(slice_end);
        if (drained) return {};
        // A port that fails before its slice is over has failed for good.
        if (link_.now() < slice_end || link_.now() >= deadline) return drained;
    }
}

Tm27Result Tm27Session::run(std::stop_token stop) {
    Tm27Result r;
    auto lock = PortLock::try_acquire(texts::kTm27Holder);
    if (!lock) {
        r.outcome = Tm27Outcome::port_busy;
        r.status = lock.message();
        status(r.status);
        return r;
    }
    PortCloser closer(link_);

    auto end_with = [&](Tm27Outcome outcome, std::string_view text) {
        r.outcome = outcome;
        r.status = std::string(text);
        status(r.status);
        return r;
    };
    auto port_failed = [&](const std::string& message) {
        link_.close();
        r.detail = message;
        return end_with(Tm27Outcome::port_error, std::string(nlx::tr(texts::kPortErrorPrefix)).append(message));
    };
    // Before the printer is ready: the job ends with the port closed and nothing printed.
    auto ended = [&](Tm27Outcome outcome, std::string_view text) {
        link_.close();
        return end_with(outcome, text);
    };
    // Once the printer is ready, every ending but a port failure feeds the paper with a last CR
    // and lets it leave the port before closing. A group that cannot be printed is told first.
    auto finish = [&](Tm27Outcome outcome, std::string_view text) {
        const bool text_first = outcome == Tm27Outcome::bad_group;
        if (text_first) end_with(outcome, text);
        if (auto sent = link_.write_byte(kTm27Cr); !sent) return port_failed(sent.message());
        if (auto drained = drain(stop); !drained) return port_failed(drained.message());
        if (!text_first) end_with(outcome, text);
        link_.close();
        return r;
    };

    const std::size_t total = request_.groups.size();
    if (total == 0) return end_with(Tm27Outcome::nothing_to_print, nlx::tr(texts::kNothingToPrint));

    // Opening: fresh port settings, no flow control, stale input dropped.
    if (link_.is_open()) link_.close();
    if (auto opened = link_.open(port_device_name(request_.port), request_.baud, FlowControl::none); !opened)
        return port_failed(opened.message());
    if (auto dropped = link_.discard_input(); !dropped) return port_failed(dropped.message());

    // Reset, then the ready byte.
    for (std::uint8_t byte : {kTm27Reset1, kTm27Reset2, kTm27Cr})
        if (auto sent = link_.write_byte(byte); !sent) return port_failed(sent.message());
    std::uint8_t answer = 0;
    switch (read_one(answer, kTm27ReadyWait, stop)) {
    case WaitEnd::done: break;
    case WaitEnd::timed_out: return ended(Tm27Outcome::no_answer, nlx::tr(texts::kTm27NoAnswer));
    case WaitEnd::cancelled: return ended(Tm27Outcome::cancelled, nlx::tr(texts::kTm27Cancelled));
    case WaitEnd::failed: return port_failed(last_error_);
    }
    if (answer != kTm27Ready) return ended(Tm27Outcome::bad_answer, nlx::tr(texts::kBadAcknowledge));
    status(std::string(nlx::tr(texts::kTm27Ready)));

    // Printing: the printer paces the line with XON/XOFF from here on.
    if (auto paced = link_.set_flow(FlowControl::xon_xoff); !paced) return port_failed(paced.message());
    if (auto sent = link_.write(kTm27LineSpacing); !sent) return port_failed(sent.message());
    for (std::size_t i = 0; i < total; ++i) {
        if (stop.stop_requested()) return finish(Tm27Outcome::cancelled, nlx::tr(texts::kTm27Cancelled));
        const Result<Bytes>& group = request_.groups[i];
        if (!group) return finish(Tm27Outcome::bad_group, group.message());
        if (auto sent = link_.write(*group); !sent) return port_failed(sent.message());
        ++r.printed;
        if (observer_.group_printed) observer_.group_printed(i, total);
        if (i + 1 == total) break;
        const Millis length = request_.pause->get();
        if (observer_.pause_started) observer_.pause_started(length, i + 1);
        switch (pause(length, stop)) {
        case WaitEnd::done:
        case WaitEnd::timed_out: break;
        case WaitEnd::cancelled: return finish(Tm27Outcome::cancelled, nlx::tr(texts::kTm27Cancelled));
        case WaitEnd::failed: return port_failed(last_error_);
        }
    }
    return finish(Tm27Outcome::completed, nlx::tr(texts::kTm27Done));
}

}  // namespace nlx::link
