// Command 1400 "Datenmanipulation": choose or create a command file, edit and compile it, choose the
// group, run the program over the statistics file.
#pragma once

#include <functional>

namespace veltrix {

struct GlobalState;
class ManipEditorModel;

// Shows the editor (the window's dialog) for the model; true when it closed with "OK" and "Ja" on
// "Editieren beenden?" (the model then holds the compiled program), false on "Abbrechen".
using ManipEditorStep = std::function<bool(ManipEditorModel&)>;

// The whole command; true when a run replaced the statistics file (its results windows are then
// out of date).
bool EditAndRunCommands(GlobalState& state, const ManipEditorStep& edit);

}  // namespace veltrix
