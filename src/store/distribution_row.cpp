// Looking up a group's distribution row by the number of its 序号.
#include "store/distribution_row.h"

#include "core/number_format.h"

namespace nlx {

Result<std::optional<DistributionPercent>> distribution_percent(const Database& db, const ModelInfo& model,
                                                                std::string_view serial) {
    const auto key = parse_decimal(serial);
    if (!model.has_distribution || !key) return std::optional<DistributionPercent>();
    auto found = db.find_row(distribution_table_name(model.letter), *key);
    if (!found) return found.error();
    if (!*found) return std::optional<DistributionPercent>();
    DistributionPercent percent;
    for (std::size_t k = 1; k < (*found)->size(); ++k) percent.push_back((**found)[k].as_number());
    return std::optional<DistributionPercent>(std::move(percent));
}

}  // namespace nlx
