// nlx chart: draws one group's distribution, cumulative distribution, 24-hour profile or octave
// spectrum to a PNG or SVG file without a window, as the desktop program draws it; or, with
// --recording, the time history of a recording of the live level.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "assess/assessment.h"
#include "charts/group_cells.h"
#include "charts/octave_chart.h"
#include "cli/assess_options.h"
#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "core/app_folder.h"
#include "core/models.h"
#include "core/number_format.h"
#include "core/standard_choice.h"
#include "core/texts.h"
#include "store/distribution_row.h"
#include "transfer/recording_export.h"

#include "cli/headless_app.h"

#ifdef NLX_WITH_RENDER
#include "render/chart_image.h"
#endif

namespace nlx::cli {
namespace {

struct Options {
    std::string model, db, kind, out;
    std::size_t row = 0;
    long long recording = 0;
    int width = 1000, height = 600;
    StandardOptions standard;
};

// The standard whose limits a 24-hour chart draws: the one the options give, or else the choice
// kept in standard.cfg; none when neither names one, or when the kept one limits what the model
// does not measure (sound against vibration). Options that do not fit the model, and a
// standard.cfg that cannot be used, are errors.
std::optional<assess::Criterion> chart_criterion(const Options& opt, const ModelInfo& model) {
    const auto file = standard_choice_path(application_folder());
    if (!opt.standard.any()) {
        const auto loaded = load_standard_choice(file);
        if (loaded && !loaded->has_value()) return std::nullopt;
    }
    const assess::Criterion criterion = resolve_criterion(opt.standard, file);
    if (opt.standard.any()) check_model_fits(model, criterion);
    else if (!assess::fits_model(model, criterion)) return std::nullopt;
    return criterion;
}

charts::GroupRows table_rows(const TableContents& table) {
    return {table.rows.size(), [&table](std::size_t row, std::size_t position) {
                const auto& cells = table.rows[row];
                return position < cells.size() ? cells[position].to_text() : std::string();
            }};
}

std::string group_name(const Options& opt, const charts::GroupRows& rows) {
    return "row " + std::to_string(opt.row) + " (序号 " + rows.text(opt.row - 1, 0) + ")";
}

charts::Chart distribution_pair_chart(const Options& opt, const ModelInfo& model, const Database& db,
                                      const charts::GroupRows& rows) {
    const std::size_t row = opt.row - 1;
    if (!charts::has_level_distribution(model, rows, row))
        throw Failure(group_name(opt, rows) + " is an octave group: its columns hold band levels and it has no level "
                      "distribution (draw it with --kind octave)");
    auto percent = distribution_percent(db, model, rows.text(row, 0));
    if (!percent) throw Failure(percent.message() + " (" + db.path().string() + ")");
    if (!*percent)
        throw Failure(group_name(opt, rows) + " has no row in " + distribution_table_name(model.letter) + " of " +
                      db.path().string());
    if (opt.kind == "distribution") return charts::distribution_chart(model, **percent);
    return charts::cumulative_chart(model, **percent, charts::stored_percentiles(model, rows, row));
}

[[noreturn]] void wrong_kind(const Options& opt, const ModelInfo& model, const charts::GroupRows& rows,
                             const char* what) {
    throw Failure(group_name(opt, rows) + " is not " + what + " (MODE \"" +
                  charts::group_cell(model, rows, opt.row - 1, kModeColumn) + "\")");
}

// The chart of the group, and for a 24-hour run the lines that go with it.
charts::Chart group_chart(const Options& opt, const ModelInfo& model, const Database& db,
                          const charts::GroupRows& rows, std::string& lines) {
    const std::size_t row = opt.row - 1;
    if (opt.kind == "distribution" || opt.kind == "cumulative") return distribution_pair_chart(opt, model, db, rows);
    if (opt.kind == "octave") {
        if (charts::row_kind(model, rows, row) != charts::GroupKind::octave) wrong_kind(opt, model, rows, "an octave group");
        return charts::octave_chart(model, rows, row);
    }
    if (charts::row_kind(model, rows, row) != charts::GroupKind::day_profile)
        wrong_kind(opt, model, rows, "part of a 24-hour run");
    auto profile = charts::run_day_profile(model, rows, row);
    if (!profile) throw Failure("model " + opt.model + " has no 24-hour runs");
    const auto criterion = chart_criterion(opt, model);
    if (criterion) assess::mark_limits(profile->chart, *criterion);
    lines = charts::day_night_text(profile->ld, profile->ln, profile->ldn) + "\n" + "Lden= " +
            format_number(charts::lden(profile->hours), "##0.0") +
            "dB (EU day-evening-night level, ISO 1996-1 / Directive 2002/49/EC: day 07-19, evening 19-23 +5 dB, "
            "night 23-07 +10 dB; rows " +
            std::to_string(profile->first_row + 1) + "-" + std::to_string(profile->last_row + 1) + ")\n";
    if (criterion) lines += "Limits: " + criterion->description(Wording::operator_language) + "\n";
    return profile->chart;
}

void draw(const charts::Chart& chart, const Options& opt) {
    // Qt Charts paints through widgets: an application on the offscreen platform, no display.
    const auto application = headless_application();
#ifdef NLX_WITH_RENDER
    const std::filesystem::path file(opt.out);
    auto saved = render::save_chart(chart, file, QSize(opt.width, opt.height), render::image_format(file));
    if (!saved) throw Failure(saved.message());
#else
    (void)chart;
    (void)opt;
#endif
}

}  // namespace

void register_chart(CLI::App& app, int& exit_code) {
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("chart", "Draw a group's distribution, cumulative distribution, 24-hour profile "
                                            "or octave spectrum to a PNG or SVG file");
    auto* model_opt = add_model_option(*cmd, opt->model, false)->description("Instrument model letter (for --row)");
    add_database_option(*cmd, opt->db);
    auto* row_opt = cmd->add_option("--row", opt->row, "Row of the record table, from 1")->check(CLI::PositiveNumber);
    auto* kind_opt = cmd->add_option("--kind", opt->kind, "distribution, cumulative, 24h or octave")
                         ->check(CLI::IsMember({"distribution", "cumulative", "24h", "octave"}));
    cmd->add_option("--recording", opt->recording, "Draw the time history of this recording of the live level "
                                                   "(nlx recordings lists them) instead of a group")
        ->check(CLI::PositiveNumber)
        ->excludes(model_opt)
        ->excludes(row_opt)
        ->excludes(kind_opt);
    cmd->add_option("--png", opt->out, "Picture file to write (.png, or .svg for SVG)")->required();
    cmd->add_option("--width", opt->width, "Width in pixels (default 1000)")->check(CLI::Range(200, 8000));
    cmd->add_option("--height", opt->height, "Height in pixels (default 600)")->check(CLI::Range(150, 8000));
    // The limits drawn on a 24-hour chart, as nlx assess takes them.
    add_standard_options(*cmd, opt->standard);

    cmd->callback([opt, &exit_code] {
        if (opt->recording) {
            if (opt->standard.any())
                throw CLI::ValidationError("chart", "the standard options draw limits on --kind 24h only");
            Database db = open_for_reading(opt->db);
            auto chart = recording_chart(db, find_recording(db, opt->recording));
            if (!chart) throw Failure(chart.message());
            draw(*chart, *opt);
            exit_code = 0;
            return;
        }
        if (opt->model.empty()) throw CLI::RequiredError("--model");
        if (opt->row == 0) throw CLI::RequiredError("--row");
        if (opt->kind.empty()) throw CLI::RequiredError("--kind");
        if (opt->standard.any() && opt->kind != "24h")
            throw CLI::ValidationError("chart", "the standard options draw limits on --kind 24h only");
        const ModelInfo& model = chosen_model(opt->model);
        if ((opt->kind == "distribution" || opt->kind == "cumulative") && !model.has_distribution)
            throw Failure("model " + opt->model + " keeps no level distribution");
        Database db = open_for_reading(opt->db);
        const std::string table_name = record_table_name(model.letter);
        if (!db.has_table(table_name)) throw Failure(db.path().string() + " has no table " + table_name);
        auto table = db.read_table(table_name);
        if (!table) throw Failure(table.message());
        if (opt->row > table->rows.size())
            throw Failure("row " + std::to_string(opt->row) + " is past the last row (" +
                          std::to_string(table->rows.size()) + ") of " + table_name + " in " + db.path().string());
        const auto rows = table_rows(*table);
        std::string lines;
        const auto chart = group_chart(*opt, model, db, rows, lines);
        draw(chart, *opt);
        std::cout << lines;
        exit_code = 0;
    });
}

}  // namespace nlx::cli
