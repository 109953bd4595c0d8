// The serial ports of this computer, as an operator needs them to find the instrument's adapter.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace nlx::link {

struct SerialPortEntry {
    std::string device;        // "/dev/ttyUSB0", "COM3"
    std::string description;   // "FT232R USB UART"
    std::string manufacturer;  // "FTDI"
    std::optional<unsigned> vendor_id, product_id;  // USB ids when the port is a USB adapter
    std::string serial_number;
};

// Every port the system reports, sorted by device name.
std::vector<SerialPortEntry> list_serial_ports();

// One line: device, description, manufacturer, "USB 0403:6001", "serial A50285BI".
std::string port_line(const SerialPortEntry& port);

}  // namespace nlx::link
