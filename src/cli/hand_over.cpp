// Handing a command line to a private program of nlx; through stdio, as nlx has no iostreams.
#include "cli/hand_over.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "core/app_folder.h"

namespace nlx::cli {

int hand_over(const char* program, const char* holds, char** argv) {
    const auto folder = executable_folder();
    std::string tried;
    for (const auto& candidate : folder.empty() ? std::vector<std::filesystem::path>()
                                                : private_program_candidates(folder, program)) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            ::execv(candidate.c_str(), argv);
            std::fprintf(stderr, "nlx: cannot run %s: %s\n", candidate.c_str(), std::strerror(errno));
            return 1;
        }
        tried += (tried.empty() ? "" : ", ") + candidate.string();
    }
    std::fprintf(stderr, "nlx: %s are in %s, which is missing (%s)\n", holds, program,
                 tried.empty() ? "the program's folder is unknown" : ("looked for " + tried).c_str());
    return 1;
}

}  // namespace nlx::cli
