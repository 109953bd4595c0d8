// A whole transfer from its groups: each group encoded, one after the other.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace nlx::sim {

template <class Group, class Encode>
std::vector<std::uint8_t> join_encoded(std::span<const Group> groups, Encode encode) {
    std::vector<std::uint8_t> out;
    for (const Group& g : groups) {
        const auto bytes = encode(g);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

}  // namespace nlx::sim
