#include "core/shell/placement.h"

#include <gtest/gtest.h>

namespace veltrix {
namespace {

struct PlacementCase {
  int hint;
  ScreenSize box;
  ScreenPoint expected;
};

// Screen 1000 x 800. Expected corners by hand from the rules: centre = ((1000 - w) / 2, (800 - h) / 2);
// half width + 20 = 520, half height + 10 = 410.
TEST(Placement, MessageBoxCornerByHint) {
  const ScreenSize screen{1000, 800};
  const PlacementCase cases[] = {
      {0, {300, 100}, {350, 350}},  // centred
      {1, {300, 100}, {520, 20}},  {2, {300, 100}, {30, 20}}, {3, {300, 100}, {30, 410}},
      {4, {300, 100}, {520, 410}}, {5, {300, 100}, {30, 20}}, {6, {300, 100}, {30, 20}},
      {0, {1200, 900}, {0, 0}},  // larger than the screen: kept reachable instead of centred off screen
  };
  for (const PlacementCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "hint " << c.hint << ", box " << c.box.width << "x" << c.box.height);
    const ScreenPoint at = messageBoxPosition(c.hint, screen, c.box);
    EXPECT_EQ(at.x, c.expected.x);
    EXPECT_EQ(at.y, c.expected.y);
  }
}

// Screen 1000 x 800: right edge 19/20 * 1000 = 950, left edge 1000 / 20 = 50, top 800 / 25 = 32, bottom
// 19/20 * 800 = 760.
TEST(Placement, DialogCornerByHint) {
  const ScreenSize screen{1000, 800};
  const PlacementCase cases[] = {
      {0, {300, 200}, {350, 300}},   // centred
      {1, {300, 200}, {650, 32}},    // 950 - 300
      {2, {300, 200}, {50, 32}},     //
      {3, {300, 200}, {50, 560}},    // 760 - 200
      {4, {300, 200}, {650, 560}},   //
      {5, {300, 200}, {350, 300}},   // 5 and more centre
      {6, {300, 200}, {350, 300}},   //
      {-1, {300, 200}, {350, 300}},  //
      {1, {300, 780}, {650, 6}},     // 32 + 780 > 800: top 6
      {2, {300, 780}, {50, 6}},      //
      {2, {300, 768}, {50, 32}},     // 32 + 768 = 800 still fits
      {1, {980, 200}, {4, 32}},      // 950 - 980 < 4
      {3, {300, 780}, {50, 4}},      // 760 - 780 < 4
      {4, {980, 780}, {4, 4}},       //
      {0, {980, 780}, {10, 10}},     // (1000 - 980) / 2, (800 - 780) / 2
  };
  for (const PlacementCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "hint " << c.hint << ", dialog " << c.box.width << "x"
                                    << c.box.height);
    const ScreenPoint at = dialogPosition(c.hint, screen, c.box);
    EXPECT_EQ(at.x, c.expected.x);
    EXPECT_EQ(at.y, c.expected.y);
  }
}

}  // namespace
}  // namespace veltrix
