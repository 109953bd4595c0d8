// Model e records to bytes: split levels, weighting and set-time codes, the measured time.
#include <cmath>

#include "sim/encode/bytes.h"
#include "sim/encode/encode_cde.h"
#include "sim/encode/join.h"

namespace nlx::sim {
namespace {

// Split level: units and tenths packed in byte o, the tens as a plain number in byte o+1.
void put_split_level(Record16& b, std::size_t o, double level) {
    int tenths = int(std::lround(level * 10));
    b[o] = to_bcd(tenths % 100);
    b[o + 1] = std::uint8_t(tenths / 100);
}

}  // namespace

Record16 encode_group_e(const RecordE& r) {
    Record16 b{};
    put_split_level(b, 0, r.lmin);
    b[2] = r.weighting;
    put_stamp(b, 3, r.start, /*with_seconds=*/false);
    b[8] = std::uint8_t(r.set_time_code);
    // The measured time runs hours first, unlike the 256-byte headers.
    b[9] = to_bcd(r.measured.hours);
    b[10] = to_bcd(r.measured.minutes);
    b[11] = to_bcd(r.measured.seconds);
    put_split_level(b, 12, r.leq);
    put_split_level(b, 14, r.lmax);
    return b;
}

std::vector<std::uint8_t> encode_transfer_e(std::span<const RecordE> records) {
    return join_encoded(records, encode_group_e);
}

}  // namespace nlx::sim
