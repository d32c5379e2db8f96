#include "core/stats/marked_line.h"

#include <algorithm>

#include "core/stats/text_helpers.h"

namespace veltrix {

namespace {

constexpr int kCountBase = 48;  // a count character is the byte 48 + n
constexpr int kMaxCount = 255 - kCountBase;

char countChar(int n) {
  return static_cast<char>(kCountBase + std::clamp(n, 0, kMaxCount));
}
int countOf(char c) {
  return static_cast<unsigned char>(c) - kCountBase;
}

struct Segment {
  Rect box;  // the segment's pixels, line height
  char mark = 0;
  int count = 0;  // d of "{d" and "}d"
  std::string_view text;
};

void drawRule(Canvas& canvas, const Segment& s, PenStyle style) {
  canvas.setPen(canvas.font().color, 1, style);
  const int y = (s.box.top + s.box.bottom) / 2;
  canvas.drawLine({s.box.left, y}, {s.box.right - 1, y});
}

void drawSegment(Canvas& canvas, const Segment& s, int top, int width8) {
  if (s.box.width() <= 0) return;
  if (s.mark == kMarkRule) return drawRule(canvas, s, PenStyle::Solid);
  if (s.mark == kMarkDashedRule) return drawRule(canvas, s, PenStyle::Dash);
  if (s.text.empty()) return;
  const int count = std::max(s.count, 0);
  const int countWidth = width8 * count / 8;
  int x = s.box.left;
  switch (s.mark) {
    case kMarkRight:
      x = s.box.right - canvas.textWidth(s.text);
      break;
    case kMarkCentre:
      x = s.box.left + (s.box.width() - canvas.textWidth(s.text)) / 2;
      break;
    case kMarkAlignPoint: {
      const std::size_t tail = std::min(static_cast<std::size_t>(count), s.text.size());
      x = s.box.right - countWidth - canvas.textWidth(s.text.substr(0, s.text.size() - tail));
      break;
    }
    case kMarkLeftField: {
      // The first d characters (blank-padded) fill a field of d character widths; the rest follows.
      std::string field(s.text.substr(0, std::min(static_cast<std::size_t>(count), s.text.size())));
      field.resize(static_cast<std::size_t>(count), ' ');
      x = s.box.left + countWidth - canvas.textWidth(field);
      break;
    }
    case kMarkSpread: {
      const int cell = width8 / 8 + 1;
      for (std::size_t k = 0; k < s.text.size(); ++k) {
        const std::string_view ch = s.text.substr(k, 1);
        const int cellLeft = s.box.left + static_cast<int>(k) * cell;
        if (cellLeft >= s.box.right) break;
        canvas.drawText(cellLeft + (cell - canvas.textWidth(ch)) / 2, top, ch, s.box);
      }
      return;
    }
    default:
      break;
  }
  canvas.drawText(x, top, s.text, s.box);
}

}  // namespace

bool isLayoutMark(char c) {
  switch (c) {
    case kMarkWidth:
    case kMarkLeftField:
    case kMarkAlignPoint:
    case kMarkRight:
    case kMarkCentre:
    case kMarkRule:
    case kMarkDashedRule:
    case kMarkSpread:
      return true;
    default:
      return false;
  }
}

std::string MarkCell(std::string_view text, int width, int align, int decimals) {
  std::string cell;
  if (width > 0) {
    cell.push_back(kMarkWidth);
    cell.push_back(countChar(width));
  }
  if (text == std::string_view(&kMarkRule, 1) || text == std::string_view(&kMarkDashedRule, 1)) {
    return cell.append(text);
  }
  if (align > 0) {
    if (decimals > 0) {
      cell.push_back(kMarkAlignPoint);
      cell.push_back(countChar(decimals));
    } else {
      cell.push_back(kMarkRight);
    }
    return cell.append(TrimBlanks(text, -1));
  }
  if (align == 0) {
    cell.push_back(kMarkCentre);
    return cell.append(TrimBlanks(text, 0));
  }
  if (align < -1) {
    cell.push_back(kMarkSpread);
  } else if (decimals > 0) {
    cell.push_back(kMarkLeftField);
    cell.push_back(countChar(decimals));
  } else if (width <= 0) {
    cell.push_back(kMarkWidth);
    cell.push_back(countChar(0));
  }
  return cell.append(TrimBlanks(text, 1));
}

CellSize CellMetrics(Canvas& canvas) {
  return {canvas.textWidth("W9999999"), canvas.textHeight("Ep")};
}

void DrawMarkedLine(Canvas& canvas, const Rect& rect, int width8, std::string_view text, int textHeight) {
  const int top = (rect.top + rect.bottom - textHeight) / 2;
  int left = rect.left;
  int right = rect.right;
  if (text.empty() || text.front() != kMarkRule) {
    left += width8 / 20;
    right -= width8 / 20;
  }
  int x = left;
  std::size_t i = 0;
  while (i < text.size()) {
    Segment s;
    int segmentRight = right;
    bool fixedWidth = false;
    if (text[i] == kMarkWidth) {
      const int d = i + 1 < text.size() ? countOf(text[i + 1]) : 0;
      i = std::min(i + 2, text.size());
      if (d > 0) {
        segmentRight = std::min(x + (width8 * d + 8) / 8, right);
        fixedWidth = true;
      }
    }
    if (i < text.size() && isLayoutMark(text[i]) && text[i] != kMarkWidth) {
      s.mark = text[i++];
      if (s.mark == kMarkLeftField || s.mark == kMarkAlignPoint) {
        if (i < text.size()) s.count = countOf(text[i++]);
      }
    }
    std::size_t end = i;
    while (end < text.size() && !isLayoutMark(text[end])) ++end;
    s.text = text.substr(i, end - i);
    s.box = Rect{x, rect.top, segmentRight, rect.bottom};
    drawSegment(canvas, s, top, width8);
    if (fixedWidth) x = segmentRight;
    i = end;
  }
}

}  // namespace veltrix
