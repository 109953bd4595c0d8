// Encoders for models a and b: readable group values to the instruments' byte layouts, whole
// transfers and deterministic generators of realistic groups.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "sim/encode/group_stamp.h"
#include "sim/encode/shared_header.h"

namespace nlx::sim {

// One model a group. The time-history bytes follow the first block: 3-byte class counts for
// .ln modes (ln_history), one byte per sample for .li (li_history), byte pairs for .ac
// (ac_sample). history_length goes to header bytes 15..17: samples for .li, bytes for .ac.
struct GroupA : SharedHeader {
    std::uint8_t mode = 0xA0;
    std::uint8_t group_part1 = 0, group_part2 = 0;
    std::uint8_t ac_interval_ms = 0;
    double code_value = 0;        // "CODE", 0.0 .. 9.9
    std::array<double, 101> distribution_percent{};  // per 1 dB step from 30 dB
    std::vector<std::uint8_t> history;
    std::uint32_t history_length = 0;
};

// One model b group (one block). Type 0 STA, 1 24h, 2 IEC, 3 OCT.
struct GroupB : SharedHeader {
    std::uint8_t type = 0;
    std::array<double, 100> distribution_percent{};
};

// Blocks the group occupies: its first block plus the blocks its history needs.
std::size_t group_blocks_a(const GroupA& group);

// A whole number of 256-byte blocks with the group length (bytes 46, 47) filled in.
std::vector<std::uint8_t> encode_group_a(const GroupA& group);
// Exactly 256 bytes.
std::vector<std::uint8_t> encode_group_b(const GroupB& group);

// The data of a whole transfer: the groups one after the other.
std::vector<std::uint8_t> encode_transfer_a(std::span<const GroupA> groups);
std::vector<std::uint8_t> encode_transfer_b(std::span<const GroupB> groups);

// Time-history builders: class counts (3 bytes each, low byte first), instantaneous levels in dB
// (30.0 dB + 0.4 dB steps, rounded to the nearest step), and one AC sample whose value is
// factor * raw (factor 1..32, raw -512..1535).
std::vector<std::uint8_t> ln_history(std::span<const std::uint32_t> class_counts);
std::vector<std::uint8_t> li_history(std::span<const double> levels_db);
std::array<std::uint8_t, 2> ac_sample(int factor, int raw);

// The 11 bands of an octave group (31.5 Hz .. 8 kHz, AP, LA) in the level columns' order.
StatLevels octave_levels(const std::array<double, 11>& bands);

// Deterministic, plausible groups for tests, the simulator and the demo. Model a cycles through
// STA groups (A0h, A2h), an .ln group (A1h), .li groups (A3h, C3h), COL (C0h), AC (D0h), "24h no"
// (B0h) and a 24-hour run of 24 hourly B1h groups numbered 1..24 with .ln histories. Model b
// cycles through STA, IEC, OCT groups and a 24-hour run of 24 hourly type-1 groups.
std::vector<GroupA> realistic_groups_a(int count, std::uint32_t seed);
std::vector<GroupB> realistic_groups_b(int count, std::uint32_t seed);

}  // namespace nlx::sim
