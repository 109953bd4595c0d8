// Time-history files of model a groups: level-distribution (.ln), instantaneous-level (.li) and
// AC record (.ac) texts, built from a group's header and its time-history data, encoded in GBK.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/result.h"

namespace nlx {

enum class HistoryKind { level_distribution, instantaneous_level, ac_record };

// The file kind a mode byte selects: A1h, B1h .ln; A3h, B3h, C3h .li; D0h .ac; others none.
std::optional<HistoryKind> history_kind(std::uint8_t mode);

// ".ln", ".li" or ".ac".
std::string_view history_extension(HistoryKind kind);

// A level in tenths of a decibel as the files write it: 305 gives 30.5, 1024 gives 102.4.
std::string history_level_text(int tenths);

// How many data bytes a file of this kind reads at most, given the group header (at least 18
// bytes): 3075 for the 1025 level classes, the time-history length for .li, and the whole
// sample pairs covering it for .ac. Lets the decoder tell whether a cut group loses anything.
std::size_t history_bytes_wanted(HistoryKind kind, std::span<const std::uint8_t> header);

// The file's bytes in GBK for the group's mode byte, lines ended by CR LF, read from `data`: the
// group's time-history bytes, from the start of its second block to its end (or to where the
// received data stops). An error for a mode without a file or a header shorter than 18 bytes.
Result<std::string> history_file_content(std::uint8_t mode, std::span<const std::uint8_t> header,
                                         std::span<const std::uint8_t> data);

}  // namespace nlx
