// The grid's rows as the report and printer commands read them: what the operator sees, so the
// groups hidden with Delete are not printed and no other group takes their place.
#pragma once

#include "app/record_grid_model.h"
#include "reports/report_rows.h"

namespace nlx::app {

reports::ReportRows grid_report_rows(const RecordGridModel& cells);

}  // namespace nlx::app
