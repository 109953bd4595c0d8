// The language of the operator's texts: Chinese, or English from its catalogue; chosen by the
// command line, NLX_LANG, the file language.cfg of the application folder, or the locale.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace nlx {

enum class Language { chinese, english };

// "zh" and "en" (what NLX_LANG, --lang and language.cfg say); nullopt for anything else.
std::optional<Language> parse_language(std::string_view code);
std::string_view language_code(Language language);  // "zh", "en"

// The language of the locale: the first of LANGUAGE (its first entry), LC_ALL, LC_MESSAGES and
// LANG that is set and not empty decides; "en" or "en_*" is English, anything else (zh_*, C,
// de_DE …) Chinese. `variable` returns the environment's value or nullopt.
using EnvironmentLookup = std::function<std::optional<std::string>(const char*)>;
Language locale_language(const EnvironmentLookup& variable);

std::filesystem::path language_choice_path(const std::filesystem::path& app_folder);  // language.cfg

// The language kept in language.cfg: nullopt when the file does not exist; an error naming the
// file when it cannot be read or names no language.
Result<std::optional<Language>> load_language_choice(const std::filesystem::path& file);
// Replaces the file atomically; the message names the file.
Result<void> save_language_choice(const std::filesystem::path& file, Language language);

// What decides the language, strongest first: the command line's choice, NLX_LANG, the file's,
// the locale. `warnings` receives what was ignored (an NLX_LANG or a file that names no language).
Language choose_language(std::optional<Language> command_line, const std::filesystem::path& app_folder,
                         const EnvironmentLookup& variable, std::vector<std::string>& warnings);

// Where the compiled catalogues are: <prefix>/share/nlx/locale for an installed program (its
// executable in <prefix>/bin, share/nlx/README beside it); the build tree's for one that is not. `executable_folder` as app_folder.h finds it.
std::vector<std::filesystem::path> catalogue_folders(const std::filesystem::path& executable_folder);
// <folder>/<code>/LC_MESSAGES/nlx.mo
std::filesystem::path catalogue_file(const std::filesystem::path& folder, Language language);

// Puts `language` in use: Chinese needs no catalogue; English loads the first catalogue found
// in `folders`. On an error Chinese stays in use and the message names the files tried.
Result<void> use_language(Language language, const std::vector<std::filesystem::path>& folders);

// The process's environment, for the functions above.
std::optional<std::string> environment_variable(const char* name);

}  // namespace nlx
