// The list of recordings and a recording's samples as CSV.
#include "transfer/recording_export.h"

#include <fstream>

#include "charts/recording_history.h"
#include "core/atomic_file.h"
#include "core/texts.h"

namespace nlx {

std::string duration_text(long long ms) {
    const long long s = ms / 1000;
    auto two = [](long long v) {
        std::string text = v < 10 ? "0" : "";
        text += std::to_string(v);
        return text;
    };
    return std::to_string(s / 3600) + ":" + two(s / 60 % 60) + ":" + two(s % 60);
}

TableContents recordings_table(const std::vector<RecordingInfo>& recordings) {
    TableContents t;
    t.columns = {"id", "start", "duration", "LAeq", "Lmax", "Lmin", "L5", "L10", "L50", "L90", "L95",
                 "samples", "gaps", "model", "port", "ended"};
    for (const auto& r : recordings) {
        const LevelSummary& s = r.summary;
        auto level = [&](int tenths) { return s.samples ? Value(tenths_text(tenths)) : Value(std::string()); };
        t.rows.push_back({Value(r.id), Value(iso_local_time(r.header.started_ms)), Value(duration_text(r.duration_ms())),
                          level(s.laeq), level(s.lmax), level(s.lmin), level(s.l5), level(s.l10), level(s.l50),
                          level(s.l90), level(s.l95), Value((long long)s.samples), Value((long long)s.gaps),
                          Value(std::string(1, r.header.model)), Value(r.header.port),
                          Value(r.ended.empty() ? std::string("cut off") : r.ended)});
    }
    return t;
}

Result<void> write_recording_csv(const Database& db, const RecordingInfo& recording, const std::filesystem::path& file) {
    const auto temporary = temporary_for(file);
    std::error_code ec;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return fail("cannot write " + file.string() + ": its folder is missing or not writable");
        out << "time,level\n";
        auto scanned = db.scan_recording(recording.id, [&](const RecordedSample& s) {
            out << iso_local_time(recording.header.started_ms + s.offset_ms) << ','
                << (s.tenths ? tenths_text(*s.tenths) : std::string()) << '\n';
        });
        out.flush();
        if (!scanned || !out) {
            out.close();
            std::filesystem::remove(temporary, ec);
            return fail("cannot write " + file.string() + ": " + (scanned ? "the disk is full or failed" : scanned.message()));
        }
    }
    if (auto placed = rename_into_place(temporary, file); !placed) {
        std::filesystem::remove(temporary, ec);
        return placed;
    }
    return {};
}

Result<charts::Chart> recording_chart(const Database& db, const RecordingInfo& recording) {
    charts::HistoryBuilder history(recording.duration_ms(), 1440);
    auto scanned = db.scan_recording(recording.id, [&](const RecordedSample& s) { history.add(s.offset_ms, s.tenths); });
    if (!scanned) return scanned.error();
    return history.chart(recording.header.started_ms, texts::history_title(recording.id, summary_line(recording.summary)));
}

}  // namespace nlx
