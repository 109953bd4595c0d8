// nlx import's work, shared by nlx and nlx-plain; writes through stdio, so nlx needs no iostreams.
#include "cli/import_run.h"

#include <cstdio>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "core/app_folder.h"
#include "core/capture.h"
#include "core/decode_note.h"
#include "core/heap.h"
#include "core/models.h"
#include "transfer/transfer.h"

namespace nlx::cli {

void run_import(const ImportRequest& request) {
    // The capture, its decoded groups and the database's pages take about this much: mapped at
    // once, an import of a full memory takes about 130 page faults fewer.
    constexpr std::size_t kImportMemory = std::size_t(512) << 10;
    ready_heap(kImportMemory);
    const ModelInfo* asked = request.model.empty() ? nullptr : &chosen_model(request.model);
    auto file = read_capture_file(request.capture_file, request.raw ? CaptureForm::raw : CaptureForm::with_header,
                                  request.raw ? asked : nullptr);
    if (!file) throw Failure(file.message() + "; the records are unchanged");
    if (asked && asked != file->model)
        throw Failure("capture file " + request.capture_file + " holds a transfer of model " +
                      std::string(1, file->model->letter) + ", not model " + request.model +
                      "; the records are unchanged");
    const auto folder = application_folder();
    // Storing history files reads the storage folder, and tidies it on the way.
    Database database = open_for_writing(
        request.db, file->model->history_files ? StorageFolder::left_to_store : StorageFolder::tidied);
    auto summary = import_capture(database, storage_folder(folder), request.capture_file, *file, request.partial);
    if (!summary) throw Failure("capture file " + request.capture_file + ": " + summary.message());
    for (const auto& note : summary->notes) std::fprintf(stderr, "note: %s\n", decode_note_text(note).c_str());
    const std::string line = summary->line() + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
}

}  // namespace nlx::cli
