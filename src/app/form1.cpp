// Main window: start-up, menus, the shell's commands, the download and the file commands.
#include "app/form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "app/chart_view.h"
#include "app/export_commands.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/form4.h"
#include "app/form5.h"
#include "app/form6.h"
#include "app/grid_rows.h"
#include "app/group_charts.h"
#include "app/logo.h"
#include "app/menu_table.h"
#include "app/operator_dialogs.h"
#include "app/print_commands.h"
#include "app/qt_text.h"
#include "app/record_grid.h"
#include "app/transfer_window.h"
#include "core/app_folder.h"
#include "core/shell_texts.h"
#include "core/texts.h"
#include "render/chart_image.h"
#include "reports/tm27_printout.h"
#include "reports/workbook_sheet.h"
#include "store/file_commands.h"
#include "store/transfer.h"

namespace nlx::app {

Form1::Form1(std::filesystem::path app_folder, OperatorDialogs& dialogs)
    : app_folder_(std::move(app_folder)), dialogs_(dialogs) {
    setObjectName("Form1");
    resize(1200, 860);
    build_central();
    build_menus();
    wait_ = new Form3(this);
    connect(wait_, &Form3::cancel_requested, &downloads_, &DownloadController::cancel);
    prints_ = std::make_unique<PrintCommands>(
        *this, dialogs_, *grid_, *wait_,
        SheetViewParts{label1_, label2_, image1_, grid_, findChild<QWidget*>("chartArea")}, [this] { return ab_; });
    connect(prints_.get(), &PrintCommands::running_changed, this, &Form1::set_serial_command_running);
    exports_ = std::make_unique<ExportCommands>(*this, dialogs_, *wait_);
    connect(exports_.get(), &ExportCommands::running_changed, this, &Form1::set_serial_command_running);
    connect(exports_.get(), &ExportCommands::finished, this, [this] { grid_->cells().mark(grid_->current_row()); });

    timer1_.setObjectName("Timer1");
    timer1_.setInterval(40000);
    form5_ = new Form5(this);
    // The pause between printed groups is two ticks of Timer1; a speed chosen during a run
    // changes the pauses still to come.
    connect(form5_, &Form5::interval_chosen, this, [this](std::chrono::milliseconds interval) {
        timer1_.setInterval(interval);
        tm27_pause_->set(2 * interval);
    });
    connect(wait_, &Form3::cancel_requested, &tm27_, &Tm27Controller::cancel);
    connect(&tm27_, &Tm27Controller::status, label1_, &QLabel::setText);
    connect(&tm27_, &Tm27Controller::progress, wait_, &Form3::set_progress);
    connect(&tm27_, &Tm27Controller::finished, this, [this] {
        wait_->hide();
        wait_->set_cancellable(false);
        set_serial_command_running(false);
    });
    connect(&timer1_, &QTimer::timeout, this, [this] { ++pause_; });

    connect(&downloads_, &DownloadController::status, label1_, &QLabel::setText);
    connect(&downloads_, &DownloadController::show_wait, wait_, &Form3::show_with);
    connect(&downloads_, &DownloadController::hide_wait, wait_, &QWidget::hide);
    connect(&downloads_, &DownloadController::progress, wait_, &Form3::set_progress);
    connect(&downloads_, &DownloadController::finished, this, &Form1::download_ended);
}

Form1::~Form1() = default;

void Form1::build_central() {
    auto* background = new QWidget(this);
    background->setObjectName("background");
    background->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(background);
    layout->setContentsMargins(8, 8, 8, 8);

    label1_ = new QLabel(background);
    label1_->setObjectName("Label1");
    label1_->setAlignment(Qt::AlignCenter);
    label1_->setWordWrap(true);
    QFont title = label1_->font();
    title.setPointSizeF(title.pointSizeF() * 1.5);
    title.setBold(true);
    label1_->setFont(title);
    label1_->setMinimumHeight(label1_->fontMetrics().height() * 2);
    label1_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addWidget(label1_, 0, Qt::AlignTop);

    label2_ = new QLabel(background);
    label2_->setObjectName("Label2");
    label2_->hide();
    layout->addWidget(label2_);

    image1_ = new QLabel(background);
    image1_->setObjectName("Image1");
    image1_->setAlignment(Qt::AlignCenter);
    layout->addWidget(image1_, 1);

    grid_ = new RecordGrid(background);
    grid_->hide();
    layout->addWidget(grid_, 3);
    connect(grid_, &RecordGrid::current_row_changed, this, &Form1::current_group_changed);
    connect(grid_, &RecordGrid::clicked_row, this, &Form1::current_group_changed);
    connect(grid_, &RecordGrid::history_file_clicked, this, &Form1::open_history_file);
    connect(grid_, &RecordGrid::popup_requested, this, [this](const QPoint& at) { show_popup(at, nullptr); });

    // The chart views, in an area that stays hidden until a chart is shown.
    auto* chart_area = new QWidget(background);
    chart_area->setObjectName("chartArea");
    auto* chart_row = new QHBoxLayout(chart_area);
    chart_row->setContentsMargins(0, 0, 0, 0);
    std::array<ChartView*, 3> views{};
    int k = 0;
    for (const char* name : {"MSChart1", "MSChart2", "MSChart3"}) {
        auto* view = new ChartView(QString::fromLatin1(name), chart_area);
        view->hide();
        chart_row->addWidget(view);
        connect(view, &ChartView::popup_requested, this, &Form1::show_popup);
        views[std::size_t(k++)] = view;
    }
    chart_area->hide();
    layout->addWidget(chart_area, 2);
    charts_ = std::make_unique<GroupCharts>(views, *chart_area, *grid_, *label1_);
    connect(this, &Form1::current_group_changed, this, [this](int row) { charts_->distribution_update(row, data1()); });
    layout->addStretch(0);  // with grid and logo gone the title label stays at the top
    setCentralWidget(background);
}

void Form1::build_menus() {
    const std::map<std::string_view, std::function<void()>> commands = {
        {"recv", [this] { download(); }},          {"recv1", [this] { download(); }},
        {"open", [this] { open_file(); }},         {"saveas", [this] { save_as(); }},
        {"out", [this] { export_records(); }},    {"transfers", [this] { show_transfers(); }},
        {"tianjjl", [this] { add_record_command(); }}, {"codechange", [this] { show_model_dialog(); }},
        {"exit", [this] { close(); }},             {"combaud", [this] { show_settings(); }},
        {"help1", [this] { about(); }},            {"help2", [this] { popup_about(); }},
        {"fenbt", [this] { charts_->distribution_command(data1()); }},
        {"printerr", [this] { prints_->printer_setup(); }}, {"printall", [this] { prints_->print_all(); }},
        {"printmore", [this] { prints_->print_more(); }}, {"printone", [this] { prints_->print_one(); }},
        {"jianc", [this] { monitor(); }},
        {"upone", [this] { tm27(false); }}, {"upall", [this] { tm27(true); }},
    };
    auto add_items = [&](QMenu* menu, const MenuSpec& menu_entry) {
        menu->setObjectName(qs(menu_entry.name));
        for (const auto& item : menu_entry.items) {
            QAction* act = item.use == ItemUse::separator ? menu->addSeparator() : menu->addAction(qs(item.caption));
            act->setObjectName(qs(item.name));
            act->setParent(this);  // found by name from the window, wherever its menu is
            if (item.use == ItemUse::later) act->setEnabled(false);
            if (item.use == ItemUse::exclusive) exclusive_actions_.push_back(act);
            if (auto found = commands.find(item.name); found != commands.end())
                connect(act, &QAction::triggered, this, found->second);
        }
    };
    for (const auto& bar_entry : menu_bar()) {
        if (bar_entry.items.empty()) {
            QAction* act = menuBar()->addAction(qs(bar_entry.caption));
            act->setObjectName(qs(bar_entry.name));
            act->setParent(this);
            act->setEnabled(bar_entry.use != ItemUse::later);
            if (bar_entry.use == ItemUse::exclusive) exclusive_actions_.push_back(act);
            if (auto found = commands.find(bar_entry.name); found != commands.end())
                connect(act, &QAction::triggered, this, found->second);
            continue;
        }
        QMenu* menu = menuBar()->addMenu(qs(bar_entry.caption));
        menu->menuAction()->setObjectName(qs(bar_entry.name) + "Menu");
        add_items(menu, bar_entry);
    }
    popup_ = new QMenu(qs(popup_menu().caption), this);
    add_items(popup_, popup_menu());
    // Over a chart the popup also offers to save that chart.
    popup_->addSeparator()->setObjectName("chartSeparator");
    save_png_ = popup_->addAction(qs(texts::kSaveChartPng));
    save_png_->setObjectName("savePng");
    save_svg_ = popup_->addAction(qs(texts::kSaveChartSvg));
    save_svg_->setObjectName("saveSvg");
    connect(save_png_, &QAction::triggered, this, [this] { save_chart(false); });
    connect(save_svg_, &QAction::triggered, this, [this] { save_chart(true); });
}

QAction* Form1::action(const char* name) const { return findChild<QAction*>(name); }

void Form1::set_link_factory(LinkFactory links) { links_ = std::move(links); }

void Form1::monitor() {
    if (!form4_) {
        form4_ = new Form4(links_, this);
        connect(form4_, &Form4::running_changed, this, &Form1::set_serial_command_running);
        connect(form4_, &Form4::closed, this, [this] { form4_loaded_ = false; });
    }
    // Set up for the model in use when it is first shown; a window hidden by its own ending keeps
    // its labels, one closed by the operator is set up afresh.
    if (!form4_loaded_) form4_->load(ab_);
    form4_loaded_ = true;
    form4_->monitor(settings_.port, settings_.baud);
}

void Form1::tm27(bool all) {
    if (tm27_.running() || !model_info_) return;
    const auto rows = grid_report_rows(grid_->cells());
    const int current = grid_->current_row();
    if (rows.size() == 0 || current < 0) {
        label1_->setText(qs(texts::kNothingToPrint));
        return;
    }
    // TM27单组 prints the current group; TM27全部 every group from the first, whatever the row.
    link::Tm27Request request;
    request.port = settings_.port;
    request.baud = settings_.baud;
    const std::size_t first = all ? 0 : std::size_t(current), last = all ? rows.size() - 1 : std::size_t(current);
    for (std::size_t r = first; r <= last; ++r) request.groups.push_back(reports::tm27_printout(ab_, rows, r));
    tm27_pause_->set(2 * std::chrono::milliseconds(timer1_.interval()));
    request.pause = tm27_pause_;
    form5_->show();
    if (!tm27_.start(links_, std::move(request))) return;
    set_serial_command_running(true);
    wait_->show_with(qs(texts::kTm27Caption));
    wait_->set_progress(0, qint64(last - first + 1));
    wait_->set_cancellable(true);
}

void Form1::set_serial_command_running(bool running) {
    for (QAction* act : exclusive_actions_) act->setEnabled(!running);
}

void Form1::start(const std::optional<SerialSettings>& settings) {
    QCoreApplication::processEvents();
    const LoadedSettings loaded = load_application_settings(app_folder_);
    settings_ = settings.value_or(loaded.settings);
    if (!settings && loaded.message && !loaded.missing) settings_note_ = qs(*loaded.message);
    hide();
    label2_->hide();
    fdir_ = to_path(QDir::currentPath());
    prn_ = 1;
    pause_ = 0;
    timer1_.stop();
    db_path_ = database_path(app_folder_);
    data1_.reset();
    image1_->setPixmap(load_logo(app_folder_));
    show_model_dialog();
}

void Form1::show_model_dialog() {
    if (form6_ && form6_->isVisible()) {
        form6_->raise();
        return;
    }
    form6_ = new Form6(this);
    connect(form6_, &Form6::confirmed, this, &Form1::confirm_model);
    // Closing the dialog before any model was chosen ends the program: it has no window then.
    connect(form6_, &QDialog::finished, this, [this] {
        if (ab_ == 0) QCoreApplication::quit();
    });
    form6_->show();
}

void Form1::confirm_model(char letter) {
    const ModelInfo* model = find_model(letter);
    if (!model) return;
    grid_->hide();
    charts_->hide_all();
    QCoreApplication::processEvents();
    ab_ = letter;
    model_info_ = model;
    charts_->set_model(*model);
    show();
    grid_->lay_out(*model);
    label1_->setText(qs(model->title_label));
    setWindowTitle(qs(model->window_caption));
    dialogs_.inform(this, qs(texts::kConfirmTitle), qs(confirmation_message(*model, settings_)));
    if (!capture_to_offer_.isEmpty()) offer_capture(std::exchange(capture_to_offer_, QString()));
}

void Form1::offer_capture(const QString& path) {
    if (!dialogs_.ask_yes_no(this, {}, qs(texts::import_question(utf8(path))))) return;
    auto file = read_capture_file(to_path(path), CaptureForm::with_header);
    Database* db = file ? data1() : nullptr;
    auto stored = !file ? Result<TransferSummary>(file.error())
                  : !db ? Result<TransferSummary>(fail(std::string(texts::kOpenFailed) + " (" + db_path_.string() + ")"))
                        : import_capture(*db, storage_folder(app_folder_), to_path(path), *file, true);
    if (!stored) {
        dialogs_.inform(this, {}, qs(texts::kImportFailed) + qs(stored.message()));
        return;
    }
    show_replaced_records(stored->model);
    dialogs_.inform(this, {}, qs(texts::capture_imported(utf8(path), stored->model, stored->record_rows)));
}

void Form1::show_settings() {
    if (!form2_) {
        form2_ = new Form2(settings_path(app_folder_), dialogs_, this);
        connect(form2_, &Form2::applied, this, [this](const SerialSettings& chosen) {
            use_settings(chosen);
            show();
        });
    }
    form2_->select(settings_, settings_note_);
    form2_->show();
    form2_->raise();
}

void Form1::use_settings(const SerialSettings& settings) {
    settings_ = settings;
    settings_note_.clear();
}

void Form1::about() {
    dialogs_.inform(this, model_info_ ? qs(model_info_->about_title) : QString(), qs(texts::kAboutLines));
}

void Form1::popup_about() {
    dialogs_.inform(this, {}, model_info_ ? qs(model_info_->about_title) : QString());
}

void Form1::show_grid() {
    // The logo state ends when the grid comes; the window turns white behind it.
    image1_->hide();
    QPalette white = centralWidget()->palette();
    white.setColor(QPalette::Window, QColor(255, 255, 255));
    centralWidget()->setPalette(white);
    grid_->show();
}

void Form1::leave_logo() {
    label2_->clear();
    label2_->hide();
    show_grid();
    prn_ = 1;
}

void Form1::keyPressEvent(QKeyEvent* event) {
    leave_logo();
    QMainWindow::keyPressEvent(event);
}

void Form1::show_popup(const QPoint& at, ChartView* chart) {
    popup_chart_ = chart;
    for (QAction* act : {save_png_, save_svg_, findChild<QAction*>("chartSeparator")}) act->setVisible(chart != nullptr);
    popup_->popup(at);
}

void Form1::save_chart(bool svg) {
    ChartView* chart = popup_chart_;
    if (!chart) return;
    QString chosen = dialogs_.save_file(this, qpath(fdir_), svg ? QStringLiteral("SVG (*.svg)") : QStringLiteral("PNG (*.png)"));
    if (chosen.isEmpty()) return;
    std::filesystem::path file = to_path(chosen);
    if (file.extension().empty()) file += svg ? ".svg" : ".png";
    auto saved = render::save_chart(chart->chart_data(), file, chart->size().expandedTo(QSize(640, 400)),
                                    svg ? render::ImageFormat::svg : render::ImageFormat::png);
    if (!saved) dialogs_.inform(this, {}, qs(texts::kSaveChartFailed) + qs(saved.message()));
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        show_popup(event->globalPosition().toPoint(), nullptr);
        event->accept();
        return;
    }
    QMainWindow::mouseReleaseEvent(event);
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program; a running download is stopped first, storing
    // nothing, so no half-written state is left behind.
    downloads_.cancel();
    event->accept();
    QCoreApplication::quit();
}

// --- Download ---------------------------------------------------------------------------------

void Form1::download() {
    if (!model_info_ || downloads_.running()) return;
    set_serial_command_running(true);
    wait_->set_cancellable(true);
    DownloadJob job{{ab_, settings_.port, settings_.baud}, db_path_, storage_folder(app_folder_)};
    if (!downloads_.start(job)) set_serial_command_running(false);
}

void Form1::download_ended() {
    wait_->hide();
    wait_->set_cancellable(false);
    const auto& result = downloads_.result();
    // A broken transfer's text says also what became of the records stored before.
    if (result) label1_->setText(qs(result->status + (result->stored ? result->stored->status_addition() : "")));
    if (result && result->stored) show_replaced_records(ab_);
    set_serial_command_running(false);
    emit download_finished();
}

// --- Database files ---------------------------------------------------------------------------

Database* Form1::data1() {
    if (!data1_ || !data1_->exists()) {
        auto db = Database::create_or_open(db_path_);
        if (!db) return nullptr;
        data1_ = std::move(*db);
    }
    return &*data1_;
}

bool Form1::refresh_grid(bool last_row_current) {
    Database* db = data1();
    auto table = db ? db->read_table(record_table_name(ab_)) : Result<TableContents>(fail("no database"));
    if (!table) {
        label1_->setText(qs(texts::kGridReadFailed) + qs(table.message()));
        return false;
    }
    grid_->fill(*table, *model_info_);
    int rows = grid_->cells().rowCount();
    if (rows > 0) {
        grid_->set_current_row(last_row_current ? rows - 1 : 0);
        grid_->cells().mark(grid_->current_row());
        if (last_row_current) grid_->scrollToBottom();
    }
    return true;
}

void Form1::open_file() {
    if (!model_info_) return;
    const QString chosen = dialogs_.open_file(this, qpath(fdir_));
    if (chosen.isEmpty()) return;
    OpenOutcome outcome = open_record_file(to_path(chosen), ab_, app_folder_);
    if (outcome.message) {
        dialogs_.inform(this, qs(outcome.message->title), qs(outcome.message->text));
        if (outcome.fallback) {
            // The record connection goes back to the program's own file; the grid stays as it is.
            db_path_ = *outcome.fallback;
            data1_.reset();
        }
        return;
    }
    db_path_ = to_path(chosen);
    data1_ = std::move(*outcome.database);
    if (!refresh_grid()) return;
    show_grid();
    emit current_group_changed(grid_->current_row());
}

void Form1::save_as() {
    if (!model_info_) return;
    const QString chosen = dialogs_.save_file(this, qpath(fdir_));
    if (chosen.isEmpty()) return;
    Database* db = data1();
    if (!db) {
        dialogs_.inform(this, {}, qs(texts::kSaveFailed));
        return;
    }
    if (auto message = save_database_as(*db, to_path(chosen)))
        dialogs_.inform(this, qs(message->title), qs(message->text));
}

void Form1::show_replaced_records(char model) {
    if (model != ab_ || !refresh_grid()) return;
    show_grid();
    emit current_group_changed(grid_->current_row());
}

void Form1::export_records() {
    if (!model_info_ || exports_->running()) return;
    // The workbook holds the table as stored: the grid is read again (rows removed from the
    // display come back), keeping the operator's row.
    const int row = grid_->current_row();
    if (!refresh_grid()) return;
    if (row >= 0 && row < grid_->cells().rowCount()) grid_->set_current_row(row);
    exports_->start(qpath(fdir_), reports::export_sheet(*model_info_, grid_report_rows(grid_->cells())));
}

void Form1::show_transfers() {
    if (!model_info_) return;
    if (!transfers_) {
        transfers_ = new TransferWindow(this, dialogs_, [this] { return data1(); }, storage_folder(app_folder_));
        connect(transfers_, &TransferWindow::restored, this, &Form1::show_replaced_records);
    }
    transfers_->reload();
    transfers_->show();
    transfers_->raise();
}

void Form1::add_record_command() {
    if (!model_info_) return;
    Database* db = data1();
    auto added = db ? add_record(*db, ab_) : Result<AddedRecord>(fail(texts::add_record_no_table(record_table_name(ab_))));
    if (!added) {
        dialogs_.inform(this, {}, qs(added.message()));
        return;
    }
    if (refresh_grid(true)) emit current_group_changed(grid_->current_row());
}

void Form1::open_history_file(const QString& file) {
    if (!dialogs_.ask_yes_no(this, qs(texts::kOpenHistoryTitle), qs(texts::kOpenHistoryQuestion))) return;
    const QString path = qpath(storage_folder(app_folder_) / to_path(file));
    if (!QFile::exists(path)) {
        dialogs_.inform(this, {}, qs(texts::history_missing(utf8(path))));
        return;
    }
    if (!dialogs_.open_with_desktop(path)) dialogs_.inform(this, {}, qs(texts::file_not_opened(utf8(path))));
}

}  // namespace nlx::app
