// Model b: one group per 256-byte block; the type byte says which kind, or that it is no group.
#include "decode/capture.h"
#include "decode/code_tables.h"
#include "decode/decoder.h"
#include "decode/header_abd.h"
#include "decode/number_format.h"
#include "decode/packed.h"

namespace nlx {
namespace {

constexpr std::size_t kBlock = 256;
constexpr std::size_t kDistributionOffset = 48;
constexpr std::size_t kDistributionBytesB = 100;
constexpr std::uint8_t kOctave = 3;

DecodedGroup decode_block(std::size_t j, std::span<const std::uint8_t> block) {
    const std::uint8_t type = block[0];
    RecordBuilder row('b');
    row.set("序号", format_number(double(j + 1), "00"));
    fill_shared_columns_ab(row, block);
    if (type != kOctave) row.set("测量时间", duration_text(block[38], block[37], block[36]));
    row.set("MODE", mode_text_b(type, block[39]));

    DecodedGroup group;
    group.record = row.take();
    group.distribution = distribution_row_abd(
        (long long)(j + 1), block.subspan(kDistributionOffset, kDistributionBytesB));
    return group;
}

}  // namespace

DecodeResult decode_b(std::span<const std::uint8_t> data, std::int32_t n) {
    DecodeResult result;
    const std::size_t announced = announced_bytes('b', n);
    const std::size_t received = data.size();
    result.announced_bytes = announced;
    result.received_bytes = received;
    const std::size_t blocks = announced / kBlock;
    const std::size_t whole = std::min(announced, received) / kBlock;  // blocks that arrived whole

    for (std::size_t j = 0; j < whole; ++j) {
        auto block = data.subspan(j * kBlock, kBlock);
        if (block[0] > kOctave) {
            result.notes.push_back("block " + std::to_string(j + 1) + ": type byte " +
                                   std::to_string(block[0]) + " is no group; skipped");
            continue;
        }
        result.groups.push_back(decode_block(j, block));
    }

    if (whole < blocks)
        result.notes.push_back("transfer incomplete: received " + std::to_string(received) +
                               " of " + std::to_string(announced) + " announced bytes; blocks " +
                               std::to_string(whole + 1) + " to " + std::to_string(blocks) +
                               " not decoded");
    else if (received > announced)
        result.notes.push_back(std::to_string(received - announced) +
                               " bytes after the announced " + std::to_string(announced) +
                               " bytes ignored");
    return result;
}

}  // namespace nlx
