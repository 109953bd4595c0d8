// Start date and time of a measurement group as the instruments keep it, and moving it on.
#pragma once

namespace nlx::sim {

// Year of the century (8 for 2008), month, day, hours, minutes, seconds; each stored as one
// packed-decimal byte.
struct GroupStamp {
    int year = 8, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
};

// The stamp `seconds` (>= 0) later, across day, month and year ends (leap years counted).
GroupStamp advanced(GroupStamp stamp, long long seconds);

}  // namespace nlx::sim
