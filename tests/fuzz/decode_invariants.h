// Checks shared by the decoder fuzz targets: an input is two count bytes and the received data.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>

#include "core/models.h"
#include "core/capture.h"
#include "decode/decoder.h"

namespace nlx::fuzz {

[[noreturn]] inline void broken(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline void require(bool ok, const char* what) {
    if (!ok) broken(what);
}

// A text cell must never carry a non-number produced by arithmetic: no NaN or infinity in any
// letter case, and no exponent (a digit or point, then e, then a digit or sign). An upper-case E
// is no exponent: digit texts of bytes that are not packed decimal show hexadecimal digits
// ("7E"), and number formatting writes exponents in lower case.
inline bool sane_text(const std::string& s) {
    std::string lower(s);
    for (char& c : lower) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower.find("nan") != std::string::npos || lower.find("inf") != std::string::npos) return false;
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t i = 1; i + 1 < s.size(); ++i) {
        if (s[i] != 'e') continue;
        const char before = s[i - 1], after = s[i + 1];
        if ((digit(before) || before == '.') && (digit(after) || after == '+' || after == '-'))
            return false;
    }
    return true;
}

// The model a and b targets: the first two bytes pick a transfer count n of -8 to 511 blocks (no
// data, short, exact and over-long transfers all occur), the rest is the data. Decodes it and
// checks the byte accounting; nullopt for an input too short to hold n.
struct BlockDecode {
    DecodeResult result;
    std::span<const std::uint8_t> data;
    std::size_t whole_blocks = 0;  // blocks that arrived whole within the announced ones
};
inline std::optional<BlockDecode> decode_blocks(const std::uint8_t* bytes, std::size_t size, const ModelInfo& model) {
    if (size < 2) return std::nullopt;
    const std::int32_t n = std::int32_t((bytes[0] << 8 | bytes[1]) % 520) - 8;
    BlockDecode d{{}, std::span<const std::uint8_t>(bytes + 2, size - 2), 0};
    d.result = decode(model, d.data, n);
    const std::size_t announced = n > 0 ? std::size_t(n) * 256 : 0;
    require(d.result.announced_bytes == announced, "announced bytes");
    require(d.result.received_bytes == d.data.size(), "received bytes");
    d.whole_blocks = std::min(announced, d.data.size()) / 256;
    return d;
}

// Runs `decode` on a capture file's layout and checks what every decoder promises: row counts
// bounded by what arrived (whole groups, or started records when `partial_groups`), one cell per column, finite numbers, distribution rows of 101 values.
inline void check_decoder(const ModelInfo& model, const std::uint8_t* bytes, std::size_t size,
                          std::size_t group_bytes, bool partial_groups) {
    if (size < 2) return;
    std::int32_t n = transfer_count(model, bytes[0], bytes[1]);
    std::span<const std::uint8_t> data(bytes + 2, size - 2);
    DecodeResult r = decode(model, data, n);

    const ModelInfo* info = &model;
    std::size_t announced = announced_bytes(model, n);
    std::size_t usable = std::min(announced, data.size());
    require(r.announced_bytes == announced, "announced byte count");
    require(r.received_bytes == data.size(), "received byte count");
    std::size_t bound = partial_groups ? (usable + group_bytes - 1) / group_bytes : usable / group_bytes;
    require(r.groups.size() <= bound, "more groups than the received bytes hold");
    require((data.size() != announced) == !r.notes.empty() ||
                (partial_groups && announced % group_bytes != 0),
            "a loss without a note, or a note without a loss");
    for (const auto& g : r.groups) {
        require(g.record.size() == info->record_columns.size(), "record row column count");
        for (const auto& cell : g.record)
            if (cell) require(sane_text(*cell), "non-finite or exponent text in a cell");
        if (g.distribution) {
            require(info->has_distribution, "distribution row for a model without the table");
            require(g.distribution->values.size() == std::size_t(kDistributionValues),
                    "distribution row length");
            for (const auto& v : g.distribution->values)
                if (v) require(std::isfinite(*v) && *v >= 0, "distribution value");
        }
    }
}

}  // namespace nlx::fuzz
