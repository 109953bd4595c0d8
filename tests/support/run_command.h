// Runs the nlx program (or any command) in a child process and collects its output and exit code.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace nlx::test {

struct CommandResult {
    int exit_code = -1;
    std::string out;
    std::string err;
};

// Runs `program` with `args`, extra environment variables set, standard input closed.
CommandResult run_command(const std::string& program, const std::vector<std::string>& args,
                          const std::map<std::string, std::string>& env = {});

#ifdef NLX_CLI_PATH
// Runs the nlx program built with the tests (its path comes from the test target's definitions).
inline CommandResult run_nlx(const std::vector<std::string>& args,
                             const std::map<std::string, std::string>& env = {}) {
    return run_command(NLX_CLI_PATH, args, env);
}
#endif

}  // namespace nlx::test
