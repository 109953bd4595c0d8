// Start date and time and measured duration of a group as the instruments keep them: moving a
// stamp on, and writing both as packed-decimal bytes.
#pragma once

#include <cstdint>
#include <span>

namespace nlx::sim {

// Year of the century (8 for 2008), month, day, hours, minutes, seconds; each stored as one
// packed-decimal byte.
struct GroupStamp {
    int year = 8, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
};

// Measured duration; stored as packed decimal, so each part 0..99.
struct Duration {
    int hours = 0, minutes = 0, seconds = 0;
};

// The stamp `seconds` (>= 0) later, across day, month and year ends (leap years counted).
GroupStamp advanced(GroupStamp stamp, long long seconds);

// The first stamp after `stamp` that lies a whole number of `period` seconds into its day
// (3600: the next full hour; 86400: the next midnight).
GroupStamp next_multiple(GroupStamp stamp, int period);

// A duration of `seconds` split into hours, minutes and seconds.
Duration duration_of(unsigned seconds);

// Year, month, day, hours, minutes (and seconds when `with_seconds`) as packed-decimal bytes
// from offset o on.
void put_stamp(std::span<std::uint8_t> bytes, std::size_t o, const GroupStamp& stamp,
               bool with_seconds = true);

// Seconds, minutes, hours as packed-decimal bytes at o, o+1, o+2 (the order of the 256-byte
// group headers).
void put_duration(std::span<std::uint8_t> bytes, std::size_t o, const Duration& duration);

}  // namespace nlx::sim
