// The standard options of nlx assess and nlx export --assess, and the criterion they name.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "assess/assessment.h"
#include "core/models.h"
#include "reports/print_page.h"
#include "reports/report_rows.h"

namespace CLI {
class App;
}

namespace nlx::cli {

struct StandardOptions {
    std::string standard, zone, area;
    std::optional<double> day, night, lden, lnight;

    // Whether any of them was given.
    bool any() const { return !standard.empty() || !zone.empty() || !area.empty() || day || night || lden || lnight; }
};

// --standard, --zone, --area, --day, --night, --lden, --lnight.
void add_standard_options(CLI::App& cmd, StandardOptions& options);

// The criterion the options give; with none of them, the choice kept in `choice_file`. Throws a
// usage error for options that do not go together and Failure for a missing or bad choice.
assess::Criterion resolve_criterion(const StandardOptions& options, const std::filesystem::path& choice_file);

// Failure when the model's groups are not what the standard limits (sound against vibration).
void check_model_fits(const ModelInfo& model, const assess::Criterion& criterion);

// Every group, or the group or run of one row (0-based).
std::vector<assess::Assessment> assess_records(const ModelInfo& model, const reports::ReportRows& rows,
                                               std::optional<std::size_t> row, const assess::Criterion& criterion);

// Writes pages to a PDF file, or throws Failure; set by nlx-qt, which paints. nlx-plain hands
// every command line that asks for a PDF to nlx-qt.
using AssessmentPdfWriter = std::function<void(const std::string& pdf, const std::vector<reports::Page>& pages)>;
AssessmentPdfWriter& assessment_pdf_writer();

}  // namespace nlx::cli
