// The single-group sheet texts of each model, character for character.
#include <gtest/gtest.h>

#include <map>

#include "core/models.h"
#include "reports/sheet_text.h"

namespace nlx::reports {
namespace {

ReportRows one_row(char model, const std::map<std::string, std::string>& cells) {
    ReportRows rows;
    RecordRow row;
    for (auto name : find_model(model)->record_columns) {
        rows.columns.emplace_back(name);
        auto found = cells.find(std::string(name));
        row.push_back(found == cells.end() ? Cell() : Cell(found->second));
    }
    rows.rows.push_back(row);
    return rows;
}

std::string sp(int n) { return std::string(std::size_t(n), ' '); }

const std::map<std::string, std::string> kCells = {
    {"序号", "07"}, {"组号", "7"}, {"Leq", "65.3"}, {"L5", "5.2"}, {"L10", "60"}, {"L50", "55.55"}, {"L90", "50"},
    {"L95", "49"}, {"SD", "2"}, {"LAE", "99.9"}, {"Lmax", "101.2"}, {"Lmin", "40"}, {"E", "0.5"}, {"CODE", "3.0"},
    {"DATE", "10-12-21"}, {"TIME", "9:05:03"}, {"MODE", "STA"}, {"频率计权", "A"}, {"时间计权", "F"}, {"测量时间", "0h10m0s"},
    {"设定时间", "10min"}, {"采样间隔", "1s"}, {"filename", "021.ln"}};

TEST(SheetText, EachModel) {
    auto octave = kCells;
    octave["MODE"] = "OCT";
    octave["测量时间"] = "81.2";
    auto vibration = kCells;
    for (auto [plain, v] : {std::pair{"Leq", "VLeq"}, {"L5", "VL5"}, {"L10", "VL10"}, {"L50", "VL50"}, {"L90", "VL90"},
                            {"L95", "VL95"}, {"SD", "VSD"}, {"LAE", "VLAV"}, {"Lmax", "VLmax"}, {"Lmin", "VLmin"}})
        vibration[v] = vibration[plain];
    auto vibration_oct = vibration;
    vibration_oct["MODE"] = "OCT";
    vibration_oct["VLAE"] = "88.8";
    auto e = kCells;
    e["LAE"] = "089.9";
    e["DL"] = "12.5%";
    e["E"] = "00.00";
    e["TIME"] = "10:06";
    e["设定时间"] = "4h";
    e["Tm"] = "04:00:00";

    auto line3 = [](const char* mode) { return sp(16) + "MODE:" + mode + sp(3) + "频率计权:A" + sp(4) + "时间计权:F" + sp(4); };
    const std::string line3_b = line3("STA");
    const std::string line3_bc_end = "设定时间:10min" + sp(4) + "采样间隔:1s";
    struct Case {
        const char* what;
        char model;
        std::map<std::string, std::string> cells;
        std::string text;
    } cases[] = {
        {"a", 'a', kCells,
         "     序号:007   组号:007   Leq=65.3   L5= 05.2   L10=60.0   L50=55.6   L90=50.0   L95=49.0    SD=2.0\n" + sp(17) +
             "LAE=99.9   Lmax=101.2   Lmin=40.0    E  =0.50   CODE:3.0   DATE:10/12/21   TIME:09:05:03\n" + sp(17) +
             "MODE:STA   频率计权:A  时间计权:F  测量时间:0h10m0s  设定时间:10min  采样间隔:1s  filename:021.ln"},
        {"b", 'b', kCells,
         "     序号:007  Leq=65.3     L5= 05.2     L10=60.0     L50=55.6     L90=50.0     L95=49.0      SD=2.0\n" + sp(16) +
             "LAE=99.9   Lmax=101.2   Lmin=40.0    E  =0.50   DATE:10/12/21   TIME:09:05:03\n" + line3_b +
             "测量时间:0h10m0s" + sp(4) + line3_bc_end},
        {"b octave", 'b', octave,
         "     序号:007  31.5Hz:65.3   63Hz:05.2   125Hz:60.0   250Hz:55.6   500Hz:50.0   1kHz:49.0   2kHz:2.0\n" +
             sp(16) + "4kHz:99.9     8kHz:101.2   AP:40.0   LA:0.50   DATE:10/12/21   TIME:09:05:03\n" + line3("OCT") +
             "测量时间:81.2" + sp(4) + line3_bc_end},
        {"c", 'c', kCells,
         "     序号:007  Leq=65.3     L5= 05.2     L10=60.0     L50=55.6     L90=50.0     L95=49.0      SD=2.0\n" + sp(16) +
             "LAE=99.9   Lmax=101.2   Lmin=40.0    E  =0.50   测量时间:0h10m0s   DATE:10/12/21   TIME:09:05:03\n" +
             line3_b + line3_bc_end},
        {"c octave", 'c', octave,
         "     序号:007  31.5Hz:65.3   63Hz:05.2   125Hz:60.0   250Hz:55.6   500Hz:50.0   1kHz:49.0   2kHz:2.0\n" +
             sp(16) + "4kHz:99.9     8kHz:101.2   AP:40.0   LA:0.50   LC:81.2   DATE:10/12/21   TIME:09:05:03\n" + line3("OCT") +
             line3_bc_end},
        {"d", 'd', vibration,
         "     序号:007  VLeq=65.3     VL5= 05.2     VL10=60.0     VL50=55.6     VL90=50.0     VL95=49.0     VSD=2.0\n" +
             sp(16) + "VLAV=99.9   VLmax=101.2   VLmin=40.0    E  =0.50   DATE:10/12/21   TIME:09:05:03\n" + line3_b +
             "测量时间:0h10m0s" + sp(4) + line3_bc_end},
        {"d second kind", 'd', vibration_oct,
         "     序号:007  VLeq=65.3     VL5= 05.2     VL10=60.0     VL50=55.6     VL90=50.0     VL95=49.0     VSD=2.0\n" +
             sp(16) + "VLAE=88.8   VLmax=101.2   VLmin=40.0    E  =0.50   DATE:10/12/21   TIME:09:05:03\n" + sp(16) +
             "MODE:OCT   频率计权:A    时间计权:F    测量时间:0h10m0s    " + line3_bc_end},
        {"e", 'e', e,
         "\n" + sp(43) + "2730C\n" + sp(16) + "序号:007    组号：007   Leq=65.3   LAE= 89.9   Lmax=101.2\n" + sp(16) +
             "Lmin=40.0   DL=12.5%   E=00.0   频率计权:A   时间计权:F\n" + sp(16) +
             "DATE:10/12/21   TIME:10:06:00   设定时间:4h   Tm=04:00:00"},
    };
    for (const auto& c : cases) EXPECT_EQ(sheet_text(*find_model(c.model), one_row(c.model, c.cells), 0), c.text) << c.what;
}

TEST(SheetText, MissingValuesLeaveTheirLabels) {
    const auto text = sheet_text(*find_model('b'), one_row('b', {{"序号", "1"}}), 0);
    EXPECT_TRUE(text.starts_with("     序号:001  Leq=     L5=      L10=")) << text;
    EXPECT_TRUE(text.ends_with("设定时间:    采样间隔:")) << text;
}

}  // namespace
}  // namespace nlx::reports
