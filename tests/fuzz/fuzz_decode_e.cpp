// Fuzz target for the model e decoder: two count bytes, then the received data.
#include "decode_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    nlx::fuzz::check_decoder(*nlx::find_model('e'), bytes, size, 16, true);
    return 0;
}
