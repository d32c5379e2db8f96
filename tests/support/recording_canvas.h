// A Canvas for tests: records every call in order and measures text with fixed fake metrics
// (8 pixels per character and 14 pixels height unless told otherwise; single characters can be given
// their own width to imitate a proportional font).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/canvas.h"

namespace veltrix::test {

class RecordingCanvas : public Canvas {
 public:
  enum class Kind { SetFont, SetPen, SetBrush, Line, DrawRect, FillRect, Polygon, Ellipse, Text };

  // One recorded call; only the fields of its kind are filled.
  struct Call {
    Kind kind = Kind::Text;
    Point from;                 // Line; Text: the top-left corner
    Point to;                   // Line
    Rect rect;                  // DrawRect, FillRect, Ellipse; Text: the clip rectangle
    std::vector<Point> points;  // Polygon
    std::string text;           // Text
    Color color = 0;            // SetPen, SetBrush, FillRect; Text: the font colour
    int penWidth = 0;           // SetPen
    PenStyle penStyle = PenStyle::Solid;
    bool solid = false;  // SetBrush
    FontSpec font;       // SetFont
  };

  explicit RecordingCanvas(int charWidth = 8, int charHeight = 14)
      : m_charWidth(charWidth), m_charHeight(charHeight) {}

  void setCharWidth(char c, int width) { m_widths[c] = width; }

  int textWidth(std::string_view text) override {
    int width = 0;
    for (const char c : text) {
      const auto it = m_widths.find(c);
      width += it == m_widths.end() ? m_charWidth : it->second;
    }
    return width;
  }
  int textHeight(std::string_view) override { return m_charHeight; }

  void setFont(const FontSpec& font) override {
    m_font = font;
    record(Kind::SetFont).font = font;
  }
  FontSpec font() const override { return m_font; }
  void setPen(Color color, int width, PenStyle style) override {
    Call& call = record(Kind::SetPen);
    call.color = color;
    call.penWidth = width;
    call.penStyle = style;
  }
  void setBrush(Color color, bool solid) override {
    Call& call = record(Kind::SetBrush);
    call.color = color;
    call.solid = solid;
  }
  void drawLine(Point from, Point to) override {
    Call& call = record(Kind::Line);
    call.from = from;
    call.to = to;
  }
  void drawRect(const Rect& rect) override { record(Kind::DrawRect).rect = rect; }
  void fillRect(const Rect& rect, Color color) override {
    Call& call = record(Kind::FillRect);
    call.rect = rect;
    call.color = color;
  }
  void drawPolygon(std::span<const Point> points) override {
    record(Kind::Polygon).points.assign(points.begin(), points.end());
  }
  void drawEllipse(const Rect& bounds) override { record(Kind::Ellipse).rect = bounds; }
  void drawText(int x, int y, std::string_view text, const Rect& clip) override {
    Call& call = record(Kind::Text);
    call.from = {x, y};
    call.rect = clip;
    call.text = std::string(text);
    call.color = m_font.color;
  }

  const std::vector<Call>& calls() const { return m_calls; }
  std::vector<Call> callsOf(Kind kind) const {
    std::vector<Call> result;
    for (const Call& call : m_calls)
      if (call.kind == kind) result.push_back(call);
    return result;
  }
  void clear() { m_calls.clear(); }

 private:
  Call& record(Kind kind) {
    m_calls.emplace_back();
    m_calls.back().kind = kind;
    return m_calls.back();
  }

  int m_charWidth;
  int m_charHeight;
  std::map<char, int> m_widths;
  FontSpec m_font;
  std::vector<Call> m_calls;
};

}  // namespace veltrix::test
