// Loading libxlsxwriter by its shared-object name and taking its functions from it.
#include "workbook/xlsx_library.h"

#include <dlfcn.h>

#include <string>
#include <type_traits>

namespace nlx::workbook {
namespace {

constexpr const char* kSoname = "libxlsxwriter.so." LXW_SOVERSION;

Result<XlsxLibrary> load() {
    void* handle = ::dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        return fail(std::string("cannot load the spreadsheet library ") + kSoname + " (package libxlsxwriter" +
                    LXW_SOVERSION + "): " + (why ? why : "unknown error"));
    }
    XlsxLibrary lib;
    std::string missing;
    auto take = [&](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(handle, name));
        if (!function) missing += missing.empty() ? name : std::string(", ") + name;
    };
    take(lib.workbook_new, "workbook_new");
    take(lib.workbook_add_worksheet, "workbook_add_worksheet");
    take(lib.workbook_add_format, "workbook_add_format");
    take(lib.workbook_close, "workbook_close");
    take(lib.format_set_font_name, "format_set_font_name");
    take(lib.format_set_bold, "format_set_bold");
    take(lib.format_set_font_size, "format_set_font_size");
    take(lib.worksheet_merge_range, "worksheet_merge_range");
    take(lib.worksheet_write_string, "worksheet_write_string");
    take(lib.lxw_strerror, "lxw_strerror");
    // The library stays loaded for the process: workbooks may be written again.
    if (!missing.empty()) return fail(std::string("the spreadsheet library ") + kSoname + " lacks " + missing);
    return lib;
}

}  // namespace

Result<const XlsxLibrary*> xlsx_library() {
    static const Result<XlsxLibrary> loaded = load();
    if (!loaded) return loaded.error();
    return &*loaded;
}

}  // namespace nlx::workbook
