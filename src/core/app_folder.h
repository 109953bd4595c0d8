// The application folder: where sys.cfg, the record database and the storage folder live.
#pragma once

#include <filesystem>
#include <vector>

namespace nlx {

// NLX_HOME when set; otherwise the executable's folder when it already holds sys.cfg or is
// writable (portable use); otherwise the per-user data folder ($XDG_DATA_HOME/nlx or
// ~/.local/share/nlx). The folder is not created here.
std::filesystem::path application_folder();

// The same rule with its inputs given, for tests: nlx_home empty means unset.
std::filesystem::path resolve_application_folder(const std::filesystem::path& nlx_home,
                                                 const std::filesystem::path& executable_folder,
                                                 const std::filesystem::path& user_data_folder);

// The folder of the program the operator runs (empty when it cannot be found): the running
// executable's, except that the private programs, installed in <prefix>/lib/nlx, answer for nlx
// in <prefix>/bin, so all keep their data in the same place.
std::filesystem::path executable_folder();

// Where nlx looks for one of its private programs (nlx-plain, which runs the file commands;
// nlx-qt, which uses the serial port and paints): beside itself (a build tree), then in
// <prefix>/lib/nlx (installed).
std::vector<std::filesystem::path> private_program_candidates(const std::filesystem::path& nlx_folder,
                                                              const char* program);

// The per-user data folder for nlx.
std::filesystem::path user_data_folder();

// Files resolved through the application folder.
std::filesystem::path settings_path(const std::filesystem::path& app_folder);   // sys.cfg
std::filesystem::path database_path(const std::filesystem::path& app_folder);   // noise.db
std::filesystem::path storage_folder(const std::filesystem::path& app_folder);  // 3140A存储文件

}  // namespace nlx
