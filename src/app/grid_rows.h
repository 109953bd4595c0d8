// The grid's rows as the report, printer, chart and assessment commands read them: what the
// operator sees, so the groups hidden with Delete are not printed and no other group takes their
// place.
#pragma once

#include "app/record_grid_model.h"
#include "charts/group_rows.h"
#include "reports/report_rows.h"

namespace nlx::app {

reports::ReportRows grid_report_rows(const RecordGridModel& cells);

// The same rows read cell by cell as a chart or an assessment asks for them, without a copy.
charts::GroupRows grid_group_rows(const RecordGridModel& cells);

}  // namespace nlx::app
