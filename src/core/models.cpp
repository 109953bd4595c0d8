// The one table of model facts; everything that differs by model reads it from here.
#include "core/models.h"

#include <array>

#include "core/catalogue.h"

namespace nlx {
namespace {

const std::string kTitleTail = "型噪声统计分析仪数据传输软件(WINDOWS版V1.1)";
const std::string kAboutTail = "型噪声统计分析仪计算机接收软件";
constexpr std::string_view kConfirmHead = "当前系统支持";
// The model texts as catalogue entries: the model's name in place of %1.
constexpr std::string_view kTitlePattern = NLX_TEXT("%1型噪声统计分析仪数据传输软件(WINDOWS版V1.1)");
constexpr std::string_view kAboutPattern = NLX_TEXT("%1型噪声统计分析仪计算机接收软件");
constexpr std::string_view kConfirmPattern = NLX_TEXT("当前系统支持%1");

std::string title3140(char l) { return "NLX3140" + std::string(1, l) + kTitleTail; }
std::string caption3140(char l) { return "NLX3140" + std::string(1, l) + "(windows)"; }
std::string about(char l) { return "NLX3140" + std::string(1, l) + kAboutTail; }

const std::vector<std::string_view> kHeadersA = {
    "序号", "组号", "Leq", "L5", "L10", "L50", "L90", "L95", "SD", "LAE", "Lmax", "Lmin",
    "E", "测量时间", "CODE", "DATE", "TIME", "MODE", "频率计权", "时间计权", "设定时间",
    "采样间隔", "filename"};
const std::vector<std::string_view> kHeadersBC = {
    "序号", "Leq", "L5", "L10", "L50", "L90", "L95", "SD", "LAE", "Lmax", "Lmin", "E",
    "测量时间", "DATE", "TIME", "MODE", "频率计权", "时间计权", "设定时间", "采样间隔"};
const std::vector<std::string_view> kHeadersD = {
    "序号", "VLeq", "VL5", "VL10", "VL50", "VL90", "VL95", "VSD", "VLAV", "VLmax", "VLmin",
    "E", "测量时间", "DATE", "TIME", "MODE", "频率计权", "时间计权", "设定时间", "采样间隔"};
const std::vector<std::string_view> kHeadersE = {
    "序号", "组号", "Leq", "LAE", "Lmax", "Lmin", "E", "频率计权", "时间计权", "DATE", "TIME",
    "设定时间", "Tm", "filename", ""};

std::vector<std::string_view> with(std::vector<std::string_view> v, std::string_view extra) {
    v.push_back(extra);
    return v;
}

const std::vector<std::string_view> kColumnsE = {
    "序号", "组号", "Leq", "LAE", "Lmax", "Lmin", "DL", "E", "频率计权", "时间计权", "DATE",
    "TIME", "设定时间", "Tm", "filename"};

// The exported workbook's title and headings: the grid's headings, with 采样间隔 named 时间间隔;
// models c and e head only their first column.
WorkbookLayout workbook(std::string title, std::vector<std::string_view> headings,
                        std::optional<std::size_t> date_column) {
    for (auto& h : headings)
        if (h == "采样间隔") h = "时间间隔";
    return {std::move(title), std::move(headings), date_column};
}
std::string export3140(char l) { return "NLX3140" + std::string(1, l) + " 数据导出"; }

// Models a, b, d count 256-byte blocks: n = 128 * b1 + b2 - 16.
constexpr TransferFormat kBlocksABD{.b1_weight = 128, .b2_weight = 1, .offset = -16, .unit = 256};
// Model c counts 256-byte blocks in b2 alone: n = b2 - 128.
constexpr TransferFormat kBlocksC{.b1_weight = 0, .b2_weight = 1, .offset = -128, .unit = 256};
// Model e counts bytes: n = 256 * (b2 - 128) + b1.
constexpr TransferFormat kBytesE{.b1_weight = 1, .b2_weight = 256, .offset = -128 * 256, .unit = 1};

// The grid: column 0 200 twips wide, narrow data columns 1..narrow_last of 800 twips, wide ones
// up to the last column, every data column centred.
GridLayout grid(int columns, int narrow_last, int wide_width, std::vector<std::string_view> headers) {
    return {.column_count = columns, .marker_width = 200,
            .narrow_first = 1, .narrow_last = narrow_last, .narrow_width = 800,
            .wide_first = narrow_last + 1, .wide_last = columns - 1, .wide_width = wide_width,
            .centred_first = 1, .centred_last = columns - 1, .headers = std::move(headers)};
}

constexpr MonitorScale kSoundScale{.captions = {"30", "80", "130"}, .quantity = NLX_TEXT("声级"), .shown_offset = 30, .bar_offset = 30};
constexpr LevelColumns kSoundLevels{.leq = "Leq", .l5 = "L5", .l10 = "L10", .l50 = "L50", .l90 = "L90", .l95 = "L95",
                                    .sd = "SD", .lmax = "Lmax", .lmin = "Lmin", .exposure = "LAE",
                                    .octave_exposure = "LAE"};

// Each model is built in a function of its own: brace-initialising the whole array of models
// makes GCC's optimiser warn, wrongly, about the clean-up of a partly built array.
ModelInfo model_a() {
    return {.letter = 'a', .option_caption = "NLX3140A", .confirm_line = "当前系统支持NLX3140A",
            .title_label = title3140('a'), .window_caption = caption3140('a'), .about_title = about('a'),
            .grid = grid(24, 13, 1000, kHeadersA), .record_columns = kHeadersA, .has_distribution = true,
            .transfer = kBlocksABD, .workbook = workbook(export3140('a'), kHeadersA, 15),
            .monitor = kSoundScale, .levels = kSoundLevels, .distribution_first_level = 30,
            .history_files = true, .headers_follow_the_row = false,
            .octave = {.bands = 11, .measured_time_header = ""}, .sheet = SheetForm::statistics_with_history,
            .sheet_octave_form = false, .sheet_measured_time_on_line_2 = false,
            .tm27_printable = true, .tm27_octave_without_set_time = false};
}

ModelInfo model_b() {
    return {.letter = 'b', .option_caption = "NLX3140B", .confirm_line = "当前系统支持NLX3140B",
            .title_label = title3140('b'), .window_caption = caption3140('b'), .about_title = about('b'),
            .grid = grid(21, 12, 1000, kHeadersBC), .record_columns = kHeadersBC, .has_distribution = true,
            .transfer = kBlocksABD, .workbook = workbook(export3140('b'), kHeadersBC, 13),
            .monitor = kSoundScale, .levels = kSoundLevels, .distribution_first_level = 30,
            .history_files = false, .headers_follow_the_row = true,
            .octave = {.bands = 11, .measured_time_header = "    "}, .sheet = SheetForm::statistics,
            .sheet_octave_form = true, .sheet_measured_time_on_line_2 = false,
            .tm27_printable = true, .tm27_octave_without_set_time = true};
}

ModelInfo model_c() {
    return {.letter = 'c', .option_caption = "NLX3140C (NLX3180A)", .confirm_line = "当前系统支持NLX3140C",
            .title_label = title3140('c'), .window_caption = caption3140('c'), .about_title = about('c'),
            .grid = grid(21, 12, 1000, kHeadersBC), .record_columns = kHeadersBC, .has_distribution = true,
            .transfer = kBlocksC, .workbook = workbook(export3140('c'), {"序号"}, std::nullopt),
            .monitor = {.captions = {"0", "50", "100"}, .quantity = "声级", .shown_offset = 0, .bar_offset = 30},
            .levels = kSoundLevels, .distribution_first_level = 30,
            .history_files = false, .headers_follow_the_row = true,
            .octave = {.bands = 12, .measured_time_header = "LC"}, .sheet = SheetForm::statistics,
            .sheet_octave_form = true, .sheet_measured_time_on_line_2 = true,
            .tm27_printable = true, .tm27_octave_without_set_time = false};
}

ModelInfo model_d() {
    return {.letter = 'd', .option_caption = "NLX3520B", .confirm_line = "当前系统支持NLX3520B",
            .title_label = "NLX3520B" + kTitleTail, .window_caption = "NLX3520B(windows)", .about_title = about('d'),
            .grid = grid(21, 12, 1000, kHeadersD), .record_columns = with(kHeadersD, "VLAE"),
            .has_distribution = true, .transfer = kBlocksABD, .workbook = workbook("NLX3520B数据导出", kHeadersD, 13),
            .monitor = {.captions = {"40", "90", "140"}, .quantity = NLX_TEXT("振级"), .shown_offset = 40, .bar_offset = 30},
            .levels = {.leq = "VLeq", .l5 = "VL5", .l10 = "VL10", .l50 = "VL50", .l90 = "VL90", .l95 = "VL95",
                       .sd = "VSD", .lmax = "VLmax", .lmin = "VLmin", .exposure = "VLAV", .octave_exposure = "VLAE"},
            .distribution_first_level = 40, .history_files = false, .headers_follow_the_row = true,
            .octave = {.bands = 11, .measured_time_header = ""}, .sheet = SheetForm::statistics,
            .sheet_octave_form = false, .sheet_measured_time_on_line_2 = false,
            .tm27_printable = true, .tm27_octave_without_set_time = false};
}

ModelInfo model_e() {
    return {.letter = 'e', .option_caption = "NLX2730C", .confirm_line = "当前系统支持NLX2730C",
            .title_label = "NLX2730C" + kTitleTail, .window_caption = "NLX2730C(windows)", .about_title = about('e'),
            .grid = grid(16, 7, 1200, kHeadersE), .record_columns = kColumnsE, .has_distribution = false,
            .transfer = kBytesE, .workbook = workbook(export3140('e'), {"序号"}, std::nullopt),
            .monitor = {.captions = {"30", "80", "130"}, .quantity = "声级", .shown_offset = 0, .bar_offset = 0},
            .levels = kSoundLevels, .distribution_first_level = 30,
            .history_files = false, .headers_follow_the_row = false,
            .octave = {.bands = 11, .measured_time_header = ""}, .sheet = SheetForm::record,
            .sheet_octave_form = false, .sheet_measured_time_on_line_2 = false,
            .tm27_printable = false, .tm27_octave_without_set_time = false};
}

const std::array<ModelInfo, 5>& table() {
    static const std::array<ModelInfo, 5> models = {model_a(), model_b(), model_c(), model_d(), model_e()};
    return models;
}

}  // namespace

std::span<const ModelInfo> all_models() { return table(); }

const ModelInfo* find_model(char letter) {
    for (const auto& m : table())
        if (m.letter == letter) return &m;
    return nullptr;
}

const ModelInfo* find_model(std::string_view letter) {
    return letter.size() == 1 ? find_model(letter[0]) : nullptr;
}

std::string record_table_name(char letter) { return "噪声" + std::string(1, letter); }
std::string distribution_table_name(char letter) { return "分布图" + std::string(1, letter); }

std::span<const std::string> distribution_columns() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v{"序号"};
        v.reserve(std::size_t(kDistributionValues) + 1);
        for (int k = 1; k <= kDistributionValues; ++k) v.push_back(std::string("P").append(std::to_string(k)));
        return v;
    }();
    return names;
}

bool same_column_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

std::optional<int> record_column_index(const ModelInfo& model, std::string_view name) {
    for (std::size_t i = 0; i < model.record_columns.size(); ++i)
        if (same_column_name(model.record_columns[i], name)) return int(i);
    return std::nullopt;
}

std::string model_text(std::string_view text) {
    auto ends = [&](std::string_view tail) { return text.size() > tail.size() && text.ends_with(tail); };
    if (ends(kTitleTail)) return fill(tr(kTitlePattern), {text.substr(0, text.size() - kTitleTail.size())});
    if (ends(kAboutTail)) return fill(tr(kAboutPattern), {text.substr(0, text.size() - kAboutTail.size())});
    if (text.starts_with(kConfirmHead)) return fill(tr(kConfirmPattern), {text.substr(kConfirmHead.size())});
    return std::string(text);
}

}  // namespace nlx
