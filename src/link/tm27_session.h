// Printing groups on the TM27 serial micro-printer: wake it, wait for its ready byte, send each
// group's printout with a pause between groups, feed the paper at the end.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "core/settings.h"
#include "core/tm27_status.h"
#include "link/byte_link.h"

namespace nlx::link {

using nlx::Tm27Outcome;

// The operator's print speeds (慢速, 中速, 高速): the pause between groups is two ticks of the
// speed's timer. The one place the ticks are kept.
enum class Tm27Speed { slow, medium, fast };
inline constexpr Tm27Speed kTm27Speeds[] = {Tm27Speed::slow, Tm27Speed::medium, Tm27Speed::fast};
Millis tm27_tick(Tm27Speed speed);   // 40 s, 30 s, 20 s
Millis tm27_pause(Tm27Speed speed);  // two ticks: 80 s, 60 s, 40 s

// The pause between two groups. Shared between the run and whoever changes the speed during it
// (the speed dialog): set() is safe from any thread, and each pause reads it as it begins.
class Tm27Pause {
public:
    explicit Tm27Pause(Millis pause = tm27_pause(Tm27Speed::slow)) : ms_(pause.count()) {}
    void set(Millis pause) noexcept { ms_.store(pause.count()); }
    Millis get() const noexcept { return Millis(ms_.load()); }

private:
    std::atomic<Millis::rep> ms_;
};

struct Tm27Request {
    PortSpec port;
    int baud = 9600;
    // Each group's printout (reports::tm27_printout), or why it cannot be printed, in order.
    std::vector<Result<Bytes>> groups;
    std::shared_ptr<Tm27Pause> pause = std::make_shared<Tm27Pause>();
};

// The job's events, in the order they happen; every member may be left empty. The texts they
// stand for are the caller's (core/tm27_status).
struct Tm27Observer {
    std::function<void()> ready;                                              // the printer answered
    std::function<void(std::size_t index, std::size_t total)> group_printed;  // index from 0
    // A pause of `length` begins before the group at `next` (from 0).
    std::function<void(Millis length, std::size_t next)> pause_started;
    // The group at `index` cannot be printed (`why`); the paper is fed and the job ends.
    std::function<void(std::size_t index, const std::string& why)> refused;
    // How the job ended, once the port is closed.
    std::function<void(Tm27Outcome outcome, const std::string& detail)> ended;
};

struct Tm27Result {
    Tm27Outcome outcome = Tm27Outcome::port_error;
    std::string detail;       // the port's or the lock's message, or why a group cannot be printed
    std::size_t printed = 0;  // groups sent in full
};

// One print job over `link`. Runs on the calling thread and blocks until it ends; holds the
// process's PortLock throughout and closes the port on every path, exceptions included. A stop
// request is seen within about 100 ms of any wait; once the printer is ready, a stop, like a
// group that cannot be printed, still feeds the paper with a last 0Dh.
class Tm27Session {
public:
    Tm27Session(ByteLink& link, Tm27Request request, Tm27Observer observer);

    Tm27Result run(std::stop_token stop = {});

private:
    enum class WaitEnd { done, timed_out, cancelled, failed };

    // Reads one byte within `limit`.
    WaitEnd read_one(std::uint8_t& byte, Millis limit, const std::stop_token& stop);
    // Lets `length` pass on the link's clock; bytes arriving meanwhile (XON/XOFF) are dropped.
    WaitEnd pause(Millis length, const std::stop_token& stop);
    // Waits until the written bytes have left the port, so closing it drops none.
    Result<void> drain(const std::stop_token& stop);
    Tm27Result run_steps(const std::stop_token& stop);

    ByteLink& link_;
    Tm27Request request_;
    Tm27Observer observer_;
    std::string last_error_;
};

}  // namespace nlx::link
