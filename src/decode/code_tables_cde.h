// Code tables of models c, d and e where they differ from the shared tables of models a and b.
// A code not in a table yields nullopt, so the column stays unset.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace nlx {

// Model c: set time of statistical groups (0 "手动" .. 9 "24hour").
std::optional<std::string> set_time_text_c(int code);
// Model c: time weighting from the low nibble of byte 3, "F" for 0, otherwise "S".
std::string time_weighting_text_c(std::uint8_t weighting);
// Model c: group type A0h "STA", B0h "24h" + day number, D0h "OCT".
std::optional<std::string> mode_text_c(std::uint8_t type, std::uint8_t day);

// Model d: frequency weighting from the low nibble of byte 3: 0 "Z", 1 "XY", 2 "L", 3 "E".
std::optional<std::string> frequency_weighting_text_d(std::uint8_t weighting);

// Model e: the weighting code A0h..A5h gives both weightings ("A"/"C"/"z", "F"/"S").
struct WeightingsE {
    std::string frequency;
    std::string time;
};
std::optional<WeightingsE> weightings_e(std::uint8_t code);
// Model e: set time (0 "手动" .. 10 "24h").
std::optional<std::string> set_time_text_e(int code);

}  // namespace nlx
