// Code tables shared by the decoders of models a, b and d: set time, sampling interval,
// weightings and modes. A code not in a table yields nullopt, so the column stays unset.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace nlx {

std::optional<std::string> set_time_text(int code);           // 0 "10s" .. 10 "24hour"
std::optional<std::string> sampling_interval_text(int code);  // 0 "0.01s" .. 9 "10s"

// Weighting byte of models a, b: time weighting from the high nibble, frequency from the low.
std::string time_weighting_text(std::uint8_t weighting);                      // "F" or "S"
std::optional<std::string> frequency_weighting_text(std::uint8_t weighting);  // A, C, Z, E

// Mode byte of model a; `day` is byte 39, shown after "24h" for B1h and B3h.
std::optional<std::string> mode_text_a(std::uint8_t mode, std::uint8_t day);
// Type byte of models b and d: 0 STA, 1 "24h"+day, 2 IEC, 3 OCT.
std::optional<std::string> mode_text_b(std::uint8_t type, std::uint8_t day);

}  // namespace nlx
