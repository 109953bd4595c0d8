// The one table of menu names and captions; the main window builds its menus from it.
#include "app/menu_table.h"

namespace nlx::app {
namespace {

using U = ItemUse;

using C = Command;

constexpr MenuItemSpec kFile[] = {
    {"recv", "接收", U::exclusive, C::receive},          {"saveas", "另存", U::exclusive, C::save_as},
    {"open", "打开", U::exclusive, C::open},             {"out", "导出", U::exclusive, C::export_records},
    {"transfers", "传输记录", U::exclusive, C::transfers}, {"sync", "同步", U::exclusive, C::sync},
    {"jiancjl", "监测记录", U::always, C::recordings},
    {"henggang1", "", U::separator, C::none},            {"codechange", "型号切换", U::exclusive, C::model_change},
    {"henggang2", "", U::separator, C::none},            {"exit", "退出", U::always, C::exit},
};
constexpr MenuItemSpec kSettings[] = {
    {"combaud", "通信参数", U::always, C::serial_settings},
    {"team", "团队数据库", U::always, C::team_settings},
    {"printerr", "打印机", U::exclusive, C::printer},
    {"fenbt", "分布图", U::always, C::distribution},
    {"tianjjl", "添加记录", U::exclusive, C::add_record},
    // Added: the standard the groups are assessed against, and the window of the assessment.
    {"henggang3", "", U::separator, C::none},
    {"pingjbz", "评价标准", U::always, C::standard_choice},
    {"dabpj", "达标评价", U::always, C::assessment},
};
constexpr MenuItemSpec kPrint[] = {
    {"printone", "打印单组", U::exclusive, C::print_one}, {"printmore", "打印多组", U::exclusive, C::print_more},
    {"printall", "打印全部", U::exclusive, C::print_all}, {"upone", "TM27单组", U::exclusive, C::tm27_one},
    {"upall", "TM27全部", U::exclusive, C::tm27_all},
};
constexpr MenuItemSpec kHelp[] = {{"help1", "关于...", U::always, C::about}};
// The popup's 帮助 shows the same box as 帮助 → 关于... on the menu bar.
constexpr MenuItemSpec kPopup[] = {{"recv1", "接收", U::exclusive, C::receive},
                                   {"helpa", "帮助", U::always, C::help},
                                   {"help2", "关于...", U::always, C::popup_about}};

const MenuSpec kBar[] = {
    {"file", "文件", kFile, U::always},
    {"shez", "设置", kSettings, U::always},
    {"printt", "打印", kPrint, U::always},
    {"jianc", "监测", {}, U::exclusive, C::monitor},
    {"help", "帮助", kHelp, U::always},
};
const MenuSpec kPopupMenu{"tanchu1", "弹出", kPopup, U::always};

}  // namespace

std::span<const MenuSpec> menu_bar() { return kBar; }
const MenuSpec& popup_menu() { return kPopupMenu; }

}  // namespace nlx::app
