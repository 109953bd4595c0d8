// Fuzzes the model a decoder: first two bytes pick the transfer count, the rest is the data.
#include "core/number_format.h"
#include "decode_invariants.h"

using nlx::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const auto run = nlx::fuzz::decode_blocks(bytes, size, *nlx::find_model('a'));
    if (!run) return 0;
    const auto& [result, data, whole_blocks] = *run;
    const auto& model = *nlx::find_model('a');
    require(result.groups.size() <= whole_blocks, "more groups than whole blocks received");

    const auto filename = *nlx::record_column_index(model, "filename");
    const auto seq = *nlx::record_column_index(model, "序号");
    for (std::size_t j = 0; j < result.groups.size(); ++j) {
        const auto& g = result.groups[j];
        require(g.record.size() == model.record_columns.size(), "record column count");
        require(g.record[std::size_t(seq)] == nlx::format_number(double(j + 1), "00"), "序号");
        require(g.distribution.has_value(), "distribution row");
        require(g.distribution->seq == (long long)(j + 1), "distribution 序号");
        require(g.distribution->values.size() == 101, "distribution size");
        for (const auto& v : g.distribution->values)
            require(v.has_value() && *v >= 0 && *v < 100, "distribution value");
        const auto& name = g.record[std::size_t(filename)];
        require(name.has_value() == g.history.has_value(), "filename without file");
        if (g.history) require(g.history->name == *name, "file name");
    }
    return 0;
}
