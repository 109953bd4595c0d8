// The download state machine: each wait bounded in time, the port closed on every way out.
#include "link/download_session.h"

#include <exception>

#include "core/models.h"
#include "link/download_protocol.h"
#include "link/port_closer.h"
#include "link/port_lock.h"

namespace nlx::link {

DownloadSession::DownloadSession(ByteLink& link, DownloadRequest request, DownloadObserver observer,
                                 StoreHook store)
    : link_(link), request_(std::move(request)), observer_(std::move(observer)), store_(std::move(store)) {}

void DownloadSession::enter(DownloadState state) {
    if (observer_.state) observer_.state(state);
}

DownloadResult DownloadSession::run(std::stop_token stop) {
    DownloadResult result = run_steps(stop);
    if (observer_.ended) observer_.ended(result.outcome, result.detail);
    enter(DownloadState::idle);
    return result;
}

DownloadSession::WaitEnd DownloadSession::receive(Bytes& into, std::size_t want, std::chrono::milliseconds limit,
                                                  bool per_byte, const std::stop_token& stop,
                                                  const std::function<void(std::size_t)>& on_bytes) {
    TimePoint deadline = link_.now() + limit;
    while (into.size() < want) {
        if (stop.stop_requested()) return WaitEnd::cancelled;
        TimePoint now = link_.now();
        if (now >= deadline) return WaitEnd::timed_out;
        const TimePoint slice_end = std::min(deadline, now + kCancelSlice);
        auto got = per_byte ? link_.read_run(want - into.size(), slice_end) : link_.read(want - into.size(), slice_end);
        if (!got) {
            last_error_ = got.message();
            return WaitEnd::failed;
        }
        if (got->empty()) continue;
        std::size_t first = into.size();
        into.insert(into.end(), got->begin(), got->end());
        if (per_byte) deadline = link_.now() + limit;
        if (on_bytes) on_bytes(first);
    }
    return WaitEnd::done;
}

DownloadResult DownloadSession::run_steps(const std::stop_token& stop) {
    DownloadResult r;
    auto lock = PortLock::try_acquire("数据接收");
    if (!lock) {
        r.outcome = DownloadOutcome::port_busy;
        r.detail = lock.message();
        return r;
    }
    PortCloser closer(link_);

    auto end_with = [&](DownloadOutcome outcome) {
        link_.close();
        r.outcome = outcome;
        return r;
    };
    auto port_failed = [&](const std::string& message) {
        r.detail = message;
        return end_with(DownloadOutcome::port_error);
    };
    const ModelInfo& model = request_.model;

    // Opening: fresh port settings, no flow control, stale input dropped.
    enter(DownloadState::opening);
    if (link_.is_open()) link_.close();
    if (auto opened = link_.open(port_device_name(request_.port), request_.baud, FlowControl::none); !opened)
        return port_failed(opened.message());
    if (auto dropped = link_.discard_input(); !dropped) return port_failed(dropped.message());

    // Attention and acknowledge.
    enter(DownloadState::waiting_for_acknowledge);
    for (std::uint8_t byte : {kAttention1, kAttention2})
        if (auto sent = link_.write_byte(byte); !sent) return port_failed(sent.message());
    Bytes ack;
    switch (receive(ack, 1, kAcknowledgeWait, false, stop, {})) {
    case WaitEnd::done: break;
    case WaitEnd::timed_out: return end_with(DownloadOutcome::no_ack);
    case WaitEnd::cancelled: return end_with(DownloadOutcome::cancelled);
    case WaitEnd::failed: return port_failed(last_error_);
    }
    r.answer = ack[0];
    if (ack[0] != kAcknowledge) return end_with(DownloadOutcome::bad_ack);

    // Request and count bytes.
    enter(DownloadState::requesting);
    if (auto sent = link_.write_byte(kRequest); !sent) return port_failed(sent.message());
    Bytes count;
    switch (receive(count, 2, kCountWait, false, stop, {})) {
    case WaitEnd::done: break;
    case WaitEnd::timed_out: return end_with(DownloadOutcome::no_count);
    case WaitEnd::cancelled: return end_with(DownloadOutcome::cancelled);
    case WaitEnd::failed: return port_failed(last_error_);
    }
    r.capture = Capture{count[0], count[1], {}};
    r.count = transfer_count(model.transfer, count[0], count[1]);
    r.announced = announced_bytes(model.transfer, r.count);
    if (r.count <= 0) return end_with(DownloadOutcome::no_data);

    // Reception: the buffer is sized to the announced count, whatever it is.
    enter(DownloadState::receiving);
    Bytes& data = r.capture->data;
    data.reserve(r.announced);
    auto on_bytes = [&](std::size_t) {
        if (observer_.progress) observer_.progress(data.size(), r.announced);
    };
    if (observer_.progress) observer_.progress(0, r.announced);
    bool complete = false;
    switch (receive(data, r.announced, data_wait(request_.baud), true, stop, on_bytes)) {
    case WaitEnd::done: complete = true; break;
    case WaitEnd::timed_out: break;
    case WaitEnd::failed:
        // The line went away mid-transfer: the same loss as a silent line, with the port's word.
        r.detail = last_error_;
        break;
    case WaitEnd::cancelled: return end_with(DownloadOutcome::cancelled);
    }
    if (observer_.reception_ended) observer_.reception_ended(complete);

    // Storing, with the port closed first.
    enter(DownloadState::storing);
    link_.close();
    if (stop.stop_requested()) return end_with(DownloadOutcome::cancelled);
    Result<TransferSummary> stored = TransferSummary{};
    if (store_) {
        try {
            stored = store_(*r.capture, complete);
        } catch (const std::exception& e) {
            stored = fail(std::string("storing the received data failed: ") + e.what());
        }
    }
    if (!stored) {
        r.detail = stored.message();
        return end_with(DownloadOutcome::store_failed);
    }
    r.stored = std::move(*stored);
    r.outcome = complete ? DownloadOutcome::completed : DownloadOutcome::incomplete_stored;
    return r;
}

}  // namespace nlx::link
