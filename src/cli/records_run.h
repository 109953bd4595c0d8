// nlx records' work: prints a model's record or distribution table as text, CSV or JSON.
#pragma once

#include "cli/command_forms.h"

namespace nlx::cli {

// Writes the table on stdout; throws Failure naming the database or table that is missing.
void run_records(const RecordsRequest& request);

}  // namespace nlx::cli
