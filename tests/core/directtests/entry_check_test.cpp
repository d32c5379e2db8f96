#include "core/directtests/entry_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;

TEST(EntryCheckTest, EachRuleGivesItsMessage) {
  struct Case {
    const char* text;
    CellRule rule;
    const char* message;  // nullptr: accepted
  };
  const Case cases[] = {
      {"", {0, 0, 0}, "Unzulässige Eingabe"},
      {"12a", {0, 0, 0}, "Unzulässige Eingabe"},
      {" -3,5 ", {0, 0, 0}, nullptr},  // blanks around and a decimal comma are fine
      {"2.5", {121, 2, 1000}, "Wert nicht ganzzahlig"},
      {"2", {121, 2, 1000}, "Wert  <= 2"},
      {"3", {121, 2, 1000}, nullptr},
      {"1000", {121, 2, 1000}, nullptr},
      {"1001", {121, 2, 1000}, "Wert  > 1000"},
      {"0", {20, 0, 0}, "Wert  <= 0"},
      {"-1", {111, 0, 1000000}, "Wert  < 0"},
      {"1", {12, 0, 1}, "Wert  >= 1"},
      {"0.9999", {12, 0, 1}, nullptr},
      {"0.5", {21, 0.5, 0}, "Wert  <= 0.5"},  // not a whole-number rule: the bound keeps its decimals
      {"100000000", {112, 0, 100000000}, "Wert  >= 100000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CheckedValue value;
    const auto message = TDlgChk(c.text, c.rule, false, value);
    if (c.message == nullptr) {
      EXPECT_FALSE(message) << *message;
    } else {
      ASSERT_TRUE(message);
      EXPECT_EQ(*message, utf8ToWin1252(c.message));
    }
  }
  CheckedValue value;
  EXPECT_FALSE(TDlgChk("", {112, 0, 10}, true, value)) << "an empty grid cell counts as 0";
  EXPECT_EQ(value.value, 0);
}

TEST(EntryCheckTest, TheFirstRefusedFieldIsNamedWithItsRowAndColumnAndTheValuesAreKeptOnlyWhenAllPass) {
  test::ScriptedUi ui;
  CheckedValueDialog dialog(ui, ValueLayout::TwoByThree, 2, 3,
                            {{0, 0, 0}, {20, 0, 0}, {121, 2, 1000}, {0, 0, 0}, {20, 0, 0}, {121, 2, 1000}});
  dialog.caption = "t";
  dialog.rowLabels = {"Stichprobe 1", "Stichprobe 2"};
  dialog.columnLabels = {"MW", "SD", "N:"};
  dialog.setTexts({"1", "2", "10", "x", "0", "2"});
  ui.expectError("Stichprobe 2 / MW:\r\n\r\n   Unzulässige Eingabe"_w);
  EXPECT_EQ(dialog.check(), 3);
  dialog.setText(1, 0, "4");
  ui.expectError("Stichprobe 2 / SD:\r\n\r\n   Wert  <= 0");
  EXPECT_EQ(dialog.check(), 4);
  dialog.setText(1, 1, "1");
  ui.expectError("Stichprobe 2 / N:\r\n\r\n   Wert  <= 2");  // a label ending in ":" gets no second one
  EXPECT_EQ(dialog.check(), 5);
  EXPECT_EQ(dialog.value(0, 2), 0) << "nothing is taken over from a check that failed";
  dialog.setText(1, 2, "12");
  EXPECT_EQ(dialog.check(), -1);
  EXPECT_EQ(dialog.value(0, 2), 10);
  EXPECT_EQ(dialog.value(1, 2), 12);
  EXPECT_TRUE(ui.allPlayed());
}

TEST(EntryCheckTest, TheGridChecksOnlyItsFilledRowsAndMovesTextsUnderFixedLabels) {
  test::ScriptedUi ui;
  CheckedValueDialog grid(ui, ValueLayout::Grid, 15, 2, {{112, 0, 100}, {12, 0, 1}});
  grid.columnLabels = {"Ni", "pi"};
  grid.rowLabels = {"1.", "2.", "3."};
  EXPECT_EQ(grid.filledRows(), 0);
  grid.setText(0, 0, "5");
  grid.setText(2, 1, "0.5");  // row 2 stays empty inside the filled rows
  EXPECT_EQ(grid.filledRows(), 3);
  EXPECT_EQ(grid.check(), -1);
  EXPECT_EQ(grid.checkedRows(), 3);
  EXPECT_EQ(grid.value(1, 0), 0);
  EXPECT_EQ(grid.value(2, 1), 0.5);

  EXPECT_EQ(grid.moveColumn(1, +1), 1) << "no column beyond the last";
  EXPECT_EQ(grid.moveColumn(1, -1), 0);
  EXPECT_EQ(grid.text(2, 0), "0.5");
  EXPECT_EQ(grid.text(0, 1), "5");
  EXPECT_EQ(grid.columnLabels, (std::vector<std::string>{"Ni", "pi"})) << "labels stay in place";
  EXPECT_EQ(grid.moveRow(2, -1), 1);
  EXPECT_EQ(grid.text(1, 0), "0.5");
  EXPECT_EQ(grid.filledRows(), 2);
  // The count moved under "pi" is now checked as a probability.
  ui.expectError("1. / pi:\r\n\r\n   Wert  >= 1");
  EXPECT_EQ(grid.check(), 1);
  EXPECT_TRUE(ui.allPlayed());
}

}  // namespace
}  // namespace veltrix
