// The settings file sys.cfg: serial port and speed, one line "port,speed" CR LF.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/result.h"

namespace nlx {

inline constexpr int kSpeeds[] = {9600, 4800, 2400, 1200};
inline constexpr std::size_t kMaxSettingsBytes = 4096;  // sys.cfg holds one short line
inline constexpr std::size_t kMaxPortPath = 255;        // bytes of a device path

// A serial port as the operator names it: a number 1..3 (com1..com3) or a device name.
struct PortSpec {
    int number = 1;           // used when device is empty
    std::string device;       // "/dev/ttyUSB0", "COM7"; empty for a numbered port

    std::string text() const;  // the form written to sys.cfg: "1" or "/dev/ttyUSB0"
    bool operator==(const PortSpec&) const = default;
};

struct SerialSettings {
    PortSpec port;
    int baud = 9600;
    bool operator==(const SerialSettings&) const = default;
};

// What reading sys.cfg gave: the settings to use, and a message when they are the fallback.
struct LoadedSettings {
    SerialSettings settings;
    std::optional<std::string> message;  // set when the file was missing or wrong
    bool missing = false;                // there is no file yet (never saved): nothing in it is wrong
};

bool valid_speed(int baud);

// Parses the text of sys.cfg: two fields, each ending at a comma or a line break, spaces ignored;
// a UTF-8 byte-order mark at the start is skipped.
Result<SerialSettings> parse_settings(std::string_view text);

// Parses a port as typed on a command line or stored in the file, spaces around it ignored: a
// number 1..3, or an absolute device path ("/dev/ttyUSB0") of at most 255 printable ASCII bytes
// without spaces (on Windows also "COM" and digits). Anything else is refused with a message that
// echoes at most 40 characters of the field.
Result<PortSpec> parse_port(std::string_view text);

// The file's text: "3,1200\r\n".
std::string settings_text(const SerialSettings& settings);

// Reads sys.cfg; never fails, never writes and never blocks: a missing or bad file, one that is
// not a regular file or is larger than 4096 bytes, gives port 1 at 9600 bit/s with a message
// saying what was wrong.
LoadedSettings load_settings(const std::filesystem::path& file);

// The settings of an application folder: as load_settings reads its sys.cfg, except that in the
// per-user folder (an installed program's) a missing sys.cfg is created on first use, with its
// folder, holding port 1 at 9600 bit/s; the message then says so.
LoadedSettings load_application_settings(const std::filesystem::path& app_folder);

// Replaces sys.cfg atomically (temporary file, then rename); a failure is reported.
Result<void> save_settings(const std::filesystem::path& file, const SerialSettings& settings);

// The platform's device name of a port: Linux 1 -> /dev/ttyS0, Windows 1 -> COM1.
std::string port_device_name(int number);
std::string port_device_name(const PortSpec& port);

}  // namespace nlx
