// Command 6020: the significance settings of the current file as the dialog confirmed them.
#pragma once

namespace veltrix {

struct GlobalState;
struct ErrorLevelForm;

// Takes the confirmed form (clamped and ordered) into the parameter file. When anything changed, the
// parameter file is written and the working copy refreshed (sidedness, levels with their texts,
// preferred method, whisker factor). When the file cannot be written the message has been shown and
// the stored settings stay as they were, so the working copy never differs from the file. True when
// the settings changed and were saved.
bool StoreErrorLevels(GlobalState& state, const ErrorLevelForm& form);

}  // namespace veltrix
