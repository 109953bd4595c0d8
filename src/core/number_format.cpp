// Decimal-string arithmetic behind the number patterns; no locale, no binary rounding surprises.
#include "core/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace nlx {
namespace {

// The significant digits and decimal exponent of a positive finite value, rounded to at most 15
// significant digits: value = 0.d1 d2 ... dn * 10^point.
struct Digits {
    char digits[24];
    int count = 0;  // leading digit non-zero; no trailing zeros until rounded
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

// A finite value's sign and digits; zero (and anything not finite) has no digits.
struct Number {
    bool negative = false;
    Digits digits;
};

Number to_number(double value) {
    Number n;
    if (!std::isfinite(value) || value == 0.0) return n;
    n.negative = value < 0;
    n.digits = significant_digits(std::fabs(value));
    return n;
}

// Rounds to `decimals` fraction digits, half away from zero (the magnitude rounds up on 5).
void round_to(Digits& d, std::size_t decimals) {
    const int keep = d.point + int(decimals);  // significant digits that remain
    if (keep >= d.count) return;
    const bool up = keep >= 0 && d.digits[keep] >= '5';
    d.count = std::max(keep, 0);
    if (!up) return;
    int i = d.count - 1;
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i >= 0) {
        ++d.digits[i];
        return;
    }
    // A carry out of the front (no digit left included) adds a leading 1.
    std::memmove(d.digits + 1, d.digits, std::size_t(d.count));
    d.digits[0] = '1';
    ++d.count;
    ++d.point;
}

// 10^0 to 10^18, every power a 64-bit whole number holds.
constexpr std::uint64_t kPow10[] = {1,         10,         100,         1000,         10000,
                                    100000,    1000000,    10000000,    100000000,    1000000000,
                                    10000000000,          100000000000,          1000000000000,
                                    10000000000000,       100000000000000,       1000000000000000,
                                    10000000000000000,    100000000000000000,    1000000000000000000};

// The value rounded as format_number rounds it, for up to two decimals and magnitudes below 2^33
// (levels, exposures, times): `units` is the magnitude in units of the last decimal.
// Exact on the binary value m * 2^-s: x * 10^k = q + r / 2^s in whole numbers. Rounding first to
// 15 significant digits (D decimals) and then half up at k decimals goes up exactly when
// r / 2^s >= 1/2 - 10^(k-D) / 2: the fifteen-digit form then reaches q + 1/2. With D - k >= 3 a
// tie at the fifteenth digit rounds to that half under either tie rule. False outside the range.
bool fixed_units(double magnitude, std::size_t decimals, unsigned long long& units) {
    using u128 = unsigned __int128;
    if (decimals > 2 || !(magnitude < 0x1p33)) return false;  // also refuses what is not a number
    if (magnitude < 0x1p-10) {
        // Below a thousandth, and so are its fifteen digits: nothing reaches half a hundredth.
        units = 0;
        return true;
    }
    std::uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const std::uint64_t m = (bits & ((std::uint64_t(1) << 52) - 1)) | std::uint64_t(1) << 52;
    const int s = 1075 - int(bits >> 52 & 0x7FF);  // 20 to 62 in this range
    // Digits before the point: those of the whole part, or minus the zeros after the point.
    int point = 0;
    const std::uint64_t whole = m >> s;
    if (whole > 0) {
        while (point < 11 && whole >= kPow10[point]) ++point;
    } else {
        const u128 one = u128(1) << s;
        while (u128(m) * kPow10[1 - point] < one) --point;  // at most three zeros from 2^-10
    }
    const int tail = 15 - point - int(decimals);  // D - k: 3 to 18
    const u128 scaled = u128(m) * kPow10[decimals];
    const u128 mask = (u128(1) << s) - 1;
    const std::uint64_t q = std::uint64_t(scaled >> s);
    const u128 r = scaled & mask;
    const u128 t = kPow10[tail];
    const bool up = 2 * r * t >= (mask + 1) * (t - 1);
    units = q + (up ? 1 : 0);
    return true;
}

// The digit at a position counted from the first significant one; '0' beyond them.
char digit_at(const Digits& d, int i) { return i >= 0 && i < d.count ? d.digits[i] : '0'; }

}  // namespace

std::string format_number(double value, std::string_view pattern) {
    const auto dot = pattern.find('.');
    const std::size_t decimals = dot == std::string_view::npos ? 0 : pattern.size() - dot - 1;
    std::size_t min_int = 0;
    for (char c : pattern.substr(0, dot))
        if (c == '0') ++min_int;

    if (unsigned long long units; min_int <= 24 && fixed_units(std::fabs(value), decimals, units)) {
        // The whole part's digits (none below one), padded to the pattern's, and the decimals.
        char buf[48];
        char* p = buf;
        if (value < 0 && units > 0) *p++ = '-';
        const unsigned long long whole = units / kPow10[decimals];
        char digits[24];
        const std::size_t n = whole > 0 ? std::size_t(std::to_chars(digits, digits + sizeof digits, whole).ptr - digits) : 0;
        for (std::size_t i = n; i < min_int; ++i) *p++ = '0';
        std::memcpy(p, digits, n);
        p += n;
        if (decimals > 0) {
            *p++ = '.';
            unsigned long long fraction = units % kPow10[decimals];
            for (std::size_t i = decimals; i-- > 0; fraction /= 10) p[i] = char('0' + fraction % 10);
            p += decimals;
        }
        return std::string(buf, p);
    }
    Number n = to_number(value);
    round_to(n.digits, decimals);
    const Digits& d = n.digits;
    const std::size_t integer = std::size_t(std::max(d.point, 0));
    std::string out;
    out.reserve(1 + std::max(integer, min_int) + 1 + decimals);
    if (n.negative && d.count > 0) out += '-';  // a value rounded to zero carries no sign
    if (integer < min_int) out.append(min_int - integer, '0');
    for (int i = 0; i < int(integer); ++i) out += digit_at(d, i);
    if (decimals > 0) {
        out += '.';
        for (int k = 0; k < int(decimals); ++k) out += digit_at(d, d.point + k);
    }
    return out;
}

std::string whole_number_text(unsigned long long v, std::size_t digits) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    const std::size_t n = std::size_t(res.ptr - buf);
    std::string out(n < digits ? digits - n : 0, '0');
    out.append(buf, n);
    return out;
}

std::string plain_tenths_text(unsigned long long tenths) {
    std::string out = whole_number_text(tenths / 10, 1);
    if (tenths % 10 != 0) {
        out += '.';
        out += char('0' + tenths % 10);
    }
    return out;
}

std::string tenths_text(unsigned long long tenths, std::size_t whole_digits) {
    std::string out = whole_number_text(tenths / 10, whole_digits);
    out += '.';
    out += char('0' + tenths % 10);
    return out;
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
    const Number n = to_number(value);
    const Digits& d = n.digits;
    if (d.count == 0) return "0";
    std::string out;
    if (n.negative) out += '-';
    if (d.point <= 0) {
        out += "0.";
        out.append(std::size_t(-d.point), '0');
        out.append(d.digits, std::size_t(d.count));
        return out;
    }
    for (int i = 0; i < d.point; ++i) out += digit_at(d, i);
    if (d.count > d.point) {
        out += '.';
        out.append(d.digits + d.point, std::size_t(d.count - d.point));
    }
    return out;
}

}  // namespace nlx
