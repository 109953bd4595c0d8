// Which 256-byte groups of a block transfer (models b, c, d) arrived whole, and what was lost.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "decode/decoder.h"

namespace nlx {

inline constexpr std::size_t kGroupBytes = 256;

struct ReceivedBlocks {
    std::int32_t announced = 0;      // groups the transfer count promised (0 when n <= 0)
    std::int32_t whole = 0;          // groups 0 .. whole-1 arrived complete and can be decoded
    std::vector<DecodeNote> notes;   // the groups lost to a broken transfer, bytes ignored
};

// A group that did not arrive whole gives no row: its missing bytes would read as zeros, and
// a half-received group would produce a row of invented values.
ReceivedBlocks received_blocks(std::span<const std::uint8_t> data, std::int32_t n);

// Turns group i (its 256 bytes) into rows, or gives nullopt for a block that is no group (and
// may say so in `notes`).
using GroupDecoder = std::function<std::optional<DecodedGroup>(
    const ModelInfo& model, std::span<const std::uint8_t> group, std::int32_t i, std::vector<DecodeNote>& notes)>;

// Decodes every whole group of a block transfer of `model` in order and accounts for the bytes
// announced, received and lost, handing each group to `each` (collecting them without one).
DecodeResult decode_whole_groups(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                                 const GroupDecoder& decode_group, const GroupSink& each);

}  // namespace nlx
