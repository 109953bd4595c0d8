// Accounting of a block transfer: whole groups, the broken tail, surplus bytes.
#include "decode/received_blocks.h"

#include <algorithm>

#include "decode/capture.h"

namespace nlx {

ReceivedBlocks received_blocks(std::span<const std::uint8_t> data, std::int32_t n) {
    ReceivedBlocks r;
    r.announced = std::max<std::int32_t>(n, 0);
    const std::size_t announced_bytes = std::size_t(r.announced) * kGroupBytes;
    const std::size_t arrived = std::min(data.size(), announced_bytes);
    r.whole = std::int32_t(arrived / kGroupBytes);

    if (r.whole < r.announced) {
        std::string lost = r.whole + 1 == r.announced
                               ? "group " + std::to_string(r.announced)
                               : "groups " + std::to_string(r.whole + 1) + " to " +
                                     std::to_string(r.announced);
        r.notes.push_back("the transfer broke off after " + std::to_string(data.size()) + " of " +
                          std::to_string(announced_bytes) + " bytes: " + lost + " of " +
                          std::to_string(r.announced) + " did not arrive whole and give no rows");
    }
    if (data.size() > announced_bytes)
        r.notes.push_back(std::to_string(data.size() - announced_bytes) + " bytes beyond the " +
                          std::to_string(r.announced) +
                          " announced groups were ignored");
    return r;
}

DecodeResult decode_whole_groups(char model, std::span<const std::uint8_t> data, std::int32_t n,
                                 const GroupDecoder& decode_group) {
    DecodeResult result;
    result.announced_bytes = announced_bytes(model, n);
    result.received_bytes = data.size();
    ReceivedBlocks blocks = received_blocks(data, n);
    result.notes = std::move(blocks.notes);
    for (std::int32_t i = 0; i < blocks.whole; ++i) {
        if (auto group = decode_group(data.subspan(std::size_t(i) * kGroupBytes, kGroupBytes), i))
            result.groups.push_back(std::move(*group));
    }
    return result;
}

}  // namespace nlx
