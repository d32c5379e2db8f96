// System parameters: the program-wide look settings that belong to no statistics file. They live in
// one 1026-byte block in the ".sys" file next to the executable; all numbers in it are little-endian.
//
//   offset  size  content
//        0     1  format version (253)
//        1     1  print-save automatic off: 0 = on, any other value = off
//        2   578  text settings record (TextSettings)
//      580   440  graph settings record (GraphSettings)
//     1020     1  graph print orientation: 0 portrait ("Hochformat"), 1 landscape ("Querformat")
//     1021     1  print dialog before printing a graph: 0 no, 1 yes, 2 not offered
//     1022     4  creation date, packed (year * 65536 + month * 256 + day); 0 when the defaults were
//                 taken because the file had another version
//
// Values read from a file are clamped to their ranges where a value outside would break drawing or
// layout (font sizes, choice and colour indexes), so any file gives usable settings.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/base/canvas.h"

namespace veltrix {

class Ui;

// The window system's button-face colour. It is kept as this marker wherever colours are stored or
// handed on; the Qt side paints it in the palette's button colour.
inline constexpr Color kButtonFaceColor = 0xFF00000F;

// ---------------------------------------------------------------- font records

inline constexpr std::uint8_t kFontBold = 1;
inline constexpr std::uint8_t kFontItalic = 2;
inline constexpr std::uint8_t kFontUnderline = 4;
inline constexpr std::uint8_t kFontStrikeOut = 8;

inline constexpr int kMinFontSize = 6;
inline constexpr int kMaxFontSize = 72;

// Font record, 260 bytes: name as a length-prefixed string (length byte + 255 characters), pitch
// (0 default, 1 variable, 2 fixed), size in points (signed 16-bit), style flags.
struct FontRecord {
  static constexpr std::size_t kSize = 260;

  std::string name = "Arial";  // up to 255 characters
  std::uint8_t pitch = 1;
  std::int16_t size = 9;
  std::uint8_t style = 0;  // kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut

  // A font made from a record is always black; strike-out and pitch have no place in a FontSpec.
  FontSpec toFontSpec() const;
  friend bool operator==(const FontRecord&, const FontRecord&) = default;
};

// ---------------------------------------------------------------- text settings

// Entries of the screen colour table.
enum ScreenColour : int {
  kColourButtonBar = 0,      // button bar background
  kColourDesktop = 1,        // main window background
  kColourHintPanel = 2,      // hint panel background
  kColourHintText = 3,       // hint panel text
  kColourTitlePanel = 4,     // title panel background
  kColourTitleText = 5,      // title panel text
  kColourFixedCells = 6,     // fixed rows and columns of tables
  kColourTableArea = 7,      // table and text area
  kColourTableText = 8,      // text of the table areas
  kColourButtonBarText = 9,  // button bar text
  kColourStatusBar = 10,     // status bar background
  kColourStatusText = 11,    // status bar text
  kColourMarkedField = 12,   // marked edit field
  kColourReserved = 13,
};
inline constexpr int kScreenColours = 14;
using ScreenColours = std::array<Color, kScreenColours>;

ScreenColours DefaultScreenColours();

// Text settings record, 578 bytes:
//     0  260  screen font of texts and tables
//   260  260  printer font of tables
//   520    1  font-button mode A (0: both font buttons of the text options are offered)
//   521    1  font-button mode B
//   522   56  screen colour table: 14 entries of 4 bytes, byte 0 red, 1 green, 2 blue, 3 zero; the
//             32-bit value 0xFF00000F stands for the button-face colour
struct TextSettings {
  static constexpr std::size_t kSize = 578;

  FontRecord screenFont{"Arial", 1, 9, 0};
  FontRecord printerFont{"Arial", 1, 10, 0};
  std::uint8_t fontButtonModeA = 0;
  std::uint8_t fontButtonModeB = 0;
  ScreenColours colours = DefaultScreenColours();

  friend bool operator==(const TextSettings&, const TextSettings&) = default;
};

using TextSettingsRecord = std::array<std::uint8_t, TextSettings::kSize>;
TextSettingsRecord EncodeTextSettings(const TextSettings& settings);
TextSettings DecodeTextSettings(std::span<const std::uint8_t, TextSettings::kSize> bytes);

// ---------------------------------------------------------------- graph settings

enum GraphTextKind : int { kTextTitle = 0, kTextAxisLabels = 1, kTextLegend = 2, kTextFooters = 3 };

// The colours of the picture parts, in the order the graph options list them.
enum PicturePart : int {
  kPartBackground = 0,         // "Hintergrund Bild"
  kPartPlotBackground = 1,     // "Hintergrund x-y-Bereich"
  kPartAxes = 2,               // "Achsen"
  kPartAxisLabels = 3,         // "Achsenbeschriftung"
  kPartBarGrid = 4,            // "Balkengitter"
  kPartBarEdge = 5,            // "Balkenrand"
  kPartShadow = 6,             // "Schatten"
  kPartTitle = 7,              // "Überschrift"
  kPartTitleBackground = 8,    // "Hintergrund Überschrift"
  kPartTitleFrame = 9,         // "Rahmen Überschrift"
  kPartLegend = 10,            // "Legende"
  kPartLegendBackground = 11,  // "Hintergrund Legende"
  kPartLegendFrame = 12,       // "Rahmen Legende"
  kPartFooters = 13,           // "Fußzeilen"
};

// Graph settings record, 440 bytes, followed wherever it travels by the print orientation and the
// print-dialog byte (together 442 bytes):
//
//   offset  size  content                                                       range     default
//        0   256  font name, length-prefixed (length byte + 255 characters)               "Arial"
//      256     1  font pitch                                                    0..2      1
//      257     4  text sizes in points: title, axis labels, legend, footers     6..15     9
//      261     4  bold flags of the same four text kinds                        0/1       1,0,0,0
//      265    93  colour table: 31 entries of 3 bytes (red, green, blue)                  see below
//      358     6  colour index of the series 1..6                               0..30     2,3,4,5,6,12
//      364     6  symbol of the series 1..6                                     0..10     3,9,7,4,10,8
//      370    12  fill-pattern table: series 1..6 on the screen, then 1..6 in   0..7      0 (x6),
//                 black and white (pattern index i, monochrome i + 6)                     4,6,1,2,3,5
//      382    12  line-style table, arranged like the fill patterns             1..6      1 (x6),
//                                                                                         1,2,3,4,5,6
//      394    14  colour indexes of the picture parts (PicturePart order)       0..30     see below
//      408     1  frame of the x-y area: 0 open, 1 framed                       0..1      1
//      409     1  frame kind of the title: 0 none, 1 simple, 2 shadow           0..2      0
//      410     1  frame kind of the legend, as the title's                      0..2      1
//      411     1  frame width of the title: 0 picture, 1 diagram, 2 text width  0..2      1
//      412     1  horizontal grid lines: 0 none, 1..3 dash styles               0..3      0
//      413     1  vertical grid lines, as the horizontal ones                   0..3      0
//      414     1  bar width in %                                                10..90    60
//      415     1  filling of histogram classes in %                             20..100   100
//      416     1  overlap of bar charts in %                                    0..80     30
//      417     1  box width of box-and-whisker plots: 0 narrow, 1 normal        0..1      1
//      418     1  picture width when saved: 0 screen size, 1 twice, 2 3 times   0..2      0
//      419     1  saved pictures in colour (0 black and white)                  0/1       1
//      420    20  reserved, written as zeros
//
// Default colour table (red/green/blue): 0 white, 1 black, 2 blue 0/0/255, 3 red 255/0/0, 4 green
// 0/160/0, 5 magenta 255/0/255, 6 teal 0/160/160, 7 olive 160/160/0, 8 navy 0/0/128, 9 dark red 128/0/0,
// 10 dark green 0/100/0, 11 purple 128/0/128, 12 orange 255/128/0, 13 brown 128/64/0, 14 dark grey
// 64/64/64, 15 grey 128/128/128, 16 steel blue 0/64/128, 17 dark cyan 0/128/128, 18 violet 128/0/255,
// 19 pink 255/0/128, 20 medium grey 160/160/160, and the light colours that black-and-white output
// shows as white: 21 light grey 192/192/192, 22 pale grey 224/224/224, 23 pale yellow 255/255/192,
// 24 pale cyan 192/255/255, 25 pale green 192/255/192, 26 pale red 255/192/192, 27 pale blue
// 192/192/255, 28 pale orange 255/224/192, 29 pale violet 224/192/255, 30 yellow 255/255/0.
// Default picture-part colours: background, x-y area, title and legend backgrounds 0 (white), shadow
// 15 (grey), every other part 1 (black).
struct GraphSettings {
  static constexpr std::size_t kRecordSize = 440;
  static constexpr std::size_t kSize = kRecordSize + 2;  // with the two output bytes
  static constexpr int kColours = 31;
  static constexpr int kSeries = 6;
  static constexpr int kTextKinds = 4;
  static constexpr int kPictureParts = 14;
  static constexpr int kMinTextSize = 6;
  static constexpr int kMaxTextSize = 15;

  std::string fontName = "Arial";
  std::uint8_t fontPitch = 1;
  std::array<std::uint8_t, kTextKinds> textSize{9, 9, 9, 9};
  std::array<bool, kTextKinds> textBold{true, false, false, false};
  std::array<Color, kColours> colours = defaultColours();
  std::array<std::uint8_t, kSeries> seriesColour{2, 3, 4, 5, 6, 12};
  std::array<std::uint8_t, kSeries> seriesSymbol{3, 9, 7, 4, 10, 8};
  std::array<std::uint8_t, 2 * kSeries> fillPattern{0, 0, 0, 0, 0, 0, 4, 6, 1, 2, 3, 5};
  std::array<std::uint8_t, 2 * kSeries> lineStyle{1, 1, 1, 1, 1, 1, 1, 2, 3, 4, 5, 6};
  std::array<std::uint8_t, kPictureParts> partColour{0, 0, 1, 1, 1, 1, 15, 1, 0, 1, 1, 0, 1, 1};
  std::uint8_t plotFrame = 1;
  std::uint8_t titleFrame = 0;
  std::uint8_t legendFrame = 1;
  std::uint8_t titleFrameWidth = 1;
  std::uint8_t gridHorizontal = 0;
  std::uint8_t gridVertical = 0;
  std::uint8_t barWidthPercent = 60;
  std::uint8_t histogramFillPercent = 100;
  std::uint8_t barOverlapPercent = 30;
  std::uint8_t boxWidth = 1;
  std::uint8_t savedPictureWidth = 0;
  bool saveInColour = true;
  // The two bytes that follow the record.
  std::uint8_t printOrientation = 0;
  std::uint8_t printDialog = 0;

  static std::array<Color, kColours> defaultColours();
  friend bool operator==(const GraphSettings&, const GraphSettings&) = default;
};

// The 440-byte record followed by the print orientation and the print-dialog byte.
using GraphSettingsRecord = std::array<std::uint8_t, GraphSettings::kSize>;
GraphSettingsRecord EncodeGraphSettings(const GraphSettings& settings);
GraphSettings DecodeGraphSettings(std::span<const std::uint8_t, GraphSettings::kSize> bytes);

// ---------------------------------------------------------------- TSysP

// Character metrics of the screen font that table layouts use.
struct CharMetrics {
  int cellWidth = 0;         // width of "W9999999", the standard cell
  int lineHeight = 0;        // height of "Ep"
  int averageCharWidth = 0;  // width of "WWWWWWWW" / 8, integer division
};

class TSysP {
 public:
  static constexpr std::uint8_t kVersion = 253;
  static constexpr std::size_t kBlockSize = 1026;
  using Block = std::array<std::uint8_t, kBlockSize>;

  // The Ui receives the file layer's messages and must outlive the object.
  TSysP(Ui& ui, std::string fileName);

  const std::string& fileName() const { return m_fileName; }

  // Takes the defaults, then the file's block: a file of another version, or one too short to hold the
  // block, leaves the defaults with the creation date 0 (the file stays as it is until the next save).
  // A missing file gets today's date and the defaults are saved at once. Apply follows separately,
  // since it needs a canvas to measure with.
  void load();
  // Print-save automatic on, default text and graph settings, creation date 0.
  void resetToDefaults();
  // Replaces the file by the block: a temporary file next to it is written, flushed and renamed over
  // it. A failure is reported once through the Ui and leaves the old file as it was; false then.
  bool save();

  const TextSettings& textSettings() const { return m_text; }
  void putTextSettings(const TextSettings& settings) { m_text = settings; }
  // The graph settings together with the print orientation and print-dialog byte.
  const GraphSettings& graphSettings() const { return m_graph; }
  void putGraphSettings(const GraphSettings& settings) { m_graph = settings; }

  bool printSaveAutomaticOff() const { return m_printSaveOff; }
  void setPrintSaveAutomaticOff(bool off) { m_printSaveOff = off; }
  std::int32_t creationDate() const { return m_creationDate; }

  // Measures the character metrics with the screen font (the canvas keeps its own font afterwards).
  void apply(Canvas& canvas);
  const CharMetrics& metrics() const { return m_metrics; }

  // The screen colours for the windows; kButtonFaceColor stays a marker.
  ScreenColours publishColours() const { return m_text.colours; }
  FontSpec screenFont() const { return m_text.screenFont.toFontSpec(); }
  FontSpec printerFont() const { return m_text.printerFont.toFontSpec(); }

  // The block as the file holds it, and the reading of one (with the version check and clamping).
  Block encode() const;
  void decode(const Block& block);

 private:
  Ui& m_ui;
  std::string m_fileName;
  bool m_printSaveOff = false;
  TextSettings m_text;
  GraphSettings m_graph;
  std::int32_t m_creationDate = 0;
  CharMetrics m_metrics;
};

}  // namespace veltrix
