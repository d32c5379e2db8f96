// Command 1200 "Dateneingabe": the data entry window on the current statistics file.
#pragma once

#include <functional>

namespace veltrix {

struct GlobalState;
class InputModel;

// Shows the entry window (the window's dialog) for the opened model until it closes.
using DataEntryStep = std::function<void(InputModel&)>;

// The whole command; true when a record of the statistics file was written (its result windows are
// then out of date).
bool EnterData(GlobalState& state, const DataEntryStep& window);

}  // namespace veltrix
