#include "app/shell/qt_canvas.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QPolygon>
#include <QRect>

#include "app/shell/qt_text.h"
#include "core/shell/sys_params.h"

namespace veltrix {

namespace {

Qt::PenStyle toQtPenStyle(PenStyle style) {
  switch (style) {
    case PenStyle::Solid:
      return Qt::SolidLine;
    case PenStyle::Dash:
      return Qt::DashLine;
    case PenStyle::Dot:
      return Qt::DotLine;
    case PenStyle::DashDot:
      return Qt::DashDotLine;
    case PenStyle::None:
      return Qt::NoPen;
  }
  return Qt::SolidLine;
}

// Outlines lie inside the rectangle, whose right and bottom are exclusive: a pen of width 1 drawn
// around QRect(x, y, w - 1, h - 1) covers exactly w by h pixels.
QRect outlineRect(const Rect& rect) {
  return QRect(rect.left, rect.top, rect.width() - 1, rect.height() - 1);
}

}  // namespace

QtCanvas::QtCanvas(const QPaintDevice* measureDevice)
    : m_measureDevice(measureDevice), m_qfont(toQFont(m_font)) {}

QtCanvas::QtCanvas(QPainter& painter) : m_painter(&painter), m_qfont(toQFont(m_font)) {
  m_painter->setFont(m_qfont);
}

QFont QtCanvas::toQFont(const FontSpec& font) {
  QFont qfont(toQString(font.name));
  qfont.setPointSize(font.pointSize > 0 ? font.pointSize : 1);
  qfont.setBold(font.bold);
  qfont.setItalic(font.italic);
  qfont.setUnderline(font.underline);
  return qfont;
}

QColor QtCanvas::toQColor(Color color) {
  if (color == kButtonFaceColor) return QApplication::palette().color(QPalette::Button);
  return QColor(static_cast<int>((color >> 16) & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>(color & 0xFF));
}

Color QtCanvas::fromQColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return (static_cast<Color>(rgb.red()) << 16) | (static_cast<Color>(rgb.green()) << 8) |
         static_cast<Color>(rgb.blue());
}

const QPaintDevice* QtCanvas::device() const {
  return m_painter != nullptr ? m_painter->device() : m_measureDevice;
}

int QtCanvas::textWidth(std::string_view text) {
  const QFontMetrics metrics(m_qfont, device());
  return metrics.horizontalAdvance(toQString(text));
}

int QtCanvas::textHeight(std::string_view) {
  const QFontMetrics metrics(m_qfont, device());
  return metrics.height();
}

void QtCanvas::setFont(const FontSpec& font) {
  m_font = font;
  m_qfont = toQFont(font);
  if (m_painter != nullptr) m_painter->setFont(m_qfont);
}

void QtCanvas::setPen(Color color, int width, PenStyle style) {
  if (m_painter == nullptr) return;
  QPen pen(toQColor(color));
  pen.setWidth(width);
  pen.setStyle(toQtPenStyle(style));
  m_painter->setPen(pen);
}

void QtCanvas::setBrush(Color color, bool solid) {
  if (m_painter == nullptr) return;
  if (solid)
    m_painter->setBrush(toQColor(color));
  else
    m_painter->setBrush(Qt::NoBrush);
}

void QtCanvas::drawLine(Point from, Point to) {
  if (m_painter == nullptr) return;
  m_painter->drawLine(from.x, from.y, to.x, to.y);
}

void QtCanvas::drawRect(const Rect& rect) {
  if (m_painter == nullptr || rect.width() <= 0 || rect.height() <= 0) return;
  m_painter->drawRect(outlineRect(rect));
}

void QtCanvas::fillRect(const Rect& rect, Color color) {
  if (m_painter == nullptr || rect.width() <= 0 || rect.height() <= 0) return;
  m_painter->fillRect(QRect(rect.left, rect.top, rect.width(), rect.height()), toQColor(color));
}

void QtCanvas::drawPolygon(std::span<const Point> points) {
  if (m_painter == nullptr || points.empty()) return;
  QPolygon polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (const Point& p : points) polygon << QPoint(p.x, p.y);
  m_painter->drawPolygon(polygon);
}

void QtCanvas::drawEllipse(const Rect& bounds) {
  if (m_painter == nullptr || bounds.width() <= 0 || bounds.height() <= 0) return;
  m_painter->drawEllipse(outlineRect(bounds));
}

void QtCanvas::drawText(int x, int y, std::string_view text, const Rect& clip) {
  if (m_painter == nullptr || text.empty() || clip.width() <= 0 || clip.height() <= 0) return;
  m_painter->save();
  const QRect clipRect(clip.left, clip.top, clip.width(), clip.height());
  m_painter->setClipRect(clipRect, m_painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  m_painter->setPen(toQColor(m_font.color));
  const QFontMetrics metrics(m_qfont, device());
  m_painter->drawText(x, y + metrics.ascent(), toQString(text));
  m_painter->restore();
}

}  // namespace veltrix
