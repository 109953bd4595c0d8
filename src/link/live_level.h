// The live-level request on the wire: the host sends 1Ch, the instrument answers with its level now.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace nlx::link {

inline constexpr std::uint8_t kLiveLevelRequest = 0x1C;  // host, send the level you measure now
inline constexpr std::size_t kLiveLevelReplySize = 2;    // instrument, the level, low byte first
// The instrument answers at once; a port that is silent this long has no instrument on it.
inline constexpr std::chrono::milliseconds kLiveLevelWait{300};

// The reply is an unsigned count of tenths of a decibel: (high × 256 + low) / 10 dB.
inline constexpr int live_level_tenths(std::uint8_t low, std::uint8_t high) { return high * 256 + low; }

// "55.3": tenths of a decibel as the decimal text the operator reads, whatever the locale.
inline std::string level_text(int tenths) {
    std::string text = tenths < 0 ? "-" : "";
    const int magnitude = tenths < 0 ? -tenths : tenths;
    return text.append(std::to_string(magnitude / 10)).append(".").append(std::to_string(magnitude % 10));
}

}  // namespace nlx::link
