// Command dispatch: every menu choice is recorded in the state and routed to the part of the program
// that owns it, after the guards that hold for every command (nothing while the ready flag is clear; a
// statistics file where the command needs one).
#pragma once

#include <functional>
#include <map>

#include "core/shell/menu_table.h"

namespace veltrix {

struct GlobalState;

// Who carries out a command. Owners are registered by the parts that exist; a command whose owner is
// not registered answers with the warning beep.
enum class CommandOwner {
  None,
  ChooseFile,       // 1100
  DataEntry,        // file group 120
  Manipulation,     // 140
  Sorting,          // 150
  SyncAddition,     // 166
  PathPreset,       // 170
  GroupExtract,     // 175
  VariableExtract,  // 176
  Exit,             // 1900
  Analysis,         // the analysis menu, by code
  GroupsClasses,    // 3000
  Structure,        // 4010, 4020, 4040, 4060
  TextOptions,      // 6010
  GraphOptions,     // 6011
  ErrorLevels,      // 6020
  DirectTest,       // the direct tests, by code
  HelpContents,     // 101
  HelpIndex,        // 102
  About,            // 103
};

struct CommandRoute {
  CommandOwner owner = CommandOwner::None;
  bool needsFile = false;
  bool recordsCode = true;
  // Whether a successful run counts as a change of the file: always, never, or as the owner says.
  enum class Change { Never, Always, OwnerSays } change = Change::Never;
  // What a change resets: the result windows (and, for the file family, the structure entry).
  bool updatesStructureEntry = false;
};

// The route of a menu entry's handler and code.
CommandRoute RouteOf(MenuHandler handler, int code);

class CommandDispatcher {
 public:
  // An owner returns whether it changed something (ignored where the route decides).
  using Owner = std::function<bool()>;

  explicit CommandDispatcher(GlobalState& state) : m_state(state) {}

  void setOwner(CommandOwner owner, Owner run) { m_owners[owner] = std::move(run); }
  // Called after a change: reset the result windows; and the structure entry for the file family.
  void setOnChange(std::function<void(bool structureEntry)> onChange) { m_onChange = std::move(onChange); }

  // Carries out a menu choice.
  void choose(MenuHandler handler, int code);

  // Stores code, group and variant; returns the group.
  int recordCommand(int code);
  // True when a statistics file is selected, else "Keine Datei ausgewählt".
  bool requireFile();

 private:
  GlobalState& m_state;
  std::map<CommandOwner, Owner> m_owners;
  std::function<void(bool)> m_onChange;
};

}  // namespace veltrix
