// Builds a transfer from the encoders' realistic group generators.
#include "sim/generated_content.h"

#include "core/models.h"
#include "sim/encode/encode_ab.h"
#include "sim/encode/encode_cde.h"

namespace nlx::sim {
namespace {

template <auto Generate, auto Encode>
std::vector<std::uint8_t> generated(int groups, std::uint32_t seed) {
    return Encode(Generate(groups, seed));
}

// The instrument's memory of each model: its generator of realistic groups and its encoder.
struct ModelContent {
    char letter;
    std::vector<std::uint8_t> (*data)(int groups, std::uint32_t seed);
};

constexpr ModelContent kContents[] = {
    {'a', generated<realistic_groups_a, encode_transfer_a>},
    {'b', generated<realistic_groups_b, encode_transfer_b>},
    {'c', generated<realistic_groups_c, encode_transfer_c>},
    {'d', generated<realistic_groups_d, encode_transfer_d>},
    {'e', generated<realistic_groups_e, encode_transfer_e>},
};

}  // namespace

Result<Capture> generated_capture(const ModelInfo& model, int groups, std::uint32_t seed) {
    if (groups < 0) return fail("the number of groups cannot be negative");
    const ModelInfo* info = &model;
    const ModelContent* content = nullptr;
    for (const auto& c : kContents)
        if (c.letter == model.letter) content = &c;
    if (!content) return fail(std::string("no instrument model '") + model.letter + "'");
    std::vector<std::uint8_t> data = content->data(groups, seed);
    std::int32_t n = std::int32_t(data.size() / info->transfer.unit);
    auto count = count_bytes(info->transfer, n);
    if (!count)
        return fail(std::to_string(groups) + " groups of model " + std::string(1, model.letter) +
                    " do not fit one transfer");
    Capture capture;
    capture.b1 = (*count)[0];
    capture.b2 = (*count)[1];
    capture.data = std::move(data);
    return capture;
}

}  // namespace nlx::sim
