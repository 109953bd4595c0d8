// 200 downloads in one process, as the desktop runs them (controller, worker thread, serial port,
// storing step), from virtual instruments with random models and faults, against one database:
// after each, the status line is the fault's text, both tables hold the previous download or the
// new one whole, the capture file holds the bytes that arrived, the port is closed, and no file
// descriptor or thread is left behind.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <dirent.h>
#include <random>
#include <unistd.h>

#include "app/download_controller.h"
#include "core/download_status.h"
#include "core/capture.h"
#include "core/models.h"
#include "core/texts.h"
#include "decode/decoder.h"
#include "sim/generated_content.h"
#include "sim/virtual_instrument.h"
#include "store/database.h"
#include "support/model_of.h"

using nlx::test::model_of;
#include "transfer/transfer.h"

namespace nlx::app::test {
namespace fs = std::filesystem;
using sim::FaultKind;

namespace {

// The links in /proc/self/`folder` (fd or task); with `target`, only those pointing at it.
int entries(const char* folder, const std::string& target = {}) {
    const std::string path = std::string("/proc/self/") + folder;
    DIR* dir = ::opendir(path.c_str());
    int n = 0;
    while (dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.') continue;
        if (!target.empty()) {
            char link[512] = {};
            const auto len = ::readlink((path + "/" + e->d_name).c_str(), link, sizeof link - 1);
            if (len <= 0 || target != std::string(link, std::size_t(len))) continue;
        }
        ++n;
    }
    ::closedir(dir);
    return n - (target.empty() && std::string(folder) == "fd" ? 1 : 0);  // the directory's own fd
}

// Both tables of a model as the rows of the decoded groups, in the form read_table gives.
struct Rows {
    std::vector<std::vector<Cell>> records;
    std::vector<std::vector<std::optional<double>>> distribution;
    bool operator==(const Rows&) const = default;
};

Rows decoded_rows(char model, const Capture& capture) {
    Rows rows;
    const auto decoded = decode(model_of(model), capture.data, transfer_count(model_of(model), capture.b1, capture.b2));
    for (const auto& g : decoded.groups) {
        rows.records.push_back(g.record);
        if (!g.distribution) continue;
        std::vector<std::optional<double>> d{double(g.distribution->seq)};
        for (int k = 0; k < kDistributionValues; ++k)
            d.push_back(std::size_t(k) < g.distribution->values.size() ? g.distribution->values[std::size_t(k)]
                                                                       : std::nullopt);
        rows.distribution.push_back(std::move(d));
    }
    return rows;
}

Rows stored_rows(const fs::path& file, char model) {
    Rows rows;
    auto db = Database::open_read_only(file);
    if (!db) return rows;
    if (auto t = db->read_table(record_table_name(model)))
        for (const auto& r : t->rows) {
            std::vector<Cell> cells;
            for (const auto& v : r) cells.push_back(v.is_null() ? Cell() : Cell(v.to_text()));
            rows.records.push_back(std::move(cells));
        }
    if (find_model(model)->has_distribution)
        if (auto t = db->read_table(distribution_table_name(model)))
            for (const auto& r : t->rows) {
                std::vector<std::optional<double>> values;
                for (const auto& v : r) values.push_back(v.is_null() ? std::nullopt : std::optional(v.number()));
                rows.distribution.push_back(std::move(values));
            }
    return rows;
}

std::size_t files_in(const fs::path& folder) {
    std::error_code ec;
    std::size_t n = 0;
    for (const auto& e : fs::directory_iterator(folder, ec)) n += e.path().extension() == ".cap";
    return n;
}

}  // namespace

class DownloadSoakTest : public QObject {
    Q_OBJECT

private slots:
    void twoHundredDownloadsWithFaults() {
        QTemporaryDir dir;
        const fs::path db = dir.filePath("noise.db").toStdString(), storage = dir.filePath("storage").toStdString();
        std::mt19937 rng(20261209);
        const FaultKind kinds[] = {FaultKind::none,           FaultKind::bad_ack,     FaultKind::no_ack,
                                   FaultKind::zero_count,     FaultKind::negative_count, FaultKind::stale_bytes,
                                   FaultKind::stall_after,    FaultKind::close_after, FaultKind::no_live};
        std::map<char, Rows> current;  // what each model's tables hold
        DownloadController downloads;
        int fds_at_start = -1, threads_at_start = -1;
        std::map<std::string, int> outcomes;
        for (int run = 0; run < 200; ++run) {
            const char model = "abcde"[rng() % 5];
            const FaultKind kind = kinds[rng() % std::size(kinds)];
            auto capture = sim::generated_capture(model_of(model), 1 + int(rng() % 6), rng());
            QVERIFY(capture.ok());
            const std::size_t sent = capture->data.size();
            sim::InstrumentOptions options;
            options.model = model_of(model);
            options.content = [c = *capture] { return c; };
            options.fault = {kind, kind == FaultKind::stall_after || kind == FaultKind::close_after
                                       ? std::size_t(rng() % (sent + 16)) : 0};
            const QString what = QStringLiteral("run %1: model %2, fault %3 after %4 of %5 bytes")
                                     .arg(run).arg(model).arg(int(kind)).arg(options.fault.after).arg(sent);

            if (run == 1) {  // after the first run has started the serial dispatcher for good
                fds_at_start = entries("fd");
                threads_at_start = entries("task");
            }
            auto instrument = sim::VirtualInstrument::open(std::move(options));
            QVERIFY2(instrument.ok(), qPrintable(what));
            QVERIFY((*instrument)->start().ok());
            const std::string device = (*instrument)->device();
            const int device_holds = entries("fd", device);
            const std::size_t captures_before = files_in(storage);

            QSignalSpy finished(&downloads, &DownloadController::finished);
            DownloadJob job;
            job.request = {*find_model(model), PortSpec{0, device}, 9600};
            job.database = db;
            job.storage = storage;
            QVERIFY(downloads.start(job));
            QVERIFY2(finished.wait(20000), qPrintable(what));
            const auto& result = *downloads.result();
            ++outcomes[std::string(outcome_name(result.outcome))];

            // The status line says what happened.
            const bool whole = kind == FaultKind::none || kind == FaultKind::stale_bytes || kind == FaultKind::no_live ||
                               ((kind == FaultKind::stall_after || kind == FaultKind::close_after) &&
                                options.fault.after >= sent);
            const bool broken = !whole && (kind == FaultKind::stall_after || kind == FaultKind::close_after);
            std::string_view expected = whole                                ? texts::kReceived
                                        : broken                             ? texts::kDataLost
                                        : kind == FaultKind::bad_ack         ? texts::kBadAcknowledge
                                        : kind == FaultKind::no_ack          ? texts::kNoAcknowledge
                                                                             : texts::kNoData;
            QCOMPARE(QString::fromStdString(download_status_text(result.outcome, result.detail)), QString::fromUtf8(expected.data(), qsizetype(expected.size())));

            // The tables: the new download whole (its whole groups when the line broke), or as before.
            if (whole || broken) {
                QVERIFY2(result.stored && result.capture, qPrintable(what));
                Capture arrived = *capture;
                arrived.data.resize(result.capture->data.size());
                QVERIFY2(result.capture->data == arrived.data, qPrintable(what));
                // A transfer without a whole group replaces nothing.
                Rows arrived_rows = decoded_rows(model, arrived);
                QVERIFY2(result.stored->replaced == !arrived_rows.records.empty(), qPrintable(what));
                if (result.stored->replaced) current[model] = std::move(arrived_rows);
                // The capture file holds the bytes that arrived.
                auto kept = read_capture_file(result.stored->capture_file, CaptureForm::with_header);
                QVERIFY2(kept.ok(), qPrintable(what));
                QVERIFY(kept->capture.data == arrived.data && kept->capture.b1 == capture->b1 &&
                        kept->capture.b2 == capture->b2);
                QCOMPARE(files_in(storage), captures_before + 1);
            } else {
                QVERIFY2(!result.stored, qPrintable(what));
                QCOMPARE(files_in(storage), captures_before);
            }
            for (const auto& [m, rows] : current) QVERIFY2(stored_rows(db, m) == rows, qPrintable(what + " model " + m));

            // The port is closed again (a hang-up also drops the instrument's own hold on the line);
            // nothing is left open or running.
            QVERIFY2(entries("fd", device) <= device_holds, qPrintable(what));
            instrument->reset();
            if (fds_at_start >= 0) {
                QCOMPARE(entries("fd"), fds_at_start);
                // A finished QThread's waiters are woken just before its system thread ends, so the
                // thread may stay listed for a moment under load.
                QTRY_COMPARE_WITH_TIMEOUT(entries("task"), threads_at_start, 2000);
            }
        }
        for (const auto& [name, count] : outcomes) qInfo("%s: %d", name.c_str(), count);
        QVERIFY(outcomes.size() >= 5);  // every kind of ending was reached
    }
};

}  // namespace nlx::app::test

QTEST_MAIN(nlx::app::test::DownloadSoakTest)
#include "download_soak_test.moc"
