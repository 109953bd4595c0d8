// nlx settings: shows the application folder, the serial port and speed from sys.cfg, the
// language and the languages installed; --language CODE keeps one in language.cfg, as 设置 → 语言
// does.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>

#include "cli/commands.h"
#include "core/app_folder.h"
#include "core/catalogue.h"
#include "core/language.h"
#include "core/settings.h"

namespace nlx::cli {

void register_settings(CLI::App& app, int& exit_code) {
    auto* cmd = app.add_subcommand("settings", "Show the application folder, serial port, speed and language");
    static std::string language;
    cmd->add_option("--language", language,
                    "Keep this language for the windows and nlx (language.cfg): zh, en or another installed one");
    cmd->callback([&exit_code] {
        auto folder = application_folder();
        const auto languages = installed_languages(catalogue_folders(executable_folder(), environment_variable));
        if (!language.empty()) {
            if (std::none_of(languages.begin(), languages.end(), [](const auto& l) { return l.code == language; }))
                throw CLI::ValidationError("--language", language.substr(0, 40) + ": no such language is installed; the "
                                                         "languages installed are " + language_codes(languages));
            // This run speaks the language chosen before the new one is kept: it is used from
            // the next start.
            settle_catalogue_choice();
            const auto file = language_choice_path(folder);
            if (auto saved = save_language_choice(file, language); !saved) {
                std::cerr << "nlx settings: " << saved.message() << "\n";
                exit_code = 1;
                return;
            }
            std::cout << "language " << language << " kept in " << file.string() << " (used from the next start)\n";
        }
        auto loaded = load_application_settings(folder);
        std::cout << "application folder: " << folder.string() << "\n"
                  << "port: " << loaded.settings.port.text() << " ("
                  << port_device_name(loaded.settings.port) << ")\n"
                  << "speed: " << loaded.settings.baud << " bit/s\n";
        auto kept = load_language_choice(language_choice_path(folder));
        std::cout << "language: " << (kept && *kept ? **kept + " (language.cfg)" : std::string("from the locale")) << "\n";
        std::cout << "languages installed:";
        for (const auto& l : languages) std::cout << " " << l.code << " (" << l.name << ")";
        std::cout << "\n";
        if (!kept) std::cout << "note: " << kept.message() << "\n";
        if (loaded.message) std::cout << "note: " << *loaded.message << "\n";
        exit_code = 0;
    });
}

}  // namespace nlx::cli
