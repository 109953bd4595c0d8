// Header fields that models a and b store at the same offsets with the same encodings.
#pragma once

#include <cstdint>
#include <span>

#include "core/rows.h"
#include "decode/row_builder.h"

namespace nlx {

// Bytes of a header the shared fields need (offsets 0 to 47).
inline constexpr std::size_t kHeaderBytesAB = 48;

// Fills the levels (Leq, L5 .. L95, SD, LAE, Lmax, Lmin, E), DATE, TIME, 设定时间, 采样间隔 and
// the weightings from a group header of at least 48 bytes.
void fill_shared_columns_ab(RecordBuilder& row, std::span<const std::uint8_t> header);

// A distribution row from `count` bytes starting at `bytes`: each byte is a percentage times 2;
// 100 % or more is stored as 0. Positions after `count` up to 101 stay NULL.
DistributionRow distribution_row_ab(long long seq, std::span<const std::uint8_t> bytes);

}  // namespace nlx
