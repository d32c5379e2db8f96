// The commands of the menu "Struktur" and of "&Struktur neu berechnen": appending variables (4010),
// defining them freely (4020), recomputing the layout after a warning (4040) and the structure listing
// (4060). The dialogs are steps the window (or a test) passes in.
#pragma once

#include <functional>

namespace veltrix {

struct GlobalState;
class TNeuVar;
class TFreiV;

// Each dialog step shows its dialog on the model and returns true when it closed with "OK".
struct StructureDialogs {
  std::function<bool(TNeuVar&)> append;  // 4010, and 4040 in its recompute mode
  std::function<bool(TFreiV&)> free;     // 4020
  std::function<bool()> warning;         // "WARNUNG !" before 4040: true for OK
  std::function<void()> showListing;     // 4060: shows the table the listing wrote
};

// The command of state.commandGroup (401, 402, 404, 406). A dialog that closed with "OK" after a
// change becomes the variable table: the selection slots are cleared and the parameter file is written.
// 404 is refused with a beep while the statistics file holds data (6 bytes or more), as its menu entry
// is then disabled. True when the structure changed.
bool RunStructureCommand(GlobalState& state, const StructureDialogs& dialogs);

}  // namespace veltrix
