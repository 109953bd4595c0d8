// The distribution row of a group: the 100 percentages stored under the group's 序号.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/models.h"
#include "core/result.h"
#include "store/database.h"

namespace nlx {

using DistributionPercent = std::vector<std::optional<double>>;

// The percentages of the distribution row whose 序号 equals `serial` as a number ("07" finds 7);
// a value that is not a number is nullopt. nullopt when the model keeps no distribution, the
// serial is not a number or no row has it; fails when the distribution table cannot be read.
Result<std::optional<DistributionPercent>> distribution_percent(const Database& db, const ModelInfo& model,
                                                                std::string_view serial);

}  // namespace nlx
