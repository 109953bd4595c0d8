// libxlsxwriter, loaded when the first workbook is written: the commands that write none start
// without it and the zip and crypto libraries it brings.
#pragma once

#include <xlsxwriter.h>

#include "core/result.h"

namespace nlx::workbook {

// The library's functions that the workbook writer calls.
struct XlsxLibrary {
    decltype(&::workbook_new) workbook_new = nullptr;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet = nullptr;
    decltype(&::workbook_add_format) workbook_add_format = nullptr;
    decltype(&::workbook_close) workbook_close = nullptr;
    decltype(&::format_set_font_name) format_set_font_name = nullptr;
    decltype(&::format_set_bold) format_set_bold = nullptr;
    decltype(&::format_set_font_size) format_set_font_size = nullptr;
    decltype(&::worksheet_merge_range) worksheet_merge_range = nullptr;
    decltype(&::worksheet_write_string) worksheet_write_string = nullptr;
    decltype(&::lxw_strerror) lxw_strerror = nullptr;
};

// The library of the version built against, loaded once; a message naming it and its package
// when it is missing or lacks a function.
Result<const XlsxLibrary*> xlsx_library();

}  // namespace nlx::workbook
