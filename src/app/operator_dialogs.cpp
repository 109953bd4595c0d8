// Message boxes, file dialogs and the desktop's applications for files.
#include "app/operator_dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpacerItem>
#include <QUrl>

#include "app/qt_text.h"
#include "core/texts.h"

namespace nlx::app {
namespace {

QString title_or_default(const QString& title) {
    return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}

// A box wide enough for its whole title: a window manager cuts a title longer than its window
// ("NLX3140a型噪声统计分析仪计算机接收软件" over a one-line text).
QMessageBox::StandardButton run_box(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title_or_default(title), text, buttons, parent);
    QFont caption = box.font();
    caption.setBold(true);
    // Room for the title in the title bar's font, a little larger than the window's, and for
    // the window manager's icon and buttons beside it.
    const int wanted = QFontMetrics(caption).horizontalAdvance(box.windowTitle()) * 6 / 5 + 160;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    return QMessageBox::StandardButton(box.exec());
}

QString record_filters() { return qtr(texts::kFilterAll) + QStringLiteral(";;") + qtr(texts::kFilterRecords); }

}  // namespace

void DesktopDialogs::inform(QWidget* parent, const QString& title, const QString& text) {
    run_box(parent, QMessageBox::Information, title, text, QMessageBox::Ok);
}

bool DesktopDialogs::ask_yes_no(QWidget* parent, const QString& title, const QString& text) {
    return run_box(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool DesktopDialogs::ask_ok_cancel(QWidget* parent, const QString& title, const QString& text) {
    return run_box(parent, QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

QString DesktopDialogs::open_file(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileName(parent, {}, folder, record_filters());
}

QString DesktopDialogs::save_file(QWidget* parent, const QString& folder, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, {}, folder, filter.isEmpty() ? record_filters() : filter);
}

bool DesktopDialogs::open_with_desktop(const QString& path) {
    // The file's own address, never a command line: the desktop picks the application.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopDialogs::show_in_folder(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

bool DesktopDialogs::choose_printer(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

void open_or_show_folder(OperatorDialogs& dialogs, QWidget* parent, const QString& path) {
    if (dialogs.open_with_desktop(path)) return;
    if (!dialogs.ask_yes_no(parent, {}, qs(texts::no_program_for(utf8(path))))) return;
    if (!dialogs.show_in_folder(path))
        dialogs.inform(parent, {}, qs(texts::folder_not_opened(utf8(QFileInfo(path).absolutePath()))));
}

}  // namespace nlx::app
