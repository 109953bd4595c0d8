// Dispatch from the model letter to its decoder.
#include "decode/decoder.h"

namespace nlx {

DecodeResult decode(char model, std::span<const std::uint8_t> data, std::int32_t n) {
    switch (model) {
    case 'a': return decode_a(data, n);
    case 'b': return decode_b(data, n);
    case 'c': return decode_c(data, n);
    case 'd': return decode_d(data, n);
    case 'e': return decode_e(data, n);
    default: return DecodeResult{};
    }
}

}  // namespace nlx
