// Fuzzes the model a decoder: first two bytes pick the transfer count, the rest is the data.
#include <cstdio>
#include <cstdlib>

#include "core/models.h"
#include "decode/decoder.h"
#include "decode/number_format.h"

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size < 2) return 0;
    // n from -8 to 511 blocks: no data, short, exact and over-long transfers all occur.
    const std::int32_t n = std::int32_t((bytes[0] << 8 | bytes[1]) % 520) - 8;
    std::span<const std::uint8_t> data(bytes + 2, size - 2);

    const auto result = nlx::decode_a(data, n);
    const auto& model = *nlx::find_model('a');
    const std::size_t announced = n > 0 ? std::size_t(n) * 256 : 0;
    check(result.announced_bytes == announced, "announced bytes");
    check(result.received_bytes == data.size(), "received bytes");
    const std::size_t whole_blocks = std::min(announced, data.size()) / 256;
    check(result.groups.size() <= whole_blocks, "more groups than whole blocks received");

    const auto filename = *nlx::record_column_index(model, "filename");
    const auto seq = *nlx::record_column_index(model, "序号");
    for (std::size_t j = 0; j < result.groups.size(); ++j) {
        const auto& g = result.groups[j];
        check(g.record.size() == model.record_columns.size(), "record column count");
        check(g.record[std::size_t(seq)] == nlx::format_number(double(j + 1), "00"), "序号");
        check(g.distribution.has_value(), "distribution row");
        check(g.distribution->seq == (long long)(j + 1), "distribution 序号");
        check(g.distribution->values.size() == 101, "distribution size");
        for (const auto& v : g.distribution->values)
            check(v.has_value() && *v >= 0 && *v < 100, "distribution value");
        const auto& name = g.record[std::size_t(filename)];
        check(name.has_value() == g.history.has_value(), "filename without file");
        if (g.history) check(g.history->name == *name, "file name");
    }
    return 0;
}
