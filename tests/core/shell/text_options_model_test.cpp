#include "core/shell/text_options_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/recording_canvas.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using Kind = test::RecordingCanvas::Kind;

// Plays the colour picker: records each caption and current colour and answers from a list.
struct ScriptedPicker {
  std::vector<std::string> captions;
  std::vector<Color> currents;
  std::vector<std::optional<Color>> answers;

  ColourChooser chooser() {
    return [this](std::string_view caption, Color current) -> std::optional<Color> {
      captions.emplace_back(caption);
      currents.push_back(current);
      if (answers.empty()) {
        ADD_FAILURE() << "unexpected colour picker: " << caption;
        return std::nullopt;
      }
      const std::optional<Color> answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    };
  }
};

class TextOptionsModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir = std::filesystem::path(::testing::TempDir()) / (std::string("veltrix_txtopt_") + info->name());
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
    name = (m_dir / "kvt.sys").string();
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }

  std::filesystem::path m_dir;
  std::string name;
  test::ScriptedUi ui;
  ScriptedPicker picker;
};

TEST(TextOptionsElementsTest, CaptionsAndColourIndexes) {
  struct Case {
    int element;
    const char* caption;  // "" for an element without a colour
    int colour;
  };
  const Case cases[] = {
      {2, "Desktop / Farbe", 1},
      {3, "Hinweis-Panel  / Farbe", 2},
      {4, "Hinweis-Panel  / Schriftfarbe", 3},
      {5, " Titel-Panel / Farbe", 4},
      {6, " Titel-Panel / Schriftfarbe", 5},
      {7, "E/A-Bereich fixed / Farbe", 6},
      {8, "E/A-Bereich / Farbe", 7},
      {9, "E/A-Bereich / Schriftfarbe", 8},
      {11, " Statusanzeige / Farbe", 10},
      {12, " Statusanzeige / Schriftfarbe", 11},
      {13, " markiertes Editfeld / Farbe", 12},
      {0, "", -1},
      {1, "", -1},  // the button bar
      {10, "", -1},
      {14, "", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.element);
    EXPECT_EQ(TextOptionsModel::colourCaption(c.element), c.caption);
    EXPECT_EQ(TextOptionsModel::colourIndex(c.element), c.colour);
    EXPECT_EQ(TextOptionsModel::hasColour(c.element), c.colour >= 0);
  }
}

TEST_F(TextOptionsModelTest, AChosenColourChangesOnlyTheCopy) {
  TSysP sys(ui, name);
  TextOptionsModel model(sys, picker.chooser());
  picker.answers = {Color{0x123456}, std::nullopt};

  EXPECT_TRUE(model.editColour(12));
  EXPECT_EQ(picker.captions.front(), " Statusanzeige / Schriftfarbe");
  EXPECT_EQ(picker.currents.front(), 0x000000u);  // the default status bar text
  EXPECT_EQ(model.settings().colours[11], 0x123456u);
  EXPECT_TRUE(model.changed());
  EXPECT_EQ(sys.textSettings(), TextSettings{});

  // Cancelled: the colour stays. The button bar has no number, so no picker opens.
  EXPECT_FALSE(model.editColour(11));
  EXPECT_EQ(picker.currents.back(), kButtonFaceColor);
  EXPECT_EQ(model.settings().colours[10], kButtonFaceColor);
  EXPECT_FALSE(model.editColour(1));
  EXPECT_EQ(picker.captions.size(), 2u);
}

TEST_F(TextOptionsModelTest, StandardThenOkWritesTheDefaultFontsAndColours) {
  TSysP sys(ui, name);
  sys.load();
  TextSettings custom;
  custom.screenFont = FontRecord{"Courier New", 2, 8, kFontItalic};
  custom.printerFont = FontRecord{"Times New Roman", 1, 14, 0};
  custom.colours[1] = 0x000080;
  sys.putTextSettings(custom);
  ASSERT_TRUE(sys.save());

  TextOptionsModel model(sys, picker.chooser());
  EXPECT_EQ(model.settings(), custom);
  model.restoreDefaults();
  test::RecordingCanvas canvas(7, 15);
  const std::optional<ScreenColours> published = model.accept(canvas);
  ASSERT_TRUE(published.has_value());
  EXPECT_EQ(*published, DefaultScreenColours());
  EXPECT_EQ(sys.metrics().cellWidth, 56);  // applied: eight characters of 7 pixels
  EXPECT_EQ(sys.metrics().lineHeight, 15);

  std::ifstream in(name, std::ios::binary);
  const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
  ASSERT_EQ(file.size(), 1026u);
  const TextSettings written = DecodeTextSettings(
      std::span<const std::uint8_t, TextSettings::kSize>(file.data() + 2, TextSettings::kSize));
  EXPECT_EQ(written.screenFont.name, "Arial");
  EXPECT_EQ(written.screenFont.size, 9);
  EXPECT_EQ(written.printerFont.name, "Arial");
  EXPECT_EQ(written.printerFont.size, 10);
  EXPECT_EQ(written.colours, DefaultScreenColours());
}

TEST_F(TextOptionsModelTest, OkWithoutChangesStoresNothing) {
  TSysP sys(ui, name);
  TextOptionsModel model(sys, picker.chooser());
  picker.answers = {std::nullopt};
  model.editColour(2);  // cancelled
  test::RecordingCanvas canvas;
  EXPECT_FALSE(model.accept(canvas).has_value());
  EXPECT_FALSE(std::filesystem::exists(name));
  EXPECT_EQ(sys.metrics().cellWidth, 0);
}

TEST_F(TextOptionsModelTest, ChosenFontsReplaceTheRecordsAndTheScreenFontStaysSmall) {
  TSysP sys(ui, name);
  TextOptionsModel model(sys, picker.chooser());
  model.setScreenFont(FontRecord{"Verdana", 1, 14, kFontBold});
  EXPECT_EQ(model.settings().screenFont, (FontRecord{"Verdana", 1, 10, kFontBold}));
  model.setPrinterFont(FontRecord{"Verdana", 1, 14, 0});
  EXPECT_EQ(model.settings().printerFont.size, 14);
  EXPECT_TRUE(model.changed());
  // The panels are drawn in the screen font made bold.
  EXPECT_TRUE(model.panelFont(0x00FF00).bold);
  EXPECT_EQ(model.panelFont(0x00FF00).name, "Verdana");
  EXPECT_EQ(model.panelFont(0x00FF00).color, 0x00FF00u);
}

TEST_F(TextOptionsModelTest, ThePictureIsDrawnInTheCopysColoursAndClicksFindTheElements) {
  TSysP sys(ui, name);
  TextSettings s;
  for (std::size_t i = 0; i < s.colours.size(); ++i)
    s.colours[i] = static_cast<Color>(0x100000 * (i + 1) + i);
  sys.putTextSettings(s);
  TextOptionsModel model(sys, picker.chooser());
  test::RecordingCanvas canvas(6, 12);
  const ScreenModelSize size = model.preferredScreenSize(canvas);
  const Rect area{10, 20, 10 + size.width, 20 + size.height};
  const std::vector<ScreenModelPart> parts = model.drawScreen(canvas, area);

  // Each label: the element a click on it hits and the colour entry it is drawn in.
  struct Case {
    const char* text;
    int element;
    int colour;
  };
  const Case labels[] = {
      {"Schalter-Panel ", 0, 9},
      {"Hinweis-Panel ", 4, 3},
      {" Titel-Panel", 6, 5},
      {" C1", 9, 8},
      {"x  ", 9, 8},
      {"  R2", 9, 8},
      {"215.3", 9, 8},
      {" markiertes Editfeld", 13, 8},
      {" Statusanzeige", 12, 11},
  };
  const auto texts = canvas.callsOf(Kind::Text);
  for (const Case& c : labels) {
    SCOPED_TRACE(c.text);
    const auto it =
        std::find_if(texts.begin(), texts.end(), [&c](const auto& call) { return call.text == c.text; });
    ASSERT_NE(it, texts.end());
    EXPECT_EQ(it->color, s.colours[static_cast<std::size_t>(c.colour)]);
    EXPECT_EQ(TextOptionsModel::elementAt(parts, {it->from.x + 1, it->from.y + 1}), c.element);
  }

  // Each background: a point in its fill just off any label.
  const auto fills = canvas.callsOf(Kind::FillRect);
  const auto fillOf = [&fills](Color colour) {
    const auto it =
        std::find_if(fills.begin(), fills.end(), [colour](const auto& f) { return f.color == colour; });
    EXPECT_NE(it, fills.end());
    return it == fills.end() ? Rect{} : it->rect;
  };
  struct Background {
    int colour;
    int element;
  };
  const Background backgrounds[] = {{1, 2}, {2, 3}, {4, 5}, {6, 7}, {10, 11}, {12, 13}};
  for (const Background& b : backgrounds) {
    SCOPED_TRACE(b.colour);
    const Rect r = fillOf(s.colours[static_cast<std::size_t>(b.colour)]);
    EXPECT_EQ(TextOptionsModel::elementAt(parts, {r.left, r.top}), b.element);
  }
  // A number cell away from its text, and the button bar, which carries no number.
  const Rect cell = fills[std::size_t{0}].rect;  // the menu line
  EXPECT_EQ(TextOptionsModel::elementAt(parts, {cell.left, cell.top}), 0);
  EXPECT_EQ(TextOptionsModel::elementAt(parts, {fillOf(s.colours[0]).left, fillOf(s.colours[0]).top}), 0);
  const auto plainCells = std::count_if(fills.begin(), fills.end(), [&s](const auto& f) {
    return f.color == s.colours[7] && f.rect.width() < 100;
  });
  EXPECT_EQ(plainCells, 8);  // a 5 x 3 grid has 4 x 2 number cells
  const auto numberCell = std::find_if(fills.begin() + 1, fills.end(), [&s](const auto& f) {
    return f.color == s.colours[7] && f.rect.width() < 100;
  });
  EXPECT_EQ(TextOptionsModel::elementAt(parts, {numberCell->rect.right - 2, numberCell->rect.bottom - 3}), 8);

  // Outside the picture nothing is hit.
  EXPECT_EQ(TextOptionsModel::elementAt(parts, {area.left - 1, area.top + 40}), 0);
  EXPECT_EQ(TextOptionsModel::elementAt(parts, {area.right, area.bottom - 1}), 0);
}

TEST_F(TextOptionsModelTest, ATooSmallAreaIsNeverDrawnOutside) {
  TSysP sys(ui, name);
  TextOptionsModel model(sys, picker.chooser());
  test::RecordingCanvas canvas(6, 12);
  const Rect area{5, 5, 90, 70};
  const std::vector<ScreenModelPart> parts = model.drawScreen(canvas, area);
  const auto inside = [&area](const Rect& r) {
    return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
  };
  for (const auto& call : canvas.calls()) {
    if (call.kind == Kind::FillRect || call.kind == Kind::Text) {
      EXPECT_TRUE(inside(call.rect)) << call.text;
    }
    if (call.kind == Kind::Line) {
      EXPECT_TRUE(inside(Rect{call.from.x, call.from.y, call.from.x + 1, call.from.y + 1}));
      EXPECT_TRUE(inside(Rect{call.to.x, call.to.y, call.to.x + 1, call.to.y + 1}));
    }
  }
  for (const ScreenModelPart& part : parts) EXPECT_TRUE(inside(part.rect)) << part.element;
  // The status bar stays at the bottom even when the rest does not fit.
  EXPECT_EQ(TextOptionsModel::elementAt(parts, {area.left + 1, area.bottom - 1}), 11);
}

}  // namespace
}  // namespace veltrix
