// The menus of the main window: captions, status-bar hints and command codes, in menu order.
#pragma once

#include <span>
#include <string_view>

namespace veltrix {

enum class MenuItemKind {
  Menu,     // a top-level menu or a submenu; the entries up to the next item of its depth belong to it
  Command,  // an entry with a command code (code 0: no code, handled by its name)
  Check,    // a checkable entry
  Separator,
};

// Who handles a menu entry. Codes are unique only within one handler: the help menu's 101 and 102 are
// not the analyses 101 and 102.
enum class MenuHandler {
  None,   // menus, separators and entries without an action
  Open,   // choose the statistics file
  Datei,  // the file family, by command group
  Exit,
  Analyse,  // the analysis run, by code
  Grp,      // groups and class divisions
  Struct,   // structure editing
  TxtOpt,
  GrfOpt,
  ErrLevel,
  DirTest,  // direct tests and calculators
  Result,   // result output (print, form feed, save, graph, edit, test, single table)
  Window,   // arrangement of the document windows
  Help,
};

struct MenuItem {
  int depth;  // 0 = menu bar, 1 = entry of a top-level menu, 2 = entry of a submenu
  MenuItemKind kind;
  MenuHandler handler;
  std::string_view name;  // the entry's name in the program ("OpenItem"), empty for plain menus
  std::string_view caption;
  std::string_view hint;
  int code;
  std::string_view shortcut;  // portable key sequence text, e.g. "Alt+X"
};

// Every item of the menu bar, Windows-1252 texts.
std::span<const MenuItem> MainMenuItems();

}  // namespace veltrix
