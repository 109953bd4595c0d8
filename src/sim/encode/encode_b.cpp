// Model b groups to bytes: one 256-byte block each.
#include "sim/encode/encode_ab.h"
#include "sim/encode/shared_ab.h"

namespace nlx::sim {

std::vector<std::uint8_t> encode_block_b(const GroupB& g) {
    std::vector<std::uint8_t> bytes(256, 0);
    bytes[0] = g.type;
    put_shared_ab(bytes, g.weighting, g.start, g.set_time_code, g.sampling_code, g.levels,
                  g.measured, g.day_number, g.distribution_percent);
    return bytes;
}

std::vector<std::uint8_t> encode_transfer_b(std::span<const GroupB> groups) {
    std::vector<std::uint8_t> out;
    out.reserve(groups.size() * 256);
    for (const auto& g : groups) {
        auto bytes = encode_block_b(g);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

StatLevels octave_levels(const std::array<double, 11>& v) {
    return {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]};
}

}  // namespace nlx::sim
