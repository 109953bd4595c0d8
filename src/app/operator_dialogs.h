// The message boxes, file dialogs and viewer launch the windows use, behind one interface so
// that tests and the screenshot run answer them without a modal loop.
#pragma once

#include <QString>

class QWidget;
class QPrinter;

namespace nlx::app {

class OperatorDialogs {
public:
    virtual ~OperatorDialogs() = default;
    // A box with one OK button; an empty title means the application's own.
    virtual void inform(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual bool ask_yes_no(QWidget* parent, const QString& title, const QString& text) = 0;
    // The chosen file, or an empty string when the operator cancels.
    virtual QString open_file(QWidget* parent, const QString& folder) = 0;
    // `filter` as Qt's file dialogs take it; empty: all files and record files.
    virtual QString save_file(QWidget* parent, const QString& folder, const QString& filter = {}) = 0;
    // A box with OK and Cancel; true for OK.
    virtual bool ask_ok_cancel(QWidget* parent, const QString& title, const QString& text) = 0;
    // Opens a file in the desktop's application for its type (a text viewer, a spreadsheet
    // program); false when none could be started.
    virtual bool open_with_desktop(const QString& path) = 0;
    // Opens the folder that holds `path` in the desktop's file manager; false when none started.
    virtual bool show_in_folder(const QString& path) = 0;
    // The system's printer dialog on `printer`: the queue and its settings chosen there stay in
    // it. False when the operator cancels.
    virtual bool choose_printer(QWidget* parent, QPrinter& printer) = 0;
};

// The desktop's own: QMessageBox, QFileDialog, QDesktopServices.
class DesktopDialogs final : public OperatorDialogs {
public:
    void inform(QWidget* parent, const QString& title, const QString& text) override;
    bool ask_yes_no(QWidget* parent, const QString& title, const QString& text) override;
    QString open_file(QWidget* parent, const QString& folder) override;
    QString save_file(QWidget* parent, const QString& folder, const QString& filter = {}) override;
    bool ask_ok_cancel(QWidget* parent, const QString& title, const QString& text) override;
    bool open_with_desktop(const QString& path) override;
    bool show_in_folder(const QString& path) override;
    bool choose_printer(QWidget* parent, QPrinter& printer) override;
};

// Opens `path` in the desktop's program for its kind; when there is none, says so and offers to
// show the file in its folder.
void open_or_show_folder(OperatorDialogs& dialogs, QWidget* parent, const QString& path);

}  // namespace nlx::app
