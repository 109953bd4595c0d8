// The model decoders: pure functions from the received bytes and the transfer count to rows.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/decode_note.h"
#include "core/rows.h"

namespace nlx {

struct ModelInfo;

struct DecodeResult {
    std::vector<DecodedGroup> groups;  // in group order; the caller stores them in this order
    std::size_t announced_bytes = 0;   // what the transfer count promised
    std::size_t received_bytes = 0;    // what was handed in
    std::vector<DecodeNote> notes;     // data the decoder could not use
};

// `data` is exactly what arrived after the count bytes (it may be shorter than announced after a
// broken transfer); `n` is the transfer count of the model (blocks, or bytes for model e). Each
// decoder is handed its own model's descriptor, whose columns its rows fill.
DecodeResult decode_a(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n);
DecodeResult decode_b(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n);
DecodeResult decode_c(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n);
DecodeResult decode_d(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n);
DecodeResult decode_e(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n);

// The model's own decoder.
DecodeResult decode(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n);

}  // namespace nlx
