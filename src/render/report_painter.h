// Printed reports on paper or as PDF: the table report's pages and the single-group sheet, in
// the installed faces standing for 宋体 (Noto Sans Mono CJK SC, a Chinese character two Latin
// columns wide) and 黑体 (Noto Sans CJK SC).
#pragma once

#include <QFont>
#include <QString>
#include <filesystem>
#include <functional>
#include <vector>

#include "core/result.h"
#include "reports/print_page.h"
#include "reports/sheet_text.h"

class QPagedPaintDevice;

namespace nlx::render {

// The installed family a report face is printed in.
QString report_family(reports::Face face);
QFont report_font(const reports::Font& font, double scale = 1);

// Called after each page painted; false stops the job.
using PageProgress = std::function<bool(int pages_done, int pages_total)>;

// Paints the pages on `device` (a printer the caller set up, or a PDF writer), on the pages' paper
// (the table report's A3, the assessment sheet's A4): one
// device page each, scaled down as a whole where a page would not fit the printable area. True
// when every page was painted, false when `progress` stopped the job (a printer's job is then
// aborted). A device that cannot be painted on is an error naming `what`.
Result<bool> paint_report(QPagedPaintDevice& device, const std::vector<reports::Page>& pages, const PageProgress& progress,
                          const std::string& what);

// Paints the sheet text in its box on one page of `device`.
Result<void> paint_sheet(QPagedPaintDevice& device, const std::string& text, const reports::SheetBox& box,
                         const std::string& what);

// The same as PDF files, written whole or not at all.
Result<bool> write_report_pdf(const std::filesystem::path& file, const std::vector<reports::Page>& pages,
                              const PageProgress& progress);
Result<void> write_sheet_pdf(const std::filesystem::path& file, const std::string& text, const reports::SheetBox& box);

// The system printer queues, and a printer set up for a queue by name ("" for the default).
QStringList printer_names();
Result<void> check_printer(const QString& name);

}  // namespace nlx::render
