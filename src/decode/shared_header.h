// Header fields that models a, b and d store at the same offsets with the same encodings.
#pragma once

#include <cstdint>
#include <span>

#include "core/rows.h"
#include "decode/row_builder.h"

namespace nlx {

// Bytes of a header the shared fields need (offsets 0 to 47).
inline constexpr std::size_t kSharedHeaderBytes = 48;

// The columns of the level slots: Leq (18), L5 (44), L10 (20), L50 (22), L90 (24), L95 (42),
// SD (26), LAE (28), Lmax (30), Lmin (32), E (34). Model d keeps its vibration levels there.
struct LevelSlots {
    std::string_view leq, l5, l10, l50, l90, l95, sd, lae, lmax, lmin, e;
};
inline constexpr LevelSlots kSoundLevelSlots{"Leq", "L5",  "L10",  "L50",  "L90", "L95",
                                                 "SD",  "LAE", "Lmax", "Lmin", "E"};

// Where the shared columns lie in a model's record table: looked up by name once, then filled
// by position (the decoders look them up once per transfer rather than for every group).
struct SharedColumns {
    SharedColumns(const RecordBuilder& row, const LevelSlots& levels);
    std::size_t leq, l5, l10, l50, l90, l95, sd, lae, lmax, lmin, e, date, time, set_time, interval,
        time_weighting;
};

// Fills the level columns, DATE, TIME, 设定时间, 采样间隔 and 时间计权 from a group header of at
// least 48 bytes. The frequency weighting differs between the models and is left to the caller.
void fill_shared_columns(RecordBuilder& row, std::span<const std::uint8_t> header, const SharedColumns& columns);

// The shared columns of models a and b: those above with the sound levels, and 频率计权.
struct SharedColumnsAB {
    explicit SharedColumnsAB(const RecordBuilder& row);
    SharedColumns shared;
    std::size_t frequency;
};
void fill_shared_columns_ab(RecordBuilder& row, std::span<const std::uint8_t> header, const SharedColumnsAB& columns);

// A distribution row from `count` bytes starting at `bytes`: each byte is a percentage times 2;
// 100 % or more is stored as 0. Positions after `count` up to 101 stay NULL.
DistributionRow half_percent_distribution(long long seq, std::span<const std::uint8_t> bytes);

}  // namespace nlx
