// The storing step of a download as the command line runs it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "link/download_session.h"
#include "store/database.h"

namespace nlx::cli {

// Keeps the capture file in the storage folder first, then decodes and stores the transfer.
// The decoder's notes are copied to `notes` when given.
link::StoreHook transfer_store_hook(Database& db, const std::filesystem::path& storage, char model,
                                    std::vector<std::string>* notes);

}  // namespace nlx::cli
