// The language of the operator's texts: Chinese, the texts of the sources, or the language of any
// gettext catalogue installed beside the program; chosen by the command line, NLX_LANG, the file
// language.cfg of the application folder, or the locale.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace nlx {

// The code of the Chinese source texts, which need no catalogue.
inline constexpr std::string_view kChinese = "zh";

// Whether `code` has the form of a gettext language code: two or three lowercase letters, then
// optionally "_" and a region of capitals or digits, then optionally "@" and a variant of
// lowercase letters and digits: "en", "pt_BR", "sr@latin".
bool is_language_code(std::string_view code);

// Whether a language can be used: Chinese always, another when its catalogue is installed.
using LanguageInstalled = std::function<bool(std::string_view code)>;

// The language of the locale: the first of LANGUAGE (its first entry), LC_ALL, LC_MESSAGES and
// LANG that is set and not empty decides. Its language ("pt_BR" of "pt_BR.UTF-8", else "pt") is
// chosen when it is installed; anything else (zh_*, C, a language without a catalogue) is Chinese.
// `variable` returns the environment's value or nullopt.
using EnvironmentLookup = std::function<std::optional<std::string>(const char*)>;
std::string locale_language(const EnvironmentLookup& variable, const LanguageInstalled& installed);

std::filesystem::path language_choice_path(const std::filesystem::path& app_folder);  // language.cfg

// The language kept in language.cfg: nullopt when the file does not exist; an error naming the
// file when it cannot be read or names no language code. Whether it is installed is not checked.
Result<std::optional<std::string>> load_language_choice(const std::filesystem::path& file);
// Replaces the file atomically; the message names the file.
Result<void> save_language_choice(const std::filesystem::path& file, std::string_view code);

// What decides the language, strongest first: the command line's choice, NLX_LANG, the file's,
// the locale. `warnings` receives what was ignored (an NLX_LANG or a file that names no installed
// language). The command line's choice is taken as it is: its caller refuses one not installed.
std::string choose_language(const std::optional<std::string>& command_line, const std::filesystem::path& app_folder,
                            const EnvironmentLookup& variable, const LanguageInstalled& installed,
                            std::vector<std::string>& warnings);

// Where the compiled catalogues are, searched in this order: the folder NLX_LOCALE_DIR names (a
// translator's catalogue tried without installing it); <prefix>/share/nlx/locale for an installed
// program (its executable in <prefix>/bin, share/nlx/README beside it); the build tree's for one
// that is not. `executable_folder` as app_folder.h finds it.
std::vector<std::filesystem::path> catalogue_folders(const std::filesystem::path& executable_folder,
                                                     const EnvironmentLookup& variable);
// <folder>/<code>/LC_MESSAGES/nlx.mo
std::filesystem::path catalogue_file(const std::filesystem::path& folder, std::string_view code);
// The catalogue of `code` in the first folder that has one; nullopt for none, and for Chinese.
std::optional<std::filesystem::path> find_catalogue(const std::vector<std::filesystem::path>& folders,
                                                    std::string_view code);
// Chinese, and every language with a catalogue in `folders`.
LanguageInstalled installed_in(std::vector<std::filesystem::path> folders);

// A language the operator can choose: its code and its name in itself, as its catalogue
// translates the entry for the name of the language ("English", "Français"); the code when the
// catalogue has no such entry or cannot be read.
struct InstalledLanguage {
    std::string code;
    std::string name;

    bool operator==(const InstalledLanguage&) const = default;
};
// Chinese first, then the languages of the catalogues in `folders` in the order of their codes;
// a language in two folders is listed once.
std::vector<InstalledLanguage> installed_languages(const std::vector<std::filesystem::path>& folders);
// "zh, en, fr": the codes, for messages that say what can be chosen.
std::string language_codes(const std::vector<InstalledLanguage>& languages);

// Puts `code` in use: Chinese needs no catalogue; another loads the first catalogue found in
// `folders`. On an error Chinese stays in use and the message names the files tried.
Result<void> use_language(std::string_view code, const std::vector<std::filesystem::path>& folders);
// The code of the language in use: "zh" until another was put in use.
std::string_view language_in_use();

// The process's environment, for the functions above.
std::optional<std::string> environment_variable(const char* name);

}  // namespace nlx
