// The charts of the main window follow the current group, and 分布图 alternates the distribution
// pair with the 24-hour profile or the octave spectrum.
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QValueAxis>
#include <cmath>

#include "app/chart_view.h"
#include "charts/distribution_charts.h"
#include "shell_fixture.h"
#include "store/distribution_row.h"

namespace nlx::app::test {

class ChartsTest : public QObject {
    Q_OBJECT

    static ChartView* view(Shell& shell, const char* name) { return shell.form->findChild<ChartView*>(name); }

    // The first grid row whose MODE is `mode`, after row `after`.
    static int row_with_mode(Shell& shell, const QString& mode, int after = -1) {
        const int column = *record_column_index(*find_model(shell.form->model()), "MODE") + 1;
        for (int r = after + 1; r < shell.grid().cells().rowCount(); ++r)
            if (shell.grid().cells().text(r, column) == mode) return r;
        return -1;
    }

    // The distribution chart the database holds for grid row `row`.
    static charts::Chart stored_distribution(Shell& shell, int row) {
        auto db = Database::open_read_only(database_path(shell.folder()));
        auto percent = distribution_percent(*db, *find_model('c'), utf8(shell.grid().cells().text(row, 1)));
        return percent && *percent ? charts::distribution_chart(*find_model('c'), **percent) : charts::Chart{};
    }

private slots:
    void pairFollowsTheCurrentRow() {
        Shell shell;
        shell.start_with_groups('c', 40);
        const int first = row_with_mode(shell, "STA"), second = row_with_mode(shell, "STA", first);
        QVERIFY(first >= 0 && second > first);
        for (int row : {first, second}) {
            shell.grid().set_current_row(row);
            QVERIFY(view(shell, "MSChart1")->isVisible() && view(shell, "MSChart2")->isVisible());
            const auto expected = stored_distribution(shell, row);
            QVERIFY(!expected.values.empty());
            QCOMPARE(view(shell, "MSChart1")->chart_data().values, expected.values);
            QCOMPARE(view(shell, "MSChart2")->chart_data().values.back(), 0.0);
        }
        QVERIFY(stored_distribution(shell, first).values != stored_distribution(shell, second).values);
    }

    void distributionCommandAlternatesOnA24HourGroup() {
        Shell shell;
        shell.start_with_groups('c', 40);
        const int start = row_with_mode(shell, "24h1"), third = row_with_mode(shell, "24h3");
        QVERIFY(start >= 0 && third == start + 2);
        shell.grid().set_current_row(third);
        QVERIFY(view(shell, "MSChart1")->isVisible());

        shell.action("fenbt")->trigger();
        auto* special = view(shell, "MSChart3");
        QVERIFY(special->isVisible() && !view(shell, "MSChart1")->isVisible());
        const int time = *record_column_index(*find_model('c'), "TIME") + 1;
        QCOMPARE(QString::fromStdString(special->chart_data().labels.front()),
                 shell.grid().cells().text(start, time).left(2));
        QCOMPARE(special->chart_data().rows(), std::size_t(24));
        QVERIFY(shell.form->findChild<QLabel*>("Label1")->text().startsWith("Ld= "));

        shell.action("fenbt")->trigger();
        QVERIFY(!special->isVisible());
        QVERIFY(view(shell, "MSChart1")->isVisible() && view(shell, "MSChart2")->isVisible());
    }

    void popupOverAChartSavesIt() {
        Shell shell;
        shell.start_with_groups('c', 40);
        shell.grid().set_current_row(row_with_mode(shell, "STA"));
        auto* chart = view(shell, "MSChart2");
        QTest::mouseRelease(chart->viewport(), Qt::RightButton, {}, QPoint(20, 20));
        QVERIFY(shell.action("savePng")->isVisible() && shell.action("saveSvg")->isVisible());
        const QString file = shell.home.filePath("cumulative");
        shell.dialogs.files.push_back(file);
        shell.action("savePng")->trigger();
        QFile saved(file + ".png");
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.read(4), QByteArray("\x89PNG"));
        shell.form->popup()->hide();

        QTest::mouseRelease(shell.form.get(), Qt::RightButton, {}, QPoint(5, 300));
        QVERIFY(!shell.action("savePng")->isVisible());
    }

    // An octave group's columns hold band levels: the pair stays on the group it showed, and
    // names it, instead of drawing the octave group's row as a distribution.
    void octaveGroupLeavesThePairOnItsGroup() {
        for (char model : {'b', 'c'}) {
            Shell shell;
            shell.start_with_groups(model, 40);
            const int statistics = row_with_mode(shell, "STA"), octave = row_with_mode(shell, "OCT");
            QVERIFY(statistics >= 0 && octave >= 0);
            shell.grid().set_current_row(statistics);
            const auto shown = view(shell, "MSChart1")->chart_data().values;
            const auto cumulative = view(shell, "MSChart2")->chart_data().note;
            const std::string group = "序号 " + utf8(shell.grid().cells().text(statistics, 1));
            QCOMPARE(view(shell, "MSChart1")->chart_data().note, group);
            QVERIFY(cumulative.rfind(group, 0) == 0);
            shell.grid().set_current_row(octave);
            shell.grid().click(octave, 3);
            QCOMPARE(view(shell, "MSChart1")->chart_data().values, shown);
            QCOMPARE(view(shell, "MSChart2")->chart_data().note, cumulative);
        }
    }

    // The tooltip inside the plot is the value under the mouse; outside it the chart's own.
    void tooltipNamesTheHoveredValue() {
        Shell shell;
        shell.start_with_groups('c', 40);
        shell.form->resize(1200, 860);
        shell.form->show();
        shell.grid().set_current_row(row_with_mode(shell, "STA"));
        for (const char* name : {"MSChart1", "MSChart2"}) {
            ChartView* chart = view(shell, name);
            QVERIFY(QTest::qWaitForWindowExposed(shell.form.get()));
            QChart* shown = chart->chart();
            const auto& data = chart->chart_data();
            for (int row : {10, 25, 60}) {
                const QPointF at = shown->mapToPosition(QPointF(row + data.x_shift, 0), shown->series().front());
                const QPoint in_view = chart->mapFromScene(shown->mapToScene(at + QPointF(0, -2)));
                QCOMPARE(chart->tooltip_at(in_view),
                         QString::fromStdString(data.names[std::size_t(row)] + ": " + data.value_texts[std::size_t(row)]));
            }
            QCOMPARE(chart->tooltip_at(QPoint(1, 1)), QStringLiteral("纵坐标为百分比,横坐标为声级"));
        }
    }

    // A saved SVG sets its text at the size the chart was laid out with, as the window shows it.
    void savedSvgKeepsTheWindowsTextSize() {
        Shell shell;
        shell.start_with_groups('c', 40);
        shell.grid().set_current_row(row_with_mode(shell, "STA"));
        auto* chart = view(shell, "MSChart1");
        QTest::mouseRelease(chart->viewport(), Qt::RightButton, {}, QPoint(20, 20));
        const QString file = shell.home.filePath("distribution.svg");
        shell.dialogs.files.push_back(file);
        shell.action("saveSvg")->trigger();
        shell.form->popup()->hide();
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QString svg = QString::fromUtf8(saved.readAll());
        const QFont axis = chart->chart()->axes(Qt::Horizontal).front()->titleFont();
        const int pixels = QFontInfo(axis).pixelSize();
        const QRegularExpression title(QStringLiteral("font-size=\"([0-9.]+)\"[^>]*>\\s*声级"));
        const auto found = title.match(svg);
        QVERIFY2(found.hasMatch(), "no axis title in the SVG");
        QVERIFY2(std::abs(found.captured(1).toDouble() - pixels) < 0.6,
                 qPrintable(found.captured(1) + " against " + QString::number(pixels)));
    }

    void octaveGroupOfModelCHasTwelveBands() {
        Shell shell;
        shell.start_with_groups('c', 40);
        const int row = row_with_mode(shell, "OCT");
        QVERIFY(row >= 0);
        shell.grid().set_current_row(row);
        auto* special = view(shell, "MSChart3");
        for (int k = 0; k < 2 && !special->isVisible(); ++k) shell.action("fenbt")->trigger();
        QVERIFY(special->isVisible());
        QCOMPARE(special->chart_data().rows(), std::size_t(12));
        QCOMPARE(special->chart_data().labels.back(), std::string("LC"));
        QCOMPARE(special->chart_data().value_texts.back(), utf8(shell.grid().cells().text(row, 13)));
    }
};

}  // namespace nlx::app::test

QTEST_MAIN(nlx::app::test::ChartsTest)
#include "charts_test.moc"
