// Opening the record database named by --db for the commands that read or change it.
#pragma once

#include <filesystem>
#include <string>

#include "store/database.h"

namespace nlx::cli {

// Opens an existing record database read-only for commands that only read or copy; throws
// Failure for a missing file or one that is not a record database.
Database open_for_reading(const std::string& db);
// Opens a record database for a command that stores; a missing file (and the application folder
// for the default file) is made only when something is stored. Throws Failure for a file that is
// not a record database. Either open first completes what a killed command left undone; with
// StorageFolder::left_to_store the storage folder's stale temporaries are left to the store of a
// transfer, which reads that folder anyway and removes them then.
enum class StorageFolder { tidied, left_to_store };
Database open_for_writing(const std::string& db, StorageFolder folder = StorageFolder::tidied);

}  // namespace nlx::cli
