// The octave spectrum of an octave group: bands 31.5 Hz .. 8 kHz, AP and LA, and LC for model c.
#pragma once

#include "charts/chart.h"
#include "charts/group_rows.h"
#include "core/models.h"

namespace nlx::charts {

// Reads table positions 1..11 of `row` (and 12 for model c, whose octave form has twelve bands)
// as the band levels.
Chart octave_chart(const ModelInfo& model, const GroupRows& rows, std::size_t row);

}  // namespace nlx::charts
