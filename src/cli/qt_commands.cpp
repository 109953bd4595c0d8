// The commands of nlx-qt: those that open a serial port or paint.
#include "cli/commands.h"

namespace nlx::cli {

void register_qt_commands(CLI::App& app, int& exit_code) {
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
