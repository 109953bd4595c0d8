// Model b groups to bytes: one 256-byte block each.
#include "sim/encode/encode_ab.h"
#include "sim/encode/join.h"
#include "sim/encode/shared_header.h"

namespace nlx::sim {

std::vector<std::uint8_t> encode_group_b(const GroupB& g) {
    std::vector<std::uint8_t> bytes(256, 0);
    bytes[0] = g.type;
    put_shared_header(bytes, g, g.distribution_percent);
    return bytes;
}

std::vector<std::uint8_t> encode_transfer_b(std::span<const GroupB> groups) {
    return join_encoded(groups, encode_group_b);
}

StatLevels octave_levels(const std::array<double, 11>& v) {
    return {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]};
}

}  // namespace nlx::sim
