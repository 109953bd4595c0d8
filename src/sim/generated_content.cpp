// Builds a transfer from the encoders' realistic group generators.
#include "sim/generated_content.h"

#include "sim/encode/encode_ab.h"
#include "sim/encode/encode_cde.h"

namespace nlx::sim {

Result<Capture> generated_capture(char model, int groups, std::uint32_t seed) {
    if (groups < 0) return fail("the number of groups cannot be negative");
    std::vector<std::uint8_t> data;
    switch (model) {
    case 'a': data = encode_transfer_a(realistic_groups_a(groups, seed)); break;
    case 'b': data = encode_transfer_b(realistic_groups_b(groups, seed)); break;
    case 'c': data = transfer_c(realistic_groups_c(groups, seed)); break;
    case 'd': data = transfer_d(realistic_groups_d(groups, seed)); break;
    case 'e': data = transfer_e(realistic_groups_e(groups, seed)); break;
    default: return fail(std::string("no instrument model '") + model + "'");
    }
    std::int32_t n = std::int32_t(data.size() / transfer_unit(model));
    auto count = count_bytes(model, n);
    if (!count)
        return fail(std::to_string(groups) + " groups of model " + std::string(1, model) +
                    " do not fit one transfer");
    Capture capture;
    capture.b1 = (*count)[0];
    capture.b2 = (*count)[1];
    capture.data = std::move(data);
    return capture;
}

}  // namespace nlx::sim
