// Model d groups to bytes: the vibration levels in the header layout models a and b share.
#include "sim/encode/encode_cde.h"
#include "sim/encode/join.h"
#include "sim/encode/shared_header.h"

namespace nlx::sim {

Block256 encode_group_d(const GroupD& g) {
    Block256 b{};
    b[0] = std::uint8_t(g.mode);
    const auto weighting = std::uint8_t((g.time_weighting & 0x0F) << 4 | (g.frequency_weighting & 0x0F));
    const StatLevels levels{g.vleq, g.vl5, g.vl10, g.vl50, g.vl90, g.vl95,
                            g.vsd,  g.vlav, g.vlmax, g.vlmin, g.e};
    put_shared_header(b, {weighting, g.start, g.set_time_code, g.sampling_code, levels, g.measured,
                          std::uint8_t(g.day_number)},
                      g.percent);
    return b;
}

std::vector<std::uint8_t> encode_transfer_d(std::span<const GroupD> groups) {
    return join_encoded(groups, encode_group_d);
}

}  // namespace nlx::sim
