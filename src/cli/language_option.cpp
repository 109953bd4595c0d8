// Choosing the language of nlx's operator texts at start.
#include "cli/language_option.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_folder.h"
#include "core/language.h"

namespace nlx::cli {

int start_language(int& argc, char** argv) {
    std::optional<Language> asked;
    // Only the options before the command's name are nlx's own.
    for (int i = 1; i < argc && argv[i][0] == '-';) {
        const std::string_view arg = argv[i];
        int taken = 0;
        std::string_view value;
        if (arg == "--lang") {
            if (i + 1 >= argc) {
                std::cerr << "nlx: --lang needs zh or en\n";
                return 2;
            }
            value = argv[i + 1];
            taken = 2;
        } else if (arg.starts_with("--lang=")) {
            value = arg.substr(7);
            taken = 1;
        } else {
            ++i;
            continue;
        }
        asked = parse_language(value);
        if (!asked) {
            std::cerr << "nlx: --lang needs zh or en, not \"" << value.substr(0, 40) << "\"\n";
            return 2;
        }
        for (int k = i; k + taken <= argc; ++k) argv[k] = argv[k + taken];
        argc -= taken;
    }
    if (asked) ::setenv("NLX_LANG", std::string(language_code(*asked)).c_str(), 1);
    std::vector<std::string> warnings;
    const Language language = choose_language(asked, application_folder(), environment_variable, warnings);
    for (const auto& warning : warnings) std::cerr << "nlx: " << warning << "\n";
    if (auto used = use_language(language, catalogue_folders(executable_folder())); !used)
        std::cerr << "nlx: " << used.message() << "\n";
    return 0;
}

}  // namespace nlx::cli
