// Model d: 256-byte vibration groups, modes 0..2 (VLAV, measured time) and 3 "OCT" (VLAE), in
// the header layout of models a and b.
#include <optional>

#include "core/models.h"
#include "decode/code_tables.h"
#include "decode/code_tables_cde.h"
#include "decode/decoder.h"
#include "decode/shared_header.h"
#include "core/number_format.h"
#include "decode/packed.h"
#include "decode/received_blocks.h"
#include "decode/row_builder.h"

namespace nlx {
namespace {

constexpr std::size_t kDistributionOffset = 48;
constexpr std::size_t kClasses = 100;  // distribution bytes 48 .. 147, one per 1 dB class
constexpr std::uint8_t kOctave = 3;

using Group = std::span<const std::uint8_t>;

// The vibration levels under the model's names, looked up once per transfer; the exposure level
// is VLAE in an octave group.
struct ColumnsD {
    explicit ColumnsD(const RecordBuilder& row) : measured(row, slots(row, false)), octave(row, slots(row, true)) {}
    static LevelSlots slots(const RecordBuilder& row, bool octave) {
        const LevelColumns& l = row.model().levels;
        return {l.leq, l.l5, l.l10, l.l50, l.l90, l.l95, l.sd, row.model().exposure_column(octave), l.lmax, l.lmin, "E"};
    }
    SharedColumns measured, octave;
};

DecodedGroup vibration_group(const ModelInfo& model, const ColumnsD& columns, Group g, std::int32_t i) {
    const std::uint8_t mode = g[0];
    const bool octave = mode == kOctave;

    RecordBuilder row(model);
    row.set(kSeqColumn, whole_number_text(unsigned(i) + 1, 2));
    fill_shared_columns(row, g, octave ? columns.octave : columns.measured);
    if (!octave) row.set(kMeasuredTimeColumn, duration_text(g[38], g[37], g[36]));
    row.set(kModeColumn, mode_text_b(mode, g[39]));
    row.set("频率计权", frequency_weighting_text_d(g[3]));
    return DecodedGroup{row.take(),
                        half_percent_distribution(i + 1, g.subspan(kDistributionOffset, kClasses)),
                        std::nullopt};
}

// A block whose mode byte is above 3 is no group and gives no row.
std::optional<DecodedGroup> group_d(const ModelInfo& model, const ColumnsD& columns, Group g, std::int32_t i) {
    if (g[0] > kOctave) return std::nullopt;
    return vibration_group(model, columns, g, i);
}

}  // namespace

DecodeResult decode_d(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                      const GroupSink& each) {
    const ColumnsD columns{RecordBuilder(model)};
    auto group = [&](const ModelInfo& m, Group g, std::int32_t i, std::vector<DecodeNote>&) {
        return group_d(m, columns, g, i);
    };
    return decode_whole_groups(model, data, n, group, each);
}

}  // namespace nlx
