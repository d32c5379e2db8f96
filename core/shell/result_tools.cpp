#include "core/shell/result_tools.h"

namespace veltrix {

ResultToolLayout LayOutResultTools(std::string_view flags, int buttonWidth) {
  ResultToolLayout layout;
  const int pitch = buttonWidth + 4;
  bool offered[kResultToolCount] = {};
  int count = 0;
  for (int i = 0; i < kResultToolCount; ++i) {
    offered[i] = i < static_cast<int>(flags.size()) && flags[static_cast<std::size_t>(i)] == '1';
    if (offered[i]) ++count;
  }
  layout.panelWidth = (count + 3) * pitch + 8;
  const int fixedStart = count * pitch + 2;
  for (int k = 0; k < 3; ++k) layout.fixedButtons[static_cast<std::size_t>(k)] = fixedStart + k * pitch;
  // The offered tools stand in front of the fixed buttons, the first of them nearest.
  int x = fixedStart;
  for (int i = 0; i < kResultToolCount; ++i) {
    if (!offered[i]) continue;
    x -= pitch;
    layout.toolButtons[static_cast<std::size_t>(i)] = x;
    layout.menuEntries[static_cast<std::size_t>(i)] = i != static_cast<int>(ResultTool::Switch);
  }
  return layout;
}

}  // namespace veltrix
