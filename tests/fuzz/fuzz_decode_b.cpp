// Fuzzes the model b decoder: first two bytes pick the transfer count, the rest is the data.
#include "core/number_format.h"
#include "decode_invariants.h"

using nlx::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const auto run = nlx::fuzz::decode_blocks(bytes, size, *nlx::find_model('b'));
    if (!run) return 0;
    const auto& [result, data, whole_blocks] = *run;
    const auto& model = *nlx::find_model('b');

    // Every whole block is either a group or skipped for its type byte.
    std::size_t groups_expected = 0;
    for (std::size_t j = 0; j < whole_blocks; ++j) groups_expected += data[256 * j] <= 3;
    require(result.groups.size() == groups_expected, "groups differ from the blocks of types 0..3");

    const auto seq = *nlx::record_column_index(model, "序号");
    const auto mode = *nlx::record_column_index(model, "MODE");
    const auto duration = *nlx::record_column_index(model, "测量时间");
    for (const auto& g : result.groups) {
        require(g.record.size() == model.record_columns.size(), "record column count");
        require(g.distribution.has_value() && g.distribution->values.size() == 101, "distribution");
        require(g.record[std::size_t(seq)] ==
                    nlx::format_number(double(g.distribution->seq), "00"), "序号 of both rows");
        const std::size_t j = std::size_t(g.distribution->seq - 1);
        require(j < whole_blocks && data[256 * j] <= 3, "row from a block of types 0..3");
        require(!g.history.has_value(), "model b writes no files");
        require(g.record[std::size_t(mode)].has_value(), "MODE");
        require((*g.record[std::size_t(mode)] == "OCT") != g.record[std::size_t(duration)].has_value(),
                "测量时间 set except for OCT");
        for (std::size_t k = 0; k < 100; ++k)
            require(g.distribution->values[k].has_value() && *g.distribution->values[k] < 100,
                    "distribution value");
        require(!g.distribution->values[100].has_value(), "position 101 NULL");
    }
    return 0;
}
