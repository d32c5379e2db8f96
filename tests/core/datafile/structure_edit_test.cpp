#include "core/datafile/structure_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using test::ScriptedUi;

constexpr std::string_view kBadName = "Unzulässiger Variablenname"_w;
constexpr std::string_view kBadLength = "Unzulässige Feldlänge"_w;
constexpr std::string_view kTooLong =
    "Damit überschreiten Sie die maximale Datensatzlänge von 7821 Zeichen"_w;
constexpr std::string_view kProtected =
    "In dem durch -- gekennzeichneten Bereich sind keine Änderungen zugelassen"_w;

struct Variable {
  std::string name;
  int position;
  int length;
};

// A parameter object holding the variables, in this order.
void fill(TParams& params, const std::vector<Variable>& variables) {
  int n = 0;
  for (const Variable& v : variables) params.putVariable(++n, v.name, v.position, v.length);
  params.setVariableCount(n);
}

std::vector<Variable> tableOf(const TParams& params) {
  std::vector<Variable> table;
  for (int i = 1; i <= params.variableCount(); ++i) {
    const VariableEntry e = params.getVariable(i);
    table.push_back({std::string(e.name.substr(0, e.name.find_last_not_of(' ') + 1)), e.position, e.length});
  }
  return table;
}

bool operator==(const Variable& a, const Variable& b) {
  return a.name == b.name && a.position == b.position && a.length == b.length;
}

void PrintTo(const Variable& v, std::ostream* os) {
  *os << v.name << " " << v.position << "." << v.length;
}

std::vector<std::string> namesOf(const StructureList& list) {
  std::vector<std::string> names;
  for (const StructureItem& item : list.items()) names.push_back(item.name);
  return names;
}

// Types name and length into the edits of the selected item and presses Enter in the length edit.
EntryOutcome type(TNeuVar& dialog, std::string_view name, std::string_view length) {
  EXPECT_TRUE(dialog.setEditText(StructureField::Name, name));
  EXPECT_TRUE(dialog.setEditText(StructureField::Length, length));
  return dialog.enter(StructureField::Length);
}

EntryOutcome type(TFreiV& dialog, std::string_view name, std::string_view position, std::string_view length) {
  EXPECT_TRUE(dialog.setEditText(StructureField::Name, name));
  EXPECT_TRUE(dialog.setEditText(StructureField::Position, position));
  EXPECT_TRUE(dialog.setEditText(StructureField::Length, length));
  return dialog.enter(StructureField::Name);
}

// ---------------------------------------------------------------- name rules

struct NameCase {
  std::string name;
  VariableNameKind kind;
};

TEST(StructureNameRules, ClassifiesNames) {
  using K = VariableNameKind;
  const std::vector<NameCase> cases = {
      {"A", K::Numeric},
      {std::string("ÄLTER"_w), K::Numeric},  // umlaut letters and ß may begin a name
      {std::string("ÖL"_w), K::Numeric},
      {std::string("ÜBER"_w), K::Numeric},
      {std::string("ßX"_w), K::Numeric},
      {"9ABC", K::Invalid},
      {"*DSNR", K::Invalid},
      {"_A", K::Invalid},
      {"A,B", K::Invalid},
      {"A:B", K::Invalid},
      {"A[B", K::Invalid},
      {"A]B", K::Invalid},
      {"ABCDEFGHIJ", K::Numeric},  // 10 characters
      {"ABCDEFGHIJK", K::Invalid},
      {"", K::Invalid},
      {"NAME>", K::Text},
      {">", K::Invalid},
      {"AB*3", K::Indexed},
      {"AB*Z", K::Indexed},
      {"A*3", K::Indexed},   // three characters are enough
      {"*3", K::Invalid},    // no letter first
      {"AB*", K::Numeric},   // "*" last: no index
      {"AB*-", K::Numeric},  // "-" is no index character
      {"AB3*", K::Numeric},  // "*" not last but one
      {"AB*3>", K::Text},    // a text name is never a series
  };
  for (const NameCase& c : cases) EXPECT_EQ(ClassifyVariableName(c.name), c.kind) << c.name;
  EXPECT_EQ(MaxFieldLength(K::Text), 60);
  EXPECT_EQ(MaxFieldLength(K::Numeric), 9);
  EXPECT_EQ(MaxFieldLength(K::Indexed), 9);
}

TEST(StructureNameRules, SeriesRunFromZeroOrFromA) {
  const auto digits = SeriesOfIndexedName("AB*3");
  ASSERT_TRUE(digits);
  EXPECT_EQ(digits->base, "AB-");
  ASSERT_EQ(digits->count(), 4);
  EXPECT_EQ(digits->member(0), "AB-0");
  EXPECT_EQ(digits->member(3), "AB-3");
  const auto letters = SeriesOfIndexedName("X*C");
  ASSERT_TRUE(letters);
  ASSERT_EQ(letters->count(), 3);
  EXPECT_EQ(letters->member(0), "X-A");
  EXPECT_EQ(letters->member(2), "X-C");
  EXPECT_FALSE(SeriesOfIndexedName("AB3"));
}

TEST(StructureItems, TextLayoutOfAnItem) {
  // Name in 1..10, FA right-aligned in 11..14, FL in 15..16, the marker from 17 (written out by hand).
  EXPECT_EQ(StructureItemText({"AB", 101, 2, true}), "AB         101 2   --");
  EXPECT_EQ(StructureItemText({"NAME>", 0, 60, false}), "NAME>         60");
  EXPECT_EQ(StructureItemText({}), std::string(16, ' '));
}

// ---------------------------------------------------------------- write-back

TEST(StructureWriteBack, SkipsWhatDoesNotFit) {
  ScriptedUi ui;
  TParams params(ui);
  fill(params, {{"P1", 1, 1}, {"P2", 2, 1}, {"P3", 3, 1}, {"P4", 4, 1}, {"P5", 5, 1}, {"P6", 6, 1}});
  const std::vector<StructureItem> items = {
      {"A", 0, 3, false},     // no FA: after the start, 1..3
      {"B", 2, 2, false},     // starts inside A: skipped
      {"C", 0, 5, false},     // after A (B was skipped): 4..8
      {"D", 7820, 5, false},  // would end at 7824: skipped
      {"", 0, 0, false},      // the empty item
      {"E", 7817, 5, false},  // 7817..7821
      {"F", 0, 1, false},     // would start at 7822: skipped
  };
  EXPECT_EQ(WriteBackStructure(items, params), 3);
  EXPECT_EQ(tableOf(params), (std::vector<Variable>{{"A", 1, 3}, {"C", 4, 5}, {"E", 7817, 5}}));
  // The entries behind the new count are emptied.
  EXPECT_EQ(params.getVariable(4).name, std::string(10, ' '));
  EXPECT_EQ(params.getVariable(6).length, 0);
  EXPECT_EQ(params.findVariableByName("P5").index, -1);
  EXPECT_EQ(params.findVariableByName("C").index, 2);
}

// ---------------------------------------------------------------- append dialog

class AppendDialogTest : public ::testing::Test {
 protected:
  ScriptedUi ui;
  TParams params{ui};
};

TEST_F(AppendDialogTest, ASeriesAfterTheLastVariableGetsConsecutivePositions) {
  fill(params, {{"A", 1, 9}, {"B>", 41, 60}});  // ends at 100
  TNeuVar dialog(ui, params, NeuVarMode::Append);
  EXPECT_EQ(dialog.runningEnd(), 100);
  EXPECT_FALSE(dialog.changed());
  EXPECT_EQ(dialog.current(), 2);  // the empty item after the protected ones
  EXPECT_EQ(type(dialog, "ab*3", "2"), EntryOutcome::Stored);
  EXPECT_EQ(namesOf(dialog), (std::vector<std::string>{"A", "B>", "AB-0", "AB-1", "AB-2", "AB-3", ""}));
  EXPECT_EQ(dialog.current(), 6);
  EXPECT_EQ(dialog.runningEnd(), 108);
  EXPECT_TRUE(dialog.changed());
  WriteBackStructure(dialog.items(), params);
  // 100 + 1, then each 2 further (by hand).
  EXPECT_EQ(tableOf(params), (std::vector<Variable>{{"A", 1, 9},
                                                    {"B>", 41, 60},
                                                    {"AB-0", 101, 2},
                                                    {"AB-1", 103, 2},
                                                    {"AB-2", 105, 2},
                                                    {"AB-3", 107, 2}}));
}

struct EntryCase {
  std::string name;
  std::string length;
  EntryOutcome outcome;
  std::string message;  // empty: none
  StructureField focus;
};

TEST_F(AppendDialogTest, ChecksNameAndLength) {
  fill(params, {{"A", 1, 9}});
  const std::vector<EntryCase> cases = {
      {"NAME>", "61", EntryOutcome::Refused, std::string(kBadLength), StructureField::Length},
      {"NAME>", "60", EntryOutcome::Stored, "", StructureField::Name},
      {"X", "10", EntryOutcome::Refused, std::string(kBadLength), StructureField::Length},
      {"X", "0", EntryOutcome::Refused, std::string(kBadLength), StructureField::Length},
      {"X", "a", EntryOutcome::Refused, std::string(kBadLength), StructureField::Length},
      {"X", "9", EntryOutcome::Stored, "", StructureField::Name},
      {"9ABC", "1", EntryOutcome::Refused, std::string(kBadName), StructureField::Name},
      {"A,B", "1", EntryOutcome::Refused, std::string(kBadName), StructureField::Name},
      {"AB*3", "10", EntryOutcome::Refused, std::string(kBadLength), StructureField::Length},
  };
  for (const EntryCase& c : cases) {
    TNeuVar dialog(ui, params, NeuVarMode::Append);
    if (!c.message.empty()) ui.expectError(c.message);
    EXPECT_EQ(type(dialog, c.name, c.length), c.outcome) << c.name << " " << c.length;
    EXPECT_EQ(dialog.focus(), c.focus) << c.name << " " << c.length;
    EXPECT_EQ(dialog.changed(), c.outcome == EntryOutcome::Stored) << c.name;
    if (c.outcome == EntryOutcome::Refused) {
      EXPECT_EQ(dialog.items().size(), 2u);
      EXPECT_TRUE(dialog.items()[1].empty());
      EXPECT_EQ(dialog.nameText(), c.name);  // the edits keep what was typed
    }
    EXPECT_TRUE(ui.allPlayed()) << c.name;
  }
  for (const int placement : ui.placements()) EXPECT_EQ(placement, 4);
}

TEST_F(AppendDialogTest, TheRecordEndsAt7821) {
  fill(params, {{"A>", 7753, 60}});  // ends at 7812
  TNeuVar dialog(ui, params, NeuVarMode::Append);
  EXPECT_EQ(type(dialog, "X>", "9"), EntryOutcome::Stored);  // 7813..7821
  ui.expectError(kTooLong);
  EXPECT_EQ(type(dialog, "Y", "1"), EntryOutcome::Refused);  // would end at 7822
  EXPECT_EQ(dialog.focus(), StructureField::Length);
  EXPECT_EQ(dialog.runningEnd(), 7821);
  // A stored item that grows counts only its growth.
  dialog.selectItem(1);
  ui.expectError(kTooLong);
  EXPECT_EQ(type(dialog, "X>", "10"), EntryOutcome::Refused);
  dialog.selectItem(1);
  EXPECT_EQ(type(dialog, "X>", "8"), EntryOutcome::Stored);
  EXPECT_EQ(dialog.runningEnd(), 7820);
}

TEST_F(AppendDialogTest, EnterWithAnEmptyEditMovesTheFocus) {
  TNeuVar dialog(ui, params, NeuVarMode::Append);
  ASSERT_TRUE(dialog.setEditText(StructureField::Name, "X"));
  EXPECT_EQ(dialog.enter(StructureField::Name), EntryOutcome::FocusMoved);
  EXPECT_EQ(dialog.focus(), StructureField::Length);
  ASSERT_TRUE(dialog.setEditText(StructureField::Name, ""));
  ASSERT_TRUE(dialog.setEditText(StructureField::Length, "3"));
  EXPECT_EQ(dialog.enter(StructureField::Length), EntryOutcome::FocusMoved);
  EXPECT_EQ(dialog.focus(), StructureField::Name);
  EXPECT_FALSE(dialog.changed());
}

TEST_F(AppendDialogTest, TooLongATypedValueIsRefusedNotCut) {
  TNeuVar dialog(ui, params, NeuVarMode::Append);
  ASSERT_TRUE(dialog.setEditText(StructureField::Name, "abcdefghij"));
  EXPECT_EQ(dialog.nameText(), "ABCDEFGHIJ");
  EXPECT_FALSE(dialog.setEditText(StructureField::Name, "ABCDEFGHIJK"));
  EXPECT_EQ(dialog.nameText(), "ABCDEFGHIJ");
  ASSERT_TRUE(dialog.setEditText(StructureField::Length, "12"));
  EXPECT_FALSE(dialog.setEditText(StructureField::Length, "123"));
  EXPECT_EQ(dialog.lengthText(), "12");
  EXPECT_EQ(ui.beeps(), 2);
}

TEST_F(AppendDialogTest, DuplicatesAreWholeNamesExceptForASeriesBase) {
  fill(params, {{"ABC", 1, 1}, {"AB-1", 2, 1}});
  struct Case {
    std::string name;
    bool refused;
  };
  const std::vector<Case> cases = {
      {"ABC", true},                                     // the same name
      {"AB", false},                                     // only the beginning of ABC
      {"A", false},     {"AB-1", true}, {"AB*3", true},  // AB-1 begins with the base AB-
      {"ABC*2", false},                                  // nothing begins with ABC-
      {"A*2", false},                                    // nothing begins with A-
  };
  for (const Case& c : cases) {
    TNeuVar dialog(ui, params, NeuVarMode::Append);
    if (c.refused) ui.expectError(c.name + " : Dieser Name ist schon vorhanden");
    EXPECT_EQ(type(dialog, c.name, "1"), c.refused ? EntryOutcome::Refused : EntryOutcome::Stored) << c.name;
    if (c.refused) {
      EXPECT_EQ(dialog.focus(), StructureField::Name);
    }
    EXPECT_TRUE(ui.allPlayed()) << c.name;
  }
}

TEST_F(AppendDialogTest, AnItemKeepingItsNameIsNoDuplicate) {
  TNeuVar dialog(ui, params, NeuVarMode::Append);
  EXPECT_EQ(type(dialog, "X", "3"), EntryOutcome::Stored);
  dialog.selectItem(0);
  EXPECT_EQ(dialog.nameText(), "X");
  EXPECT_EQ(dialog.lengthText(), "3");
  EXPECT_EQ(type(dialog, "X", "5"), EntryOutcome::Stored);
  EXPECT_EQ(dialog.runningEnd(), 5);
  // A series typed over its own only member does not collide with itself.
  EXPECT_EQ(type(dialog, "T*0", "1"), EntryOutcome::Stored);
  dialog.selectItem(1);
  EXPECT_EQ(type(dialog, "T*1", "1"), EntryOutcome::Stored);
  EXPECT_EQ(namesOf(dialog), (std::vector<std::string>{"X", "T-0", "T-1", ""}));
  EXPECT_EQ(dialog.runningEnd(), 7);
}

TEST_F(AppendDialogTest, ProtectedItemsShowButRefuseChanges) {
  fill(params, {{"A", 1, 2}, {"B", 3, 4}});
  TNeuVar dialog(ui, params, NeuVarMode::Append);
  EXPECT_EQ(dialog.displayLine(0), "A                   1     2   --");
  dialog.selectItem(1);
  EXPECT_EQ(dialog.nameText(), "B");
  EXPECT_EQ(dialog.lengthText(), "4");
  EXPECT_FALSE(dialog.editsEnabled());
  EXPECT_FALSE(dialog.setEditText(StructureField::Name, "C"));
  EXPECT_EQ(dialog.enter(StructureField::Name), EntryOutcome::Ignored);
  ui.expectError(kProtected).expectError(kProtected).expectError(kProtected);
  dialog.removeItem();
  dialog.moveUp();
  dialog.moveDown();
  EXPECT_EQ(namesOf(dialog), (std::vector<std::string>{"A", "B", ""}));
  EXPECT_FALSE(dialog.changed());
  for (const int placement : ui.placements()) EXPECT_EQ(placement, 4);
}

TEST_F(AppendDialogTest, RemoveAndMoveWithTheirBeeps) {
  fill(params, {{"A", 1, 2}});
  TNeuVar dialog(ui, params, NeuVarMode::Append);
  EXPECT_EQ(type(dialog, "X", "3"), EntryOutcome::Stored);
  EXPECT_EQ(type(dialog, "Y", "4"), EntryOutcome::Stored);
  EXPECT_EQ(dialog.runningEnd(), 9);
  dialog.removeItem();  // the empty item: a beep
  EXPECT_EQ(ui.beeps(), 1);
  dialog.selectItem(2);
  dialog.moveDown();  // the neighbour is empty
  EXPECT_EQ(ui.beeps(), 2);
  dialog.moveUp();
  EXPECT_EQ(namesOf(dialog), (std::vector<std::string>{"A", "Y", "X", ""}));
  EXPECT_EQ(dialog.current(), 1);
  dialog.moveUp();  // the first editable item
  EXPECT_EQ(ui.beeps(), 3);
  dialog.moveDown();
  EXPECT_EQ(namesOf(dialog), (std::vector<std::string>{"A", "X", "Y", ""}));
  dialog.selectItem(1);
  dialog.removeItem();
  EXPECT_EQ(namesOf(dialog), (std::vector<std::string>{"A", "Y", ""}));
  EXPECT_EQ(dialog.runningEnd(), 6);
  EXPECT_EQ(dialog.nameText(), "Y");
  EXPECT_EQ(dialog.counterText(), "   2");
}

TEST_F(AppendDialogTest, ASeriesStopsWhenTheListIsFull) {
  std::vector<Variable> table;
  for (int i = 1; i <= 1048; ++i) table.push_back({"V" + std::to_string(i), i, 1});
  fill(params, table);
  TNeuVar dialog(ui, params, NeuVarMode::Append);
  ASSERT_EQ(dialog.items().size(), 1049u);
  ui.expectError("Maximale Anzahl von Variablen belegt.");
  EXPECT_EQ(type(dialog, "S*5", "1"), EntryOutcome::Stopped);
  ASSERT_EQ(dialog.items().size(), 1050u);  // full: no empty item
  EXPECT_EQ(dialog.items()[1048].name, "S-0");
  EXPECT_EQ(dialog.items()[1049].name, "S-1");
  EXPECT_EQ(dialog.runningEnd(), 1050);
  EXPECT_TRUE(dialog.changed());
  // Removing one gives the empty item back.
  dialog.selectItem(1049);
  dialog.removeItem();
  ASSERT_EQ(dialog.items().size(), 1050u);
  EXPECT_TRUE(dialog.items()[1049].empty());
}

TEST_F(AppendDialogTest, ASeriesThatFillsTheListExactlyIsComplete) {
  std::vector<Variable> table;
  for (int i = 1; i <= 1048; ++i) table.push_back({"V" + std::to_string(i), i, 1});
  fill(params, table);
  TNeuVar dialog(ui, params, NeuVarMode::Append);
  EXPECT_EQ(type(dialog, "S*1", "1"), EntryOutcome::Stored);
  EXPECT_EQ(dialog.items().size(), 1050u);
  EXPECT_EQ(dialog.items().back().name, "S-1");
}

TEST_F(AppendDialogTest, ASeriesStopsAtTheRecordEnd) {
  fill(params, {{"A", 7807, 9}});  // ends at 7815
  TNeuVar dialog(ui, params, NeuVarMode::Append);
  ui.expectError(kTooLong);
  // S-0 7816..7817, S-1 ..7819, S-2 ..7821; S-3 would end at 7823 (by hand).
  EXPECT_EQ(type(dialog, "S*9", "2"), EntryOutcome::Stopped);
  EXPECT_EQ(namesOf(dialog), (std::vector<std::string>{"A", "S-0", "S-1", "S-2", ""}));
  EXPECT_EQ(dialog.runningEnd(), 7821);
  EXPECT_EQ(dialog.current(), 4);
}

// ---------------------------------------------------------------- recompute mode

TEST_F(AppendDialogTest, RecomputeGivesConsecutivePositions) {
  fill(params, {{"X", 20, 3}, {"Y", 40, 2}});
  TNeuVar dialog(ui, params, NeuVarMode::Recompute);
  EXPECT_TRUE(dialog.changed());
  EXPECT_FALSE(dialog.showsPositions());
  EXPECT_EQ(dialog.helpNumber(), 40400);
  EXPECT_EQ(dialog.current(), 0);
  EXPECT_TRUE(dialog.editsEnabled());
  EXPECT_EQ(dialog.displayLine(0), "X                   3");
  EXPECT_EQ(dialog.runningEnd(), 5);
  WriteBackStructure(dialog.items(), params);
  EXPECT_EQ(tableOf(params), (std::vector<Variable>{{"X", 1, 3}, {"Y", 4, 2}}));
}

TEST_F(AppendDialogTest, RecomputeCountsTheLengthsNotTheOldEnd) {
  fill(params, {{"A>", 7762, 60}});  // ends at 7821, but takes only 60 characters once recomputed
  TNeuVar dialog(ui, params, NeuVarMode::Recompute);
  EXPECT_EQ(dialog.runningEnd(), 60);
  dialog.selectItem(1);
  EXPECT_EQ(type(dialog, "B", "9"), EntryOutcome::Stored);
  EXPECT_EQ(dialog.runningEnd(), 69);
  dialog.selectItem(0);
  dialog.moveDown();
  WriteBackStructure(dialog.items(), params);
  EXPECT_EQ(tableOf(params), (std::vector<Variable>{{"B", 1, 9}, {"A>", 10, 60}}));
}

// ---------------------------------------------------------------- free dialog

class FreeDialogTest : public ::testing::Test {
 protected:
  ScriptedUi ui;
  TParams params{ui};
};

TEST_F(FreeDialogTest, AnOverlapKeepsTheListUnchanged) {
  fill(params, {{"A", 1, 6}});
  TFreiV dialog(ui, params);
  dialog.selectItem(1);
  ui.expectError("Überschneidung mit A"_w);
  EXPECT_EQ(type(dialog, "B", "5", "4"), EntryOutcome::Refused);  // 5..8 meets A at 1..6
  EXPECT_EQ(dialog.focus(), StructureField::Position);
  EXPECT_EQ(namesOf(dialog), (std::vector<std::string>{"A", ""}));
  EXPECT_FALSE(dialog.changed());
  ASSERT_EQ(ui.placements().size(), 1u);
  EXPECT_EQ(ui.placements()[0], 4);
}

TEST_F(FreeDialogTest, ItemsAreReinsertedInTheOrderOfTheirStart) {
  fill(params, {{"A", 1, 6}, {"C", 20, 6}});
  TFreiV dialog(ui, params);
  EXPECT_EQ(dialog.displayLine(1), "C                  20     6");
  dialog.selectItem(2);
  EXPECT_EQ(type(dialog, "B", "10", "3"), EntryOutcome::Stored);
  EXPECT_EQ(namesOf(dialog), (std::vector<std::string>{"A", "B", "C", ""}));
  EXPECT_EQ(dialog.current(), 2);
  // Moving A behind C.
  dialog.selectItem(0);
  EXPECT_EQ(type(dialog, "A", "30", "6"), EntryOutcome::Stored);
  EXPECT_EQ(namesOf(dialog), (std::vector<std::string>{"B", "C", "A", ""}));
  // Right behind C (ends at 25) is free; one position earlier is not.
  dialog.selectItem(3);
  ui.expectError("Überschneidung mit C"_w);
  EXPECT_EQ(type(dialog, "D", "25", "1"), EntryOutcome::Refused);
  ui.expectError("Überschneidung mit A"_w);
  EXPECT_EQ(type(dialog, "D", "26", "5"), EntryOutcome::Refused);  // 26..30 meets A at 30
  EXPECT_EQ(type(dialog, "D", "26", "4"), EntryOutcome::Stored);
  WriteBackStructure(dialog.items(), params);
  EXPECT_EQ(tableOf(params), (std::vector<Variable>{{"B", 10, 3}, {"C", 20, 6}, {"D", 26, 4}, {"A", 30, 6}}));
}

TEST_F(FreeDialogTest, ChecksInTheirOrder) {
  fill(params, {{"A", 1, 6}});
  const std::vector<std::vector<std::string>> cases = {
      {"B*3", "10", "2", "Indizierte Variablen hier nicht zugelassen!"},
      {"9B", "10", "2", std::string(kBadName)},
      {"B", "0", "2", std::string("Unzulässiger Wert für Feldanfang"_w)},
      {"B", "7822", "1", std::string("Unzulässiger Wert für Feldanfang"_w)},
      {"B", "x", "1", std::string("Unzulässiger Wert für Feldanfang"_w)},
      {"B", "10", "10", std::string(kBadLength)},
      {"A", "10", "2", "A : Dieser Name ist schon vorhanden"},
      {"B", "7814", "9", std::string(kTooLong)},  // would end at 7822
  };
  for (const auto& c : cases) {
    TFreiV dialog(ui, params);
    dialog.selectItem(1);
    ui.expectError(c[3]);
    EXPECT_EQ(type(dialog, c[0], c[1], c[2]), EntryOutcome::Refused) << c[0] << " " << c[1];
    EXPECT_TRUE(ui.allPlayed()) << c[0] << " " << c[1];
  }
  TFreiV dialog(ui, params);
  dialog.selectItem(1);
  EXPECT_EQ(type(dialog, "B", "7813", "9"), EntryOutcome::Stored);  // ends exactly at 7821
}

TEST_F(FreeDialogTest, RenameKeepsThePlace) {
  fill(params, {{"A", 1, 6}, {"B", 7, 2}});
  TFreiV dialog(ui, params);
  EXPECT_EQ(dialog.nameText(), "A");
  EXPECT_EQ(dialog.positionText(), "1");
  EXPECT_EQ(dialog.lengthText(), "6");
  ASSERT_TRUE(dialog.setEditText(StructureField::Name, "neu"));
  EXPECT_EQ(dialog.enter(StructureField::Name), EntryOutcome::Stored);
  WriteBackStructure(dialog.items(), params);
  EXPECT_EQ(tableOf(params), (std::vector<Variable>{{"NEU", 1, 6}, {"B", 7, 2}}));
}

TEST_F(FreeDialogTest, DeleteAsksFirst) {
  fill(params, {{"A", 1, 6}, {"B", 7, 2}});
  TFreiV dialog(ui, params);
  ui.expectConfirm("A : Variable löschen?"_w, false);
  EXPECT_FALSE(dialog.removeItem());
  EXPECT_FALSE(dialog.changed());
  ui.expectConfirm("A : Variable löschen?"_w, true);
  EXPECT_TRUE(dialog.removeItem());
  EXPECT_EQ(namesOf(dialog), (std::vector<std::string>{"B", ""}));
  EXPECT_TRUE(dialog.changed());
  dialog.selectItem(1);
  EXPECT_FALSE(dialog.removeItem());  // the empty item: a beep only
  EXPECT_EQ(ui.beeps(), 1);
  EXPECT_EQ(ui.placements(), (std::vector<int>{4, 4}));
}

TEST_F(FreeDialogTest, EnterMovesToTheFirstEmptyEdit) {
  TFreiV dialog(ui, params);
  ASSERT_TRUE(dialog.setEditText(StructureField::Name, "X"));
  EXPECT_EQ(dialog.enter(StructureField::Name), EntryOutcome::FocusMoved);
  EXPECT_EQ(dialog.focus(), StructureField::Position);
  ASSERT_TRUE(dialog.setEditText(StructureField::Position, "1234"));
  EXPECT_FALSE(dialog.setEditText(StructureField::Position, "12345"));
  EXPECT_EQ(dialog.enter(StructureField::Position), EntryOutcome::FocusMoved);
  EXPECT_EQ(dialog.focus(), StructureField::Length);
}

TEST(StructureWarning, Texts) {
  EXPECT_EQ(TSWarn::caption(), "WARNUNG !");
  ASSERT_EQ(TSWarn::texts().size(), 3u);
  EXPECT_EQ(TSWarn::texts()[0],
            "Nach Beendigung des nachfolgenden Dialoges  wird aus den Variablen die Struktur der "
            "Statistikdatei völlig neu berechnet!"_w);
}

}  // namespace
}  // namespace veltrix
