// The instrument model table: captions, titles, grid layout and table columns of models a..e.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nlx {

// Grid columns are counted as the grid counts them: column 0 is the narrow marker column.
struct GridLayout {
    int column_count;      // including column 0
    int marker_width;      // width of column 0, twips
    int narrow_first, narrow_last, narrow_width;
    int wide_first, wide_last, wide_width;
    int centred_first, centred_last;
    std::vector<std::string_view> headers;  // row 0 from column 1 on, before the first fill
};

// How a model announces and sends its transfer. The count n comes from the two count bytes as
// n = b1_weight * b1 + b2_weight * b2 + offset; n <= 0 means the instrument holds no data.
struct TransferFormat {
    int b1_weight, b2_weight, offset;
    std::size_t unit;  // bytes one unit of n stands for: a 256-byte block, or 1 byte
    // When the please-wait window goes during a download: as soon as reception starts (a
    // byte-counted transfer), or only once everything has arrived.
    enum class WaitHides { when_reception_starts, when_received } wait_hides;
};

// What the exported workbook holds beyond the table's values.
struct WorkbookLayout {
    std::string title;                       // row 1, merged over the table's columns
    std::vector<std::string_view> headings;  // row 2, from column 1
    std::optional<std::size_t> date_column;  // table column written as yyyy-mm-dd
};

struct ModelInfo {
    char letter;                        // 'a'..'e'
    std::string_view option_caption;    // "NLX3140A" ...
    std::string_view confirm_line;      // first line of the confirmation message
    std::string title_label;            // caption of the main window's title label
    std::string window_caption;         // main window caption
    std::string about_title;            // About box title
    GridLayout grid;
    std::vector<std::string_view> record_columns;  // record table "噪声"+letter, table order
    bool has_distribution;                         // distribution table "分布图"+letter exists
    TransferFormat transfer;
    WorkbookLayout workbook;
};

// All five models, in option order a..e.
std::span<const ModelInfo> all_models();

// The model of a letter; nullptr for anything but 'a'..'e'.
const ModelInfo* find_model(char letter);
const ModelInfo* find_model(std::string_view letter);

std::string record_table_name(char letter);        // "噪声" + letter
std::string distribution_table_name(char letter);  // "分布图" + letter

// Distribution tables: 序号 followed by 101 positional columns.
inline constexpr int kDistributionValues = 101;
std::span<const std::string> distribution_columns();  // 102 names: 序号, P1..P101

// Zero-based position of a record column by name, letter case ignored; nullopt when absent.
std::optional<int> record_column_index(const ModelInfo& model, std::string_view name);

// Letter case folded for ASCII only; Chinese names compare byte for byte.
bool same_column_name(std::string_view a, std::string_view b);

}  // namespace nlx
