#include "core/entry/entry_print.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"
#include "tests/support/recording_ui.h"

namespace veltrix {
namespace {

// Four variables: labels " NR", " GESCHL", " DIAGNOSE>", " GEWICHT" (the widest 10 characters), the
// longest field 12 characters. A cell is the label padded to 10, 2 blanks, the value padded to 12;
// column pairs are 3 blanks apart; trailing blanks are cut. The lines below were laid out by a python3
// sketch of that rule.
class EntryPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    params.putVariable(1, "NR", 1, 4);
    params.putVariable(2, "GESCHL", 6, 1);
    params.putVariable(3, "DIAGNOSE>", 8, 12);
    params.putVariable(4, "GEWICHT", 21, 5);
    params.setVariableCount(4);
    record.write(1, "1001 2 COPD");
    record.write(21, "101,8");
  }

  test::RecordingUi ui;
  TParams params{ui};
  RecordBuffer record;
};

TEST_F(EntryPrintTest, OneColumn) {
  const EntryPrintout p = LayoutEntryPrintout(params, record, 17, 1);
  EXPECT_EQ(p.heading, "* Satz-Nr.: 17");
  const std::vector<std::string> expected = {
      " NR         1001",
      " GESCHL     2",
      " DIAGNOSE>  COPD",
      " GEWICHT    101.8",
  };
  EXPECT_EQ(p.lines, expected);
}

TEST_F(EntryPrintTest, ThreeColumnsFillRowsLeftToRight) {
  const EntryPrintout p = LayoutEntryPrintout(params, record, 1, 3);
  const std::vector<std::string> expected = {
      " NR         1001            GESCHL     2               DIAGNOSE>  COPD",
      " GEWICHT    101.8",
  };
  EXPECT_EQ(p.lines, expected);
}

TEST_F(EntryPrintTest, EmptyFieldsKeepTheColumnsInLine) {
  RecordBuffer blank;
  const EntryPrintout p = LayoutEntryPrintout(params, blank, 1, 2);
  const std::vector<std::string> expected = {
      " NR                         GESCHL",
      " DIAGNOSE>                  GEWICHT",
  };
  EXPECT_EQ(p.lines, expected);
}

TEST_F(EntryPrintTest, ColumnCountsOutsideOneToThreeAreClamped) {
  EXPECT_EQ(LayoutEntryPrintout(params, record, 1, 0).lines, LayoutEntryPrintout(params, record, 1, 1).lines);
  EXPECT_EQ(LayoutEntryPrintout(params, record, 1, 7).lines, LayoutEntryPrintout(params, record, 1, 3).lines);
}

TEST(EntryPrintEmptyTest, NoVariablesGiveOnlyTheHeading) {
  test::RecordingUi ui;
  TParams params(ui);
  const EntryPrintout p = LayoutEntryPrintout(params, RecordBuffer(), 3, 3);
  EXPECT_EQ(p.heading, "* Satz-Nr.: 3");
  EXPECT_TRUE(p.lines.empty());
}

}  // namespace
}  // namespace veltrix
