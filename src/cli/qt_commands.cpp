// The commands of nlx-qt: those that open a serial port or paint.
#include "cli/assess_options.h"
#include "cli/commands.h"
#include "cli/print_target.h"

namespace nlx::cli {

void register_qt_commands(CLI::App& app, int& exit_code) {
    // nlx assess paints its sheet here.
    assessment_pdf_writer() = [](const std::string& pdf, const std::vector<reports::Page>& pages) {
        print_pages(PrintTarget{pdf, {}}, pages);
    };
    register_ports(app, exit_code);
    register_download(app, exit_code);
    register_demo(app, exit_code);
    register_chart(app, exit_code);
    register_report(app, exit_code);
    register_sheet(app, exit_code);
    register_monitor(app, exit_code);
    register_tm27(app, exit_code);
}

}  // namespace nlx::cli
