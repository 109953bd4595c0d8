// The TM27 printout: a group's cells laid out in the printer's ten lines, in GBK bytes.
#include "reports/tm27_printout.h"

#include <cmath>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "core/gbk.h"
#include "core/models.h"
#include "core/number_format.h"
#include "core/texts.h"
#include "reports/cell_format.h"

namespace nlx::reports {
namespace {

constexpr std::uint8_t kEsc = 0x1B, kCr = 0x0D;

// The level columns in printed order; model d has its vibration names in the same places.
struct LevelNames {
    std::string_view leq, l5, lmax, l10, lmin, l50, lae, l90, sd, l95;
};

LevelNames level_names(const ModelInfo& model, bool octave) {
    const LevelColumns& l = model.levels;
    return {l.leq, l.l5, l.lmax, l.l10, l.lmin, l.l50, model.exposure_column(octave), l.l90, l.sd, l.l95};
}

std::string padded_front(std::string text, std::size_t shorter_than, std::size_t spaces) {
    return text.size() < shorter_than ? std::string(spaces, ' ').append(text) : text;
}

std::string level(const std::string& v) { return padded_front(format_text(v, "##0.0"), 5, 1); }

std::string deviation(const std::string& v) {
    std::string text = format_text(v, "##0.0");
    return text.size() < 4 ? std::string("  ").append(text) : padded_front(std::move(text), 5, 1);
}

std::string exposure(const std::string& v) { return padded_front(format_text(v, "#0.00"), 5, 1); }

// The stored yy-mm-dd rearranged by position: characters 1-2 / 4-5 / the last two.
std::string printed_date(const std::string& v) {
    auto part = [&v](std::size_t from, std::size_t n) { return from < v.size() ? v.substr(from, n) : std::string(); };
    return part(0, 2).append("/").append(part(3, 2)).append("/").append(v.size() >= 2 ? v.substr(v.size() - 2) : v);
}

// The bytes of one printout. The first cell that cannot be printed is kept as the failure and
// everything after it is ignored, so the layout below reads as the paper does.
class Paper {
public:
    Paper(const ReportRows& rows, std::size_t row, std::string group)
        : rows_(rows), row_(row), group_(std::move(group)) {}

    Paper& text(std::string_view ascii) { out_.append(ascii); return *this; }
    Paper& spaces(std::size_t n) { out_.append(n, ' '); return *this; }
    Paper& bytes(std::initializer_list<std::uint8_t> raw) {
        for (auto b : raw) out_.push_back(char(b));
        return *this;
    }
    Paper& end_line() { return bytes({kCr}); }

    // The stored text of a printed cell; empty, with the failure kept, when it is missing.
    std::string value(std::string_view column) {
        if (failed_) return {};
        const Cell cell = rows_.cell(row_, column);
        if (!cell || cell->empty()) {
            failed_ = fail(texts::tm27_empty_cell(group_, column));
            return {};
        }
        return *cell;
    }
    // `shown` (made from the cell of `column`) in GBK.
    Paper& put(std::string_view column, const std::string& shown) { out_.append(gbk(column, shown)); return *this; }
    Paper& cell(std::string_view column, std::string (*shape)(const std::string&) = nullptr) {
        std::string v = value(column);
        return failed_ ? *this : put(column, shape ? shape(v) : v);
    }
    std::string gbk(std::string_view column, const std::string& shown) {
        if (failed_) return {};
        auto converted = to_gbk(shown);
        if (!converted) {
            failed_ = fail(texts::tm27_bad_cell(group_, column));
            return {};
        }
        return *converted;
    }

    Result<std::vector<std::uint8_t>> done() && {
        if (failed_) return *failed_;
        return std::vector<std::uint8_t>(out_.begin(), out_.end());
    }

private:
    const ReportRows& rows_;
    std::size_t row_;
    std::string group_;
    std::string out_;
    std::optional<Error> failed_;
};

// 序号 as a whole number.
std::optional<long long> group_number(const ReportRows& rows, std::size_t row) {
    const Cell cell = rows.at(row, 0);
    if (!cell) return std::nullopt;
    auto v = parse_decimal(*cell);
    if (!v || std::floor(*v) != *v || std::fabs(*v) > 1e15) return std::nullopt;
    return static_cast<long long>(*v);
}

}  // namespace

Result<std::vector<std::uint8_t>> tm27_printout(const ModelInfo& model, const ReportRows& rows, std::size_t row) {
    if (!model.tm27_printable) return fail(texts::tm27_model_not_printable(model.option_caption));
    const auto number = group_number(rows, row);
    if (!number) return fail(texts::tm27_bad_group_number(row + 1));

    Paper p(rows, row, std::to_string(*number));
    // Line 1, double width: the last three digits of 序号 + 1000.
    const std::string plus = std::to_string(*number + 1000);
    p.bytes({kEsc, 0x55, 0x02}).text("No.").text(plus.size() > 3 ? plus.substr(plus.size() - 3) : plus)
        .bytes({kEsc, 0x55, 0x01}).end_line();

    p.cell("DATE", printed_date).spaces(11)
        .cell("TIME", [](const std::string& v) { return time_text(v).value_or(v); }).end_line();

    const std::string mode = p.value(kModeColumn);
    const bool octave = mode == kOctaveMode;
    p.text("Mode:").put(kModeColumn, mode).spaces(11).text("WEIGHT: ").cell("时间计权").spaces(2).cell("频率计权").end_line();

    // The set time, or the measured time of a 24-hour run stopped early; none for an octave
    // group of model b.
    const std::string set = p.value("设定时间");
    const Cell measured = rows.cell(row, kMeasuredTimeColumn);
    const bool stopped_early = set == "24hour" && (!measured || *measured != "24h0m0s");
    std::string shown;
    std::string_view shown_from = "设定时间";
    if (model.tm27_octave_without_set_time && octave) {
        shown = "   ";
    } else if (stopped_early) {
        shown = p.value(kMeasuredTimeColumn);
        shown_from = kMeasuredTimeColumn;
    } else if (set.ends_with("hour")) {
        shown = set.substr(0, set.size() - 3);
    } else {
        shown = set;
    }
    const std::string time = p.gbk(shown_from, shown);
    p.text(stopped_early ? "Tm=" : "Ts=").text(time).spaces(time.size() < 9 ? 9 - time.size() : 0).spaces(7)
        .text("t=").cell("采样间隔").end_line();

    const LevelNames n = level_names(model, octave);
    auto levels = [&p](std::string_view left, std::string_view left_column, std::string_view right,
                       std::string_view right_column) {
        p.text(left).cell(left_column, level).text("dB").spaces(7).text(right).cell(right_column, level).text("dB")
            .end_line();
    };
    levels("Leq =", n.leq, "L5 =", n.l5);
    levels("Lmax=", n.lmax, "L10=", n.l10);
    levels("Lmin=", n.lmin, "L50=", n.l50);
    levels("LAE =", n.lae, "L90=", n.l90);
    p.text(" SD =").cell(n.sd, deviation).text("dB").spaces(7).text("L95=").cell(n.l95, level).text("dB").end_line();
    p.text("  E =").cell("E", exposure).text("Pa").bytes({0x9C, 0x9C, 0x7F}).text("h").end_line().end_line();
    return std::move(p).done();
}

}  // namespace nlx::reports
