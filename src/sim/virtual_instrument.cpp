// The virtual instrument's serving loop on the master side of a pseudo-terminal.
#include "sim/virtual_instrument.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <future>
#include <vector>

#include "core/capture.h"
#include "link/byte_link.h"
#include "link/download_protocol.h"
#include "link/live_level.h"
#include "sim/pseudo_terminal.h"

namespace nlx::sim {
namespace {

using Clock = std::chrono::steady_clock;
using link::kAcknowledge;
using link::kAttention1;
using link::kAttention2;
using link::kRequest;

constexpr std::uint8_t kWrongAcknowledge = 0x55;
// Leftovers of an earlier exchange; the first one would be read as a wrong acknowledge.
constexpr std::uint8_t kStaleBytes[] = {0x13, 0x55, 0x00, 0x1A, 0xAA};
// A host that takes nothing for this long has gone away; the transfer is abandoned.
constexpr int kStuckMs = 2000;

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

Result<std::unique_ptr<VirtualInstrument>> VirtualInstrument::open(InstrumentOptions options) {
    if (!options.content) return fail("the virtual instrument has no content to send");
    if (options.baud <= 0) return fail("speed " + std::to_string(options.baud) + " is not valid");
    std::unique_ptr<VirtualInstrument> vi(new VirtualInstrument());
    vi->options_ = std::move(options);
    vi->level_ = LiveLevel(vi->options_.level_seed);
    PseudoTerminal line;
    if (auto opened = open_pseudo_terminal(line); !opened) return opened.error();
    line.hand_over(vi->master_, vi->slave_, vi->wake_, vi->device_);
    return vi;
}

VirtualInstrument::~VirtualInstrument() {
    stop();
    close_fd(master_);
    close_fd(slave_);
    close_fd(wake_[0]);
    close_fd(wake_[1]);
}

void VirtualInstrument::request_stop() noexcept {
    stopping_.store(true);
    if (wake_[1] >= 0) {
        char b = 1;
        [[maybe_unused]] auto ignored = ::write(wake_[1], &b, 1);
    }
}

Result<void> VirtualInstrument::start() {
    if (thread_.joinable()) return fail("the virtual instrument is running already");
    if (master_ < 0) return fail("the virtual instrument has hung up its line");
    stopping_.store(false);
    char drain[64];
    while (::read(wake_[0], drain, sizeof drain) > 0) {
    }
    auto ready = std::make_shared<std::promise<void>>();
    auto listening = ready->get_future();
    thread_ = std::thread([this, ready] {
        bool told = false;
        auto r = serve([&] {
            ready->set_value();
            told = true;
        });
        (void)r;  // a broken line ends the thread; the host sees it as a silent or closed port
        if (!told) ready->set_value();
    });
    listening.wait();
    return {};
}

void VirtualInstrument::stop() {
    if (!thread_.joinable()) return;
    request_stop();
    thread_.join();
}

Result<void> VirtualInstrument::run(const std::function<void()>& listening) {
    if (master_ < 0) return fail("the virtual instrument has hung up its line");
    return serve([&] {
        if (listening) listening();
    });
}

std::size_t VirtualInstrument::queued_for_host() const {
    int n = 0;
    if (slave_ < 0 || ::ioctl(slave_, FIONREAD, &n) != 0) return 0;
    return std::size_t(n);
}

bool VirtualInstrument::wait_until(Clock::time_point when) {
    for (;;) {
        if (stopping_.load()) return false;
        auto left = when - Clock::now();
        if (left <= Clock::duration::zero()) return true;
        auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec ts{time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
        pollfd pfd{wake_[0], POLLIN, 0};
        ::ppoll(&pfd, 1, &ts, nullptr);
    }
}

int VirtualInstrument::read_byte(int timeout_ms) {
    for (;;) {
        if (stopping_.load()) return -2;
        std::uint8_t b;
        ssize_t got = ::read(master_, &b, 1);
        if (got == 1) return b;
        pollfd fds[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        int ready = ::poll(fds, 2, timeout_ms);
        if (ready == 0) return -1;
        if (ready < 0 && errno != EINTR) return -1;
        if (fds[0].revents & (POLLHUP | POLLERR)) {
            // No host has the line open and nothing to read: wait briefly instead of spinning.
            pollfd wake{wake_[0], POLLIN, 0};
            ::poll(&wake, 1, 20);
        }
    }
}

bool VirtualInstrument::await_attention() {
    int previous = -1;
    for (;;) {
        int b = read_byte(-1);
        if (b == -2) return false;
        if (b == link::kLiveLevelRequest && !answer_live_level()) return false;
        if (previous == kAttention1 && b == kAttention2) return true;
        previous = b;
    }
}

bool VirtualInstrument::answer_live_level() {
    if (options_.fault.kind == FaultKind::no_live) return true;
    int tenths = 0;
    if (options_.level_sequence.empty()) {
        tenths = level_.next();
    } else {
        const auto entry = options_.level_sequence[next_level_++ % options_.level_sequence.size()];
        if (!entry) return true;  // this request stays unanswered
        tenths = *entry;
    }
    ++live_replies_;
    const std::uint8_t reply[link::kLiveLevelReplySize] = {std::uint8_t(tenths & 0xFF), std::uint8_t(tenths >> 8)};
    // A host that does not take the reply has gone; the next request gets the next level.
    return send(reply) != Sent::stopped;
}

bool VirtualInstrument::await_request() {
    int previous = -1;
    for (;;) {
        int b = read_byte(-1);
        if (b == -2) return false;
        if (b == kRequest) return true;
        // A host that starts over gets its acknowledge again.
        if (previous == kAttention1 && b == kAttention2) {
            std::uint8_t ack = kAcknowledge;
            if (send({&ack, 1}) == Sent::stopped) return false;
        }
        previous = b;
    }
}

VirtualInstrument::Sent VirtualInstrument::write_now(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (stopping_.load()) return Sent::stopped;
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += std::size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return Sent::stuck;
        pollfd fds[2] = {{master_, POLLOUT, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, kStuckMs) == 0) return Sent::stuck;
    }
    return Sent::all;
}

VirtualInstrument::Sent VirtualInstrument::send(std::span<const std::uint8_t> bytes) {
    if (!options_.pace) return write_now(bytes);
    // Byte i has fully arrived 10 bit times after byte i-1: hand over whatever is due, then
    // sleep until a few milliseconds' worth more is due.
    const auto per_byte = link::byte_time(options_.baud);
    const std::size_t chunk = std::size_t(std::max<long long>(1, (std::chrono::nanoseconds(std::chrono::milliseconds(4)) + per_byte - std::chrono::nanoseconds(1)) / per_byte));
    const auto start = Clock::now();
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start);
        std::size_t due = std::min(bytes.size(), std::size_t(elapsed / per_byte));
        if (due > sent) {
            Sent r = write_now(bytes.subspan(sent, due - sent));
            if (r != Sent::all) return r;
            sent = due;
            continue;
        }
        std::size_t target = std::min(bytes.size(), sent + chunk);
        if (!wait_until(start + std::chrono::duration_cast<Clock::duration>(per_byte * std::int64_t(target))))
            return Sent::stopped;
    }
    return Sent::all;
}

void VirtualInstrument::put_stale_bytes() {
    if (write_now(kStaleBytes) != Sent::all) return;
    // The bytes must be in the host's input queue before the host opens the port.
    auto until = Clock::now() + std::chrono::seconds(1);
    while (queued_for_host() < sizeof kStaleBytes && Clock::now() < until)
        if (!wait_until(Clock::now() + std::chrono::milliseconds(2))) return;
}

void VirtualInstrument::hang_up() {
    // Let the host take what was sent: a hang-up drops whatever still waits in its queue.
    auto until = Clock::now() + std::chrono::seconds(2);
    int empty_checks = 0;
    while (empty_checks < 2 && Clock::now() < until) {
        if (!wait_until(Clock::now() + std::chrono::milliseconds(10))) break;
        empty_checks = queued_for_host() == 0 ? empty_checks + 1 : 0;
    }
    close_fd(master_);
    close_fd(slave_);
    hung_up_.store(true);
}

Result<void> VirtualInstrument::serve(const std::function<void()>& listening) {
    const Fault fault = options_.fault;
    bool first = true;
    while (!stopping_.load()) {
        if (fault.kind == FaultKind::stale_bytes) put_stale_bytes();
        if (first) {
            listening();
            first = false;
        }
        if (!await_attention()) break;
        if (fault.kind == FaultKind::no_ack) continue;
        std::uint8_t ack = fault.kind == FaultKind::bad_ack ? kWrongAcknowledge : kAcknowledge;
        if (send({&ack, 1}) == Sent::stopped) break;
        if (fault.kind == FaultKind::bad_ack) continue;
        if (!await_request()) break;

        std::vector<std::uint8_t> out;
        if (fault.kind == FaultKind::zero_count) {
            auto zero = nlx::count_bytes(options_.model, 0).value_or(std::array<std::uint8_t, 2>{0, 16});
            out = {zero[0], zero[1]};
        } else if (fault.kind == FaultKind::negative_count) {
            out = {0, 0};
        } else {
            Capture c = options_.content();
            std::size_t limit = c.data.size();
            if (fault.kind == FaultKind::stall_after || fault.kind == FaultKind::close_after)
                limit = std::min(limit, fault.after);
            out.reserve(2 + limit);
            out.push_back(c.b1);
            out.push_back(c.b2);
            out.insert(out.end(), c.data.begin(), c.data.begin() + std::ptrdiff_t(limit));
        }
        Sent sent = send(out);
        downloads_.fetch_add(1);
        if (sent == Sent::stopped) break;
        if (fault.kind == FaultKind::close_after) {
            hang_up();
            return {};
        }
    }
    return {};
}

}  // namespace nlx::sim
