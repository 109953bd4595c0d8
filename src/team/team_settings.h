// team.cfg in the application folder: this station's name and the team database's address.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/result.h"

namespace nlx::team {

// The file is text, one setting a line, a key and its value after one space:
//   station Lab-2
//   server host=db.example.org dbname=noise user=lab2
// The address never holds a password: libpq finds it in ~/.pgpass.
struct TeamSettings {
    std::string station;  // this computer's name on the team database
    std::string server;   // a libpq connection string or URL; empty when none is set
    bool station_kept = false;  // the station name came from the file (not the host name)
};

inline constexpr std::size_t kMaxStationBytes = 64;
inline constexpr std::size_t kMaxTeamSettingsBytes = 4096;

std::filesystem::path team_settings_path(const std::filesystem::path& app_folder);

// This computer's host name, the station name until another is kept.
std::string host_station_name();

// A station name is 1 to 64 bytes of UTF-8 without control characters and without spaces at
// either end.
Result<void> check_station_name(std::string_view name);

// Reads team.cfg; a missing file gives the host name and no server. A file that is not a regular
// file of at most 4096 bytes, or holds an unknown key or a bad station name, is refused naming it.
Result<TeamSettings> load_team_settings(const std::filesystem::path& file);

// Replaces team.cfg atomically; refuses a bad station name, an address libpq cannot parse and an
// address that holds a password.
Result<void> save_team_settings(const std::filesystem::path& file, const TeamSettings& settings);

// After a station's first sync that succeeded: keeps the name it sent under (the host name) in
// team.cfg, so that it stays the same whatever the computer is called later. Nothing is written
// when the file holds a name already.
Result<void> keep_station_name(const std::filesystem::path& file, const TeamSettings& loaded);

}  // namespace nlx::team
