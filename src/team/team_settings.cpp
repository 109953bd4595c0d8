// Reading and writing team.cfg, and the rules for station names.
#include "team/team_settings.h"

#include <unistd.h>

#include <climits>
#include <system_error>

#include "core/atomic_file.h"
#include "core/message_text.h"
#include "core/read_file.h"
#include "core/texts.h"
#include "team/pg.h"

namespace nlx::team {
namespace fs = std::filesystem;

fs::path team_settings_path(const fs::path& app_folder) { return app_folder / "team.cfg"; }

std::string host_station_name() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || !*name) return "station";
    std::string out(name);
    if (out.size() > kMaxStationBytes) out.resize(kMaxStationBytes);
    return check_station_name(out) ? out : std::string("station");
}

Result<void> check_station_name(std::string_view name) {
    auto refuse = [&](std::string why) {
        std::string quoted = "\"";
        quoted += shown_text(name);
        return fail(texts::team_bad_station(quoted + "\" " + why));
    };
    if (name.empty()) return refuse("is empty");
    if (name.size() > kMaxStationBytes) return refuse("is longer than 64 bytes");
    if (name.front() == ' ' || name.back() == ' ') return refuse("begins or ends with a space");
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7f) return refuse("holds a control character");
    // Well-formed UTF-8: lead bytes followed by the right number of continuation bytes.
    for (std::size_t i = 0; i < name.size();) {
        const unsigned char c = name[i];
        const std::size_t more = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 4;
        if (more > 3 || i + more >= name.size()) return refuse("is not UTF-8 text");
        for (std::size_t k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(name[i + k]) & 0xC0) != 0x80) return refuse("is not UTF-8 text");
        i += more + 1;
    }
    return {};
}

Result<TeamSettings> load_team_settings(const fs::path& file) {
    TeamSettings settings;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec))) {
        settings.station = host_station_name();
        return settings;
    }
    auto text = read_regular_file(file, kMaxTeamSettingsBytes);
    if (!text) return text.error();
    std::size_t at = 0;
    int line_number = 0;
    while (at < text->size()) {
        std::size_t end = text->find('\n', at);
        if (end == std::string::npos) end = text->size();
        std::string line = text->substr(at, end - at);
        at = end + 1;
        ++line_number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::size_t space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string value = space == std::string::npos ? std::string() : line.substr(space + 1);
        auto where = [&] { return file.string() + " line " + std::to_string(line_number) + ": "; };
        if (key == "station") {
            if (auto ok = check_station_name(value); !ok) return fail(where() + ok.message());
            settings.station = value;
            settings.station_kept = true;
        } else if (key == "server") {
            settings.server = value;
        } else {
            return fail(where() + "unknown setting \"" + shown_text(key) + "\" (station and server are known)");
        }
    }
    if (!settings.station_kept) settings.station = host_station_name();
    return settings;
}

Result<void> save_team_settings(const fs::path& file, const TeamSettings& settings) {
    if (auto ok = check_station_name(settings.station); !ok) return ok;
    if (settings.server.find('\n') != std::string::npos || settings.server.find('\r') != std::string::npos)
        return fail(std::string(nlx::tr(texts::kTeamBadAddress)) + "\nthe address holds a line break");
    if (auto ok = pg::check_address(settings.server); !ok)
        return fail(std::string(nlx::tr(texts::kTeamBadAddress)) + "\n" + ok.message());
    if (pg::has_password(settings.server)) return fail(std::string(nlx::tr(texts::kTeamPasswordInAddress)));
    std::string text = "station " + settings.station + "\n";
    if (!settings.server.empty()) text += "server " + settings.server + "\n";
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    return write_file_atomically(file, text);
}

Result<void> keep_station_name(const fs::path& file, const TeamSettings& loaded) {
    if (loaded.station_kept) return {};
    return save_team_settings(file, loaded);
}

}  // namespace nlx::team
