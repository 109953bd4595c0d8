// Spreadsheet export benchmark: 10,000 model a groups, and the largest model a transfer (496
// groups) as the virtual instrument encodes it, each exported to .xlsx in-process (rows read from
// the database, sheet laid out, workbook written) and by `nlx export` end to end.
//   nlx_bench_export [GROUPS=10000]
// Prints PASS/FAIL for the 2 s target of each export (median of three).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/record_rows.h"
#include "core/app_folder.h"
#include "core/models.h"
#include "reports/workbook_sheet.h"
#include "sim/generated_content.h"
#include "store/database.h"
#include "transfer/transfer.h"
#include "workbook/xlsx_file.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Model a groups with realistic texts in every record column.
std::vector<nlx::DecodedGroup> groups(int count) {
    const nlx::ModelInfo& a = *nlx::find_model('a');
    std::vector<nlx::DecodedGroup> out(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto& g = out[std::size_t(i)];
        for (std::size_t c = 0; c < a.record_columns.size(); ++c) {
            const std::string_view name = a.record_columns[c];
            std::string text = std::to_string(40 + (i * 7 + int(c) * 13) % 60) + ".4";
            if (c <= 1) text = std::to_string(i + 1);
            else if (name == "测量时间") text = "0h10m0s";
            else if (name == "DATE") text = "10-12-21";
            else if (name == "TIME") text = "10:29:59";
            else if (name == "filename") text = std::string("a").append(std::to_string(i + 1)).append(".txt");
            g.record.push_back(text);
        }
    }
    return out;
}

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Exports model a of `db_file` three times in-process and once through nlx; true when the median
// in-process export is under 2 s and the command succeeded.
bool measure(const char* what, const fs::path& db_file, const fs::path& folder) {
    const nlx::ModelInfo& a = *nlx::find_model('a');
    const fs::path xlsx = folder / "bench.xlsx";
    std::vector<double> runs;
    std::size_t rows = 0;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        auto db = nlx::Database::open_read_only(db_file);
        if (!db) {
            std::fprintf(stderr, "bench: %s\n", db.message().c_str());
            return false;
        }
        const auto sheet = nlx::reports::export_sheet(a, nlx::cli::record_rows(*db, a));
        if (auto written = nlx::workbook::write_xlsx(sheet, xlsx); !written) {
            std::fprintf(stderr, "bench: %s\n", written.message().c_str());
            return false;
        }
        runs.push_back(ms_since(start));
        rows = sheet.rows.size();
    }
    const auto start = Clock::now();
    const std::string command = std::string(NLX_CLI_PATH) + " export --model a --db '" + db_file.string() +
                                "' --xlsx '" + (folder / "cli.xlsx").string() + "' >/dev/null";
    const int exit = std::system(command.c_str());
    const double end_to_end = ms_since(start);
    const double total = median(runs);
    const bool pass = total < 2000 && exit == 0;
    std::printf("export %s: %zu rows, %.2f MB workbook: %.0f ms in-process (median of 3), nlx export end to end "
                "%.0f ms (exit %d)\n",
                what, rows, double(fs::file_size(xlsx)) / 1e6, total, end_to_end, exit);
    std::printf("%s: %s in %.0f ms (target under 2000 ms)\n", pass ? "PASS" : "FAIL", what, total);
    return pass;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    const fs::path folder = fs::temp_directory_path() / ("nlx-bench-export-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    bool pass = true;
    {
        const fs::path db_file = folder / "records.db";
        auto db = nlx::Database::create_or_open(db_file);
        if (!db || !db->replace_model(model_of('a'), groups(count))) {
            std::fprintf(stderr, "bench: cannot write %s\n", db_file.c_str());
            return 1;
        }
        pass = measure((std::to_string(count) + " groups").c_str(), db_file, folder) && pass;
    }
    {
        const fs::path db_file = folder / "transfer.db";
        auto capture = nlx::sim::generated_capture(model_of('a'), 496, 1);
        auto db = nlx::Database::create_or_open(db_file);
        if (!capture || !db || !nlx::store_transfer(*db, folder / "storage", model_of('a'), *capture)) {
            std::fprintf(stderr, "bench: cannot store the 496-group transfer: %s\n",
                         capture ? "store failed" : capture.message().c_str());
            return 1;
        }
        pass = measure("the 496-group transfer", db_file, folder) && pass;
    }
    fs::remove_all(folder);
    return pass ? 0 : 1;
}
