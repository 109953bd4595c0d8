// A scripted serial line on a virtual clock, for tests of everything that talks to the port.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/byte_link.h"

namespace nlx::link {

// Received bytes are fed by the test, either at once, after a virtual delay, or as the answer to
// bytes the host writes. A read that finds nothing moves the virtual clock to the next delivery
// or to its deadline, so time-outs cost no real time. Single-threaded.
class FakeLink final : public ByteLink {
public:
    FakeLink();

    // --- scripting ---------------------------------------------------------------------------
    // Bytes that are in the line now (before open they are stale input waiting in the port).
    void feed(Bytes bytes);
    // Bytes that arrive `delay` after the current virtual time.
    void feed_after(std::chrono::nanoseconds delay, Bytes bytes);
    // Once the host has written `trigger` (after the previous answer's trigger), `reply` arrives
    // `delay` later. Answers fire once each, in the order they were added.
    void answer(Bytes trigger, Bytes reply, std::chrono::nanoseconds delay = {});
    // Moves the virtual clock on.
    void advance(std::chrono::nanoseconds delay);

    // --- faults ------------------------------------------------------------------------------
    void fail_open(std::string message) { open_error_ = std::move(message); }
    void fail_write(std::string message) { write_error_ = std::move(message); }
    // The read after `after_bytes` bytes have been read in total fails.
    void fail_read(std::string message, std::size_t after_bytes = 0);

    // Called at the start of every read (tests use it to cancel a download at a chosen moment).
    void on_read(std::function<void()> hook) { on_read_ = std::move(hook); }

    // --- inspection --------------------------------------------------------------------------
    const Bytes& written() const { return written_; }
    const std::string& opened_port() const { return port_; }
    int opened_baud() const { return baud_; }
    FlowControl opened_flow() const { return opened_flow_; }
    // The flow control now, and each change made on the open line with the number of bytes
    // written before it.
    FlowControl flow() const { return flow_; }
    const std::vector<std::pair<FlowControl, std::size_t>>& flow_changes() const { return flow_changes_; }
    int open_count() const { return opens_; }
    int close_count() const { return closes_; }
    std::size_t bytes_read() const { return read_total_; }
    std::size_t discarded() const { return discarded_; }

    // --- ByteLink ----------------------------------------------------------------------------
    Result<void> open(const std::string& port, int baud, FlowControl flow) override;
    Result<void> set_flow(FlowControl flow) override;
    Result<void> write(std::span<const std::uint8_t> bytes) override;
    Result<Bytes> read(std::size_t max, TimePoint deadline) override;
    std::size_t bytes_waiting() override;
    Result<void> discard_input() override;
    Result<void> drain_output(TimePoint deadline) override;
    void close() override;
    bool is_open() const override { return open_; }
    TimePoint now() const override { return now_; }

private:
    struct Delivery {
        TimePoint at;
        Bytes bytes;
    };
    struct Answer {
        Bytes trigger, reply;
        std::chrono::nanoseconds delay;
    };
    void schedule(TimePoint at, Bytes bytes);
    void deliver_due();
    void check_answers();

    TimePoint now_;
    std::deque<Delivery> pending_;  // sorted by time
    std::deque<std::uint8_t> input_;
    std::deque<Answer> answers_;
    std::size_t answer_from_ = 0;  // written bytes before this index belong to earlier answers
    Bytes written_;
    std::optional<std::string> open_error_, write_error_, read_error_;
    std::size_t read_error_after_ = 0;
    std::function<void()> on_read_;
    std::string port_;
    int baud_ = 0;
    FlowControl opened_flow_ = FlowControl::none, flow_ = FlowControl::none;
    std::vector<std::pair<FlowControl, std::size_t>> flow_changes_;
    bool open_ = false;
    int opens_ = 0, closes_ = 0;
    std::size_t read_total_ = 0, discarded_ = 0;
};

}  // namespace nlx::link
