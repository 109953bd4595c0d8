// A calendar day, and today's on this computer's clock and time zone.
#pragma once

namespace nlx {

struct CalendarDate {
    int year = 2000, month = 1, day = 1;
};

CalendarDate local_today();

}  // namespace nlx
