// Fuzzes the model b decoder: first two bytes pick the transfer count, the rest is the data.
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
    const std::int32_t n = std::int32_t((bytes[0] << 8 | bytes[1]) % 520) - 8;
    std::span<const std::uint8_t> data(bytes + 2, size - 2);

    const auto result = nlx::decode_b(data, n);
    const auto& model = *nlx::find_model('b');
    const std::size_t announced = n > 0 ? std::size_t(n) * 256 : 0;
    check(result.announced_bytes == announced, "announced bytes");
    check(result.received_bytes == data.size(), "received bytes");
    const std::size_t whole_blocks = std::min(announced, data.size()) / 256;

    // Every whole block is either a group or skipped for its type byte.
    std::size_t groups_expected = 0;
    for (std::size_t j = 0; j < whole_blocks; ++j) groups_expected += data[256 * j] <= 3;
    check(result.groups.size() == groups_expected, "groups differ from the blocks of types 0..3");

    const auto seq = *nlx::record_column_index(model, "序号");
    const auto mode = *nlx::record_column_index(model, "MODE");
    const auto duration = *nlx::record_column_index(model, "测量时间");
    for (const auto& g : result.groups) {
        check(g.record.size() == model.record_columns.size(), "record column count");
        check(g.distribution.has_value() && g.distribution->values.size() == 101, "distribution");
        check(g.record[std::size_t(seq)] ==
                  nlx::format_number(double(g.distribution->seq), "00"), "序号 of both rows");
        const std::size_t j = std::size_t(g.distribution->seq - 1);
        check(j < whole_blocks && data[256 * j] <= 3, "row from a block of types 0..3");
        check(!g.history.has_value(), "model b writes no files");
        check(g.record[std::size_t(mode)].has_value(), "MODE");
        check((*g.record[std::size_t(mode)] == "OCT") != g.record[std::size_t(duration)].has_value(),
              "测量时间 set except for OCT");
        for (std::size_t k = 0; k < 100; ++k)
            check(g.distribution->values[k].has_value() && *g.distribution->values[k] < 100,
                  "distribution value");
        check(!g.distribution->values[100].has_value(), "position 101 NULL");
    }
    return 0;
}
