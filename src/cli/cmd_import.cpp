// nlx import: stores a capture file as a download would have stored it.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"
#include "cli/open_database.h"
#include "cli/options.h"
#include "core/app_folder.h"
#include "core/capture.h"
#include "core/heap.h"
#include "transfer/transfer.h"

namespace nlx::cli {

void register_import(CLI::App& app, int& exit_code) {
    auto* cmd = app.add_subcommand("import", "Decode a capture file and replace the model's records with it");
    struct Options {
        std::string model, db, capture_file;
        bool raw = false, partial = false;
    };
    auto opts = std::make_shared<Options>();
    add_model_option(*cmd, opts->model, false)->description(
        "Instrument model letter: taken from the capture file's header; needed with --raw");
    add_database_option(*cmd, opts->db);
    cmd->add_flag("--raw", opts->raw,
                  "The file is a raw dump without a header: the two count bytes, then the data");
    cmd->add_flag("--partial", opts->partial,
                  "Store the whole groups of a short capture, stating what was lost");
    cmd->add_option("CAPTURE", opts->capture_file, "Capture file written by a download (or a raw dump with --raw)")
        ->required()
        ->check(CLI::ExistingPath);
    cmd->callback([opts, &exit_code] {
        // The capture, its decoded groups and the database's pages take about this much: mapped
        // at once, an import of a full memory takes about 130 page faults fewer.
        constexpr std::size_t kImportMemory = std::size_t(512) << 10;
        ready_heap(kImportMemory);
        if (opts->raw && opts->model.empty()) throw CLI::RequiredError("--model (with --raw)");
        const ModelInfo* asked = opts->model.empty() ? nullptr : &chosen_model(opts->model);
        auto file = read_capture_file(opts->capture_file, opts->raw ? CaptureForm::raw : CaptureForm::with_header,
                                      opts->raw ? asked : nullptr);
        if (!file) throw Failure(file.message() + "; the records are unchanged");
        if (asked && asked != file->model)
            throw Failure("capture file " + opts->capture_file + " holds a transfer of model " +
                          std::string(1, file->model->letter) + ", not model " + opts->model +
                          "; the records are unchanged");
        const auto folder = application_folder();
        // Storing history files reads the storage folder, and tidies it on the way.
        Database database = open_for_writing(
            opts->db, file->model->history_files ? StorageFolder::left_to_store : StorageFolder::tidied);
        auto summary = import_capture(database, storage_folder(folder), opts->capture_file, *file, opts->partial);
        if (!summary) throw Failure("capture file " + opts->capture_file + ": " + summary.message());
        for (const auto& note : summary->notes) std::cerr << "note: " << decode_note_text(note) << "\n";
        std::cout << summary->line() << "\n";
        exit_code = 0;
    });
}

}  // namespace nlx::cli
