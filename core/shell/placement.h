// Where a message box or a dialog goes on the screen. The caller sets a placement hint just before the
// box or dialog is shown (the file layer asks for 4, the lower right corner, before its error messages);
// each box or dialog uses the hint once. Positions are the top-left corner in screen pixels, relative to
// the top-left corner of the screen.
#pragma once

namespace veltrix {

struct ScreenSize {
  int width = 0;
  int height = 0;
};

struct ScreenPoint {
  int x = 0;
  int y = 0;

  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Hint 0 centres the box. Any other hint puts its corner at x = 30, or half the screen width + 20 for
// hints 1 and 4, and at y = 20, or half the screen height + 10 for hints 3 and 4.
ScreenPoint messageBoxPosition(int hint, ScreenSize screen, ScreenSize box);

// Hint 1 keeps the dialog near the upper right, 2 the upper left, 3 the lower left and 4 the lower right
// corner; 0, 5 and more (and a negative hint) centre it.
ScreenPoint dialogPosition(int hint, ScreenSize screen, ScreenSize dialog);

}  // namespace veltrix
