// The one-line description of a serial port that nlx ports prints, so the adapter can be found.
#include <gtest/gtest.h>

#include "link/serial_ports.h"

namespace nlx::link {
namespace {

TEST(SerialPorts, LineShowsWhatIsKnownOfThePort) {
    struct Case {
        SerialPortEntry port;
        const char* line;
    } cases[] = {
        {{"/dev/ttyS0", "", "", std::nullopt, std::nullopt, ""}, "/dev/ttyS0"},
        {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", 0x0403, 0x6001, "A50285BI"},
         "/dev/ttyUSB0  FT232R USB UART  (FTDI)  USB 0403:6001  serial A50285BI"},
        {{"/dev/ttyACM0", "", "", 0x2341, std::nullopt, ""}, "/dev/ttyACM0  USB 2341:0000"},
        {{"/dev/ttyUSB1", "CP2102", "", std::nullopt, std::nullopt, "0001"},
         "/dev/ttyUSB1  CP2102  serial 0001"},
    };
    for (const auto& c : cases) EXPECT_EQ(port_line(c.port), c.line);
}

}  // namespace
}  // namespace nlx::link
