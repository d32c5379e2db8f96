#include "core/groups/class_editor.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/stats/real48.h"
#include "tests/support/class_divisions.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using Type = ClassDivisionType;

using test::numericDivision;
using test::textDivision;

std::vector<std::string> usedRows(const TEditKls& editor) {
  std::vector<std::string> rows(editor.rows().begin(), editor.rows().end());
  while (!rows.empty() && rows.back().empty()) rows.pop_back();
  return rows;
}

// Types the rows one by one from the first, each confirmed with Enter.
void typeRows(TEditKls& editor, const std::vector<std::string>& rows) {
  editor.selectRow(0);
  for (const std::string& row : rows) {
    editor.setEditText(row);
    editor.enter();
  }
}

TEST(ClassEditorTest, ShowsTheStoredDivision) {
  test::ScriptedUi ui;
  const TEditKls numeric(ui, 7, numericDivision({-3, 0.5, 10, 0.1234567, 12345.678901}));
  EXPECT_EQ(numeric.caption(), "Klasseneinteilung Nr. 7");
  EXPECT_EQ(TEditKls::kHelpNumber, 30200);
  EXPECT_EQ(usedRows(numeric), (std::vector<std::string>{"-3", "0.5", "10", "0.1234567", "12345.6789"}));
  EXPECT_EQ(numeric.type(), Type::Numeric);
  EXPECT_TRUE(numeric.continueEnabled());
  EXPECT_EQ(numeric.maxInputLength(), 10);
  EXPECT_EQ(numeric.currentRow(), 0);
  EXPECT_EQ(numeric.editText(), "-3");
  EXPECT_FALSE(numeric.changed());

  const TEditKls text(ui, 21, textDivision(2, {"MEIER", " LEER", "A;"}));
  EXPECT_EQ(usedRows(text), (std::vector<std::string>{"MEIER", " LEER", "A;"}));
  EXPECT_EQ(text.type(), Type::Contains);
  EXPECT_FALSE(text.continueEnabled());
  EXPECT_EQ(text.maxInputLength(), 6);
  EXPECT_FALSE(text.changed());
}

TEST(ClassEditorTest, InputIsUpperCasedAndLimitedByTheType) {
  test::ScriptedUi ui;
  TEditKls editor(ui, 3, ClassDivisionRecord{});
  editor.setEditText("meier-hofer-x");
  EXPECT_EQ(editor.editText(), "MEIER-HOFE");
  editor.setType(Type::Equal);
  EXPECT_EQ(editor.editText(), "MEIER-");
  EXPECT_FALSE(editor.continueEnabled());
  editor.setEditText("abcdefgh");
  EXPECT_EQ(editor.editText(), "ABCDEF");
  editor.setType(Type::Numeric);
  EXPECT_TRUE(editor.continueEnabled());
  editor.setEditText("1234567890123");
  EXPECT_EQ(editor.editText(), "1234567890");
}

TEST(ClassEditorTest, EnterStoresTheInputAndMovesOn) {
  test::ScriptedUi ui;
  TEditKls editor(ui, 3, numericDivision({10, 20}));
  editor.selectRow(1);
  EXPECT_EQ(editor.editText(), "20");
  editor.setEditText(" 20 ");
  editor.enter();
  EXPECT_FALSE(editor.changed()) << "the same text is no change";
  EXPECT_EQ(editor.currentRow(), 2);
  EXPECT_EQ(editor.editText(), "");

  editor.setEditText(" 25 ");
  editor.enter();
  EXPECT_TRUE(editor.changed());
  EXPECT_EQ(usedRows(editor), (std::vector<std::string>{"10", "20", "25"}));

  editor.selectRow(28);
  editor.setEditText("99");
  editor.enter();
  EXPECT_EQ(editor.currentRow(), 28);
  EXPECT_EQ(editor.rows()[28], "99");
  EXPECT_EQ(editor.editText(), "99");

  editor.selectRow(29);
  editor.selectRow(-1);
  EXPECT_EQ(editor.currentRow(), 28);
}

TEST(ClassEditorTest, ContinueExtendsTheStep) {
  test::ScriptedUi ui;
  TEditKls editor(ui, 3, ClassDivisionRecord{});
  typeRows(editor, {"1", "2"});
  editor.continueRow();
  editor.continueRow();
  editor.continueRow();
  EXPECT_EQ(usedRows(editor), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
  EXPECT_EQ(editor.currentRow(), 5);
  EXPECT_EQ(ui.beeps(), 0);

  TEditKls tenths(ui, 4, numericDivision({0.1, 0.2}));
  tenths.selectRow(2);
  tenths.continueRow();
  EXPECT_EQ(tenths.rows()[2], "0.3");
  EXPECT_TRUE(tenths.changed());

  TEditKls last(ui, 4, numericDivision({1, 2}));
  last.selectRow(28);
  last.continueRow();  // the rows above are empty
  EXPECT_FALSE(last.changed());
  EXPECT_EQ(last.currentRow(), 28);
}

TEST(ClassEditorTest, ContinueBeepsOnTheFirstTwoRowsAndNeedsTwoNumbersAbove) {
  struct Case {
    std::vector<std::string> rows;
    int row;
    int beeps;
  };
  const std::vector<Case> cases = {
      {{"1", "2"}, 0, 1},
      {{"1", "2"}, 1, 1},
      {{"A", "2"}, 2, 0},
      {{"1", ""}, 2, 0},
  };
  for (const Case& c : cases) {
    test::ScriptedUi ui;
    TEditKls editor(ui, 3, ClassDivisionRecord{});
    typeRows(editor, c.rows);
    const std::vector<std::string> before = usedRows(editor);
    editor.selectRow(c.row);
    editor.continueRow();
    EXPECT_EQ(ui.beeps(), c.beeps) << "row " << c.row;
    EXPECT_EQ(usedRows(editor), before);
    EXPECT_EQ(editor.currentRow(), c.row);
  }

  test::ScriptedUi ui;
  TEditKls text(ui, 3, textDivision(1, {"1", "2"}));
  text.selectRow(2);
  text.continueRow();  // disabled for a text division
  EXPECT_EQ(text.rows()[2], "");
  EXPECT_FALSE(text.changed());
}

TEST(ClassEditorTest, InsertShiftsTheRowsDown) {
  test::ScriptedUi ui;
  TEditKls editor(ui, 3, numericDivision({1, 2, 3}));
  editor.selectRow(1);
  editor.insertRow();
  EXPECT_EQ(usedRows(editor), (std::vector<std::string>{"1", "", "2", "3"}));
  EXPECT_EQ(editor.currentRow(), 1);
  EXPECT_EQ(editor.editText(), "");
  EXPECT_TRUE(editor.changed());
  EXPECT_EQ(ui.beeps(), 0);
}

TEST(ClassEditorTest, InsertIsRefusedWhenARowWouldFallOff) {
  struct Case {
    bool lastRowFilled;
    int row;
  };
  for (const Case c : {Case{true, 0}, Case{false, 28}}) {
    test::ScriptedUi ui;
    TEditKls editor(ui, 3, numericDivision({1, 2}));
    if (c.lastRowFilled) {
      editor.selectRow(28);
      editor.setEditText("9");
      editor.enter();
    }
    TEditKls before = editor;
    editor.selectRow(c.row);
    editor.insertRow();
    EXPECT_EQ(ui.beeps(), 1) << "row " << c.row;
    EXPECT_EQ(editor.rows(), before.rows());
    EXPECT_EQ(editor.changed(), c.lastRowFilled);
  }
}

TEST(ClassEditorTest, RemoveShiftsTheRowsUp) {
  test::ScriptedUi ui;
  TEditKls editor(ui, 3, numericDivision({1, 2, 3}));
  editor.selectRow(28);
  editor.setEditText("99");
  editor.enter();
  editor.selectRow(1);
  editor.removeRow();
  EXPECT_EQ(editor.rows()[0], "1");
  EXPECT_EQ(editor.rows()[1], "3");
  EXPECT_EQ(editor.rows()[27], "99");
  EXPECT_EQ(editor.rows()[28], "");
  EXPECT_EQ(editor.editText(), "3");

  TEditKls last(ui, 3, numericDivision({1}));
  last.selectRow(28);
  last.removeRow();
  EXPECT_TRUE(last.changed());
  EXPECT_EQ(usedRows(last), std::vector<std::string>{"1"});
}

TEST(ClassEditorTest, OkWithoutChangeStoresNothing) {
  test::ScriptedUi ui;
  TEditKls editor(ui, 3, numericDivision({10, 20}));
  editor.selectRow(1);
  editor.enter();
  editor.setType(Type::Equal);
  editor.setType(Type::Numeric);
  EXPECT_EQ(editor.ok().outcome, ClassEditOutcome::Unchanged);
}

TEST(ClassEditorTest, OkBuildsTheRecord) {
  struct Case {
    std::string name;
    ClassDivisionRecord stored;
    Type type;
    std::vector<std::string> rows;
    ClassDivisionRecord expected;
  };
  const std::vector<Case> cases = {
      {"empty rows close up",
       {},
       Type::Numeric,
       {"1", "", " 2,5", "", "1E30"},
       numericDivision({1, 2.5, 1e30})},
      {"a first boundary far below zero",
       {},
       Type::Numeric,
       {"-1E20", "-1E19"},
       numericDivision({-1e20, -1e19})},
      {"text entries are cut and padded",
       {},
       Type::Equal,
       {"meier", "a;", "LEER"},
       textDivision(1, {"MEIER", "A;", "LEER"})},
      {"numeric rows as texts",
       numericDivision({1234567.5, 2}),
       Type::BeginsWith,
       {},
       textDivision(3, {"123456", "2"})},
      {"only the kind changed", textDivision(1, {"A", "B"}), Type::Contains, {}, textDivision(2, {"A", "B"})},
      {"every row removed", numericDivision({1}), Type::Numeric, {""}, ClassDivisionRecord{}},
  };
  for (const Case& c : cases) {
    test::ScriptedUi ui;
    TEditKls editor(ui, 5, c.stored);
    editor.setType(c.type);
    typeRows(editor, c.rows);
    const ClassEditResult result = editor.ok();
    EXPECT_EQ(result.outcome, ClassEditOutcome::Accepted) << c.name;
    EXPECT_EQ(result.record, c.expected) << c.name;
  }
}

TEST(ClassEditorTest, OkRefusesBadBoundaries) {
  struct Case {
    std::vector<std::string> rows;
    std::string message;
    int row;
  };
  const std::vector<Case> cases = {
      {{"5", "5"}, "Werte nicht in aufsteigender Folge !", 1},
      {{"1", "", "3", "2"}, "Werte nicht in aufsteigender Folge !", 3},
      {{"1", "ABC"}, "Kein numerischer Wert: ABC", 1},
      {{"1", "1E39"}, "Kein numerischer Wert: 1E39", 1},
      {{"-1E39"}, "Kein numerischer Wert: -1E39", 0},
      // 1E-39 is below the smallest six-byte value and is stored as 0
      {{"0", "1E-39"}, "Werte nicht in aufsteigender Folge !", 1},
  };
  for (const Case& c : cases) {
    test::ScriptedUi ui;
    ui.expectError(c.message);
    TEditKls editor(ui, 5, ClassDivisionRecord{});
    typeRows(editor, c.rows);
    EXPECT_EQ(editor.ok().outcome, ClassEditOutcome::Refused) << c.message;
    EXPECT_EQ(editor.currentRow(), c.row) << c.message;
    EXPECT_EQ(editor.editText(), c.rows[c.row]) << c.message;
    EXPECT_TRUE(ui.allPlayed());
  }
}

TEST(ClassEditorTest, ARefusedRowCanBeMendedAndStored) {
  test::ScriptedUi ui;
  ui.expectError("Kein numerischer Wert: 1..2");
  TEditKls editor(ui, 5, numericDivision({1}));
  editor.selectRow(1);
  editor.setEditText("1..2");
  editor.enter();
  ASSERT_EQ(editor.ok().outcome, ClassEditOutcome::Refused);
  editor.setEditText("1.2");
  editor.enter();
  const ClassEditResult result = editor.ok();
  EXPECT_EQ(result.outcome, ClassEditOutcome::Accepted);
  EXPECT_EQ(result.record, numericDivision({1, 1.2}));
}

}  // namespace
}  // namespace veltrix
