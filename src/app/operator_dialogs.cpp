// Message boxes, file dialogs and the desktop's applications for files.
#include "app/operator_dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace nlx::app {
namespace {
QString title_or_default(const QString& title) {
    return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}
}  // namespace

void DesktopDialogs::inform(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title_or_default(title), text, QMessageBox::Ok);
}

bool DesktopDialogs::ask_yes_no(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title_or_default(title), text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

bool DesktopDialogs::ask_ok_cancel(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title_or_default(title), text, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

QString DesktopDialogs::open_file(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileName(parent, {}, folder);
}

QString DesktopDialogs::save_file(QWidget* parent, const QString& folder, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, {}, folder,
                                        filter.isEmpty() ? QStringLiteral("all files (*.*);;record files (*.db)") : filter);
}

bool DesktopDialogs::open_with_desktop(const QString& path) {
    // The file's own address, never a command line: the desktop picks the application.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopDialogs::choose_printer(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace nlx::app
