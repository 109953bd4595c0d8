// The TM27 micro-printer's printout of one group: the exact bytes sent down the serial line.
#pragma once

#include "core/models.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/result.h"
#include "reports/report_rows.h"

namespace nlx::reports {

// Ten printed lines, each ended by 0Dh, in the GBK code page: the group number in double width
// (No.005), date and time, mode and weightings, the set or measured time and the sampling
// interval, the levels Leq..L95 and SD, and E in Pa²h. Model d reads its vibration columns
// (VLeq..VLmin, VSD, VLAE or VLAV) under the same printed labels.
//
// Fails, with the operator's text naming the group and the column, when a printed cell is
// empty or missing, when 序号 is not a whole number, and for model e, whose records have no
// L5..L95 and SD.
Result<std::vector<std::uint8_t>> tm27_printout(const ModelInfo& model, const ReportRows& rows, std::size_t row);

}  // namespace nlx::reports
