#include "core/stats/marked_line.h"

#include <gtest/gtest.h>

#include <random>

#include "core/base/win1252.h"
#include "tests/support/recording_canvas.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using test::RecordingCanvas;
using Kind = RecordingCanvas::Kind;

TEST(MarkCell, BuildsPrefixMarkAndTrimmedText) {
  struct Case {
    std::string text;
    int width;
    int align;
    int decimals;
    std::string expected;
  };
  const Case cases[] = {
      {"  12.5 ", 0, 1, 2,
       "}2"
       "12.5 "},  // right: only leading blanks go
      {" x ", 5, 1, 0, "@5~x "},
      {" Titel ", 0, 0, 0, std::string("Ç"_w) + "Titel"},
      {"  abc  ", 0, -2, 0, std::string("»"_w) + "  abc"},
      {"  abc  ", 0, -1, 3, "{3  abc"},
      {"abc ", 4, -1, 0, "@4abc"},  // left-aligned after a width prefix: no mark
      {"abc ", 0, -1, 0, "@0abc"},  // without one: "@0"
      {"|", 9, 1, 2, "@9|"},        // rules keep only the width prefix
      {std::string("³"_w), 0, 0, 0, std::string("³"_w)},
      {"x", 74, -1, 0, "@zx"},      // width 74 is the letter z
      {"x", 300, -1, 0, "@\xFFx"},  // beyond the last byte: 207
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.text + "\"");
    EXPECT_EQ(MarkCell(c.text, c.width, c.align, c.decimals), c.expected);
  }
}

TEST(CellMetrics, MeasuresEightStandardCharactersAndTheLineHeight) {
  RecordingCanvas canvas(8, 14);
  canvas.setCharWidth('W', 12);
  const CellSize size = CellMetrics(canvas);
  EXPECT_EQ(size.cellWidth, 12 + 7 * 8);  // "W9999999"
  EXPECT_EQ(size.lineHeight, 14);
}

struct TextAt {
  int x;
  std::string text;
  int clipLeft;
  int clipRight;
};

std::vector<TextAt> textsOf(const RecordingCanvas& canvas) {
  std::vector<TextAt> texts;
  for (const auto& call : canvas.callsOf(Kind::Text))
    texts.push_back({call.from.x, call.text, call.rect.left, call.rect.right});
  return texts;
}

// A line 800 pixels wide and 20 high; characters 8 pixels (width8 = 64), text height 14. Hand
// computation: top = (0 + 20 - 14) / 2 = 3; the line is narrowed by 64 / 20 = 3 pixels on both sides,
// leaving 3..797; a width prefix of d characters is (64 d + 8) / 8 = 8 d + 1 pixels.
TEST(DrawMarkedLine, PlacesTheSegmentsOfALine) {
  struct Case {
    std::string line;
    std::vector<TextAt> texts;
  };
  const Case cases[] = {
      {"abc", {{3, "abc", 3, 797}}},
      {"~abc", {{797 - 24, "abc", 3, 797}}},
      {std::string("Ç"_w) + "ab", {{3 + (794 - 16) / 2, "ab", 3, 797}}},
      {"@5abc@3~de", {{3, "abc", 3, 44}, {44 + 25 - 16, "de", 44, 69}}},
      {"Titel~Seite 1", {{3, "Titel", 3, 797}, {797 - 56, "Seite 1", 3, 797}}},
      // "{3": the first three characters end 3 character widths (24 px) after the segment start.
      {"@9{3 12 Name", {{3 + 24 - 24, " 12 Name", 3, 76}}},
      {"{5ab", {{3 + 40 - 40, "ab", 3, 797}}},  // padded to 5 characters: starts at the segment
      // "}2": everything but the last 2 characters ends 2 widths (16 px) before the segment end.
      {"@9}2 1.50", {{76 - 16 - 24, " 1.50", 3, 76}}},
      // Marks at the end of the text with nothing after them draw nothing.
      {"abc@", {{3, "abc", 3, 797}}},
      {"abc{", {{3, "abc", 3, 797}}},
      {"}", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.line + "\"");
    RecordingCanvas canvas(8, 14);
    DrawMarkedLine(canvas, Rect{0, 0, 800, 20}, 64, c.line, 14);
    const auto texts = textsOf(canvas);
    ASSERT_EQ(texts.size(), c.texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(texts[i].x, c.texts[i].x) << i;
      EXPECT_EQ(texts[i].text, c.texts[i].text) << i;
      EXPECT_EQ(texts[i].clipLeft, c.texts[i].clipLeft) << i;
      EXPECT_EQ(texts[i].clipRight, c.texts[i].clipRight) << i;
    }
    for (const auto& call : canvas.callsOf(Kind::Text)) EXPECT_EQ(call.from.y, 3);
  }
}

TEST(DrawMarkedLine, AlignmentMarksWithAProportionalFont) {
  RecordingCanvas canvas(8, 14);
  canvas.setCharWidth(' ', 4);
  canvas.setCharWidth('*', 4);
  canvas.setCharWidth('i', 3);
  // "}1": the significance mark hangs beyond the point 8 px before the end (797 - 8 = 789); the
  // number " 12.5" is 4 + 4 * 8 = 36 px wide, so it starts at 753 and "*" stands at 789..792.
  DrawMarkedLine(canvas, Rect{0, 0, 800, 20}, 64, "}1 12.5*", 14);
  // "{3" with a narrow blank: " 5 " is 4 + 8 + 4 = 16 px, so the text starts at 3 + 24 - 16 = 11.
  DrawMarkedLine(canvas, Rect{0, 0, 800, 20}, 64, "{3 5 Gruppe", 14);
  // "»": cells of 8 + 1 = 9 px from 3; "a" centred at 3 + (9 - 8) / 2, "i" at 12 + (9 - 3) / 2.
  DrawMarkedLine(canvas, Rect{0, 0, 800, 20}, 64, std::string("»"_w) + "ai", 14);
  const auto texts = textsOf(canvas);
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0].x, 753);
  EXPECT_EQ(texts[1].x, 11);
  EXPECT_EQ(texts[2].x, 3);
  EXPECT_EQ(texts[2].text, "a");
  EXPECT_EQ(texts[3].x, 15);
  EXPECT_EQ(texts[3].text, "i");
}

TEST(DrawMarkedLine, RulesAndVerticalCentring) {
  struct Case {
    std::string line;
    int from;
    int to;
    PenStyle style;
  };
  // Rect 0..800 x 100..121: middle y = 110. A line starting with "|" is not narrowed.
  const Case cases[] = {
      {"|", 0, 799, PenStyle::Solid},
      {"@z|", 3, 3 + (64 * 74 + 8) / 8 - 1, PenStyle::Solid},  // 74 character widths: 3..595
      {std::string("³"_w), 3, 796, PenStyle::Dash},
      {std::string("@2abc@5³"_w), 20, 20 + 41 - 1, PenStyle::Dash},  // after a segment of 17 px at 3
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.line + "\"");
    RecordingCanvas canvas(8, 14);
    FontSpec font;
    font.color = 0x123456;
    canvas.setFont(font);
    DrawMarkedLine(canvas, Rect{0, 100, 800, 121}, 64, c.line, 14);
    const auto pens = canvas.callsOf(Kind::SetPen);
    const auto lines = canvas.callsOf(Kind::Line);
    ASSERT_EQ(pens.size(), 1u);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(pens[0].color, 0x123456u);
    EXPECT_EQ(pens[0].penWidth, 1);
    EXPECT_EQ(pens[0].penStyle, c.style);
    EXPECT_EQ(lines[0].from, (Point{c.from, 110}));
    EXPECT_EQ(lines[0].to, (Point{c.to, 110}));
    for (const auto& text : canvas.callsOf(Kind::Text)) EXPECT_EQ(text.from.y, (100 + 121 - 14) / 2);
  }
}

TEST(DrawMarkedLine, AnyBytesStayInsideTheLine) {
  // Random texts rich in marks and count characters, fixed seed: nothing is drawn outside the line.
  const std::string alphabet = std::string("@{}~|Ç³»"_w) + "0123456789zab \xFF\x01";
  std::mt19937 random(777);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 40);
  const Rect rect{10, 50, 410, 70};
  for (int i = 0; i < 3000; ++i) {
    std::string line;
    for (int n = length(random); n > 0; --n) line.push_back(alphabet[pick(random)]);
    RecordingCanvas canvas(8, 14);
    DrawMarkedLine(canvas, rect, 64, line, 14);
    for (const auto& call : canvas.calls()) {
      if (call.kind == Kind::Text) {
        ASSERT_GE(call.rect.left, rect.left) << line;
        ASSERT_LE(call.rect.right, rect.right) << line;
        ASSERT_LT(call.rect.left, call.rect.right) << line;
      } else if (call.kind == Kind::Line) {
        ASSERT_GE(call.from.x, rect.left) << line;
        ASSERT_LT(call.to.x, rect.right) << line;
      }
    }
  }
}

}  // namespace
}  // namespace veltrix
