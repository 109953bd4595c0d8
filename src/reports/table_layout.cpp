// Titles, header lines, rulers and row cells of the table report, per model.
#include "reports/table_layout.h"

#include <array>
#include <cstdlib>

#include "core/models.h"

namespace nlx::reports {
namespace {

using K = CellKind;

RowEntry sp(int n) { return {RowEntry::Kind::spaces, n, {}, K::text}; }
RowEntry cell(std::string_view column, CellKind kind) { return {RowEntry::Kind::cell, 0, column, kind}; }
RowEntry end() { return {RowEntry::Kind::line_end, 0, {}, K::text}; }

std::vector<RowEntry> row_a() {
    return {sp(3), cell(kSeqColumn, K::group), sp(2), cell("组号", K::group), sp(1), cell("Leq", K::level), sp(1),
            cell("L5", K::level), sp(1), cell("L10", K::level), sp(1), cell("L50", K::level), sp(1),
            cell("L90", K::level), sp(1), cell("L95", K::level), cell("SD", K::deviation), cell("LAE", K::level),
            cell("Lmax", K::level), sp(1), cell("Lmin", K::level), cell("E", K::exposure), sp(1),
            cell(kMeasuredTimeColumn, K::measure_time), sp(1), cell("CODE", K::text), sp(1), cell("DATE", K::date), sp(1),
            cell("TIME", K::time), sp(1), cell(kModeColumn, K::text), sp(4), cell("频率计权", K::text), sp(8),
            cell("时间计权", K::text), sp(6), cell("设定时间", K::set_time), sp(6), cell("采样间隔", K::text), sp(4),
            cell("filename", K::text), end()};
}

// Models b, c and d; `v` is "V" for the vibration model's level names.
std::vector<RowEntry> row_bcd(bool vibration) {
    auto level = [vibration](std::string_view plain, std::string_view v) {
        return cell(vibration ? v : plain, K::level);
    };
    return {sp(9), cell(kSeqColumn, K::group), sp(2), level("Leq", "VLeq"), sp(1), level("L5", "VL5"), sp(1),
            level("L10", "VL10"), sp(1), level("L50", "VL50"), sp(1), level("L90", "VL90"), sp(1),
            level("L95", "VL95"), sp(1), cell(vibration ? "VSD" : "SD", K::deviation), sp(1),
            level("LAE", "VLAE"), sp(1), level("Lmax", "VLmax"), sp(2), level("Lmin", "VLmin"), sp(1),
            cell("E", K::exposure), sp(1), cell(kMeasuredTimeColumn, K::measure_time), sp(1), cell("DATE", K::date), sp(1),
            cell("TIME", K::time), sp(1), cell(kModeColumn, K::text), sp(6), cell("频率计权", K::text), sp(8),
            cell("时间计权", K::text), sp(6), cell("设定时间", K::set_time), sp(6), cell("采样间隔", K::text), sp(4),
            end()};
}

std::vector<RowEntry> row_e() {
    return {sp(3), cell(kSeqColumn, K::group), sp(4), cell("组号", K::group), sp(3), cell("Leq", K::level), sp(3),
            cell("LAE", K::level), sp(3), cell("Lmax", K::level), sp(3), cell("Lmin", K::level), sp(3),
            cell("DL", K::percent_ratio), sp(3), cell("E", K::text), sp(3), cell("频率计权", K::text), sp(8),
            cell("时间计权", K::text), sp(6), cell("DATE", K::date), sp(1), cell("TIME", K::time), sp(1),
            cell("设定时间", K::text), sp(1), end(), cell("Tm", K::text), sp(6), end()};
}

constexpr std::string_view kHeaderA =
    "   序号 组号  Leq   L5   L10   L50   L90   L95   SD  LAE  Lmax  Lmin  E  测量时间   CODE   DATE    TIME   MODE "
    "频率计权 时间计权 设定时间  采样间隔 filename";
constexpr std::string_view kHeaderBC =
    "         序号   Leq   L5    L10   L50   L90   L95   SD   LAE   Lmax   Lmin   E   测量时间    DATE     TIME   MODE  "
    "频率计权 时间计权 设定时间 采样间隔";
constexpr std::string_view kHeaderD =
    "         序号   VLeq VL5   VL10  VL50  VL90  VL95  VSD  VLAE  VLmax  VLmin   E   测量时间    DATE     TIME   MODE  "
    "频率计权 时间计权 设定时间 采样间隔";
constexpr std::string_view kHeaderE =
    "   序号  组号   Leq   LAE    Lmax    Lmin    DL    E     频率计权   时间计权   DATE    TIME   设定时间   TM";

constexpr Ruler kWideHeader{2, 152}, kNarrowHeader{9, 142};
constexpr Ruler kWideRow{2, 165}, kNarrowRow{10, 154};

}  // namespace

const TableLayout& table_layout(const ModelInfo& model) {
    static const std::array<TableLayout, 5> layouts = {
        TableLayout{'a', "NLX3140a测量结果  表", kHeaderA, kWideHeader, kWideRow, row_a()},
        TableLayout{'b', "NLX3140b测量结果  表", kHeaderBC, kNarrowHeader, kNarrowRow, row_bcd(false)},
        TableLayout{'c', "NLX3140c测量结果  表", kHeaderBC, kNarrowHeader, kNarrowRow, row_bcd(false)},
        TableLayout{'d', "NLX3140d测量结果  表", kHeaderD, kNarrowHeader, kNarrowRow, row_bcd(true)},
        TableLayout{'e', "NLX2730e测量结果  表", kHeaderE, kWideHeader, kWideRow, row_e()},
    };
    for (const auto& layout : layouts)
        if (layout.model == model.letter) return layout;
    // The model table and these layouts hold the same five models.
    std::abort();
}

}  // namespace nlx::reports
