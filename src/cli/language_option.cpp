// Choosing the language of nlx's operator texts at start; through stdio, as nlx has no iostreams.
#include "cli/language_option.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_folder.h"
#include "core/catalogue.h"
#include "core/language.h"

namespace nlx::cli {

namespace {

// Puts the language chosen by `asked`, NLX_LANG, language.cfg or the locale in use, saying what
// of it is wrong.
void use_chosen_language(const std::optional<std::string>& asked, const std::vector<std::filesystem::path>& folders,
                         const LanguageInstalled& installed) {
    std::vector<std::string> warnings;
    const std::string language = choose_language(asked, application_folder(), environment_variable, installed, warnings);
    for (const auto& warning : warnings) std::fprintf(stderr, "nlx: %s\n", warning.c_str());
    if (auto used = use_language(language, folders); !used) std::fprintf(stderr, "nlx: %s\n", used.message().c_str());
}

}  // namespace

int start_language(int& argc, char** argv, LanguageStart start) {
    // Where the catalogues are, looked up when a choice needs it.
    std::optional<std::vector<std::filesystem::path>> folders;
    auto found = [&]() -> const std::vector<std::filesystem::path>& {
        if (!folders) folders = catalogue_folders(executable_folder(), environment_variable);
        return *folders;
    };
    auto refuse = [&](const std::string& what) {
        std::fprintf(stderr, "nlx: %s; the languages installed are %s\n", what.c_str(),
                     language_codes(installed_languages(found())).c_str());
        return 2;
    };
    std::optional<std::string> asked;
    // Only the options before the command's name are nlx's own.
    for (int i = 1; i < argc && argv[i][0] == '-';) {
        const std::string_view arg = argv[i];
        int taken = 0;
        std::string_view value;
        if (arg == "--lang") {
            if (i + 1 >= argc) return refuse("--lang needs a language");
            value = argv[i + 1];
            taken = 2;
        } else if (arg.starts_with("--lang=")) {
            value = arg.substr(7);
            taken = 1;
        } else {
            ++i;
            continue;
        }
        if (!is_language_code(value) || !installed_in(found())(value))
            return refuse("--lang " + std::string(value.substr(0, 40)) + ": no such language is installed");
        asked = std::string(value);
        for (int k = i; k + taken <= argc; ++k) argv[k] = argv[k + taken];
        argc -= taken;
    }
    if (asked) ::setenv("NLX_LANG", asked->c_str(), 1);
    if (!asked && start == LanguageStart::on_first_text) {
        // Most commands that succeed show no operator text: the language's settings and its
        // catalogue are then never read.
        choose_catalogue_on_first_use([] {
            const auto folders = catalogue_folders(executable_folder(), environment_variable);
            use_chosen_language(std::nullopt, folders, installed_in(folders));
        });
        return 0;
    }
    use_chosen_language(asked, found(), installed_in(found()));
    return 0;
}

}  // namespace nlx::cli
