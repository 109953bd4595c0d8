// The one table of menu names and captions; the main window builds its menus from it.
#include "app/menu_table.h"

namespace nlx::app {
namespace {

using U = ItemUse;

constexpr MenuItemSpec kFile[] = {
    {"recv", "接收", U::exclusive},       {"saveas", "另存", U::exclusive},
    {"open", "打开", U::exclusive},       {"out", "导出", U::exclusive},
    {"transfers", "传输记录", U::exclusive},
    {"henggang1", "", U::separator},      {"codechange", "型号切换", U::exclusive},
    {"henggang2", "", U::separator},      {"exit", "退出", U::always},
};
constexpr MenuItemSpec kSettings[] = {
    {"combaud", "通信参数", U::always},
    {"printerr", "打印机", U::exclusive},
    {"fenbt", "分布图", U::always},
    {"tianjjl", "添加记录", U::exclusive},
};
constexpr MenuItemSpec kPrint[] = {
    {"printone", "打印单组", U::exclusive}, {"printmore", "打印多组", U::exclusive},
    {"printall", "打印全部", U::exclusive}, {"upone", "TM27单组", U::exclusive},
    {"upall", "TM27全部", U::exclusive},
};
constexpr MenuItemSpec kHelp[] = {{"help1", "关于...", U::always}};
constexpr MenuItemSpec kPopup[] = {
    {"recv1", "接收", U::exclusive}, {"helpa", "帮助", U::always}, {"help2", "关于...", U::always}};

const MenuSpec kBar[] = {
    {"file", "文件", kFile, U::always},
    {"shez", "设置", kSettings, U::always},
    {"printt", "打印", kPrint, U::always},
    {"jianc", "监测", {}, U::exclusive},
    {"help", "帮助", kHelp, U::always},
};
const MenuSpec kPopupMenu{"tanchu1", "弹出", kPopup, U::always};

}  // namespace

std::span<const MenuSpec> menu_bar() { return kBar; }
const MenuSpec& popup_menu() { return kPopupMenu; }

}  // namespace nlx::app
