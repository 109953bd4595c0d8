// Shared by the record commands: the --db and --model options and opening the database file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "store/database.h"

namespace CLI {
class App;
class Option;
}

namespace nlx::cli {

// --model X, one of the model letters, required.
CLI::Option* add_model_option(CLI::App& cmd, std::string& model);
// --db FILE; empty means the application folder's noise.db.
CLI::Option* add_database_option(CLI::App& cmd, std::string& db);

// Opens an existing record database for commands that only read or copy; throws Failure for a
// missing file or one that is not a record database.
Database open_for_reading(const std::string& db);
// Opens a record database, creating a missing file (and the application folder for the default
// file) with all tables; throws Failure for a file that is not a record database.
Database open_for_writing(const std::string& db);

}  // namespace nlx::cli
