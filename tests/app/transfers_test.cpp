// The 传输记录 window: the log newest first, a missing capture greyed, 恢复 refreshing the grid
// after asking, 核对 in plain words.
#include <QTableWidget>

#include "app/transfer_window.h"
#include "support/model_of.h"

using nlx::test::model_of;
#include "shell_fixture.h"

namespace nlx::app::test {

class TransfersTest : public QObject {
    Q_OBJECT

    // A download of `groups` generated groups as the program keeps it, with its log entry.
    static std::filesystem::path download(Shell& shell, char model, int groups, int second) {
        auto capture = sim::generated_capture(model_of(model), groups, std::uint32_t(second));
        auto db = Database::create_or_open(database_path(shell.folder()), true);
        auto stored = keep_and_store_transfer(*db, storage_folder(shell.folder()), model_of(model), *capture,
                                              {"", "/dev/ttyUSB0", 9600},
                                              std::chrono::system_clock::now() + std::chrono::seconds(second));
        return stored ? stored->capture_file : std::filesystem::path();
    }

    static void click(TransferWindow& window, const char* button, int row) {
        window.list()->selectRow(row);
        window.findChild<QPushButton*>(button)->click();
    }

private slots:
    void listsRestoresAndChecks() {
        Shell shell;
        download(shell, 'a', 4, 1);
        const auto second = download(shell, 'a', 7, 2);
        const auto third = download(shell, 'a', 9, 3);
        shell.start(SerialSettings{});
        shell.choose('a');
        shell.open_database();
        QCOMPARE(shell.grid().cells().rowCount(), 9);

        std::filesystem::remove(second);
        shell.action("transfers")->trigger();
        TransferWindow* window = shell.form->transfer_window();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->list()->rowCount(), 3);
        QCOMPARE(window->entry(0)->record_rows, std::size_t(9));  // newest first
        QVERIFY(!window->greyed(0) && window->greyed(1) && !window->greyed(2));

        // 恢复 asks first; No changes nothing.
        shell.dialogs.yes = false;
        click(*window, "restore", 2);
        QCOMPARE(shell.grid().cells().rowCount(), 9);
        QCOMPARE(window->list()->rowCount(), 3);

        shell.dialogs.yes = true;
        click(*window, "restore", 2);
        QCOMPARE(shell.grid().cells().rowCount(), 4);
        QCOMPARE(window->list()->rowCount(), 4);
        QVERIFY(shell.dialogs.messages.back().text.startsWith(QStringLiteral("已恢复传输记录1")));

        // A greyed entry cannot be restored: said so, and the grid keeps its rows.
        click(*window, "restore", 2);
        QVERIFY(shell.dialogs.messages.back().text.contains(QStringLiteral("不存在")));
        QCOMPARE(shell.grid().cells().rowCount(), 4);

        click(*window, "verify", 0);
        QVERIFY(shell.dialogs.messages.back().text.contains(QStringLiteral("一致")));
        std::filesystem::remove(third);
        window->reload();
        QVERIFY(window->greyed(1));
        click(*window, "verify", 1);
        QVERIFY(shell.dialogs.messages.back().text.contains(QStringLiteral("不存在")));
        click(*window, "verify", 3);  // the first download: intact, its records replaced since
        QVERIFY(shell.dialogs.messages.back().text.contains(QStringLiteral("替换")));
    }

    // A capture file given to the program (double-clicked) is offered once the model is confirmed.
    void offersACaptureGivenOnTheCommandLine() {
        for (bool good : {true, false}) {
            Shell shell;
            const QString file = shell.home.filePath(QStringLiteral("given.cap"));
            auto capture = sim::generated_capture(model_of('b'), 6, 4);
            auto bytes = capture_file_bytes(model_of('b'), {"2026-12-09 10:00:00", "/dev/ttyUSB0", 9600}, *capture);
            if (!good) bytes.back() ^= 1;  // its digest no longer matches
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
            out.close();
            shell.form = std::make_unique<MainWindow>(shell.folder(), shell.dialogs);
            shell.form->offer_capture_after_confirmation(file);
            shell.form->start(SerialSettings{});
            shell.choose('b');
            QVERIFY(shell.dialogs.messages.at(1).text.startsWith(QStringLiteral("是否导入捕获文件")));
            if (good) {
                QCOMPARE(shell.grid().cells().rowCount(), 6);
                QVERIFY(shell.dialogs.messages.back().text.startsWith(QStringLiteral("已导入捕获文件")));
                QCOMPARE(shell.stored_rows('b'), std::size_t(6));
            } else {
                QVERIFY(shell.dialogs.messages.back().text.startsWith(QStringLiteral("导入时出错：")));
                QCOMPARE(shell.stored_rows('b'), std::size_t(0));
            }
        }
    }
};

}  // namespace nlx::app::test

QTEST_MAIN(nlx::app::test::TransfersTest)
#include "transfers_test.moc"
