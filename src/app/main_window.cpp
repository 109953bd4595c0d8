// Main window: start-up, menus and their commands, the grid and charts, the download.
#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/assessment_window.h"
#include "app/chart_view.h"
#include "app/database_commands.h"
#include "app/export_commands.h"
#include "app/settings_dialog.h"
#include "app/standard_dialog.h"
#include "app/team_dialog.h"
#include "app/wait_dialog.h"
#include "app/monitor_window.h"
#include "app/recordings_window.h"
#include "app/printer_speed_dialog.h"
#include "app/model_dialog.h"
#include "app/grid_rows.h"
#include "app/language_dialog.h"
#include "app/group_charts.h"
#include "app/logo.h"
#include "app/menu_table.h"
#include "app/operator_dialogs.h"
#include "app/print_commands.h"
#include "app/qt_text.h"
#include "app/record_grid.h"
#include "app/transfer_window.h"
#include "assess/assessment.h"
#include "core/app_folder.h"
#include "core/decode_note.h"
#include "core/download_status.h"
#include "core/shell_texts.h"
#include "core/texts.h"
#include "render/chart_image.h"
#include "reports/assessment_sheet.h"
#include "reports/tm27_printout.h"
#include "reports/workbook_sheet.h"
#include "store/file_commands.h"
#include "transfer/transfer.h"
#include "team/team_settings.h"

namespace nlx::app {

MainWindow::MainWindow(std::filesystem::path app_folder, OperatorDialogs& dialogs)
    : workspace_(std::move(app_folder)), dialogs_(dialogs) {
    setObjectName("Form1");
    // Below this the charts' axis labels and the grid's columns no longer read.
    setMinimumSize(900, 620);
    resize(1200, 860);
    build_central();
    build_menus();
    wait_ = new WaitDialog(this);
    connect(wait_, &WaitDialog::cancel_requested, &downloads(), &DownloadController::cancel);
    database_commands_ = std::make_unique<DatabaseCommands>(*this, workspace_, dialogs_);
    connect(database_commands_.get(), &DatabaseCommands::opened, this, [this] {
        if (!refresh_grid()) return;
        show_grid();
        emit current_group_changed(grid_->current_row());
    });
    connect(database_commands_.get(), &DatabaseCommands::record_added, this, [this] {
        if (refresh_grid(true)) emit current_group_changed(grid_->current_row());
    });
    connect(database_commands_.get(), &DatabaseCommands::records_replaced, this, &MainWindow::show_replaced_records);
    connect(&workspace_, &Workspace::settings_changed, this, &MainWindow::update_status_line);
    connect(&workspace_, &Workspace::database_changed, this, &MainWindow::update_status_line);
    connect(&workspace_, &Workspace::model_changed, this, &MainWindow::update_status_line);
    connect(&workspace_, &Workspace::model_changed, this, &MainWindow::standard_or_model_changed);
    connect(&workspace_, &Workspace::standard_changed, this, &MainWindow::standard_or_model_changed);
    prints_ = std::make_unique<PrintCommands>(
        *this, dialogs_, *grid_, *wait_,
        SheetViewParts{title_label_, sheet_label_, logo_, grid_, findChild<QWidget*>("chartArea")}, [this] { return workspace_.model(); });
    connect(prints_.get(), &PrintCommands::running_changed, this, &MainWindow::set_serial_command_running);
    exports_ = std::make_unique<ExportCommands>(*this, dialogs_, *wait_);
    connect(exports_.get(), &ExportCommands::running_changed, this, &MainWindow::set_serial_command_running);
    connect(exports_.get(), &ExportCommands::finished, this, [this] { grid_->cells().mark(grid_->current_row()); });

    speed_dialog_ = new PrinterSpeedDialog(this);
    // The pause between printed groups is two ticks; a speed chosen during a run changes the
    // pauses still to come.
    connect(speed_dialog_, &PrinterSpeedDialog::interval_chosen, this, [this](std::chrono::milliseconds interval) {
        printer_tick_ = interval;
        tm27_pause_->set(2 * interval);
    });
    connect(wait_, &WaitDialog::cancel_requested, &tm27_, &Tm27Controller::cancel);
    connect(&tm27_, &Tm27Controller::status, title_label_, &QLabel::setText);
    connect(&tm27_, &Tm27Controller::progress, wait_, &WaitDialog::set_progress);
    connect(&tm27_, &Tm27Controller::finished, this, [this] {
        wait_->hide();
        wait_->set_cancellable(false);
        set_serial_command_running(false);
    });

    connect(&downloads(), &DownloadController::status, title_label_, &QLabel::setText);
    connect(&downloads(), &DownloadController::show_wait, wait_, &WaitDialog::show_with);
    connect(&downloads(), &DownloadController::hide_wait, wait_, &QWidget::hide);
    connect(&downloads(), &DownloadController::progress, wait_, &WaitDialog::set_progress);
    connect(&downloads(), &DownloadController::finished, this, &MainWindow::download_ended);

    connect(wait_, &WaitDialog::cancel_requested, &sync_, &SyncController::cancel);
    connect(&sync_, &SyncController::progress, wait_, &WaitDialog::set_progress);
    connect(&sync_, &SyncController::finished, this, &MainWindow::sync_ended);
}

MainWindow::~MainWindow() = default;

void MainWindow::build_central() {
    auto* background = new QWidget(this);
    background->setObjectName("background");
    background->setAutoFillBackground(true);
    // The window's background takes the keyboard while the grid is hidden, so that a key press
    // reaches the main window (and leaves the logo) whichever widget had the focus before.
    background->setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(background);
    layout->setContentsMargins(8, 8, 8, 8);

    title_label_ = new QLabel(background);
    title_label_->setObjectName("Label1");
    title_label_->setAlignment(Qt::AlignCenter);
    title_label_->setWordWrap(true);
    QFont title = title_label_->font();
    title.setPointSizeF(title.pointSizeF() * 1.5);
    title.setBold(true);
    title_label_->setFont(title);
    title_label_->setMinimumHeight(title_label_->fontMetrics().height() * 2);
    title_label_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addWidget(title_label_, 0, Qt::AlignTop);

    sheet_label_ = new QLabel(background);
    sheet_label_->setObjectName("Label2");
    sheet_label_->hide();
    layout->addWidget(sheet_label_);

    logo_ = new QLabel(background);
    logo_->setObjectName("Image1");
    logo_->setAlignment(Qt::AlignCenter);
    layout->addWidget(logo_, 1);

    grid_ = new RecordGrid(background);
    grid_->hide();
    layout->addWidget(grid_, 3);
    connect(grid_, &RecordGrid::current_row_changed, this, &MainWindow::current_group_changed);
    connect(grid_, &RecordGrid::clicked_row, this, &MainWindow::current_group_changed);
    connect(grid_, &RecordGrid::history_file_clicked, this, &MainWindow::open_history_file);
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
        connect(view, &ChartView::popup_requested, this, &MainWindow::show_popup);
        views[std::size_t(k++)] = view;
    }
    chart_area->hide();
    layout->addWidget(chart_area, 2);
    charts_ = std::make_unique<GroupCharts>(views, *chart_area, *grid_, *title_label_);
    connect(this, &MainWindow::current_group_changed, this, [this](int row) { charts_->distribution_update(row, workspace_.records()); });
    layout->addStretch(0);  // with grid and logo gone the title label stays at the top
    setCentralWidget(background);

    status_line_ = new QLabel(this);
    status_line_->setObjectName("statusLine");
    status_line_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(status_line_, 1);
}

void MainWindow::build_menus() {
    auto bind = [this](QAction* act, Command command) {
        connect(act, &QAction::triggered, this, [this, command] { run(command); });
    };
    auto add_items = [&](QMenu* menu, const MenuSpec& menu_entry) {
        menu->setObjectName(qs(menu_entry.name));
        for (const auto& item : menu_entry.items) {
            QAction* act = item.use == ItemUse::separator ? menu->addSeparator() : menu->addAction(qtr(item.caption));
            act->setObjectName(qs(item.name));
            act->setParent(this);  // found by name from the window, wherever its menu is
            if (item.use == ItemUse::later) act->setEnabled(false);
            if (item.use == ItemUse::exclusive) exclusive_actions_.push_back(act);
            if (item.command != Command::none) bind(act, item.command);
        }
    };
    for (const auto& bar_entry : menu_bar()) {
        if (bar_entry.items.empty()) {
            QAction* act = menuBar()->addAction(qtr(bar_entry.caption));
            act->setObjectName(qs(bar_entry.name));
            act->setParent(this);
            act->setEnabled(bar_entry.use != ItemUse::later);
            if (bar_entry.use == ItemUse::exclusive) exclusive_actions_.push_back(act);
            bind(act, bar_entry.command);
            continue;
        }
        QMenu* menu = menuBar()->addMenu(qtr(bar_entry.caption));
        menu->menuAction()->setObjectName(qs(bar_entry.name) + "Menu");
        add_items(menu, bar_entry);
    }
    popup_ = new QMenu(qtr(popup_menu().caption), this);
    add_items(popup_, popup_menu());
    // Over a chart the popup also offers to save that chart.
    popup_->addSeparator()->setObjectName("chartSeparator");
    save_png_ = popup_->addAction(qtr(texts::kSaveChartPng));
    save_png_->setObjectName("savePng");
    save_svg_ = popup_->addAction(qtr(texts::kSaveChartSvg));
    save_svg_->setObjectName("saveSvg");
    connect(save_png_, &QAction::triggered, this, [this] { save_chart(false); });
    connect(save_svg_, &QAction::triggered, this, [this] { save_chart(true); });
}

void MainWindow::run(Command command) {
    switch (command) {
        case Command::none: return;
        case Command::receive: return download();
        case Command::save_as: return database_commands_->save_as();
        case Command::open: return database_commands_->open();
        case Command::export_records: return export_records();
        case Command::transfers: return show_transfers();
        case Command::sync: return sync();
        case Command::recordings: return show_recordings(this, dialogs_, database_file());
        case Command::model_change: return show_model_dialog();
        case Command::exit: close(); return;
        case Command::serial_settings: return show_settings();
        case Command::team_settings: return show_team_settings();
        case Command::printer: return prints_->printer_setup();
        case Command::distribution: return charts_->distribution_command(workspace_.records());
        case Command::add_record: return database_commands_->add_record();
        case Command::standard_choice: return show_standard_dialog();
        case Command::assessment: return show_assessment();
        case Command::language: return show_language_dialog();
        case Command::print_one: return prints_->print_one();
        case Command::print_more: return prints_->print_more();
        case Command::print_all: return prints_->print_all();
        case Command::tm27_one: return tm27(false);
        case Command::tm27_all: return tm27(true);
        case Command::monitor: return monitor();
        case Command::about:
        case Command::help: return about();
        case Command::popup_about: return popup_about();
    }
}

void MainWindow::set_link_factory(LinkFactory links) { links_ = std::move(links); }

void MainWindow::monitor() {
    if (!monitor_window_) {
        monitor_window_ = new MonitorWindow(links_, this);
        connect(monitor_window_, &MonitorWindow::running_changed, this, &MainWindow::set_serial_command_running);
        connect(monitor_window_, &MonitorWindow::closed, this, [this] { monitor_loaded_ = false; });
    }
    // Set up for the model in use when it is first shown; a window hidden by its own ending keeps
    // its labels, one closed by the operator is set up afresh.
    if (!monitor_loaded_ && workspace_.model()) monitor_window_->load(*workspace_.model());
    monitor_loaded_ = true;
    monitor_window_->set_database(database_file());
    monitor_window_->monitor(settings().port, settings().baud);
}

void MainWindow::tm27(bool all) {
    if (tm27_.running() || !workspace_.model()) return;
    const auto rows = grid_report_rows(grid_->cells());
    const int current = grid_->current_row();
    if (rows.size() == 0 || current < 0) {
        title_label_->setText(qtr(texts::kNothingToPrint));
        return;
    }
    // TM27单组 prints the current group; TM27全部 every group from the first, whatever the row.
    link::Tm27Request request;
    request.port = settings().port;
    request.baud = settings().baud;
    const std::size_t first = all ? 0 : std::size_t(current), last = all ? rows.size() - 1 : std::size_t(current);
    for (std::size_t r = first; r <= last; ++r) request.groups.push_back(reports::tm27_printout(*workspace_.model(), rows, r));
    tm27_pause_->set(2 * printer_tick_);
    request.pause = tm27_pause_;
    speed_dialog_->show();
    if (!tm27_.start(links_, std::move(request))) return;
    set_serial_command_running(true);
    wait_->count(WaitDialog::Count::groups);
    wait_->show_with(qtr(texts::kTm27Caption));
    wait_->set_progress(0, qint64(last - first + 1));
    wait_->set_cancellable(true);
    // The speed choice stays in front of the please-wait window while it is open.
    speed_dialog_->raise();
    speed_dialog_->activateWindow();
}

void MainWindow::set_serial_command_running(bool running) {
    for (QAction* act : exclusive_actions_) act->setEnabled(!running);
}

void MainWindow::start(const std::optional<SerialSettings>& settings) {
    QCoreApplication::processEvents();
    workspace_.start(settings);
    hide();
    sheet_label_->hide();
    logo_->setPixmap(load_logo(app_folder()));
    show_model_dialog();
}

void MainWindow::show_model_dialog() {
    if (model_dialog_ && model_dialog_->isVisible()) {
        model_dialog_->raise();
        return;
    }
    model_dialog_ = new ModelDialog(this);
    connect(model_dialog_, &ModelDialog::confirmed, this, &MainWindow::confirm_model);
    // Closing the dialog before any model was chosen ends the program: it has no window then.
    connect(model_dialog_, &QDialog::finished, this, [this] {
        if (!workspace_.model()) QCoreApplication::quit();
    });
    model_dialog_->show();
}

void MainWindow::confirm_model(char letter) {
    const ModelInfo* model = find_model(letter);
    if (!model) return;
    grid_->hide();
    charts_->hide_all();
    QCoreApplication::processEvents();
    workspace_.use_model(*model);
    charts_->set_model(*model);
    show();
    grid_->lay_out(*model);
    centralWidget()->setFocus();
    title_label_->setText(qs(model_text(model->title_label)));
    setWindowTitle(qs(model->window_caption));
    dialogs_.inform(this, qtr(texts::kConfirmTitle), qs(confirmation_message(*model, settings())));
    if (!capture_to_offer_.isEmpty()) database_commands_->offer_capture(std::exchange(capture_to_offer_, QString()));
}

void MainWindow::show_settings() {
    if (!settings_dialog_) {
        settings_dialog_ = new SettingsDialog(settings_path(app_folder()), dialogs_, this);
        connect(settings_dialog_, &SettingsDialog::applied, this, [this](const SerialSettings& chosen) {
            use_settings(chosen);
            show();
        });
    }
    settings_dialog_->select(settings(), workspace_.settings_note());
    settings_dialog_->show();
    settings_dialog_->raise();
}

void MainWindow::show_language_dialog() {
    if (!language_dialog_)
        language_dialog_ = new LanguageDialog(workspace_.app_folder(),
                                              catalogue_folders(executable_folder(), environment_variable), dialogs_, this);
    language_dialog_->select();
    language_dialog_->show();
    language_dialog_->raise();
}

void MainWindow::show_standard_dialog() {
    if (!standard_dialog_) standard_dialog_ = new StandardDialog(workspace_, dialogs_, this);
    standard_dialog_->select();
    standard_dialog_->show();
    standard_dialog_->raise();
}

void MainWindow::show_assessment() {
    if (!assessment_) {
        // A window of its own beside the main window, whose grid, charts and title stay as they are.
        assessment_ = new AssessmentWindow(workspace_, [this] { return grid_group_rows(grid_->cells()); }, this);
        connect(this, &MainWindow::current_group_changed, assessment_, &AssessmentWindow::show_row);
        connect(assessment_, &AssessmentWindow::choose_standard, this, &MainWindow::show_standard_dialog);
    }
    assessment_->show_row(grid_->cells().rowCount() > 0 ? grid_->current_row() : -1);
    assessment_->show();
    assessment_->raise();
}

void MainWindow::standard_or_model_changed() {
    // The 24-hour profile draws the limits of a standard that limits what the model measures.
    const auto& criterion = workspace_.criterion();
    const ModelInfo* model = workspace_.model();
    charts_->set_limits(criterion && model && assess::fits_model(*model, *criterion) ? criterion : std::nullopt);
}

void MainWindow::update_status_line() {
    const ModelInfo* model = workspace_.model();
    const std::string caption = model ? std::string(model->option_caption) : std::string("-");
    status_line_->setText(
        qs(texts::status_line(database_file().string(), caption, port_caption(settings().port), settings().baud)));
}

void MainWindow::about() {
    const ModelInfo* model = workspace_.model();
    dialogs_.inform(this, model ? qs(model_text(model->about_title)) : QString(), qtr(texts::kAboutLines));
}

void MainWindow::popup_about() {
    const ModelInfo* model = workspace_.model();
    dialogs_.inform(this, {}, model ? qs(model_text(model->about_title)) : QString());
}

void MainWindow::show_grid() {
    // The logo state ends when the grid comes; the window turns white behind it.
    logo_->hide();
    QPalette white = centralWidget()->palette();
    white.setColor(QPalette::Window, QColor(255, 255, 255));
    centralWidget()->setPalette(white);
    grid_->show();
}

void MainWindow::leave_logo() {
    sheet_label_->clear();
    sheet_label_->hide();
    show_grid();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    leave_logo();
    QMainWindow::keyPressEvent(event);
}

void MainWindow::show_popup(const QPoint& at, ChartView* chart) {
    popup_chart_ = chart;
    for (QAction* act : {save_png_, save_svg_, findChild<QAction*>("chartSeparator")}) act->setVisible(chart != nullptr);
    popup_->popup(at);
}

void MainWindow::save_chart(bool svg) {
    ChartView* chart = popup_chart_;
    if (!chart) return;
    QString chosen = dialogs_.save_file(this, qpath(workspace_.start_folder()), svg ? QStringLiteral("SVG (*.svg)") : QStringLiteral("PNG (*.png)"));
    if (chosen.isEmpty()) return;
    std::filesystem::path file = to_path(chosen);
    if (file.extension().empty()) file += svg ? ".svg" : ".png";
    auto saved = render::save_chart(chart->chart_data(), file, chart->size().expandedTo(QSize(640, 400)),
                                    svg ? render::ImageFormat::svg : render::ImageFormat::png);
    if (!saved) dialogs_.inform(this, {}, qs(texts::save_chart_failed(saved.message())));
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        show_popup(event->globalPosition().toPoint(), nullptr);
        event->accept();
        return;
    }
    QMainWindow::mouseReleaseEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program; a running download is stopped first, storing
    // nothing, so no half-written state is left behind; a sync stops between transfers.
    downloads().cancel();
    sync_.cancel();
    event->accept();
    QCoreApplication::quit();
}

// --- Download ---------------------------------------------------------------------------------

void MainWindow::download() {
    if (!workspace_.model() || downloads().running()) return;
    set_serial_command_running(true);
    wait_->count(WaitDialog::Count::bytes);
    wait_->set_cancellable(true);
    DownloadJob job{{*workspace_.model(), settings().port, settings().baud}, database_file(), workspace_.storage_folder()};
    if (!downloads().start(job)) set_serial_command_running(false);
}

void MainWindow::download_ended() {
    wait_->hide();
    wait_->set_cancellable(false);
    const auto& result = downloads().result();
    // A broken transfer's text says also what became of the records stored before.
    if (result) {
        const std::string status = download_status_text(result->outcome, result->detail);
        title_label_->setText(qs(result->stored ? result->stored->with_records_note(status) : status));
    }
    // What the transfer lost or carried beyond its count, for the operator who points at the text.
    QStringList notes;
    if (result && result->stored)
        for (const auto& note : result->stored->notes) notes << qs(decode_note_text(note));
    title_label_->setToolTip(notes.join('\n'));
    if (result && result->stored) show_replaced_records(model());
    set_serial_command_running(false);
    emit download_finished();
}

// --- The grid ---------------------------------------------------------------------------------

bool MainWindow::refresh_grid(bool last_row_current) {
    const ModelInfo* model = workspace_.model();
    Database* db = model ? workspace_.records() : nullptr;
    auto table = db ? db->read_table(record_table_name(model->letter))
                    : Result<TableContents>(fail(texts::open_failed(database_file().string())));
    if (!table) {
        title_label_->setText(qs(texts::grid_read_failed(table.message())));
        return false;
    }
    grid_->fill(*table, *model);
    int rows = grid_->cells().rowCount();
    if (rows > 0) {
        grid_->set_current_row(last_row_current ? rows - 1 : 0);
        grid_->cells().mark(grid_->current_row());
        if (last_row_current) grid_->scrollToBottom();
    }
    return true;
}

void MainWindow::show_replaced_records(char model) {
    if (model != this->model() || !refresh_grid()) return;
    show_grid();
    emit current_group_changed(grid_->current_row());
}

void MainWindow::export_records() {
    const ModelInfo* model = workspace_.model();
    if (!model || exports_->running()) return;
    // The workbook holds the table as stored: the grid is read again (rows removed from the
    // display come back), keeping the operator's row.
    const int row = grid_->current_row();
    if (!refresh_grid()) return;
    if (row >= 0 && row < grid_->cells().rowCount()) grid_->set_current_row(row);
    std::vector<reports::WorkbookSheet> sheets{reports::export_sheet(*model, grid_report_rows(grid_->cells()))};
    // With a standard chosen that limits what the model measures, the operator may add the
    // assessment of every group as a second worksheet, as nlx export --assess does.
    const auto& criterion = workspace_.criterion();
    if (criterion && assess::fits_model(*model, *criterion) &&
        dialogs_.ask_yes_no(this, qtr(texts::kAssessmentTitle),
                            qs(texts::export_assessment_question(criterion->description(Wording::operator_language)))))
        sheets.push_back(reports::assessment_worksheet(
            *criterion, assess::assess_all(*model, grid_group_rows(grid_->cells()), *criterion), Wording::operator_language));
    exports_->start(qpath(workspace_.start_folder()), std::move(sheets));
}

void MainWindow::show_transfers() {
    if (!workspace_.model()) return;
    if (!transfers_) {
        transfers_ = new TransferWindow(this, dialogs_, [this] { return workspace_.records(); }, workspace_.storage_folder());
        connect(transfers_, &TransferWindow::restored, this, &MainWindow::show_replaced_records);
    }
    transfers_->reload();
    transfers_->show();
    transfers_->raise();
}

// --- The team database --------------------------------------------------------------------------

void MainWindow::sync() {
    if (sync_.running()) return;
    auto settings = team::load_team_settings(team::team_settings_path(app_folder()));
    if (!settings) {
        dialogs_.inform(this, {}, qs(settings.message()));
        return;
    }
    if (settings->server.empty()) {
        dialogs_.inform(this, {}, qtr(texts::kTeamNoAddress));
        show_team_settings();
        return;
    }
    sync_settings_ = *settings;
    SyncJob job{settings->server, settings->station, database_file(), workspace_.storage_folder()};
    if (!sync_.start(std::move(job))) return;
    set_serial_command_running(true);
    wait_->count(WaitDialog::Count::transfers);
    wait_->set_cancellable(true);
    wait_->show_with(qtr(texts::kSyncCaption));
}

void MainWindow::sync_ended() {
    wait_->hide();
    wait_->set_cancellable(false);
    set_serial_command_running(false);
    const auto& outcome = sync_.outcome();
    if (!outcome) return;
    if (!*outcome) {
        const std::string& message = outcome->message();
        const std::string said = texts::says_sync_failed(message) ? message : texts::sync_failed(message);
        title_label_->setText(qs(said.substr(0, said.find('\n'))));
        dialogs_.inform(this, qtr(texts::kTeamTitle), qs(said));
        return;
    }
    const team::SyncReport& report = outcome->value();
    // The name this station first sent under stays its name.
    if (auto kept = team::keep_station_name(team::team_settings_path(app_folder()), sync_settings_); !kept)
        dialogs_.inform(this, qtr(texts::kTeamTitle), qs(kept.message()));
    title_label_->setText(report.cancelled ? qs(texts::sync_cancelled(report.done))
                                           : qs(texts::sync_done(report.done, report.skipped)));
    if (!report.problems.empty()) {
        QString lines;
        for (const auto& p : report.problems) lines += qs(p) + QStringLiteral("\n");
        dialogs_.inform(this, qtr(texts::kTeamTitle), qs(texts::sync_done(report.done, report.skipped)) +
                                                         QStringLiteral("\n") + lines.trimmed());
    }
}

void MainWindow::show_team_settings() {
    if (!team_dialog_) team_dialog_ = new TeamDialog(team::team_settings_path(app_folder()), this);
    if (!team_dialog_->isVisible()) team_dialog_->load();
    team_dialog_->show();
    team_dialog_->raise();
}

void MainWindow::open_history_file(const QString& file) {
    if (!dialogs_.ask_yes_no(this, qtr(texts::kOpenHistoryTitle), qtr(texts::kOpenHistoryQuestion))) return;
    const QString path = qpath(workspace_.storage_folder() / to_path(file));
    if (!QFile::exists(path)) {
        dialogs_.inform(this, {}, qs(texts::history_missing(utf8(path))));
        return;
    }
    open_or_show_folder(dialogs_, this, path);
}

}  // namespace nlx::app
