// The code tables as data; the model c and e decoders keep their own tables beside them.
#include "decode/code_tables.h"

#include <array>
#include <string_view>

#include "decode/table_text.h"

namespace nlx {
namespace {

constexpr std::array<std::string_view, 11> kSetTime = {
    "10s", "1min", "5min", "10min", "15min", "20min", "1hour", "2hour", "4hour", "8hour", "24hour"};
constexpr std::array<std::string_view, 10> kSampling = {
    "0.01s", "0.02s", "0.05s", "0.1s", "0.2s", "0.5s", "1s", "2s", "5s", "10s"};
constexpr std::array<std::string_view, 4> kFrequency = {"A", "C", "Z", "E"};

}  // namespace

std::optional<std::string> set_time_text(int code) { return table_text(kSetTime, code); }
std::optional<std::string> sampling_interval_text(int code) { return table_text(kSampling, code); }

std::string time_weighting_text(std::uint8_t weighting) { return (weighting >> 4) == 0 ? "F" : "S"; }

std::optional<std::string> frequency_weighting_text(std::uint8_t weighting) {
    return table_text(kFrequency, weighting & 0x0F);
}

std::optional<std::string> mode_text_a(std::uint8_t mode, std::uint8_t day) {
    switch (mode) {
    case 0xA0: case 0xA1: case 0xA2: case 0xA3: return "STA";
    case 0xB0: case 0xB2: return "24h no";
    case 0xB1: case 0xB3: return day_mode_text(day);
    case 0xC0: case 0xC1: case 0xC2: case 0xC3: return "COL";
    case 0xD0: return "AC";
    default: return std::nullopt;
    }
}

std::optional<std::string> mode_text_b(std::uint8_t type, std::uint8_t day) {
    switch (type) {
    case 0: return "STA";
    case 1: return day_mode_text(day);
    case 2: return "IEC";
    case 3: return "OCT";
    default: return std::nullopt;
    }
}

}  // namespace nlx
