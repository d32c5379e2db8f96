// A Canvas on a QPainter: the screen, a printer or an image. Texts are Windows-1252 and go through
// toQString; metrics come from QFontMetrics of the painter's device, so a printer measures at its own
// resolution. Without a painter the canvas only measures, for a given device or the screen, and draws
// nothing.
#pragma once

#include <QColor>
#include <QFont>
#include <string_view>

#include "core/base/canvas.h"

class QPainter;
class QPaintDevice;

namespace veltrix {

class QtCanvas : public Canvas {
 public:
  // Measures for the device (the screen when none is given); drawing does nothing.
  explicit QtCanvas(const QPaintDevice* measureDevice = nullptr);
  explicit QtCanvas(QPainter& painter);

  // The font of a FontSpec (point size, bold, italic, underline).
  static QFont toQFont(const FontSpec& font);
  // 0x00RRGGBB as a QColor; the button-face marker becomes the application palette's button colour.
  static QColor toQColor(Color color);
  // A QColor as 0x00RRGGBB.
  static Color fromQColor(const QColor& color);

  int textWidth(std::string_view text) override;
  int textHeight(std::string_view text) override;

  void setFont(const FontSpec& font) override;
  FontSpec font() const override { return m_font; }
  void setPen(Color color, int width, PenStyle style) override;
  void setBrush(Color color, bool solid) override;

  void drawLine(Point from, Point to) override;
  void drawRect(const Rect& rect) override;
  void fillRect(const Rect& rect, Color color) override;
  void drawPolygon(std::span<const Point> points) override;
  void drawEllipse(const Rect& bounds) override;
  void drawText(int x, int y, std::string_view text, const Rect& clip) override;

 private:
  const QPaintDevice* device() const;

  QPainter* m_painter = nullptr;
  const QPaintDevice* m_measureDevice = nullptr;
  FontSpec m_font;
  QFont m_qfont;
};

}  // namespace veltrix
