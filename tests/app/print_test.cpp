// The print menu on a printer set to a PDF file: the table report off the window thread, the
// selection of 打印多组 in either direction, and the sheet view of 打印单组 taken down again.
#include <QLabel>
#include <QProcess>

#include "app/wait_dialog.h"
#include "app/print_commands.h"
#include "core/texts.h"
#include "render/report_painter.h"
#include "shell_fixture.h"

namespace nlx::app::test {

class PrintTest : public QObject {
    Q_OBJECT

public:
    // No printer queue is reachable: the tests choose their printers themselves.
    PrintTest() { qputenv("CUPS_SERVER", "/nonexistent/nlx-no-cups.sock"); }

    // The PDF's text as pdftotext lays it out.
    static QString pdf_text(const QString& file) {
        QProcess process;
        process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
        if (!process.waitForFinished(30000)) return {};
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    static int pages(const QString& text) { return int(text.count(QLatin1Char('\f'))); }

    // Starts the program with `groups` groups of `model` and its printer set to a PDF file.
    static QString start_printing(Shell& shell, char model, int groups) {
        shell.start_with_groups(model, groups);
        const QString pdf = shell.home.filePath(QStringLiteral("report.pdf"));
        shell.dialogs.printer_pdf = pdf;
        shell.action("printerr")->trigger();
        return pdf;
    }

    static bool wait_for_job(Shell& shell) {
        QSignalSpy finished(&shell.form->prints().jobs(), &PrintController::finished);
        return shell.form->prints().running() ? finished.wait(60000) : true;
    }

private slots:
    void printAllRunsOffTheWindowThread() {
        Shell shell;
        const QString pdf = start_printing(shell, 'b', 37);
        shell.action("printall")->trigger();
        QVERIFY(shell.form->prints().running());
        QVERIFY(!shell.action("recv")->isEnabled());
        QVERIFY(!shell.action("printall")->isEnabled());
        QVERIFY(wait_for_job(shell));
        QVERIFY(shell.action("recv")->isEnabled());
        const QString text = pdf_text(pdf);
        QCOMPARE(pages(text), 2);
        QVERIFY(text.contains(QStringLiteral("NLX3140b测量结果")));
        QVERIFY(text.section(QLatin1Char(0x0c), 1).contains(QStringLiteral("037 ")));  // group 37 on page 2
        QCOMPARE(shell.dialogs.messages.size(), std::size_t(1));  // the model confirmation alone
    }

    void cancelStopsTheJob() {
        Shell shell;
        const QString pdf = start_printing(shell, 'a', 400);
        shell.action("printall")->trigger();
        auto* cancel = shell.form->wait_window()->findChild<QPushButton*>("cancel");
        QVERIFY(cancel && cancel->isVisible());
        cancel->click();
        QVERIFY(wait_for_job(shell));
        QCOMPARE(shell.dialogs.messages.back().text, QStringLiteral("打印已取消"));
        QVERIFY(!shell.form->wait_window()->isVisible());
        QVERIFY(shell.action("printall")->isEnabled());
    }

    void printMoreEitherWay() {
        Shell shell;
        const QString pdf = start_printing(shell, 'a', 12);
        QStringList texts;
        for (auto [from, to] : {std::pair{3, 6}, {6, 3}}) {
            shell.grid().set_current_row(from);
            shell.grid().selectionModel()->select(
                QItemSelection(shell.grid().model()->index(from, 1), shell.grid().model()->index(to, 1)),
                QItemSelectionModel::ClearAndSelect);
            shell.action("printmore")->trigger();
            QVERIFY(wait_for_job(shell));
            texts << pdf_text(pdf);
        }
        QCOMPARE(texts[0], texts[1]);
        for (const char* group : {" 004 ", " 005 ", " 006 ", " 007 "}) QVERIFY(texts[0].contains(QLatin1String(group)));
        QVERIFY(!texts[0].contains(QStringLiteral(" 003 ")) && !texts[0].contains(QStringLiteral(" 008 ")));
    }

    // A job that failed leaves the printer ready: the file chosen next with 打印机 takes the
    // next job, and the message names what failed in Chinese.
    void aFailedJobLeavesThePrinterReady() {
        Shell shell;
        shell.start_with_groups('b', 5);
        shell.dialogs.printer_pdf = shell.home.filePath(QStringLiteral("missing/folder/report.pdf"));
        shell.action("printerr")->trigger();
        shell.action("printall")->trigger();
        QVERIFY(wait_for_job(shell));
        const QString failed = shell.dialogs.messages.back().text;
        QVERIFY2(failed.startsWith(qs(texts::print_failed(""))) && failed.contains(QStringLiteral("missing/folder/report.pdf")),
                 qPrintable(failed));
        for (const char* english : {"cannot", "print on", "printer"}) QVERIFY(!failed.contains(QLatin1String(english)));

        const QString pdf = shell.home.filePath(QStringLiteral("report.pdf"));
        shell.dialogs.printer_pdf = pdf;
        shell.action("printerr")->trigger();
        QCOMPARE(shell.form->prints().printer().outputFileName(), pdf);
        const auto messages = shell.dialogs.messages.size();
        shell.action("printall")->trigger();
        QVERIFY(wait_for_job(shell));
        QCOMPARE(shell.dialogs.messages.size(), messages);
        QCOMPARE(pages(pdf_text(pdf)), 1);

        // And 打印单组 after a failed sheet, the same.
        shell.dialogs.printer_pdf = shell.home.filePath(QStringLiteral("missing/folder/sheet.pdf"));
        shell.action("printerr")->trigger();
        shell.action("printone")->trigger();
        QVERIFY(shell.dialogs.messages.back().text.startsWith(qs(texts::print_failed(""))));
        const QString sheet = shell.home.filePath(QStringLiteral("sheet.pdf"));
        shell.dialogs.printer_pdf = sheet;
        shell.action("printerr")->trigger();
        shell.action("printone")->trigger();
        QVERIFY(pdf_text(sheet).contains(QStringLiteral("序号:001")));
    }

    // A computer without a printer queue: Qt falls back to a PDF printer without a file, and
    // the operator is told to choose one with 打印机 rather than shown a failed job.
    void noPrinterSaysWhatToDo() {
        Shell shell;
        shell.start_with_groups('b', 5);
        if (!render::printer_names().isEmpty()) QSKIP("this computer has a printer queue");
        shell.action("printall")->trigger();
        QVERIFY(!shell.form->prints().running());
        QCOMPARE(shell.dialogs.messages.back().text, qs(texts::kNoPrinter));
        shell.action("printone")->trigger();
        QCOMPARE(shell.dialogs.messages.back().text, qs(texts::kNoPrinter));

        // Then a PDF file chosen with 打印机 takes the next job.
        const QString pdf = shell.home.filePath(QStringLiteral("report.pdf"));
        shell.dialogs.printer_pdf = pdf;
        shell.action("printerr")->trigger();
        const auto messages = shell.dialogs.messages.size();
        shell.action("printall")->trigger();
        QVERIFY(wait_for_job(shell));
        QCOMPARE(shell.dialogs.messages.size(), messages);
        QCOMPARE(pages(pdf_text(pdf)), 1);
    }

    void printOneRestoresTheWindow() {
        Shell shell;
        const QString pdf = start_printing(shell, 'c', 5);
        auto* sheet = shell.form->findChild<QLabel*>("Label2");
        shell.grid().set_current_row(1);
        shell.action("printone")->trigger();
        QVERIFY(pdf_text(pdf).contains(QStringLiteral("序号:002")));
        QVERIFY(shell.grid().isVisible() && !sheet->isVisible());
        QVERIFY(shell.form->findChild<QLabel*>("Label1")->isVisible());

        // A printer that cannot take the page: a message, and the window still comes back.
        shell.dialogs.printer_pdf = shell.home.filePath(QStringLiteral("missing/folder/sheet.pdf"));
        shell.action("printerr")->trigger();
        const auto before = shell.dialogs.messages.size();
        shell.action("printone")->trigger();
        QCOMPARE(shell.dialogs.messages.size(), before + 1);
        QVERIFY(shell.dialogs.messages.back().text.startsWith(QStringLiteral("打印时出错")));
        QVERIFY(shell.grid().isVisible() && !sheet->isVisible());
    }
};

}  // namespace nlx::app::test

QTEST_MAIN(nlx::app::test::PrintTest)
#include "print_test.moc"
