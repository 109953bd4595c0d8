// Reading and writing sys.cfg with a safe fallback; the file is only written on request.
#include "core/settings.h"

#include "core/atomic_file.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace nlx {
namespace fs = std::filesystem;

namespace {

std::optional<int> parse_int(std::string_view s) {
    int v = 0;
    if (s.empty()) return std::nullopt;
    auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size()) return std::nullopt;
    return v;
}

std::string strip_spaces(std::string_view s) {
    std::string out;
    for (char c : s)
        if (c != ' ' && c != '\t') out += c;
    return out;
}

// Fields end at a comma or a line break; blank lines between fields are skipped.
std::vector<std::string> fields_of(std::string_view text) {
    std::vector<std::string> fields;
    std::string current;
    bool pending = false;
    for (char c : text) {
        if (c == ',' || c == '\r' || c == '\n') {
            if (pending || c == ',') fields.push_back(strip_spaces(current));
            current.clear();
            pending = false;
        } else {
            current += c;
            pending = true;
        }
    }
    if (pending) fields.push_back(strip_spaces(current));
    return fields;
}

}  // namespace

std::string PortSpec::text() const { return device.empty() ? std::to_string(number) : device; }

bool valid_speed(int baud) { return std::find(std::begin(kSpeeds), std::end(kSpeeds), baud) != std::end(kSpeeds); }

Result<PortSpec> parse_port(std::string_view text) {
    std::string s = strip_spaces(text);
    if (s.empty()) return fail("the port is empty");
    if (auto n = parse_int(s)) {
        if (*n < 1 || *n > 3) return fail("port " + s + " is not one of 1, 2, 3");
        return PortSpec{*n, {}};
    }
    if (s.find_first_of("\"'<>|") != std::string::npos) return fail("port name \"" + s + "\" is not a device name");
    return PortSpec{0, s};
}

Result<SerialSettings> parse_settings(std::string_view text) {
    auto fields = fields_of(text);
    if (fields.size() < 2) return fail("it does not hold a port and a speed");
    auto port = parse_port(fields[0]);
    if (!port) return fail(port.message());
    auto baud = parse_int(fields[1]);
    if (!baud) return fail("speed \"" + fields[1] + "\" is not a number");
    if (!valid_speed(*baud)) return fail("speed " + fields[1] + " is not one of 9600, 4800, 2400, 1200");
    return SerialSettings{*port, *baud};
}

std::string settings_text(const SerialSettings& s) {
    return s.port.text() + "," + std::to_string(s.baud) + "\r\n";
}

LoadedSettings load_settings(const fs::path& file) {
    auto fallback = [&](const std::string& why) {
        return LoadedSettings{SerialSettings{},
                              "settings file " + file.string() + " " + why + "; using port 1 (" +
                                  port_device_name(1) + ") at 9600 bit/s"};
    };
    std::error_code ec;
    if (!fs::exists(file, ec)) return fallback("is missing");
    std::ifstream in(file, std::ios::binary);
    if (!in) return fallback("cannot be read");
    std::ostringstream buf;
    buf << in.rdbuf();
    if (in.bad()) return fallback("cannot be read");
    auto parsed = parse_settings(buf.str());
    if (!parsed) return fallback("is not valid: " + parsed.message());
    return LoadedSettings{*parsed, std::nullopt};
}

Result<void> save_settings(const fs::path& file, const SerialSettings& settings) {
    return write_file_atomically(file, settings_text(settings));
}

std::string port_device_name(int number) {
#ifdef _WIN32
    return "COM" + std::to_string(number);
#else
    return "/dev/ttyS" + std::to_string(number - 1);
#endif
}

std::string port_device_name(const PortSpec& port) {
    return port.device.empty() ? port_device_name(port.number) : port.device;
}

}  // namespace nlx
