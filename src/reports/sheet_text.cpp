// Sheet texts of the five models.
#include "reports/sheet_text.h"

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
        const Cell value = column == "序号" ? rows_.at(row_, 0) : rows_.cell(row_, column);
        if (value) text_ += pattern.empty() ? *value : format_text(*value, pattern);
        return *this;
    }
    Sheet& date(std::string_view column) { return read_back(column, date_text); }
    Sheet& time(std::string_view column) { return read_back(column, time_text); }

    bool octave() const {
        const Cell mode = rows_.cell(row_, "MODE");
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
    s.lit("     序号:").cell("序号", "000").lit("   组号:").cell("组号", "000").sp(3).lit("Leq=").cell("Leq", kLevel)
        .sp(3).lit("L5= ").cell("L5", kLevel).sp(3).lit("L10=").cell("L10", kLevel).sp(3).lit("L50=").cell("L50", kLevel)
        .sp(3).lit("L90=").cell("L90", kLevel).sp(3).lit("L95=").cell("L95", kLevel).sp(3).lit(" SD=").cell("SD", kOne).lf();
    s.sp(17).lit("LAE=").cell("LAE", kOne).sp(3).lit("Lmax=").cell("Lmax", kOne).sp(3).lit("Lmin=").cell("Lmin", kOne)
        .sp(3).lit(" E  =").cell("E", kTwo).sp(3).lit("CODE:").cell("CODE").sp(3).lit("DATE:").date("DATE").sp(3)
        .lit("TIME:").time("TIME").lf();
    s.sp(17).lit("MODE:").cell("MODE").sp(3).lit("频率计权:").cell("频率计权").sp(2).lit("时间计权:").cell("时间计权")
        .sp(2).lit("测量时间:").cell("测量时间").sp(2).lit("设定时间:").cell("设定时间").sp(2).lit("采样间隔:")
        .cell("采样间隔").sp(2).lit("filename:").cell("filename");
}

// Models b, c and d; the model letter picks c's extra items and d's names.
void sheet_bcd(Sheet& s, char model) {
    const bool c = model == 'c', d = model == 'd';
    if (s.octave() && !d) {
        s.lit("     序号:").cell("序号", "000").sp(2).lit("31.5Hz:").cell("Leq", kLevel).sp(3).lit("63Hz:")
            .cell("L5", kLevel).sp(3).lit("125Hz:").cell("L10", kLevel).sp(3).lit("250Hz:").cell("L50", kLevel).sp(3)
            .lit("500Hz:").cell("L90", kLevel).sp(3).lit("1kHz:").cell("L95", kLevel).sp(3).lit("2kHz:")
            .cell("SD", kOne).lf();
        s.sp(16).lit("4kHz:").cell("LAE", kOne).sp(5).lit("8kHz:").cell("Lmax", kOne).sp(3).lit("AP:")
            .cell("Lmin", kOne).sp(3).lit("LA:").cell("E", kTwo);
        if (c) s.sp(3).lit("LC:").cell("测量时间");
        s.sp(3).lit("DATE:").date("DATE").sp(3).lit("TIME:").time("TIME").lf();
    } else {
        auto name = [d](std::string_view plain, std::string_view v) { return d ? v : plain; };
        s.lit("     序号:").cell("序号", "000").sp(2).lit(name("Leq=", "VLeq=")).cell(name("Leq", "VLeq"), kLevel).sp(5)
            .lit(name("L5= ", "VL5= ")).cell(name("L5", "VL5"), kLevel).sp(5).lit(name("L10=", "VL10="))
            .cell(name("L10", "VL10"), kLevel).sp(5).lit(name("L50=", "VL50=")).cell(name("L50", "VL50"), kLevel).sp(5)
            .lit(name("L90=", "VL90=")).cell(name("L90", "VL90"), kLevel).sp(5).lit(name("L95=", "VL95="))
            .cell(name("L95", "VL95"), kLevel).sp(5).lit(name(" SD=", "VSD=")).cell(name("SD", "VSD"), kOne).lf();
        // Model d keeps its exposure-type level as VLAE in a MODE "OCT" group, VLAV otherwise.
        const std::string_view exposure = d ? (s.octave() ? "VLAE" : "VLAV") : "LAE";
        s.sp(16).lit(exposure).lit("=").cell(exposure, kOne).sp(3).lit(name("Lmax=", "VLmax="))
            .cell(name("Lmax", "VLmax"), kOne).sp(3).lit(name("Lmin=", "VLmin=")).cell(name("Lmin", "VLmin"), kOne)
            .sp(3).lit(" E  =").cell("E", kTwo);
        if (c) s.sp(3).lit("测量时间:").cell("测量时间");
        s.sp(3).lit("DATE:").date("DATE").sp(3).lit("TIME:").time("TIME").lf();
    }
    s.sp(16).lit("MODE:").cell("MODE").sp(3).lit("频率计权:").cell("频率计权").sp(4).lit("时间计权:").cell("时间计权").sp(4);
    if (!c) s.lit("测量时间:").cell("测量时间").sp(4);
    s.lit("设定时间:").cell("设定时间").sp(4).lit("采样间隔:").cell("采样间隔");
}

void sheet_e(Sheet& s) {
    s.lf();
    s.sp(16).lit("                           2730C").lf();
    s.sp(16).lit("序号:").cell("序号", "000").lit("    组号：").cell("组号", "000").sp(3).lit("Leq=").cell("Leq", kLevel)
        .sp(3).lit("LAE= ").cell("LAE", kLevel).sp(3).lit("Lmax=").cell("Lmax", kLevel).lf();
    s.sp(16).lit("Lmin=").cell("Lmin", kLevel).sp(3).lit("DL=").cell("DL").sp(3).lit("E=").cell("E", kLevel).sp(3)
        .lit("频率计权:").cell("频率计权").sp(3).lit("时间计权:").cell("时间计权").lf();
    s.sp(16).lit("DATE:").date("DATE").sp(3).lit("TIME:").time("TIME").sp(3).lit("设定时间:").time("设定时间").sp(3)
        .lit("Tm=").time("Tm");
}

}  // namespace

std::string sheet_text(char model, const ReportRows& rows, std::size_t row) {
    Sheet s(rows, row);
    switch (model) {
        case 'a': sheet_a(s); break;
        case 'b':
        case 'c':
        case 'd': sheet_bcd(s, model); break;
        case 'e': sheet_e(s); break;
        default: break;
    }
    return std::move(s).text();
}

}  // namespace nlx::reports
