// A virtual TM27 micro-printer on a pseudo-terminal: answers the reset, keeps what it is sent.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "core/result.h"
#include "sim/tm27_paper.h"

namespace nlx::sim {

struct PrinterOptions {
    // Once, after this many bytes have been received (0: never), the printer holds the line:
    // XOFF, `hold_for` without reading, then XON, as a printer does whose buffer is full.
    std::size_t hold_after = 0;
    std::chrono::milliseconds hold_for{0};
    // When set, the received bytes go to this file and the printed lines to the same name with
    // ".txt" added, both written as the bytes arrive.
    std::filesystem::path save_to;
};

// Holds both ends of a pseudo-terminal: the host opens device() like a serial port, and the
// printer keeps its own hold on that end so the line survives the host closing it between jobs.
// It answers each reset (1Bh 40h 0Dh) with the ready byte 0Dh; every byte after the first reset
// is received and kept, later resets included.
class VirtualPrinter {
public:
    static Result<std::unique_ptr<VirtualPrinter>> open(PrinterOptions options);
    ~VirtualPrinter();
    VirtualPrinter(const VirtualPrinter&) = delete;
    VirtualPrinter& operator=(const VirtualPrinter&) = delete;

    // The device the host opens ("/dev/pts/4").
    const std::string& device() const { return device_; }

    // Serves on a thread of its own; returns once the printer listens.
    Result<void> start();
    // Stops the thread, once it has taken what is in the line, and waits for it; harmless when it
    // is not running. What the thread ended with (a file that could not be written) comes back.
    Result<void> stop();

    // Serves on the calling thread until request_stop(); `listening` is called once it listens.
    Result<void> run(const std::function<void()>& listening = {});
    // Asks run() or the thread to end; safe to call from a signal handler.
    void request_stop() noexcept;

    // Everything received after the first reset, and the lines printed from it, so far.
    std::vector<std::uint8_t> received() const;
    std::string printed() const;
    std::size_t resets() const { return resets_.load(); }
    std::size_t holds() const { return holds_.load(); }

private:
    VirtualPrinter() = default;
    Result<void> serve(const std::function<void()>& listening);
    // Reads what has arrived, waiting for it; 0 when stopping with nothing left, -1 on a broken line.
    long read_some(std::uint8_t* into, std::size_t max);
    bool write_all(std::span<const std::uint8_t> bytes);  // false when stopping or broken
    bool wait_until(std::chrono::steady_clock::time_point when);  // false when stopping
    Result<void> keep(std::span<const std::uint8_t> bytes);
    void hold_line();

    PrinterOptions options_;
    int master_ = -1, slave_ = -1;
    int wake_[2] = {-1, -1};
    std::string device_;
    std::thread thread_;
    Result<void> thread_result_;
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> resets_{0}, holds_{0};

    mutable std::mutex mutex_;  // guards what was received and printed
    std::vector<std::uint8_t> received_;
    std::string printed_;
    Tm27Paper paper_;
    std::ofstream raw_file_, text_file_;
    std::uint32_t last_three_ = 0;  // the last three bytes seen, for spotting a reset
    bool held_ = false;
};

}  // namespace nlx::sim
