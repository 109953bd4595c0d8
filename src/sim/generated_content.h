// Deterministic instrument contents: realistic groups of a model turned into a whole transfer.
#pragma once

#include <cstdint>

#include "core/result.h"
#include "core/capture.h"

namespace nlx::sim {

// `groups` realistic groups of the model (statistical groups, 24-hour runs, octave groups and
// history groups as the model has them), encoded as the instrument sends them. Fails when the
// transfer would not fit the two count bytes.
Result<Capture> generated_capture(const ModelInfo& model, int groups, std::uint32_t seed);

}  // namespace nlx::sim
