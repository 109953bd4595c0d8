// The download: attention, acknowledge, request, count bytes, reception, then the storing hook.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "core/capture.h"
#include "core/result.h"
#include "core/settings.h"
#include "core/transfer_summary.h"
#include "link/byte_link.h"

namespace nlx::link {

enum class DownloadState { idle, opening, waiting_for_acknowledge, requesting, receiving, storing };

enum class DownloadOutcome {
    completed,          // every announced byte arrived and the hook stored it
    incomplete_stored,  // reception stopped early; the hook stored what arrived
    no_ack,             // no byte answered the attention bytes
    bad_ack,            // the answer was not the acknowledge
    no_count,           // the two count bytes did not come
    no_data,            // the count says the instrument holds nothing (zero or negative)
    cancelled,          // stopped on request; nothing stored
    port_error,         // the port was busy, could not be opened, or failed before reception
    store_failed,       // the hook reported a failure
};

std::string_view outcome_name(DownloadOutcome outcome);

struct DownloadRequest {
    char model = 'a';
    PortSpec port;
    int baud = 9600;
};

// What the operator sees, in the order it happens. Every member may be left empty.
struct DownloadObserver {
    std::function<void(const std::string& text)> status;          // the main window's status line
    // The status line's progress texts ("数据读取完37%") as they change; left empty, they go to
    // `status` like every other text. A console that draws its own bar from `progress` sets it.
    std::function<void(const std::string& text)> progress_status;
    std::function<void(const std::string& caption)> show_wait;    // please-wait window: caption, show
    std::function<void()> hide_wait;                               // please-wait window: hide
    std::function<void(std::size_t received, std::size_t announced)> progress;  // for progress bars
    std::function<void(DownloadState state)> state;
};

// Stores a received transfer once the port is closed: keeps the capture, replaces the model's
// rows, writes history files. `complete` is false when reception stopped early; the capture then
// holds exactly the bytes that arrived. Returns what was stored, or the failure.
using StoreHook = std::function<Result<TransferSummary>(const Capture& capture, bool complete)>;

struct DownloadResult {
    DownloadOutcome outcome = DownloadOutcome::port_error;
    std::string status;             // the final status line
    std::optional<TransferSummary> stored;  // what the hook stored
    std::string detail;             // the port's own message when the port failed
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

    void status(const std::string& text);
    void progress_status(const std::string& text);
    void show_wait(std::string_view caption);
    void hide_wait();
    void enter(DownloadState state);

    ByteLink& link_;
    DownloadRequest request_;
    DownloadObserver observer_;
    StoreHook store_;
    std::string last_error_;
};

}  // namespace nlx::link
