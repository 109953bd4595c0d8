// Choosing the language of the operator's texts and putting its catalogue in use.
#include "core/language.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "core/atomic_file.h"
#include "core/blank_trim.h"
#include "core/catalogue.h"
#include "core/read_file.h"
#include "core/texts.h"

namespace nlx {
namespace fs = std::filesystem;
namespace {

bool lower(char c) { return c >= 'a' && c <= 'z'; }
bool upper_or_digit(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }
bool lower_or_digit(char c) { return lower(c) || (c >= '0' && c <= '9'); }

std::string& in_use() {
    static std::string code(kChinese);
    return code;
}

}  // namespace

bool is_language_code(std::string_view code) {
    std::size_t i = 0;
    while (i < code.size() && lower(code[i])) ++i;
    if (i < 2 || i > 3) return false;
    if (i < code.size() && code[i] == '_') {
        const std::size_t start = ++i;
        while (i < code.size() && upper_or_digit(code[i])) ++i;
        if (i - start < 2 || i - start > 3) return false;
    }
    if (i < code.size() && code[i] == '@') {
        const std::size_t start = ++i;
        while (i < code.size() && lower_or_digit(code[i])) ++i;
        if (i == start || i - start > 16) return false;
    }
    return i == code.size();
}

std::string locale_language(const EnvironmentLookup& variable, const LanguageInstalled& installed) {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const auto value = variable(name);
        if (!value || value->empty()) continue;
        std::string_view locale = *value;
        if (std::string_view(name) == "LANGUAGE") locale = locale.substr(0, locale.find(':'));
        if (locale.empty()) continue;
        // "pt_BR.UTF-8@euro": the language with its region, then the language alone.
        const std::string_view with_region = locale.substr(0, locale.find_first_of(".@"));
        const std::string_view language = with_region.substr(0, with_region.find('_'));
        for (std::string_view code : {with_region, language})
            if (is_language_code(code) && code != kChinese && installed(code)) return std::string(code);
        return std::string(kChinese);
    }
    return std::string(kChinese);
}

fs::path language_choice_path(const fs::path& app_folder) { return app_folder / "language.cfg"; }

Result<std::optional<std::string>> load_language_choice(const fs::path& file) {
    std::error_code ec;
    if (fs::symlink_status(file, ec).type() == fs::file_type::not_found) return std::optional<std::string>();
    auto text = read_regular_file(file, 4096);
    if (!text) return fail(text.message());
    std::string_view rest = *text;
    std::optional<std::string> language;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = trimmed(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.empty() || line.front() == '#') continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos || trimmed(line.substr(0, equals)) != "language")
            return fail(file.string() + " is not valid: a line is not language=CODE (zh, en, ...)");
        const std::string_view code = trimmed(line.substr(equals + 1));
        if (!is_language_code(code))
            return fail(file.string() + " is not valid: \"" + std::string(code.substr(0, 40)) + "\" is not a language code");
        language = std::string(code);
    }
    if (!language) return fail(file.string() + " is not valid: it names no language (a line language=zh or language=en)");
    return language;
}

Result<void> save_language_choice(const fs::path& file, std::string_view code) {
    return write_file_atomically(
        file, "# nlx: the language of the windows (设置 → 语言): zh or the code of an installed catalogue\nlanguage=" +
                  std::string(code) + "\n");
}

std::string choose_language(const std::optional<std::string>& command_line, const fs::path& app_folder,
                            const EnvironmentLookup& variable, const LanguageInstalled& installed,
                            std::vector<std::string>& warnings) {
    if (command_line) return *command_line;
    if (const auto env = variable("NLX_LANG"); env && !env->empty()) {
        if (is_language_code(*env) && installed(*env)) return *env;
        warnings.push_back("NLX_LANG=" + env->substr(0, 40) + " names no installed language; it is ignored");
    }
    auto kept = load_language_choice(language_choice_path(app_folder));
    if (!kept) {
        warnings.push_back(kept.message() + "; it is ignored");
    } else if (*kept) {
        if (installed(**kept)) return **kept;
        warnings.push_back(language_choice_path(app_folder).string() + " names the language " + **kept +
                           ", whose catalogue is not installed; it is ignored");
    }
    return locale_language(variable, installed);
}

std::vector<fs::path> catalogue_folders(const fs::path& executable_folder, const EnvironmentLookup& variable) {
    std::vector<fs::path> folders;
    if (const auto own = variable("NLX_LOCALE_DIR"); own && !own->empty()) folders.emplace_back(*own);
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

fs::path catalogue_file(const fs::path& folder, std::string_view code) {
    return folder / std::string(code) / "LC_MESSAGES" / "nlx.mo";
}

std::optional<fs::path> find_catalogue(const std::vector<fs::path>& folders, std::string_view code) {
    if (code == kChinese || !is_language_code(code)) return std::nullopt;
    for (const auto& folder : folders) {
        const fs::path file = catalogue_file(folder, code);
        std::error_code ec;
        if (fs::is_regular_file(file, ec)) return file;
    }
    return std::nullopt;
}

LanguageInstalled installed_in(std::vector<fs::path> folders) {
    return [folders = std::move(folders)](std::string_view code) {
        return code == kChinese || find_catalogue(folders, code).has_value();
    };
}

std::vector<InstalledLanguage> installed_languages(const std::vector<fs::path>& folders) {
    std::vector<InstalledLanguage> found;
    for (const auto& folder : folders) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string code = it->path().filename().string();
            if (!is_language_code(code) || code == kChinese) continue;
            if (std::any_of(found.begin(), found.end(), [&](const auto& l) { return l.code == code; })) continue;
            const fs::path file = catalogue_file(folder, code);
            std::error_code file_ec;
            if (!fs::is_regular_file(file, file_ec)) continue;
            InstalledLanguage language{code, code};
            std::string_view name;
            if (auto catalogue = load_catalogue(file); catalogue && catalogue->find(texts::kLanguageName, name) && !name.empty())
                language.name = std::string(name);
            found.push_back(std::move(language));
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.code < b.code; });
    found.insert(found.begin(), InstalledLanguage{std::string(kChinese), std::string(texts::kLanguageName)});
    return found;
}

std::string language_codes(const std::vector<InstalledLanguage>& languages) {
    std::string codes;
    for (const auto& l : languages) codes.append(codes.empty() ? "" : ", ").append(l.code);
    return codes;
}

Result<void> use_language(std::string_view code, const std::vector<fs::path>& folders) {
    use_no_catalogue();
    in_use() = std::string(kChinese);
    if (code == kChinese) return {};
    if (!is_language_code(code)) {
        std::string quoted = "\"";  // appended, not "..." + string: GCC 12 warns falsely on that at -O3
        quoted += code.substr(0, 40);
        return fail(quoted + "\" is not a language code; the texts stay Chinese");
    }
    const auto file = find_catalogue(folders, code);
    if (!file) {
        std::string tried;
        for (const auto& folder : folders) tried += (tried.empty() ? "" : ", ") + catalogue_file(folder, code).string();
        return fail("the catalogue of the language \"" + std::string(code.substr(0, 40)) + "\" is not installed (looked for " +
                    (tried.empty() ? std::string("nothing") : tried) + "); the texts stay Chinese");
    }
    auto catalogue = load_catalogue(*file);
    if (!catalogue) return fail(catalogue.message() + "; the texts stay Chinese");
    use_catalogue(std::move(*catalogue));
    in_use() = std::string(code);
    return {};
}

std::string_view language_in_use() {
    settle_catalogue_choice();
    return in_use();
}

std::optional<std::string> environment_variable(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

}  // namespace nlx
