// Sheet texts of the five models.
#include "reports/sheet_text.h"

#include "core/models.h"
#include "core/number_format.h"
#include "reports/cell_format.h"

namespace nlx::reports {
namespace {

// Appends the sheet's items: literals, runs of spaces and formatted cells.
class Sheet {
public:
    Sheet(const ReportRows& rows, std::size_t row) : rows_(rows), row_(row) {}

    Sheet& lit(std::string_view text) { text_ += text; return *this; }
    Sheet& sp(int n) { text_.append(std::size_t(n), ' '); return *this; }
    Sheet& lf() { text_ += '\n'; return *this; }
    // The cell as stored, or with a number pattern.
    Sheet& cell(std::string_view column, std::string_view pattern = {}) {
        const Cell value = column == kSeqColumn ? rows_.at(row_, 0) : rows_.cell(row_, column);
        if (value) text_ += pattern.empty() ? *value : format_text(*value, pattern);
        return *this;
    }
    Sheet& date(std::string_view column) { return read_back(column, date_text); }
    Sheet& time(std::string_view column) { return read_back(column, time_text); }

    bool octave() const {
        const Cell mode = rows_.cell(row_, kModeColumn);
        return mode && *mode == "OCT";
    }
    std::string text() && { return std::move(text_); }

private:
    Sheet& read_back(std::string_view column, std::optional<std::string> (*reader)(std::string_view)) {
        const Cell value = rows_.cell(row_, column);
        if (value) text_ += reader(*value).value_or(*value);
        return *this;
    }

    const ReportRows& rows_;
    std::size_t row_;
    std::string text_;
};

constexpr std::string_view kLevel = "#00.0", kOne = "##0.0", kTwo = "##0.00";

void sheet_a(Sheet& s) {
    s.lit("     序号:").cell(kSeqColumn, "000").lit("   组号:").cell("组号", "000").sp(3).lit("Leq=").cell("Leq", kLevel)
        .sp(3).lit("L5= ").cell("L5", kLevel).sp(3).lit("L10=").cell("L10", kLevel).sp(3).lit("L50=").cell("L50", kLevel)
        .sp(3).lit("L90=").cell("L90", kLevel).sp(3).lit("L95=").cell("L95", kLevel).sp(3).lit(" SD=").cell("SD", kOne).lf();
    s.sp(17).lit("LAE=").cell("LAE", kOne).sp(3).lit("Lmax=").cell("Lmax", kOne).sp(3).lit("Lmin=").cell("Lmin", kOne)
        .sp(3).lit(" E  =").cell("E", kTwo).sp(3).lit("CODE:").cell("CODE").sp(3).lit("DATE:").date("DATE").sp(3)
        .lit("TIME:").time("TIME").lf();
    s.sp(17).lit("MODE:").cell(kModeColumn).sp(3).lit("频率计权:").cell("频率计权").sp(2).lit("时间计权:").cell("时间计权")
        .sp(2).lit("测量时间:").cell(kMeasuredTimeColumn).sp(2).lit("设定时间:").cell("设定时间").sp(2).lit("采样间隔:")
        .cell("采样间隔").sp(2).lit("filename:").cell("filename");
}

// Models b, c and d: the model's level names (model d's vibration levels), c's 测量时间 on line 2.
void sheet_bcd(Sheet& s, const ModelInfo& model) {
    const bool line_2 = model.sheet_measured_time_on_line_2;
    const LevelColumns& l = model.levels;
    if (s.octave() && model.sheet_octave_form) {
        // "31.5Hz:" .. "8kHz:" for the bands, "AP:" and "LA:" for the totals.
        auto band = [](std::size_t k) { return std::string(kOctaveBands[k]).append(k < 9 ? "Hz:" : ":"); };
        s.lit("     序号:").cell(kSeqColumn, "000").sp(2).lit(band(0)).cell("Leq", kLevel).sp(3).lit(band(1))
            .cell("L5", kLevel).sp(3).lit(band(2)).cell("L10", kLevel).sp(3).lit(band(3)).cell("L50", kLevel).sp(3)
            .lit(band(4)).cell("L90", kLevel).sp(3).lit(band(5)).cell("L95", kLevel).sp(3).lit(band(6))
            .cell("SD", kOne).lf();
        s.sp(16).lit(band(7)).cell("LAE", kOne).sp(5).lit(band(8)).cell("Lmax", kOne).sp(3).lit(band(9))
            .cell("Lmin", kOne).sp(3).lit(band(10)).cell("E", kTwo);
        if (line_2) s.sp(3).lit(band(11)).cell(kMeasuredTimeColumn);
        s.sp(3).lit("DATE:").date("DATE").sp(3).lit("TIME:").time("TIME").lf();
    } else {
        // "Leq=", "L5= " (a space after L5's sign), " SD=" (SD right-aligned in three).
        auto label = [](std::string_view name, std::string_view sign = "=") { return std::string(name).append(sign); };
        const std::string sd = std::string(l.sd.size() < 3 ? 3 - l.sd.size() : 0, ' ') + std::string(l.sd) + "=";
        s.lit("     序号:").cell(kSeqColumn, "000").sp(2).lit(label(l.leq)).cell(l.leq, kLevel).sp(5)
            .lit(label(l.l5, "= ")).cell(l.l5, kLevel).sp(5).lit(label(l.l10)).cell(l.l10, kLevel).sp(5)
            .lit(label(l.l50)).cell(l.l50, kLevel).sp(5).lit(label(l.l90)).cell(l.l90, kLevel).sp(5)
            .lit(label(l.l95)).cell(l.l95, kLevel).sp(5).lit(sd).cell(l.sd, kOne).lf();
        const std::string_view exposure = model.exposure_column(s.octave());
        s.sp(16).lit(exposure).lit("=").cell(exposure, kOne).sp(3).lit(label(l.lmax)).cell(l.lmax, kOne).sp(3)
            .lit(label(l.lmin)).cell(l.lmin, kOne).sp(3).lit(" E  =").cell("E", kTwo);
        if (line_2) s.sp(3).lit("测量时间:").cell(kMeasuredTimeColumn);
        s.sp(3).lit("DATE:").date("DATE").sp(3).lit("TIME:").time("TIME").lf();
    }
    s.sp(16).lit("MODE:").cell(kModeColumn).sp(3).lit("频率计权:").cell("频率计权").sp(4).lit("时间计权:").cell("时间计权").sp(4);
    if (!line_2) s.lit("测量时间:").cell(kMeasuredTimeColumn).sp(4);
    s.lit("设定时间:").cell("设定时间").sp(4).lit("采样间隔:").cell("采样间隔");
}

void sheet_e(Sheet& s) {
    s.lf();
    s.sp(16).lit("                           2730C").lf();
    s.sp(16).lit("序号:").cell(kSeqColumn, "000").lit("    组号：").cell("组号", "000").sp(3).lit("Leq=").cell("Leq", kLevel)
        .sp(3).lit("LAE= ").cell("LAE", kLevel).sp(3).lit("Lmax=").cell("Lmax", kLevel).lf();
    s.sp(16).lit("Lmin=").cell("Lmin", kLevel).sp(3).lit("DL=").cell("DL").sp(3).lit("E=").cell("E", kLevel).sp(3)
        .lit("频率计权:").cell("频率计权").sp(3).lit("时间计权:").cell("时间计权").lf();
    s.sp(16).lit("DATE:").date("DATE").sp(3).lit("TIME:").time("TIME").sp(3).lit("设定时间:").time("设定时间").sp(3)
        .lit("Tm=").time("Tm");
}

}  // namespace

std::string sheet_text(const ModelInfo& model, const ReportRows& rows, std::size_t row) {
    Sheet s(rows, row);
    switch (model.sheet) {
        case SheetForm::statistics_with_history: sheet_a(s); break;
        case SheetForm::statistics: sheet_bcd(s, model); break;
        case SheetForm::record: sheet_e(s); break;
    }
    return std::move(s).text();
}

}  // namespace nlx::reports
