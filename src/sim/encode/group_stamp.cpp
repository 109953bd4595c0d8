// Calendar arithmetic for generated groups.
#include "sim/encode/group_stamp.h"

namespace nlx::sim {
namespace {

int days_in_month(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int full_year = 2000 + year;
    bool leap = (full_year % 4 == 0 && full_year % 100 != 0) || full_year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

GroupStamp advanced(GroupStamp s, long long seconds) {
    long long total = s.hour * 3600LL + s.minute * 60LL + s.second + seconds;
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

}  // namespace nlx::sim
