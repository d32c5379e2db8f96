// The text and table options: fonts and screen colours of the main window, the text and table
// displays and printed tables. The model works on a copy of the text settings; the dialog shows a small
// picture of the program's screen drawn in the copy's colours and fonts, and a click on one of its
// elements opens the colour picker on that element's colour.
//
// Element numbers of the screen picture (each edits the screen colour element - 1):
//   2 main window area, 3 hint panel, 4 its label, 5 title panel, 6 its label, 7 fixed table cells,
//   8 table areas, 9 texts in the table, 11 status bar, 12 its label, 13 marked edit field.
// The menu line and the button bar carry no number and cannot be recoloured here.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/base/canvas.h"
#include "core/shell/sys_params.h"

namespace veltrix {

// The colour picker: caption and current colour in, the chosen colour or nothing on cancel out.
using ColourChooser = std::function<std::optional<Color>(std::string_view caption, Color current)>;

// One clickable piece of the screen picture.
struct ScreenModelPart {
  Rect rect;
  int element = 0;
};

struct ScreenModelSize {
  int width = 0;
  int height = 0;
};

class TextOptionsModel {
 public:
  static constexpr int kHelpContext = 1;
  // The font dialog for the screen font offers sizes up to this one.
  static constexpr int kLargestScreenFontSize = 10;

  // The copy starts as the system parameters' text settings.
  TextOptionsModel(TSysP& sysParams, ColourChooser chooseColour);

  void setColourChooser(ColourChooser chooseColour) { m_chooseColour = std::move(chooseColour); }

  const TextSettings& settings() const { return m_settings; }
  bool changed() const { return m_changed; }

  // True for the elements a click recolours: 2..9, 11, 12, 13.
  static bool hasColour(int element);
  // Screen colour entry the element edits, or -1.
  static int colourIndex(int element);
  // "Desktop", "Hinweis-Panel ", ...; "" for a number without a colour.
  static std::string_view elementName(int element);
  // The element name + " / Schriftfarbe" for the text colours 4, 6, 9, 12, + " / Farbe" otherwise.
  static std::string colourCaption(int element);

  // Opens the colour picker on the element's colour; a chosen colour replaces it in the copy and marks
  // the model changed. True when a colour was chosen.
  bool editColour(int element);
  // A font chosen in the font dialog replaces the record; the screen font is cut to the largest size.
  void setScreenFont(const FontRecord& font);
  void setPrinterFont(const FontRecord& font);
  // "&Standard": the default text settings, marked as a change.
  void restoreDefaults();

  // OK. With changes the copy goes into the system parameters, which apply it (measured on canvas)
  // and save it; the colours to publish are returned. Without changes nothing is stored or returned.
  std::optional<ScreenColours> accept(Canvas& canvas);

  // Fonts of the screen picture: tables, grid and button bar in the screen font; the hint panel and
  // the title panel in the screen font made bold. Each in the given text colour.
  FontSpec screenFont(Color color) const;
  FontSpec panelFont(Color color) const;

  // Draws the screen picture into area in the copy's colours and fonts and returns its clickable
  // parts, later ones lying on top of earlier ones. Nothing is drawn outside area.
  std::vector<ScreenModelPart> drawScreen(Canvas& canvas, const Rect& area) const;
  // The size the picture needs to show every element at the copy's fonts.
  ScreenModelSize preferredScreenSize(Canvas& canvas) const;
  // The element number at point: the topmost part that holds it, 0 when none does.
  static int elementAt(const std::vector<ScreenModelPart>& parts, Point point);

 private:
  TSysP& m_sysParams;
  ColourChooser m_chooseColour;
  TextSettings m_settings;
  bool m_changed = false;
};

}  // namespace veltrix
