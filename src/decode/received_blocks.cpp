// Accounting of a block transfer: whole groups, the broken tail, surplus bytes.
#include "decode/received_blocks.h"

#include <algorithm>

#include "core/capture.h"
#include "decode/transfer_notes.h"

namespace nlx {

ReceivedBlocks received_blocks(std::span<const std::uint8_t> data, std::int32_t n) {
    ReceivedBlocks r;
    r.announced = std::max<std::int32_t>(n, 0);
    const std::size_t announced_bytes = std::size_t(r.announced) * kGroupBytes;
    const std::size_t arrived = std::min(data.size(), announced_bytes);
    r.whole = std::int32_t(arrived / kGroupBytes);

    if (r.whole < r.announced) {
        r.notes.push_back(broken_off_note(data.size(), announced_bytes));
        r.notes.push_back(DecodeNote{.kind = DecodeNote::Kind::groups_not_whole,
                                     .group = std::size_t(r.whole) + 1,
                                     .last = std::size_t(r.announced),
                                     .count = std::size_t(r.announced)});
    }
    if (data.size() > announced_bytes) r.notes.push_back(surplus_note(data.size(), announced_bytes));
    return r;
}

DecodeResult decode_whole_groups(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                                 const GroupDecoder& decode_group, const GroupSink& each) {
    DecodeResult result;
    result.announced_bytes = announced_bytes(model, n);
    result.received_bytes = data.size();
    ReceivedBlocks blocks = received_blocks(data, n);
    result.notes = std::move(blocks.notes);
    if (!each) result.groups.reserve(std::size_t(blocks.whole));
    for (std::int32_t i = 0; i < blocks.whole; ++i) {
        auto group = decode_group(model, data.subspan(std::size_t(i) * kGroupBytes, kGroupBytes), i, result.notes);
        if (group && !deliver(result, each, std::move(*group))) break;
    }
    return result;
}

}  // namespace nlx
