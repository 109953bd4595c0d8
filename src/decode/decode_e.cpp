// Model e: a byte-counted transfer of 16-byte records, decoded step by step as the bytes come.
#include <algorithm>
#include <cmath>
#include <optional>

#include "core/capture.h"
#include "core/models.h"
#include "decode/code_tables_cde.h"
#include "decode/decoder.h"
#include "core/number_format.h"
#include "decode/packed.h"
#include "decode/row_builder.h"
#include "decode/transfer_notes.h"

namespace nlx {
namespace {

constexpr std::size_t kRecordBytes = 16;

// The bytes of one record that are there to read: a record cut short by the transfer count or
// by a broken transfer has fewer than 16.
class Record {
public:
    explicit Record(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool has(std::size_t offset, std::size_t size) const { return offset + size <= bytes_.size(); }
    std::uint8_t operator[](std::size_t offset) const { return bytes_[offset]; }
    std::size_t size() const { return bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
};

// Split level in tenths of a decibel: units and tenths packed in byte o, the tens as a plain
// number in byte o+1.
std::optional<unsigned> split_tenths(const Record& r, std::size_t o) {
    if (!r.has(o, 2)) return std::nullopt;
    return unsigned(100 * r[o + 1] + BCD(r[o]));
}

std::optional<std::string> split_level(const Record& r, std::size_t o) {
    if (auto tenths = split_tenths(r, o)) return plain_tenths_text(*tenths);
    return std::nullopt;
}

// Measured time in seconds from hours, minutes and seconds in packed decimal.
std::optional<unsigned> measured_seconds(const Record& r) {
    if (!r.has(9, 3)) return std::nullopt;
    return unsigned(3600 * BCD(r[9]) + 60 * BCD(r[10]) + BCD(r[11]));
}

// Exposure in Pa²h for the reference pressure 20 µPa, the same scale as model c's "E".
double exposure(double leq, unsigned seconds) {
    return 4e-10 * std::pow(10.0, leq / 10.0) * double(seconds) / 3600.0;
}

// The record table's columns the steps fill, looked up once for the whole transfer.
struct Columns {
    std::size_t seq, group, leq, frequency, time_weighting, date, time, set_time, tm, lmax, lmin, e, lae, dl;
    explicit Columns(const RecordBuilder& row)
        : seq(row.column(kSeqColumn)), group(row.column("组号")), leq(row.column("Leq")),
          frequency(row.column("频率计权")), time_weighting(row.column("时间计权")), date(row.column("DATE")),
          time(row.column("TIME")), set_time(row.column("设定时间")), tm(row.column("Tm")),
          lmax(row.column("Lmax")), lmin(row.column("Lmin")), e(row.column("E")), lae(row.column("LAE")),
          dl(row.column("DL")) {}
};

// Performs steps 0 .. steps-1 for group g. A step fills its column only from bytes that are
// there; steps 12 to 15 do nothing.
RecordRow record_row(const ModelInfo& model, const Columns& c, const Record& r, std::size_t g, std::size_t steps) {
    RecordBuilder row(model);
    std::optional<unsigned> t;
    std::optional<double> leq;  // the number the Leq text reads as, for E and LAE
    std::optional<double> e;    // the number the E text reads as, for DL
    for (std::size_t s = 0; s < steps; ++s) {
        switch (s) {
        case 0:
            row.set_at(c.seq, whole_number_text(g + 1, 2));
            row.set_at(c.group, whole_number_text(g + 1, 3));
            t = measured_seconds(r);
            break;
        case 1:
            // The number its text reads as: the double nearest the tenths, as the text parses.
            if (auto tenths = split_tenths(r, 12)) {
                leq = *tenths / 10.0;
                row.set_at(c.leq, plain_tenths_text(*tenths));
            }
            break;
        case 2:
            if (r.has(2, 1))
                if (auto w = weightings_e(r[2])) {
                    row.set_at(c.frequency, w->frequency);
                    row.set_at(c.time_weighting, w->time);
                }
            break;
        case 3:
            if (r.has(3, 3)) row.set_at(c.date, date_text(r[3], r[4], r[5]));
            break;
        case 4:
            if (r.has(6, 2)) row.set_at(c.time, two_digit_text(r[6]) + ":" + two_digit_text(r[7]));
            break;
        case 5:
            if (r.has(8, 1)) row.set_at(c.set_time, set_time_text_e(r[8]));
            break;
        case 6:
            if (r.has(9, 3)) row.set_at(c.tm, time_text(r[9], r[10], r[11]));
            break;
        case 7: row.set_at(c.lmax, split_level(r, 14)); break;
        case 8: row.set_at(c.lmin, split_level(r, 0)); break;
        case 9:
            if (leq && t) {
                std::string text = format_number(exposure(*leq, *t), "#00.00");
                e = parse_decimal(text).value_or(0.0);
                row.set_at(c.e, std::move(text));
            }
            break;
        case 10:
            // A measured time of 0 s has no exposure level; the column stays unset.
            if (leq && t && *t > 0) row.set_at(c.lae, format_number(*leq + 10.0 * std::log10(double(*t)), "#000.0"));
            break;
        case 11:
            if (e) row.set_at(c.dl, *e == 0.0 ? std::string("0") : plain_number_text(*e * 100.0) + "%");
            break;
        default: break;
        }
    }
    return row.take();
}

std::vector<DecodeNote> loss_notes(std::size_t received, std::size_t announced) {
    using K = DecodeNote::Kind;
    std::vector<DecodeNote> notes;
    const std::size_t groups = (announced + kRecordBytes - 1) / kRecordBytes;
    if (received < announced) {
        notes.push_back(broken_off_note(received, announced));
        std::size_t next = received / kRecordBytes + 1;  // first group not received whole, from 1
        if (received % kRecordBytes != 0) notes.push_back(DecodeNote{.kind = K::record_incomplete, .group = next++});
        if (next <= groups) notes.push_back(DecodeNote{.kind = K::records_lost, .group = next, .last = groups});
    } else if (announced % kRecordBytes != 0) {
        notes.push_back(DecodeNote{.kind = K::count_not_whole, .group = groups,
                                   .received = announced % kRecordBytes, .announced = announced});
    }
    if (received > announced) notes.push_back(surplus_note(received, announced));
    return notes;
}

}  // namespace

DecodeResult decode_e(const ModelInfo& model, std::span<const std::uint8_t> data, std::int32_t n,
                      const GroupSink& each) {
    DecodeResult result;
    result.announced_bytes = announced_bytes(model, n);
    result.received_bytes = data.size();
    result.notes = loss_notes(data.size(), result.announced_bytes);

    // Only bytes that arrived within the announced count are read; a step whose own byte did
    // not arrive is not performed, and a column whose bytes did not arrive stays unset.
    const std::size_t usable = std::min(data.size(), result.announced_bytes);
    if (!each) result.groups.reserve((usable + kRecordBytes - 1) / kRecordBytes);
    const Columns columns{RecordBuilder(model)};
    for (std::size_t base = 0; base < usable; base += kRecordBytes) {
        std::size_t size = std::min(kRecordBytes, usable - base);
        Record r(data.subspan(base, size));
        if (!deliver(result, each,
                     DecodedGroup{record_row(model, columns, r, base / kRecordBytes, size), std::nullopt, std::nullopt}))
            break;
    }
    return result;
}

}  // namespace nlx
