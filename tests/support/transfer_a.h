// A whole model a transfer of realistic groups (with level-distribution, level and AC history
// files), as the instrument sends it: count bytes and data.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/capture.h"
#include "sim/encode/encode_ab.h"
#include "support/model_of.h"
#include "support/temp_dir.h"

namespace nlx::test {

inline Capture realistic_transfer_a(int groups, std::uint32_t seed) {
    auto data = sim::encode_transfer_a(sim::realistic_groups_a(groups, seed));
    auto count = count_bytes(model_of('a'), std::int32_t(data.size() / 256));
    return Capture{(*count)[0], (*count)[1], data};
}

// Writes a model a capture file of `capture`, as a download keeps it.
inline void write_capture_a(const std::filesystem::path& file, const Capture& capture) {
    const auto bytes = capture_file_bytes(model_of('a'), {"2026-12-09 10:00:00", "/dev/ttyUSB0", 9600}, capture);
    write_file(file, std::string(bytes.begin(), bytes.end()));
}

}  // namespace nlx::test
