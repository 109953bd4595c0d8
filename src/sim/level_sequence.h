// A sequence of live levels for the virtual instrument to answer with, read from a file.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace nlx::sim {

// One entry per live-level request, in tenths of a decibel as the instrument counts them;
// nullopt: the request gets no reply.
using LevelSequence = std::vector<std::optional<int>>;

// One level a line in dB with at most one decimal ("85.6", "40"), or "-" for a request left
// unanswered; blank lines and lines starting with # are skipped. A level outside 0..6553.5 or a
// line that is no level is refused, naming the line.
Result<LevelSequence> parse_level_sequence(std::string_view text);
// The file's levels; a failure names the file.
Result<LevelSequence> read_level_sequence(const std::filesystem::path& file);

}  // namespace nlx::sim
