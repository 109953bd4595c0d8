// Fuzzes the capture import path: the first byte picks the model, the rest is a capture file
// (two count bytes, then the data) that is parsed, counted and decoded as an import does it.
// Nothing touches the store or the file system; history file names are checked as the names
// they will become in the storage folder.
#include <string_view>

#include "decode_invariants.h"

namespace {

using nlx::fuzz::require;

// The model of the first byte: its own letter for 'a'..'e', the others spread over the five.
char model_of(std::uint8_t first) {
    int k = (int(first) - 'a') % 5;
    return char('a' + (k < 0 ? k + 5 : k));
}

// Digits, then exactly one of the three extensions: nothing that could leave the storage folder.
bool plain_history_name(const std::string& name) {
    std::size_t dot = name.find('.');
    if (dot == 0 || dot == std::string::npos) return false;
    for (std::size_t i = 0; i < dot; ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    std::string_view ext = std::string_view(name).substr(dot);
    return ext == ".ln" || ext == ".li" || ext == ".ac";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size < 1) return 0;
    const nlx::ModelInfo& model = *nlx::find_model(model_of(bytes[0]));
    std::span<const std::uint8_t> file(bytes + 1, size - 1);
    auto capture = nlx::parse_capture(file);
    require(capture.ok() == (file.size() >= 2), "capture files of two or more bytes parse");
    if (!capture.ok()) return 0;
    require(nlx::capture_bytes(*capture) == std::vector<std::uint8_t>(file.begin(), file.end()),
            "capture file round trip");

    const std::int32_t n = nlx::transfer_count(model, capture->b1, capture->b2);
    const nlx::DecodeResult r = nlx::decode(model, capture->data, n);

    const nlx::ModelInfo& info = model;
    require(r.announced_bytes == nlx::announced_bytes(model, n), "announced byte count");
    require(r.received_bytes == capture->data.size(), "received byte count");
    const std::size_t usable = std::min(r.announced_bytes, r.received_bytes);
    const std::size_t unit = info.transfer.unit == 1 ? 16 : 256;  // a record or a block
    require(r.groups.size() <= (usable + unit - 1) / unit, "more groups than the data holds");

    const auto filename = nlx::record_column_index(info, "filename");
    std::size_t distributions = 0;
    for (const auto& g : r.groups) {
        require(g.record.size() == info.record_columns.size(), "record row column count");
        for (const auto& cell : g.record)
            if (cell) require(nlx::fuzz::sane_text(*cell), "NaN, infinity or exponent text in a cell");
        if (g.distribution) {
            ++distributions;
            require(info.has_distribution, "distribution row for a model without the table");
            require(g.distribution->values.size() == std::size_t(nlx::kDistributionValues),
                    "distribution row length");
            for (const auto& v : g.distribution->values)
                if (v) require(std::isfinite(*v) && *v >= 0, "distribution value");
        }
        if (g.history) {
            require(info.history_files, "history file from a model without them");
            require(plain_history_name(g.history->name), "history file name not digits and .ln/.li/.ac");
            require(filename && g.record[std::size_t(*filename)] == g.history->name,
                    "history file name differs from the filename column");
        }
    }
    require(distributions <= r.groups.size(), "more distribution rows than record rows");
    return 0;
}
