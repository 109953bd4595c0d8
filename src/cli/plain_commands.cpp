// The commands nlx-plain runs itself, and the parsing shared with nlx-qt.
#include <CLI/CLI.hpp>

#include <iostream>
#include <string_view>

#include "cli/commands.h"
#include "cli/standard_output.h"

namespace nlx::cli {

namespace {

// Each command's name as its register function gives it, in the order of the full help.
struct PlainCommand {
    std::string_view name;
    void (*add)(CLI::App&, int&);
};
constexpr PlainCommand kPlainCommands[] = {
    {"version", register_version},       {"settings", register_settings},   {"records", register_records},
    {"add-record", register_add_record}, {"save-as", register_save_as},     {"simulate", register_simulate},
    {"import", register_import},         {"export", register_export},       {"transfers", register_transfers},
    {"restore", register_restore},       {"verify", register_verify},       {"recordings", register_recordings},
    {"recording", register_recording},   {"assess", register_assess},       {"sync", register_sync},
    {"team", register_team},
};

// Registers only the plain command of this name (what nlx needs to run it); false when no plain
// command has that name.
bool register_plain_command(CLI::App& app, std::string_view name, int& exit_code) {
    for (const auto& c : kPlainCommands) {
        if (c.name != name) continue;
        c.add(app, exit_code);
        return true;
    }
    return false;
}

}  // namespace

void register_plain_commands(CLI::App& app, int& exit_code) {
    for (const auto& c : kPlainCommands) c.add(app, exit_code);
}

std::optional<int> run_plain_command_line(int argc, char** argv) {
    CLI::App app{kProgramDescription};
    app.require_subcommand(1);
    int exit_code = 0;
    // Only the command run is registered: setting up all of them is a fixed cost of every
    // command, as large as reading a small table.
    bool plain = argc >= 2 && register_plain_command(app, argv[1], exit_code);
    // A command that also writes a PDF (nlx assess --pdf) paints, which nlx-qt does.
    for (int i = 2; plain && i < argc; ++i)
        if (std::string_view(argv[i]) == "--pdf" || std::string_view(argv[i]).starts_with("--pdf=")) plain = false;
    if (!plain) return std::nullopt;
    return run_commands(app, argc, argv, exit_code);
}

int run_commands(CLI::App& app, int argc, char** argv, const int& exit_code) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int rc = app.exit(e);
        return rc == 0 ? 0 : 2;
    } catch (const Failure& e) {
        std::cerr << "nlx: " << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "nlx: " << e.what() << "\n";
        return 1;
    }
    // A listing lost to a full disk or a closed output fails the command that printed it. The
    // standard streams write through stdio, so its flush sends what either printed.
    std::string lost = flush_standard_output();
    if (lost.empty() && !std::cout.flush()) lost = "the output could not be written; what was printed is incomplete";
    if (!lost.empty()) {
        std::cerr << "nlx: " << lost << "\n";
        return 1;
    }
    return exit_code;
}

}  // namespace nlx::cli
