// nlx assess: one group or run, or every group, against the noise or vibration limits of a
// standard, as text, CSV or JSON, and as an A4 assessment sheet in PDF.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "assess/assessment_output.h"
#include "cli/assess_options.h"
#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "cli/record_rows.h"
#include "core/app_folder.h"
#include "core/calendar_date.h"
#include "core/standard_choice.h"
#include "reports/assessment_sheet.h"

namespace nlx::cli {
namespace {

charts::GroupRows group_rows(const reports::ReportRows& rows) {
    return {rows.size(), [&rows](std::size_t row, std::size_t position) { return rows.at(row, position).value_or(""); }};
}

}  // namespace

AssessmentPdfWriter& assessment_pdf_writer() {
    static AssessmentPdfWriter writer;
    return writer;
}

void add_standard_options(CLI::App& cmd, StandardOptions& opt) {
    cmd.add_option("--standard", opt.standard, "gb3096, gb10070, eu or user (default: the choice in standard.cfg)")
        ->check(CLI::IsMember({"gb3096", "gb10070", "eu", "user"}));
    auto* zone = cmd.add_option("--zone", opt.zone, "GB 3096-2008 zone class: 0, 1, 2, 3, 4a, 4b");
    auto* area = cmd.add_option("--area", opt.area,
                                "GB 10070-88 area: special, residential, mixed, industrial, trunk-road, railway");
    zone->excludes(area);
    auto* day = cmd.add_option("--day", opt.day, "Day limit in dB (06:00-22:00), with --night");
    auto* night = cmd.add_option("--night", opt.night, "Night limit in dB (22:00-06:00), with --day");
    auto* lden = cmd.add_option("--lden", opt.lden, "EU 2002/49/EC: the Lden limit in dB, with --lnight");
    auto* lnight = cmd.add_option("--lnight", opt.lnight, "EU 2002/49/EC: the Lnight limit in dB, with --lden");
    day->excludes(lden);
    night->excludes(lnight);
}

assess::Criterion resolve_criterion(const StandardOptions& opt, const std::filesystem::path& choice_file) {
    const bool eu_limits = opt.lden || opt.lnight, user_limits = opt.day || opt.night;
    StandardChoice choice;
    if (opt.any()) {
        choice.standard = !opt.standard.empty() ? opt.standard : eu_limits ? "eu" : !opt.area.empty() ? "gb10070"
                          : !opt.zone.empty() ? "gb3096" : "user";
        if (!opt.zone.empty() && choice.standard != "gb3096")
            throw CLI::ValidationError("--zone", "a zone class belongs to --standard gb3096");
        if (!opt.area.empty() && choice.standard != "gb10070")
            throw CLI::ValidationError("--area", "an area belongs to --standard gb10070");
        if (eu_limits && choice.standard != "eu")
            throw CLI::ValidationError("--lden", "Lden and Lnight limits belong to --standard eu");
        if (user_limits && choice.standard == "eu")
            throw CLI::ValidationError("--day", "give the EU directive's limits as --lden and --lnight");
        choice.zone = opt.zone.empty() ? opt.area : opt.zone;
        choice.day = eu_limits ? opt.lden : opt.day;
        choice.night = eu_limits ? opt.lnight : opt.night;
    } else {
        auto loaded = load_standard_choice(choice_file);
        if (!loaded) throw Failure(loaded.message() + "; correct it, or give the standard with --standard");
        if (!loaded->has_value())
            throw Failure("no standard chosen: give --standard gb3096 --zone Z, --standard gb10070 --area A, --day D "
                          "--night N or --standard eu --lden L --lnight N, or choose one in 设置 → 评价标准 (kept in " +
                          choice_file.string() + ")");
        choice = **loaded;
    }
    auto criterion = assess::make_criterion(choice.standard, choice.zone, choice.day, choice.night);
    if (!criterion) throw Failure(criterion.message());
    return *criterion;
}

void check_model_fits(const ModelInfo& model, const assess::Criterion& criterion) {
    if (assess::fits_model(model, criterion)) return;
    const auto& s = *criterion.standard;
    if (assess::measures_vibration(model))
        throw Failure("model " + std::string(1, model.letter) + " measures vibration and " + std::string(s.source) +
                      " limits sound levels: use --standard gb10070 --area A or your own --day D --night N");
    throw Failure("model " + std::string(1, model.letter) + " measures sound and " + std::string(s.source) +
              " limits vibration levels: use --standard gb3096 --zone Z or your own --day D --night N");
}

std::vector<assess::Assessment> assess_records(const ModelInfo& model, const reports::ReportRows& rows,
                                               std::optional<std::size_t> row, const assess::Criterion& criterion) {
    const auto groups = group_rows(rows);
    if (!row) return assess::assess_all(model, groups, criterion);
    return {assess::assess_row(model, groups, *row, criterion)};
}

void register_assess(CLI::App& app, int& exit_code) {
    struct Options {
        std::string model, db, format = "text", pdf;
        std::size_t row = 0;
        bool all = false, save = false;
        StandardOptions standard;
    };
    auto opt = std::make_shared<Options>();
    auto* cmd = app.add_subcommand("assess", "Assess a group or 24-hour run, or every group, against the noise or "
                                             "vibration limits of a standard (GB 3096-2008, GB 10070-88, EU "
                                             "2002/49/EC or your own day and night limits)");
    add_model_option(*cmd, opt->model);
    add_database_option(*cmd, opt->db);
    auto* row = cmd->add_option("--row", opt->row, "Row of the record table, from 1 (a 24-hour row: its whole run)")
                    ->check(CLI::PositiveNumber);
    auto* all = cmd->add_flag("--all", opt->all, "Every group; each 24-hour run once");
    row->excludes(all);
    all->excludes(row);
    add_standard_options(*cmd, opt->standard);
    cmd->add_option("--format", opt->format, "text (default), csv or json, on standard output")
        ->check(CLI::IsMember({"text", "csv", "json"}));
    cmd->add_option("--pdf", opt->pdf, "Also write the assessment sheet (A4) to this PDF file");
    cmd->add_flag("--save", opt->save, "Keep the standard given as the choice in standard.cfg");
    cmd->callback([opt, &exit_code] {
        if (!opt->all && opt->row == 0) throw CLI::RequiredError("--row N or --all");
        const ModelInfo& model = chosen_model(opt->model);
        const auto folder = application_folder();
        const auto choice_file = standard_choice_path(folder);
        const assess::Criterion criterion = resolve_criterion(opt->standard, choice_file);
        check_model_fits(model, criterion);
        Database db = open_for_reading(opt->db);
        const auto rows = record_rows(db, model);
        const std::string where = record_table_name(model.letter) + " in " + db.path().string();
        if (rows.size() == 0) throw Failure("nothing to assess: " + where + " holds no groups");
        if (opt->row > rows.size())
            throw Failure("row " + std::to_string(opt->row) + " is past the last row (" + std::to_string(rows.size()) +
                          ") of " + where);
        const auto assessments =
            assess_records(model, rows, opt->all ? std::nullopt : std::optional<std::size_t>(opt->row - 1), criterion);
        if (!opt->pdf.empty()) {
            if (!assessment_pdf_writer())
                throw Failure("the assessment sheet is painted by nlx-qt, which this program cannot reach");
            const reports::AssessmentSource source{std::string(model.option_caption), db.path().string(), local_today()};
            assessment_pdf_writer()(opt->pdf, reports::assessment_pages(criterion, assessments, source, Wording::operator_language));
        }
        if (opt->save) {
            StandardChoice choice{std::string(criterion.standard->key), criterion.zone ? std::string(criterion.zone->key) : "",
                                  {}, {}};
            if (!criterion.zone) choice.day = criterion.day / 10.0, choice.night = criterion.night / 10.0;
            if (auto saved = save_standard_choice(choice_file, choice); !saved) throw Failure(saved.message());
        }
        if (opt->format == "csv") std::cout << assess::assessment_csv(criterion, assessments);
        else if (opt->format == "json") std::cout << assess::assessment_json(criterion, assessments);
        else std::cout << assess::assessment_text(criterion, assessments, Wording::operator_language);
        exit_code = 0;
    });
}

}  // namespace nlx::cli
