#include "core/output/print_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/recording_print_sink.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using Kind = test::RecordingCanvas::Kind;

// The recording canvas measures 8 pixels per character and 14 pixels of height; on its 800 x 1100
// page: width8 = 64, line spacing = max(14 + 8, 14 * 5 / 4) = 22, left margin = 800 / 16 = 50,
// right margin = 800 - 8 / 4 = 798, top line = 22, bottom = 1100 - 44 = 1056, lines per page =
// (1056 - 22 + 1) / 22 = 47 (integer division), text top of line k = 22 + 22 k + (22 - 14) / 2.
constexpr int kLinesPerPage = 47;
int textTop(int line) {
  return 22 + 22 * line + 4;
}

class PrintManagerTest : public ::testing::Test {
 protected:
  PrintManagerTest() : m_printer(m_ui) {
    m_printer.setPrintSink(&m_sink);
    m_printer.setProgramBaseName("VELTRIX");
    m_printer.setClock([] { return StampTime{10, 12, 2026, 5, 44}; });
    m_printer.fileSelected("STUDIE.DAT", "/tmp", "STUDcopy");
  }

  std::vector<std::string> textsOf(std::size_t page) const {
    std::vector<std::string> texts;
    for (const auto& call : m_sink.callsOf(page, Kind::Text)) texts.push_back(call.text);
    return texts;
  }

  test::ScriptedUi m_ui;
  test::RecordingPrintSink m_sink;
  TPrnManager m_printer;
};

TTabHeader titled(const char* title) {
  TTabHeader header;
  header.Kind = 'A';
  header.TitleLines = 1;
  header.LeftTitle[0] = title;
  header.RightTitle[0] = "rechts";
  return header;
}

TEST(PrintLayout, FollowsTheFontMetricsAndThePage) {
  // Hand computation: height 15 gives max(23, 18) = 23, made even 24; landscape starts two lines down.
  const PrintLayout layout = ComputePrintLayout(80, 15, Rect{0, 0, 1600, 1000}, true);
  EXPECT_EQ(layout.charWidth, 10);
  EXPECT_EQ(layout.lineSpacing, 24);
  EXPECT_EQ(layout.left, 100);
  EXPECT_EQ(layout.right, 1598);  // 1600 - 10 / 4
  EXPECT_EQ(layout.top, 48);
  EXPECT_EQ(layout.bottom, 952);
  EXPECT_EQ(layout.linesPerPage, 37);  // (952 - 48 + 1) / 24
  // Large fonts: 48 * 5 / 4 = 60 beats 48 + 8.
  EXPECT_EQ(ComputePrintLayout(64, 48, Rect{0, 0, 800, 1100}, false).lineSpacing, 60);
}

TEST_F(PrintManagerTest, LongTextTablePrintsOnPagesWithHeaderAndBoldTitle) {
  std::vector<std::string> lines;
  for (int k = 1; k <= 50; ++k) lines.push_back("Zeile " + std::to_string(k));
  m_printer.PrintTable(titled("Strukturliste"), lines);
  // Before the first page is laid out a page counts 60 lines: 51 do not fill the buffer.
  EXPECT_TRUE(m_sink.pages().empty());
  m_printer.FormFeed();
  ASSERT_EQ(m_sink.pages().size(), 2u);
  EXPECT_EQ(m_sink.pages()[0].title, "VELTRIX_P1000");
  EXPECT_EQ(m_sink.pages()[1].title, "VELTRIX_P1001");
  EXPECT_TRUE(m_sink.pages()[1].ended);

  const auto page1 = m_sink.callsOf(0, Kind::Text);
  ASSERT_GE(page1.size(), 4u);
  EXPECT_EQ(page1[0].text, "--- STUDIE.DAT---- 10.12.2026 05:44------------------------");
  EXPECT_EQ(page1[0].from, (Point{50, textTop(0)}));
  EXPECT_EQ(page1[1].text, " - 1 - ");
  EXPECT_EQ(page1[1].from.x, 798 - 7 * 8);
  // Title in bold on line 2, its right part right-aligned.
  EXPECT_EQ(page1[2].text, "Strukturliste");
  EXPECT_EQ(page1[2].from, (Point{50, textTop(2)}));
  EXPECT_TRUE(m_sink.callsOf(0, Kind::SetFont)[1].font.bold);
  EXPECT_EQ(page1[3].text, "rechts");
  EXPECT_EQ(page1[3].from.x, 798 - 6 * 8);
  // Lines 3..46 carry "Zeile 1".."Zeile 44", drawn by the marked-line renderer (narrowed by 64 / 20).
  ASSERT_EQ(page1.size(), 4u + (kLinesPerPage - 3));
  EXPECT_EQ(page1[4].text, "Zeile 1");
  EXPECT_EQ(page1[4].from, (Point{53, textTop(3)}));
  EXPECT_EQ(page1.back().text, "Zeile 44");
  EXPECT_EQ(page1.back().from.y, textTop(46));

  const auto page2 = m_sink.callsOf(1, Kind::Text);
  ASSERT_EQ(page2.size(), 2u + 6u);
  EXPECT_EQ(page2[1].text, " - 2 - ");
  EXPECT_EQ(page2[2].text, "Zeile 45");
  EXPECT_EQ(page2[2].from.y, textTop(2));
  EXPECT_EQ(page2.back().text, "Zeile 50");
}

// 2 rows, 12 columns: column 1 ten characters wide, the others nine. On the page (798 - 50) / 8 = 93
// characters fit: 11 + 8 * 10 = 91, so the first block holds columns 1..9 and the second 1, 10..12.
TableGrid wideGrid(const std::string& flags) {
  TTabHeader header;
  header.Kind = 'B';
  header.Rows = 2;
  header.Cols = 12;
  header.FixedRows = 1;
  header.FixedCols = 1;
  header.GridFlags = flags;
  header.ColWidths[0] = 10;
  std::vector<std::string> cells;
  for (int col = 1; col <= 12; ++col) {
    cells.push_back(FormatCellLine(1, col, "K" + std::to_string(col)));
    cells.push_back(FormatCellLine(2, col, "W" + std::to_string(col)));
  }
  return FillGrid(header, cells);
}

TEST_F(PrintManagerTest, WideGridPrintsColumnBlocksWithTheFixedColumnRepeated) {
  TTabHeader header;
  header.Kind = 'B';
  m_printer.PrintTable(header, wideGrid(""), 0, 2);
  m_printer.FormFeed();
  ASSERT_EQ(m_sink.pages().size(), 1u);
  std::vector<std::string> texts = textsOf(0);
  texts.erase(texts.begin(), texts.begin() + 2);  // the page header
  const std::vector<std::string> expected = {"K1", "K2",  "K3",  "K4",  "K5", "K6",  "K7",  "K8", "K9",
                                             "W1", "W2",  "W3",  "W4",  "W5", "W6",  "W7",  "W8", "W9",
                                             "K1", "K10", "K11", "K12", "W1", "W10", "W11", "W12"};
  EXPECT_EQ(texts, expected);
  // Frames: block 1 is 11 * 8 + 8 * 10 * 8 = 728 pixels wide, block 2 is 88 + 3 * 80 = 328; no titles,
  // so block 1 fills lines 2..3 and block 2, after one empty line, lines 5..6.
  const auto frames = m_sink.callsOf(0, Kind::DrawRect);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].rect, (Rect{50, 22 + 2 * 22, 50 + 728, 22 + 4 * 22}));
  EXPECT_EQ(frames[1].rect, (Rect{50, 22 + 5 * 22, 50 + 328, 22 + 7 * 22}));
}

TEST_F(PrintManagerTest, GridFlagsSwitchRulesOff) {
  struct Case {
    std::string flags;
    int lines;  // rules drawn (the title rule included)
  };
  // Hand count for the 2-row grid: per block one horizontal rule (under the fixed row, always drawn);
  // per row one vertical rule after the fixed column (always) and one between each pair of body
  // columns: block 1 has 8 body columns (7 rules), block 2 has 3 (2 rules).
  const Case cases[] = {
      {"", 1 + 2 * 1 + 2 * (1 + 7) + 2 * (1 + 2)},
      {"01", 1 + 2 * 1 + 2 * 1 + 2 * 1},  // no vertical rules between body columns
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    test::RecordingPrintSink sink;
    m_printer.setPrintSink(&sink);
    TTabHeader header;
    header.Kind = 'B';
    m_printer.PrintTable(header, wideGrid(c.flags), 0, 2);
    m_printer.FormFeed();
    ASSERT_EQ(sink.pages().size(), 1u);
    EXPECT_EQ(static_cast<int>(sink.callsOf(0, Kind::Line).size()), c.lines);
  }
}

TEST_F(PrintManagerTest, TheFifthTableStartsPrinting) {
  for (int k = 1; k <= 4; ++k) m_printer.PrintTable(titled("T"), {"eine Zeile"});
  EXPECT_TRUE(m_sink.pages().empty());
  EXPECT_EQ(m_printer.bufferedTables(), 4);
  m_printer.PrintTable(titled("T"), {"eine Zeile"});
  EXPECT_EQ(m_printer.bufferedTables(), 0);
  ASSERT_EQ(m_sink.pages().size(), 1u);
  // Five tables of 2 lines and 2 empty lines each fit one page; the page stays open for more.
  EXPECT_FALSE(m_sink.pages()[0].ended);
  int lines = 0;
  for (const auto& call : m_sink.openCanvas().callsOf(Kind::Text)) lines += call.text == "eine Zeile";
  EXPECT_EQ(lines, 5);
  // Form feed with nothing buffered feeds the started page out without a message.
  m_printer.FormFeed();
  EXPECT_TRUE(m_sink.pages()[0].ended);
  EXPECT_EQ(m_ui.beeps(), 0);
}

TEST_F(PrintManagerTest, FormFeedOnAnEmptyBufferBeepsAndSaysSo) {
  m_printer.setPrintingMode(false);
  m_ui.expectInformation("Druckerpuffer ist leer!");
  m_printer.FormFeed();
  EXPECT_EQ(m_ui.beeps(), 1);
  EXPECT_TRUE(m_printer.printingMode());
  EXPECT_TRUE(m_sink.pages().empty());
}

TEST_F(PrintManagerTest, AutomaticPrintingPrintsEachTableAndPageNumbersRestartWithAFile) {
  m_printer.setAutoPrint(true);
  m_printer.PrintTable(titled("A"), {"x"});
  m_printer.PrintTable(titled("B"), {"y"});
  ASSERT_EQ(m_sink.pages().size(), 2u);
  EXPECT_EQ(textsOf(1)[1], " - 2 - ");
  m_printer.fileSelected("NEU.DAT", "/tmp", "NEUcopy");
  m_printer.PrintTable(titled("C"), {"z"});
  ASSERT_EQ(m_sink.pages().size(), 3u);
  EXPECT_EQ(m_sink.pages()[2].title, "VELTRIX_P1002");
  EXPECT_EQ(textsOf(2)[0], "--- NEU.DAT---- 10.12.2026 05:44------------------------");
  EXPECT_EQ(textsOf(2)[1], " - 1 - ");
}

// 63 rows: one fixed row with the heading, body rows "R2".."R63".
TableGrid longGrid() {
  TTabHeader header;
  header.Kind = 'B';
  header.Rows = 63;
  header.Cols = 1;
  header.FixedRows = 1;
  std::vector<std::string> cells = {FormatCellLine(1, 1, "Kopf")};
  for (int row = 2; row <= 63; ++row) cells.push_back(FormatCellLine(row, 1, "R" + std::to_string(row)));
  return FillGrid(header, cells);
}

TEST_F(PrintManagerTest, LongGridAsksWhatToPrint) {
  struct Case {
    int answer;
    std::vector<std::string> first;  // first texts after the page header
    std::size_t rows;                // rows printed
  };
  const Case cases[] = {
      {0, {"Kopf", "R10"}, 1 + 30},  // the fixed row, then 30 rows from the window's top row 10
      {1, {"Kopf", "R2"}, 63},
      {Ui::kListCancelled, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    test::RecordingPrintSink sink;
    m_printer.setPrintSink(&sink);
    m_ui.expectList("Drucken", c.answer);
    m_printer.PrintTable(TTabHeader{}, longGrid(), 30, 10);
    const std::vector<std::string> items = {"30 Zeilen ab akt. 1. Zeile", "Alles drucken"};
    EXPECT_EQ(m_ui.lastList().items, items);
    m_printer.Flush();
    if (c.rows == 0) {
      EXPECT_TRUE(sink.pages().empty());
      continue;
    }
    std::vector<std::string> texts;
    for (std::size_t page = 0; page < sink.pages().size(); ++page) {
      auto pageTexts = sink.callsOf(page, Kind::Text);
      for (std::size_t k = 2; k < pageTexts.size(); ++k) texts.push_back(pageTexts[k].text);
    }
    ASSERT_EQ(texts.size(), c.rows);
    EXPECT_EQ(texts[0], c.first[0]);
    EXPECT_EQ(texts[1], c.first[1]);
    if (c.answer == 0) {
      EXPECT_EQ(texts.back(), "R39");
    } else {
      // 63 rows from line 2: 45 on the first page (lines 2..46), 18 on the second, each part framed.
      ASSERT_EQ(sink.pages().size(), 2u);
      const auto frame1 = sink.callsOf(0, Kind::DrawRect);
      const auto frame2 = sink.callsOf(1, Kind::DrawRect);
      ASSERT_EQ(frame1.size(), 1u);
      ASSERT_EQ(frame2.size(), 1u);
      EXPECT_EQ(frame1[0].rect.top, 22 + 2 * 22);
      EXPECT_EQ(frame1[0].rect.bottom, 22 + kLinesPerPage * 22);
      EXPECT_EQ(frame2[0].rect.bottom, 22 + (2 + 18) * 22);
    }
  }
}

TEST_F(PrintManagerTest, RefusedPrintDropsTheBufferAndLeavesNoPageOpen) {
  m_sink.refuse(true);
  m_printer.PrintTable(titled("T"), {"x"});
  m_printer.FormFeed();
  EXPECT_EQ(m_printer.bufferedTables(), 0);
  EXPECT_TRUE(m_sink.pages().empty());
}

}  // namespace
}  // namespace veltrix
