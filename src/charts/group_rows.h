// The record rows the chart commands read: the rows as the operator sees them in the grid.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace nlx::charts {

// Text of a row (0-based) at a table position (0-based); "" past the row's columns.
struct GroupRows {
    std::size_t count = 0;
    std::function<std::string(std::size_t row, std::size_t position)> text;
};

// What the distribution command draws for a group, from the first three characters of MODE.
enum class GroupKind { statistics, day_profile, octave };
GroupKind group_kind(std::string_view mode);

}  // namespace nlx::charts
