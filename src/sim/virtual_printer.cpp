// The virtual TM27's serving loop on the master side of a pseudo-terminal.
#include "sim/virtual_printer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <future>

#include "sim/pseudo_terminal.h"

namespace nlx::sim {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kReset = 0x1B400D;  // ESC @ CR, the last three bytes seen
constexpr std::uint8_t kReady = 0x0D, kXoff = 0x13, kXon = 0x11;
// A host that takes nothing for this long has gone away.
constexpr int kStuckMs = 2000;

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

Result<std::unique_ptr<VirtualPrinter>> VirtualPrinter::open(PrinterOptions options) {
    std::unique_ptr<VirtualPrinter> vp(new VirtualPrinter());
    vp->options_ = std::move(options);
    PseudoTerminal line;
    if (auto opened = open_pseudo_terminal(line); !opened) return opened.error();
    line.hand_over(vp->master_, vp->slave_, vp->wake_, vp->device_);
    return vp;
}

VirtualPrinter::~VirtualPrinter() {
    (void)stop();
    close_fd(master_);
    close_fd(slave_);
    close_fd(wake_[0]);
    close_fd(wake_[1]);
}

void VirtualPrinter::request_stop() noexcept {
    stopping_.store(true);
    if (wake_[1] >= 0) {
        char b = 1;
        [[maybe_unused]] auto ignored = ::write(wake_[1], &b, 1);
    }
}

Result<void> VirtualPrinter::start() {
    if (thread_.joinable()) return fail("the virtual printer is running already");
    stopping_.store(false);
    char drain[64];
    while (::read(wake_[0], drain, sizeof drain) > 0) {
    }
    auto ready = std::make_shared<std::promise<void>>();
    auto listening = ready->get_future();
    thread_ = std::thread([this, ready] {
        bool told = false;
        thread_result_ = serve([&] {
            ready->set_value();
            told = true;
        });
        if (!told) ready->set_value();
    });
    listening.wait();
    return {};
}

Result<void> VirtualPrinter::stop() {
    if (!thread_.joinable()) return {};
    request_stop();
    thread_.join();
    return thread_result_;
}

Result<void> VirtualPrinter::run(const std::function<void()>& listening) {
    return serve([&] {
        if (listening) listening();
    });
}

std::vector<std::uint8_t> VirtualPrinter::received() const {
    std::lock_guard guard(mutex_);
    return received_;
}

std::string VirtualPrinter::printed() const {
    std::lock_guard guard(mutex_);
    return printed_ + paper_.unfinished();
}

bool VirtualPrinter::wait_until(Clock::time_point when) {
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

long VirtualPrinter::read_some(std::uint8_t* into, std::size_t max) {
    for (;;) {
        // What is in the line already is taken even when stopping: the host has sent it.
        ssize_t got = ::read(master_, into, max);
        if (got > 0) return long(got);
        if (stopping_.load()) return 0;
        if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != EIO) return -1;
        pollfd fds[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) return -1;
        if (fds[0].revents & (POLLHUP | POLLERR)) {
            // No host has the line open and nothing to read: wait briefly instead of spinning.
            pollfd wake{wake_[0], POLLIN, 0};
            ::poll(&wake, 1, 20);
        }
    }
}

bool VirtualPrinter::write_all(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (stopping_.load()) return false;
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += std::size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
        pollfd fds[2] = {{master_, POLLOUT, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, kStuckMs) == 0) return false;
    }
    return true;
}

Result<void> VirtualPrinter::keep(std::span<const std::uint8_t> bytes) {
    std::lock_guard guard(mutex_);
    received_.insert(received_.end(), bytes.begin(), bytes.end());
    const std::string lines = paper_.feed(bytes);
    printed_ += lines;
    if (options_.save_to.empty()) return {};
    raw_file_.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    text_file_ << lines;
    raw_file_.flush();
    text_file_.flush();
    if (!raw_file_ || !text_file_) return fail("cannot write " + options_.save_to.string());
    return {};
}

void VirtualPrinter::hold_line() {
    held_ = true;
    if (!write_all(std::span(&kXoff, 1))) return;
    holds_.fetch_add(1);
    // Nothing is read meanwhile: what the host sends after the XOFF waits in its own port.
    if (!wait_until(Clock::now() + options_.hold_for)) return;
    write_all(std::span(&kXon, 1));
}

Result<void> VirtualPrinter::serve(const std::function<void()>& listening) {
    if (!options_.save_to.empty()) {
        auto text_path = options_.save_to;
        text_path += ".txt";
        raw_file_.open(options_.save_to, std::ios::binary | std::ios::trunc);
        text_file_.open(text_path, std::ios::binary | std::ios::trunc);
        if (!raw_file_ || !text_file_)
            return fail("cannot write " + options_.save_to.string() + " and " + text_path.string());
    }
    listening();
    std::uint8_t buffer[4096];
    for (;;) {
        const long got = read_some(buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) return fail(errno_text("the virtual printer's line failed"));
        std::vector<std::uint8_t> kept;
        for (long i = 0; i < got; ++i) {
            const std::uint8_t b = buffer[i];
            if (resets_.load() > 0) kept.push_back(b);
            last_three_ = ((last_three_ << 8) | b) & 0xFFFFFF;
            if (last_three_ != kReset) continue;
            last_three_ = 0;
            resets_.fetch_add(1);
            if (!write_all(std::span(&kReady, 1))) break;
        }
        if (auto kept_ok = keep(kept); !kept_ok) return kept_ok;
        if (!held_ && options_.hold_after > 0) {
            std::unique_lock guard(mutex_);
            const bool due = received_.size() >= options_.hold_after;
            guard.unlock();
            if (due) hold_line();
        }
    }
    if (!options_.save_to.empty()) {
        std::lock_guard guard(mutex_);
        text_file_ << paper_.unfinished();
        text_file_.flush();
        if (!text_file_) return fail("cannot write " + options_.save_to.string() + ".txt");
    }
    return {};
}

}  // namespace nlx::sim
