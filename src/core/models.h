// The instrument model table: captions, titles, grid layout and table columns of models a..e.
#pragma once

#include <array>
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
};

// What the exported workbook holds beyond the table's values.
struct WorkbookLayout {
    std::string title;                       // row 1, merged over the table's columns
    std::vector<std::string_view> headings;  // row 2, from column 1
    std::optional<std::size_t> date_column;  // table column written as yyyy-mm-dd
};

// The live level: the scale under the monitor's bar, the quantity it shows, and how the
// instrument's reply value becomes the level shown and the bar's position.
struct MonitorScale {
    std::array<std::string_view, 3> captions;  // under the bar's left end, middle and right end
    std::string_view quantity;                 // "声级", "振级"
    int shown_offset;                          // level shown = f + shown_offset
    int bar_offset;                            // bar value = f + bar_offset, on the bar's 30..130
};

// Which single-group sheet the model prints: model a's statistics with its group number and
// history file, the statistics of models b, c and d (with an octave form), model e's record.
enum class SheetForm { statistics_with_history, statistics, record };

// The names of a model's level columns, in the order Leq, L5, L10, L50, L90, L95, SD, Lmax,
// Lmin: model d's vibration levels carry the same places under their own names.
struct LevelColumns {
    std::string_view leq, l5, l10, l50, l90, l95, sd, lmax, lmin;
    std::string_view exposure;         // the exposure level of a statistical group: LAE, VLAV
    std::string_view octave_exposure;  // the same column in an octave group: LAE, VLAE
};

// What an octave group (MODE "OCT") shows beyond the eleven bands 31.5 Hz .. LA: how many bands
// the spectrum draws (model c adds LC from its 测量时间 column) and what the grid's 测量时间
// header reads then ("" when the model leaves it as it is).
struct OctaveForm {
    int bands;
    std::string_view measured_time_header;
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
    MonitorScale monitor;
    LevelColumns levels;
    // The level of the distribution's first 1 dB step: 30 dB, 40 dB for the vibration model.
    int distribution_first_level;
    // Groups carry history files whose names the grid's filename column shows.
    bool history_files;
    // A click on a row rewrites the grid's level headers by its kind (octave or not).
    bool headers_follow_the_row;
    OctaveForm octave;
    SheetForm sheet;
    // The sheet of an octave group names its bands (models b and c); model d prints it in the
    // statistical form under its own names.
    bool sheet_octave_form;
    // Model c's sheet has 测量时间 (LC in an octave group) on line 2, after E or LA.
    bool sheet_measured_time_on_line_2;
    // The TM27 micro-printer prints this model's groups (model e has no printout).
    bool tm27_printable;
    // Model b prints no set time for an octave group.
    bool tm27_octave_without_set_time;

    // The exposure column of a group: model d's VLAE in an octave group, VLAV otherwise.
    std::string_view exposure_column(bool octave) const { return octave ? levels.octave_exposure : levels.exposure; }
};

// Record columns that code reads by name: a typo in one of these is a compile error.
inline constexpr std::string_view kSeqColumn = "序号";
inline constexpr std::string_view kModeColumn = "MODE";
inline constexpr std::string_view kMeasuredTimeColumn = "测量时间";

// The octave bands' labels, 31.5 Hz to 8 kHz, then the A-weighted and linear totals and LC.
inline constexpr std::array<std::string_view, 12> kOctaveBands = {"31.5", "63", "125", "250", "500", "1k",
                                                                 "2k",   "4k", "8k",  "AP",  "LA",  "LC"};
// The MODE text of an octave group.
inline constexpr std::string_view kOctaveMode = "OCT";

// All five models, in option order a..e.
std::span<const ModelInfo> all_models();

// The model of a letter; nullptr for anything but 'a'..'e'.
const ModelInfo* find_model(char letter);
const ModelInfo* find_model(std::string_view letter);

// A model's title, About title or confirmation line in the language in use ("NLX3140A" stays).
std::string model_text(std::string_view text);

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
