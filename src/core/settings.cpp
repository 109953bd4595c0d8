// Reading and writing sys.cfg with a safe fallback; the file is only written on request.
#include "core/settings.h"

#include "core/app_folder.h"
#include "core/atomic_file.h"
#include "core/message_text.h"
#include "core/read_file.h"

#include <algorithm>
#include <charconv>
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

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string trim_spaces(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return std::string(s);
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
    const std::string s = trim_spaces(text);
    if (s.empty()) return fail("the port is empty");
    const std::string shown = shown_text(s);
    if (std::all_of(s.begin(), s.end(), is_digit)) {
        auto n = parse_int(s);
        if (!n || *n < 1 || *n > 3) return fail("port " + shown + " is not one of 1, 2, 3");
        return PortSpec{*n, {}};
    }
#ifdef _WIN32
    // COM1, COM12: the Windows names of serial ports.
    if (s.size() > 3 && (s.compare(0, 3, "COM") == 0 || s.compare(0, 3, "com") == 0) &&
        std::all_of(s.begin() + 3, s.end(), is_digit))
        return PortSpec{0, s};
#endif
    if (s.front() != '/')
        return fail("port \"" + shown + "\" is neither 1, 2, 3 nor a device path beginning with / (such as /dev/ttyUSB0)");
    if (s.size() > kMaxPortPath)
        return fail("port name \"" + shown + "\" is longer than " + std::to_string(kMaxPortPath) + " bytes");
    auto odd = std::find_if(s.begin(), s.end(), [](char c) {
        auto b = static_cast<unsigned char>(c);
        return b < 0x21 || b > 0x7E;
    });
    if (odd != s.end())
        return fail("port name \"" + shown + "\" holds a space, control or non-ASCII byte");
    // A comma would split the name when sys.cfg is read back; quotes and pipes are no device's.
    if (s.find_first_of(",\"'<>|") != std::string::npos)
        return fail("port name \"" + shown + "\" is not a device name");
    return PortSpec{0, s};
}

Result<SerialSettings> parse_settings(std::string_view text) {
    // Editors on Windows may begin the file with the UTF-8 byte-order mark.
    static constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
    auto fields = fields_of(text);
    if (fields.size() < 2) return fail("it does not hold a port and a speed");
    auto port = parse_port(fields[0]);
    if (!port) return fail(port.message());
    const std::string shown = shown_text(fields[1]);
    auto baud = parse_int(fields[1]);
    if (!baud) return fail("speed \"" + shown + "\" is not a number");
    if (!valid_speed(*baud)) return fail("speed " + shown + " is not one of 9600, 4800, 2400, 1200");
    return SerialSettings{*port, *baud};
}

std::string settings_text(const SerialSettings& s) {
    return s.port.text() + "," + std::to_string(s.baud) + "\r\n";
}

LoadedSettings load_settings(const fs::path& file) {
    // `what` begins with the file's name: "/home/op/sys.cfg is missing".
    auto fallback = [&](const std::string& what) {
        return LoadedSettings{SerialSettings{}, "settings file " + what + "; using port 1 (" + port_device_name(1) +
                                                    ") at 9600 bit/s"};
    };
    std::error_code ec;
    if (!fs::exists(file, ec) && !ec) {
        auto missing = fallback(file.string() + " is missing");
        missing.missing = true;
        return missing;
    }
    auto text = read_regular_file(file, kMaxSettingsBytes);
    if (!text) return fallback(text.message());
    auto parsed = parse_settings(*text);
    if (!parsed) return fallback(file.string() + " is not valid: " + parsed.message());
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

LoadedSettings load_application_settings(const std::filesystem::path& app_folder) {
    const auto file = settings_path(app_folder);
    LoadedSettings loaded = load_settings(file);
    std::error_code ec;
    if (!loaded.missing || app_folder != user_data_folder()) return loaded;
    std::filesystem::create_directories(app_folder, ec);
    if (auto saved = save_settings(file, loaded.settings); !saved) {
        loaded.message = *loaded.message + " (" + saved.message() + ")";
        return loaded;
    }
    loaded.missing = false;
    loaded.message = std::string("created ").append(file.string()).append(" with port 1 (")
                         .append(port_device_name(loaded.settings.port)).append(") at 9600 bit/s");
    return loaded;
}

}  // namespace nlx
