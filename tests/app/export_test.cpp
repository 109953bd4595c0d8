// 导出 from the window: the workbook written off the window thread under the chosen name, the
// closing question either way, a cancelled dialog that writes nothing, a failure reported.
#include <QFile>

#include "app/export_commands.h"
#include "app/wait_dialog.h"
#include "shell_fixture.h"

namespace nlx::app::test {

class ExportTest : public QObject {
    Q_OBJECT

    static bool wait_for_export(Shell& shell) {
        QSignalSpy finished(&shell.form->exports(), &ExportCommands::finished);
        return shell.form->exports().running() ? finished.wait(60000) : true;
    }

private slots:
    void exportsAndAsksWhetherToOpen() {
        for (bool open : {false, true}) {
            Shell shell;
            shell.start_with_groups('a', 30);
            shell.grid().set_current_row(4);
            shell.dialogs.yes = open;
            shell.dialogs.files.push_back(shell.home.filePath(QStringLiteral("records")));
            const auto before = shell.dialogs.messages.size();
            shell.action("out")->trigger();
            QVERIFY(shell.form->exports().running());
            QVERIFY(shell.form->wait_window()->isVisible());
            QCOMPARE(shell.form->wait_window()->windowTitle(), QStringLiteral("正在导出中..."));
            QVERIFY(!shell.action("recv")->isEnabled() && !shell.action("out")->isEnabled());
            QVERIFY(wait_for_export(shell));

            const QString file = shell.home.filePath(QStringLiteral("records.xlsx"));
            QFile saved(file);
            QVERIFY(saved.open(QIODevice::ReadOnly));
            QCOMPARE(saved.read(2), QByteArray("PK"));  // a zip container, as every .xlsx is
            QVERIFY(!shell.form->wait_window()->isVisible());
            QVERIFY(shell.action("out")->isEnabled());
            QCOMPARE(shell.dialogs.messages.at(before).text, QStringLiteral("是否转到导出的Excel文件？"));
            if (open) {
                QCOMPARE(shell.dialogs.shown_files, QStringList{file});
                QCOMPARE(shell.dialogs.messages.size(), before + 1);
            } else {
                QVERIFY(shell.dialogs.shown_files.isEmpty());
                QCOMPARE(shell.dialogs.messages.back().text, QStringLiteral("已经成功导出！"));
            }
            QCOMPARE(shell.grid().current_row(), 4);
            QCOMPARE(shell.grid().cells().marked_row(), 4);
        }
    }

    void cancelledDialogWritesNothing() {
        Shell shell;
        shell.start_with_groups('b', 3);
        const auto before = shell.dialogs.messages.size();
        shell.action("out")->trigger();  // no file given: the operator cancels
        QVERIFY(!shell.form->exports().running());
        QCOMPARE(shell.dialogs.messages.size(), before);
        QCOMPARE(QDir(shell.home.path()).entryList({QStringLiteral("*.xlsx")}, QDir::Files).size(), 0);
    }

    void failureIsReported() {
        Shell shell;
        shell.start_with_groups('d', 3);
        const QString file = shell.home.filePath(QStringLiteral("missing/records.xlsx"));
        shell.dialogs.files.push_back(file);
        shell.action("out")->trigger();
        QVERIFY(wait_for_export(shell));
        QVERIFY(shell.dialogs.messages.back().text.startsWith(QStringLiteral("导出时出错：")));
        QVERIFY(shell.dialogs.messages.back().text.contains(QStringLiteral("missing/records.xlsx")));
        QVERIFY(!QFile::exists(file));
        QVERIFY(shell.form->exports().outcome() && !*shell.form->exports().outcome());
    }
};

}  // namespace nlx::app::test

QTEST_MAIN(nlx::app::test::ExportTest)
#include "export_test.moc"
