// The assessment window over the workspace's standard and the grid's rows.
#include "app/assessment_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "app/workspace.h"
#include "assess/assessment_output.h"
#include "core/texts.h"

namespace nlx::app {
namespace {

constexpr Wording kShown = Wording::operator_language;

// The columns of the table: 时段, 评价量, 测量值, 限值, 差值, 结论, and the hour's 序号.
constexpr std::size_t kShownHeadings[] = {5, 6, 7, 8, 9, 10, 1};

const QColor kPassColour(0, 110, 0), kFailColour(180, 0, 0);

QColor outcome_colour(assess::Outcome outcome) {
    return outcome == assess::Outcome::pass ? kPassColour : outcome == assess::Outcome::fail ? kFailColour : QColor(90, 90, 90);
}

}  // namespace

AssessmentWindow::AssessmentWindow(Workspace& workspace, std::function<charts::GroupRows()> rows, QWidget* parent)
    : QDialog(parent), workspace_(workspace), rows_(std::move(rows)) {
    setObjectName("assessment");
    setWindowTitle(qtr(texts::kAssessmentTitle));
    setModal(false);
    resize(780, 560);

    standard_ = new QLabel(this);
    standard_->setObjectName("standardLine");
    standard_->setWordWrap(true);
    heading_ = new QLabel(this);
    heading_->setObjectName("heading");
    heading_->setWordWrap(true);
    QFont bold = heading_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    heading_->setFont(bold);

    checks_ = new QTableWidget(this);
    checks_->setObjectName("checks");
    QStringList headings;
    for (std::size_t k : kShownHeadings) headings << qtr(assess::kTableHeadings[k]);
    checks_->setColumnCount(int(headings.size()));
    checks_->setHorizontalHeaderLabels(headings);
    checks_->verticalHeader()->hide();
    checks_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    checks_->setSelectionMode(QAbstractItemView::NoSelection);
    checks_->setFocusPolicy(Qt::NoFocus);
    checks_->horizontalHeader()->setStretchLastSection(true);

    details_ = new QLabel(this);
    details_->setObjectName("details");
    details_->setWordWrap(true);
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* choose = new QPushButton(qtr(texts::kChooseStandard), this);
    choose->setObjectName("chooseStandard");
    connect(choose, &QPushButton::clicked, this, &AssessmentWindow::choose_standard);
    auto* close = new QPushButton(qtr(texts::kClose), this);
    close->setObjectName("close");
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(choose);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(standard_);
    layout->addWidget(heading_);
    layout->addWidget(checks_, 1);
    layout->addWidget(details_);
    layout->addLayout(buttons);

    connect(&workspace_, &Workspace::standard_changed, this, &AssessmentWindow::refresh);
    // Another model's columns make no sense of the rows the grid still holds: nothing is shown
    // until a row of the new model's records is current.
    connect(&workspace_, &Workspace::model_changed, this, [this] { show_row(-1); });
}

void AssessmentWindow::show_row(int row) {
    row_ = row;
    refresh();
}

void AssessmentWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    refresh();
}

void AssessmentWindow::show_nothing(const QString& why) {
    shown_.reset();
    heading_->setText(why);
    heading_->setStyleSheet({});
    checks_->setRowCount(0);
    checks_->hide();
    details_->clear();
}

void AssessmentWindow::refresh() {
    // A closed window assesses nothing; it catches up when it is shown.
    if (!isVisible()) return;
    const auto& criterion = workspace_.criterion();
    if (!criterion) {
        const QString note = workspace_.standard_note();
        standard_->setText(qtr(texts::kNoStandardChosen) + (note.isEmpty() ? QString() : QStringLiteral("\n") + note));
        show_nothing({});
        return;
    }
    standard_->setText(qs(fill(nlx::tr(texts::kStandardLine), {criterion->description(kShown)})));
    const ModelInfo* model = workspace_.model();
    const charts::GroupRows rows = rows_();
    // The one empty row of a grid not filled yet is no group.
    if (!model || row_ < 0 || std::size_t(row_) >= rows.count || rows.text(std::size_t(row_), 0).empty()) {
        show_nothing(qtr(texts::kNoCurrentGroup));
        return;
    }
    const assess::Assessment a = assess::assess_row(*model, rows, std::size_t(row_), *criterion);
    const assess::Outcome outcome = a.outcome();
    heading_->setText(qs(assess::heading_line(a, kShown)));
    heading_->setStyleSheet(QStringLiteral("color: %1").arg(outcome_colour(outcome).name()));

    checks_->setRowCount(0);
    for (const auto& line : assess::table_lines(a, kShown)) {
        if (line.role == assess::TableLine::Role::missing_hours || a.refused) continue;
        const bool hour = line.role == assess::TableLine::Role::hour;
        const std::string cells[] = {line.period, line.quantity, line.measured, line.limit,
                                     line.margin, line.verdict, hour ? line.group : std::string()};
        const int r = checks_->rowCount();
        checks_->insertRow(r);
        for (int c = 0; c < int(std::size(cells)); ++c) {
            auto* item = new QTableWidgetItem(qs(cells[c]));
            item->setTextAlignment(c >= 2 && c <= 4 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
            if (c == 5 && !line.verdict.empty())
                item->setForeground(line.failed ? kFailColour : kPassColour);
            // The deciding lines stand out from the hours that are shown for reference.
            if (!hour) {
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
            }
            checks_->setItem(r, c, item);
        }
    }
    checks_->setVisible(checks_->rowCount() > 0);
    checks_->setColumnHidden(6, a.hours.empty());  // the hours' 序号: a run's only
    checks_->resizeColumnsToContents();

    QStringList details;
    if (a.refused) details << qs(fill(nlx::tr(texts::kRefusedLine), {a.refused->text(kShown)}));
    if (a.kind == assess::Assessment::Kind::run && !a.refused) {
        details << qs(fill(nlx::tr(texts::kMissingLine), {assess::hours_text(a.missing_hours, kShown)}));
        details << qtr(texts::kHourlyMarginsNote);
    }
    for (const auto& note : a.notes) details << qs(fill(nlx::tr(texts::kNoteLine), {note.text(kShown)}));
    details_->setText(details.join(QStringLiteral("\n")));
    shown_ = a;
}

}  // namespace nlx::app
