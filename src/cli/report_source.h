// What the print commands read and share: a model's record rows from a database, today's date,
// and a headless Qt application for the painters.
#pragma once

#include <memory>
#include <string>

#include "core/models.h"
#include "reports/report_rows.h"
#include "store/database.h"

class QApplication;

namespace nlx::cli {

// The rows of the model's record table; throws Failure naming the file when there is none.
reports::ReportRows record_rows(const Database& db, const ModelInfo& model);

// The painters need a Qt application; the command line makes one on the offscreen platform,
// with a Chinese-capable font. Throws Failure when this nlx was built without them.
std::shared_ptr<QApplication> headless_application();

}  // namespace nlx::cli
