// Cell formats of the printed reports.
#include "reports/cell_format.h"

#include <array>
#include <charconv>
#include <vector>

#include "core/number_format.h"

namespace nlx::reports {
namespace {

// The parts of a text split at `separators`, each one or more digits; nullopt otherwise.
std::optional<std::vector<int>> digit_parts(std::string_view text, std::string_view separators, std::size_t width) {
    std::vector<int> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find_first_of(separators, start);
        std::string_view part = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (part.empty() || part.size() > width) return std::nullopt;
        int value = 0;
        auto [ptr, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (ec != std::errc() || ptr != part.data() + part.size()) return std::nullopt;
        parts.push_back(value);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return parts;
}

std::string two_digits(int value) {
    return std::string(1, char('0' + value / 10 % 10)) + char('0' + value % 10);
}

bool leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::string padded_front(std::string text, std::size_t shorter_than, std::size_t spaces) {
    return text.size() < shorter_than ? std::string(spaces, ' ') + text : text;
}

// Blanks as wide as the cell's usual text.
std::size_t usual_width(CellKind kind) {
    switch (kind) {
        case CellKind::group: return 3;
        case CellKind::level:
        case CellKind::deviation:
        case CellKind::exposure: return 5;
        case CellKind::measure_time: return 9;
        case CellKind::date:
        case CellKind::time: return 8;
        case CellKind::percent_ratio: return 4;
        case CellKind::set_time:
        case CellKind::text: return 0;
    }
    return 0;
}

}  // namespace

std::optional<CalendarDate> read_date(std::string_view stored) {
    auto parts = digit_parts(stored, "-/", 4);
    if (!parts || parts->size() != 3) return std::nullopt;
    const std::size_t year_digits = stored.find_first_of("-/");
    if (year_digits == 3 || stored.size() - year_digits > 6) return std::nullopt;  // month, day: two digits at most
    int year = (*parts)[0], month = (*parts)[1], day = (*parts)[2];
    if (year_digits <= 2) year += year < 30 ? 2000 : 1900;
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) return std::nullopt;
    if (day > kDays[std::size_t(month - 1)] + (month == 2 && leap(year) ? 1 : 0)) return std::nullopt;
    return CalendarDate{year, month, day};
}

std::optional<std::string> date_text(std::string_view stored) {
    const auto date = read_date(stored);
    if (!date) return std::nullopt;
    return two_digits(date->year % 100) + "/" + two_digits(date->month) + "/" + two_digits(date->day);
}

std::optional<std::string> iso_date_text(std::string_view stored) {
    const auto date = read_date(stored);
    if (!date) return std::nullopt;
    return two_digits(date->year / 100) + two_digits(date->year % 100) + "-" + two_digits(date->month) + "-" +
           two_digits(date->day);
}

std::optional<std::string> time_text(std::string_view stored) {
    auto parts = digit_parts(stored, ":", 2);
    if (!parts || parts->size() < 2 || parts->size() > 3) return std::nullopt;
    const int h = (*parts)[0], m = (*parts)[1], s = parts->size() == 3 ? (*parts)[2] : 0;
    if (h > 23 || m > 59 || s > 59) return std::nullopt;
    return two_digits(h) + ":" + two_digits(m) + ":" + two_digits(s);
}

std::string cell_text(CellKind kind, const Cell& value, bool octave) {
    if (kind == CellKind::measure_time) {
        std::string text = octave || !value ? std::string() : *value;
        // The field is nine columns of the fixed-pitch face; its texts are Latin.
        text.resize(9, ' ');
        return text;
    }
    if (!value || value->empty()) {
        if (kind == CellKind::set_time) return "/";
        return std::string(usual_width(kind), ' ');
    }
    const std::string& v = *value;
    switch (kind) {
        case CellKind::group: return format_text(v, "000");
        case CellKind::level: return padded_front(format_text(v, "#00.0"), 5, 1);
        case CellKind::deviation: {
            std::string text = format_text(v, "##0.0");
            return text.size() < 4 ? "  " + text : padded_front(text, 5, 1);
        }
        case CellKind::exposure: return padded_front(format_text(v, "#0.00"), 5, 1);
        case CellKind::percent_ratio: return format_text(v, "#0.00");
        case CellKind::date: return date_text(v).value_or(v);
        case CellKind::time: return time_text(v).value_or(v);
        case CellKind::set_time:
        case CellKind::text:
        case CellKind::measure_time: return v;
    }
    return v;
}

}  // namespace nlx::reports
