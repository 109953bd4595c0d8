// Model b: one group per 256-byte block; the type byte says which kind, or that it is no group.
#include "core/models.h"
#include "decode/code_tables.h"
#include "decode/decoder.h"
#include "decode/shared_header.h"
#include "core/number_format.h"
#include "decode/packed.h"
#include "decode/received_blocks.h"

namespace nlx {
namespace {

constexpr std::size_t kDistributionOffset = 48;
constexpr std::size_t kDistributionBytesB = 100;
constexpr std::uint8_t kOctave = 3;

DecodedGroup decode_block(const ModelInfo& model, const SharedColumnsAB& shared, std::size_t j,
                          std::span<const std::uint8_t> block) {
    const std::uint8_t type = block[0];
    RecordBuilder row(model);
    row.set(kSeqColumn, whole_number_text(j + 1, 2));
    fill_shared_columns_ab(row, block, shared);
    if (type != kOctave) row.set(kMeasuredTimeColumn, duration_text(block[38], block[37], block[36]));
    row.set(kModeColumn, mode_text_b(type, block[39]));

    DecodedGroup group;
    group.record = row.take();
    group.distribution = half_percent_distribution(
        (long long)(j + 1), block.subspan(kDistributionOffset, kDistributionBytesB));
    return group;
}

// A block whose type byte is above 3 is no group: skipped, with a note.
std::optional<DecodedGroup> group_b(const ModelInfo& model, const SharedColumnsAB& shared,
                                    std::span<const std::uint8_t> block, std::int32_t j, std::vector<DecodeNote>& notes) {
    if (block[0] > kOctave) {
        notes.push_back(DecodeNote{.kind = DecodeNote::Kind::not_a_group, .group = std::size_t(j) + 1, .at = block[0]});
        return std::nullopt;
    }
    return decode_block(model, shared, std::size_t(j), block);
}

}  // namespace

DecodeResult decode_b(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                      const GroupSink& each) {
    // The shared columns are looked up once per transfer, as for model a.
    const SharedColumnsAB shared{RecordBuilder(model)};
    auto group = [&](const ModelInfo& m, std::span<const std::uint8_t> block, std::int32_t j,
                     std::vector<DecodeNote>& notes) { return group_b(m, shared, block, j, notes); };
    return decode_whole_groups(model, data, n, group, each);
}

}  // namespace nlx
