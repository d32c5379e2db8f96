#include "core/output/table_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/base/win1252.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using Lines = std::vector<std::string>;

// Built member by member: GCC 12 at -O2 takes the nested brace form of a temporary RowLabelling for
// a string that may be destroyed uninitialised (a false -Wmaybe-uninitialized).
RowLabelling rowLabelling(std::string names, bool leftAligned, std::string heading, std::string codes) {
  RowLabelling labelling;
  labelling.labels.names = std::move(names);
  labelling.labels.leftAligned = leftAligned;
  labelling.heading = std::move(heading);
  labelling.codes = std::move(codes);
  return labelling;
}

// Expected cell lines are "RRRCCC" and the text; values were formatted by hand to the field
// width and decimals given, then cut of their leading blanks behind the alignment mark.

void expectShape(const TTabHeader& h, int rows, int cols, int fixedRows, int fixedCols,
                 const std::vector<int>& widths) {
  EXPECT_EQ(h.Kind, 'B');
  EXPECT_EQ(h.Rows, rows);
  EXPECT_EQ(h.Cols, cols);
  EXPECT_EQ(h.FixedRows, fixedRows);
  EXPECT_EQ(h.FixedCols, fixedCols);
  for (std::size_t c = 0; c < widths.size(); ++c) {
    EXPECT_EQ(h.ColWidths[c], widths[c]) << "column " << c + 1;
  }
}

TEST(TableLayoutTest, PutRowAndColumnLabelsWriteIntoTheCurrentTable) {
  TTMnX manager;
  manager.PutRowLabels(0, 2, rowLabelling("Ja        ", false, "Antwort", ""));  // no table yet
  EXPECT_EQ(manager.current(), 0);

  TTabHeader header;
  header.Kind = 'B';
  manager.BeginTable(1, header);
  // Rows 2..4 of a 2-character code string "A:B:" repeated: row 3 takes "A:" again.
  manager.PutRowLabels(1, 3, rowLabelling("Rauch     Alkohol   ", true, "Risiko", "A:B:"));
  manager.PutColumnLabels(1, 2, LabelSet{std::string("Männer    "_w) + "Alle Frauen"}, true, "Geschlecht");
  EXPECT_EQ(manager.table(1)->lines, (Lines{
                                         "  2  1Risiko", "  3  1@2A: Rauch", "  4  1@2B: Alkohol",
                                         "  5  1@2A:   3.",  // empty name: the item number
                                         "  1  2Geschlecht",
                                         std::string("  2  2~Männer "_w),  // shorter than 8: a blank
                                         "  2  3~Alle Fraue",              // 10 characters, no blank
                                     }));
}

TEST(TableLayoutTest, PutMatrixLaysOutLabelsAndValues) {
  // Mode 1: a count of 0 shows "---"; a column-group title adds a fixed row.
  MatrixTable counts;
  counts.rows = 2;
  counts.cols = 2;
  counts.values = {12, 0, 3, 7};
  counts.rowLabels = rowLabelling("Ja        ", false, "Antwort", "");
  counts.colLabels = {"Gruppe A  Gruppe B  "};
  counts.columnTitle = "Gruppen";
  counts.decimals = {0, 0};
  counts.colWidths = {10, 10};
  counts.mode = 1;
  TTMnX manager;
  TTabHeader header;
  header.LeftTitle[0] = "Häufigkeitsverteilung"_w;
  manager.PutMatrix(2, header, counts);
  ASSERT_NE(manager.table(2), nullptr);
  expectShape(manager.table(2)->header, 4, 3, 2, 1, {11, 10, 10});
  EXPECT_EQ(manager.table(2)->header.LeftTitle[0], "Häufigkeitsverteilung"_w);
  EXPECT_EQ(manager.table(2)->lines, (Lines{
                                         "  2  1Antwort",
                                         "  3  1~Ja",
                                         "  4  1~  2.",
                                         "  1  2Gruppen",
                                         "  2  2~Gruppe A",
                                         "  2  3~Gruppe B",
                                         "  3  2~12",
                                         "  3  3~---",
                                         "  4  2~3",
                                         "  4  3~7",
                                     }));

  // Mode 2: a missing value shows " ! ", 0 is a number; row codes widen column 1 to 14.
  MatrixTable means;
  means.rows = 2;
  means.cols = 1;
  means.values = {-1e30, 0};
  means.rowLabels = rowLabelling("Rauch     Alkohol   ", true, "", "A:B:");
  means.colLabels = {"N         "};
  means.padShortColumnLabels = true;
  means.decimals = {1};
  means.colWidths = {8};
  means.mode = 2;
  manager.PutMatrix(3, TTabHeader{}, means);
  expectShape(manager.table(3)->header, 3, 2, 1, 1, {14, 8});
  EXPECT_EQ(manager.table(3)->lines, (Lines{
                                         "  2  1@2A: Rauch", "  3  1@2B: Alkohol", "  1  2~N ", "  2  2~! ",
                                         "  3  2~0.0",  // "       0.0" in width 10
                                     }));

  manager.PutMatrix(27, TTabHeader{}, means);
  EXPECT_EQ(manager.current(), 0);
}

TEST(TableLayoutTest, PutStatisticsShowsTheSelectedStatistics) {
  StatisticsTable stats;
  stats.count = 2;
  stats.statCount = 4;
  stats.captions = {"M", "SD", "SEM", "N"};
  stats.decimals = {2, 2, 2, 0};
  stats.widths = {11, 11, 11, 6};
  stats.values = {1.5, 0.25, 0.5, 4, -1e30, 0, 0, 0};  // the mean of group B is missing
  stats.rowLabels = rowLabelling("Gruppe A  Gruppe B  ", false, "GRUPPE", "");
  stats.selection = "0401";  // N, then M
  TTMnX manager;
  manager.PutStatistics(1, TTabHeader{}, stats);
  expectShape(manager.table(1)->header, 3, 3, 1, 1, {11, 6, 11});
  EXPECT_EQ(manager.table(1)->lines, (Lines{
                                         "  1  1GRUPPE",
                                         "  2  1~Gruppe A",
                                         "  3  1~Gruppe B",
                                         "  1  2~N",
                                         "  1  3~M",
                                         "  2  2~4",
                                         "  2  3~1.50",
                                         "  3  2~0",
                                     }));

  // "f12": every statistic and a spread text column 12 characters wide, under a title row.
  StatisticsTable withText;
  withText.count = 1;
  withText.statCount = 2;
  withText.captions = {"M", "N"};
  withText.decimals = {1, 0};
  withText.widths = {11, 6};
  withText.values = {2, 3};
  withText.rowLabels = rowLabelling("Gruppe A  ", false, "GRUPPE", "");
  withText.selection = "f12";
  withText.texts = {"x y"};
  withText.title = "Kennwerte";
  manager.PutStatistics(2, TTabHeader{}, withText);
  expectShape(manager.table(2)->header, 3, 4, 2, 1, {11, 11, 6, 12});
  EXPECT_EQ(manager.table(2)->lines, (Lines{
                                         "  1  2Kennwerte",
                                         "  2  1GRUPPE",
                                         "  3  1~Gruppe A",
                                         "  2  2~M",
                                         "  2  3~N",
                                         "  3  2~2.0",
                                         "  3  3~3",
                                         "  3  4\xBBx y",
                                     }));
}

TEST(TableLayoutTest, StatisticsSelectionsGiveTheirColumns) {
  struct Case {
    std::string selection;
    int cols;
    int lastWidth;
    std::string lastCaptionLine;  // the caption or text of the last column, row 1 or 2
  };
  const Case cases[] = {
      {"", 4, 6, "  1  4~N"},        // all three statistics
      {"p", 5, 40, "  2  5@0Text"},  // all, then a left-aligned text column of 40
      {"f07", 5, 7, "  2  5\xBBText"},
      {"02xx0903", 3, 6, "  1  3~N"},  // SD, then N: numbers that name no statistic are skipped
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selection);
    StatisticsTable stats;
    stats.count = 1;
    stats.statCount = 3;
    stats.captions = {"M", "SD", "N"};
    stats.widths = {11, 11, 6};
    stats.selection = c.selection;
    stats.texts = {"Text"};
    TTMnX manager;
    manager.PutStatistics(1, TTabHeader{}, stats);
    const TSTab& table = *manager.table(1);
    EXPECT_EQ(table.header.Cols, c.cols);
    EXPECT_EQ(table.header.ColWidths[static_cast<std::size_t>(c.cols - 1)], c.lastWidth);
    EXPECT_EQ(table.lines.back(), c.lastCaptionLine);
  }
}

TEST(TableLayoutTest, PutLowerMatrixMarksEachValue) {
  LowerMatrixTable r;
  r.size = 2;
  r.values = {1, 0.3, 0.456, 1};
  r.pValues = {0.2, 0.2, 0.02, -1};  // the last is not computable
  r.labels = {"Alter     Gewicht   "};
  r.heading = "r";
  r.decimals = 2;
  const SignificanceLevels levels = MakeSignificanceLevels(1, 0.05, 0.01);
  TTMnX manager;
  manager.PutLowerMatrix(4, TTabHeader{}, r, levels);
  expectShape(manager.table(4)->header, 3, 3, 1, 1, {11, 10, 10});
  EXPECT_EQ(manager.table(4)->lines, (Lines{
                                         "  1  1r",
                                         "  2  1~Alter",
                                         "  3  1~Gewicht",
                                         "  1  2~Alter ",
                                         "  1  3~Gewicht ",
                                         "  2  2}11.00 ",  // "     1.00" in width 9, p 0.2: blank
                                         "  3  2}10.46+",  // 0.456 to two decimals, p 0.02
                                         "  3  3}11.00!",
                                     }));

  r.full = true;
  manager.PutLowerMatrix(4, TTabHeader{}, r, levels);
  const Lines& lines = manager.table(4)->lines;
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[6], "  2  3}10.30 ");  // row 1 now shows column 2 as well

  // Other levels mark other values: 0.2 is below 0.25, 0.02 below 0.05.
  manager.PutLowerMatrix(4, TTabHeader{}, r, MakeSignificanceLevels(1, 0.25, 0.05));
  EXPECT_EQ(manager.table(4)->lines[5], "  2  2}11.00+");
  EXPECT_EQ(manager.table(4)->lines[7], "  3  2}10.46x");
}

}  // namespace
}  // namespace veltrix
