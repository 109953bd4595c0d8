// Sample transfer content for the virtual instrument: count bytes and a known byte pattern.
#pragma once

#include <cstdint>

#include "core/capture.h"

namespace nlx::sim {

// A transfer announcing n units (blocks, or bytes for model e) filled with a fixed byte pattern
// that depends on `seed`; the bytes are not valid groups, only a known content to compare.
// A count no pair of count bytes can announce leaves both count bytes 0.
Capture patterned_capture(const ModelInfo& model, std::int32_t n, unsigned seed = 1);

}  // namespace nlx::sim
