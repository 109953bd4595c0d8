// Resolution of the application folder; every file the program keeps is found through it.
#include "core/app_folder.h"

#include <cstdlib>
#include <system_error>
#include <unistd.h>

namespace nlx {
namespace fs = std::filesystem;

namespace {
fs::path env_path(const char* name) {
    const char* v = std::getenv(name);
    return (v && *v) ? fs::path(v) : fs::path();
}
}  // namespace

fs::path executable_folder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
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
    return resolve_application_folder(env_path("NLX_HOME"), executable_folder(), user_data_folder());
}

fs::path settings_path(const fs::path& app_folder) { return app_folder / "sys.cfg"; }
fs::path database_path(const fs::path& app_folder) { return app_folder / "noise.db"; }
fs::path storage_folder(const fs::path& app_folder) { return app_folder / "3140A存储文件"; }

}  // namespace nlx
