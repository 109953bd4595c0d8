// Resolution of the application folder; every file the program keeps is found through it.
#include "core/app_folder.h"

#include <cstdlib>
#include <string>
#include <system_error>
#include <unistd.h>

namespace nlx {
namespace fs = std::filesystem;

namespace {
fs::path env_path(const char* name) {
    const char* v = std::getenv(name);
    return (v && *v) ? fs::path(v) : fs::path();
}

// <prefix>/lib/nlx, relative to the prefix.
const fs::path kPrivateProgramFolder = NLX_PRIVATE_PROGRAM_FOLDER;

// The prefix when `folder` is <prefix>/lib/nlx, else empty.
fs::path prefix_of_private_folder(const fs::path& folder) {
    fs::path prefix = folder;
    for (auto it = kPrivateProgramFolder.begin(); it != kPrivateProgramFolder.end(); ++it) {
        if (prefix.empty() || prefix == prefix.root_path()) return {};
        prefix = prefix.parent_path();
    }
    return prefix / kPrivateProgramFolder == folder ? prefix : fs::path();
}

fs::path find_executable_folder() {
    // readlink itself: the library's read_symlink asks the link's size of procfs first.
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf);
    std::error_code ec;
    fs::path exe = n > 0 && std::size_t(n) < sizeof buf ? fs::path(std::string(buf, std::size_t(n)))
                                                        : fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return {};
    const fs::path folder = exe.parent_path();
    if (fs::path prefix = prefix_of_private_folder(folder); !prefix.empty()) return prefix / "bin";
    return folder;
}
}  // namespace

// Looked up once: the language, the application folder and the hand-overs all ask.
fs::path executable_folder() {
    static const fs::path folder = find_executable_folder();
    return folder;
}

std::vector<fs::path> private_program_candidates(const fs::path& nlx_folder, const char* program) {
    return {nlx_folder / program, (nlx_folder.parent_path() / kPrivateProgramFolder / program).lexically_normal()};
}

fs::path user_data_folder() {
    if (fs::path xdg = env_path("XDG_DATA_HOME"); !xdg.empty()) return xdg / "nlx";
    if (fs::path home = env_path("HOME"); !home.empty()) return home / ".local" / "share" / "nlx";
    return fs::current_path() / "nlx";
}

fs::path resolve_application_folder(const fs::path& nlx_home, const fs::path& executable,
                                    const fs::path& user_data) {
    if (!nlx_home.empty()) return nlx_home;
    if (!executable.empty()) {
        std::error_code ec;
        // An installed program (share/nlx beside its bin folder) never keeps data beside itself,
        // even where it could write there.
        if (fs::is_directory(executable.parent_path() / "share" / "nlx", ec)) return user_data;
        if (fs::exists(executable / "sys.cfg", ec)) return executable;
        if (::access(executable.c_str(), W_OK) == 0) return executable;
    }
    return user_data;
}

fs::path application_folder() {
    if (fs::path nlx_home = env_path("NLX_HOME"); !nlx_home.empty()) return nlx_home;
    return resolve_application_folder({}, executable_folder(), user_data_folder());
}

fs::path settings_path(const fs::path& app_folder) { return app_folder / "sys.cfg"; }
fs::path database_path(const fs::path& app_folder) { return app_folder / "noise.db"; }
fs::path storage_folder(const fs::path& app_folder) { return app_folder / "3140A存储文件"; }

}  // namespace nlx
