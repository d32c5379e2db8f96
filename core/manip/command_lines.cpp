#include "core/manip/command_lines.h"

#include <algorithm>
#include <cstddef>

namespace veltrix {

namespace {

constexpr char kCtrlZ = '\x1A';

std::string_view withoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::vector<std::string> SplitPhysicalLines(std::string_view text) {
  if (!text.empty() && text.back() == kCtrlZ) text.remove_suffix(1);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t lf = text.find('\n', start);
    std::size_t stop = lf == std::string_view::npos ? text.size() : lf;
    if (lf != std::string_view::npos && stop > start && text[stop - 1] == '\r') --stop;
    lines.emplace_back(text.substr(start, stop - start));
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
  return lines;
}

std::vector<LogicalLine> SplitLogicalLines(const std::vector<std::string>& physicalLines) {
  constexpr auto kLimit = static_cast<std::size_t>(kMaxCommandLine);
  std::vector<LogicalLine> result;
  LogicalLine current;
  bool open = false;
  for (std::size_t i = 0; i < physicalLines.size(); ++i) {
    if (!open) {
      current = LogicalLine{};
      current.firstLine = static_cast<int>(i);
      open = true;
    }
    std::string_view piece = withoutTrailingBlanks(physicalLines[i]);
    // What was collected before never ends in a blank (continued parts lose their trailing blanks
    // and asterisks), so the blank before the asterisk must be in this line itself.
    const bool continued = i + 1 < physicalLines.size() && piece.size() >= 2 && piece.back() == '*' &&
                           piece[piece.size() - 2] == ' ';
    if (continued) {
      while (!piece.empty() && (piece.back() == '*' || piece.back() == ' ')) piece.remove_suffix(1);
    }
    current.starts.push_back(static_cast<int>(current.text.size()));
    const std::size_t room = kLimit - current.text.size();
    current.text.append(piece.substr(0, std::min(room, piece.size())));
    if (!continued) {
      current.lastLine = static_cast<int>(i);
      result.push_back(std::move(current));
      open = false;
    }
  }
  return result;
}

int PhysicalLineAt(const LogicalLine& line, int offset) {
  int part = 0;
  // Parts that are empty start where the next one does; the last part starting at or before offset
  // is the one whose text holds it.
  for (std::size_t i = 0; i < line.starts.size(); ++i)
    if (line.starts[i] <= offset) part = static_cast<int>(i);
  return line.firstLine + part;
}

}  // namespace veltrix
