// The list of recordings, its chart and exports, each read or written on a worker thread.
#include "app/recordings_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/chart_view.h"
#include "app/operator_dialogs.h"
#include "app/qt_text.h"
#include "core/texts.h"
#include "store/database.h"
#include "transfer/recording_export.h"
#include "workbook/recording_workbook.h"

namespace nlx::app {

RecordingsWindow::RecordingsWindow(QWidget* parent, OperatorDialogs& dialogs) : QDialog(parent), dialogs_(dialogs) {
    setObjectName("recordings");
    setWindowTitle(qtr(texts::kRecordingsTitle));
    setModal(false);
    list_ = new QTableWidget(0, 6, this);
    list_->setObjectName("list");
    list_->setHorizontalHeaderLabels({qtr(texts::kRecordingStart), qtr(texts::kRecordingDuration), "LAeq", "Lmax", "L10", "L90"});
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    chart_ = new ChartView(QStringLiteral("history"), this);
    chart_->setMinimumHeight(260);
    csv_ = new QPushButton(qtr(texts::kRecordingExportCsv), this);
    xlsx_ = new QPushButton(qtr(texts::kRecordingExportXlsx), this);
    status_ = new QLabel(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addWidget(csv_);
    buttons->addWidget(xlsx_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addWidget(chart_, 2);
    layout->addLayout(buttons);
    resize(820, 620);
    connect(list_, &QTableWidget::itemSelectionChanged, this, &RecordingsWindow::draw_chosen);
    connect(csv_, &QPushButton::clicked, this, [this] { export_chosen(false); });
    connect(xlsx_, &QPushButton::clicked, this, [this] { export_chosen(true); });
}

RecordingsWindow::~RecordingsWindow() = default;

void RecordingsWindow::run(std::function<void()> body, std::function<void()> ended) {
    list_->setEnabled(false);
    csv_->setEnabled(false);
    xlsx_->setEnabled(false);
    job_.start(this, QStringLiteral("recordings"), std::move(body), [this, ended = std::move(ended)] {
        list_->setEnabled(true);
        csv_->setEnabled(chosen() != nullptr);
        xlsx_->setEnabled(chosen() != nullptr);
        ended();
        emit idle();
    });
}

void RecordingsWindow::reload(const std::filesystem::path& database) {
    if (job_.running()) return;
    database_ = database;
    run([this, database] {
        // A file that does not exist yet holds no recordings.
        std::error_code ec;
        if (!std::filesystem::exists(database, ec)) {
            read_ = std::vector<RecordingInfo>();
            return;
        }
        auto db = Database::open_read_only(database);
        if (!db) read_ = db.error();
        else read_ = db->recordings();
    }, [this] { fill(); });
}

void RecordingsWindow::fill() {
    recordings_.clear();
    list_->setRowCount(0);
    if (!read_) {
        status_->setText(qs(read_.message()));
        return;
    }
    recordings_ = std::move(*read_);
    status_->setText(recordings_.empty() ? qtr(texts::kRecordingNone) : QString());
    list_->setRowCount(int(recordings_.size()));
    for (int row = 0; row < int(recordings_.size()); ++row) {
        const RecordingInfo& r = recordings_[std::size_t(row)];
        const LevelSummary& s = r.summary;
        auto level = [&](int tenths) { return s.samples ? qs(tenths_text(tenths)) : QStringLiteral("-"); };
        const QString cells[] = {qs(iso_local_time(r.header.started_ms).substr(0, 23)), qs(duration_text(r.duration_ms())),
                                 level(s.laeq), level(s.lmax), level(s.l10), level(s.l90)};
        for (int col = 0; col < 6; ++col) list_->setItem(row, col, new QTableWidgetItem(cells[col]));
    }
}

const RecordingInfo* RecordingsWindow::chosen() const {
    const auto rows = list_->selectionModel() ? list_->selectionModel()->selectedRows() : QModelIndexList();
    if (rows.isEmpty()) return nullptr;
    const int row = rows.front().row();
    return row >= 0 && row < int(recordings_.size()) ? &recordings_[std::size_t(row)] : nullptr;
}

void RecordingsWindow::draw_chosen() {
    const RecordingInfo* r = chosen();
    if (!r || job_.running()) return;
    run([this, r = *r, database = database_] {
        auto db = Database::open_read_only(database);
        if (!db) drawn_ = db.error();
        else drawn_ = recording_chart(*db, r);
    }, [this] {
        if (drawn_) chart_->set_chart(*drawn_);
        else status_->setText(qs(drawn_.message()));
    });
}

void RecordingsWindow::export_chosen(bool xlsx) {
    const RecordingInfo* r = chosen();
    if (!r || job_.running()) return;
    const QString file = dialogs_.save_file(this, qpath(database_.parent_path()),
                                            xlsx ? QStringLiteral("Excel (*.xlsx)") : QStringLiteral("CSV (*.csv)"));
    if (file.isEmpty()) return;
    run([this, r = *r, database = database_, out = to_path(file), xlsx] {
        auto db = Database::open_read_only(database);
        if (!db) exported_ = db.error();
        else exported_ = xlsx ? workbook::write_recording_xlsx(*db, r, out) : write_recording_csv(*db, r, out);
    }, [this] {
        if (!exported_) dialogs_.inform(this, {}, qs(texts::export_failed(exported_.message())));
    });
}

void show_recordings(QWidget* parent, OperatorDialogs& dialogs, const std::filesystem::path& database) {
    auto* window = parent->findChild<RecordingsWindow*>(QStringLiteral("recordings"), Qt::FindDirectChildrenOnly);
    if (!window) window = new RecordingsWindow(parent, dialogs);
    window->reload(database);
    window->show();
    window->raise();
}

}  // namespace nlx::app
