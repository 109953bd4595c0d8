// The export command of the main window: save dialog, worker, closing question.
#include "app/export_commands.h"

#include <QFileInfo>

#include "app/wait_dialog.h"
#include "app/operator_dialogs.h"
#include "app/qt_text.h"
#include "core/texts.h"
#include "workbook/xlsx_file.h"

namespace nlx::app {

ExportCommands::ExportCommands(QWidget& window, OperatorDialogs& dialogs, WaitDialog& wait)
    : window_(window), dialogs_(dialogs), wait_(wait) {}

ExportCommands::~ExportCommands() = default;

bool ExportCommands::start(const QString& folder, std::vector<reports::WorkbookSheet> sheets) {
    if (job_.running()) return false;
    QString chosen = dialogs_.save_file(&window_, folder, QStringLiteral("excel files (*.xlsx);;all files (*)"));
    if (chosen.isEmpty()) return false;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".xlsx");
    path_ = chosen;
    worker_outcome_.reset();
    const bool started = job_.start(
        this, QStringLiteral("export"),
        [this, sheets = std::move(sheets), file = to_path(chosen)] { worker_outcome_ = workbook::write_xlsx(sheets, file); },
        [this] { ended(); });
    if (!started) return false;
    wait_.show_with(qtr(texts::kExportingCaption));
    emit running_changed(true);
    return true;
}

void ExportCommands::ended() {
    outcome_ = std::move(worker_outcome_);
    worker_outcome_.reset();
    wait_.hide();
    emit running_changed(false);
    if (outcome_ && !*outcome_) {
        dialogs_.inform(&window_, {}, qs(texts::export_failed(outcome_->message())));
    } else if (dialogs_.ask_ok_cancel(&window_, {}, qtr(texts::kExportOpenAsk))) {
        open_or_show_folder(dialogs_, &window_, path_);
    } else {
        dialogs_.inform(&window_, {}, qtr(texts::kExportDone));
    }
    emit finished();
}

}  // namespace nlx::app
