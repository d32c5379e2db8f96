// Drawing port: the table renderer and the plot engine draw on a Canvas. The Qt front end backs it
// with QPainter (screen, printer, image); tests use a recording canvas.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace veltrix {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Pixel rectangle; right and bottom are exclusive, as on the screen.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// 0x00RRGGBB
using Color = std::uint32_t;

enum class PenStyle { Solid, Dash, Dot, DashDot, None };

struct FontSpec {
  std::string name = "Arial";
  int pointSize = 10;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  Color color = 0x000000;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Font metrics in pixels for text of the current font (Windows-1252 bytes).
  virtual int textWidth(std::string_view text) = 0;
  virtual int textHeight(std::string_view text) = 0;

  virtual void setFont(const FontSpec& font) = 0;
  virtual FontSpec font() const = 0;
  virtual void setPen(Color color, int width, PenStyle style) = 0;
  // A brush of solid == false leaves shapes unfilled.
  virtual void setBrush(Color color, bool solid) = 0;

  virtual void drawLine(Point from, Point to) = 0;
  virtual void drawRect(const Rect& rect) = 0;
  virtual void fillRect(const Rect& rect, Color color) = 0;
  virtual void drawPolygon(std::span<const Point> points) = 0;
  virtual void drawEllipse(const Rect& bounds) = 0;
  // Text with its top-left corner at (x, y), in the font colour, cut off outside clip.
  virtual void drawText(int x, int y, std::string_view text, const Rect& clip) = 0;
};

}  // namespace veltrix
