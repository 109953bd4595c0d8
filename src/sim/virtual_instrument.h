// A virtual analyser on a pseudo-terminal: answers the download exchange like the instrument.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>

#include "core/result.h"
#include "core/capture.h"
#include "core/models.h"
#include "sim/instrument_fault.h"
#include "sim/level_sequence.h"
#include "sim/live_level.h"

namespace nlx::sim {

// Produces the transfer of one download: the count bytes and the data the instrument sends.
using ContentSource = std::function<Capture()>;

struct InstrumentOptions {
    // Decides the count bytes of the zero-count fault.
    std::reference_wrapper<const ModelInfo> model = all_models().front();
    ContentSource content;  // asked once per download
    bool pace = false;      // send at the line rate of `baud` (10 bits a byte) instead of at once
    int baud = 9600;
    Fault fault;
    std::uint32_t level_seed = 1;  // seed of the levels the live-level request gets
    // When not empty: the live-level requests get these, one a request, over and over (an
    // unanswered entry gets no reply), instead of the seeded swing.
    LevelSequence level_sequence;
};

// Holds both ends of a pseudo-terminal: the host opens device() like a serial port. The
// instrument keeps its own hold on that end too, so the line survives the host closing it
// between downloads. It answers download after download: attention 1Bh 40h -> AAh, request
// 1Ah -> count bytes and data, then waits for the next attention. While it waits for the
// attention, each live-level request 1Ch gets the level it measures now at once (two bytes).
class VirtualInstrument {
public:
    static Result<std::unique_ptr<VirtualInstrument>> open(InstrumentOptions options);
    ~VirtualInstrument();
    VirtualInstrument(const VirtualInstrument&) = delete;
    VirtualInstrument& operator=(const VirtualInstrument&) = delete;

    // The device the host opens ("/dev/pts/4").
    const std::string& device() const { return device_; }

    // Serves on a thread of its own; returns once the instrument listens (stale bytes, when that
    // fault is set, are waiting in the line by then).
    Result<void> start();
    // Stops the thread and waits for it; harmless when it is not running.
    void stop();

    // Serves on the calling thread until request_stop() or, with close-after, the hang-up;
    // `listening` is called once the instrument listens for the first attention.
    Result<void> run(const std::function<void()>& listening = {});
    // Asks run() or the thread to end; safe to call from a signal handler.
    void request_stop() noexcept;

    // Downloads answered with count bytes so far.
    std::size_t downloads() const { return downloads_.load(); }
    // Live-level requests answered so far.
    std::size_t live_replies() const { return live_replies_.load(); }
    // True once the instrument has hung up the line (close-after).
    bool hung_up() const { return hung_up_.load(); }

private:
    enum class Sent { all, stopped, stuck };

    VirtualInstrument() = default;
    Result<void> serve(const std::function<void()>& listening);
    bool await_attention();           // false when stopping
    bool answer_live_level();         // false when stopping
    bool await_request();             // false when stopping
    int read_byte(int timeout_ms);    // -1 nothing, -2 stopping
    Sent send(std::span<const std::uint8_t> bytes);
    Sent write_now(std::span<const std::uint8_t> bytes);
    bool wait_until(std::chrono::steady_clock::time_point when);  // false when stopping
    std::size_t queued_for_host() const;
    void put_stale_bytes();
    void hang_up();

    InstrumentOptions options_;
    int master_ = -1, slave_ = -1;
    int wake_[2] = {-1, -1};
    std::string device_;
    LiveLevel level_{1};
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> downloads_{0};
    std::atomic<std::size_t> live_replies_{0};
    std::size_t next_level_ = 0;  // of the level sequence
    std::atomic<bool> hung_up_{false};
};

}  // namespace nlx::sim
