// The file standard.cfg in the application folder: the standard and class (or the user's own
// limits) the groups are assessed against, kept apart from sys.cfg.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/result.h"

namespace nlx {

inline constexpr std::size_t kMaxStandardChoiceBytes = 4096;

// What the operator chose, as written: the standard's key ("gb3096", "gb10070", "eu", "user"),
// the class key ("2", "residential") and the limits in dB for the standards without classes
// (eu: Lden and Lnight; user: day and night). Whether they name a standard is checked where the
// standards are known.
struct StandardChoice {
    std::string standard;
    std::string zone;
    std::optional<double> day, night;
    bool operator==(const StandardChoice&) const = default;
};

std::filesystem::path standard_choice_path(const std::filesystem::path& app_folder);  // standard.cfg

// Lines "key=value" (standard, class, day, night; eu files say lden and lnight for day and
// night), "#" comment lines and blank lines; spaces around keys and values ignored.
Result<StandardChoice> parse_standard_choice(std::string_view text);
std::string standard_choice_text(const StandardChoice& choice);

// nullopt when the file does not exist (nothing chosen yet); an error beginning with the file's
// name when it cannot be read or holds something else.
Result<std::optional<StandardChoice>> load_standard_choice(const std::filesystem::path& file);
// Replaces the file atomically; the message names the file.
Result<void> save_standard_choice(const std::filesystem::path& file, const StandardChoice& choice);
// Removes the file, so that nothing is chosen; a file already gone is no error. The message
// names the file.
Result<void> remove_standard_choice(const std::filesystem::path& file);

}  // namespace nlx
