// Encoders for models c, d and e: readable measurement values to the instruments' byte layouts,
// whole transfers, and deterministic realistic data for tests and demos.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

#include "sim/encode/group_stamp.h"

namespace nlx::sim {

using Block256 = std::array<std::uint8_t, 256>;
using Record16 = std::array<std::uint8_t, 16>;

// ---- Model c -----------------------------------------------------------------------------

// A statistical group: type A0h (single measurement) or B0h (one hour of a 24-hour run).
struct StatGroupC {
    bool day_run = false;   // B0h instead of A0h
    int day_number = 0;     // byte 39, shown after "24h"; numbers the hours of a run from 1
    int time_weighting = 0; // low nibble of byte 3: 0 fast, otherwise slow
    GroupStamp start;
    int set_time_code = 1;  // byte 10: 0 manual, 1 10s .. 9 24hour
    unsigned duration_s = 0;  // bytes 15..17
    Duration measured;        // measured time, bytes 38, 37, 36
    double leq = 0, l5 = 0, l10 = 0, l50 = 0, l90 = 0, l95 = 0, lmax = 0, lmin = 0;
    std::optional<double> sd;  // stored deviation; nullopt stores FFh (computed from the counts)
    std::array<unsigned, 101> counts{};  // samples at 30 .. 130 dB (the last is not in the total)
};

// An octave-band group (type D0h).
struct OctaveGroupC {
    int time_weighting = 0;
    GroupStamp start;
    // 31.5, 63, 125, 250, 500 Hz, 1, 2, 4, 8 kHz, then the AP, LA and LC levels.
    std::array<double, 12> bands{};
};

using GroupC = std::variant<StatGroupC, OctaveGroupC>;

Block256 encode_group_c(const StatGroupC& group);
Block256 encode_group_c(const OctaveGroupC& group);
Block256 encode_group_c(const GroupC& group);
std::vector<std::uint8_t> encode_transfer_c(std::span<const GroupC> groups);

// Plausible model c data: single measurements, octave groups and 24-hour runs of 24 hourly
// groups with their hours numbered 1..24, one after the other in time.
std::vector<GroupC> realistic_groups_c(int count, std::uint32_t seed);

// ---- Model d -----------------------------------------------------------------------------

struct GroupD {
    int mode = 0;                 // type byte: 0 STA, 1 24h, 2 IEC, 3 OCT
    int day_number = 0;           // byte 39 (mode 1)
    int time_weighting = 0;       // high nibble of byte 3: 0 fast, otherwise slow
    int frequency_weighting = 0;  // low nibble of byte 3: 0 Z, 1 XY, 2 L, 3 E
    GroupStamp start;
    int set_time_code = 0;        // byte 10: 0 10s .. 10 24hour
    int sampling_code = 0;        // byte 11: 0 0.01s .. 9 10s
    double vleq = 0, vl5 = 0, vl10 = 0, vl50 = 0, vl90 = 0, vl95 = 0;
    double vsd = 0;
    double vlav = 0;              // VLAV, or VLAE for a mode 3 group (same bytes)
    double vlmax = 0, vlmin = 0, e = 0;
    Duration measured;            // measured time (modes 0..2)
    std::array<double, 100> percent{};  // share of the classes 40 .. 139 dB, steps of 0.5 %
};

Block256 encode_group_d(const GroupD& group);
std::vector<std::uint8_t> encode_transfer_d(std::span<const GroupD> groups);

// Plausible vibration data: STA, IEC and OCT groups and 24-hour runs (mode 1, hours 1..24).
std::vector<GroupD> realistic_groups_d(int count, std::uint32_t seed);

// ---- Model e -----------------------------------------------------------------------------

struct RecordE {
    double lmin = 0, leq = 0, lmax = 0;  // split levels, 0.0 .. 2559.9
    std::uint8_t weighting = 0xA0;       // A0h A/F, A1h A/S, A2h C/F, A3h C/S, A4h z/F, A5h z/S
    GroupStamp start;                    // seconds are not stored
    int set_time_code = 0;               // 0 manual, 1 10s .. 10 24h
    Duration measured;                   // measured time Tm
};

Record16 encode_group_e(const RecordE& record);
std::vector<std::uint8_t> encode_transfer_e(std::span<const RecordE> records);

// Plausible records: levels of a bell-shaped distribution, set or manual measuring times.
std::vector<RecordE> realistic_groups_e(int count, std::uint32_t seed);

}  // namespace nlx::sim
