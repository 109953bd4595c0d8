// The one table of menu names and captions; the main window builds its menus from it.
#include "app/menu_table.h"

#include "core/catalogue.h"

namespace nlx::app {
namespace {

using U = ItemUse;

using C = Command;

constexpr MenuItemSpec kFile[] = {
    {"recv", NLX_TEXT("接收"), U::exclusive, C::receive},          {"saveas", NLX_TEXT("另存"), U::exclusive, C::save_as},
    {"open", NLX_TEXT("打开"), U::exclusive, C::open},             {"out", NLX_TEXT("导出"), U::exclusive, C::export_records},
    {"transfers", NLX_TEXT("传输记录"), U::exclusive, C::transfers}, {"sync", NLX_TEXT("同步"), U::exclusive, C::sync},
    {"jiancjl", NLX_TEXT("监测记录"), U::always, C::recordings},
    {"henggang1", "", U::separator, C::none},            {"codechange", NLX_TEXT("型号切换"), U::exclusive, C::model_change},
    {"henggang2", "", U::separator, C::none},            {"exit", NLX_TEXT("退出"), U::always, C::exit},
};
constexpr MenuItemSpec kSettings[] = {
    {"combaud", NLX_TEXT("通信参数"), U::always, C::serial_settings},
    {"team", NLX_TEXT("团队数据库"), U::always, C::team_settings},
    {"printerr", NLX_TEXT("打印机"), U::exclusive, C::printer},
    {"fenbt", NLX_TEXT("分布图"), U::always, C::distribution},
    {"tianjjl", NLX_TEXT("添加记录"), U::exclusive, C::add_record},
    // Added: the standard the groups are assessed against, and the window of the assessment.
    {"henggang3", "", U::separator, C::none},
    {"pingjbz", NLX_TEXT("评价标准"), U::always, C::standard_choice},
    {"dabpj", NLX_TEXT("达标评价"), U::always, C::assessment},
    // Added: the language of the windows.
    {"henggang4", "", U::separator, C::none},
    {"yuyan", NLX_TEXT("语言"), U::always, C::language},
};
constexpr MenuItemSpec kPrint[] = {
    {"printone", NLX_TEXT("打印单组"), U::exclusive, C::print_one}, {"printmore", NLX_TEXT("打印多组"), U::exclusive, C::print_more},
    {"printall", NLX_TEXT("打印全部"), U::exclusive, C::print_all}, {"upone", NLX_TEXT("TM27单组"), U::exclusive, C::tm27_one},
    {"upall", NLX_TEXT("TM27全部"), U::exclusive, C::tm27_all},
};
constexpr MenuItemSpec kHelp[] = {{"help1", NLX_TEXT("关于..."), U::always, C::about}};
// The popup's 帮助 shows the same box as 帮助 → 关于... on the menu bar.
constexpr MenuItemSpec kPopup[] = {{"recv1", NLX_TEXT("接收"), U::exclusive, C::receive},
                                   {"helpa", NLX_TEXT("帮助"), U::always, C::help},
                                   {"help2", NLX_TEXT("关于..."), U::always, C::popup_about}};

const MenuSpec kBar[] = {
    {"file", NLX_TEXT("文件"), kFile, U::always},
    {"shez", NLX_TEXT("设置"), kSettings, U::always},
    {"printt", NLX_TEXT("打印"), kPrint, U::always},
    {"jianc", NLX_TEXT("监测"), {}, U::exclusive, C::monitor},
    {"help", NLX_TEXT("帮助"), kHelp, U::always},
};
const MenuSpec kPopupMenu{"tanchu1", NLX_TEXT("弹出"), kPopup, U::always};

}  // namespace

std::span<const MenuSpec> menu_bar() { return kBar; }
const MenuSpec& popup_menu() { return kPopupMenu; }

}  // namespace nlx::app
