// The desktop program on a real X display with a window manager, driven by an operator thread
// through the X server's own input (XTEST): model dialog, 接收, a row click, a print that fails
// for want of a printer, 打印机 → PDF file, 打印全部 to it, 导出, 监测 opened and closed. The
// program runs with the desktop's real dialogs; the operator only reads the windows' state,
// through the window thread, to know where to click.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTimer>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>

#include "app/main_window.h"
#include "app/monitor_window.h"
#include "app/model_dialog.h"
#include "app/operator_dialogs.h"
#include "app/print_commands.h"
#include "app/qt_text.h"
#include "app/qt_translation.h"
#include "app/record_grid.h"
#include "app/simulation.h"
#include "core/texts.h"
#include "render/cjk_font.h"

namespace {

using namespace nlx;
using namespace nlx::app;
using namespace std::chrono_literals;

struct Failed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The operator: the X server's pointer and keyboard, and eyes on the windows through the window
// thread (never touching a widget from its own thread).
class Operator {
public:
    Operator() : x_(XOpenDisplay(nullptr)) {
        if (!x_) throw Failed("cannot open the X display");
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(x_, &event, &error, &major, &minor)) throw Failed("the X server has no XTEST");
    }
    ~Operator() { XCloseDisplay(x_); }

    // Runs `look` on the window thread and returns what it gives.
    template <class F>
    auto on_gui(F look) -> decltype(look()) {
        decltype(look()) answer{};
        QMetaObject::invokeMethod(qApp, [&] { answer = look(); }, Qt::BlockingQueuedConnection);
        return answer;
    }

    void wait_for(const std::function<bool()>& shown, const std::string& what, std::chrono::seconds limit = 30s) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (!on_gui(shown)) {
            if (std::chrono::steady_clock::now() > until) throw Failed("waited in vain for " + what);
            std::this_thread::sleep_for(20ms);
        }
    }

    // The centre of a widget, or of a rectangle in its coordinates, on the screen.
    QPoint centre_of(QWidget* widget, QRect area = {}) {
        return on_gui([&] { return widget->mapToGlobal((area.isNull() ? widget->rect() : area).center()); });
    }

    void click(QPoint at) {
        XTestFakeMotionEvent(x_, -1, at.x(), at.y(), 0);
        XFlush(x_);
        std::this_thread::sleep_for(60ms);
        XTestFakeButtonEvent(x_, 1, True, 0);
        XTestFakeButtonEvent(x_, 1, False, 20);
        XFlush(x_);
        std::this_thread::sleep_for(120ms);
    }
    void click(QWidget* widget, QRect area = {}) { click(centre_of(widget, area)); }

    void key(KeySym symbol, KeySym modifier = NoSymbol) {
        const KeyCode code = XKeysymToKeycode(x_, symbol);
        const KeyCode held = modifier == NoSymbol ? 0 : XKeysymToKeycode(x_, modifier);
        if (held) XTestFakeKeyEvent(x_, held, True, 0);
        XTestFakeKeyEvent(x_, code, True, 0);
        XTestFakeKeyEvent(x_, code, False, 10);
        if (held) XTestFakeKeyEvent(x_, held, False, 10);
        XFlush(x_);
        std::this_thread::sleep_for(30ms);
    }
    // Types lower-case letters, digits, '/', '.', '-' and '_' (what the test's paths hold).
    void type(const std::string& text) {
        for (char c : text) {
            if (c == '_') key(XK_underscore, XK_Shift_L);
            else key(KeySym(static_cast<unsigned char>(c)));
        }
    }

    // The window's title as the X server holds it (_NET_WM_NAME), what the window manager shows.
    std::string x_title(WId window) {
        const Atom name = XInternAtom(x_, "_NET_WM_NAME", False), utf8 = XInternAtom(x_, "UTF8_STRING", False);
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        std::string title;
        if (XGetWindowProperty(x_, Window(window), name, 0, 1024, False, utf8, &type, &format, &items, &after, &data) ==
                Success &&
            data) {
            title.assign(reinterpret_cast<char*>(data), items);
            XFree(data);
        }
        return title;
    }

    // Opens `menu` on the main window's menu bar and chooses `item` in it.
    void choose(MainWindow& window, const char* menu, const char* item) {
        auto* bar_action = on_gui([&] { return window.findChild<QAction*>(QString::fromLatin1(menu) + "Menu"); });
        if (!bar_action) throw Failed(std::string("no menu ") + menu);
        QMenuBar* bar = on_gui([&] { return window.menuBar(); });
        click(bar, on_gui([&] { return bar->actionGeometry(bar_action); }));
        QMenu* popup = on_gui([&] { return bar_action->menu(); });
        wait_for([&] { return popup->isVisible(); }, std::string("the menu ") + menu);
        auto* action = on_gui([&] { return window.findChild<QAction*>(QString::fromLatin1(item)); });
        click(popup, on_gui([&] { return popup->actionGeometry(action); }));
    }

    // The modal box on show, once it is there.
    template <class Box>
    Box* modal(const std::string& what) {
        Box* box = nullptr;
        wait_for([&] { return (box = qobject_cast<Box*>(QApplication::activeModalWidget())) && box->isVisible(); }, what);
        std::this_thread::sleep_for(150ms);  // mapped and focused by the window manager
        return box;
    }

    // Answers the message box on show with `button`; the box's text must contain `expected`.
    QString answer_box(QMessageBox::StandardButton button, const QString& expected, const QString& button_text) {
        auto* box = modal<QMessageBox>("a message box saying " + expected.toStdString());
        const QString text = on_gui([&] { return box->text(); });
        if (!text.contains(expected)) throw Failed("the box says " + text.toStdString() + ", not " + expected.toStdString());
        QAbstractButton* chosen = on_gui([&] { return static_cast<QAbstractButton*>(box->button(button)); });
        if (!chosen) throw Failed("the box has no such button");
        QString caption = on_gui([&] { return chosen->text(); });
        if (caption.remove('&') != button_text)
            throw Failed("the button reads " + caption.toStdString() + ", not " + button_text.toStdString());
        click(chosen);
        wait_for([&] { return QApplication::activeModalWidget() != box; }, "the box to close");
        return text;
    }

private:
    Display* x_;
};

struct Scenario {
    MainWindow& window;
    Operator& op;
    std::string folder;  // lower-case letters and digits only: typed into the dialogs

    void model_dialog() {
        op.wait_for([&] { return window.model_dialog() && window.model_dialog()->isVisible(); }, "the model dialog");
        ModelDialog* dialog = op.on_gui([&] { return window.model_dialog(); });
        const std::string title = op.x_title(op.on_gui([&] { return dialog->winId(); }));
        if (title != nlx::texts::kModelDialogTitle) throw Failed("the model dialog's title is " + title);
        auto* option = op.on_gui([&] { return dialog->findChild<QRadioButton*>("Option1"); });
        auto* confirm = op.on_gui([&] { return dialog->findChild<QPushButton*>("Command1"); });
        op.click(option);
        op.wait_for([&] { return confirm->isEnabled(); }, "确 定 to be enabled");
        op.click(confirm);
        op.answer_box(QMessageBox::Ok, QStringLiteral("当前系统支持NLX3140A"), QStringLiteral("确定"));
        op.wait_for([&] { return window.isVisible() && window.model() == 'a'; }, "the main window");
        std::this_thread::sleep_for(300ms);
        const std::string caption = op.x_title(op.on_gui([&] { return window.winId(); }));
        if (caption != "NLX3140a(windows)") throw Failed("the main window's caption is " + caption);
    }

    void download() {
        op.choose(window, "file", "recv");
        op.wait_for([&] { return !window.downloads().running() && window.grid()->cells().rowCount() == 30; },
                    "30 groups in the grid", 60s);
    }

    void row_click() {
        RecordGrid* grid = op.on_gui([&] { return window.grid(); });
        const QRect cell = op.on_gui([&] { return grid->visualRect(grid->cells().index(2, 3)); });
        op.click(op.on_gui([&] { return grid->viewport()->mapToGlobal(cell.center()); }));
        op.wait_for([&] { return grid->current_row() == 2 && grid->cells().text(2, 0) == QStringLiteral("*"); },
                    "row 3 to be the current group");
    }

    // 打印全部 with no printer on the computer: said in Chinese, with what to do.
    void failed_print() {
        op.choose(window, "printt", "printall");
        op.answer_box(QMessageBox::Ok, nlx::app::qs(nlx::texts::kNoPrinter), QStringLiteral("确定"));
    }

    // 打印机: printing to a PDF file, typed into Qt's print dialog.
    void choose_pdf(const std::string& pdf) {
        op.choose(window, "shez", "printerr");
        auto* dialog = op.modal<QPrintDialog>("the print dialog");
        auto* printers = op.on_gui([&] { return dialog->findChild<QComboBox*>("printers"); });
        auto* file = op.on_gui([&] { return dialog->findChild<QLineEdit*>("filename"); });
        if (!printers || !file) throw Failed("the print dialog has no printer list or file field");
        const int pdf_entry = op.on_gui([&] { return printers->count() - 1; });  // "打印到文件 (PDF)" comes last
        if (op.on_gui([&] { return printers->currentIndex(); }) != pdf_entry) {
            op.click(printers);
            op.key(XK_End);
            op.key(XK_Return);
        }
        op.wait_for([&] { return file->isEnabled(); }, "the file field");
        op.click(file);
        op.key(XK_a, XK_Control_L);
        op.type(pdf);
        auto* buttons = op.on_gui([&] { return dialog->findChild<QDialogButtonBox*>(); });
        QAbstractButton* print = op.on_gui([&] { return static_cast<QAbstractButton*>(buttons->button(QDialogButtonBox::Ok)); });
        op.click(print);
        op.wait_for([&] { return QApplication::activeModalWidget() != dialog; }, "the print dialog to close");
    }

    void print_all_to(const std::string& pdf) {
        op.choose(window, "printt", "printall");
        op.wait_for([&] { return !window.prints().running() && QFile(QString::fromStdString(pdf)).size() > 1000; },
                    "the table report in " + pdf, 60s);
        QFile report(QString::fromStdString(pdf));
        if (!report.open(QIODevice::ReadOnly) || !report.readAll().startsWith("%PDF")) throw Failed(pdf + " is no PDF");
        if (QApplication::activeModalWidget()) throw Failed("a box is open after printing");
    }

    // 打印机 again shows the file chosen before; the dialog is left with Escape.
    void printer_dialog_remembers(const std::string& pdf) {
        op.choose(window, "shez", "printerr");
        auto* dialog = op.modal<QPrintDialog>("the print dialog");
        auto* file = op.on_gui([&] { return dialog->findChild<QLineEdit*>("filename"); });
        const QString shown = op.on_gui([&] { return file ? file->text() : QString(); });
        op.key(XK_Escape);
        op.wait_for([&] { return QApplication::activeModalWidget() != dialog; }, "the print dialog to close");
        if (shown != QString::fromStdString(pdf)) throw Failed("打印机 shows " + shown.toStdString() + ", not " + pdf);
    }

    void export_records(const std::string& xlsx) {
        op.choose(window, "file", "out");
        auto* dialog = op.modal<QFileDialog>("the save dialog");
        auto* name = op.on_gui([&] { return dialog->findChild<QLineEdit*>("fileNameEdit"); });
        if (!name) throw Failed("the save dialog has no file name field");
        op.click(name);
        op.key(XK_a, XK_Control_L);
        op.type(xlsx);
        op.key(XK_Return);
        op.answer_box(QMessageBox::Cancel, nlx::app::qs(nlx::texts::kExportOpenAsk), QStringLiteral("取消"));
        op.answer_box(QMessageBox::Ok, nlx::app::qs(nlx::texts::kExportDone), QStringLiteral("确定"));
        QFile workbook(QString::fromStdString(xlsx));
        if (!workbook.open(QIODevice::ReadOnly) || !workbook.read(2).startsWith("PK")) throw Failed(xlsx + " is no workbook");
    }

    // 监测 until a level is shown; Alt+F4, the window manager's close, ends it.
    void monitor() {
        auto* bar_item = op.on_gui([&] { return window.findChild<QAction*>("jianc"); });
        QMenuBar* bar = op.on_gui([&] { return window.menuBar(); });
        op.click(bar, op.on_gui([&] { return bar->actionGeometry(bar_item); }));
        op.wait_for([&] { return window.monitor_window() && window.monitor_window()->isVisible(); }, "the monitor window");
        MonitorWindow* monitor = op.on_gui([&] { return window.monitor_window(); });
        op.wait_for([&] { return monitor->last_level_text().startsWith(QStringLiteral("Lp=")); }, "a live level");
        std::this_thread::sleep_for(300ms);
        op.key(XK_F4, XK_Alt_L);
        op.wait_for([&] { return !monitor->isVisible() && !monitor->exchanges().running(); }, "the monitor to stop");
        if (!op.on_gui([&] { return window.findChild<QAction*>("recv")->isEnabled(); }))
            throw Failed("接收 stays disabled after the monitor closed");
    }

    void run() {
        const std::string pdf = folder + "/report.pdf", xlsx = folder + "/records.xlsx";
        model_dialog();
        download();
        row_click();
        failed_print();
        choose_pdf(pdf);
        print_all_to(pdf);
        printer_dialog_remembers(pdf);
        export_records(xlsx);
        monitor();
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nlx"));
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        std::fprintf(stderr, "real_desktop: skipped: needs the xcb platform on a real display, not %s\n",
                     qPrintable(QGuiApplication::platformName()));
        return 77;
    }
    nlx::render::use_cjk_font(application);
    if (!use_qt_chinese(application)) {
        std::fprintf(stderr, "real_desktop: Qt's Chinese catalogue qtbase_zh_CN.qm is not installed\n");
        return 1;
    }
    // A folder whose name the operator can type: lower-case letters and digits.
    const std::string folder = "/tmp/nlxdesktop" + std::to_string(getpid());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "/home");

    auto instrument = start_simulation({*find_model('a'), 30, 3, false, {}});
    if (!instrument) {
        std::fprintf(stderr, "real_desktop: %s\n", instrument.message().c_str());
        return 1;
    }
    DesktopDialogs dialogs;
    MainWindow window(folder + "/home", dialogs);
    window.start(simulation_settings(**instrument));

    std::string failure;
    std::atomic<bool> finished = false;
    std::thread driver([&] {
        try {
            Operator op;
            Scenario{window, op, folder}.run();
        } catch (const std::exception& e) {
            failure = e.what();
        }
        finished = true;
        QMetaObject::invokeMethod(qApp, [] { QApplication::closeAllWindows(); QCoreApplication::quit(); },
                                  Qt::QueuedConnection);
    });
    // A box left open by a failed step is closed so that the run ends.
    QTimer unstick;
    QObject::connect(&unstick, &QTimer::timeout, [&] {
        if (!finished) return;
        if (auto* modal = QApplication::activeModalWidget()) modal->close();
        QCoreApplication::quit();
    });
    unstick.start(500);
    application.exec();
    driver.join();
    (*instrument)->stop();
    std::filesystem::remove_all(folder);
    if (!failure.empty()) {
        std::fprintf(stderr, "real_desktop: FAILED: %s\n", failure.c_str());
        return 1;
    }
    std::printf("real_desktop: every step passed\n");
    return 0;
}
