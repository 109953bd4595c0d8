// Record grid: Delete removes whole rows from the display only, the marker follows clicks and
// not the arrow keys, octave rows rewrite the headers, model a opens history files.
#include "core/texts.h"
#include "shell_fixture.h"

using namespace nlx;
using namespace nlx::app;
using namespace nlx::app::test;

namespace {

void click_cell(RecordGrid& grid, int row, int column) {
    grid.scrollTo(grid.cells().index(row, column));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.cells().index(row, column)).center());
}

// The first row whose grid column holds (or, with `equal` false, does not hold) `text`.
int find_row(const RecordGrid& grid, int column, const QString& text, bool equal = true) {
    for (int r = 0; r < grid.cells().rowCount(); ++r)
        if ((grid.cells().text(r, column) == text) == equal) return r;
    return -1;
}

void select_block(RecordGrid& grid, int top, int left, int bottom, int right) {
    grid.setCurrentIndex(grid.cells().index(top, left));
    grid.selectionModel()->select(QItemSelection(grid.cells().index(top, left), grid.cells().index(bottom, right)),
                                  QItemSelectionModel::ClearAndSelect);
}

}  // namespace

class RecordGridTest : public QObject {
    Q_OBJECT
private slots:
    void delete_key_data() {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("bottom");
        QTest::addColumn<int>("right");
        QTest::addColumn<QStringList>("shown");  // 序号 of the rows left
        QTest::newRow("rows 3 to 5, two columns")
            << 2 << 3 << 4 << 4 << QStringList{"01", "02", "06", "07", "08", "09", "10"};
        QTest::newRow("one row, many columns")
            << 9 << 1 << 9 << 6 << QStringList{"01", "02", "03", "04", "05", "06", "07", "08", "09"};
        QTest::newRow("one cell") << 4 << 4 << 4 << 4
                                  << QStringList{"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"};
    }

    void delete_key() {
        QFETCH(int, top);
        QFETCH(int, left);
        QFETCH(int, bottom);
        QFETCH(int, right);
        QFETCH(QStringList, shown);
        Shell shell;
        shell.start_with_groups('b', 10);
        RecordGrid& grid = shell.grid();
        QCOMPARE(grid.cells().rowCount(), 10);
        select_block(grid, top, left, bottom, right);
        QTest::keyClick(&grid, Qt::Key_Delete);
        QStringList left_rows;
        for (int r = 0; r < grid.cells().rowCount(); ++r) left_rows << grid.cells().text(r, 1);
        QCOMPARE(left_rows, shown);
        QCOMPARE(shell.stored_rows('b'), std::size_t(10));
    }

    void headers_after_a_refresh_are_the_table_columns_data() {
        QTest::addColumn<QChar>("model");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QStringList>("spot_headers");  // "column=text"
        QTest::newRow("d adds VLAE") << QChar('d') << 22 << QStringList{"9=VLAV", "20=采样间隔", "21=VLAE"};
        QTest::newRow("e adds DL") << QChar('e') << 16 << QStringList{"6=Lmin", "7=DL", "8=E", "15=filename"};
    }

    void headers_after_a_refresh_are_the_table_columns() {
        QFETCH(QChar, model);
        QFETCH(int, columns);
        QFETCH(QStringList, spot_headers);
        Shell shell;
        const char letter = char(model.toLatin1());
        shell.start_with_groups(letter, 6);
        QCOMPARE(shell.grid().cells().columnCount(), columns);
        for (const QString& spot : spot_headers)
            QCOMPARE(shell.grid().cells().header(spot.section('=', 0, 0).toInt()), spot.section('=', 1));
        QCOMPARE(shell.grid().cells().rowCount(), 6);
        QCOMPARE(shell.grid().cells().marked_row(), 0);
        QVERIFY(shell.grid().isVisible());
    }

    void marker_follows_clicks_not_arrow_keys() {
        Shell shell;
        shell.start_with_groups('a', 8);
        RecordGrid& grid = shell.grid();
        QSignalSpy changed(shell.form.get(), &MainWindow::current_group_changed);
        click_cell(grid, 1, 3);
        QCOMPARE(grid.cells().marked_row(), 1);
        QCOMPARE(grid.cells().text(1, 0), QStringLiteral("*"));
        QCOMPARE(grid.cells().text(0, 0), QStringLiteral(" "));
        changed.clear();
        QTest::keyClick(&grid, Qt::Key_Down);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(grid.current_row(), 3);
        QCOMPARE(grid.cells().marked_row(), 1);
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.back().at(0).toInt(), 3);
    }

    void octave_rows_rewrite_the_headers() {
        Shell shell;
        shell.start_with_groups('c', 12);
        RecordGrid& grid = shell.grid();
        const int octave = find_row(grid, 16, "OCT");
        const int statistics = find_row(grid, 16, "OCT", false);
        QVERIFY(octave >= 0 && statistics >= 0);
        click_cell(grid, octave, 2);
        QCOMPARE(grid.cells().header(2), QStringLiteral("31.5"));
        QCOMPARE(grid.cells().header(12), QStringLiteral("LA"));
        QCOMPARE(grid.cells().header(13), QStringLiteral("LC"));
        click_cell(grid, statistics, 2);
        QCOMPARE(grid.cells().header(2), QStringLiteral("Leq"));
        QCOMPARE(grid.cells().header(13), QStringLiteral("测量时间"));
    }

    void history_file_cells_of_model_a() {
        Shell shell;
        shell.start_with_groups('a', 12);
        RecordGrid& grid = shell.grid();
        int history = -1, other = -1;
        for (int r = 0; r < grid.cells().rowCount(); ++r) {
            const QString name = grid.cells().text(r, 23);
            if (history < 0 && (name.endsWith(".ln") || name.endsWith(".li"))) history = r;
            if (other < 0 && !name.endsWith(".ln") && !name.endsWith(".li")) other = r;
        }
        QVERIFY(history >= 0 && other >= 0);
        const auto messages = shell.dialogs.messages.size();
        click_cell(grid, other, 23);
        QCOMPARE(shell.dialogs.messages.size(), messages);

        click_cell(grid, history, 23);
        QCOMPARE(shell.dialogs.messages.back().title, QStringLiteral("用户选择"));
        QCOMPARE(shell.dialogs.messages.back().text, QStringLiteral("            是否打开该文件？"));
        const QString file = qpath(storage_folder(shell.folder()) / utf8(grid.cells().text(history, 23)));
        QCOMPARE(shell.dialogs.shown_files, QStringList{file});

        // No program for the file's kind: said so, and its folder offered instead.
        shell.dialogs.viewer_works = false;
        click_cell(grid, history, 23);
        QCOMPARE(shell.dialogs.messages.back().text, qs(texts::no_program_for(utf8(file))));
        QCOMPARE(shell.dialogs.shown_folders, QStringList{file});
        shell.dialogs.viewer_works = true;
        shell.dialogs.shown_files.clear();

        // A file gone since the download is said so, not handed to the viewer.
        QVERIFY(QFile::remove(file));
        click_cell(grid, history, 23);
        QVERIFY(shell.dialogs.messages.back().text.contains(QStringLiteral("不存在")));
        QVERIFY(shell.dialogs.shown_files.isEmpty());
    }
};

QTEST_MAIN(RecordGridTest)
#include "record_grid_test.moc"
