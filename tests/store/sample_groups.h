// Hand-made decoded groups for the store and record-command tests.
#pragma once

#include <string>
#include <vector>

#include "core/models.h"
#include "core/rows.h"
#include "core/number_format.h"

namespace nlx::test {

// A group of `model` numbered `seq`: 序号 "07"-style, `marker` in the second column, the other
// columns "c<position>" except the last, which stays NULL. Statistical groups of models a..d
// carry a distribution row with `values` percentages (value k is seq + k / 10).
inline DecodedGroup sample_group(char model, int seq, const std::string& marker, int values = 101) {
    const ModelInfo& m = *find_model(model);
    DecodedGroup g;
    g.record.resize(m.record_columns.size());
    g.record[0] = format_number(seq, "00");
    g.record[1] = marker;
    // Appended rather than "c" + text: GCC 12 warns, wrongly, of overlapping copies there.
    for (std::size_t i = 2; i + 1 < g.record.size(); ++i) g.record[i] = std::string("c").append(std::to_string(i));
    if (m.has_distribution && values > 0) {
        DistributionRow d;
        d.seq = seq;
        for (int k = 0; k < values; ++k) d.values.push_back(seq + k / 10.0);
        g.distribution = d;
    }
    return g;
}

inline std::vector<DecodedGroup> sample_groups(char model, int count, const std::string& marker, int first_seq = 1) {
    std::vector<DecodedGroup> out;
    for (int i = 0; i < count; ++i) out.push_back(sample_group(model, first_seq + i, marker));
    return out;
}

}  // namespace nlx::test
