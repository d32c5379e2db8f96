// The analysis commands of the "Auswerten" menu: the descriptor of the code, the variable selection,
// the data pass with the family's procedure and its tables.
#pragma once

#include <functional>

namespace veltrix {

struct GlobalState;
class VariableSelectionModel;

// Shows the selection (the window's dialog, or the batch's arguments); true when accepted.
using SelectionStep = std::function<bool(VariableSelectionModel&)>;

// Runs analysis code: "Keine Datei ausgewählt" without a file; a code without descriptor (or whose
// kind has no family yet) does nothing. True when the tables of a result were written.
bool RunAnalysis(GlobalState& state, int code, const SelectionStep& select);

}  // namespace veltrix
