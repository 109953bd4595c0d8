// Model d: 256-byte vibration groups, modes 0..2 (VLAV, measured time) and 3 "OCT" (VLAE).
#include <optional>

#include "decode/capture.h"
#include "decode/code_tables.h"
#include "decode/code_tables_cde.h"
#include "decode/decoder.h"
#include "decode/number_format.h"
#include "decode/packed.h"
#include "decode/received_blocks.h"
#include "decode/row_builder.h"
#include "core/models.h"

namespace nlx {
namespace {

constexpr int kClasses = 100;  // distribution bytes 48 .. 147, one per 1 dB class

using Group = std::span<const std::uint8_t>;

std::string level_text(Group g, std::size_t o) {
    return format_number(packed_level(g[o], g[o + 1]), "#00.0");
}

DecodedGroup vibration_group(Group g, std::int32_t i) {
    const std::uint8_t mode = g[0];
    const bool octave = mode == 3;

    RecordBuilder row('d');
    row.set("序号", format_number(i + 1, "00"));
    row.set("VLeq", level_text(g, 18));
    row.set("VL5", level_text(g, 44));
    row.set("VL10", level_text(g, 20));
    row.set("VL50", level_text(g, 22));
    row.set("VL90", level_text(g, 24));
    row.set("VL95", level_text(g, 42));
    row.set("VSD", format_number(sd_level(g[26], g[27]), "##0.0"));
    row.set(octave ? "VLAE" : "VLAV", level_text(g, 28));
    row.set("VLmax", level_text(g, 30));
    row.set("VLmin", level_text(g, 32));
    row.set("E", format_number(packed_level(g[34], g[35]), "##0.0"));
    if (!octave) row.set("测量时间", duration_text(g[38], g[37], g[36]));
    row.set("DATE", date_text(g[4], g[5], g[6]));
    row.set("TIME", time_text(g[7], g[8], g[9]));
    row.set("设定时间", set_time_text(g[10]));
    row.set("采样间隔", sampling_interval_text(g[11]));
    row.set("MODE", mode_text_b(mode, g[39]));
    row.set("时间计权", time_weighting_text(g[3]));
    row.set("频率计权", frequency_weighting_text_d(g[3]));

    // Shares in units of 0.5 %; 100 % or more cannot be a share of one class and counts as 0.
    // Position 101 has no byte and stays empty.
    DistributionRow dist;
    dist.seq = i + 1;
    dist.values.assign(std::size_t(kDistributionValues), std::nullopt);
    for (int j = 0; j < kClasses; ++j) {
        double p = g[48 + std::size_t(j)] * 0.5;
        dist.values[std::size_t(j)] = p >= 100.0 ? 0.0 : p;
    }
    return DecodedGroup{row.take(), std::move(dist), std::nullopt};
}

}  // namespace

DecodeResult decode_d(std::span<const std::uint8_t> data, std::int32_t n) {
    DecodeResult result;
    result.announced_bytes = announced_bytes('d', n);
    result.received_bytes = data.size();
    ReceivedBlocks blocks = received_blocks(data, n);
    result.notes = std::move(blocks.notes);
    for (std::int32_t i = 0; i < blocks.whole; ++i) {
        Group g = data.subspan(std::size_t(i) * kGroupBytes, kGroupBytes);
        if (g[0] <= 3) result.groups.push_back(vibration_group(g, i));  // above 3: not a group
    }
    return result;
}

}  // namespace nlx
