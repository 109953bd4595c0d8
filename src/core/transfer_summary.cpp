// The one-line account of a stored transfer that the command line and the logs show.
#include "core/transfer_summary.h"

namespace nlx {

std::string TransferSummary::line() const {
    std::string s = "model " + std::string(1, model) + ": " + std::to_string(record_rows) +
                    " groups stored (" + std::to_string(record_rows) + " record rows, " +
                    std::to_string(distribution_rows) + " distribution rows, " +
                    std::to_string(files.size()) + " history files)";
    if (short_transfer())
        s += "; transfer short: " + std::to_string(received_bytes) + " of " +
             std::to_string(announced_bytes) + " bytes received, " +
             std::to_string(announced_bytes - received_bytes) + " lost";
    if (!capture_file.empty()) s += "; capture " + capture_file.filename().string();
    return s;
}

}  // namespace nlx
