// The download state machine: each wait bounded in time, the port closed on every way out.
#include "link/download_session.h"

#include <exception>

#include "core/models.h"
#include "link/download_protocol.h"
#include "core/texts.h"
#include "link/port_closer.h"
#include "link/port_lock.h"

namespace nlx::link {

std::string_view outcome_name(DownloadOutcome outcome) {
    switch (outcome) {
    case DownloadOutcome::completed: return "completed";
    case DownloadOutcome::incomplete_stored: return "incomplete_stored";
    case DownloadOutcome::no_ack: return "no_ack";
    case DownloadOutcome::bad_ack: return "bad_ack";
    case DownloadOutcome::no_count: return "no_count";
    case DownloadOutcome::no_data: return "no_data";
    case DownloadOutcome::cancelled: return "cancelled";
    case DownloadOutcome::port_error: return "port_error";
    case DownloadOutcome::store_failed: return "store_failed";
    }
    return "unknown";
}

DownloadSession::DownloadSession(ByteLink& link, DownloadRequest request, DownloadObserver observer,
                                 StoreHook store)
    : link_(link), request_(std::move(request)), observer_(std::move(observer)), store_(std::move(store)) {}

void DownloadSession::status(const std::string& text) {
    if (observer_.status) observer_.status(text);
}

void DownloadSession::progress_status(const std::string& text) {
    if (observer_.progress_status) observer_.progress_status(text);
    else status(text);
}

void DownloadSession::show_wait(std::string_view caption) {
    if (observer_.show_wait) observer_.show_wait(std::string(caption));
}

void DownloadSession::hide_wait() {
    if (observer_.hide_wait) observer_.hide_wait();
}

void DownloadSession::enter(DownloadState state) {
    if (observer_.state) observer_.state(state);
}

DownloadResult DownloadSession::run(std::stop_token stop) {
    DownloadResult result = run_steps(stop);
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
        r.outcome = DownloadOutcome::port_error;
        r.status = lock.message();
        status(r.status);
        return r;
    }
    PortCloser closer(link_);

    auto end_with = [&](DownloadOutcome outcome, std::string_view text) {
        r.outcome = outcome;
        r.status = std::string(text);
        status(r.status);
        return r;
    };
    auto port_failed = [&](const std::string& message) {
        link_.close();
        hide_wait();
        r.detail = message;
        return end_with(DownloadOutcome::port_error, std::string(texts::kPortErrorPrefix) + message);
    };
    // The exchange ended by the instrument (no answer, wrong answer, no count, no data): a wrong
    // acknowledge is shown before the window goes, the other texts once it has gone.
    auto exchange_ended = [&](DownloadOutcome outcome, std::string_view text) {
        const bool text_first = outcome == DownloadOutcome::bad_ack;
        if (!text_first) hide_wait();
        end_with(outcome, text);
        link_.close();
        if (text_first) hide_wait();
        return r;
    };
    auto cancelled = [&] {
        link_.close();
        hide_wait();
        return end_with(DownloadOutcome::cancelled, texts::kCancelled);
    };

    const ModelInfo* model = find_model(request_.model);
    if (!model) return end_with(DownloadOutcome::port_error, std::string("there is no model ") + request_.model);

    // Opening: fresh port settings, no flow control, stale input dropped.
    show_wait(texts::kReadingCaption);
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
    case WaitEnd::timed_out: return exchange_ended(DownloadOutcome::no_ack, texts::kNoAcknowledge);
    case WaitEnd::cancelled: return cancelled();
    case WaitEnd::failed: return port_failed(last_error_);
    }
    r.answer = ack[0];
    if (ack[0] != kAcknowledge) return exchange_ended(DownloadOutcome::bad_ack, texts::kBadAcknowledge);
    status(std::string(texts::kReceiving));

    // Request and count bytes.
    enter(DownloadState::requesting);
    if (auto sent = link_.write_byte(kRequest); !sent) return port_failed(sent.message());
    Bytes count;
    switch (receive(count, 2, kCountWait, false, stop, {})) {
    case WaitEnd::done: break;
    case WaitEnd::timed_out: return exchange_ended(DownloadOutcome::no_count, texts::kNoAcknowledge);
    case WaitEnd::cancelled: return cancelled();
    case WaitEnd::failed: return port_failed(last_error_);
    }
    r.capture = Capture{count[0], count[1], {}};
    r.count = transfer_count(model->transfer, count[0], count[1]);
    r.announced = announced_bytes(model->transfer, r.count);
    if (r.count <= 0) return exchange_ended(DownloadOutcome::no_data, texts::kNoData);

    // Reception: the buffer is sized to the announced count, whatever it is.
    enter(DownloadState::receiving);
    if (model->transfer.wait_hides == TransferFormat::WaitHides::when_reception_starts) hide_wait();
    Bytes& data = r.capture->data;
    data.reserve(r.announced);
    std::string shown;
    auto on_bytes = [&](std::size_t first) {
        for (std::size_t i = first; i < data.size(); ++i) {
            std::string text = texts::progress_text(i, r.announced);
            if (text != shown) {
                shown = text;
                progress_status(shown);
            }
        }
        if (observer_.progress) observer_.progress(data.size(), r.announced);
    };
    if (observer_.progress) observer_.progress(0, r.announced);
    bool complete = false;
    switch (receive(data, r.announced, data_wait(request_.baud), true, stop, on_bytes)) {
    case WaitEnd::done:
        complete = true;
        status(std::string(texts::kReceived));
        hide_wait();
        break;
    case WaitEnd::timed_out: status(std::string(texts::kDataLost)); break;
    case WaitEnd::failed:
        // The line went away mid-transfer: the same loss as a silent line, with the port's word.
        r.detail = last_error_;
        status(std::string(texts::kDataLost));
        break;
    case WaitEnd::cancelled: return cancelled();
    }

    // Storing, with the port closed first.
    enter(DownloadState::storing);
    show_wait(texts::kStoringCaption);
    link_.close();
    if (stop.stop_requested()) return cancelled();
    Result<TransferSummary> stored = TransferSummary{};
    if (store_) {
        try {
            stored = store_(*r.capture, complete);
        } catch (const std::exception& e) {
            stored = fail(std::string("storing the received data failed: ") + e.what());
        }
    }
    hide_wait();
    if (!stored) return end_with(DownloadOutcome::store_failed, stored.message());
    r.stored = std::move(*stored);
    r.outcome = complete ? DownloadOutcome::completed : DownloadOutcome::incomplete_stored;
    r.status = std::string(complete ? texts::kReceived : texts::kDataLost);
    return r;
}

}  // namespace nlx::link
