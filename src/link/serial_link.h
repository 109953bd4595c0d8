// The serial line on a real port or a pseudo-terminal, through Qt's serial port class.
#pragma once

#include <memory>
#include <string>

#include "link/byte_link.h"

class QSerialPort;

namespace nlx::link {

// Works on any thread without a running event loop: every wait is one of the port's blocking
// waits with the time left to the deadline. One thread at a time may use a SerialLink.
class SerialLink final : public ByteLink {
public:
    SerialLink();
    ~SerialLink() override;
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    Result<void> open(const std::string& port, int baud, FlowControl flow) override;
    Result<void> set_flow(FlowControl flow) override;
    Result<void> write(std::span<const std::uint8_t> bytes) override;
    Result<Bytes> read(std::size_t max, TimePoint deadline) override;
    Result<Bytes> read_run(std::size_t max, TimePoint deadline) override;
    std::size_t bytes_waiting() override;
    Result<void> discard_input() override;
    Result<void> drain_output(TimePoint deadline) override;
    void close() override;
    bool is_open() const override;
    TimePoint now() const override { return LinkClock::now(); }

    // The device the link opened last ("/dev/ttyUSB0").
    const std::string& device() const { return device_; }

private:
    Error port_error(const std::string& what);

    std::unique_ptr<QSerialPort> port_;
    std::string device_;
    int baud_ = 9600;
};

}  // namespace nlx::link
