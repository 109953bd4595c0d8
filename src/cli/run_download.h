// One download from the command line: the serial line, the console display, the storing step.
#pragma once

#include <filesystem>
#include <string>

#include "link/download_session.h"
#include "store/database.h"

namespace nlx::cli {

// Downloads from the instrument on `request`'s port into `db`, keeping the capture in the storage
// folder of `app_folder`; shows the progress on stdout and prints the decoder's notes (stderr)
// and what was stored.
link::DownloadResult run_download(Database& db, const std::filesystem::path& app_folder,
                                  const link::DownloadRequest& request);

// What a download that did not complete ends with: the operator's text, then on the next line
// the port and what came from it (the bytes received where any came).
std::string download_failure(const link::DownloadResult& result, const link::DownloadRequest& request);

}  // namespace nlx::cli
