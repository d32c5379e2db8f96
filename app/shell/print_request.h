// What a dialog asks of the print manager for the text it shows ("Drucken", "Blattvorschub", "Kopie auf
// Platte"); the main window carries it out, since it owns the printer and its pages.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/output/table_manager.h"

namespace veltrix {

enum class PrintAction { Print, FormFeed, SaveCopy };

using PrintRequest =
    std::function<void(PrintAction action, const TTabHeader& header, const std::vector<std::string>& lines)>;

// A text table of one title line for the print manager.
inline TTabHeader PrintHeader(std::string left, std::string right = {}) {
  TTabHeader header;
  header.Kind = 'A';
  header.TitleLines = 1;
  header.LeftTitle[0] = std::move(left);
  header.RightTitle[0] = std::move(right);
  return header;
}

}  // namespace veltrix
