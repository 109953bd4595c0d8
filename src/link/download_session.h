// The download: attention, acknowledge, request, count bytes, reception, then the storing hook.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "core/capture.h"
#include "core/download_events.h"
#include "core/models.h"
#include "core/result.h"
#include "core/settings.h"
#include "core/transfer_summary.h"
#include "link/byte_link.h"

namespace nlx::link {

using nlx::DownloadOutcome;
using nlx::DownloadState;

struct DownloadRequest {
    std::reference_wrapper<const ModelInfo> model = all_models().front();
    PortSpec port;
    int baud = 9600;
};

// The session's events, in the order they happen; every member may be left empty. The texts and
// windows they stand for are the caller's: the command line and the desktop show them each in
// their own way.
struct DownloadObserver {
    std::function<void(DownloadState state)> state;  // each step as it begins; idle once ended
    std::function<void(std::size_t received, std::size_t announced)> progress;  // after each arrival
    std::function<void(bool complete)> reception_ended;  // every announced byte came, or no more did
    // How the download ended, once the port is closed; `detail` is the port's or the store's message.
    std::function<void(DownloadOutcome outcome, const std::string& detail)> ended;
};

// Stores a received transfer once the port is closed: keeps the capture, replaces the model's
// rows, writes history files. `complete` is false when reception stopped early; the capture then
// holds exactly the bytes that arrived. Returns what was stored, or the failure.
using StoreHook = std::function<Result<TransferSummary>(const Capture& capture, bool complete)>;

struct DownloadResult {
    DownloadOutcome outcome = DownloadOutcome::port_error;
    std::optional<TransferSummary> stored;  // what the hook stored
    std::string detail;             // the port's, the lock's or the store's own message
    std::int32_t count = 0;         // transfer count n
    std::size_t announced = 0;      // bytes n announces
    std::optional<Capture> capture; // set once both count bytes arrived
    std::optional<std::uint8_t> answer;  // the byte that answered the attention bytes
};

// One download over `link`. Runs on the calling thread and blocks until it ends; holds the
// process's PortLock throughout and closes the port on every path, exceptions included.
// A stop request is seen within about 100 ms of any wait.
class DownloadSession {
public:
    DownloadSession(ByteLink& link, DownloadRequest request, DownloadObserver observer, StoreHook store);

    DownloadResult run(std::stop_token stop = {});

private:
    enum class WaitEnd { done, timed_out, cancelled, failed };

    DownloadResult run_steps(const std::stop_token& stop);
    // Reads until `into` holds `want` bytes. The time limit counts from the start, or from the
    // last byte received when `per_byte` is set. `on_bytes(first_new)` follows each arrival.
    WaitEnd receive(Bytes& into, std::size_t want, std::chrono::milliseconds limit, bool per_byte,
                    const std::stop_token& stop, const std::function<void(std::size_t)>& on_bytes);

    void enter(DownloadState state);

    ByteLink& link_;
    DownloadRequest request_;
    DownloadObserver observer_;
    StoreHook store_;
    std::string last_error_;
};

}  // namespace nlx::link
