// The TM27 micro-printer on the wire: wake-up, ready byte, line settings, and the bounds of each wait.
#pragma once

#include <chrono>
#include <cstdint>

namespace nlx::link {

inline constexpr std::uint8_t kTm27Reset1 = 0x1B;  // host: ESC @, reset the printer,
inline constexpr std::uint8_t kTm27Reset2 = 0x40;
inline constexpr std::uint8_t kTm27Cr = 0x0D;      // then CR; CR also ends each printed line
inline constexpr std::uint8_t kTm27Ready = 0x0D;   // printer: ready, online
// Host, once ready: ESC 1 5, the line spacing of the printout.
inline constexpr std::uint8_t kTm27LineSpacing[] = {0x1B, 0x31, 0x05};

// The printer answers the reset at once when it is connected and online.
inline constexpr std::chrono::milliseconds kTm27ReadyWait{2000};
// The printer may hold the line with XOFF while it prints what it has; the last bytes of a job
// are given this long to leave the port before it is closed.
inline constexpr std::chrono::milliseconds kTm27DrainWait{30000};
// A stopped job gives its paper feed this long.
inline constexpr std::chrono::milliseconds kTm27CancelDrainWait{1000};

}  // namespace nlx::link
