// The screenshot run: the virtual instrument, the real windows and downloads, pictures grabbed
// from the widgets as the operator would see them.
#include "app/screenshot_run.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QGuiApplication>
#include <QPixmap>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <functional>

#include "app/assessment_window.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "app/standard_dialog.h"
#include "app/team_dialog.h"
#include "app/wait_dialog.h"
#include "app/monitor_window.h"
#include "app/printer_speed_dialog.h"
#include "app/model_dialog.h"
#include "app/operator_dialogs.h"
#include "app/qt_text.h"
#include "app/record_grid.h"
#include "app/simulation.h"
#include "app/transfer_window.h"
#include "core/app_folder.h"
#include "core/download_status.h"
#include "core/models.h"
#include "transfer/transfer.h"

namespace nlx::app {
namespace {

// Lets the windows run until `done` holds or `ms` pass.
bool run_until(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// The run's answers: every question is answered yes, no file is chosen, nothing is opened or
// printed, and no box waits in a modal loop.
class UnattendedDialogs final : public OperatorDialogs {
public:
    void inform(QWidget*, const QString&, const QString&) override {}
    bool ask_yes_no(QWidget*, const QString&, const QString&) override { return true; }
    bool ask_ok_cancel(QWidget*, const QString&, const QString&) override { return true; }
    QString open_file(QWidget*, const QString&) override { return {}; }
    QString save_file(QWidget*, const QString&, const QString&) override { return {}; }
    bool open_with_desktop(const QString&) override { return false; }
    bool show_in_folder(const QString&) override { return false; }
    bool choose_printer(QWidget*, QPrinter&) override { return false; }
};

class Run {
public:
    explicit Run(const QString& folder) : folder_(folder) {}

    int operator()() {
        if (!QDir().mkpath(folder_)) return failed("cannot create " + folder_);
        if (!home_.isValid()) return failed("cannot create a temporary application folder");
        MainWindow form(to_path(home_.path()), dialogs_);
        form.start(SerialSettings{});
        if (!run_until([&] { return form.model_dialog() && form.model_dialog()->isVisible(); }, 5000))
            return failed("the model dialog did not show");
        save(form.model_dialog(), "model-dialog.png");
        if (!choose_model(form, 'a')) return 1;
        save(&form, "main-logo.png");

        for (const auto& model : all_models()) {
            if (!download(form, model)) return 1;
            save(&form, QStringLiteral("main-%1.png").arg(model.letter));
            if (&model == find_model('a')) {
                if (!chart(form, "STA", "chart-distribution.png", false)) return 1;
                if (!chart(form, "24h1", "chart-24h.png", true)) return 1;
                if (!assessment(form)) return 1;
            }
            if (&model == find_model('c') && !chart(form, "OCT", "chart-octave.png", true)) return 1;
            if (&model == find_model('c') && !transfers(form)) return 1;
        }
        if (!paced_download(form)) return 1;

        form.findChild<QAction*>("combaud")->trigger();
        if (!run_until([&] { return form.settings_dialog() && form.settings_dialog()->isVisible(); }, 5000))
            return failed("the settings dialog did not show");
        save(form.settings_dialog(), "settings.png");
        form.settings_dialog()->hide();
        form.findChild<QAction*>("team")->trigger();
        if (!run_until([&] { return form.team_dialog() && form.team_dialog()->isVisible(); }, 5000))
            return failed("the team database dialog did not show");
        save(form.team_dialog(), "team.png");
        form.team_dialog()->hide();
        if (!monitor(form)) return 1;
        form.speed_dialog()->show();
        if (!run_until([&] { return form.speed_dialog()->isVisible(); }, 5000)) return failed("Form5 did not show");
        save(form.speed_dialog(), "speed.png");
        form.speed_dialog()->hide();
        return failures_ == 0 ? 0 : 1;
    }

private:
    int failed(const QString& what) {
        std::fprintf(stderr, "nlx-gui --screenshot: %s\n", utf8(what).c_str());
        ++failures_;
        return 1;
    }

    void save(QWidget* widget, const QString& name) {
        QCoreApplication::processEvents();
        const QString file = QDir(folder_).filePath(name);
        if (!picture(widget).save(file)) failed("cannot write " + file);
        else std::printf("%s\n", utf8(file).c_str());
    }

    // On a real display the window as the screen shows it, with the window manager's frame and
    // title; on the headless platform the widget as it paints itself.
    static QPixmap picture(QWidget* widget) {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) return widget->grab();
        widget->raise();
        widget->activateWindow();
        // Mapped, framed and painted by the window manager and the X server before the grab.
        run_until([] { return false; }, 400);
        QScreen* screen = widget->screen();
        const QRect frame = widget->frameGeometry();
        return screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    }

    bool choose_model(MainWindow& form, char letter) {
        if (!form.model_dialog()) form.findChild<QAction*>("codechange")->trigger();
        ModelDialog* dialog = form.model_dialog();
        if (!dialog) return failed("no model dialog"), false;
        for (auto* option : dialog->findChildren<QRadioButton*>())
            if (option->property("letter").toChar() == QChar(letter)) option->click();
        dialog->findChild<QPushButton*>("Command1")->click();
        return form.model() == letter || (failed(QStringLiteral("model %1 not confirmed").arg(letter)), false);
    }

    // 设置 → 评价标准 with class 2 of GB 3096 chosen, the 24-hour profile on show with its limits,
    // and 达标评价 on the run and on a statistical group; then no standard again.
    bool assessment(MainWindow& form) {
        form.findChild<QAction*>("pingjbz")->trigger();
        StandardDialog* dialog = form.standard_dialog();
        if (!dialog || !dialog->isVisible()) return failed("the standard dialog did not show"), false;
        auto* standards = dialog->findChild<QComboBox*>("standardList");
        standards->setCurrentIndex(standards->findData(QStringLiteral("gb3096")));
        auto* classes = dialog->findChild<QComboBox*>("classList");
        classes->setCurrentIndex(classes->findData(QStringLiteral("2")));
        save(dialog, "standard.png");
        dialog->findChild<QPushButton*>("save")->click();
        if (!form.workspace().criterion()) return failed("the standard was not kept"), false;
        save(&form, "chart-24h-limits.png");
        form.findChild<QAction*>("dabpj")->trigger();
        AssessmentWindow* window = form.assessment_window();
        if (!window || !window->isVisible() || !window->shown()) return failed("the assessment window shows nothing"), false;
        save(window, "assessment-run.png");
        RecordGrid* grid = form.grid();
        const auto mode = record_column_index(*find_model(form.model()), kModeColumn);
        for (int r = 0; mode && r < grid->cells().rowCount(); ++r)
            if (grid->cells().text(r, *mode + 1).startsWith(QLatin1String("STA"))) {
                grid->set_current_row(r);
                break;
            }
        save(window, "assessment-group.png");
        window->hide();
        return form.workspace().choose_standard(std::nullopt).ok() || (failed("the standard was not removed"), false);
    }

    // 传输记录 after the downloads of models a, b and c, with b's capture file taken away.
    bool transfers(MainWindow& form) {
        form.findChild<QAction*>("transfers")->trigger();
        TransferWindow* window = form.transfer_window();
        if (!window || !window->isVisible()) return failed("the transfer window did not show"), false;
        const TransferEntry* b = window->entry(1);
        if (window->list()->rowCount() != 3 || !b || b->model != find_model('b')->letter)
            return failed("the transfer window does not list the three downloads"), false;
        std::error_code ec;
        std::filesystem::remove(logged_capture_path(storage_folder(to_path(home_.path())), b->capture_file), ec);
        window->reload();
        save(window, "transfers.png");
        window->hide();
        return window->greyed(1) || (failed("the missing capture is not greyed"), false);
    }

    // 监测 against the virtual instrument until a few levels are shown, so the trend has a line.
    bool monitor(MainWindow& form) {
        auto instrument = start_simulation({*find_model('a'), 5, 1, false, {}});
        if (!instrument) return failed(qs(instrument.message())), false;
        form.use_settings(simulation_settings(**instrument));
        if (!choose_model(form, 'a')) return false;
        form.findChild<QAction*>("jianc")->trigger();
        MonitorWindow* window = form.monitor_window();
        int shown = 0;
        auto connection = QObject::connect(&window->exchanges(), &MonitorController::shown, [&] { ++shown; });
        const bool in_time = run_until([&] { return shown >= 4; }, 15000);
        QObject::disconnect(connection);
        if (in_time) save(window, "monitor.png");
        window->close();
        run_until([&] { return !window->exchanges().running(); }, 5000);
        (*instrument)->stop();
        return in_time || (failed("the monitor showed no level"), false);
    }

    bool download(MainWindow& form, const ModelInfo& model) {
        const char letter = model.letter;
        auto instrument = start_simulation({model, 30, 1, false, {}});
        if (!instrument) return failed(qs(instrument.message())), false;
        form.use_settings(simulation_settings(**instrument));
        if (!choose_model(form, letter)) return false;
        form.findChild<QAction*>("recv")->trigger();
        bool ended = false;
        auto connection = QObject::connect(&form, &MainWindow::download_finished, [&] { ended = true; });
        bool in_time = run_until([&] { return ended; }, 60000);
        QObject::disconnect(connection);
        (*instrument)->stop();
        const auto& result = form.downloads().result();
        if (!in_time || !result || result->outcome != link::DownloadOutcome::completed)
            return failed(QStringLiteral("download of model %1 failed: %2").arg(letter).arg(result ? qs(download_status_text(result->outcome, result->detail)) : "timed out")), false;
        return true;
    }

    // Clicks the first row whose MODE begins with `mode`, then, with `command`, runs 分布图.
    bool chart(MainWindow& form, const char* mode, const char* file, bool command) {
        RecordGrid* grid = form.grid();
        auto position = record_column_index(*find_model(form.model()), kModeColumn);
        for (int r = 0; position && r < grid->cells().rowCount(); ++r) {
            if (!grid->cells().text(r, *position + 1).startsWith(QLatin1String(mode))) continue;
            grid->set_current_row(r);
            grid->click(r, 1);
            if (command) form.findChild<QAction*>("fenbt")->trigger();
            save(&form, QString::fromLatin1(file));
            return true;
        }
        return failed(QStringLiteral("no %1 group to chart").arg(QLatin1String(mode))), false;
    }

    // A download at the line rate: the please-wait window with its dots and the bytes received.
    bool paced_download(MainWindow& form) {
        auto instrument = start_simulation({*find_model('a'), 60, 2, true, {}});
        if (!instrument) return failed(qs(instrument.message())), false;
        form.use_settings(simulation_settings(**instrument));
        if (!choose_model(form, 'a')) return false;
        form.findChild<QAction*>("recv")->trigger();
        WaitDialog* wait = form.wait_window();
        if (!run_until([&] { return wait->isVisible() && wait->ticks() >= 3; }, 20000))
            return failed("the please-wait window did not show"), false;
        save(wait, "wait.png");
        save(&form, "main-during-download.png");
        form.downloads().cancel();
        bool ended = run_until([&] { return !form.downloads().running(); }, 10000);
        (*instrument)->stop();
        return ended || (failed("the paced download did not stop"), false);
    }

    QString folder_;
    QTemporaryDir home_;
    UnattendedDialogs dialogs_;
    int failures_ = 0;
};

}  // namespace

int run_screenshots(const QString& folder) { return Run(folder)(); }

}  // namespace nlx::app
