// Model a groups to bytes: header, distribution and time history in whole 256-byte blocks.
#include <cmath>

#include "sim/encode/bytes.h"
#include "sim/encode/encode_ab.h"
#include "sim/encode/join.h"
#include "sim/encode/shared_header.h"

namespace nlx::sim {
namespace {
constexpr std::size_t kBlock = 256;
}

std::size_t group_blocks_a(const GroupA& g) { return 1 + (g.history.size() + kBlock - 1) / kBlock; }

std::vector<std::uint8_t> encode_group_a(const GroupA& g) {
    const std::size_t blocks = group_blocks_a(g);
    std::vector<std::uint8_t> bytes(blocks * kBlock, 0);
    std::span<std::uint8_t> b(bytes);
    b[0] = g.mode;
    b[1] = g.group_part1;
    b[2] = g.group_part2;
    put_shared_header(b, g, g.distribution_percent);
    b[14] = g.ac_interval_ms;
    put_u24_be(b, 15, g.history_length);
    b[40] = to_bcd(int(std::lround(g.code_value * 10)));
    put_u16_be(b, 46, unsigned(blocks));
    std::copy(g.history.begin(), g.history.end(), bytes.begin() + kBlock);
    return bytes;
}

std::vector<std::uint8_t> encode_transfer_a(std::span<const GroupA> groups) {
    return join_encoded(groups, encode_group_a);
}

std::vector<std::uint8_t> ln_history(std::span<const std::uint32_t> counts) {
    std::vector<std::uint8_t> out(counts.size() * 3);
    for (std::size_t i = 0; i < counts.size(); ++i) put_u24_le(out, 3 * i, counts[i]);
    return out;
}

std::vector<std::uint8_t> li_history(std::span<const double> levels_db) {
    std::vector<std::uint8_t> out;
    out.reserve(levels_db.size());
    for (double level : levels_db) {
        long step = std::lround((level - 30.0) / 0.4);
        out.push_back(std::uint8_t(step < 0 ? 0 : step > 255 ? 255 : step));
    }
    return out;
}

std::array<std::uint8_t, 2> ac_sample(int factor, int raw) {
    int eleven = raw + 512;  // 0 .. 2047: low 3 bits of the first byte, then the second byte
    return {std::uint8_t((factor - 1) * 8 + eleven / 256), std::uint8_t(eleven % 256)};
}

}  // namespace nlx::sim
