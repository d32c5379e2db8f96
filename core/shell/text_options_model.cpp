#include "core/shell/text_options_model.h"

#include <algorithm>
#include <array>
#include <utility>

namespace veltrix {

namespace {

constexpr std::string_view kTextColourSuffix = " / Schriftfarbe";
constexpr std::string_view kColourSuffix = " / Farbe";

constexpr std::string_view kMenuText = "  Menue";  // "  &Menue": the M is drawn underlined
constexpr std::string_view kButtonBarText = "Schalter-Panel ";
constexpr std::string_view kHintText = "Hinweis-Panel ";
constexpr std::string_view kTitleText = " Titel-Panel";
constexpr std::string_view kMarkedFieldText = " markiertes Editfeld";
constexpr std::string_view kStatusText = " Statusanzeige";

constexpr Color kBlack = 0x000000;
constexpr int kGridRows = 5;
constexpr int kGridColumns = 3;

// The small table: a fixed top row and a fixed left column around sample numbers.
constexpr std::array<std::array<std::string_view, kGridColumns>, kGridRows> kGrid{{
    {"", " C1", " C2"},
    {"x  ", "12.5", "3.75"},
    {"y  ", "104", "0.25"},
    {"  R1", "7.1", "48"},
    {"  R2", "0.6", "215.3"},
}};

// Measures of the picture at the current fonts.
struct Measures {
  int lineHeight = 0;
  int pad = 0;
  int rowHeight = 0;
  int margin = 0;
  int cellWidth = 0;
  int fieldWidth = 0;
  int panelTextWidth = 0;
};

Rect makeRect(int left, int top, int width, int height) {
  return Rect{left, top, left + width, top + height};
}

// The part of shape inside clip; an empty result still lies within clip.
Rect intersect(const Rect& shape, const Rect& clip) {
  Rect r;
  r.left = std::clamp(shape.left, clip.left, std::max(clip.left, clip.right));
  r.top = std::clamp(shape.top, clip.top, std::max(clip.top, clip.bottom));
  r.right = std::clamp(shape.right, r.left, std::max(r.left, clip.right));
  r.bottom = std::clamp(shape.bottom, r.top, std::max(r.top, clip.bottom));
  return r;
}

bool isEmpty(const Rect& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

bool contains(const Rect& r, Point p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

Color colourOf(const TextSettings& settings, int index) {
  return settings.colours[static_cast<std::size_t>(index)];
}

}  // namespace

TextOptionsModel::TextOptionsModel(TSysP& sysParams, ColourChooser chooseColour)
    : m_sysParams(sysParams), m_chooseColour(std::move(chooseColour)), m_settings(sysParams.textSettings()) {}

bool TextOptionsModel::hasColour(int element) {
  return (element >= 2 && element <= 9) || (element >= 11 && element <= 13);
}

int TextOptionsModel::colourIndex(int element) {
  return hasColour(element) ? element - 1 : -1;
}

std::string_view TextOptionsModel::elementName(int element) {
  switch (element) {
    case 2:
      return "Desktop";
    case 3:
    case 4:
      return kHintText;
    case 5:
    case 6:
      return kTitleText;
    case 7:
      return "E/A-Bereich fixed";
    case 8:
    case 9:
      return "E/A-Bereich";
    case 11:
    case 12:
      return kStatusText;
    case 13:
      return kMarkedFieldText;
    default:
      return "";
  }
}

std::string TextOptionsModel::colourCaption(int element) {
  if (!hasColour(element)) return "";
  const bool textColour = element == 4 || element == 6 || element == 9 || element == 12;
  std::string caption(elementName(element));
  caption += textColour ? kTextColourSuffix : kColourSuffix;
  return caption;
}

bool TextOptionsModel::editColour(int element) {
  if (!hasColour(element) || !m_chooseColour) return false;
  Color& colour = m_settings.colours[static_cast<std::size_t>(colourIndex(element))];
  const std::optional<Color> chosen = m_chooseColour(colourCaption(element), colour);
  if (!chosen) return false;
  colour = *chosen;
  m_changed = true;
  return true;
}

void TextOptionsModel::setScreenFont(const FontRecord& font) {
  m_settings.screenFont = font;
  m_settings.screenFont.size =
      static_cast<std::int16_t>(std::clamp<int>(font.size, kMinFontSize, kLargestScreenFontSize));
  m_changed = true;
}

void TextOptionsModel::setPrinterFont(const FontRecord& font) {
  m_settings.printerFont = font;
  m_settings.printerFont.size =
      static_cast<std::int16_t>(std::clamp<int>(font.size, kMinFontSize, kMaxFontSize));
  m_changed = true;
}

void TextOptionsModel::restoreDefaults() {
  m_settings = TextSettings{};
  m_changed = true;
}

std::optional<ScreenColours> TextOptionsModel::accept(Canvas& canvas) {
  if (!m_changed) return std::nullopt;
  m_sysParams.putTextSettings(m_settings);
  m_sysParams.apply(canvas);
  m_sysParams.save();
  return m_sysParams.publishColours();
}

FontSpec TextOptionsModel::screenFont(Color color) const {
  FontSpec font = m_settings.screenFont.toFontSpec();
  font.color = color;
  return font;
}

FontSpec TextOptionsModel::panelFont(Color color) const {
  FontSpec font = screenFont(color);
  font.bold = true;
  return font;
}

namespace {

Measures measure(Canvas& canvas, const FontSpec& screen, const FontSpec& panel) {
  Measures m;
  canvas.setFont(panel);
  const int panelHeight = canvas.textHeight("Ep");
  m.panelTextWidth = std::max(canvas.textWidth(kHintText), canvas.textWidth(kTitleText));
  canvas.setFont(screen);
  m.lineHeight = std::max(canvas.textHeight("Ep"), panelHeight);
  m.pad = std::max(2, m.lineHeight / 5);
  m.rowHeight = m.lineHeight + 2 * m.pad;
  m.margin = 2 * m.pad + 2;
  int widest = 0;
  for (const auto& row : kGrid)
    for (const std::string_view text : row) widest = std::max(widest, canvas.textWidth(text));
  m.cellWidth = widest + 2 * m.pad;
  m.fieldWidth = canvas.textWidth(kMarkedFieldText) + 2 * m.pad;
  return m;
}

// Text vertically centred in its band, starting at x; the part covers the text's own box.
Rect textBox(Canvas& canvas, const Rect& band, int x, std::string_view text, int lineHeight) {
  const int top = band.top + (band.height() - lineHeight) / 2;
  return makeRect(x, top, canvas.textWidth(text), lineHeight);
}

}  // namespace

ScreenModelSize TextOptionsModel::preferredScreenSize(Canvas& canvas) const {
  const FontSpec previous = canvas.font();
  const Measures m = measure(canvas, screenFont(kBlack), panelFont(kBlack));
  canvas.setFont(previous);
  const int tableWidth = kGridColumns * m.cellWidth + m.margin + m.fieldWidth;
  const int width = 2 * m.margin + std::max(tableWidth, m.panelTextWidth + 2 * m.pad);
  // Menu line, button bar, hint panel, title panel, table, status bar with their gaps.
  const int height = m.rowHeight + (m.rowHeight + 2 * m.pad) + m.margin + m.rowHeight + m.margin +
                     m.rowHeight + kGridRows * m.rowHeight + m.margin + m.rowHeight;
  return ScreenModelSize{width, height};
}

std::vector<ScreenModelPart> TextOptionsModel::drawScreen(Canvas& canvas, const Rect& area) const {
  const TextSettings& s = m_settings;
  const FontSpec previous = canvas.font();
  const Measures m = measure(canvas, screenFont(kBlack), panelFont(kBlack));
  std::vector<ScreenModelPart> parts;
  const auto addPart = [&parts, &area](const Rect& rect, int element) {
    const Rect visible = intersect(rect, area);
    if (!isEmpty(visible)) parts.push_back(ScreenModelPart{visible, element});
  };
  const auto fill = [&canvas, &area](const Rect& rect, Color colour) {
    const Rect visible = intersect(rect, area);
    if (!isEmpty(visible)) canvas.fillRect(visible, colour);
  };
  const auto text = [&canvas, &m](const Rect& band, int x, std::string_view label, const Rect& clip) {
    const Rect box = textBox(canvas, band, x, label, m.lineHeight);
    canvas.drawText(box.left, box.top, label, clip);
    return intersect(box, clip);
  };
  const int left = area.left;
  const int right = area.right;

  // Menu line in the window system's colours.
  const Rect menu{left, area.top, right, area.top + m.rowHeight};
  fill(menu, kButtonFaceColor);
  canvas.setFont(screenFont(kBlack));
  const Rect menuText = text(menu, left, kMenuText, intersect(menu, area));
  const int underlineLeft = menuText.left + canvas.textWidth("  ");
  const int underlineY = std::min(menuText.bottom - 1, menu.bottom - 1);
  const int underlineRight = std::min(underlineLeft + canvas.textWidth("M"), area.right) - 1;
  if (underlineY >= area.top && underlineY < area.bottom && underlineRight >= underlineLeft) {
    canvas.setPen(kBlack, 1, PenStyle::Solid);
    canvas.drawLine({underlineLeft, underlineY}, {underlineRight, underlineY});
  }

  // Button bar.
  const Rect bar{left, menu.bottom, right, menu.bottom + m.rowHeight + 2 * m.pad};
  fill(bar, colourOf(s, kColourButtonBar));
  canvas.setFont(screenFont(colourOf(s, kColourButtonBarText)));
  text(bar, left + m.margin, kButtonBarText, intersect(bar, area));

  // Status bar at the bottom, the main window area between.
  const Rect status{left, area.bottom - m.rowHeight, right, area.bottom};
  const Rect desk{left, bar.bottom, right, status.top};
  fill(desk, colourOf(s, kColourDesktop));
  addPart(desk, 2);

  // Hint panel and title panel, both in the panel font.
  const Rect hint{desk.left + m.margin, desk.top + m.margin, desk.right - m.margin,
                  desk.top + m.margin + m.rowHeight};
  fill(hint, colourOf(s, kColourHintPanel));
  addPart(hint, 3);
  canvas.setFont(panelFont(colourOf(s, kColourHintText)));
  addPart(text(hint, hint.left + m.pad, kHintText, intersect(hint, area)), 4);

  const Rect title{hint.left, hint.bottom + m.margin, hint.right, hint.bottom + m.margin + m.rowHeight};
  fill(title, colourOf(s, kColourTitlePanel));
  addPart(title, 5);
  canvas.setFont(panelFont(colourOf(s, kColourTitleText)));
  addPart(text(title, title.left + m.pad, kTitleText, intersect(title, area)), 6);

  // The table window under its title: the table area, the grid, the marked edit field.
  const Rect tableArea{title.left, title.bottom, title.right, std::max(title.bottom, desk.bottom - m.margin)};
  fill(tableArea, colourOf(s, kColourTableArea));
  addPart(tableArea, 8);
  const Rect tableClip = intersect(tableArea, area);
  canvas.setFont(screenFont(colourOf(s, kColourTableText)));
  for (int row = 0; row < kGridRows; ++row) {
    for (int column = 0; column < kGridColumns; ++column) {
      const Rect cell = makeRect(tableArea.left + column * m.cellWidth, tableArea.top + row * m.rowHeight,
                                 m.cellWidth, m.rowHeight);
      const bool fixed = row == 0 || column == 0;
      const Rect cellClip = intersect(cell, tableClip);
      fill(cellClip, colourOf(s, fixed ? kColourFixedCells : kColourTableArea));
      addPart(cellClip, fixed ? 7 : 8);
      const std::string_view label = kGrid[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
      if (!label.empty()) addPart(text(cell, cell.left + m.pad, label, cellClip), 9);
    }
  }
  // Grid lines between the cells, in the table's text colour.
  canvas.setPen(colourOf(s, kColourTableText), 1, PenStyle::Solid);
  const int gridRight = std::min(tableArea.left + kGridColumns * m.cellWidth, tableClip.right) - 1;
  const int gridBottom = std::min(tableArea.top + kGridRows * m.rowHeight, tableClip.bottom) - 1;
  for (int row = 1; row <= kGridRows; ++row) {
    const int y = tableArea.top + row * m.rowHeight - 1;
    if (y >= tableClip.top && y < tableClip.bottom && gridRight >= tableArea.left)
      canvas.drawLine({tableArea.left, y}, {gridRight, y});
  }
  for (int column = 1; column <= kGridColumns; ++column) {
    const int x = tableArea.left + column * m.cellWidth - 1;
    if (x >= tableClip.left && x < tableClip.right && gridBottom >= tableArea.top)
      canvas.drawLine({x, tableArea.top}, {x, gridBottom});
  }

  const Rect field = makeRect(tableArea.left + kGridColumns * m.cellWidth + m.margin,
                              tableArea.top + m.rowHeight, m.fieldWidth, m.rowHeight);
  const Rect fieldClip = intersect(field, tableClip);
  fill(fieldClip, colourOf(s, kColourMarkedField));
  text(field, field.left + m.pad, kMarkedFieldText, fieldClip);
  addPart(fieldClip, 13);

  // Status bar last: it lies over anything that did not fit above it.
  fill(status, colourOf(s, kColourStatusBar));
  addPart(status, 11);
  canvas.setFont(screenFont(colourOf(s, kColourStatusText)));
  addPart(text(status, status.left + m.pad, kStatusText, intersect(status, area)), 12);

  canvas.setFont(previous);
  return parts;
}

int TextOptionsModel::elementAt(const std::vector<ScreenModelPart>& parts, Point point) {
  for (auto it = parts.rbegin(); it != parts.rend(); ++it)
    if (contains(it->rect, point)) return it->element;
  return 0;
}

}  // namespace veltrix
