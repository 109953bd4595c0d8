// The download as the command line runs it, shared by nlx download and nlx demo.
#include "cli/run_download.h"

#include <chrono>
#include <iostream>
#include <unistd.h>

#include "cli/download_display.h"
#include "core/app_folder.h"
#include "link/serial_link.h"
#include "store/transfer.h"

namespace nlx::cli {

link::DownloadResult run_download(Database& db, const std::filesystem::path& app_folder,
                                  const link::DownloadRequest& request) {
    const CaptureOrigin origin{{}, port_device_name(request.port), request.baud};
    link::StoreHook store = [&db, &origin, storage = storage_folder(app_folder), model = request.model](
                                const Capture& capture, bool) {
        return keep_and_store_transfer(db, storage, model, capture, origin, std::chrono::system_clock::now());
    };
    link::SerialLink serial;
    link::DownloadSession session(serial, request, download_display(std::cout, ::isatty(1) != 0), store);
    auto result = session.run();
    if (result.stored) {
        for (const auto& note : result.stored->notes) std::cerr << "note: " << note << "\n";
        std::cout << result.stored->line() << "\n";
    }
    return result;
}

}  // namespace nlx::cli
