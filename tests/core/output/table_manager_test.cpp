#include "core/output/table_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/output/grid_fill.h"

namespace veltrix {
namespace {

TTabHeader gridHeader(int rows, int cols) {
  TTabHeader header;
  header.Kind = 'B';
  header.Rows = static_cast<std::int16_t>(rows);
  header.Cols = static_cast<std::int16_t>(cols);
  return header;
}

TTabHeader textHeader() {
  TTabHeader header;
  header.Kind = 'A';
  return header;
}

TEST(TableManagerTest, TablesOutsideOneToTwentySixChangeNothing) {
  TTMng manager;
  manager.BeginTextTableLines(1, textHeader(), "eins", "zwei", "drei");
  for (int n : {0, 27, -1}) {
    SCOPED_TRACE(n);
    manager.BeginTable(n, gridHeader(2, 2));
    EXPECT_EQ(manager.current(), 0);
    manager.AddLine("fremd");
    manager.AddCell(1, 1, "fremd");
    EXPECT_EQ(manager.table(n), nullptr);
  }
  EXPECT_EQ(manager.table(1)->lines, (std::vector<std::string>{"eins", "zwei", "drei"}));
}

TEST(TableManagerTest, MissingOrUnknownTablesFetchAsNoOutput) {
  TTMng manager;
  for (int n = 1; n <= 3; ++n) {
    manager.BeginTextTableLines(n, textHeader(), "Zeile", "", "");
  }
  TTabHeader other = textHeader();
  other.Kind = 'C';
  other.Note = "bleibt nicht";
  manager.BeginTable(4, other);
  TTabHeader expectedHeader;
  expectedHeader.Kind = 'A';
  for (int n : {4, 5, 0, 27}) {
    SCOPED_TRACE(n);
    const FetchedTable fetched = manager.FetchTable(n);
    EXPECT_EQ(fetched.lines, std::vector<std::string>{" * Keine Ausgabe"});
    EXPECT_EQ(fetched.header, expectedHeader);
  }
  EXPECT_EQ(manager.FetchTable(2).lines, (std::vector<std::string>{"Zeile", "", ""}));
}

TEST(TableManagerTest, CellLinesWithZerosOrBlanksAddressTheSameCell) {
  TTMng manager;
  manager.BeginTable(1, gridHeader(3, 5));
  manager.AddLine("001004~Ereignisse");
  manager.AddCell(1, 4, "~Zensiert");
  manager.AddCell(2, 2, "");  // an empty text adds no line
  ASSERT_EQ(manager.table(1)->lines, (std::vector<std::string>{"001004~Ereignisse", "  1  4~Zensiert"}));
  EXPECT_EQ(manager.FetchTable(1).grid.cell(1, 4), "~Zensiert");  // the later line wins

  manager.BeginTable(1, gridHeader(3, 5));
  manager.AddCell(1, 4, "~Zensiert");
  manager.AddLine("001004~Ereignisse");
  EXPECT_EQ(manager.FetchTable(1).grid.cell(1, 4), "~Ereignisse");
}

TEST(TableManagerTest, CellLinesOutsideTheGridOrMalformedAreIgnored) {
  const std::string long90(90, 'x');
  struct Case {
    std::string line;
    int row, col;  // 0: the line places nothing
    std::string text;
  };
  // Grid of 3 rows and 5 columns.
  const Case cases[] = {
      {"  3  5Ecke", 3, 5, "Ecke"},
      {"003001" + long90, 3, 1, std::string(80, 'x')},  // text is characters 7..86
      {"  2  3", 0, 0, ""},                             // no text: the cell stays empty
      {"004001ausserhalb", 0, 0, ""},
      {"001006ausserhalb", 0, 0, ""},
      {"000001Zeile 0", 0, 0, ""},
      {"0a1004kaputt", 0, 0, ""},
      {"1  2  links", 0, 0, ""},  // numbers are right-aligned
      {"   001leer", 0, 0, ""},
      {"00100", 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    TTMng manager;
    manager.BeginTable(1, gridHeader(3, 5));
    manager.AddLine(c.line);
    const TableGrid grid = manager.FetchTable(1).grid;
    int filled = 0;
    for (const std::string& cell : grid.cells) {
      filled += cell.empty() ? 0 : 1;
    }
    if (c.row == 0 || c.text.empty()) {
      EXPECT_EQ(filled, 0);
    } else {
      EXPECT_EQ(filled, 1);
      EXPECT_EQ(grid.cell(c.row, c.col), c.text);
    }
  }
}

TEST(TableManagerTest, GridSizeIsClampedAndWidthsDefault) {
  struct Case {
    int rows, cols, fixedRows, fixedCols;
    int expRows, expCols, expFixedRows, expFixedCols;
  };
  const Case cases[] = {
      {3, 60, 12, 0, 3, 50, 9, 0},  // 60 columns show as 50, 12 fixed rows as 9
      {0, 0, -1, 10, 1, 1, 0, 9},   // rows at least 1, columns at least 1
      {-5, 50, 9, 9, 1, 50, 9, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cols);
    TTMng manager;
    TTabHeader header = gridHeader(c.rows, c.cols);
    header.FixedRows = static_cast<std::int16_t>(c.fixedRows);
    header.FixedCols = static_cast<std::int16_t>(c.fixedCols);
    manager.BeginTable(2, header);
    const TableGrid grid = manager.FetchTable(2).grid;
    EXPECT_EQ(grid.rows, c.expRows);
    EXPECT_EQ(grid.cols, c.expCols);
    EXPECT_EQ(grid.fixedRows, c.expFixedRows);
    EXPECT_EQ(grid.fixedCols, c.expFixedCols);
    EXPECT_EQ(grid.cells.size(), static_cast<std::size_t>(c.expRows * c.expCols));
  }

  TTabHeader header = gridHeader(1, 3);
  header.ColWidths[0] = 0;
  header.ColWidths[1] = -3;
  header.ColWidths[2] = 12;
  const TableGrid grid = FillGrid(header, {});
  EXPECT_EQ(grid.colWidths, (std::vector<int>{9, 9, 12}));
  EXPECT_EQ(grid.columnPixelWidth(1, 7), 70);  // (9 + 1) * 7
  EXPECT_EQ(grid.columnPixelWidth(3, 7), 91);  // (12 + 1) * 7
}

TEST(TableManagerTest, GridFlagsSwitchLinesAndColumnHandling) {
  struct Case {
    std::string flags;
    bool expected[6];
  };
  const Case cases[] = {
      {"", {false, false, false, false, false, false}},
      {"101010", {true, false, true, false, true, false}},
      {"010101xyz", {false, true, false, true, false, true}},
      {"11", {true, true, false, false, false, false}},  // missing characters are not '1'
      {"2x1 1", {false, false, true, false, true, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    TTabHeader header = gridHeader(1, 1);
    header.GridFlags = c.flags;
    const TableGrid grid = FillGrid(header, {});
    const bool got[6] = {grid.noBodyRowLines,  grid.noBodyColLines,   grid.noFixedRowLines,
                         grid.noFixedColLines, grid.canResizeColumns, grid.canMoveColumns};
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(got[i], c.expected[i]) << "flag " << i + 1;
    }
  }
}

TEST(TableManagerTest, TextTablesForceKindAAndTakeTheirLines) {
  const std::vector<std::string> lines = {"a", "b", "c", "d"};
  struct Case {
    int first, last;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {2, 3, {"b", "c"}},
      {3, 2, {}},                    // last before first
      {0, 9, {"a", "b", "c", "d"}},  // indices outside the array are skipped
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first);
    TTMng manager;
    manager.BeginTextTableRange(3, gridHeader(4, 4), c.first, c.last, lines);
    EXPECT_EQ(manager.table(3)->header.Kind, 'A');
    EXPECT_EQ(manager.FetchTable(3).lines, c.expected);
  }

  TTMng manager;
  manager.BeginTextTableList(1, gridHeader(4, 4), lines);
  EXPECT_EQ(manager.FetchTable(1).lines, lines);
  manager.AddLine(std::string(300, 'z'));
  EXPECT_EQ(manager.table(1)->lines.back().size(), 255u);
}

TEST(TableManagerTest, HeaderIsCopiedWithStringsCut) {
  TTabHeader header = gridHeader(2, 2);
  header.TitleLines = 2;
  header.LeftTitle[0] = std::string(70, 'L');
  header.RightTitle[2] = "rechts";
  header.Note = std::string(61, 'n');
  header.GridFlags = std::string(25, '1');
  TTMng manager;
  manager.BeginTable(1, header);
  header.Note = "danach";  // the table keeps its own copy
  const TTabHeader kept = manager.FetchTable(1).header;
  EXPECT_EQ(kept.LeftTitle[0], std::string(60, 'L'));
  EXPECT_EQ(kept.RightTitle[2], "rechts");
  EXPECT_EQ(kept.Note, std::string(60, 'n'));
  EXPECT_EQ(kept.GridFlags, std::string(20, '1'));
  EXPECT_EQ(kept.TitleLines, 2);
}

TEST(TableManagerTest, SelectEmptiesATableAndClearResetsEverything) {
  TTMng manager;
  manager.BeginTextTableLines(1, textHeader(), "alt", "", "");
  manager.SelectTable(1);
  EXPECT_TRUE(manager.table(1)->lines.empty());
  EXPECT_EQ(manager.table(1)->header, TTabHeader{});

  manager.AnalysisCode = 31;
  manager.HelpTopic = 311;
  manager.FirstTab = 2;
  manager.setToolFlags("10001");
  manager.setCaption("Ergebnis");
  manager.setExtraAction(6, 4711, "Ein sehr langer Knopf", "Hinweis");
  manager.setExtraAction(7, 1, "nie", "nie");  // only buttons 1..6 exist
  manager.setTabDef(1, "00HHHHTabelle");
  EXPECT_TRUE(manager.toolOffered(1));
  EXPECT_FALSE(manager.toolOffered(2));
  EXPECT_TRUE(manager.toolOffered(5));
  EXPECT_FALSE(manager.toolOffered(6));
  EXPECT_EQ(manager.extraAction(6), 4711);
  EXPECT_EQ(manager.extraCaption(6), "Ein sehr langer");  // 15 characters
  EXPECT_EQ(manager.extraAction(7), 0);

  manager.ClearTables();
  EXPECT_EQ(manager.table(1), nullptr);
  EXPECT_EQ(manager.current(), 0);
  EXPECT_EQ(manager.AnalysisCode, 0);
  EXPECT_EQ(manager.HelpTopic, 0);
  EXPECT_EQ(manager.FirstTab, 0);
  EXPECT_EQ(manager.toolFlags(), "");
  EXPECT_EQ(manager.caption(), "");
  EXPECT_EQ(manager.extraAction(6), 0);
  EXPECT_EQ(manager.extraCaption(6), "");
  EXPECT_EQ(manager.tabDef(1), "");
}

}  // namespace
}  // namespace veltrix
