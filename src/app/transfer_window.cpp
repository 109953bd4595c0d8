// The transfer log window over the store's log, restore and check.
#include "app/transfer_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/operator_dialogs.h"
#include "app/qt_text.h"
#include "core/texts.h"
#include "store/database.h"
#include "transfer/transfer.h"
#include "transfer/transfer_check.h"

namespace nlx::app {

TransferWindow::TransferWindow(QWidget* parent, OperatorDialogs& dialogs, std::function<Database*()> database,
                               std::filesystem::path storage_folder)
    : QDialog(parent), dialogs_(dialogs), database_(std::move(database)), storage_(std::move(storage_folder)) {
    setObjectName("transferLog");
    setWindowTitle(qtr(texts::kTransfersTitle));
    setWindowModality(Qt::ApplicationModal);
    resize(1000, 420);
    auto* layout = new QVBoxLayout(this);
    list_ = new QTableWidget(this);
    list_->setObjectName("transferList");
    QStringList headings;
    for (auto h : texts::kTransferHeadings) headings << qtr(h);
    list_->setColumnCount(int(headings.size()));
    list_->setHorizontalHeaderLabels(headings);
    list_->verticalHeader()->hide();
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(list_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (auto [name, caption, slot] : {std::tuple{"restore", nlx::tr(texts::kRestore), &TransferWindow::restore_chosen},
                                       std::tuple{"verify", nlx::tr(texts::kVerify), &TransferWindow::verify_chosen}}) {
        auto* button = new QPushButton(qs(caption), this);
        button->setObjectName(name);
        connect(button, &QPushButton::clicked, this, slot);
        buttons->addWidget(button);
    }
    auto* close = new QPushButton(qtr(texts::kClose), this);
    close->setObjectName("close");
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

void TransferWindow::reload() {
    entries_.clear();
    present_.clear();
    if (Database* db = database_()) {
        auto read = db->transfers();
        if (read) entries_ = std::move(*read);
        else dialogs_.inform(this, {}, qs(read.message()));
    }
    list_->clearContents();
    list_->setRowCount(int(entries_.size()));
    for (std::size_t r = 0; r < entries_.size(); ++r) {
        const auto& e = entries_[r];
        std::error_code ec;
        const auto file = logged_capture_path(storage_, e.capture_file);
        const bool present = std::filesystem::is_regular_file(file, ec);
        present_.push_back(present);
        const QString cells[] = {QString::number(e.id),
                                 qs(e.time),
                                 QString(QChar(e.model)),
                                 qs(e.port),
                                 e.baud ? QString::number(e.baud) : QString(),
                                 QString::number(e.announced),
                                 QString::number(e.received),
                                 qs(e.complete ? nlx::tr(texts::kYes) : nlx::tr(texts::kNo)),
                                 QString::number(e.record_rows),
                                 qs(e.capture_file)};
        for (int c = 0; c < int(std::size(cells)); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (!present) {
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
                item->setToolTip(qs(texts::capture_missing(file.string())));
            }
            list_->setItem(int(r), c, item);
        }
    }
    list_->resizeColumnsToContents();
    if (!entries_.empty()) list_->selectRow(0);
}

const TransferEntry* TransferWindow::entry(int row) const {
    return row >= 0 && row < int(entries_.size()) ? &entries_[std::size_t(row)] : nullptr;
}

bool TransferWindow::greyed(int row) const { return row >= 0 && row < int(present_.size()) && !present_[std::size_t(row)]; }

const TransferEntry* TransferWindow::chosen() {
    const auto rows = list_->selectionModel()->selectedRows();
    const TransferEntry* e = rows.isEmpty() ? nullptr : entry(rows.front().row());
    if (!e) dialogs_.inform(this, {}, qtr(texts::kNoTransferChosen));
    return e;
}

void TransferWindow::restore_chosen() {
    const TransferEntry* e = chosen();
    if (!e || !dialogs_.ask_yes_no(this, qtr(texts::kRestore), qtr(texts::kRestoreQuestion))) return;
    const char model = e->model;
    const long long id = e->id;
    Database* db = database_();
    auto stored = db ? restore_transfer(*db, storage_, id) : Result<TransferSummary>(fail(texts::transfer_unknown(id)));
    if (!stored) {
        dialogs_.inform(this, {}, qs(stored.message()));
        return;
    }
    reload();
    emit restored(model);
    dialogs_.inform(this, {}, qs(texts::transfer_restored(id, stored->record_rows)));
}

void TransferWindow::verify_chosen() {
    const TransferEntry* e = chosen();
    if (!e) return;
    Database* db = database_();
    auto check = db ? check_transfer(*db, storage_, e->id) : Result<TransferCheck>(fail(texts::transfer_unknown(e->id)));
    dialogs_.inform(this, qtr(texts::kVerify), qs(check ? check_text(*check) : check.message()));
}

}  // namespace nlx::app
