// Choosing the language of the operator's texts and putting its catalogue in use.
#include "core/language.h"

#include <cstdlib>
#include <system_error>

#include "core/atomic_file.h"
#include "core/blank_trim.h"
#include "core/catalogue.h"
#include "core/read_file.h"

namespace nlx {
namespace fs = std::filesystem;
std::optional<Language> parse_language(std::string_view code) {
    if (code == "zh") return Language::chinese;
    if (code == "en") return Language::english;
    return std::nullopt;
}

std::string_view language_code(Language language) { return language == Language::english ? "en" : "zh"; }

Language locale_language(const EnvironmentLookup& variable) {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const auto value = variable(name);
        if (!value || value->empty()) continue;
        std::string_view locale = *value;
        if (std::string_view(name) == "LANGUAGE") locale = locale.substr(0, locale.find(':'));
        if (locale.empty()) continue;
        const bool english = locale == "en" || locale.starts_with("en_") || locale.starts_with("en.") || locale.starts_with("en@");
        return english ? Language::english : Language::chinese;
    }
    return Language::chinese;
}

fs::path language_choice_path(const fs::path& app_folder) { return app_folder / "language.cfg"; }

Result<std::optional<Language>> load_language_choice(const fs::path& file) {
    std::error_code ec;
    if (fs::symlink_status(file, ec).type() == fs::file_type::not_found) return std::optional<Language>();
    auto text = read_regular_file(file, 4096);
    if (!text) return fail(text.message());
    std::string_view rest = *text;
    std::optional<Language> language;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = trimmed(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.empty() || line.front() == '#') continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos || trimmed(line.substr(0, equals)) != "language")
            return fail(file.string() + " is not valid: a line is not language=zh or language=en");
        language = parse_language(trimmed(line.substr(equals + 1)));
        if (!language) return fail(file.string() + " is not valid: the language is neither zh nor en");
    }
    if (!language) return fail(file.string() + " is not valid: it names no language (a line language=zh or language=en)");
    return language;
}

Result<void> save_language_choice(const fs::path& file, Language language) {
    return write_file_atomically(file, "# nlx: the language of the windows (设置 → 语言): zh or en\nlanguage=" +
                                           std::string(language_code(language)) + "\n");
}

Language choose_language(std::optional<Language> command_line, const fs::path& app_folder,
                         const EnvironmentLookup& variable, std::vector<std::string>& warnings) {
    if (command_line) return *command_line;
    if (const auto env = variable("NLX_LANG"); env && !env->empty()) {
        if (const auto language = parse_language(*env)) return *language;
        warnings.push_back("NLX_LANG=" + env->substr(0, 40) + " is neither zh nor en; it is ignored");
    }
    auto kept = load_language_choice(language_choice_path(app_folder));
    if (!kept) warnings.push_back(kept.message() + "; it is ignored");
    else if (*kept) return **kept;
    return locale_language(variable);
}

std::vector<fs::path> catalogue_folders(const fs::path& executable_folder) {
    std::vector<fs::path> folders;
    bool installed = false;
    if (!executable_folder.empty()) {
        const fs::path share = executable_folder.parent_path() / "share" / "nlx";
        std::error_code ec;
        installed = fs::exists(share / "README", ec);  // what an installed program has beside bin/
        folders.push_back(share / "locale");
    }
#ifdef NLX_BUILD_LOCALE_FOLDER
    // An installed program uses only its own catalogues, never a build tree's.
    if (!installed) folders.emplace_back(NLX_BUILD_LOCALE_FOLDER);
#endif
    return folders;
}

fs::path catalogue_file(const fs::path& folder, Language language) {
    return folder / std::string(language_code(language)) / "LC_MESSAGES" / "nlx.mo";
}

Result<void> use_language(Language language, const std::vector<fs::path>& folders) {
    use_no_catalogue();
    if (language == Language::chinese) return {};
    std::string tried;
    for (const auto& folder : folders) {
        const fs::path file = catalogue_file(folder, language);
        std::error_code ec;
        if (!fs::exists(file, ec)) {
            tried += (tried.empty() ? "" : ", ") + file.string();
            continue;
        }
        auto catalogue = load_catalogue(file);
        if (!catalogue) return fail(catalogue.message() + "; the texts stay Chinese");
        use_catalogue(std::move(*catalogue));
        return {};
    }
    return fail("the English catalogue is not installed (looked for " + (tried.empty() ? std::string("nothing") : tried) +
                "); the texts stay Chinese");
}

std::optional<std::string> environment_variable(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

}  // namespace nlx
