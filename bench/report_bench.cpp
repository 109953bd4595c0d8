// Table report benchmark: the PDF of 10,000 groups of model b (278 A3 pages), laid out and
// painted in-process, and `nlx report` end to end on a database of the same groups.
//   nlx_bench_report [GROUPS=10000]
// Prints PASS/FAIL for the 2 s target of the whole PDF (median of three).
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/models.h"
#include "render/cjk_font.h"
#include "render/report_painter.h"
#include "reports/table_report.h"
#include "store/database.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace {

// Model b groups as a decoder leaves them: realistic texts in every record column.
std::vector<nlx::DecodedGroup> groups(int count) {
    const nlx::ModelInfo& b = *nlx::find_model('b');
    std::vector<nlx::DecodedGroup> out(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto& g = out[std::size_t(i)];
        for (std::size_t c = 0; c < b.record_columns.size(); ++c) {
            const std::string_view name = b.record_columns[c];
            std::string text = std::to_string(40 + (i * 7 + int(c) * 13) % 60) + ".4";
            if (c == 0) text = std::to_string(i + 1);
            else if (name == "测量时间") text = "0h10m0s";
            else if (name == "DATE") text = "10-12-21";
            else if (name == "TIME") text = "10:29:59";
            else if (name == "MODE") text = "STA";
            else if (name == "频率计权") text.assign(1, 'A');
            else if (name == "时间计权") text.assign(1, 'F');
            else if (name == "设定时间") text = "10min";
            else if (name == "采样间隔") text = "1s";
            g.record.push_back(text);
        }
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
    nlx::render::use_cjk_font(application);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    QTemporaryDir folder;
    const std::filesystem::path db_file = folder.filePath("bench.db").toStdString();
    const auto made = groups(count);
    {
        auto db = nlx::Database::create_or_open(db_file);
        if (!db || !db->replace_model(model_of('b'), made)) {
            std::fprintf(stderr, "bench: cannot write %s\n", db_file.c_str());
            return 1;
        }
    }
    nlx::reports::ReportRows rows;
    for (auto name : nlx::find_model('b')->record_columns) rows.columns.emplace_back(name);
    for (const auto& g : made) rows.rows.push_back(g.record);

    std::vector<double> layouts, totals;
    std::size_t pages = 0;
    const std::filesystem::path pdf = folder.filePath("report.pdf").toStdString();
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer clock;
        clock.start();
        const auto laid_out = nlx::reports::table_report(model_of('b'), rows, 0, rows.size() - 1, {2026, 12, 9});
        layouts.push_back(double(clock.nsecsElapsed()) / 1e6);
        auto written = nlx::render::write_report_pdf(pdf, laid_out, {});
        totals.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (!written || !*written) {
            std::fprintf(stderr, "bench: %s\n", written ? "stopped" : written.message().c_str());
            return 1;
        }
        pages = laid_out.size();
    }

    QElapsedTimer clock;
    clock.start();
    QProcess nlx;
    nlx.start(QStringLiteral(NLX_CLI_PATH), {"report", "--model", "b", "--db", QString::fromStdString(db_file.string()),
                                             "--pdf", folder.filePath("cli.pdf")});
    nlx.waitForFinished(120000);
    const double command = double(clock.nsecsElapsed()) / 1e6;

    const double total = median(totals);
    std::printf("report %d groups, %zu pages, %.1f MB: layout %.0f ms, layout + PDF %.0f ms (median of 3); "
                "nlx report end to end %.0f ms (exit %d)\n",
                count, pages, double(std::filesystem::file_size(pdf)) / 1e6, median(layouts), total, command,
                nlx.exitCode());
    const bool pass = total < 2000 && nlx.exitCode() == 0;
    std::printf("%s: the whole PDF in %.0f ms (target under 2000 ms)\n", pass ? "PASS" : "FAIL", total);
    return pass ? 0 : 1;
}
