// The result tool panel of the main window: three fixed buttons (print, form feed, save copy) and one
// button for each result tool the shown result offers.
#pragma once

#include <array>
#include <string_view>

namespace veltrix {

enum class ResultTool { Graph = 0, Edit = 1, Test = 2, Switch = 3, SingleTable = 4 };
inline constexpr int kResultToolCount = 5;

struct ResultToolLayout {
  int panelWidth = 0;
  // Left edges of the print, form-feed and save buttons.
  std::array<int, 3> fixedButtons{};
  // Left edge of each tool's button; -1 when the tool is not offered.
  std::array<int, kResultToolCount> toolButtons{-1, -1, -1, -1, -1};
  // Whether the tool's menu entry (and its separator) is shown; the switch has no menu entry.
  std::array<bool, kResultToolCount> menuEntries{};
};

// flags: up to 20 characters; position 1..5 holds '1' for a tool the result offers (a missing or other
// character means not offered).
ResultToolLayout LayOutResultTools(std::string_view flags, int buttonWidth);

}  // namespace veltrix
