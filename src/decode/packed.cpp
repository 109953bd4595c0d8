// Packed-decimal arithmetic; levels are built from whole tenths so 85.6 is the nearest double.
#include "decode/packed.h"

#include "core/number_format.h"

namespace nlx {

std::string digit_text(std::uint8_t x) {
    static const char* hex = "0123456789ABCDEF";
    std::string s;
    if (x >= 16) s += hex[x >> 4];
    s += hex[x & 0x0F];
    return s;
}

std::string two_digit_text(std::uint8_t x) {
    // Two decimal nibbles are the two digits as they stand ("05", "12"); a nibble above 9 makes
    // a text that reads as no number, which the pattern leaves as it is.
    if (high_nibble(x) <= 9 && low_nibble(x) <= 9) return {char('0' + high_nibble(x)), char('0' + low_nibble(x))};
    return digit_text(x);
}

static double from_tenths(int tenths) { return tenths / 10.0; }

int packed_tenths(std::uint8_t first, std::uint8_t second) {
    return 10 * (10 * (10 * high_nibble(first) + low_nibble(first)) + high_nibble(second)) + low_nibble(second);
}

int sd_tenths(std::uint8_t first, std::uint8_t second) {
    return 100 * first + 10 * high_nibble(second) + low_nibble(second);
}

int single_byte_tenths(std::uint8_t x) { return 10 * high_nibble(x) + low_nibble(x); }

double packed_level(std::uint8_t first, std::uint8_t second) { return from_tenths(packed_tenths(first, second)); }

double packed_level_low_first(std::uint8_t first, std::uint8_t second) {
    return packed_level(second, first);
}

double sd_level(std::uint8_t first, std::uint8_t second) { return from_tenths(sd_tenths(first, second)); }

// Three two-digit texts with a separator between them.
static std::string three_fields(std::uint8_t a, std::uint8_t b, std::uint8_t c, char separator) {
    std::string out = two_digit_text(a);
    out += separator;
    out += two_digit_text(b);
    out += separator;
    out += two_digit_text(c);
    return out;
}

std::string date_text(std::uint8_t year, std::uint8_t month, std::uint8_t day) {
    return three_fields(year, month, day, '-');
}

std::string time_text(std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds) {
    return three_fields(hours, minutes, seconds, ':');
}

std::string duration_text(std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds) {
    return digit_text(hours) + "h" + digit_text(minutes) + "m" + digit_text(seconds) + "s";
}

}  // namespace nlx
