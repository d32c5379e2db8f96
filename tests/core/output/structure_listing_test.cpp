#include "core/output/structure_listing.h"

#include <gtest/gtest.h>

#include "core/datafile/params.h"
#include "core/output/table_manager.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

TEST(StructureListing, VariablesStandColumnMajorWithTheirFields) {
  test::ScriptedUi ui;
  TParams params(ui);
  const char* names[] = {"PATNR", "GESCHL", "ALTER", "GEWICHT", "GROESSE", "DIAGNOSE>", "FUPTAGE"};
  const int positions[] = {1, 7, 9, 13, 19, 25, 72};
  const int lengths[] = {5, 1, 3, 5, 3, 24, 4};
  for (int i = 0; i < 7; ++i) params.putVariable(i + 1, names[i], positions[i], lengths[i]);
  params.setVariableCount(7);

  TTMng tables;
  TSShowPrep(params, tables);
  const FetchedTable t = tables.FetchTable(1);
  EXPECT_EQ(t.header.Kind, 'B');
  EXPECT_EQ(t.header.LeftTitle[0], "STRUKTUR DATENSATZ");
  // Seven variables in three columns: ceil(7 / 3) = 3 rows below the heading (hand computation).
  EXPECT_EQ(t.header.Rows, 4);
  EXPECT_EQ(t.header.Cols, 3);
  EXPECT_EQ(t.header.FixedRows, 1);
  EXPECT_EQ(t.header.ColWidths[0], 25);
  EXPECT_EQ(tables.tabDef(1), "00HHHHDatensatz");
  EXPECT_EQ(tables.AnalysisCode, 4060);
  EXPECT_EQ(tables.HelpTopic, 40600);

  const auto cell = [&](int row, int col) { return t.grid.cell(row, col); };
  EXPECT_EQ(cell(1, 2), " Bezeichnung     FA.FL");
  // Row j holds the variables j, j + 3, j + 6: " " + name in 15 characters, FA.FL right in 7, a blank
  // after a one-digit length (counted by hand).
  EXPECT_EQ(cell(2, 1), " PATNR            1.5 ");
  EXPECT_EQ(cell(2, 2), " GEWICHT         13.5 ");
  EXPECT_EQ(cell(2, 3), " FUPTAGE         72.4 ");
  EXPECT_EQ(cell(4, 2), " DIAGNOSE>       25.24");
  EXPECT_EQ(cell(3, 3), "") << "no eighth variable";
}

TEST(StructureListing, AnEmptyStructureSaysSo) {
  test::ScriptedUi ui;
  TParams params(ui);
  TTMng tables;
  tables.AddLine("stale");
  TSShowPrep(params, tables);
  const FetchedTable t = tables.FetchTable(1);
  EXPECT_EQ(t.header.Rows, 2);
  EXPECT_EQ(t.grid.cell(2, 1), "Keine Variablen");
}

}  // namespace
}  // namespace veltrix
