// Each model's decoder, found from its descriptor: the one per-model fact the core cannot hold,
// since the core never reaches the decoders. Everything else about a model is its row in the
// model table (core/models).
#include "decode/decoder.h"

#include "core/models.h"

namespace nlx {
namespace {

using Decoder = DecodeResult (*)(const ModelInfo&, std::span<const std::uint8_t>, std::int32_t, const GroupSink&);

struct ModelDecoder {
    char letter;
    Decoder decode;
};

constexpr ModelDecoder kDecoders[] = {
    {'a', decode_a}, {'b', decode_b}, {'c', decode_c}, {'d', decode_d}, {'e', decode_e},
};

}  // namespace

DecodeResult decode(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                    const GroupSink& each) {
    for (const auto& d : kDecoders)
        if (d.letter == model.letter) return d.decode(model, data, n, each);
    return DecodeResult{};
}

}  // namespace nlx
