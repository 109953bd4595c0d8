// The model decoders: pure functions from the received bytes and the transfer count to rows.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/decode_note.h"
#include "core/rows.h"

namespace nlx {

struct ModelInfo;

struct DecodeResult {
    std::vector<DecodedGroup> groups;  // in group order (empty when each group was handed to a sink)
    std::size_t announced_bytes = 0;   // what the transfer count promised
    std::size_t received_bytes = 0;    // what was handed in
    std::vector<DecodeNote> notes;     // data the decoder could not use
};

// Takes each group as it is decoded, in group order, and may move from it: a store writes the
// group and lets it go, so a transfer is never held whole in memory. Returning false stops the
// decode there (the store failed); the notes then cover what was read so far.
using GroupSink = std::function<bool(DecodedGroup& group)>;

// `data` is exactly what arrived after the count bytes (it may be shorter than announced after a
// broken transfer); `n` is the transfer count of the model (blocks, or bytes for model e). Each
// decoder is handed its own model's descriptor, whose columns its rows fill. Without a sink the
// groups are collected in the result.
DecodeResult decode_a(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                      const GroupSink& each = {});
DecodeResult decode_b(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                      const GroupSink& each = {});
DecodeResult decode_c(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                      const GroupSink& each = {});
DecodeResult decode_d(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                      const GroupSink& each = {});
DecodeResult decode_e(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                      const GroupSink& each = {});

// The model's own decoder.
DecodeResult decode(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                    const GroupSink& each = {});

// Hands a decoded group on: to the sink when there is one (its answer says whether to go on),
// else into the result. For the decoders.
inline bool deliver(DecodeResult& result, const GroupSink& each, DecodedGroup&& group) {
    if (each) return each(group);
    result.groups.push_back(std::move(group));
    return true;
}

}  // namespace nlx
