// The one table of model facts; everything that differs by model reads it from here.
#include "core/models.h"

#include <array>

namespace nlx {
namespace {

const std::string kTitleTail = "型噪声统计分析仪数据传输软件(WINDOWS版V1.1)";
const std::string kAboutTail = "型噪声统计分析仪计算机接收软件";

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

// One model, its parts set one after the other: brace-initialising the whole array of models
// makes GCC's optimiser warn, wrongly, about the clean-up of a partly built array.
ModelInfo model(char letter, std::string_view option, std::string_view confirm, std::string title,
                std::string caption, std::string about_title, const GridLayout& grid,
                const std::vector<std::string_view>& columns, bool distribution,
                const TransferFormat& transfer) {
    ModelInfo m{};
    m.letter = letter;
    m.option_caption = option;
    m.confirm_line = confirm;
    m.title_label = std::move(title);
    m.window_caption = std::move(caption);
    m.about_title = std::move(about_title);
    m.grid = grid;
    m.record_columns = columns;
    m.has_distribution = distribution;
    m.transfer = transfer;
    return m;
}

// The exported workbook's title and headings: the grid's headings, with 采样间隔 named 时间间隔;
// models c and e head only their first column.
ModelInfo exported(ModelInfo m, WorkbookLayout layout) {
    for (auto& h : layout.headings)
        if (h == "采样间隔") h = "时间间隔";
    m.workbook = std::move(layout);
    return m;
}
std::string export3140(char l) { return "NLX3140" + std::string(1, l) + " 数据导出"; }

using Hides = TransferFormat::WaitHides;
// Models a, b, d count 256-byte blocks: n = 128 * b1 + b2 - 16.
constexpr TransferFormat kBlocksABD{128, 1, -16, 256, Hides::when_received};
// Model c counts 256-byte blocks in b2 alone: n = b2 - 128.
constexpr TransferFormat kBlocksC{0, 1, -128, 256, Hides::when_received};
// Model e counts bytes: n = 256 * (b2 - 128) + b1.
constexpr TransferFormat kBytesE{1, 256, -128 * 256, 1, Hides::when_reception_starts};

const std::array<ModelInfo, 5>& table() {
    static const std::array<ModelInfo, 5> models = {
        exported(model('a', "NLX3140A", "当前系统支持NLX3140A", title3140('a'), caption3140('a'), about('a'),
                  {24, 200, 1, 13, 800, 14, 23, 1000, 1, 23, kHeadersA}, kHeadersA, true, kBlocksABD),
                 {export3140('a'), kHeadersA, 15}),
        exported(model('b', "NLX3140B", "当前系统支持NLX3140B", title3140('b'), caption3140('b'), about('b'),
                  {21, 200, 1, 12, 800, 13, 20, 1000, 1, 20, kHeadersBC}, kHeadersBC, true, kBlocksABD),
                 {export3140('b'), kHeadersBC, 13}),
        exported(model('c', "NLX3140C (NLX3180A)", "当前系统支持NLX3140C", title3140('c'), caption3140('c'),
                  about('c'), {21, 200, 1, 12, 800, 13, 20, 1000, 1, 20, kHeadersBC}, kHeadersBC, true,
                  kBlocksC),
                 {export3140('c'), {"序号"}, std::nullopt}),
        exported(model('d', "NLX3520B", "当前系统支持NLX3520B", "NLX3520B" + kTitleTail, "NLX3520B(windows)",
                  about('d'), {21, 200, 1, 12, 800, 13, 20, 1000, 1, 20, kHeadersD},
                  with(kHeadersD, "VLAE"), true, kBlocksABD),
                 {"NLX3520B数据导出", kHeadersD, 13}),
        exported(model('e', "NLX2730C", "当前系统支持NLX2730C", "NLX2730C" + kTitleTail, "NLX2730C(windows)",
                  about('e'), {16, 200, 1, 7, 800, 8, 15, 1200, 1, 15, kHeadersE}, kColumnsE, false, kBytesE),
                 {export3140('e'), {"序号"}, std::nullopt}),
    };
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

}  // namespace nlx
