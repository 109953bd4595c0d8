// Record grid benchmark: 10,000 rows read from the database into the grid and scrolled to the
// end, painted on the headless platform, beside `nlx records --format csv` on the same rows.
//   nlx_bench_grid [ROWS=10000]
// Prints PASS/FAIL for the 100 ms target of the grid (median of five loads).
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/record_grid.h"
#include "core/models.h"
#include "store/database.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace {

// Model b groups as a decoder leaves them: every record column a short text, a distribution row.
std::vector<nlx::DecodedGroup> groups(int rows) {
    const nlx::ModelInfo& b = *nlx::find_model('b');
    std::vector<nlx::DecodedGroup> out(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        auto& g = out[std::size_t(i)];
        for (std::size_t c = 0; c < b.record_columns.size(); ++c)
            g.record.push_back(c == 0 ? std::to_string(i + 1) : std::to_string(40 + (i * 7 + int(c) * 13) % 60) + ".4");
        g.distribution = nlx::DistributionRow{i + 1, std::vector<std::optional<double>>(100, 1.0)};
    }
    return out;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    QTemporaryDir folder;
    const std::filesystem::path file = folder.filePath("bench.db").toStdString();
    {
        auto db = nlx::Database::create_or_open(file);
        auto made = groups(rows);
        if (!db || !db->replace_model(model_of('b'), made)) {
            std::fprintf(stderr, "bench: cannot write %s\n", file.c_str());
            return 1;
        }
    }

    nlx::app::RecordGrid grid;
    grid.resize(1100, 600);
    grid.lay_out(*nlx::find_model('b'));
    grid.show();
    QCoreApplication::processEvents();

    std::vector<double> loads;
    std::size_t shown = 0;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer clock;
        clock.start();
        auto db = nlx::Database::open_existing(file);
        auto table = db ? db->read_table(nlx::record_table_name('b')) : nlx::Result<nlx::TableContents>(nlx::fail("open"));
        if (!table) {
            std::fprintf(stderr, "bench: %s\n", table.message().c_str());
            return 1;
        }
        grid.fill(*table, *nlx::find_model('b'));
        grid.scrollToBottom();
        grid.repaint();  // paints the last rows now, as the operator sees them
        loads.push_back(double(clock.nsecsElapsed()) / 1e6);
        shown = std::size_t(grid.cells().rowCount());
    }

    std::vector<double> exports;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer clock;
        clock.start();
        QProcess records;
        records.setStandardOutputFile(QProcess::nullDevice());
        records.start(QStringLiteral(NLX_CLI_PATH),
                      {"records", "--model", "b", "--format", "csv", "--db", QString::fromStdString(file.string())});
        if (!records.waitForFinished(60000) || records.exitCode() != 0) {
            std::fprintf(stderr, "bench: nlx records failed\n");
            return 1;
        }
        exports.push_back(double(clock.nsecsElapsed()) / 1e6);
    }

    const double grid_ms = median(loads);
    std::printf("grid: %zu rows read, filled, scrolled to the end and painted in %.1f ms (median of 5)\n", shown,
                grid_ms);
    std::printf("nlx records --format csv: the same %d rows in %.1f ms (median of 3, process start included)\n",
                rows, median(exports));
    const bool fast = shown == std::size_t(rows) && grid_ms < 100.0;
    std::printf("%s grid load of %d rows under 100 ms\n", fast ? "PASS" : "FAIL", rows);
    return fast ? 0 : 1;
}
