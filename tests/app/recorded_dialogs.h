// Dialog answers given in advance and messages kept instead of shown: for the window tests,
// which must never wait in a modal loop.
#pragma once

#include <QPrinter>
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "app/operator_dialogs.h"

namespace nlx::app {

struct ShownMessage {
    QString title;
    QString text;
};

class RecordedDialogs final : public OperatorDialogs {
public:
    std::vector<ShownMessage> messages;  // every box, in order
    std::deque<QString> files;           // answers of the file dialogs; empty: the operator cancels
    bool yes = true;                     // answer of every yes/no and OK/Cancel box
    std::deque<bool> answers;            // answers of the next boxes, before `yes`
    QStringList shown_files;             // files handed to the desktop's applications
    bool viewer_works = true;
    QStringList shown_folders;           // files whose folder was opened
    bool file_manager_works = true;
    QString printer_pdf;                 // the printer dialog chooses printing to this PDF file
    int printer_dialogs = 0;


    void inform(QWidget*, const QString& title, const QString& text) override { messages.push_back({title, text}); }
    bool ask_yes_no(QWidget*, const QString& title, const QString& text) override {
        messages.push_back({title, text});
        return next_answer();
    }
    bool ask_ok_cancel(QWidget*, const QString& title, const QString& text) override {
        messages.push_back({title, text});
        return next_answer();
    }
    QString open_file(QWidget*, const QString&) override { return next_file(); }
    QString save_file(QWidget*, const QString&, const QString&) override { return next_file(); }
    bool open_with_desktop(const QString& path) override {
        shown_files << path;
        return viewer_works;
    }

    bool show_in_folder(const QString& path) override {
        shown_folders << path;
        return file_manager_works;
    }

    bool choose_printer(QWidget*, QPrinter& printer) override {
        ++printer_dialogs;
        if (printer_pdf.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printer_pdf);
        return true;
    }

private:
    bool next_answer() {
        if (answers.empty()) return yes;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString next_file() {
        if (files.empty()) return {};
        QString file = files.front();
        files.pop_front();
        return file;
    }
};

}  // namespace nlx::app
