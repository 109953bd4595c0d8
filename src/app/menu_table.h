// The main window's menus and the popup menu: names, captions, and when each item is usable.
#pragma once

#include <span>
#include <string_view>

namespace nlx::app {

enum class ItemUse {
    always,     // usable whenever the main window is
    exclusive,  // uses the serial port or changes the database: not while a serial command runs
    later,      // its command is not built yet: shown, disabled
    separator,
};

// What an item runs; the main window binds each to its command, so an item bound to nothing
// is a compile-time warning (-Wswitch), not a missing map entry.
enum class Command {
    none,  // a separator
    receive, save_as, open, export_records, transfers, sync, recordings, model_change, exit,
    serial_settings, team_settings, printer, distribution, add_record, standard_choice, assessment, language,
    print_one, print_more, print_all, tm27_one, tm27_all,
    monitor, about, popup_about, help,
};

struct MenuItemSpec {
    std::string_view name;     // objectName of the action
    std::string_view caption;
    ItemUse use;
    Command command;
};

struct MenuSpec {
    std::string_view name;     // objectName of the menu
    std::string_view caption;
    std::span<const MenuItemSpec> items;  // empty: a menu-bar item of its own that runs a command
    ItemUse use;                          // of a menu-bar item without items
    Command command = Command::none;      // of a menu-bar item without items
};

// The menu bar, left to right.
std::span<const MenuSpec> menu_bar();
// The popup menu `tanchu1`.
const MenuSpec& popup_menu();

}  // namespace nlx::app
