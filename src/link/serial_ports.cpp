// Port listing through QSerialPortInfo, turned into plain entries and one-line descriptions.
#include "link/serial_ports.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <cstdio>

namespace nlx::link {

std::vector<SerialPortEntry> list_serial_ports() {
    std::vector<SerialPortEntry> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry e;
        e.device = info.systemLocation().toStdString();
        e.description = info.description().toStdString();
        e.manufacturer = info.manufacturer().toStdString();
        if (info.hasVendorIdentifier()) e.vendor_id = info.vendorIdentifier();
        if (info.hasProductIdentifier()) e.product_id = info.productIdentifier();
        e.serial_number = info.serialNumber().toStdString();
        out.push_back(std::move(e));
    }
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.device < b.device; });
    return out;
}

std::string port_line(const SerialPortEntry& port) {
    std::string line = port.device;
    auto add = [&](const std::string& part) {
        if (!part.empty()) line += "  " + part;
    };
    add(port.description);
    add(port.manufacturer.empty() ? std::string() : "(" + port.manufacturer + ")");
    if (port.vendor_id || port.product_id) {
        char ids[32];
        std::snprintf(ids, sizeof ids, "USB %04x:%04x", port.vendor_id.value_or(0), port.product_id.value_or(0));
        add(ids);
    }
    add(port.serial_number.empty() ? std::string() : "serial " + port.serial_number);
    return line;
}

}  // namespace nlx::link
