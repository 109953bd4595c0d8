// Record-database commands: the file dialogs and messages around the store's file commands.
#include "app/database_commands.h"

#include "app/operator_dialogs.h"
#include "app/qt_text.h"
#include "app/workspace.h"
#include "core/decode_note.h"
#include "core/texts.h"
#include "store/file_commands.h"
#include "transfer/transfer.h"

namespace nlx::app {

DatabaseCommands::DatabaseCommands(QWidget& window, Workspace& workspace, OperatorDialogs& dialogs)
    : window_(window), workspace_(workspace), dialogs_(dialogs) {}

void DatabaseCommands::open() {
    const ModelInfo* model = workspace_.model();
    if (!model) return;
    const QString chosen = dialogs_.open_file(&window_, qpath(workspace_.start_folder()));
    if (chosen.isEmpty()) return;
    OpenOutcome outcome = open_record_file(to_path(chosen), *model, workspace_.app_folder());
    if (outcome.message) {
        dialogs_.inform(&window_, qs(outcome.message->title), qs(outcome.message->text));
        // The record connection goes back to the program's own file; the grid stays as it is.
        if (outcome.fallback) workspace_.fall_back_to(*outcome.fallback);
        return;
    }
    workspace_.use_database(to_path(chosen), std::move(*outcome.database));
    emit opened();
}

void DatabaseCommands::save_as() {
    if (!workspace_.model()) return;
    const QString chosen = dialogs_.save_file(&window_, qpath(workspace_.start_folder()));
    if (chosen.isEmpty()) return;
    Database* db = workspace_.records();
    if (!db) {
        dialogs_.inform(&window_, {}, qtr(texts::kSaveFailed));
        return;
    }
    if (auto message = save_database_as(*db, to_path(chosen)))
        dialogs_.inform(&window_, qs(message->title), qs(message->text));
    else
        dialogs_.inform(&window_, {}, qs(texts::saved_as(utf8(chosen))));
}

void DatabaseCommands::add_record() {
    const ModelInfo* model = workspace_.model();
    if (!model) return;
    Database* db = workspace_.records();
    auto added = db ? nlx::add_record(*db, *model)
                    : Result<AddedRecord>(fail(texts::add_record_no_table(record_table_name(model->letter))));
    if (!added) {
        dialogs_.inform(&window_, {}, qs(added.message()));
        return;
    }
    emit record_added();
}

void DatabaseCommands::offer_capture(const QString& path) {
    if (!dialogs_.ask_yes_no(&window_, {}, qs(texts::import_question(utf8(path))))) return;
    auto file = read_capture_file(to_path(path), CaptureForm::with_header);
    Database* db = file ? workspace_.records() : nullptr;
    auto stored = !file ? Result<TransferSummary>(file.error())
                  : !db ? Result<TransferSummary>(fail(std::string(nlx::tr(texts::kOpenFailed)) + " (" +
                                                       workspace_.database_file().string() + ")"))
                        : import_capture(*db, workspace_.storage_folder(), to_path(path), *file, true);
    if (!stored) {
        dialogs_.inform(&window_, {}, qs(texts::import_failed(stored.message())));
        return;
    }
    emit records_replaced(stored->model);
    // The message names also what the transfer lost or carried beyond its count.
    std::string text = texts::capture_imported(utf8(path), stored->model, stored->record_rows);
    for (const auto& note : stored->notes) text += "\n" + decode_note_text(note);
    dialogs_.inform(&window_, {}, qs(text));
}

}  // namespace nlx::app
