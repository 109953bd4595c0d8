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

// The significant digits and decimal exponent of a positive finite value, rounded to at most 15
// significant digits: value = 0.d1 d2 ... dn * 10^point.
struct Digits {
    char digits[24];
    int count = 0;  // leading digit non-zero, no trailing zeros
    int point = 0;
};

// Levels, counts and percentages are whole numbers of units, tenths or hundredths: such a value
// is the double nearest to r / 10^p for a whole r (division rounds correctly), within half a
// unit in its last place of that decimal and so far inside half a unit of a 15th digit: the
// decimal is its 15-digit rounding, read off r without a floating-point conversion.
bool few_decimals(double magnitude, Digits& d) {
    static constexpr double kScale[] = {1.0, 10.0, 100.0};
    for (int p = 0; p < 3; ++p) {
        const double r = std::nearbyint(magnitude * kScale[p]);
        if (r < 1.0 || r >= 1e14 || r / kScale[p] != magnitude) continue;
        auto res = std::to_chars(d.digits, d.digits + sizeof d.digits, static_cast<long long>(r));
        d.count = int(res.ptr - d.digits);
        d.point = d.count - p;
        while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
        return true;
    }
    return false;
}

Digits significant_digits(double magnitude) {
    Digits d;
    if (few_decimals(magnitude, d)) return d;
    // Scientific with 14 digits after the point: 15 significant digits, exponent explicit.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    const std::string_view s(buf, std::size_t(res.ptr - buf));
    const auto epos = s.find('e');
    for (char c : s.substr(0, epos))
        if (c != '.') d.digits[d.count++] = c;
    while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
    int exp = 0;
    const char* e = s.data() + epos + 1;
    if (*e == '+') ++e;
    std::from_chars(e, s.data() + s.size(), exp);
    d.point = exp + 1;  // digits before the decimal point
    return d;
}

Decimal to_decimal(double value) {
    Decimal d;
    if (!std::isfinite(value) || value == 0.0) return d;
    d.negative = value < 0;
    const Digits s = significant_digits(std::fabs(value));
    const std::string_view digits(s.digits, std::size_t(s.count));
    if (s.point <= 0) {
        d.fraction.assign(std::size_t(-s.point), '0');
        d.fraction += digits;
    } else if (s.point >= s.count) {
        d.integer.assign(digits);
        d.integer.append(std::size_t(s.point - s.count), '0');
    } else {
        d.integer.assign(digits.substr(0, std::size_t(s.point)));
        d.fraction.assign(digits.substr(std::size_t(s.point)));
    }
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
    const std::string& integer = d.integer;  // no leading zeros, a carry included
    const std::size_t padding = integer.size() < min_int ? min_int - integer.size() : 0;

    std::string out;
    out.reserve(1 + padding + integer.size() + 1 + d.fraction.size());
    if (d.negative && !(all_zero(integer) && all_zero(d.fraction))) out += '-';
    out.append(padding, '0');
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
