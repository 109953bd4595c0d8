// Reading and writing standard.cfg.
#include "core/standard_choice.h"

#include <system_error>

#include "core/atomic_file.h"
#include "core/blank_trim.h"
#include "core/number_format.h"
#include "core/read_file.h"

namespace nlx {
namespace fs = std::filesystem;
fs::path standard_choice_path(const fs::path& app_folder) { return app_folder / "standard.cfg"; }

Result<StandardChoice> parse_standard_choice(std::string_view text) {
    static constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
    StandardChoice choice;
    int line_number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++line_number;
        if (line.empty() || line.front() == '#') continue;
        const std::string where = "line " + std::to_string(line_number);
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) return fail(where + " is not key=value");
        const std::string_view key = trimmed(line.substr(0, equals)), value = trimmed(line.substr(equals + 1));
        auto level = [&](std::optional<double>& into) -> Result<void> {
            into = parse_decimal(value);
            if (!into) return fail(where + ": " + std::string(key) + " \"" + std::string(value.substr(0, 40)) + "\" is not a number");
            return {};
        };
        Result<void> read;
        if (key == "standard") choice.standard = std::string(value);
        else if (key == "class") choice.zone = std::string(value);
        else if (key == "day" || key == "lden") read = level(choice.day);
        else if (key == "night" || key == "lnight") read = level(choice.night);
        else return fail(where + ": unknown key \"" + std::string(key.substr(0, 40)) + "\" (standard, class, day, night, lden, lnight)");
        if (!read) return read.error();
    }
    if (choice.standard.empty()) return fail("it names no standard (a line standard=...)");
    return choice;
}

std::string standard_choice_text(const StandardChoice& c) {
    const bool eu = c.standard == "eu";
    std::string text = "# nlx: the standard the groups are assessed against (设置 → 评价标准)\n";
    text += "standard=" + c.standard + "\n";
    if (!c.zone.empty()) text += "class=" + c.zone + "\n";
    if (c.day) text += std::string(eu ? "lden=" : "day=") + plain_number_text(*c.day) + "\n";
    if (c.night) text += std::string(eu ? "lnight=" : "night=") + plain_number_text(*c.night) + "\n";
    return text;
}

Result<std::optional<StandardChoice>> load_standard_choice(const fs::path& file) {
    std::error_code ec;
    if (fs::symlink_status(file, ec).type() == fs::file_type::not_found) return std::optional<StandardChoice>();
    auto text = read_regular_file(file, kMaxStandardChoiceBytes);
    if (!text) return fail(text.message());
    auto parsed = parse_standard_choice(*text);
    if (!parsed) return fail(file.string() + " is not valid: " + parsed.message());
    return std::optional<StandardChoice>(*parsed);
}

Result<void> save_standard_choice(const fs::path& file, const StandardChoice& choice) {
    return write_file_atomically(file, standard_choice_text(choice));
}

Result<void> remove_standard_choice(const fs::path& file) {
    std::error_code ec;
    // Only the file this program writes: a folder of that name is no choice to take away.
    if (fs::symlink_status(file, ec).type() == fs::file_type::directory)
        return fail(file.string() + " is a folder, not a file of the standard chosen");
    fs::remove(file, ec);
    if (ec) return fail(file.string() + " cannot be removed: " + ec.message());
    return {};
}

}  // namespace nlx
