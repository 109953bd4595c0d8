// The download as the command line runs it, shared by nlx download and nlx demo.
#include "cli/run_download.h"

#include <chrono>
#include <iostream>
#include <unistd.h>

#include "cli/download_display.h"
#include "core/app_folder.h"
#include "core/download_status.h"
#include "link/serial_link.h"
#include "transfer/transfer.h"

namespace nlx::cli {

link::DownloadResult run_download(Database& db, const std::filesystem::path& app_folder,
                                  const link::DownloadRequest& request) {
    const CaptureOrigin origin{{}, port_device_name(request.port), request.baud};
    link::StoreHook store = [&db, &origin, storage = storage_folder(app_folder), &model = request.model.get()](
                                const Capture& capture, bool) {
        return keep_and_store_transfer(db, storage, model, capture, origin, std::chrono::system_clock::now());
    };
    link::SerialLink serial;
    link::DownloadSession session(serial, request, download_display(std::cout, ::isatty(1) != 0), store);
    auto result = session.run();
    if (result.stored) {
        for (const auto& note : result.stored->notes) std::cerr << "note: " << decode_note_text(note) << "\n";
        std::cout << result.stored->line() << "\n";
    }
    return result;
}

std::string download_failure(const link::DownloadResult& r, const link::DownloadRequest& request) {
    using link::DownloadOutcome;
    const std::string port = port_device_name(request.port);
    auto hex = [](unsigned byte) {
        static const char* digits = "0123456789ABCDEF";
        return std::string{digits[byte >> 4], digits[byte & 15], 'h'};
    };
    const std::string status = download_status_text(r.outcome, r.detail);
    std::string reason;
    switch (r.outcome) {
    case DownloadOutcome::bad_ack:
        reason = port + ": 1 byte received, " + (r.answer ? hex(*r.answer) : std::string("?")) +
                 " instead of the acknowledge AAh";
        break;
    case DownloadOutcome::no_ack:
        reason = port + ": no byte received in answer to the attention bytes 1Bh 40h at " +
                 std::to_string(request.baud) + " bit/s";
        break;
    case DownloadOutcome::no_count:
        reason = port + ": the acknowledge came, then no count bytes after the request 1Ah";
        break;
    case DownloadOutcome::no_data:
        reason = port + ": the count bytes " + (r.capture ? hex(r.capture->b1) + " " + hex(r.capture->b2) : "") +
                 " announce " + (r.count == 0 ? "no data" : "a negative count (" + std::to_string(r.count) + ")");
        break;
    case DownloadOutcome::incomplete_stored:
        reason = port + ": " + std::to_string(r.capture ? r.capture->data.size() : 0) + " of " +
                 std::to_string(r.announced) + " data bytes received";
        break;
    default:
        // A port failure's status already holds the port's message.
        if (!r.detail.empty() && status.find(r.detail) == std::string::npos) return status + " (" + r.detail + ")";
        return status;
    }
    if (!r.detail.empty()) reason += " (" + r.detail + ")";
    return status + "\n" + reason;
}

}  // namespace nlx::cli
