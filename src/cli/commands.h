// Registration of the nlx subcommands; each command lives in its own cmd_*.cpp file.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace CLI {
class App;
}
namespace nlx {
class Database;
struct RecordingInfo;
}

namespace nlx::cli {

// Thrown by a command to end with exit code 1 and its message (one line or more) on stderr.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The program's description at the head of its help.
inline constexpr const char* kProgramDescription =
    "nlx: download, decode and analyse the measurement groups of the NLX sound-level "
    "and vibration statistical analysers (models a to e). nlx --lang CODE COMMAND prints the "
    "operator texts in Chinese (zh), English (en) or another installed language (nlx settings lists them; "
    "default: NLX_LANG, then language.cfg of 设置 → 语言, then the locale)";

// The commands that need neither the serial port nor the painters; nlx-plain runs them without
// loading Qt, and hands every other command line to nlx-qt.
void register_plain_commands(CLI::App& app, int& exit_code);
// The commands that use the serial port or paint (nlx-qt registers both sets).
void register_qt_commands(CLI::App& app, int& exit_code);

// The recording `id` of the database; throws Failure naming the file when it has none.
RecordingInfo find_recording(const Database& db, long long id);

// Parses the command line and runs the command chosen; returns the process's exit code.
int run_commands(CLI::App& app, int argc, char** argv, const int& exit_code);

// nlx-plain's own run: registers only the plain command argv[1] names and runs it, returning the
// exit code; nullopt when the command line is not one of its (another command, or one that also
// paints), which nlx-qt then runs.
std::optional<int> run_plain_command_line(int argc, char** argv);

// Every command sets `exit_code` when it runs (0 unless it says otherwise).
void register_version(CLI::App& app, int& exit_code);
void register_settings(CLI::App& app, int& exit_code);
void register_records(CLI::App& app, int& exit_code);
void register_add_record(CLI::App& app, int& exit_code);
void register_save_as(CLI::App& app, int& exit_code);
void register_ports(CLI::App& app, int& exit_code);
void register_simulate(CLI::App& app, int& exit_code);
void register_import(CLI::App& app, int& exit_code);
void register_download(CLI::App& app, int& exit_code);
void register_demo(CLI::App& app, int& exit_code);
void register_chart(CLI::App& app, int& exit_code);
void register_report(CLI::App& app, int& exit_code);
void register_sheet(CLI::App& app, int& exit_code);
void register_monitor(CLI::App& app, int& exit_code);
void register_tm27(CLI::App& app, int& exit_code);
void register_export(CLI::App& app, int& exit_code);
void register_transfers(CLI::App& app, int& exit_code);
void register_restore(CLI::App& app, int& exit_code);
void register_verify(CLI::App& app, int& exit_code);
void register_recordings(CLI::App& app, int& exit_code);
void register_recording(CLI::App& app, int& exit_code);
void register_assess(CLI::App& app, int& exit_code);
void register_sync(CLI::App& app, int& exit_code);
void register_team(CLI::App& app, int& exit_code);

}  // namespace nlx::cli
