// Decimal-string arithmetic behind the number patterns; no locale, no binary rounding surprises.
#include "core/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace nlx {
namespace {

// A finite value as sign, integer digits and fraction digits (no exponent), taken from its
// shortest decimal text of at most 15 significant digits.
struct Decimal {
    bool negative = false;
    std::string integer;   // no leading zeros; empty for 0
    std::string fraction;  // no trailing zeros
};

Decimal to_decimal(double value) {
    Decimal d;
    if (!std::isfinite(value) || value == 0.0) return d;
    d.negative = value < 0;
    char buf[64];
    // Scientific with 14 digits after the point: 15 significant digits, exponent explicit.
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    std::string_view s(buf, res.ptr - buf);
    auto epos = s.find('e');
    std::string digits;
    for (char c : s.substr(0, epos))
        if (c != '.') digits += c;
    int exp = std::atoi(std::string(s.substr(epos + 1)).c_str());
    // digits = d0 d1 ... d14, value = d0.d1...d14 * 10^exp
    int point = exp + 1;  // number of digits before the decimal point
    if (point <= 0) {
        d.fraction = std::string(std::size_t(-point), '0') + digits;
    } else if (point >= int(digits.size())) {
        d.integer = digits + std::string(std::size_t(point) - digits.size(), '0');
    } else {
        d.integer = digits.substr(0, std::size_t(point));
        d.fraction = digits.substr(std::size_t(point));
    }
    while (!d.integer.empty() && d.integer.front() == '0') d.integer.erase(0, 1);
    while (!d.fraction.empty() && d.fraction.back() == '0') d.fraction.pop_back();
    return d;
}

// Adds one unit in the last place of a digit string; returns true on carry out of the front.
bool increment(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            return false;
        }
    }
    return true;
}

// Rounds to `decimals` fraction digits, half away from zero (magnitude rounds up on 5).
void round_to(Decimal& d, std::size_t decimals) {
    if (d.fraction.size() <= decimals) {
        d.fraction.resize(decimals, '0');
        return;
    }
    bool up = d.fraction[decimals] >= '5';
    d.fraction.resize(decimals);
    if (!up) return;
    // A carry out of the front (an empty integer part included) adds a leading 1.
    if (increment(d.fraction) && increment(d.integer)) d.integer.insert(d.integer.begin(), '1');
}

bool all_zero(const std::string& s) { return s.find_first_not_of('0') == std::string::npos; }

std::string apply_pattern(Decimal d, std::string_view pattern) {
    auto point = pattern.find('.');
    std::string_view int_part = pattern.substr(0, point);
    std::size_t decimals = point == std::string_view::npos ? 0 : pattern.size() - point - 1;
    std::size_t min_int = 0;
    for (char c : int_part)
        if (c == '0') ++min_int;

    round_to(d, decimals);
    std::string integer = d.integer;
    while (!integer.empty() && integer.front() == '0') integer.erase(0, 1);
    if (integer.size() < min_int) integer.insert(0, min_int - integer.size(), '0');

    std::string out;
    if (d.negative && !(all_zero(integer) && all_zero(d.fraction))) out += '-';
    out += integer;
    if (decimals > 0) {
        out += '.';
        out += d.fraction;
    }
    return out;
}

}  // namespace

std::string format_number(double value, std::string_view pattern) {
    return apply_pattern(to_decimal(value), pattern);
}

std::optional<double> parse_decimal(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    std::size_t i = 0;
    if (text[0] == '-' || text[0] == '+') ++i;
    bool digit_seen = false, point_seen = false;
    for (std::size_t j = i; j < text.size(); ++j) {
        char c = text[j];
        if (c >= '0' && c <= '9') {
            digit_seen = true;
        } else if (c == '.' && !point_seen) {
            point_seen = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digit_seen) return std::nullopt;
    if (text[0] == '+') text.remove_prefix(1);
    double v = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
    return v;
}

std::string format_text(std::string_view text, std::string_view pattern) {
    if (auto v = parse_decimal(text)) return format_number(*v, pattern);
    return std::string(text);
}

std::string plain_number_text(double value) {
    Decimal d = to_decimal(value);
    std::string out;
    if (d.negative) out += '-';
    out += d.integer.empty() ? "0" : d.integer;
    if (!d.fraction.empty()) {
        out += '.';
        out += d.fraction;
    }
    return out;
}

}  // namespace nlx
