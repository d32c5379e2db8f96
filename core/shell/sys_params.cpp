#include "core/shell/sys_params.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "core/base/ui.h"
#include "core/datafile/date_time.h"
#include "core/datafile/file_names.h"
#include "core/datafile/file_objects.h"
#include "core/stats/marked_line.h"

namespace veltrix {

namespace {

constexpr std::string_view kDefaultFontName = "Arial";
constexpr std::string_view kWriteError = "Schreibfehler!";

// Offsets in the 1026-byte block.
constexpr std::size_t kVersionOffset = 0;
constexpr std::size_t kPrintSaveOffset = 1;
constexpr std::size_t kTextOffset = 2;
constexpr std::size_t kGraphOffset = kTextOffset + TextSettings::kSize;   // 580, with its two bytes
constexpr std::size_t kDateOffset = kGraphOffset + GraphSettings::kSize;  // 1022
static_assert(kDateOffset + 4 == TSysP::kBlockSize);

// Offsets in the text settings record.
constexpr std::size_t kScreenFontOffset = 0;
constexpr std::size_t kPrinterFontOffset = FontRecord::kSize;
constexpr std::size_t kModeAOffset = 2 * FontRecord::kSize;
constexpr std::size_t kModeBOffset = kModeAOffset + 1;
constexpr std::size_t kColourTableOffset = kModeBOffset + 1;
static_assert(kColourTableOffset + 4 * kScreenColours == TextSettings::kSize);

// Offsets in the graph settings record (the table in the header).
constexpr std::size_t kGraphFontName = 0;
constexpr std::size_t kGraphPitch = 256;
constexpr std::size_t kGraphTextSize = 257;
constexpr std::size_t kGraphTextBold = 261;
constexpr std::size_t kGraphColours = 265;
constexpr std::size_t kGraphSeriesColour = kGraphColours + 3 * GraphSettings::kColours;  // 358
constexpr std::size_t kGraphSeriesSymbol = 364;
constexpr std::size_t kGraphFillPattern = 370;
constexpr std::size_t kGraphLineStyle = 382;
constexpr std::size_t kGraphPartColour = 394;
constexpr std::size_t kGraphPlotFrame = 408;
constexpr std::size_t kGraphTitleFrame = 409;
constexpr std::size_t kGraphLegendFrame = 410;
constexpr std::size_t kGraphTitleFrameWidth = 411;
constexpr std::size_t kGraphGridHorizontal = 412;
constexpr std::size_t kGraphGridVertical = 413;
constexpr std::size_t kGraphBarWidth = 414;
constexpr std::size_t kGraphHistogramFill = 415;
constexpr std::size_t kGraphBarOverlap = 416;
constexpr std::size_t kGraphBoxWidth = 417;
constexpr std::size_t kGraphSavedWidth = 418;
constexpr std::size_t kGraphSaveInColour = 419;
constexpr std::size_t kGraphReserved = 420;
constexpr std::size_t kGraphOrientation = GraphSettings::kRecordSize;
constexpr std::size_t kGraphPrintDialog = GraphSettings::kRecordSize + 1;
static_assert(kGraphSeriesColour == 358 && kGraphReserved + 20 == GraphSettings::kRecordSize);

constexpr Color rgb(int red, int green, int blue) {
  return static_cast<Color>((red << 16) | (green << 8) | blue);
}

std::uint32_t readUint32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void writeUint32(std::uint32_t value, std::uint8_t* p) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint8_t clampByte(std::uint8_t value, int low, int high) {
  return static_cast<std::uint8_t>(std::clamp(static_cast<int>(value), low, high));
}

// Length-prefixed string of up to 255 characters in 256 bytes; the unused rest is zero.
void writeShortString(std::string_view text, std::uint8_t* p) {
  const std::size_t length = std::min<std::size_t>(text.size(), 255);
  std::fill(p, p + 256, std::uint8_t{0});
  p[0] = static_cast<std::uint8_t>(length);
  std::copy_n(text.begin(), length, p + 1);
}

// An empty name would leave the choice of font to chance.
std::string readFontName(const std::uint8_t* p) {
  std::string name(reinterpret_cast<const char*>(p + 1), p[0]);
  if (name.empty()) name = kDefaultFontName;
  return name;
}

void encodeFont(const FontRecord& font, std::uint8_t* p) {
  writeShortString(font.name, p);
  p[256] = font.pitch;
  const auto size = static_cast<std::uint16_t>(font.size);
  p[257] = static_cast<std::uint8_t>(size & 0xFF);
  p[258] = static_cast<std::uint8_t>(size >> 8);
  p[259] = font.style;
}

FontRecord decodeFont(const std::uint8_t* p) {
  FontRecord font;
  font.name = readFontName(p);
  font.pitch = clampByte(p[256], 0, 2);
  const auto size = static_cast<std::int16_t>(static_cast<std::uint16_t>(p[257] | (p[258] << 8)));
  font.size = static_cast<std::int16_t>(std::clamp<int>(size, kMinFontSize, kMaxFontSize));
  font.style =
      static_cast<std::uint8_t>(p[259] & (kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut));
  return font;
}

// Stored colours are red, green, blue, zero in byte order; the button-face marker is stored as it is.
std::uint32_t storedColour(Color colour) {
  if (colour == kButtonFaceColor) return kButtonFaceColor;
  return ((colour >> 16) & 0xFF) | (colour & 0xFF00) | ((colour & 0xFF) << 16);
}

// Any other value with a high byte is taken as the colour of its three low bytes.
Color colourFromStored(std::uint32_t value) {
  if (value == kButtonFaceColor) return kButtonFaceColor;
  return rgb(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
             static_cast<int>((value >> 16) & 0xFF));
}

template <std::size_t N>
void copyClamped(const std::uint8_t* p, std::array<std::uint8_t, N>& target, int low, int high) {
  for (std::size_t i = 0; i < N; ++i) target[i] = clampByte(p[i], low, high);
}

}  // namespace

// ---------------------------------------------------------------- fonts and text settings

FontSpec FontRecord::toFontSpec() const {
  FontSpec font;
  font.name = name;
  font.pointSize = size;
  font.bold = (style & kFontBold) != 0;
  font.italic = (style & kFontItalic) != 0;
  font.underline = (style & kFontUnderline) != 0;
  font.color = 0x000000;
  return font;
}

ScreenColours DefaultScreenColours() {
  return {kButtonFaceColor, rgb(255, 255, 232), rgb(192, 255, 255), rgb(255, 0, 0),  rgb(255, 255, 160),
          rgb(0, 0, 160),   rgb(224, 255, 255), rgb(255, 255, 255), rgb(0, 0, 0),    rgb(0, 0, 0),
          kButtonFaceColor, rgb(0, 0, 0),       rgb(224, 255, 255), rgb(0, 255, 255)};
}

TextSettingsRecord EncodeTextSettings(const TextSettings& settings) {
  TextSettingsRecord bytes{};
  encodeFont(settings.screenFont, bytes.data() + kScreenFontOffset);
  encodeFont(settings.printerFont, bytes.data() + kPrinterFontOffset);
  bytes[kModeAOffset] = settings.fontButtonModeA;
  bytes[kModeBOffset] = settings.fontButtonModeB;
  for (int i = 0; i < kScreenColours; ++i)
    writeUint32(storedColour(settings.colours[static_cast<std::size_t>(i)]),
                bytes.data() + kColourTableOffset + 4 * static_cast<std::size_t>(i));
  return bytes;
}

TextSettings DecodeTextSettings(std::span<const std::uint8_t, TextSettings::kSize> bytes) {
  TextSettings settings;
  settings.screenFont = decodeFont(bytes.data() + kScreenFontOffset);
  settings.printerFont = decodeFont(bytes.data() + kPrinterFontOffset);
  settings.fontButtonModeA = bytes[kModeAOffset];
  settings.fontButtonModeB = bytes[kModeBOffset];
  for (int i = 0; i < kScreenColours; ++i)
    settings.colours[static_cast<std::size_t>(i)] =
        colourFromStored(readUint32(bytes.data() + kColourTableOffset + 4 * static_cast<std::size_t>(i)));
  return settings;
}

// ---------------------------------------------------------------- graph settings

std::array<Color, GraphSettings::kColours> GraphSettings::defaultColours() {
  return {rgb(255, 255, 255), rgb(0, 0, 0),       rgb(0, 0, 255),     rgb(255, 0, 0),     rgb(0, 160, 0),
          rgb(255, 0, 255),   rgb(0, 160, 160),   rgb(160, 160, 0),   rgb(0, 0, 128),     rgb(128, 0, 0),
          rgb(0, 100, 0),     rgb(128, 0, 128),   rgb(255, 128, 0),   rgb(128, 64, 0),    rgb(64, 64, 64),
          rgb(128, 128, 128), rgb(0, 64, 128),    rgb(0, 128, 128),   rgb(128, 0, 255),   rgb(255, 0, 128),
          rgb(160, 160, 160), rgb(192, 192, 192), rgb(224, 224, 224), rgb(255, 255, 192), rgb(192, 255, 255),
          rgb(192, 255, 192), rgb(255, 192, 192), rgb(192, 192, 255), rgb(255, 224, 192), rgb(224, 192, 255),
          rgb(255, 255, 0)};
}

GraphSettingsRecord EncodeGraphSettings(const GraphSettings& s) {
  GraphSettingsRecord bytes{};
  std::uint8_t* p = bytes.data();
  writeShortString(s.fontName, p + kGraphFontName);
  p[kGraphPitch] = s.fontPitch;
  for (int k = 0; k < GraphSettings::kTextKinds; ++k) {
    const auto i = static_cast<std::size_t>(k);
    p[kGraphTextSize + i] = s.textSize[i];
    p[kGraphTextBold + i] = s.textBold[i] ? 1 : 0;
  }
  for (int c = 0; c < GraphSettings::kColours; ++c) {
    const Color colour = s.colours[static_cast<std::size_t>(c)];
    std::uint8_t* entry = p + kGraphColours + 3 * static_cast<std::size_t>(c);
    entry[0] = static_cast<std::uint8_t>(colour >> 16);
    entry[1] = static_cast<std::uint8_t>(colour >> 8);
    entry[2] = static_cast<std::uint8_t>(colour);
  }
  std::copy(s.seriesColour.begin(), s.seriesColour.end(), p + kGraphSeriesColour);
  std::copy(s.seriesSymbol.begin(), s.seriesSymbol.end(), p + kGraphSeriesSymbol);
  std::copy(s.fillPattern.begin(), s.fillPattern.end(), p + kGraphFillPattern);
  std::copy(s.lineStyle.begin(), s.lineStyle.end(), p + kGraphLineStyle);
  std::copy(s.partColour.begin(), s.partColour.end(), p + kGraphPartColour);
  p[kGraphPlotFrame] = s.plotFrame;
  p[kGraphTitleFrame] = s.titleFrame;
  p[kGraphLegendFrame] = s.legendFrame;
  p[kGraphTitleFrameWidth] = s.titleFrameWidth;
  p[kGraphGridHorizontal] = s.gridHorizontal;
  p[kGraphGridVertical] = s.gridVertical;
  p[kGraphBarWidth] = s.barWidthPercent;
  p[kGraphHistogramFill] = s.histogramFillPercent;
  p[kGraphBarOverlap] = s.barOverlapPercent;
  p[kGraphBoxWidth] = s.boxWidth;
  p[kGraphSavedWidth] = s.savedPictureWidth;
  p[kGraphSaveInColour] = s.saveInColour ? 1 : 0;
  p[kGraphOrientation] = s.printOrientation;
  p[kGraphPrintDialog] = s.printDialog;
  return bytes;
}

GraphSettings DecodeGraphSettings(std::span<const std::uint8_t, GraphSettings::kSize> bytes) {
  const std::uint8_t* p = bytes.data();
  GraphSettings s;
  s.fontName = readFontName(p + kGraphFontName);
  s.fontPitch = clampByte(p[kGraphPitch], 0, 2);
  copyClamped(p + kGraphTextSize, s.textSize, GraphSettings::kMinTextSize, GraphSettings::kMaxTextSize);
  for (int k = 0; k < GraphSettings::kTextKinds; ++k)
    s.textBold[static_cast<std::size_t>(k)] = p[kGraphTextBold + static_cast<std::size_t>(k)] != 0;
  for (int c = 0; c < GraphSettings::kColours; ++c) {
    const std::uint8_t* entry = p + kGraphColours + 3 * static_cast<std::size_t>(c);
    s.colours[static_cast<std::size_t>(c)] = rgb(entry[0], entry[1], entry[2]);
  }
  constexpr int kLastColour = GraphSettings::kColours - 1;
  copyClamped(p + kGraphSeriesColour, s.seriesColour, 0, kLastColour);
  copyClamped(p + kGraphSeriesSymbol, s.seriesSymbol, 0, 10);
  copyClamped(p + kGraphFillPattern, s.fillPattern, 0, 7);
  copyClamped(p + kGraphLineStyle, s.lineStyle, 1, 6);
  copyClamped(p + kGraphPartColour, s.partColour, 0, kLastColour);
  s.plotFrame = clampByte(p[kGraphPlotFrame], 0, 1);
  s.titleFrame = clampByte(p[kGraphTitleFrame], 0, 2);
  s.legendFrame = clampByte(p[kGraphLegendFrame], 0, 2);
  s.titleFrameWidth = clampByte(p[kGraphTitleFrameWidth], 0, 2);
  s.gridHorizontal = clampByte(p[kGraphGridHorizontal], 0, 3);
  s.gridVertical = clampByte(p[kGraphGridVertical], 0, 3);
  s.barWidthPercent = clampByte(p[kGraphBarWidth], 10, 90);
  s.histogramFillPercent = clampByte(p[kGraphHistogramFill], 20, 100);
  s.barOverlapPercent = clampByte(p[kGraphBarOverlap], 0, 80);
  s.boxWidth = clampByte(p[kGraphBoxWidth], 0, 1);
  s.savedPictureWidth = clampByte(p[kGraphSavedWidth], 0, 2);
  s.saveInColour = p[kGraphSaveInColour] != 0;
  s.printOrientation = clampByte(p[kGraphOrientation], 0, 1);
  s.printDialog = clampByte(p[kGraphPrintDialog], 0, 2);
  return s;
}

// ---------------------------------------------------------------- TSysP

TSysP::TSysP(Ui& ui, std::string fileName) : m_ui(ui), m_fileName(std::move(fileName)) {}

void TSysP::resetToDefaults() {
  m_printSaveOff = false;
  m_text = TextSettings{};
  m_graph = GraphSettings{};
  m_creationDate = 0;
}

TSysP::Block TSysP::encode() const {
  Block block{};
  block[kVersionOffset] = kVersion;
  block[kPrintSaveOffset] = m_printSaveOff ? 1 : 0;
  const TextSettingsRecord text = EncodeTextSettings(m_text);
  std::copy(text.begin(), text.end(), block.begin() + kTextOffset);
  const GraphSettingsRecord graph = EncodeGraphSettings(m_graph);
  std::copy(graph.begin(), graph.end(), block.begin() + kGraphOffset);
  writeUint32(static_cast<std::uint32_t>(m_creationDate), block.data() + kDateOffset);
  return block;
}

void TSysP::decode(const Block& block) {
  resetToDefaults();
  if (block[kVersionOffset] != kVersion) return;
  m_printSaveOff = block[kPrintSaveOffset] != 0;
  m_text = DecodeTextSettings(
      std::span<const std::uint8_t, TextSettings::kSize>(block.data() + kTextOffset, TextSettings::kSize));
  m_graph = DecodeGraphSettings(
      std::span<const std::uint8_t, GraphSettings::kSize>(block.data() + kGraphOffset, GraphSettings::kSize));
  m_creationDate = static_cast<std::int32_t>(readUint32(block.data() + kDateOffset));
}

void TSysP::load() {
  resetToDefaults();
  // Only a name under which there is nothing gets the defaults written at once. Anything else (a
  // link loop, a directory, a pipe) is opened below, and the file layer says why that fails.
  if (ProbeFile(m_fileName).kind == EntryKind::Missing) {
    m_creationDate = Today();
    save();
    return;
  }
  Block block{};
  TRndFile file(m_ui);
  if (!file.openForReading(m_fileName)) return;  // reported by the file object
  const std::int32_t got = file.read(block.data(), static_cast<std::int32_t>(block.size()));
  file.close();
  // A short file holds no whole block: it counts as one of another version. A longer one is read as
  // the block it starts with.
  if (file.error() || got != static_cast<std::int32_t>(block.size())) return;
  decode(block);
}

bool TSysP::save() {
  if (m_fileName.empty()) return false;
  const Block block = encode();
  // Written through a temporary file that takes the old file's permissions (and keeps a symbolic link
  // of that name), so the settings are never half-written and a private file stays private.
  const std::string_view bytes(reinterpret_cast<const char*>(block.data()), block.size());
  if (!ReplaceFileSafely(m_fileName, bytes)) {
    ShowFileError(m_ui, m_fileName, kWriteError);
    return false;
  }
  return true;
}

void TSysP::apply(Canvas& canvas) {
  const FontSpec previous = canvas.font();
  canvas.setFont(screenFont());
  const CellSize cell = CellMetrics(canvas);
  m_metrics.cellWidth = cell.cellWidth;
  m_metrics.lineHeight = cell.lineHeight;
  m_metrics.averageCharWidth = canvas.textWidth("WWWWWWWW") / 8;
  canvas.setFont(previous);
}

}  // namespace veltrix
