// The serial ports of this computer, as an operator needs them to find the instrument's adapter.
#pragma once

#include <filesystem>
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
    // The name of a USB adapter that stays the same whichever ttyUSB number it gets:
    // "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"; empty when there is none.
    std::string stable_device;

    // The name to keep in the settings: the stable one when there is one.
    const std::string& preferred_device() const { return stable_device.empty() ? device : stable_device; }
};

// Where the system keeps the stable links to USB serial adapters.
inline const std::filesystem::path kSerialById = "/dev/serial/by-id";

// The link in `by_id` that resolves to `device` (the first by name when several do), as a path
// in `by_id`; empty when none does or either cannot be read.
std::string stable_device_name(const std::string& device, const std::filesystem::path& by_id = kSerialById);

// Every port the system reports, sorted by device name, each with its stable name if it has one.
std::vector<SerialPortEntry> list_serial_ports();

// One line: device (" = " its stable name), description, manufacturer, "USB 0403:6001",
// "serial A50285BI".
std::string port_line(const SerialPortEntry& port);

}  // namespace nlx::link
