// Calendar arithmetic and byte layout of the time fields of generated groups.
#include "sim/encode/group_stamp.h"

#include "sim/encode/bytes.h"

namespace nlx::sim {
namespace {

int days_in_month(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int full_year = 2000 + year;
    bool leap = (full_year % 4 == 0 && full_year % 100 != 0) || full_year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

long long seconds_of_day(const GroupStamp& s) { return s.hour * 3600LL + s.minute * 60LL + s.second; }

}  // namespace

GroupStamp advanced(GroupStamp s, long long seconds) {
    long long total = seconds_of_day(s) + seconds;
    long long days = total / 86400;
    total %= 86400;
    s.hour = int(total / 3600);
    s.minute = int(total / 60 % 60);
    s.second = int(total % 60);
    for (; days > 0; --days) {
        if (++s.day > days_in_month(s.year, s.month)) {
            s.day = 1;
            if (++s.month > 12) {
                s.month = 1;
                s.year = (s.year + 1) % 100;
            }
        }
    }
    return s;
}

GroupStamp next_multiple(GroupStamp s, int period) {
    return advanced(s, period - seconds_of_day(s) % period);
}

Duration duration_of(unsigned seconds) {
    return {int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60)};
}

void put_stamp(std::span<std::uint8_t> b, std::size_t o, const GroupStamp& s, bool with_seconds) {
    b[o] = to_bcd(s.year);
    b[o + 1] = to_bcd(s.month);
    b[o + 2] = to_bcd(s.day);
    b[o + 3] = to_bcd(s.hour);
    b[o + 4] = to_bcd(s.minute);
    if (with_seconds) b[o + 5] = to_bcd(s.second);
}

void put_duration(std::span<std::uint8_t> b, std::size_t o, const Duration& d) {
    b[o] = to_bcd(d.seconds);
    b[o + 1] = to_bcd(d.minutes);
    b[o + 2] = to_bcd(d.hours);
}

}  // namespace nlx::sim
