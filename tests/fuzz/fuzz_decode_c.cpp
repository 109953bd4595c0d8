// Fuzz target for the model c decoder: two count bytes, then the received data.
#include "decode_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    nlx::fuzz::check_decoder(*nlx::find_model('c'), bytes, size, 256, false);
    return 0;
}
