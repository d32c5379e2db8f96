#include "core/output/plain_text.h"

#include <algorithm>

#include "core/stats/marked_line.h"

namespace veltrix {

namespace {

int countOf(char c) {
  return static_cast<unsigned char>(c) - 48;
}

// Writes text with its first character at column start, keeping only the columns of [left, right).
void place(std::string& field, int start, int left, int right, std::string_view text) {
  for (std::size_t k = 0; k < text.size(); ++k) {
    const int column = start + static_cast<int>(k);
    if (column < left) continue;
    if (column >= right) break;
    if (text[k] != ' ') field[static_cast<std::size_t>(column)] = text[k];
  }
}

}  // namespace

std::string PlainTextField(std::string_view line, int width) {
  if (width <= 0) return {};
  std::string field(static_cast<std::size_t>(width), ' ');
  int x = 0;
  std::size_t i = 0;
  while (i < line.size()) {
    int right = width;
    bool fixedWidth = false;
    if (line[i] == kMarkWidth) {
      const int d = i + 1 < line.size() ? countOf(line[i + 1]) : 0;
      i = std::min(i + 2, line.size());
      if (d > 0) {
        right = std::min(x + d, width);
        fixedWidth = true;
      }
    }
    char mark = 0;
    if (i < line.size() && isLayoutMark(line[i]) && line[i] != kMarkWidth) {
      mark = line[i++];
      // "{d" and "}d" carry a count character; in plain text the field is simply left- or
      // right-aligned.
      if ((mark == kMarkLeftField || mark == kMarkAlignPoint) && i < line.size()) ++i;
    }
    std::size_t end = i;
    while (end < line.size() && !isLayoutMark(line[end])) ++end;
    const std::string_view text = line.substr(i, end - i);
    const int length = static_cast<int>(text.size());
    const int left = std::min(x, width);
    switch (mark) {
      case kMarkRule:
      case kMarkDashedRule:
        for (int c = left; c < right; ++c) field[static_cast<std::size_t>(c)] = '-';
        break;
      case kMarkRight:
      case kMarkAlignPoint:
        place(field, right - length, left, right, text);
        break;
      case kMarkCentre:
        place(field, left + (right - left - length) / 2, left, right, text);
        break;
      default:
        place(field, left, left, right, text);
        break;
    }
    if (fixedWidth) x = right;
    i = end;
  }
  return field;
}

}  // namespace veltrix
