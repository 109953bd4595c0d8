// The download exchange on the wire: attention, acknowledge, request, and the bounds of each wait.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace nlx::link {

inline constexpr std::uint8_t kAttention1 = 0x1B;   // host, first attention byte
inline constexpr std::uint8_t kAttention2 = 0x40;   // host, second attention byte
inline constexpr std::uint8_t kAcknowledge = 0xAA;  // instrument, ready
inline constexpr std::uint8_t kRequest = 0x1A;      // host, send the stored groups

// The instrument answers the attention bytes at once; two seconds is ample at any speed.
inline constexpr std::chrono::milliseconds kAcknowledgeWait{2000};
// The two count bytes follow the request after the instrument has counted its groups.
inline constexpr std::chrono::milliseconds kCountWait{5000};
// A wait is cut into slices this long so that a cancel is seen promptly.
inline constexpr std::chrono::milliseconds kCancelSlice{100};

// Reception gives up when no byte has arrived for this long: four times the line time of one
// 256-byte block at `baud` (10 bits a byte), and never less than two seconds.
inline std::chrono::milliseconds data_wait(int baud) {
    long long block_ms = baud > 0 ? (256LL * 10 * 1000 + baud - 1) / baud : 0;
    return std::chrono::milliseconds(std::max(2000LL, 4 * block_ms));
}

}  // namespace nlx::link
