// The one-line description of a serial port that nlx ports prints, so the adapter can be found.
#include <gtest/gtest.h>

#include "link/serial_ports.h"
#include "support/temp_dir.h"

namespace nlx::link {
namespace {

TEST(SerialPorts, LineShowsWhatIsKnownOfThePort) {
    struct Case {
        SerialPortEntry port;
        const char* line;
    } cases[] = {
        {{"/dev/ttyS0", "", "", std::nullopt, std::nullopt, "", ""}, "/dev/ttyS0"},
        {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", 0x0403, 0x6001, "A50285BI", ""},
         "/dev/ttyUSB0  FT232R USB UART  (FTDI)  USB 0403:6001  serial A50285BI"},
        {{"/dev/ttyACM0", "", "", 0x2341, std::nullopt, "", ""}, "/dev/ttyACM0  USB 2341:0000"},
        {{"/dev/ttyUSB1", "CP2102", "", std::nullopt, std::nullopt, "0001", ""},
         "/dev/ttyUSB1  CP2102  serial 0001"},
        {{"/dev/ttyUSB2", "CP2102", "", 0x10c4, 0xea60, "", "/dev/serial/by-id/usb-Silicon_Labs_CP2102-if00-port0"},
         "/dev/ttyUSB2 = /dev/serial/by-id/usb-Silicon_Labs_CP2102-if00-port0  CP2102  USB 10c4:ea60"},
    };
    for (const auto& c : cases) EXPECT_EQ(port_line(c.port), c.line);
}

// A stand-in for /dev: device files, and a by-id folder of links as udev makes them.
TEST(SerialPorts, StableNameIsTheByIdLinkThatResolvesToTheDevice) {
    namespace fs = std::filesystem;
    test::TempDir dev;
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyS0"}) test::write_file(dev / name, "");
    const fs::path by_id = dev / "serial/by-id";
    fs::create_directories(by_id);
    fs::create_symlink("../../ttyUSB0", by_id / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    fs::create_symlink("../../ttyUSB0", by_id / "usb-zz-second-name-of-ttyUSB0");
    fs::create_symlink(dev / "ttyUSB1", by_id / "usb-Prolific_USB-Serial_Controller-if00-port0");
    fs::create_symlink("../../ttyUSB9", by_id / "usb-unplugged-if00-port0");
    test::write_file(by_id / "not-a-link", "");

    const struct {
        fs::path device;
        fs::path folder;
        std::string stable;
    } cases[] = {
        {dev / "ttyUSB0", by_id, (by_id / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0").string()},
        {dev / "serial/../ttyUSB1", by_id, (by_id / "usb-Prolific_USB-Serial_Controller-if00-port0").string()},
        {dev / "ttyS0", by_id, ""},
        {dev / "ttyUSB9", by_id, ""},
        {dev / "ttyUSB0", dev / "no-such-folder", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(stable_device_name(c.device.string(), c.folder), c.stable) << c.device;
}

}  // namespace
}  // namespace nlx::link
