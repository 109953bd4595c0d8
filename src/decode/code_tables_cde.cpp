// The model c, d and e code tables as data.
#include "decode/code_tables_cde.h"

#include <array>
#include <string_view>

#include "decode/table_text.h"

namespace nlx {
namespace {

constexpr std::array<std::string_view, 10> kSetTimeC = {
    "手动", "10s", "1min", "5min", "10min", "20min", "1hour", "4hour", "8hour", "24hour"};
constexpr std::array<std::string_view, 4> kFrequencyD = {"Z", "XY", "L", "E"};
constexpr std::array<std::string_view, 11> kSetTimeE = {
    "手动", "10s", "1min", "5min", "10min", "20min", "1h", "2h", "4h", "8h", "24h"};

}  // namespace

std::optional<std::string> set_time_text_c(int code) { return table_text(kSetTimeC, code); }

std::string time_weighting_text_c(std::uint8_t weighting) {
    return (weighting & 0x0F) == 0 ? "F" : "S";
}

std::optional<std::string> mode_text_c(std::uint8_t type, std::uint8_t day) {
    switch (type) {
    case 0xA0: return "STA";
    case 0xB0: return day_mode_text(day);
    case 0xD0: return "OCT";
    default: return std::nullopt;
    }
}

std::optional<std::string> frequency_weighting_text_d(std::uint8_t weighting) {
    return table_text(kFrequencyD, weighting & 0x0F);
}

std::optional<WeightingsE> weightings_e(std::uint8_t code) {
    if (code < 0xA0 || code > 0xA5) return std::nullopt;
    static constexpr std::array<std::string_view, 3> kFrequency = {"A", "C", "z"};
    int k = code - 0xA0;
    return WeightingsE{std::string(kFrequency[std::size_t(k / 2)]), k % 2 == 0 ? "F" : "S"};
}

std::optional<std::string> set_time_text_e(int code) { return table_text(kSetTimeE, code); }

}  // namespace nlx
