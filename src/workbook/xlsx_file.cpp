// The .xlsx writer: the worksheets through libxlsxwriter, then the temporary renamed into place.
#include "workbook/xlsx_file.h"

#include <cerrno>
#include <cstring>

#include "core/atomic_file.h"
#include "workbook/xlsx_library.h"

namespace nlx::workbook {
namespace fs = std::filesystem;

namespace {

// The workbook's cells; the first failing write's error, LXW_NO_ERROR when all went in.
lxw_error fill(const XlsxLibrary& x, lxw_workbook* book, const reports::WorkbookSheet& sheet) {
    lxw_worksheet* ws = x.workbook_add_worksheet(book, sheet.name.c_str());
    lxw_format* title = x.workbook_add_format(book);
    if (!ws || !title) return LXW_ERROR_MEMORY_MALLOC_FAILED;
    x.format_set_font_name(title, "宋体");
    x.format_set_bold(title);
    x.format_set_font_size(title, 18);
    const auto last = lxw_col_t(sheet.title_columns - 1);
    lxw_error e = last > 0 ? x.worksheet_merge_range(ws, 0, 0, 0, last, sheet.title.c_str(), title)
                           : x.worksheet_write_string(ws, 0, 0, sheet.title.c_str(), title);
    for (std::size_t c = 0; e == LXW_NO_ERROR && c < sheet.headings.size(); ++c)
        if (!sheet.headings[c].empty())
            e = x.worksheet_write_string(ws, 1, lxw_col_t(c), sheet.headings[c].c_str(), nullptr);
    for (std::size_t r = 0; e == LXW_NO_ERROR && r < sheet.rows.size(); ++r) {
        const auto& row = sheet.rows[r];
        for (std::size_t c = 0; e == LXW_NO_ERROR && c < row.size(); ++c)
            if (row[c] && !row[c]->empty())
                e = x.worksheet_write_string(ws, lxw_row_t(r + 2), lxw_col_t(c), row[c]->c_str(), nullptr);
    }
    return e;
}

}  // namespace

Result<void> write_xlsx(const reports::WorkbookSheet& sheet, const fs::path& file) {
    return write_xlsx(std::span<const reports::WorkbookSheet>(&sheet, 1), file);
}

Result<void> write_xlsx(std::span<const reports::WorkbookSheet> sheets, const fs::path& file) {
    // Workbooks that a killed export left half-written beside their names go first.
    remove_stale_temporaries(file.parent_path().empty() ? fs::path(".") : file.parent_path(), ".xlsx");
    const fs::path temporary = temporary_for(file);
    auto failed = [&](const std::string& why) -> Result<void> {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return fail(std::string("cannot write ").append(file.string()).append(": ").append(why));
    };
    auto library = xlsx_library();
    if (!library) return failed(library.message());
    const XlsxLibrary& x = **library;
    lxw_workbook* book = x.workbook_new(temporary.c_str());
    if (!book) return failed("out of memory");
    lxw_error filled = LXW_NO_ERROR;
    for (const auto& sheet : sheets)
        if (filled == LXW_NO_ERROR) filled = fill(x, book, sheet);
    // Closing writes the file, and frees the workbook whether or not the cells all went in.
    errno = 0;
    const lxw_error closed = x.workbook_close(book);
    if (filled != LXW_NO_ERROR) return failed(x.lxw_strerror(filled));
    if (closed != LXW_NO_ERROR) {
        // The library names the failing file call only through errno.
        const std::string why = x.lxw_strerror(closed);
        return failed(errno ? why + " (" + std::strerror(errno) + ")" : why);
    }
    const fs::path written[] = {temporary};
    if (auto synced = flush_to_disk(temporary.parent_path(), written); !synced) return failed(synced.message());
    if (auto renamed = rename_into_place(temporary, file); !renamed) return failed(renamed.message());
    return {};
}

}  // namespace nlx::workbook
