// A byte-oriented serial line: the one interface the download, the monitor and the printer use.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"

namespace nlx::link {

// Deadlines are points on the link's own clock (ByteLink::now()), so a scripted link can run on
// a virtual clock and make time-outs instant in tests.
using LinkClock = std::chrono::steady_clock;
using TimePoint = LinkClock::time_point;
using Millis = std::chrono::milliseconds;

enum class FlowControl { none, xon_xoff };

using Bytes = std::vector<std::uint8_t>;

// Always 8 data bits, no parity, 1 stop bit.
class ByteLink {
public:
    virtual ~ByteLink() = default;

    // Opens the device named (already resolved from the operator's port setting, see
    // port_device_name). Fails with a message that names the port.
    virtual Result<void> open(const std::string& port, int baud, FlowControl flow) = 0;

    // Changes the flow control of the open port, the line staying open (the micro-printer is
    // woken without flow control, then paces the printout with XON/XOFF).
    virtual Result<void> set_flow(FlowControl flow) = 0;

    // Queues the bytes for sending, in the order written; returns once the driver has them.
    virtual Result<void> write(std::span<const std::uint8_t> bytes) = 0;

    // Waits (blocking, no polling loop) until at least one byte has arrived or the deadline has
    // passed, then returns up to `max` of the oldest buffered bytes; empty when nothing came.
    virtual Result<Bytes> read(std::size_t max, TimePoint deadline) = 0;

    // Reads part of a run of bytes that the other end sends at the line rate, such as a
    // transfer's data: like read, but once bytes have come and fewer than `max`, a link may
    // first wait a little more (never past the deadline) so that one wake-up collects many
    // bytes rather than one. By default, exactly read.
    virtual Result<Bytes> read_run(std::size_t max, TimePoint deadline) { return read(max, deadline); }

    // Received bytes not yet read.
    virtual std::size_t bytes_waiting() = 0;

    // Drops every byte received so far and not yet read.
    virtual Result<void> discard_input() = 0;

    // Waits until everything written has left the port, or fails when the deadline passes first.
    virtual Result<void> drain_output(TimePoint deadline) = 0;

    // Closes the port; harmless when it is closed already.
    virtual void close() = 0;
    virtual bool is_open() const = 0;

    // The clock the deadlines are measured on.
    virtual TimePoint now() const = 0;

    // Writes one byte.
    Result<void> write_byte(std::uint8_t byte) { return write(std::span<const std::uint8_t>(&byte, 1)); }
};

// Time one byte takes on the line at `baud` (start bit, 8 data bits, stop bit).
inline std::chrono::nanoseconds byte_time(int baud) {
    return std::chrono::nanoseconds(baud > 0 ? 10'000'000'000LL / baud : 0);
}

}  // namespace nlx::link
