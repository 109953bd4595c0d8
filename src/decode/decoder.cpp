// Dispatch from the model letter to its decoder: the one per-model fact the core cannot hold,
// since the core never reaches the decoders. Everything else about a model is its row in the
// model table (core/models).
#include "decode/decoder.h"

#include "core/models.h"

namespace nlx {
namespace {

using Decoder = DecodeResult (*)(std::span<const std::uint8_t>, std::int32_t);

struct ModelDecoder {
    char letter;
    Decoder decode;
};

constexpr ModelDecoder kDecoders[] = {
    {'a', decode_a}, {'b', decode_b}, {'c', decode_c}, {'d', decode_d}, {'e', decode_e},
};

}  // namespace

DecodeResult decode(char model, std::span<const std::uint8_t> data, std::int32_t n) {
    if (!find_model(model)) return DecodeResult{};
    for (const auto& d : kDecoders)
        if (d.letter == model) return d.decode(data, n);
    return DecodeResult{};
}

}  // namespace nlx
