// Where the print commands send their pages: a PDF file or a printer queue, with the page
// progress on a terminal.
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "reports/print_page.h"
#include "reports/sheet_text.h"

namespace nlx::cli {

struct PrintTarget {
    std::string pdf, printer;
};

// --pdf OUT and --printer NAME, exactly one of them.
void add_print_target_options(CLI::App& cmd, PrintTarget& target);
// A usage error when neither was given.
void require_print_target(const PrintTarget& target);

// Prints the pages or the sheet; throws Failure naming the file or queue. Says on stdout where
// the pages went.
void print_pages(const PrintTarget& target, const std::vector<reports::Page>& pages);
void print_sheet(const PrintTarget& target, const std::string& text, const reports::SheetBox& box);

}  // namespace nlx::cli
