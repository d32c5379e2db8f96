#include "core/shell/result_tools.h"

#include <gtest/gtest.h>

namespace veltrix {
namespace {

TEST(ResultTools, PanelHoldsTheFixedButtonsAndTheOfferedToolsInFront) {
  // Button width 24, pitch 28 (hand computation from the layout rule).
  const ResultToolLayout none = LayOutResultTools("", 24);
  EXPECT_EQ(none.panelWidth, 3 * 28 + 8);
  EXPECT_EQ(none.fixedButtons, (std::array<int, 3>{2, 30, 58}));
  EXPECT_EQ(none.toolButtons, (std::array<int, 5>{-1, -1, -1, -1, -1}));

  // Graph, switch and single table offered: three tools in front of the fixed buttons, right to left.
  const ResultToolLayout three = LayOutResultTools("10011xxxx", 24);
  EXPECT_EQ(three.panelWidth, 6 * 28 + 8);
  EXPECT_EQ(three.fixedButtons[0], 3 * 28 + 2);
  EXPECT_EQ(three.toolButtons, (std::array<int, 5>{58, -1, -1, 30, 2}));
  EXPECT_EQ(three.menuEntries, (std::array<bool, 5>{true, false, false, false, true}))
      << "the switch has no menu entry";
}

}  // namespace
}  // namespace veltrix
