// Model a: variable-length groups of whole 256-byte blocks, each a header, a level distribution
// and, for some modes, a time history that becomes a text file.
#include <algorithm>

#include "core/capture.h"
#include "core/models.h"
#include "decode/code_tables.h"
#include "decode/decoder.h"
#include "decode/shared_header.h"
#include "decode/history_files.h"
#include "core/number_format.h"
#include "decode/packed.h"
#include "decode/transfer_notes.h"

namespace nlx {
namespace {

constexpr std::size_t kBlock = 256;
constexpr std::size_t kDistributionOffset = 48;
constexpr std::size_t kDistributionBytesA = 101;


// Model a's columns in its record table, looked up once per transfer.
struct ColumnsA {
    explicit ColumnsA(const RecordBuilder& row)
        : seq(row.column(kSeqColumn)), group(row.column("组号")), shared(row), measured(row.column(kMeasuredTimeColumn)),
          code(row.column("CODE")), mode(row.column(kModeColumn)), file(row.column("filename")) {}
    std::size_t seq, group;
    SharedColumnsAB shared;
    std::size_t measured, code, mode, file;
};

// One group: `block` is its whole first block, `history` its time-history data as far as it
// arrived (the rest of the group after the first block). `j` counts groups from 0.
DecodedGroup decode_group(const ModelInfo& model, const ColumnsA& c, std::size_t j, std::span<const std::uint8_t> block,
                          std::span<const std::uint8_t> history, std::vector<DecodeNote>& notes) {
    auto h = block.first(kSharedHeaderBytes);
    const std::uint8_t mode = h[0];
    RecordBuilder row(model);
    row.set_at(c.seq, whole_number_text(j + 1, 2));
    row.set_at(c.mode, mode_text_a(mode, h[39]));
    row.set_at(c.group, format_text(std::to_string(h[1]) + std::to_string(h[2]), "000"));
    fill_shared_columns_ab(row, h, c.shared);
    row.set_at(c.measured, duration_text(h[38], h[37], h[36]));
    row.set_at(c.code, tenths_text(unsigned(single_byte_tenths(h[40])), 1));  // "##0.0"

    DecodedGroup group;
    if (auto kind = history_kind(mode)) {
        std::string name = std::to_string(h[1]) + std::to_string(h[2]) + std::to_string(j) +
                           std::string(history_extension(*kind));
        row.set_at(c.file, name);
        auto content = history_file_content(mode, h, history);
        if (content.ok())
            group.history = HistoryFile{name, std::move(content.value())};
        else
            notes.push_back(DecodeNote{.kind = DecodeNote::Kind::history_not_made, .group = j + 1,
                                       .name = name, .detail = content.message()});
    }
    group.record = row.take();
    group.distribution = half_percent_distribution(
        (long long)(j + 1), block.subspan(kDistributionOffset, kDistributionBytesA));
    return group;
}

}  // namespace

DecodeResult decode_a(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                      const GroupSink& each) {
    DecodeResult result;
    const std::size_t announced = announced_bytes(model, n);
    const std::size_t received = data.size();
    result.announced_bytes = announced;
    result.received_bytes = received;
    const std::size_t limit = std::min(announced, received);
    if (received < announced) result.notes.push_back(broken_off_note(received, announced));
    else if (received > announced) result.notes.push_back(surplus_note(received, announced));

    // Groups follow each other; each header says how many blocks its group occupies. A group is
    // decoded only when its whole first block arrived; nothing is read past the data received.
    const ColumnsA columns{RecordBuilder(model)};
    std::size_t start = 0;
    for (std::size_t j = 0; start < announced; ++j) {
        if (start + kBlock > received) {
            if (start < received)
                result.notes.push_back(DecodeNote{.kind = DecodeNote::Kind::first_block_incomplete,
                                                  .group = j + 1, .received = received - start});
            break;
        }
        auto block = data.subspan(start, kBlock);
        const std::size_t length = std::size_t(block[46]) << 8 | block[47];
        if (length == 0) {
            result.notes.push_back(DecodeNote{.kind = DecodeNote::Kind::zero_length, .group = j + 1, .at = start});
            break;
        }
        const std::size_t end = start + kBlock * length;
        const std::size_t cut = std::min(end, limit);  // start + 256 <= limit here
        auto history = data.subspan(start + kBlock, cut - (start + kBlock));
        // A group whose history data was lost to a broken line is not whole: its record would
        // name a file cut short. One that runs past the announced data keeps what was announced.
        bool whole = true;
        if (auto kind = history_kind(block[0]); kind && cut < end) {
            std::size_t wanted = std::min(end - (start + kBlock),
                                          history_bytes_wanted(*kind, block.first(kSharedHeaderBytes)));
            if (history.size() < wanted) {
                whole = received >= std::min(end, announced);
                result.notes.push_back(DecodeNote{.kind = DecodeNote::Kind::history_cut, .group = j + 1,
                                                  .received = history.size(), .announced = wanted, .stored = whole});
            }
        }
        if (!whole) break;
        if (!deliver(result, each, decode_group(model, columns, j, block, history, result.notes))) break;
        start = end;
    }
    return result;
}

}  // namespace nlx
