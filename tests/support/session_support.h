// Test helpers for the download session: an event and status-line recorder, a recording hook, a scripted exchange.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/download_status.h"
#include "link/download_session.h"
#include "support/fake_link.h"

namespace nlx::link::test {

// Records the session's events, and the status lines they make as "status:..".
struct Recorder {
    std::vector<std::string> events;
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    std::vector<DownloadState> states;
    std::vector<bool> reception_ends;
    std::optional<DownloadOutcome> ended;  // the outcome the last event reported

    DownloadObserver observer() {
        auto lines = std::make_shared<DownloadStatusLines>([this](const std::string& t) { events.push_back("status:" + t); });
        DownloadObserver o;
        o.state = [this, lines](DownloadState s) {
            states.push_back(s);
            lines->state(s);
        };
        o.progress = [this, lines](std::size_t r, std::size_t a) {
            progress.emplace_back(r, a);
            lines->progress(r, a);
        };
        o.reception_ended = [this, lines](bool complete) {
            reception_ends.push_back(complete);
            lines->reception_ended(complete);
        };
        o.ended = [this, lines](DownloadOutcome outcome, const std::string& detail) {
            ended = outcome;
            lines->ended(outcome, detail);
        };
        return o;
    }
    std::vector<std::string> statuses() const {
        std::vector<std::string> out;
        for (const auto& e : events)
            if (e.rfind("status:", 0) == 0) out.push_back(e.substr(7));
        return out;
    }
};

// The last status line of a download, as the operator reads it.
inline std::string status_of(const DownloadResult& r) { return download_status_text(r.outcome, r.detail); }

struct HookCall {
    Capture capture;
    bool complete = false;
    bool port_open = false;
};

// A storing hook that records its calls and whether the port was still open.
inline StoreHook recording_hook(std::vector<HookCall>& calls, const ByteLink& link,
                                Result<TransferSummary> answer = TransferSummary{}) {
    return [&calls, &link, answer](const Capture& c, bool complete) -> Result<TransferSummary> {
        calls.push_back(HookCall{c, complete, link.is_open()});
        return answer;
    };
}

// The instrument's side of a good exchange on a FakeLink.
inline void script_exchange(FakeLink& link, std::uint8_t b1, std::uint8_t b2, const Bytes& data) {
    link.answer({0x1B, 0x40}, {0xAA});
    Bytes reply{b1, b2};
    reply.insert(reply.end(), data.begin(), data.end());
    link.answer({0x1A}, reply);
}

inline Bytes pattern(std::size_t size, unsigned seed = 7) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = std::uint8_t((i * 31 + seed * 17 + i / 256) & 0xFF);
    return b;
}

inline DownloadRequest request(char model, int baud = 9600) {
    DownloadRequest r;
    r.model = *find_model(model);
    r.port = PortSpec{1, {}};
    r.baud = baud;
    return r;
}

}  // namespace nlx::link::test
