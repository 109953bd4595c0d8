// The octave spectrum of an octave group: bands 31.5 Hz .. 8 kHz, AP and LA, and LC for model c.
#pragma once

#include "charts/chart.h"
#include "charts/group_rows.h"

namespace nlx::charts {

// Reads table positions 1..11 of `row` (and 12 for model c) as the band levels.
Chart octave_chart(char model, const GroupRows& rows, std::size_t row);

}  // namespace nlx::charts
