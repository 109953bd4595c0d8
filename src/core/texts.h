// Every operator text of the program, each defined once: the instrument's and the original
// program's texts exactly as the operator knows them, and beside them the texts the program adds
// (port held by another command, cancel, refusals), in the same voice.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue.h"

namespace nlx::texts {

// --- Download: please-wait captions and the main window's status line -------------------------
inline constexpr std::string_view kReadingCaption = NLX_TEXT("读取数据中...");
inline constexpr std::string_view kStoringCaption = NLX_TEXT("存储数据中...");

inline constexpr std::string_view kReceiving = NLX_TEXT("正在接收数据请稍候");
inline constexpr std::string_view kProgressPrefix = "数据读取完";
inline constexpr std::string_view kReceived = NLX_TEXT("数据接收完毕");
inline constexpr std::string_view kBadAcknowledge = NLX_TEXT("收到应答信号错误");
inline constexpr std::string_view kNoAcknowledge =
    NLX_TEXT("串行接口没有收到应答信号,可能是串行口号选的不对或传输线没有接好.");
inline constexpr std::string_view kNoData = NLX_TEXT("声级计中无数据");
inline constexpr std::string_view kDataLost = NLX_TEXT("串行接收的数据有丢失");
// Added: a download stopped by the operator, and a port that failed.
inline constexpr std::string_view kCancelled = NLX_TEXT("数据接收已取消");
inline std::string port_error(std::string_view detail) { return fill(tr(NLX_TEXT("串行口错误: %1")), {detail}); }

// The progress text after byte `index` (0-based) of `total`: "数据读取完" + integer part of
// index * 100 / total + "%"; it runs from 0 to 99 per cent.
inline std::string progress_text(std::size_t index, std::size_t total) {
    std::size_t percent = total == 0 ? 0 : std::size_t((static_cast<unsigned long long>(index) * 100) / total);
    return fill(tr(NLX_TEXT("数据读取完%1%")), {std::to_string(percent)});
}

// --- Serial commands ------------------------------------------------------------------------
// Added: a second serial command while one holds the port; the holder follows in brackets.
inline std::string port_busy(std::string_view holder) {
    if (holder.empty()) return std::string(tr(NLX_TEXT("串行口正被另一个操作使用")));
    return fill(tr(NLX_TEXT("串行口正被另一个操作使用(%1)")), {holder});
}

// --- Database-file commands -------------------------------------------------------------------
// Open refused: wrong name, missing file, not a record database, or no record table of the model.
inline constexpr std::string_view kOpenFailed = NLX_TEXT("打开的文件不存在或格式错误");
// Added: the same with what was wrong: "… (noise.db has no table NLX3140A)".
inline std::string open_failed(std::string_view detail) {
    if (detail.empty()) return std::string(tr(kOpenFailed));
    return fill(tr(NLX_TEXT("打开的文件不存在或格式错误 (%1)")), {detail});
}
inline constexpr std::string_view kOpenFailedTitle = NLX_TEXT("用户操作错误提示");
// Save-as onto the file being copied.
inline constexpr std::string_view kSameName = NLX_TEXT("新文件名与被复制文件名相同，请重新输入新文件名。");
// Save-as failed for any other reason.
inline constexpr std::string_view kSaveFailed = NLX_TEXT("存盘时出错，可能是文件名相同，请重新操作");

// Added: 添加记录 refused, naming the table.
inline std::string add_record_no_table(std::string_view table) {
    return fill(tr(NLX_TEXT("表%1不存在，无法添加记录")), {table});
}
inline std::string add_record_empty_table(std::string_view table) {
    return fill(tr(NLX_TEXT("%1中没有记录，无法添加记录")), {table});
}
inline std::string add_record_bad_number(std::string_view table) {
    return fill(tr(NLX_TEXT("%1最后一行的序号不是数字，无法添加记录")), {table});
}


// --- Charts of the current group ----------------------------------------------------------------
inline constexpr std::string_view kDistributionTitle = NLX_TEXT("统计分布图");
inline constexpr std::string_view kCumulativeTitle = NLX_TEXT("累积分布图");
inline constexpr std::string_view kDistributionTooltip = NLX_TEXT("纵坐标为百分比,横坐标为声级");
inline constexpr std::string_view kDayProfileTitle = NLX_TEXT("24小时分布图");
inline constexpr std::string_view kDayProfileTooltip = NLX_TEXT("纵坐标为声级,横坐标为整点时间.");
inline constexpr std::string_view kOctaveTitle = NLX_TEXT("倍频程频谱分布图");
inline constexpr std::string_view kOctaveTooltip = NLX_TEXT("纵坐标为声级,横坐标为中心频率点.");
// Added: axis titles with their units, the day and night hours of the 24-hour chart, the
// percentile levels read off the distribution beside the instrument's, the save items.
inline constexpr std::string_view kLevelAxis = NLX_TEXT("声级 (dB)");
inline constexpr std::string_view kPercentAxis = NLX_TEXT("百分比 (%)");
inline constexpr std::string_view kHourAxis = NLX_TEXT("整点时间 (时)");
inline constexpr std::string_view kFrequencyAxis = NLX_TEXT("中心频率 (Hz)");
inline constexpr std::string_view kDayNightHours = NLX_TEXT("昼间为06时至21时，夜间为22时至05时");
// " L10=62.1 L50=55.0 L90=48.2" read off the distribution, and the instrument's.
inline std::string percentile_note(std::string_view read_off, std::string_view instrument) {
    return fill(tr(NLX_TEXT("由分布读出:%1 dB    仪器:%2 dB")), {read_off, instrument});
}
// The group a distribution chart shows.
inline std::string chart_group(std::string_view group) { return fill(tr(NLX_TEXT("序号 %1")), {group}); }
inline constexpr std::string_view kSaveChartPng = NLX_TEXT("保存图表为PNG图片...");
inline constexpr std::string_view kSaveChartSvg = NLX_TEXT("保存图表为SVG图片...");
inline std::string save_chart_failed(std::string_view why) { return fill(tr(NLX_TEXT("保存图表时出错：%1")), {why}); }

// --- Live level monitor ------------------------------------------------------------------------
inline constexpr std::string_view kMonitorTitle = NLX_TEXT("实时监测");
inline constexpr std::string_view kMonitorInstant = NLX_TEXT("瞬时");
inline constexpr std::string_view kLiveNoReply = NLX_TEXT("串行口设置错识或连线没有联好,请稍后再试");
// Added: the trend of the shown levels under the bar.
inline constexpr std::string_view kTrendTooltip = NLX_TEXT("最近一分钟的瞬时值");
// Added: recording the live level, and the window of the recordings (文件 → 监测记录).
inline constexpr std::string_view kMonitorRecord = NLX_TEXT("记录");
inline constexpr std::string_view kMonitorStopRecord = NLX_TEXT("停止记录");
inline constexpr std::string_view kRecordingDuration = NLX_TEXT("时长");
inline std::string recording_duration(std::string_view duration) { return fill(tr(NLX_TEXT("时长 %1")), {duration}); }
inline constexpr std::string_view kRecordingsTitle = NLX_TEXT("监测记录");
inline constexpr std::string_view kRecordingStart = NLX_TEXT("开始时间");
inline constexpr std::string_view kRecordingExportCsv = NLX_TEXT("导出CSV...");
inline constexpr std::string_view kRecordingExportXlsx = NLX_TEXT("导出Excel...");
// Also 导出 of the records: an export that could not be saved.
inline std::string export_failed(std::string_view why) { return fill(tr(NLX_TEXT("导出时出错：%1")), {why}); }
inline constexpr std::string_view kRecordingNone = NLX_TEXT("还没有监测记录");
inline constexpr std::string_view kHistoryTitle = NLX_TEXT("时间历程");
// The time history of recording 5 and its summary.
inline std::string history_title(long long recording, std::string_view summary) {
    return fill(tr(NLX_TEXT("时间历程 %1  %2")), {std::to_string(recording), summary});
}
inline constexpr std::string_view kHistoryTime = NLX_TEXT("时间");
inline constexpr std::string_view kHistoryGap = NLX_TEXT("间隙");
// Under the history: the time each point stands for ("每点 1.5s"), and the gaps among them.
inline std::string history_stretch(std::string_view seconds) { return fill(tr(NLX_TEXT("每点 %1s")), {seconds}); }
inline std::string history_gaps(std::size_t gaps) { return fill(tr(NLX_TEXT("间隙 %1")), {std::to_string(gaps)}); }

// --- Micro-printer speed dialog ----------------------------------------------------------------
inline constexpr std::string_view kSpeedTitle = NLX_TEXT("打印速度选择");
inline constexpr std::string_view kSpeedSlow = NLX_TEXT("慢速");
inline constexpr std::string_view kSpeedMedium = NLX_TEXT("中速");
inline constexpr std::string_view kSpeedFast = NLX_TEXT("高速");
inline constexpr std::string_view kSpeedHint = NLX_TEXT("选择TM27的打印速度,最好选慢速。");

// --- Printed reports ---------------------------------------------------------------------------
// Added: the please-wait caption while pages go to the printer, and what ends a job otherwise.
inline constexpr std::string_view kPrintingCaption = NLX_TEXT("正在打印...");
inline std::string print_failed(std::string_view why) { return fill(tr(NLX_TEXT("打印时出错：%1")), {why}); }
inline constexpr std::string_view kPrintCancelled = NLX_TEXT("打印已取消");
inline constexpr std::string_view kNothingToPrint = NLX_TEXT("没有可打印的记录");
inline constexpr std::string_view kNoPrinter =
    NLX_TEXT("本机没有安装打印机。请用 设置 → 打印机 选择一台打印机，或选择打印到PDF文件。");
// A job that could not start or end on the chosen printer or file, and what to do then.
inline std::string print_not_started(std::string_view target) {
    return fill(tr(NLX_TEXT("无法在“%1”上开始打印。请检查打印机是否已接通，或用 设置 → 打印机 另选打印机或PDF文件。")), {target});
}
inline std::string print_page_not_started(int page, std::string_view target) {
    return fill(tr(NLX_TEXT("无法在“%1”上开始第%2页。")), {target, std::to_string(page)});
}
inline std::string print_not_finished(std::string_view target) {
    return fill(tr(NLX_TEXT("打印任务未能在“%1”上完成。")), {target});
}
inline constexpr std::string_view kDefaultPrinter = NLX_TEXT("默认打印机");
// Added: the main window's status bar, and the copy 另存 wrote.
inline std::string status_line(std::string_view database, std::string_view model, std::string_view port, int baud) {
    return fill(tr(NLX_TEXT("记录数据库：%1    型号：%2    串行口：%3    波特率：%4")),
                {database, model, port, std::to_string(baud)});
}
inline std::string saved_as(std::string_view file) { return fill(tr(NLX_TEXT("记录数据库已另存为：\n%1")), {file}); }
// The please-wait window counts groups, pages and transfers in their own words, bytes as bytes:
// "12 / 30 组".
inline constexpr std::string_view kCountGroups = NLX_TEXT("%1 / %2 组");
inline constexpr std::string_view kCountPages = NLX_TEXT("%1 / %2 页");
inline constexpr std::string_view kCountBytes = NLX_TEXT("%1 / %2 字节");

// --- Spreadsheet export ------------------------------------------------------------------------
inline constexpr std::string_view kExportingCaption = NLX_TEXT("正在导出中...");
inline constexpr std::string_view kExportOpenAsk = NLX_TEXT("是否转到导出的Excel文件？");
inline constexpr std::string_view kExportDone = NLX_TEXT("已经成功导出！");
// Added: an export that could not be saved.

// --- TM27 micro-printer on the serial port --------------------------------------------------
inline constexpr std::string_view kTm27Ready = NLX_TEXT("TM27已准备好!正在打印。");
inline constexpr std::string_view kTm27NoAnswer = NLX_TEXT("TM27打印机没有接好或没有联机");
inline constexpr std::string_view kTm27Done = NLX_TEXT("打印完成");
// Added: the port lock's name of the job, a job stopped by the operator, and the groups the
// TM27 cannot print (a printed value missing, a number that is not one, a model without them).
inline constexpr std::string_view kTm27Holder = NLX_TEXT("TM27打印");
inline constexpr std::string_view kTm27Cancelled = NLX_TEXT("TM27打印已取消");
// Added: the please-wait caption while the groups go to the TM27.
inline constexpr std::string_view kTm27Caption = NLX_TEXT("TM27打印中...");
inline std::string tm27_empty_cell(std::string_view group, std::string_view column) {
    return fill(tr(NLX_TEXT("第%1组的%2为空，无法用TM27打印")), {group, column});
}
inline std::string tm27_bad_cell(std::string_view group, std::string_view column) {
    return fill(tr(NLX_TEXT("第%1组的%2含有TM27无法打印的字符")), {group, column});
}
inline std::string tm27_bad_group_number(std::size_t row) {
    return fill(tr(NLX_TEXT("第%1行的序号不是数字，无法用TM27打印")), {std::to_string(row)});
}
inline std::string tm27_model_not_printable(std::string_view model_caption) {
    return fill(tr(NLX_TEXT("%1的记录没有L5至L95和SD，无法用TM27打印")), {model_caption});
}

// --- Transfer log (传输记录) ----------------------------------------------------------------------
// Added: the window listing every download and import, its 恢复 and 核对, and what they say.
inline constexpr std::string_view kTransfersTitle = NLX_TEXT("传输记录");
inline constexpr std::string_view kRestore = NLX_TEXT("恢复");
inline constexpr std::string_view kVerify = NLX_TEXT("核对");
inline constexpr std::string_view kClose = NLX_TEXT("关闭");
inline constexpr std::string_view kTransferHeadings[] = {NLX_TEXT("编号"), NLX_TEXT("时间"),     NLX_TEXT("型号"),   NLX_TEXT("端口"),    NLX_TEXT("波特率"),
                                                         NLX_TEXT("应收字节"), NLX_TEXT("实收字节"), NLX_TEXT("完整"), NLX_TEXT("记录组数"), NLX_TEXT("捕获文件")};
inline constexpr std::string_view kYes = NLX_TEXT("是");
inline constexpr std::string_view kNo = NLX_TEXT("否");
inline constexpr std::string_view kRestoreQuestion =
    NLX_TEXT("恢复将用这次传输的记录替换当前的记录（当前的记录仍可从它们自己的传输记录恢复）。是否继续？");
inline constexpr std::string_view kNoTransferChosen = NLX_TEXT("请先选择一条传输记录");
// What happened to the records, after what ended the download or check: "…，记录未改变".
inline std::string records_unchanged(std::string_view what) { return fill(tr(NLX_TEXT("%1，记录未改变")), {what}); }
// Added: after a broken download that replaced the records, how to get the earlier ones back:
// "…，先前的190组记录可在传输记录 5 中恢复".
inline std::string previous_records_restorable(std::string_view what, std::size_t groups, long long id) {
    return fill(tr(NLX_TEXT("%1，先前的%2组记录可在传输记录 %3 中恢复")), {what, std::to_string(groups), std::to_string(id)});
}
inline std::string previous_records_replaced(std::string_view what, std::size_t groups) {
    return fill(tr(NLX_TEXT("%1，先前的%2组记录已被替换")), {what, std::to_string(groups)});
}
// Added: 核对 of a transfer in which no whole group arrived (it replaced nothing).
inline constexpr std::string_view kTransferStoredNothing = NLX_TEXT("这次传输没有完整的组，没有替换记录");
inline std::string transfer_unknown(long long id) {
    return fill(tr(NLX_TEXT("没有编号为%1的传输记录")), {std::to_string(id)});
}
inline std::string no_transfer_of_model(char model) {
    return fill(tr(NLX_TEXT("型号%1没有传输记录")), {std::string(1, model)});
}
inline std::string transfer_restored(long long id, std::size_t groups) {
    return fill(tr(NLX_TEXT("已恢复传输记录%1的%2组记录")), {std::to_string(id), std::to_string(groups)});
}
// Added: a capture file handed to the desktop program (double-clicked) is offered for import.
inline std::string import_question(std::string_view file) {
    return fill(tr(NLX_TEXT("是否导入捕获文件%1？导入将替换该型号当前的记录。")), {file});
}
inline std::string import_failed(std::string_view why) { return fill(tr(NLX_TEXT("导入时出错：%1")), {why}); }
inline std::string capture_imported(std::string_view file, char model, std::size_t groups) {
    return fill(tr(NLX_TEXT("已导入捕获文件%1：型号%2，%3组记录")), {file, std::string(1, model), std::to_string(groups)});
}
inline std::string check_heading(long long id, std::string_view time, char model) {
    return fill(tr(NLX_TEXT("传输记录%1（%2，型号%3）：")), {std::to_string(id), time, std::string(1, model)});
}

// --- What a transfer lost or carried beyond its count (the decoders' notes) --------------------
// Added: shown after a download or import, and by nlx on its "note:" lines.
inline constexpr std::string_view kNoteBrokenOff = NLX_TEXT("传输在收到%1字节（应收%2字节）后中断");
inline constexpr std::string_view kNoteSurplus = NLX_TEXT("超出应收%2字节的%1字节已忽略");
inline constexpr std::string_view kNoteGroupNotWhole = NLX_TEXT("第%1组（共%2组）未完整收到，没有记录");
inline constexpr std::string_view kNoteGroupsNotWhole = NLX_TEXT("第%1至%2组（共%3组）未完整收到，没有记录");
inline constexpr std::string_view kNoteFirstBlockIncomplete =
    NLX_TEXT("第%1组的第一块不完整（256字节中只收到%2字节），该组未解码");
inline constexpr std::string_view kNoteZeroLength = NLX_TEXT("第%1组（第%2字节处）的组长度为0，其后不再读取");
inline constexpr std::string_view kNoteHistoryCutKept =
    NLX_TEXT("第%1组的历史数据在第%2字节处截断（应有%3字节，该组超出应收数据）");
inline constexpr std::string_view kNoteHistoryCutDropped =
    NLX_TEXT("第%1组的历史数据在第%2字节处截断（应有%3字节，传输提前结束），该组未存储");
inline constexpr std::string_view kNoteHistoryNotMade = NLX_TEXT("第%1组的历史文件%2未生成：%3");
inline constexpr std::string_view kNoteNotAGroup = NLX_TEXT("第%1块的类型字节为%2，不是测量组，已跳过");
inline constexpr std::string_view kNoteRecordIncomplete = NLX_TEXT("第%1组不完整，未收到的列为空");
inline constexpr std::string_view kNoteRecordLost = NLX_TEXT("第%1组未收到");
inline constexpr std::string_view kNoteRecordsLost = NLX_TEXT("第%1至%2组未收到");
inline constexpr std::string_view kNoteCountNotWhole =
    NLX_TEXT("传输计数%1不是16字节组的整数倍：第%2组只有%3字节，该行不完整");
inline std::string capture_missing(std::string_view file) { return fill(tr(NLX_TEXT("捕获文件%1不存在")), {file}); }
inline std::string capture_changed(std::string_view file) {
    return fill(tr(NLX_TEXT("捕获文件%1已被改动：SHA-256与传输记录不符")), {file});
}
inline std::string capture_unreadable(std::string_view file, std::string_view why) {
    return fill(tr(NLX_TEXT("捕获文件%1无法读取：%2")), {file, why});
}
inline constexpr std::string_view kCaptureIntactReplaced =
    NLX_TEXT("捕获文件完好；这次传输的记录已被后来的传输替换，不与数据库中的记录比较");
inline std::string check_identical(std::size_t groups) {
    return fill(tr(NLX_TEXT("一致：捕获文件完好，数据库中的%1组记录与捕获文件解码的结果相同")), {std::to_string(groups)});
}
inline std::string check_added(std::size_t count, std::string_view groups) {
    return fill(tr(NLX_TEXT("另有%1组由添加记录加入：序号%2")), {std::to_string(count), groups});
}
inline std::string check_foreign(std::size_t count, std::string_view groups) {
    return fill(tr(NLX_TEXT("另有%1组既不是这次传输的记录，也不是添加记录加入的：序号%2")), {std::to_string(count), groups});
}
inline std::string check_missing_rows(std::size_t count) {
    return fill(tr(NLX_TEXT("数据库中缺少这次传输的%1组记录")), {std::to_string(count)});
}
inline std::string check_differences(std::size_t count) {
    return fill(tr(NLX_TEXT("有%1处与捕获文件不同：")), {std::to_string(count)});
}
inline std::string check_difference(std::string_view group, std::string_view column, std::string_view stored,
                                    std::string_view decoded) {
    return fill(tr(NLX_TEXT("序号%1的%2：数据库中为“%3”，捕获文件中为“%4”")), {group, column, stored, decoded});
}
inline std::string check_more_differences(std::size_t count) {
    return fill(tr(NLX_TEXT("……另有%1处")), {std::to_string(count)});
}

// --- Team database (文件 → 同步, 设置 → 团队数据库) ------------------------------------------------
// Added: the shared PostgreSQL store every station sends its transfers to, and what goes wrong
// on the way. Each message names the server (user@host:port/database, never a password).
inline constexpr std::string_view kTeamBadAddress = NLX_TEXT("团队数据库的连接字符串有误");
inline std::string team_unreachable(std::string_view where) {
    return fill(tr(NLX_TEXT("无法连接团队数据库服务器%1：服务器没有应答，请检查地址、端口和网络")), {where});
}
inline std::string team_needs_password(std::string_view where) {
    return fill(tr(NLX_TEXT("团队数据库服务器%1要求输入密码：请把密码写入密码文件 ~/.pgpass（或环境变量 PGPASSFILE 指定的文件）")),
                {where});
}
inline std::string team_refused(std::string_view where) {
    return fill(tr(NLX_TEXT("团队数据库服务器%1拒绝了登录：用户名、密码或数据库名不对，或该用户没有权限")), {where});
}
inline std::string team_connection_lost(std::string_view where) {
    return fill(tr(NLX_TEXT("与团队数据库服务器%1的连接已中断")), {where});
}
inline constexpr std::string_view kTeamConnectCancelled = NLX_TEXT("连接团队数据库已取消");
inline constexpr std::string_view kTeamStatementFailed = NLX_TEXT("团队数据库操作出错");
inline std::string team_schema_newer(long long found, long long known) {
    return fill(tr(NLX_TEXT("团队数据库的表结构版本为%1，比本程序能用的版本%2新，请升级本程序；没有做任何改动")),
                {std::to_string(found), std::to_string(known)});
}
inline constexpr std::string_view kTeamNoStore = NLX_TEXT("团队数据库中还没有本程序的表（模式 nlx），没有可取回的传输");
inline constexpr std::string_view kTeamCannotCreate =
    NLX_TEXT("无法在团队数据库中建立本程序的表（模式 nlx）：请数据库管理员先运行 nlx team init");
inline std::string team_station_unknown(std::string_view station, std::string_view known) {
    if (known.empty()) return fill(tr(NLX_TEXT("团队数据库中没有站点%1，还没有任何站点发送过传输")), {station});
    return fill(tr(NLX_TEXT("团队数据库中没有站点%1；已有的站点：%2")), {station, known});
}
inline std::string team_bad_station(std::string_view why) { return fill(tr(NLX_TEXT("站点名称有误：\n%1")), {why}); }
inline constexpr std::string_view kTeamPasswordInAddress =
    NLX_TEXT("连接字符串中不能含有密码：请把密码写入密码文件 ~/.pgpass，连接字符串中只写服务器、端口、数据库和用户名");
inline constexpr std::string_view kTeamNoAddress = NLX_TEXT("还没有设置团队数据库：请在 设置 → 团队数据库 中输入连接字符串");
inline std::string team_transfer_not_sent(long long id, std::string_view why) {
    return fill(tr(NLX_TEXT("传输记录%1未能发送：%2")), {std::to_string(id), why});
}
inline std::string team_transfer_not_received(std::string_view time, std::string_view why) {
    return fill(tr(NLX_TEXT("团队数据库中%1的传输未能取回：%2")), {time, why});
}
inline constexpr std::string_view kTeamCaptureCorrupt = NLX_TEXT("团队数据库中的捕获数据与其SHA-256不符");
// The please-wait window and the main window's status line.
inline constexpr std::string_view kSyncCaption = NLX_TEXT("同步到团队数据库...");
inline constexpr std::string_view kCountTransfers = NLX_TEXT("%1 / %2 次传输");
inline std::string sync_done(std::size_t sent, std::size_t skipped) {
    return fill(tr(NLX_TEXT("同步完成：发送%1次传输，%2次已在团队数据库中")), {std::to_string(sent), std::to_string(skipped)});
}
inline std::string sync_cancelled(std::size_t sent) {
    return fill(tr(NLX_TEXT("同步已取消：已发送%1次传输，其余的下次同步时发送")), {std::to_string(sent)});
}
inline constexpr std::string_view kSyncFailed = NLX_TEXT("同步未完成：%1");
inline std::string sync_failed(std::string_view why) { return fill(tr(kSyncFailed), {why}); }
// Whether `message` is one sync_failed wrote, wherever the language puts the reason.
inline bool says_sync_failed(std::string_view message) {
    const std::string_view pattern = tr(kSyncFailed);
    const auto at = pattern.find("%1");
    if (at == std::string_view::npos) return message == pattern;
    return message.size() >= pattern.size() - 2 && message.starts_with(pattern.substr(0, at)) &&
           message.ends_with(pattern.substr(at + 2));
}
// The dialog 设置 → 团队数据库.
inline constexpr std::string_view kTeamTitle = NLX_TEXT("团队数据库");
inline constexpr std::string_view kTeamAddressLabel = NLX_TEXT("连接字符串：");
inline constexpr std::string_view kTeamAddressHint = NLX_TEXT("例如 postgresql://站点用户@服务器/数据库（密码写在 ~/.pgpass 中）");
inline constexpr std::string_view kTeamStationLabel = NLX_TEXT("站点名称：");
inline constexpr std::string_view kTeamTest = NLX_TEXT("测试");
inline constexpr std::string_view kTeamSave = NLX_TEXT("保存");
inline constexpr std::string_view kTeamTesting = NLX_TEXT("正在连接团队数据库，请稍候...");
inline std::string team_test_ok(std::string_view where, std::string_view server, long long version,
                                std::size_t stations, std::size_t transfers) {
    return fill(tr(NLX_TEXT("已连接%1（PostgreSQL %2）：表结构版本%3，%4个站点，%5次传输")),
                {where, server, std::to_string(version), std::to_string(stations), std::to_string(transfers)});
}
inline std::string team_test_ok_empty(std::string_view where, std::string_view server) {
    return fill(tr(NLX_TEXT("已连接%1（PostgreSQL %2）：还没有本程序的表，第一次同步时建立")), {where, server});
}
inline std::string team_saved(std::string_view file) {
    return fill(tr(NLX_TEXT("团队数据库设置已保存（%1）")), {file});
}
inline std::string team_save_failed(std::string_view why) { return fill(tr(NLX_TEXT("保存团队数据库设置时出错：%1")), {why}); }

// --- Windows of the desktop program -----------------------------------------------------------
// Please-wait window: the label after `ticks` ticks of its one-second timer; the dots grow from
// one to six and start again ("请稍候......" at 0, the label's first text).
inline std::string wait_label(unsigned long long ticks) {
    return std::string(tr(NLX_TEXT("请稍候"))) + std::string(ticks % 6 == 0 ? 6 : ticks % 6, '.');
}
inline constexpr std::string_view kWaitCancel = NLX_TEXT("取消");  // added: stops the download
// Added: the choices of the file dialogs.
inline constexpr std::string_view kFilterAll = NLX_TEXT("所有文件 (*)");
inline constexpr std::string_view kFilterRecords = NLX_TEXT("记录数据库 (*.db)");

// Model selection dialog and its confirmation message.
inline constexpr std::string_view kModelPrompt = NLX_TEXT("请确定仪器型号");
inline constexpr std::string_view kModelDialogTitle = NLX_TEXT("仪器型号选择");  // added: the dialog's title
inline constexpr std::string_view kModelConfirm = NLX_TEXT("确 定");
inline constexpr std::string_view kConfirmTitle = NLX_TEXT("提示");
inline constexpr std::string_view kConfirmPort = NLX_TEXT("      串行口为：%1");
inline constexpr std::string_view kConfirmSpeed = NLX_TEXT("      波特率为：%1");

// Communication settings dialog.
inline constexpr std::string_view kSettingsTitle = NLX_TEXT("通信参数设定");
inline constexpr std::string_view kPortFrame = NLX_TEXT("串行口");
inline constexpr std::string_view kSpeedFrame = NLX_TEXT("波特率");
inline constexpr std::string_view kSettingsApply = NLX_TEXT("确  定");
inline constexpr std::string_view kSettingsSave = NLX_TEXT("保存设置");
// Added: the ports this computer reports, beside com1..com3.
inline constexpr std::string_view kOtherPort = NLX_TEXT("本机串行口：");
inline constexpr std::string_view kNoPortsFound = NLX_TEXT("（未找到串行口，可直接输入设备名）");
inline std::string settings_save_failed(std::string_view why) { return fill(tr(NLX_TEXT("保存设置时出错：%1")), {why}); }
// Added: what 保存设置 wrote, and where.
inline std::string settings_saved(std::string_view port, int baud, std::string_view file) {
    return fill(tr(NLX_TEXT("设置已保存：串行口为%1，波特率为%2\n（%3）")), {port, std::to_string(baud), file});
}
inline constexpr std::string_view kSettingsFallback = NLX_TEXT("已选com1和9600");
// Added: the same with why the settings of sys.cfg were not used.
inline std::string settings_fallback(std::string_view why) { return fill(tr(NLX_TEXT("已选com1和9600：%1")), {why}); }
inline std::string bad_port_name(std::string_view why) { return fill(tr(NLX_TEXT("串行口名称错误：%1")), {why}); }
// Added: 探测 asks each port for the live level and selects the first that answers.
inline constexpr std::string_view kProbeButton = NLX_TEXT("探测");
inline constexpr std::string_view kProbeLockHolder = NLX_TEXT("探测仪器");  // the port lock's holder meanwhile
inline constexpr std::string_view kProbing = NLX_TEXT("正在探测串行口，请稍候...");
inline constexpr std::string_view kNothingToProbe = NLX_TEXT("没有可探测的串行口");
// What the probe found on no port, and on each: "没有找到仪器：/dev/ttyS0 无应答；/dev/ttyS1 无法打开（…）".
inline std::string probe_not_found(std::string_view why) { return fill(tr(NLX_TEXT("没有找到仪器：%1")), {why}); }
inline std::string probe_silent(std::string_view port) { return fill(tr(NLX_TEXT("%1 无应答")), {port}); }
inline std::string probe_skipped(std::string_view port, std::string_view why) {
    return fill(tr(NLX_TEXT("%1 无法打开（%2）")), {port, why});
}
inline constexpr std::string_view kProbeCancelled = NLX_TEXT("探测已取消");
// "在 /dev/ttyUSB0 找到仪器（声级 55.3 dB）"
inline std::string probe_found(std::string_view device, std::string_view level) {
    return fill(tr(NLX_TEXT("在 %1 找到仪器（声级 %2 dB）")), {device, level});
}

// Added: 设置 → 语言, the language of the windows from the next start on.
inline constexpr std::string_view kLanguageTitle = NLX_TEXT("语言");
// The name of a catalogue's language in itself, as 设置 → 语言 lists it: each catalogue
// translates this entry with the name of its own language.
// TRANSLATORS: not a translation of "Chinese": write the name of your language in your language,
// as its speakers look for it in a list of languages ("English", "Français", "Deutsch").
inline constexpr std::string_view kLanguageName = NLX_TEXT("中文");
inline constexpr std::string_view kLanguageApply = NLX_TEXT("确定");
inline std::string language_save_failed(std::string_view why) {
    return fill(tr(NLX_TEXT("保存语言设置时出错：%1")), {why});
}
inline std::string language_saved(std::string_view language, std::string_view file) {
    return fill(tr(NLX_TEXT("语言已设为%1，下次启动时生效\n（%2）")), {language, file});
}

// About boxes: the maker's support lines of the 关于... box.
inline constexpr std::string_view kAboutLines =
    NLX_TEXT("    技术支持：请与仪器的经销商联系\n    nlx：声级计数据传输与分析软件");

// Record grid, model a: opening a group's history file.
inline constexpr std::string_view kOpenHistoryQuestion = NLX_TEXT("            是否打开该文件？");
inline constexpr std::string_view kOpenHistoryTitle = NLX_TEXT("用户选择");
// Added: the history file of the clicked row is missing, or no viewer could show it.
inline std::string history_missing(std::string_view file) { return fill(tr(NLX_TEXT("文件%1不存在")), {file}); }
// Added: the desktop has no program set for the file's kind; its folder is offered instead.
inline std::string no_program_for(std::string_view file) {
    return fill(tr(NLX_TEXT("本机没有设置打开这类文件的程序：\n%1\n是否打开文件所在的文件夹？")), {file});
}
inline std::string folder_not_opened(std::string_view folder) { return fill(tr(NLX_TEXT("无法打开文件夹%1")), {folder}); }
// Added: the record table could not be read into the grid.
inline std::string grid_read_failed(std::string_view why) { return fill(tr(NLX_TEXT("读取记录时出错：%1")), {why}); }

// --- Assessment against the noise and vibration limits ------------------------------------------
// Added: the standards' names as printed, beside their sources (GB 3096-2008, GB 10070-88). The
// texts of an assessment are written in a wording: the operator's language in the window, the
// text of nlx assess, the sheet and its worksheet; the Chinese in the CSV and JSON.
inline constexpr std::string_view kGb3096Title = NLX_TEXT("声环境质量标准");
inline constexpr std::string_view kGb3096Class0 = NLX_TEXT("0类声环境功能区");
inline constexpr std::string_view kGb3096Class1 = NLX_TEXT("1类声环境功能区");
inline constexpr std::string_view kGb3096Class2 = NLX_TEXT("2类声环境功能区");
inline constexpr std::string_view kGb3096Class3 = NLX_TEXT("3类声环境功能区");
inline constexpr std::string_view kGb3096Class4a = NLX_TEXT("4a类声环境功能区（交通干线两侧）");
inline constexpr std::string_view kGb3096Class4b = NLX_TEXT("4b类声环境功能区（铁路干线两侧）");
inline constexpr std::string_view kGb3096Rule =
    NLX_TEXT("A计权等效声级：昼间06:00至22:00，夜间22:00至06:00；夜间突发噪声的最大声级超过夜间限值的幅度不得高于15 dB");
inline constexpr std::string_view kGb10070Title = NLX_TEXT("城市区域环境振动标准");
inline constexpr std::string_view kGb10070Special = NLX_TEXT("特殊住宅区");
inline constexpr std::string_view kGb10070Residential = NLX_TEXT("居民、文教区");
inline constexpr std::string_view kGb10070Mixed = NLX_TEXT("混合区、商业中心区");
inline constexpr std::string_view kGb10070Industrial = NLX_TEXT("工业集中区");
inline constexpr std::string_view kGb10070TrunkRoad = NLX_TEXT("交通干线道路两侧");
inline constexpr std::string_view kGb10070Railway = NLX_TEXT("铁路干线两侧");
inline constexpr std::string_view kGb10070Rule =
    NLX_TEXT("铅垂向Z振级：无规振动取累积百分Z振级VLz10（VL10）；昼间06:00至22:00，夜间22:00至06:00");
inline constexpr std::string_view kEuTitle = NLX_TEXT("欧盟环境噪声指令");
inline constexpr std::string_view kEuRule = NLX_TEXT(
    "24小时测量的昼夜等效声级Lden（昼间07至19时，傍晚19至23时加5 dB，夜间23至07时加10 dB）和夜间声级Lnight（23至07时），限值由用户给定");
inline constexpr std::string_view kUserSource = NLX_TEXT("用户限值");
inline constexpr std::string_view kUserTitle = NLX_TEXT("用户自定义昼夜限值");
inline constexpr std::string_view kUserRule =
    NLX_TEXT("等效声级（振动为VLeq）：昼间06:00至22:00，夜间22:00至06:00，限值由用户给定");
// A criterion's limits: "昼间60.0 dB 夜间50.0 dB".
inline constexpr std::string_view kDayLevel = NLX_TEXT("昼间%1 dB");
inline constexpr std::string_view kNightLevel = NLX_TEXT("夜间%1 dB");
// A criterion in one line: "GB 3096-2008 声环境质量标准 2类声环境功能区 昼间60.0 dB 夜间50.0 dB".
// TRANSLATORS: %1 the standard's source (GB 3096-2008), %2 its title, %3 the zone class or area,
// %4 and %5 its day and night limits ("day 60.0 dB", "Lden 65.0 dB").
inline constexpr std::string_view kCriterionOfClass = NLX_TEXT("%1 %2 %3 %4 %5");
// TRANSLATORS: %1 the standard's source, %2 its title, %3 and %4 its day and night limits.
inline constexpr std::string_view kCriterion = NLX_TEXT("%1 %2 %3 %4");

// Outcomes, periods and the kinds of what is assessed.
inline constexpr std::string_view kPass = NLX_TEXT("达标");
inline constexpr std::string_view kFail = NLX_TEXT("超标");
inline constexpr std::string_view kNotAssessed = NLX_TEXT("未评价");
inline constexpr std::string_view kDay = NLX_TEXT("昼间");
inline constexpr std::string_view kNight = NLX_TEXT("夜间");
inline constexpr std::string_view kSpanning = NLX_TEXT("跨昼夜");
inline constexpr std::string_view kWholeDay = NLX_TEXT("全天");
inline constexpr std::string_view kGroupKind = NLX_TEXT("统计组");
inline constexpr std::string_view kRunKind = NLX_TEXT("24小时测量");
inline constexpr std::string_view kHourlyKind = NLX_TEXT("逐时");
inline constexpr std::string_view kMissingKind = NLX_TEXT("缺测");
inline constexpr std::string_view kNotCounted = NLX_TEXT("不计入评价");
inline constexpr std::string_view kNoHours = NLX_TEXT("无");
inline constexpr std::string_view kHour = NLX_TEXT("%1时");       // "03时"
inline constexpr std::string_view kHourJoin = NLX_TEXT("、");     // "03时、04时"
inline constexpr std::string_view kListJoin = NLX_TEXT("；");  // between notes, between ports
// A comparison: "Leq  52.0 dB  限值  50.0 dB  差值  +2.0 dB  超标", an hour's with "（参考）".
inline constexpr std::string_view kCheckLine = NLX_TEXT("%1 %2 dB  限值 %3 dB  差值 %4 dB  %5");
inline constexpr std::string_view kReferenceCheckLine = NLX_TEXT("%1 %2 dB  限值 %3 dB  差值 %4 dB  %5（参考）");
// The columns of the assessment's table (CSV, worksheet).
inline constexpr const char* kAssessmentHeadings[] = {NLX_TEXT("行"),         NLX_TEXT("序号"),     NLX_TEXT("类别"),     "DATE",
                                                      "TIME",                 NLX_TEXT("时段"),     NLX_TEXT("评价量"),   NLX_TEXT("测量值(dB)"),
                                                      NLX_TEXT("限值(dB)"),   NLX_TEXT("差值(dB)"), NLX_TEXT("结论"),     NLX_TEXT("说明")};
// The lines of the text, the sheet and the window.
inline constexpr std::string_view kStandardLine = NLX_TEXT("评价标准：%1");
inline constexpr std::string_view kRuleLine = NLX_TEXT("评价规则：%1");
inline constexpr std::string_view kRefusedLine = NLX_TEXT("未评价：%1");
inline constexpr std::string_view kHoursLabel = NLX_TEXT("逐时：");
inline constexpr std::string_view kMissingLine = NLX_TEXT("缺测小时：%1");
inline constexpr std::string_view kNoteLine = NLX_TEXT("说明：%1");
inline constexpr std::string_view kMissingHoursRule =
    NLX_TEXT("缺测小时：24小时测量中没有数据的小时不计入评价，Ld和Ln只由测得的小时计算并列出缺测的小时；"
             "24小时分布图把缺测小时计为0 dB，故其Ld和Ln在缺测时低于本评价的值。");
inline constexpr std::string_view kHourlyMarginsNote =
    NLX_TEXT("逐时的差值只作参考，结论由昼间、夜间的评价量和夜间最大声级决定。");
// An assessment's heading and its outcome: "第1至24行 序号01 24小时测量 08-09-05 00:00:00：超标".
inline constexpr std::string_view kHeadingOutcome = NLX_TEXT("%1：%2");
// "序号05"
inline std::string assessed_group(std::string_view group, Wording wording) {
    return fill(worded(wording, NLX_TEXT("序号%1")), {group});
}
// "第3行", "第1至24行"
inline std::string assessed_rows(std::size_t first, std::size_t last, Wording wording) {
    if (first == last) return fill(worded(wording, NLX_TEXT("第%1行")), {std::to_string(first)});
    return fill(worded(wording, NLX_TEXT("第%1至%2行")), {std::to_string(first), std::to_string(last)});
}
// "合计：达标3，超标1，未评价2"
inline std::string assessment_totals(int passed, int failed, int skipped, Wording wording) {
    return fill(worded(wording, NLX_TEXT("合计：达标%1，超标%2，未评价%3")),
                {std::to_string(passed), std::to_string(failed), std::to_string(skipped)});
}

// Why a group is not assessed.
inline constexpr std::string_view kOctaveNotAssessed = NLX_TEXT("倍频程频谱组，不作评价");
inline Phrase vibration_not_sound(std::string_view source) {
    return phrase(NLX_TEXT("振动测量组，%1只评价声级"), {phrase(source)});
}
inline Phrase sound_not_vibration(std::string_view source) {
    return phrase(NLX_TEXT("声级测量组，%1只评价振动级"), {phrase(source)});
}
// The group's weighting as the reason says it, or that it has none.
inline Phrase not_a_weighted(std::string_view weighting, std::string_view source) {
    if (weighting.empty()) return phrase(NLX_TEXT("频率计权空，%1只评价A计权声级"), {phrase(source)});
    return phrase(NLX_TEXT("频率计权为%1，%2只评价A计权声级"), {plain(weighting), phrase(source)});
}
inline Phrase not_z_weighted(std::string_view weighting, std::string_view source) {
    if (weighting.empty()) return phrase(NLX_TEXT("频率计权空，%1只评价铅垂向Z振级"), {phrase(source)});
    return phrase(NLX_TEXT("频率计权为%1，%2只评价铅垂向Z振级"), {plain(weighting), phrase(source)});
}
inline Phrase runs_only(std::string_view source) {
    return phrase(NLX_TEXT("%1的Lden和Lnight只对24小时测量评价"), {phrase(source)});
}
inline constexpr std::string_view kNoStartTime = NLX_TEXT("没有测量开始时间（TIME），无法确定昼间或夜间");
inline Phrase not_a_number(std::string_view column) { return phrase(NLX_TEXT("%1不是数值"), {plain(column)}); }
// An hour of a run refused: "序号05：频率计权为C，…".
inline Phrase run_group_refused(std::string_view group, Phrase why) {
    return phrase(NLX_TEXT("序号%1：%2"), {plain(group), std::move(why)});
}
inline constexpr std::string_view kNoUsableHours = NLX_TEXT("24小时测量中没有可用的小时");

// What an assessment notes.
inline constexpr std::string_view kDurationUnknown = NLX_TEXT("测量时间未知，按开始时间所在时段评价");
// The day and night boundaries a group spans ("06:00", "06:00和22:00"), and the stricter limit
// it is held to.
inline Phrase spans_boundaries(const std::vector<std::string>& boundaries, bool night_is_stricter) {
    Phrase crossed = boundaries.size() == 2 ? phrase(NLX_TEXT("%1和%2"), {plain(boundaries[0]), plain(boundaries[1])})
                                            : plain(boundaries.empty() ? std::string() : boundaries[0]);
    if (night_is_stricter) return phrase(NLX_TEXT("测量跨越%1，按较严的夜间限值评价"), {std::move(crossed)});
    return phrase(NLX_TEXT("测量跨越%1，按较严的昼间限值评价"), {std::move(crossed)});
}
inline constexpr std::string_view kLmaxNotNumber = NLX_TEXT("Lmax不是数值，夜间最大声级未评价");
inline Phrase hour_outside_day(std::string_view group) {
    return phrase(NLX_TEXT("序号%1的TIME不在0至23时，未计入"), {plain(group)});
}
inline Phrase hour_level_not_number(std::string_view group, std::string_view column) {
    return phrase(NLX_TEXT("序号%1的%2不是数值，按缺测计"), {plain(group), plain(column)});
}
inline Phrase same_hour(std::string_view group, std::string_view earlier, int hour) {
    return phrase(NLX_TEXT("序号%1与序号%2同为%3时，取后者"), {plain(group), plain(earlier), plain(std::to_string(hour))});
}
inline constexpr std::string_view kLdenNotAssessed = NLX_TEXT("昼间、傍晚或夜间没有小时，Lden未评价");
// "昼间VLz10最大": a vibration run's period stands by its highest hour.
inline Phrase period_highest(bool night, std::string_view quantity) {
    return phrase(night ? NLX_TEXT("夜间%1最大") : NLX_TEXT("昼间%1最大"), {plain(quantity)});
}
inline constexpr std::string_view kNoDayHours = NLX_TEXT("没有昼间小时，昼间未评价");
inline constexpr std::string_view kNoNightHours = NLX_TEXT("没有夜间小时，夜间未评价");
inline Phrase missing_hours_counted(std::size_t missing, std::size_t day, std::size_t night) {
    return phrase(NLX_TEXT("缺测的%1个小时不计入评价：昼间按%2个小时、夜间按%3个小时计算"),
                  {plain(std::to_string(missing)), plain(std::to_string(day)), plain(std::to_string(night))});
}
inline Phrase chart_counts_missing_as_zero(std::string_view ld, std::string_view ln) {
    return phrase(NLX_TEXT("24小时分布图把缺测小时计为0 dB，其Ld=%1 dB，Ln=%2 dB"), {plain(ld), plain(ln)});
}

// The assessment sheet and its worksheet.
inline constexpr std::string_view kAssessmentSheetTitle = NLX_TEXT("噪声与振动达标评价表");
inline std::string assessment_sheet_continued(std::size_t page, Wording wording) {
    return fill(worded(wording, NLX_TEXT("%1（续）    第%2页")),
                {worded(wording, kAssessmentSheetTitle), std::to_string(page)});
}
inline constexpr std::string_view kSheetModelDate = NLX_TEXT("仪器型号：%1    评价日期：%2");
inline constexpr std::string_view kSheetDay = NLX_TEXT("%1年%2月%3日");  // year, month, day of two digits
inline constexpr std::string_view kSheetDatabase = NLX_TEXT("记录数据库：%1");
inline constexpr std::string_view kSheetColumns[] = {NLX_TEXT("时段"), NLX_TEXT("评价量"), NLX_TEXT("测量值"), NLX_TEXT("限值"),
                                                     NLX_TEXT("差值"), NLX_TEXT("结论"),   NLX_TEXT("序号")};
inline constexpr std::string_view kAssessmentTitle = NLX_TEXT("达标评价");  // the worksheet, the window
inline constexpr std::string_view kWorksheetTitle = NLX_TEXT("达标评价：%1");

// Added: the desktop's 设置 → 评价标准 dialog and 达标评价 window, the limits on the 24-hour
// chart, and the question of 导出.
inline constexpr std::string_view kStandardDialogTitle = NLX_TEXT("评价标准");
inline constexpr std::string_view kNoStandard = NLX_TEXT("（不评价）");
inline constexpr std::string_view kNoStandardHint = NLX_TEXT("不作达标评价：达标评价窗口和24小时分布图不显示限值。");
inline constexpr std::string_view kStandardField = NLX_TEXT("评价标准：");
inline constexpr std::string_view kZoneField = NLX_TEXT("声环境功能区类别：");
inline constexpr std::string_view kAreaField = NLX_TEXT("适用地带范围：");
inline constexpr std::string_view kDayLimitField = NLX_TEXT("昼间限值：");
inline constexpr std::string_view kNightLimitField = NLX_TEXT("夜间限值：");
inline constexpr std::string_view kLdenLimitField = NLX_TEXT("Lden限值：");
inline constexpr std::string_view kLnightLimitField = NLX_TEXT("Lnight限值：");
inline constexpr std::string_view kStandardSave = NLX_TEXT("保存");
inline constexpr std::string_view kStandardCancel = NLX_TEXT("取消");
inline std::string standard_invalid(std::string_view why) { return fill(tr(NLX_TEXT("限值无效：%1")), {why}); }
inline std::string standard_save_failed(std::string_view why) { return fill(tr(NLX_TEXT("保存评价标准时出错：%1")), {why}); }
inline std::string standard_unusable(std::string_view why) {
    return fill(tr(NLX_TEXT("评价标准文件无法使用，未作评价：%1")), {why});
}
inline std::string standard_saved(std::string_view description, std::string_view file) {
    return fill(tr(NLX_TEXT("评价标准已保存：%1\n（%2）")), {description, file});
}
inline std::string standard_cleared(std::string_view file) {
    return fill(tr(NLX_TEXT("已选择不评价，评价标准文件已删除\n（%1）")), {file});
}
inline constexpr std::string_view kNoStandardChosen = NLX_TEXT("未选择评价标准：请用 设置 → 评价标准 选择标准和类别。");
inline constexpr std::string_view kNoCurrentGroup = NLX_TEXT("没有当前组：请在表格中选择一组记录。");
inline constexpr std::string_view kChooseStandard = NLX_TEXT("评价标准...");
// A limit line of the 24-hour chart: "昼间限值 60.0 dB", "VLz10夜间限值 67.0 dB", "Lnight限值 55.0 dB".
inline std::string period_limit_line(bool night, std::string_view level) {
    return fill(tr(night ? NLX_TEXT("夜间限值 %1 dB") : NLX_TEXT("昼间限值 %1 dB")), {level});
}
inline std::string quantity_period_limit_line(std::string_view quantity, bool night, std::string_view level) {
    return fill(tr(night ? NLX_TEXT("%1夜间限值 %2 dB") : NLX_TEXT("%1昼间限值 %2 dB")), {quantity, level});
}
inline std::string limit_line(std::string_view quantity, std::string_view level) {
    return fill(tr(NLX_TEXT("%1限值 %2 dB")), {quantity, level});
}
inline std::string export_assessment_question(std::string_view description) {
    return fill(tr(NLX_TEXT("是否把达标评价（%1）作为第二个工作表一并导出？")), {description});
}

}  // namespace nlx::texts
