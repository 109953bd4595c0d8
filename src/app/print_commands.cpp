// Print commands of the main window: the groups come from the grid as the operator sees it.
#include "app/print_commands.h"

#include <QLabel>
#include <QPrinter>

#include "app/wait_dialog.h"
#include "app/grid_rows.h"
#include "app/operator_dialogs.h"
#include "app/qt_text.h"
#include "app/record_grid.h"
#include "core/calendar_date.h"
#include "core/texts.h"
#include "render/report_painter.h"
#include "reports/sheet_text.h"
#include "reports/table_report.h"

namespace nlx::app {

PrintCommands::PrintCommands(QWidget& window, OperatorDialogs& dialogs, RecordGrid& grid, WaitDialog& wait,
                             SheetViewParts parts, std::function<const ModelInfo*()> model)
    : window_(window), dialogs_(dialogs), grid_(grid), wait_(wait), parts_(parts), model_(std::move(model)) {
    connect(&wait_, &WaitDialog::cancel_requested, &jobs_, &PrintController::cancel);
    connect(&jobs_, &PrintController::progress, &wait_, &WaitDialog::set_progress);
    connect(&jobs_, &PrintController::finished, this, &PrintCommands::job_ended);
}

PrintCommands::~PrintCommands() = default;

QPrinter& PrintCommands::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void PrintCommands::printer_setup() {
    if (jobs_.running()) return;
    dialogs_.choose_printer(&window_, printer());
}

void PrintCommands::renew_printer() {
    // A job that failed or was stopped can leave Qt's printer active, refusing every later
    // change of queue or file ("Cannot be changed while printer is active"): the next job gets
    // a fresh printer with what the operator chose.
    if (!printer_) return;
    const QPrinter& old = *printer_;
    auto fresh = std::make_unique<QPrinter>(QPrinter::HighResolution);
    fresh->setOutputFormat(old.outputFormat());
    if (old.outputFormat() == QPrinter::NativeFormat) fresh->setPrinterName(old.printerName());
    fresh->setOutputFileName(old.outputFileName());
    fresh->setPageLayout(old.pageLayout());
    fresh->setCopyCount(old.copyCount());
    fresh->setCollateCopies(old.collateCopies());
    fresh->setColorMode(old.colorMode());
    fresh->setDuplex(old.duplex());
    printer_ = std::move(fresh);
}

bool PrintCommands::printer_ready() {
    if (jobs_.running()) return false;
    // A printer set to a file needs its file; the system's printers need one queue at least.
    // Qt falls back to a PDF printer without a file on a computer with no queue.
    const QPrinter& target = printer();
    const bool no_target = target.outputFormat() == QPrinter::NativeFormat
                               ? render::printer_names().isEmpty()
                               : target.outputFileName().isEmpty();
    if (no_target) {
        dialogs_.inform(&window_, {}, qtr(texts::kNoPrinter));
        return false;
    }
    return true;
}

namespace {

// The queue or file a job goes to, as the operator chose it.
QString target_name(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) return printer.outputFileName();
    return printer.printerName().isEmpty() ? qtr(texts::kDefaultPrinter) : printer.printerName();
}

}  // namespace

reports::ReportRows PrintCommands::grid_rows() const { return grid_report_rows(grid_.cells()); }

void PrintCommands::print_all() { print_range(0, grid_.cells().rowCount() - 1); }

void PrintCommands::print_more() {
    const auto [top, bottom] = grid_.selected_rows();
    print_range(top, bottom);
}

void PrintCommands::print_range(int first, int last) {
    if (!printer_ready()) return;
    const auto rows = grid_rows();
    if (first < 0 || last < first || rows.size() == 0) {
        dialogs_.inform(&window_, {}, qtr(texts::kNothingToPrint));
        return;
    }
    const ModelInfo* model = model_();
    if (!model) return;
    auto pages = reports::table_report(*model, rows, std::size_t(first), std::size_t(last), local_today());
    if (pages.empty()) {
        dialogs_.inform(&window_, {}, qtr(texts::kNothingToPrint));
        return;
    }
    const qint64 total = qint64(pages.size());
    QPrinter& target = printer();
    const QString what = target_name(target);
    if (!jobs_.start(target, std::move(pages), what)) return;
    wait_.count(WaitDialog::Count::pages);
    wait_.show_with(qtr(texts::kPrintingCaption));
    wait_.set_progress(0, total);
    wait_.set_cancellable(true);
    emit running_changed(true);
}

void PrintCommands::job_ended() {
    wait_.hide();
    wait_.set_cancellable(false);
    emit running_changed(false);
    const auto& outcome = jobs_.outcome();
    if (!outcome) return;
    if (*outcome && **outcome) return;
    renew_printer();
    if (!*outcome) dialogs_.inform(&window_, {}, qs(texts::print_failed(outcome->message())));
    else dialogs_.inform(&window_, {}, qtr(texts::kPrintCancelled));
}

void PrintCommands::print_one() {
    if (!printer_ready()) return;
    const int row = grid_.current_row();
    if (row < 0) {
        dialogs_.inform(&window_, {}, qtr(texts::kNothingToPrint));
        return;
    }
    const ModelInfo* model = model_();
    if (!model) return;
    const std::string text = reports::sheet_text(*model, grid_rows(), std::size_t(row));
    const reports::SheetBox box;

    // The sheet view: the sheet label alone on the white window while the page is printed; the
    // window comes back as it was whatever the printer does.
    struct Restore {
        SheetViewParts parts;
        bool title, logo, grid, charts;
        ~Restore() {
            parts.sheet->hide();
            parts.title->setVisible(title);
            parts.logo->setVisible(logo);
            parts.grid->setVisible(grid);
            parts.charts->setVisible(charts);
        }
    } restore{parts_, !parts_.title->isHidden(), !parts_.logo->isHidden(), !parts_.grid->isHidden(),
              !parts_.charts->isHidden()};
    parts_.grid->hide();
    parts_.logo->hide();
    parts_.charts->hide();
    parts_.title->hide();
    parts_.sheet->setFont(render::report_font(box.font));
    parts_.sheet->setWordWrap(true);
    parts_.sheet->setText(qs(text));
    parts_.sheet->show();

    QPrinter& target = printer();
    const QString what = target_name(target);
    if (auto printed = render::paint_sheet(target, text, box, utf8(what)); !printed) {
        renew_printer();
        dialogs_.inform(&window_, {}, qs(texts::print_failed(printed.message())));
    }
}

}  // namespace nlx::app
