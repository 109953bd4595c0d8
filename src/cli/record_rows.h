// A model's record rows read from a database, as the print and export commands take them.
#pragma once

#include "core/models.h"
#include "reports/report_rows.h"
#include "store/database.h"

namespace nlx::cli {

// The rows of the model's record table; throws Failure naming the file when there is none.
reports::ReportRows record_rows(const Database& db, const ModelInfo& model);

}  // namespace nlx::cli
