#include "core/shell/sys_params.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/datafile/date_time.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using Bytes = std::vector<std::uint8_t>;

std::int32_t readInt32(const Bytes& bytes, std::size_t offset) {
  return static_cast<std::int32_t>(bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) |
                                   (static_cast<std::uint32_t>(bytes[offset + 3]) << 24));
}

// Text settings with every field away from its default.
TextSettings sampleText() {
  TextSettings t;
  t.screenFont = FontRecord{"Courier New", 2, 8, kFontItalic};
  t.printerFont = FontRecord{"Times New Roman", 0, 12, kFontBold | kFontStrikeOut};
  t.colours[0] = 0x102030;
  t.colours[7] = 0xFFEEDD;
  t.colours[13] = kButtonFaceColor;
  return t;
}

// Graph settings with every field away from its default.
GraphSettings sampleGraph() {
  GraphSettings g;
  g.fontName = "Größe"_w;
  g.fontPitch = 2;
  g.textSize = {6, 15, 11, 7};
  g.textBold = {false, true, true, false};
  g.colours[0] = 0x010203;
  g.colours[30] = 0xA0B0C0;
  g.seriesColour = {30, 0, 1, 2, 3, 4};
  g.seriesSymbol = {0, 1, 2, 10, 5, 6};
  g.fillPattern = {7, 6, 5, 4, 3, 2, 1, 0, 7, 6, 5, 4};
  g.lineStyle = {6, 5, 4, 3, 2, 1, 6, 5, 4, 3, 2, 1};
  g.partColour = {29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16};
  g.plotFrame = 0;
  g.titleFrame = 2;
  g.legendFrame = 0;
  g.titleFrameWidth = 2;
  g.gridHorizontal = 3;
  g.gridVertical = 2;
  g.barWidthPercent = 10;
  g.histogramFillPercent = 20;
  g.barOverlapPercent = 80;
  g.boxWidth = 0;
  g.savedPictureWidth = 2;
  g.saveInColour = false;
  g.printOrientation = 1;
  g.printDialog = 2;
  return g;
}

class SysParamsTest : public test::TempDirTest {
 protected:
  SysParamsTest() : TempDirTest("veltrix_sys") {}
  void SetUp() override {
    TempDirTest::SetUp();
    name = path("kvt.sys");
  }

  static Bytes load(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void save(const std::string& file, const Bytes& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // The block of a file holding the sample settings, print-save automatic off and 15.3.2024.
  Bytes sampleBlock() {
    TSysP p(ui, name);
    p.putTextSettings(sampleText());
    p.putGraphSettings(sampleGraph());
    p.setPrintSaveAutomaticOff(true);
    const TSysP::Block block = p.encode();
    Bytes bytes(block.begin(), block.end());
    const std::int32_t date = PackDate(15, 3, 2024);
    for (int i = 0; i < 4; ++i)
      bytes[1022 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(date >> (8 * i));
    return bytes;
  }

  std::string name;
  test::ScriptedUi ui;
};

TEST_F(SysParamsTest, FirstStartWritesTheDefaultsWithTodaysDate) {
  const std::int32_t before = Today();
  TSysP p(ui, name);
  p.load();
  const std::int32_t after = Today();

  const Bytes file = load(name);
  ASSERT_EQ(file.size(), 1026u);
  EXPECT_EQ(file[0], 253);
  EXPECT_EQ(file[1], 0);  // print-save automatic on
  // Screen font record at 2: length 5, "Arial", pitch 1 at 2 + 256, size 9 at 2 + 257, style 0 at 2 + 259.
  EXPECT_EQ(file[2], 5);
  EXPECT_EQ(std::string(file.begin() + 3, file.begin() + 8), "Arial");
  EXPECT_EQ(file[258], 1);
  EXPECT_EQ(file[259], 9);
  EXPECT_EQ(file[260], 0);
  EXPECT_EQ(file[261], 0);
  // Printer font record at 262: size 10 at 262 + 257.
  EXPECT_EQ(file[262], 5);
  EXPECT_EQ(file[519], 10);
  // Colour table at 2 + 522: entry 0 the button-face marker 0xFF00000F little-endian, entry 1 255/255/232.
  EXPECT_EQ(Bytes(file.begin() + 524, file.begin() + 532), (Bytes{0x0F, 0, 0, 0xFF, 255, 255, 232, 0}));
  const std::int32_t date = readInt32(file, 1022);
  EXPECT_TRUE(date == before || date == after);
  EXPECT_EQ(p.creationDate(), date);

  TSysP defaults(ui, name);
  defaults.resetToDefaults();
  TSysP::Block expected = defaults.encode();
  for (std::size_t i = 0; i < 4; ++i) expected[1022 + i] = file[1022 + i];
  EXPECT_EQ(file, Bytes(expected.begin(), expected.end()));
}

TEST_F(SysParamsTest, AnotherVersionGivesTheDefaultsWithDateZeroUntilTheNextSave) {
  Bytes block = sampleBlock();
  block[0] = 252;
  save(name, block);

  TSysP p(ui, name);
  p.load();
  EXPECT_EQ(p.textSettings(), TextSettings{});
  EXPECT_EQ(p.graphSettings(), GraphSettings{});
  EXPECT_FALSE(p.printSaveAutomaticOff());
  EXPECT_EQ(p.creationDate(), 0);
  EXPECT_EQ(load(name), block);  // left as it was

  ASSERT_TRUE(p.save());
  const Bytes saved = load(name);
  TSysP defaults(ui, name);
  defaults.resetToDefaults();
  const TSysP::Block expected = defaults.encode();
  EXPECT_EQ(saved, Bytes(expected.begin(), expected.end()));
  EXPECT_EQ(saved[0], 253);
  EXPECT_EQ(readInt32(saved, 1022), 0);
}

TEST_F(SysParamsTest, AFileOfAnySizeOrContentGivesDefaultsOrItsOwnValues) {
  const Bytes valid = sampleBlock();
  std::mt19937 random(20240315);
  Bytes noise(1026);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  Bytes noiseVersion253 = noise;
  noiseVersion253[0] = 253;
  Bytes wrongVersion = valid;
  wrongVersion[0] = 0;
  Bytes longer = valid;
  longer.push_back(0x55);

  struct Case {
    const char* label;
    Bytes content;
    bool fileValues;  // the sample's values, otherwise the defaults with date 0
  };
  const Case cases[] = {
      {"empty file", {}, false},
      {"1025 bytes of a valid block", Bytes(valid.begin(), valid.end() - 1), false},
      {"1027 bytes: a valid block and one more", longer, true},
      {"version 0", wrongVersion, false},
      {"random bytes", noise, false},  // the seed's first byte is not 253
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    save(name, c.content);
    TSysP p(ui, name);
    p.load();
    if (c.fileValues) {
      EXPECT_EQ(p.textSettings(), sampleText());
      EXPECT_EQ(p.graphSettings(), sampleGraph());
      EXPECT_TRUE(p.printSaveAutomaticOff());
      EXPECT_EQ(p.creationDate(), PackDate(15, 3, 2024));
    } else {
      EXPECT_EQ(p.textSettings(), TextSettings{});
      EXPECT_EQ(p.graphSettings(), GraphSettings{});
      EXPECT_EQ(p.creationDate(), 0);
    }
    EXPECT_EQ(load(name), c.content);  // loading never writes an existing file
  }
  ASSERT_NE(noise[0], 253);

  // Random bytes with the right version: every value lands in its range, and what is read is read
  // again unchanged after a save.
  save(name, noiseVersion253);
  TSysP p(ui, name);
  p.load();
  const TextSettings& t = p.textSettings();
  for (const FontRecord* font : {&t.screenFont, &t.printerFont}) {
    EXPECT_GE(font->size, kMinFontSize);
    EXPECT_LE(font->size, kMaxFontSize);
    EXPECT_LE(font->pitch, 2);
    EXPECT_LE(font->style, 15);
    EXPECT_FALSE(font->name.empty());
  }
  for (const Color c : t.colours) EXPECT_TRUE(c <= 0xFFFFFF || c == kButtonFaceColor);
  const GraphSettings& g = p.graphSettings();
  for (const int size : g.textSize) {
    EXPECT_GE(size, 6);
    EXPECT_LE(size, 15);
  }
  for (const int index : g.seriesColour) EXPECT_LE(index, 30);
  for (const int index : g.partColour) EXPECT_LE(index, 30);
  for (const int symbol : g.seriesSymbol) EXPECT_LE(symbol, 10);
  for (const int style : g.lineStyle) {
    EXPECT_GE(style, 1);
    EXPECT_LE(style, 6);
  }
  EXPECT_GE(g.barWidthPercent, 10);
  EXPECT_LE(g.barWidthPercent, 90);
  EXPECT_GE(g.histogramFillPercent, 20);
  EXPECT_LE(g.barOverlapPercent, 80);
  EXPECT_LE(g.printDialog, 2);
  ASSERT_TRUE(p.save());
  TSysP again(ui, name);
  again.load();
  EXPECT_EQ(again.textSettings(), p.textSettings());
  EXPECT_EQ(again.graphSettings(), p.graphSettings());
  EXPECT_EQ(again.creationDate(), p.creationDate());
}

TEST_F(SysParamsTest, SettingsSurviveASaveAndALoad) {
  TSysP p(ui, name);
  p.load();
  p.putTextSettings(sampleText());
  p.putGraphSettings(sampleGraph());
  p.setPrintSaveAutomaticOff(true);
  ASSERT_TRUE(p.save());
  EXPECT_EQ(std::filesystem::file_size(name), 1026u);
  EXPECT_FALSE(std::filesystem::exists(name + ".$$$"));

  TSysP q(ui, name);
  q.load();
  EXPECT_EQ(q.textSettings(), sampleText());
  EXPECT_EQ(q.graphSettings(), sampleGraph());
  EXPECT_TRUE(q.printSaveAutomaticOff());
  EXPECT_EQ(q.creationDate(), p.creationDate());
  EXPECT_EQ(load(name)[1], 1);
}

TEST_F(SysParamsTest, SavingKeepsAPrivateFileAndItsLinkAndFollowsNoPlantedLink) {
  // The settings file is private and lives in another directory through a symbolic link; a link to a
  // victim lies under the name the temporary file used to have.
  std::filesystem::create_directory(m_dir / "config");
  const std::string real = path("config/kvt.sys");
  {
    TSysP first(ui, real);
    first.load();
  }
  ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
  ASSERT_EQ(::symlink("config/kvt.sys", name.c_str()), 0);
  const std::string victim = path("victim.txt");
  save(victim, Bytes{'x'});
  ASSERT_EQ(::symlink(victim.c_str(), (name + ".$$$").c_str()), 0);
  ASSERT_EQ(::symlink(victim.c_str(), (real + ".$$$").c_str()), 0);

  TSysP p(ui, name);
  p.load();
  p.setPrintSaveAutomaticOff(true);
  ASSERT_TRUE(p.save());
  EXPECT_TRUE(std::filesystem::is_symlink(name)) << "the link stays";
  EXPECT_EQ(load(real)[1], 1) << "the file behind it is written";
  struct stat info {};
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u) << "and stays private";
  EXPECT_EQ(load(victim), Bytes{'x'});
}

TEST_F(SysParamsTest, ANamedPipeAsSettingsFileIsReportedInsteadOfBlockingTheStart) {
  ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0);
  ui.expectError(name + std::string(": Datei kann nicht geöffnet werden!"_w));
  TSysP p(ui, name);
  p.load();
  EXPECT_TRUE(ui.allPlayed());
  EXPECT_EQ(p.textSettings(), TextSettings{}) << "the defaults";
  ui.expectError(name + ": Schreibfehler!");
  EXPECT_FALSE(p.save()) << "a pipe is not replaced by a file";
  struct stat info {};
  ASSERT_EQ(::lstat(name.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST(GraphSettingsTest, RecordLayoutAndRoundTrip) {
  const GraphSettings g = sampleGraph();
  const GraphSettingsRecord bytes = EncodeGraphSettings(g);
  // Positions from the layout table of the record; "Größe" is 5 Windows-1252 bytes.
  EXPECT_EQ(bytes[0], 5);
  EXPECT_EQ(bytes[3], 0xF6);  // ö
  EXPECT_EQ(bytes[256], 2);
  EXPECT_EQ(bytes[258], 15);  // axis label size
  EXPECT_EQ(bytes[262], 1);   // axis labels bold
  EXPECT_EQ(bytes[265], 0x01);
  EXPECT_EQ(bytes[266], 0x02);
  EXPECT_EQ(bytes[267], 0x03);       // colour 0 as red, green, blue
  EXPECT_EQ(bytes[265 + 90], 0xA0);  // colour 30
  EXPECT_EQ(bytes[358], 30);         // series 1 colour
  EXPECT_EQ(bytes[367], 10);         // series 4 symbol
  EXPECT_EQ(bytes[370 + 7], 0);      // monochrome fill of series 2
  EXPECT_EQ(bytes[382], 6);          // screen line style of series 1
  EXPECT_EQ(bytes[394 + 13], 16);    // colour of the footers
  EXPECT_EQ(bytes[414], 10);
  EXPECT_EQ(bytes[416], 80);
  EXPECT_EQ(bytes[419], 0);
  EXPECT_EQ(bytes[440], 1);  // print orientation after the record
  EXPECT_EQ(bytes[441], 2);  // print dialog
  for (std::size_t i = 420; i < 440; ++i) EXPECT_EQ(bytes[i], 0) << i;

  EXPECT_EQ(DecodeGraphSettings(bytes), g);
  EXPECT_EQ(DecodeGraphSettings(EncodeGraphSettings(GraphSettings{})), GraphSettings{});
}

TEST(GraphSettingsTest, ValuesOutsideTheirRangesAreClamped) {
  GraphSettingsRecord bytes = EncodeGraphSettings(GraphSettings{});
  bytes[0] = 0;      // no font name
  bytes[256] = 9;    // pitch
  bytes[257] = 0;    // title size
  bytes[258] = 200;  // axis label size
  bytes[358] = 31;   // series 1 colour
  bytes[364] = 255;  // series 1 symbol
  bytes[370] = 8;    // fill pattern
  bytes[382] = 0;    // line style
  bytes[394] = 99;   // background colour
  bytes[412] = 4;    // grid
  bytes[414] = 5;    // bar width
  bytes[415] = 101;  // histogram fill
  bytes[416] = 81;   // overlap
  bytes[418] = 3;    // saved width
  bytes[440] = 2;    // orientation
  bytes[441] = 3;    // print dialog
  const GraphSettings g = DecodeGraphSettings(bytes);
  EXPECT_EQ(g.fontName, "Arial");
  EXPECT_EQ(g.fontPitch, 2);
  EXPECT_EQ(g.textSize[0], 6);
  EXPECT_EQ(g.textSize[1], 15);
  EXPECT_EQ(g.seriesColour[0], 30);
  EXPECT_EQ(g.seriesSymbol[0], 10);
  EXPECT_EQ(g.fillPattern[0], 7);
  EXPECT_EQ(g.lineStyle[0], 1);
  EXPECT_EQ(g.partColour[0], 30);
  EXPECT_EQ(g.gridHorizontal, 3);
  EXPECT_EQ(g.barWidthPercent, 10);
  EXPECT_EQ(g.histogramFillPercent, 100);
  EXPECT_EQ(g.barOverlapPercent, 80);
  EXPECT_EQ(g.savedPictureWidth, 2);
  EXPECT_EQ(g.printOrientation, 1);
  EXPECT_EQ(g.printDialog, 2);
}

TEST(TextSettingsTest, ColoursAreStoredRedFirstAndFontsAreClamped) {
  TextSettings t;
  t.colours[2] = 0x123456;
  TextSettingsRecord bytes = EncodeTextSettings(t);
  // Entry 2 at 522 + 8: red 0x12, green 0x34, blue 0x56, zero.
  EXPECT_EQ(bytes[530], 0x12);
  EXPECT_EQ(bytes[531], 0x34);
  EXPECT_EQ(bytes[532], 0x56);
  EXPECT_EQ(bytes[533], 0);

  bytes[533] = 0x7F;  // a high byte other than the marker's is dropped
  bytes[257] = 0xFB;  // screen font size -5
  bytes[258] = 0xFF;
  bytes[260 + 257] = 0x2C;  // printer font size 300
  bytes[260 + 258] = 0x01;
  bytes[260 + 259] = 0xFF;  // every style bit
  bytes[260] = 0;           // printer font without a name
  const TextSettings back = DecodeTextSettings(bytes);
  EXPECT_EQ(back.colours[2], 0x123456u);
  EXPECT_EQ(back.colours[0], kButtonFaceColor);
  EXPECT_EQ(back.screenFont.size, kMinFontSize);
  EXPECT_EQ(back.printerFont.size, kMaxFontSize);
  EXPECT_EQ(back.printerFont.style, 15);
  EXPECT_EQ(back.printerFont.name, "Arial");
}

TEST_F(SysParamsTest, ApplyMeasuresWithTheScreenFontAndFontsAreBlack) {
  TSysP p(ui, name);
  TextSettings t;
  t.screenFont = FontRecord{"Courier New", 2, 8, kFontBold | kFontUnderline | kFontStrikeOut};
  p.putTextSettings(t);
  test::RecordingCanvas canvas(8, 14);
  canvas.setCharWidth('W', 12);
  const FontSpec before = canvas.font();
  p.apply(canvas);
  // "W9999999": 12 + 7 * 8 = 68; "WWWWWWWW": 8 * 12 / 8 = 12; the line height is the canvas's 14.
  EXPECT_EQ(p.metrics().cellWidth, 68);
  EXPECT_EQ(p.metrics().lineHeight, 14);
  EXPECT_EQ(p.metrics().averageCharWidth, 12);
  EXPECT_EQ(canvas.font(), before);

  const FontSpec screen = p.screenFont();
  EXPECT_EQ(canvas.callsOf(test::RecordingCanvas::Kind::SetFont).front().font, screen);
  EXPECT_EQ(screen.name, "Courier New");
  EXPECT_EQ(screen.pointSize, 8);
  EXPECT_TRUE(screen.bold);
  EXPECT_TRUE(screen.underline);
  EXPECT_FALSE(screen.italic);
  EXPECT_EQ(screen.color, 0x000000u);
  EXPECT_EQ(p.printerFont().pointSize, 10);
}

TEST_F(SysParamsTest, AnUnwritableDirectoryIsReportedOnceAndTheDefaultsStay) {
  // A regular file stands where the directory should be, so nothing can be created below it (this
  // holds for root as well, unlike missing write permission).
  save((m_dir / "blocked").string(), {1});
  const std::string blocked = (m_dir / "blocked" / "kvt.sys").string();
  // The message names the settings file, never a temporary name.
  ui.expectError(blocked + ": Schreibfehler!");
  TSysP p(ui, blocked);
  p.load();
  EXPECT_TRUE(ui.allPlayed());
  EXPECT_EQ(p.textSettings(), TextSettings{});
  EXPECT_NE(p.creationDate(), 0);

  ui.expectError(blocked + ": Schreibfehler!");
  EXPECT_FALSE(p.save());
}

}  // namespace
}  // namespace veltrix
