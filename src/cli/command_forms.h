// The options of nlx import and nlx records as tables: nlx-plain registers its parser from them,
// and nlx reads the usual command lines of both against them without a parser library.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nlx {
struct ModelInfo;
}

namespace nlx::cli {

// One option of a command: a value option ("--db FILE"), a flag ("--raw") or the positional
// argument (a name without dashes, "CAPTURE").
template <class Request>
struct OptionForm {
    std::string_view name;
    std::string Request::*value = nullptr;
    bool Request::*flag = nullptr;
    // The values allowed; null when any is.
    std::vector<std::string> (*choices)() = nullptr;
    bool required = false;
    // The value names a file or folder that must exist.
    bool existing_path = false;
    std::string_view description;
};

inline constexpr std::string_view kModelDescription = "Instrument model letter";
inline constexpr std::string_view kDatabaseDescription =
    "Record database file (default: noise.db in the application folder)";

// The model letters of the model table, as --model takes them.
std::vector<std::string> model_letters();
// The model of a letter --model took; throws Failure for a letter no model has.
const ModelInfo& chosen_model(const std::string& letter);

struct ImportRequest {
    std::string model, db, capture_file;
    bool raw = false, partial = false;
};
// A raw dump names its model: --raw needs --model.
inline bool import_request_complete(const ImportRequest& r) { return !r.raw || !r.model.empty(); }

inline constexpr OptionForm<ImportRequest> kImportForm[] = {
    {.name = "--model", .value = &ImportRequest::model, .choices = model_letters,
     .description = "Instrument model letter: taken from the capture file's header; needed with --raw"},
    {.name = "--db", .value = &ImportRequest::db, .description = kDatabaseDescription},
    {.name = "--raw", .flag = &ImportRequest::raw,
     .description = "The file is a raw dump without a header: the two count bytes, then the data"},
    {.name = "--partial", .flag = &ImportRequest::partial,
     .description = "Store the whole groups of a short capture, stating what was lost"},
    {.name = "CAPTURE", .value = &ImportRequest::capture_file, .required = true, .existing_path = true,
     .description = "Capture file written by a download (or a raw dump with --raw)"},
};

struct RecordsRequest {
    std::string model, db, table = "records", format = "text";
};
std::vector<std::string> record_tables();
std::vector<std::string> record_formats();

inline constexpr OptionForm<RecordsRequest> kRecordsForm[] = {
    {.name = "--model", .value = &RecordsRequest::model, .choices = model_letters, .required = true,
     .description = kModelDescription},
    {.name = "--db", .value = &RecordsRequest::db, .description = kDatabaseDescription},
    {.name = "--table", .value = &RecordsRequest::table, .choices = record_tables,
     .description = "records (default) or distribution"},
    {.name = "--format", .value = &RecordsRequest::format, .choices = record_formats,
     .description = "text (default), csv or json; csv is for scripts and writes every value as stored (for a "
                    "spreadsheet use nlx export --csv, which keeps formula-like values from running)"},
};

}  // namespace nlx::cli
