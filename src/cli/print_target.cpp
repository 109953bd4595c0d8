// PDF files and printer queues for nlx report and nlx sheet.
#include "cli/print_target.h"

#include <unistd.h>

#include <iostream>

#include "cli/commands.h"
#include "cli/headless_app.h"

#ifdef NLX_WITH_RENDER
#include <QPrinter>

#include "render/report_painter.h"
#endif

namespace nlx::cli {
namespace {

#ifdef NLX_WITH_RENDER
// A printer queue set up as the print dialog leaves it: high resolution, colour.
std::unique_ptr<QPrinter> queue(const std::string& name) {
    const QString queue_name = QString::fromStdString(name);
    if (auto known = render::check_printer(queue_name); !known) throw Failure(known.message());
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPrinterName(queue_name);
    printer->setDocName(QStringLiteral("nlx"));
    return printer;
}

void check_sent(const QPrinter& printer, const std::string& name) {
    if (printer.printerState() == QPrinter::Error) throw Failure("printer queue " + name + " refused the job");
}

// Page progress on a terminal, one line rewritten.
render::PageProgress terminal_progress() {
    if (!isatty(STDERR_FILENO)) return {};
    return [](int done, int total) {
        std::cerr << "\rpage " << done << " of " << total << (done == total ? "\n" : "") << std::flush;
        return true;
    };
}
#endif

}  // namespace

void add_print_target_options(CLI::App& cmd, PrintTarget& target) {
    auto* pdf = cmd.add_option("--pdf", target.pdf, "Write the pages to this PDF file (A3)");
    auto* printer = cmd.add_option("--printer", target.printer, "Send the pages to this printer queue");
    pdf->excludes(printer);
    printer->excludes(pdf);
}

void require_print_target(const PrintTarget& target) {
    if (target.pdf.empty() && target.printer.empty()) throw CLI::RequiredError("--pdf OUT or --printer NAME");
}

void print_pages(const PrintTarget& target, const std::vector<reports::Page>& pages) {
    const auto application = headless_application();
#ifdef NLX_WITH_RENDER
    if (!target.pdf.empty()) {
        auto written = render::write_report_pdf(target.pdf, pages, terminal_progress());
        if (!written) throw Failure(written.message());
        std::cout << target.pdf << ": " << pages.size() << (pages.size() == 1 ? " page\n" : " pages\n");
        return;
    }
    auto printer = queue(target.printer);
    auto printed = render::paint_report(*printer, pages, terminal_progress(), "printer queue " + target.printer);
    if (!printed) throw Failure(printed.message());
    check_sent(*printer, target.printer);
    std::cout << "printer queue " << target.printer << ": " << pages.size() << (pages.size() == 1 ? " page\n" : " pages\n");
#else
    (void)target, (void)pages;
#endif
}

void print_sheet(const PrintTarget& target, const std::string& text, const reports::SheetBox& box) {
    const auto application = headless_application();
#ifdef NLX_WITH_RENDER
    if (!target.pdf.empty()) {
        if (auto written = render::write_sheet_pdf(target.pdf, text, box); !written) throw Failure(written.message());
        std::cout << target.pdf << ": 1 page\n";
        return;
    }
    auto printer = queue(target.printer);
    if (auto printed = render::paint_sheet(*printer, text, box, "printer queue " + target.printer); !printed)
        throw Failure(printed.message());
    check_sent(*printer, target.printer);
    std::cout << "printer queue " << target.printer << ": 1 page\n";
#else
    (void)target, (void)text, (void)box;
#endif
}

}  // namespace nlx::cli
