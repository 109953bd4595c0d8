// Port listing through QSerialPortInfo, turned into plain entries and one-line descriptions.
#include "link/serial_ports.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <cstdio>
#include <system_error>

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
        e.stable_device = stable_device_name(e.device);
        out.push_back(std::move(e));
    }
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.device < b.device; });
    return out;
}

std::string stable_device_name(const std::string& device, const std::filesystem::path& by_id) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target = fs::canonical(device, ec);
    if (ec) return {};
    std::vector<fs::path> links;
    for (fs::directory_iterator it(by_id, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code link_ec;
        if (!it->is_symlink(link_ec)) continue;
        // A link to an adapter that has gone resolves to nothing and is passed over.
        const fs::path resolved = fs::canonical(it->path(), link_ec);
        if (!link_ec && resolved == target) links.push_back(it->path());
    }
    if (links.empty()) return {};
    return std::min_element(links.begin(), links.end())->string();
}

std::string port_line(const SerialPortEntry& port) {
    std::string line = port.device;
    if (!port.stable_device.empty()) line.append(" = ").append(port.stable_device);
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
