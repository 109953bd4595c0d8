// Model e records to bytes: split levels, weighting and set-time codes, the measured time.
#include <algorithm>
#include <cmath>

#include "sim/encode/bytes.h"
#include "sim/encode/encode_cde.h"
#include "sim/encode/realistic_levels.h"

namespace nlx::sim {
namespace {

// Seconds of the set-time codes 1..10 (0 is a manual stop).
constexpr std::array<unsigned, 11> kSetSeconds = {0, 10, 60, 300, 600, 1200, 3600, 7200, 14400, 28800, 86400};

// Split level: units and tenths packed in byte o, the tens as a plain number in byte o+1.
void put_split_level(Record16& b, std::size_t o, double level) {
    int tenths = int(std::lround(level * 10));
    b[o] = to_bcd(tenths % 100);
    b[o + 1] = std::uint8_t(tenths / 100);
}

}  // namespace

Record16 encode_record_e(const RecordE& r) {
    Record16 b{};
    put_split_level(b, 0, r.lmin);
    b[2] = r.weighting;
    b[3] = to_bcd(r.start.year);
    b[4] = to_bcd(r.start.month);
    b[5] = to_bcd(r.start.day);
    b[6] = to_bcd(r.start.hour);
    b[7] = to_bcd(r.start.minute);
    b[8] = std::uint8_t(r.set_time_code);
    b[9] = to_bcd(r.hours);
    b[10] = to_bcd(r.minutes);
    b[11] = to_bcd(r.seconds);
    put_split_level(b, 12, r.leq);
    put_split_level(b, 14, r.lmax);
    return b;
}

std::vector<std::uint8_t> transfer_e(std::span<const RecordE> records) {
    std::vector<std::uint8_t> out;
    out.reserve(records.size() * 16);
    for (const auto& r : records) {
        auto b = encode_record_e(r);
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

std::vector<RecordE> realistic_groups_e(int count, std::uint32_t seed) {
    Rng rng(seed);
    std::vector<RecordE> out;
    GroupStamp now{rng.between(8, 12), rng.between(1, 12), rng.between(1, 28), rng.between(7, 10),
                   rng.between(0, 59), 0};
    for (int i = 0; i < count; ++i) {
        RecordE r;
        r.weighting = std::uint8_t(0xA0 + rng.between(0, 5));
        r.set_time_code = rng.chance(0.1) ? 0 : rng.between(1, 8);
        unsigned seconds = r.set_time_code == 0 ? unsigned(rng.between(30, 7200))
                                                : kSetSeconds[std::size_t(r.set_time_code)];
        r.hours = int(seconds / 3600);
        r.minutes = int(seconds / 60 % 60);
        r.seconds = int(seconds % 60);
        r.leq = round_tenth(rng.uniform(40.0, 90.0));
        r.lmax = round_tenth(r.leq + rng.uniform(2.0, 25.0));
        r.lmin = round_tenth(std::max(20.0, r.leq - rng.uniform(2.0, 20.0)));
        r.start = now;
        out.push_back(r);
        now = advanced(now, seconds + unsigned(rng.between(60, 3600)));
    }
    return out;
}

}  // namespace nlx::sim
