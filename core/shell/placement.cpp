#include "core/shell/placement.h"

#include <algorithm>

namespace veltrix {

namespace {

// A box larger than the screen is pinned to the top-left corner rather than centred off screen, so its
// caption bar can still be reached.
ScreenPoint centred(ScreenSize screen, ScreenSize box) {
  return {std::max(0, (screen.width - box.width) / 2), std::max(0, (screen.height - box.height) / 2)};
}

}  // namespace

ScreenPoint messageBoxPosition(int hint, ScreenSize screen, ScreenSize box) {
  if (hint == 0) return centred(screen, box);
  const int x = (hint == 1 || hint == 4) ? screen.width / 2 + 20 : 30;
  const int y = (hint == 3 || hint == 4) ? screen.height / 2 + 10 : 20;
  return {x, y};
}

ScreenPoint dialogPosition(int hint, ScreenSize screen, ScreenSize dialog) {
  const int rightEdge = screen.width * 19 / 20;
  const int bottomEdge = screen.height * 19 / 20;
  const int leftEdge = screen.width / 20;
  int upperTop = screen.height / 25;
  // Near the top, unless the dialog would then reach below the screen.
  if (upperTop + dialog.height > screen.height) upperTop = 6;
  switch (hint) {
    case 1:
      return {std::max(4, rightEdge - dialog.width), upperTop};
    case 2:
      return {leftEdge, upperTop};
    case 3:
      return {leftEdge, std::max(4, bottomEdge - dialog.height)};
    case 4:
      return {std::max(4, rightEdge - dialog.width), std::max(4, bottomEdge - dialog.height)};
    default:
      return centred(screen, dialog);
  }
}

}  // namespace veltrix
