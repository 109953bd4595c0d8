// The one-line account of a stored transfer that the command line and the logs show.
#include "core/transfer_summary.h"

#include "core/texts.h"

namespace nlx {

std::string TransferSummary::line() const {
    std::string s = "model " + std::string(1, model) + ": ";
    if (replaced)
        s += std::to_string(record_rows) + " groups stored (" + std::to_string(record_rows) + " record rows, " +
             std::to_string(distribution_rows) + " distribution rows, " + std::to_string(files.size()) +
             " history files)";
    else
        s += "no whole group arrived, nothing was replaced (the records stored before are kept)";
    if (short_transfer())
        s += "; transfer short: " + std::to_string(received_bytes) + " of " +
             std::to_string(announced_bytes) + " bytes received, " +
             std::to_string(announced_bytes - received_bytes) + " lost";
    if (replaced && short_transfer() && replaced_groups > 0)
        s += "; the " + std::to_string(replaced_groups) + " groups stored before were replaced" +
             (previous_transfer ? " (nlx restore " + std::to_string(previous_transfer) + " brings them back)"
                                : " (no logged transfer holds them)");
    if (!capture_file.empty()) s += "; capture " + capture_file.filename().string();
    return s;
}

std::string TransferSummary::with_records_note(std::string_view status) const {
    if (!replaced) return texts::records_unchanged(status);
    if (!short_transfer() || replaced_groups == 0) return std::string(status);
    return previous_transfer ? texts::previous_records_restorable(status, replaced_groups, previous_transfer)
                             : texts::previous_records_replaced(status, replaced_groups);
}

}  // namespace nlx
