#include "core/analysis/variable_selection.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/analysis/selection_slots.h"
#include "core/base/win1252.h"
#include "core/groups/group_language.h"
#include "core/stats/text_helpers.h"
#include "tests/support/class_divisions.h"
#include "tests/support/recording_ui.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using Names = std::vector<std::string>;

// Code 19 with a first list of at most two variables, so that a multiple selection can fill its box.
constexpr std::string_view kTwoVariablesThenGroup = "02010200N00000000 00000000 110101000000000000";
// One text variable, then the groups.
constexpr std::string_view kTextOnly = "03010100T00000000 00000000 110101000000000000";
// Code 13 with the transformation choice offered.
constexpr std::string_view kWithTransformation = "02013000N00000000 00000000 110101000000010000";

class VariableSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    params.setVariableCount(5);
    params.putVariable(1, "GESCHL", 1, 1);
    params.putVariable(2, "ALTER", 2, 2);
    params.putVariable(3, "NAME>", 4, 8);
    params.putVariable(4, "GROESSE", 12, 3);
    params.putVariable(5, "GEWICHT", 15, 3);
    const std::vector<std::pair<std::string, std::string>> groups = {
        {"Frauen", "FR"}, {"Maenner", "MA"}, {"Junge", "JU"},  {"Alte", "AL"},
        {"Kleine", "KL"}, {"Grosse", "GR"},  {"Leichte", "LE"}};
    for (std::size_t i = 0; i < groups.size(); ++i) {
      const GroupCompileResult compiled =
          CompileGroupDefinition(params, {"GESCHL : 1"}, groups[i].first, groups[i].second);
      ASSERT_TRUE(compiled.ok) << compiled.message;
      params.putGroup(static_cast<int>(i) + 1, compiled.record);
    }
    params.putClassDivision(3, test::numericDivision({10, 20, 30}));
    params.putClassDivision(5, test::textDivision(2, {"MEIER", "AB"}));
  }

  VariableSelectionModel open(int code) {
    return VariableSelectionModel(ui, params, code, DescriptorText(code), PrepareDescriptor(code).title);
  }
  VariableSelectionModel open(std::string_view descriptor) {
    return VariableSelectionModel(ui, params, 99, descriptor, "Test");
  }

  // The catalog rows of these names (variables) or numbers (class divisions, groups) become the
  // selection of a multiple catalog, or the first of them the cursor of a single one.
  static void pick(VariableSelectionModel& model, const Names& wanted) {
    std::vector<int> rows;
    for (const std::string& w : wanted) {
      for (int i = 0; i < static_cast<int>(model.catalog().size()); ++i) {
        const std::string& line = model.catalog()[static_cast<std::size_t>(i)];
        // The number field of a class or group line; the whole line for a variable.
        const std::string field =
            IsVariableBox(model.activeBox()) ? line : line.substr(2, IsClassBox(model.activeBox()) ? 2 : 3);
        const std::string_view key = TrimmedView(field);
        if (key == w) rows.push_back(i);
      }
    }
    ASSERT_EQ(rows.size(), wanted.size()) << "not in the catalog";
    if (model.multiSelect(model.activeBox())) {
      model.setCatalogSelection(rows);
    } else {
      model.setCatalogCursor(rows.front());
    }
  }

  static void choose(VariableSelectionModel& model, int box, const Names& wanted) {
    model.activate(box);
    pick(model, wanted);
    model.moveRight();
  }

  static Names trimmed(const Names& names) {
    Names out;
    for (const std::string& n : names) out.push_back(TrimBlanks(n, 0));
    return out;
  }

  static std::set<int> presentBoxes(const VariableSelectionModel& model) {
    std::set<int> boxes;
    for (int box = 0; box <= 9; ++box)
      if (model.present(box)) boxes.insert(box);
    return boxes;
  }

  test::RecordingUi ui;
  TParams params{ui};
};

TEST_F(VariableSelectionTest, TheDescriptorDecidesWhichBoxesArePresentAndWhichComesFirst) {
  struct Case {
    int code;
    std::set<int> boxes;
    int first;
    int last;
  };
  const std::vector<Case> cases = {
      {11, {1, 7}, 1, 7}, {12, {1, 3, 4, 7}, 1, 7}, {32, {1, 2, 3, 4, 7}, 1, 7},
      {34, {7, 8}, 7, 8}, {42, {1, 2, 3, 7}, 1, 7}, {104, {1, 7}, 1, 7},
  };
  for (const Case& c : cases) {
    VariableSelectionModel model = open(c.code);
    EXPECT_EQ(presentBoxes(model), c.boxes) << c.code;
    EXPECT_EQ(model.firstBox(), c.first) << c.code;
    EXPECT_EQ(model.activeBox(), c.first) << c.code;
    EXPECT_EQ(model.lastBox(), c.last) << c.code;
  }
  VariableSelectionModel code34 = open(34);
  EXPECT_EQ(code34.boxCaption(7), "für Gruppen"_w);
  EXPECT_EQ(code34.boxCaption(8), "nach Gruppen");
  EXPECT_EQ(code34.caption(), "Häufigkeitsauszählung: Gruppen versus Gruppen"_w);
  EXPECT_EQ(code34.helpTopic(), 340);
  EXPECT_FALSE(code34.sortEnabled());
  VariableSelectionModel code42 = open(42);
  EXPECT_EQ(code42.boxCaption(2), "Klasseneintlg. Zeit");
  EXPECT_EQ(code42.boxCaption(3), "Evtl. Var. \"zensiert\"");
  EXPECT_EQ(code42.minimum(2), 1);
  EXPECT_EQ(code42.maximum(2), 1);
  EXPECT_EQ(code42.boxCaption(5), "");
}

TEST_F(VariableSelectionTest, TheExplanationLineNamesWhatTheActiveBoxWants) {
  struct Case {
    int code;
    int box;
    std::string_view line;
  };
  const std::vector<Case> cases = {
      {11, 1, " Eine Variable auswählen"_w},
      {41, 3, " Keine oder eine Variable auswählen"_w},
      {19, 7, " 2 Gruppen auswählen"_w},
      {13, 1, " Variablen auswählen (min. 1 , max. 30)"_w},
      {41, 7, " Gruppen auswählen (min. 1 , max. 6)"_w},
      {12, 7, " Eine Gruppe auswählen"_w},
      {12, 4, "Klasseneinteilung auswählen"_w},
  };
  for (const Case& c : cases) {
    VariableSelectionModel model = open(c.code);
    model.activate(c.box);
    EXPECT_EQ(model.activeBox(), c.box);
    EXPECT_EQ(model.explanation(), c.line) << c.code << " box " << c.box;
  }
}

TEST_F(VariableSelectionTest, NumericListsNeverOfferTextVariablesAndDsnrStaysLast) {
  VariableSelectionModel numeric = open(11);
  EXPECT_EQ(trimmed(numeric.catalog()), (Names{"GESCHL", "ALTER", "GROESSE", "GEWICHT", "*DSNR"}));
  EXPECT_TRUE(numeric.sortEnabled());
  numeric.setCatalogCursor(3);  // GEWICHT
  numeric.setAlphabetical(true);
  // Byte order would put "*" first; the record number is no variable of the form and stays at the end.
  EXPECT_EQ(trimmed(numeric.catalog()), (Names{"ALTER", "GESCHL", "GEWICHT", "GROESSE", "*DSNR"}));
  EXPECT_EQ(numeric.catalogCursor(), 2);
  numeric.setAlphabetical(false);
  EXPECT_EQ(numeric.catalogCursor(), 3);

  VariableSelectionModel all = open(31);
  EXPECT_EQ(trimmed(all.catalog()), (Names{"GESCHL", "ALTER", "NAME>", "GROESSE", "GEWICHT", "*DSNR"}));
  VariableSelectionModel text = open(kTextOnly);
  EXPECT_EQ(trimmed(text.catalog()), (Names{"NAME>"}));

  // Class divisions and groups come from their lists; they enter a box as their numbers.
  all.activate(2);
  EXPECT_EQ(all.catalog(), params.listClassDivisions().items);
  EXPECT_FALSE(all.sortEnabled());
  all.activate(7);
  EXPECT_EQ(all.catalog(), params.listGroups().items);
  pick(all, {"0", "3"});
  all.moveRight();
  EXPECT_EQ(all.entries(7), (Names{"  0", "  3"}));
  EXPECT_EQ(ui.beeps, 0);
}

TEST_F(VariableSelectionTest, SingleSelectionReplacesTheEntryAndMovesOn) {
  VariableSelectionModel model = open(41);
  pick(model, {"ALTER"});
  model.moveRight();
  EXPECT_EQ(model.entries(1), (Names{"ALTER     "}));
  // The next box has the same catalog: the variable after ALTER is under the cursor.
  EXPECT_EQ(model.activeBox(), 3);
  EXPECT_EQ(TrimBlanks(model.catalog()[static_cast<std::size_t>(model.catalogCursor())], 0), "GROESSE");
  model.moveRight();
  EXPECT_EQ(model.entries(3), (Names{"GROESSE   "}));
  EXPECT_EQ(model.activeBox(), 7);

  model.activate(1);
  pick(model, {"GEWICHT"});
  model.moveRight();
  EXPECT_EQ(model.entries(1), (Names{"GEWICHT   "}));
  EXPECT_EQ(model.entrySelection(1), (std::vector<bool>{true}));

  // In the last box the cursor moves one down and the box stays active.
  VariableSelectionModel code51 = open(51);
  code51.activate(7);
  code51.setCatalogCursor(1);
  code51.moveRight();
  EXPECT_EQ(code51.entries(7), (Names{"  1"}));
  EXPECT_EQ(code51.activeBox(), 7);
  EXPECT_EQ(code51.catalogCursor(), 2);
  EXPECT_EQ(ui.beeps, 0);
  code51.setCatalogCursor(-1);
  code51.moveRight();
  EXPECT_EQ(ui.beeps, 1);
  EXPECT_EQ(code51.entries(7), (Names{"  1"}));
}

TEST_F(VariableSelectionTest, MultipleSelectionTakesUpToTheMaximumAndBeepsOnceForTheRest) {
  VariableSelectionModel model = open(19);
  model.activate(7);
  pick(model, {"1", "2", "3"});
  model.moveRight();
  EXPECT_EQ(model.entries(7), (Names{"  1", "  2"}));
  EXPECT_EQ(ui.beeps, 1);
  // Group 3 (row 3 after group 0) stays selected; the cursor stands behind group 2.
  EXPECT_EQ(model.catalogSelection(),
            (std::vector<bool>{false, false, false, true, false, false, false, false}));
  EXPECT_EQ(model.catalogCursor(), 3);
  EXPECT_EQ(model.entrySelection(7), (std::vector<bool>{false, true}));
  EXPECT_EQ(model.activeBox(), 7);  // the last box: nothing follows

  model.setCatalogSelection({});
  model.moveRight();
  EXPECT_EQ(ui.beeps, 2);

  // A full box hands over to the next one.
  VariableSelectionModel two = open(kTwoVariablesThenGroup);
  pick(two, {"GESCHL", "ALTER", "GEWICHT"});
  two.moveRight();
  EXPECT_EQ(trimmed(two.entries(1)), (Names{"GESCHL", "ALTER"}));
  EXPECT_EQ(ui.beeps, 3);
  EXPECT_EQ(two.activeBox(), 7);

  // A box that is not full stays active.
  VariableSelectionModel code11 = open(11);
  code11.activate(7);
  pick(code11, {"4", "6"});
  code11.moveRight();
  EXPECT_EQ(code11.entries(7), (Names{"  4", "  6"}));
  EXPECT_EQ(code11.activeBox(), 7);
  EXPECT_TRUE(code11.upDownEnabled());
  EXPECT_FALSE(code11.continueVisible());
  EXPECT_EQ(ui.beeps, 3);

  // Nothing selected: Enter takes the entry under the cursor, one after the other.
  code11.setCatalogSelection({});
  code11.setCatalogCursor(1);
  code11.moveRight();
  code11.moveRight();
  EXPECT_EQ(code11.entries(7), (Names{"  4", "  6", "  1", "  2"}));
  EXPECT_EQ(ui.beeps, 3);
}

TEST_F(VariableSelectionTest, LeftUpAndDownBeepWhenThereIsNothingToMove) {
  VariableSelectionModel model = open(13);
  pick(model, {"GESCHL", "ALTER", "GROESSE", "GEWICHT"});
  model.moveRight();
  ASSERT_EQ(trimmed(model.entries(1)), (Names{"GESCHL", "ALTER", "GROESSE", "GEWICHT"}));

  struct Step {
    const char* what;
    std::vector<int> selected;
    void (VariableSelectionModel::*action)();
    Names entries;
    int beeps;
    std::vector<bool> selectionAfter;
  };
  const std::vector<Step> steps = {
      {"up at the top",
       {0},
       &VariableSelectionModel::moveUp,
       {"GESCHL", "ALTER", "GROESSE", "GEWICHT"},
       1,
       {true, false, false, false}},
      {"down",
       {0},
       &VariableSelectionModel::moveDown,
       {"ALTER", "GESCHL", "GROESSE", "GEWICHT"},
       1,
       {false, true, false, false}},
      {"down at the bottom",
       {3},
       &VariableSelectionModel::moveDown,
       {"ALTER", "GESCHL", "GROESSE", "GEWICHT"},
       2,
       {false, false, false, true}},
      {"up",
       {3},
       &VariableSelectionModel::moveUp,
       {"ALTER", "GESCHL", "GEWICHT", "GROESSE"},
       2,
       {false, false, true, false}},
      {"two selected",
       {0, 1},
       &VariableSelectionModel::moveUp,
       {"ALTER", "GESCHL", "GEWICHT", "GROESSE"},
       3,
       {true, true, false, false}},
      {"none selected",
       {},
       &VariableSelectionModel::moveDown,
       {"ALTER", "GESCHL", "GEWICHT", "GROESSE"},
       4,
       {false, false, false, false}},
      {"left, two", {1, 3}, &VariableSelectionModel::moveLeft, {"ALTER", "GEWICHT"}, 4, {false, true}},
      {"left, the last", {1}, &VariableSelectionModel::moveLeft, {"ALTER"}, 4, {true}},
      {"down with one entry", {0}, &VariableSelectionModel::moveDown, {"ALTER"}, 5, {true}},
      {"left, the only one", {0}, &VariableSelectionModel::moveLeft, {}, 5, {}},
  };
  for (const Step& s : steps) {
    model.setEntrySelection(1, s.selected);
    (model.*s.action)();
    EXPECT_EQ(trimmed(model.entries(1)), s.entries) << s.what;
    EXPECT_EQ(ui.beeps, s.beeps) << s.what;
    EXPECT_EQ(model.entrySelection(1), s.selectionAfter) << s.what;
  }
  model.setEntryCursor(1, -1);
  model.moveLeft();
  EXPECT_EQ(ui.beeps, 6);

  // Without a selection, "Nach links" takes the entry under the cursor.
  pick(model, {"ALTER", "GEWICHT"});
  model.moveRight();
  model.setEntrySelection(1, {});
  model.setEntryCursor(1, 0);
  model.moveLeft();
  EXPECT_EQ(trimmed(model.entries(1)), (Names{"GEWICHT"}));
  EXPECT_EQ(ui.beeps, 6);
}

TEST_F(VariableSelectionTest, AcceptanceRefusesABoxShortOfItsMinimumAndChangesNoSlot) {
  VariableSelectionModel model = open(12);
  choose(model, 1, {"ALTER"});
  choose(model, 3, {"GESCHL"});
  choose(model, 7, {"2"});
  model.activate(1);
  EXPECT_FALSE(model.accept());
  EXPECT_TRUE(model.arrowPanelRed());
  EXPECT_EQ(model.activeBox(), 4);
  EXPECT_EQ(model.missingBox(), 4);
  EXPECT_EQ(ui.beeps, 1);
  for (int slot = 1; slot <= 8; ++slot) EXPECT_TRUE(params.selectionSlot(slot) == SelectionSlot{}) << slot;
  model.activate(4);
  EXPECT_FALSE(model.arrowPanelRed());
  pick(model, {"3"});
  model.moveRight();
  EXPECT_EQ(model.missingBox(), 0);
  EXPECT_TRUE(model.accept());
  EXPECT_TRUE(ui.messages.empty());

  // A list of minimum 0 may stay empty.
  VariableSelectionModel code41 = open(41);
  choose(code41, 1, {"ALTER"});
  choose(code41, 7, {"1"});
  EXPECT_TRUE(code41.accept());
  EXPECT_TRUE(SlotInUse(params.selectionSlot(3)));
  EXPECT_EQ(SlotCount(params.selectionSlot(3)), 0);
}

TEST_F(VariableSelectionTest, AcceptedSlotsHoldLabelsPositionsClassesAndGroups) {
  VariableSelectionModel model = open(12);
  choose(model, 1, {"ALTER"});
  choose(model, 3, {"NAME>"});
  choose(model, 4, {"3"});
  choose(model, 7, {"2"});
  ASSERT_TRUE(model.accept());

  const SelectionSlot first = params.selectionSlot(1);
  EXPECT_EQ(SlotLabel(first, 1), "ALTER     ");
  EXPECT_EQ(SlotLabel(first, 2), "          ");
  EXPECT_EQ(SlotLabel(first, 31), "GESAMT    ");
  EXPECT_EQ((std::vector<int>{first[400], first[401], first[402]}), (std::vector<int>{2, 0, 2}));
  EXPECT_EQ((std::vector<int>{first[498], first[499], first[500], first[501]}),
            (std::vector<int>{1, 1, 0, 1}));

  const SelectionSlot second = params.selectionSlot(3);
  EXPECT_EQ(SlotLabel(second, 1), "NAME>     ");
  EXPECT_EQ((std::vector<int>{second[400], second[401], second[402]}), (std::vector<int>{4, 0, 128 + 8}));

  // Boundaries 10, 20, 30, labelled by hand.
  const SelectionSlot classes = params.selectionSlot(4);
  EXPECT_EQ(SlotLabels(classes).substr(0, 40), "<=      10        20        30>       30");
  EXPECT_EQ(SlotLabel(classes, 31), "GESAMT    ");
  EXPECT_TRUE(SlotClassDivision(classes) == params.getClassDivision(3));
  EXPECT_EQ((std::vector<int>{classes[498], classes[499], classes[500], classes[501]}),
            (std::vector<int>{1, 0, 3, 3}));

  const SelectionSlot groups = params.selectionSlot(7);
  EXPECT_EQ(SlotLabel(groups, 1), "MA        ");
  EXPECT_EQ(SlotGroupNumber(groups, 1), 2);
  EXPECT_EQ(SlotGroupName(groups, 1), "Maenner" + std::string(28, ' '));
  EXPECT_EQ(SlotCount(groups), 1);

  for (const int absent : {2, 5, 6, 8}) EXPECT_FALSE(SlotInUse(params.selectionSlot(absent))) << absent;
}

TEST_F(VariableSelectionTest, TextClassesAndTheFixedDivisionAreLabelledInTheSlot) {
  VariableSelectionModel model = open(31);
  choose(model, 1, {"NAME>"});
  choose(model, 2, {"5"});
  choose(model, 7, {"1", "2"});
  ASSERT_TRUE(model.accept());
  const SelectionSlot classes = params.selectionSlot(2);
  EXPECT_EQ(SlotLabels(classes).substr(0, 30), "  MEIER     AB        SONSTIGE");
  EXPECT_EQ((std::vector<int>{classes[499], classes[500], classes[501]}), (std::vector<int>{2, 5, 2}));
  const SelectionSlot groups = params.selectionSlot(7);
  EXPECT_EQ(SlotGroupName(groups, 2), "Maenner" + std::string(28, ' '));

  VariableSelectionModel zero = open(31);
  choose(zero, 1, {"ALTER"});
  choose(zero, 2, {"0"});
  choose(zero, 7, {"0"});
  ASSERT_TRUE(zero.accept());
  const SelectionSlot fixed = params.selectionSlot(2);
  EXPECT_EQ(SlotLabel(fixed, 1), "<=       0");
  EXPECT_EQ(SlotLabel(fixed, 30), ">       28");
  EXPECT_EQ(SlotLabel(fixed, 31), "GESAMT    ");
  EXPECT_EQ(SlotCount(fixed), 29);
  EXPECT_EQ(SlotLabel(params.selectionSlot(7), 1), "Gesamt    ");
}

TEST_F(VariableSelectionTest, CompleteCasesCountOnlyWithMoreThanOneVariable) {
  struct Case {
    int code;
    Names variables;
    bool checked;
    int stored;
  };
  const std::vector<Case> cases = {
      {13, {"ALTER"}, true, 0},
      {13, {"ALTER", "GEWICHT"}, true, 1},
      {13, {"ALTER", "GEWICHT"}, false, 0},
      {19, {"ALTER", "GEWICHT"}, true, 0},  // not offered
  };
  for (const Case& c : cases) {
    VariableSelectionModel model = open(c.code);
    EXPECT_EQ(model.completeCasesOffered(), c.code == 13);
    EXPECT_EQ(model.completeCases(), c.code == 13);  // checked when offered
    model.setCompleteCases(c.checked);
    choose(model, 1, c.variables);
    choose(model, 7, c.code == 19 ? Names{"1", "2"} : Names{"1"});
    ASSERT_TRUE(model.accept());
    EXPECT_EQ(params.selectionSlot(1)[500], c.stored) << c.code << " " << c.variables.size();
  }
}

TEST_F(VariableSelectionTest, TheTransformationIsStoredPlusOneWhenOffered) {
  for (int i = 0; i < kTransformationCount; ++i) EXPECT_FALSE(TransformationChoice(i).empty()) << i;
  EXPECT_EQ(TransformationChoice(0), "keine");
  EXPECT_EQ(TransformationChoice(6), "x * x");
  EXPECT_EQ(TransformationChoice(9), "arcsin(sqrt (x/100))");
  EXPECT_EQ(TransformationChoice(10), "");

  VariableSelectionModel offered = open(kWithTransformation);
  ASSERT_TRUE(offered.transformationOffered());
  offered.setTransformation(4);
  choose(offered, 1, {"ALTER"});
  choose(offered, 7, {"1"});
  ASSERT_TRUE(offered.accept());
  EXPECT_EQ(params.selectionSlot(1)[499], 5);

  VariableSelectionModel plain = open(13);
  plain.setTransformation(4);
  choose(plain, 1, {"ALTER"});
  choose(plain, 7, {"1"});
  ASSERT_TRUE(plain.accept());
  EXPECT_EQ(params.selectionSlot(1)[499], 1);
}

TEST_F(VariableSelectionTest, SlotsAreTheMemoryOfTheNextAnalysis) {
  VariableSelectionModel code11 = open(11);
  EXPECT_FALSE(code11.memoryEnabled());
  choose(code11, 1, {"ALTER"});
  choose(code11, 7, {"1", "2", "3", "4", "5", "6"});
  ASSERT_TRUE(code11.accept());

  VariableSelectionModel code31 = open(31);
  EXPECT_TRUE(code31.memoryEnabled());
  EXPECT_EQ(code31.memory().entries, (Names{"ALTER     "}));
  code31.takeMemory();
  EXPECT_EQ(code31.entries(1), (Names{"ALTER     "}));
  EXPECT_EQ(code31.activeBox(), 2);  // box 1 is full
  EXPECT_FALSE(code31.memoryEnabled());
  code31.activate(7);
  EXPECT_EQ(code31.memory().entries, (Names{"  1", "  2", "  3", "  4", "  5", "  6"}));
  code31.takeMemory();
  EXPECT_EQ(code31.entries(7), (Names{"  1", "  2", "  3", "  4", "  5", "  6"}));
  EXPECT_EQ(code31.entrySelection(7), (std::vector<bool>{true, false, false, false, false, false}));
  EXPECT_EQ(code31.activeBox(), 7);
  choose(code31, 2, {"3"});
  ASSERT_TRUE(code31.accept());

  // Code 19 takes only as many groups as it allows.
  VariableSelectionModel code19 = open(19);
  code19.activate(7);
  EXPECT_EQ(code19.memory().entries, (Names{"  1", "  2"}));

  // Code 34 uses only the group slots; the others keep their contents but no longer belong to it.
  VariableSelectionModel code34 = open(34);
  choose(code34, 7, {"1"});
  choose(code34, 8, {"2"});
  ASSERT_TRUE(code34.accept());
  EXPECT_EQ(SlotLabel(params.selectionSlot(1), 1), "ALTER     ");
  EXPECT_FALSE(SlotInUse(params.selectionSlot(1)));
  EXPECT_EQ(SlotClassNumber(params.selectionSlot(2)), 3);
  EXPECT_FALSE(SlotInUse(params.selectionSlot(2)));
  EXPECT_TRUE(SlotInUse(params.selectionSlot(8)));

  VariableSelectionModel code32 = open(32);
  code32.activate(2);
  EXPECT_EQ(code32.memory().entries, (Names{" 3"}));
  EXPECT_EQ(ui.beeps, 0);
}

TEST_F(VariableSelectionTest, MemoryOffersOnlyWhatTheBoxMayTakeAndRestoresTheSwitches) {
  // A text variable of a frequency count must not reach a numeric list through the memory.
  VariableSelectionModel code31 = open(31);
  choose(code31, 1, {"NAME>"});
  choose(code31, 2, {"5"});
  choose(code31, 7, {"1"});
  ASSERT_TRUE(code31.accept());
  VariableSelectionModel code11 = open(11);
  EXPECT_FALSE(code11.memoryEnabled());
  code11.takeMemory();
  EXPECT_EQ(ui.beeps, 1);
  EXPECT_TRUE(code11.entries(1).empty());

  VariableSelectionModel code13 = open(13);
  choose(code13, 1, {"ALTER", "GEWICHT"});
  choose(code13, 7, {"1"});
  ASSERT_TRUE(code13.accept());
  VariableSelectionModel again = open(13);
  again.setCompleteCases(false);
  again.takeMemory();
  EXPECT_EQ(trimmed(again.entries(1)), (Names{"ALTER", "GEWICHT"}));
  EXPECT_TRUE(again.completeCases());
  EXPECT_EQ(again.activeBox(), 1);  // not full
}

TEST_F(VariableSelectionTest, ContinueGoesToTheNextPresentBox) {
  VariableSelectionModel model = open(34);
  EXPECT_TRUE(model.continueVisible());
  model.continueToNext();
  EXPECT_EQ(model.activeBox(), 8);
  EXPECT_FALSE(model.continueVisible());
  model.continueToNext();
  EXPECT_EQ(ui.beeps, 1);
  EXPECT_EQ(model.activeBox(), 8);
  model.activate(3);  // absent
  EXPECT_EQ(model.activeBox(), 8);

  VariableSelectionModel single = open(11);
  EXPECT_FALSE(single.continueVisible());
  EXPECT_FALSE(single.upDownEnabled());
}

TEST_F(VariableSelectionTest, BatchEntriesAreCheckedAgainstTheCatalogAndTheMaximum) {
  struct Case {
    int code;
    int box;
    Names items;
    std::string message;
    Names entries;
  };
  const std::vector<Case> cases = {
      {11, 1, {"ALTER"}, "", {"ALTER     "}},
      {11, 1, {" *DSNR "}, "", {"*DSNR     "}},
      {11, 1, {"NAME>"}, std::string("Variable NAME> ist für Auszuwertende Variable nicht zulässig"_w), {}},
      {11, 1, {"XYZ"}, "Variable XYZ ist nicht vorhanden", {}},
      {11, 1, {"ALTER", "GESCHL"}, std::string("Höchstens 1 Eintrag für Auszuwertende Variable"_w), {}},
      {19, 7, {"1", "2", "3"}, std::string("Höchstens 2 Einträge für Grp. A, Grp. B"_w), {}},
      {11, 7, {"1", " 2 ", "99"}, "Gruppe 99 ist nicht vorhanden", {}},
      {11, 7, {"1", " 2 ", "0"}, "", {"  1", "  2", "  0"}},
      {11, 7, {"x"}, "Gruppe x ist nicht vorhanden", {}},
      {31, 2, {"3"}, "", {" 3"}},
      {31, 2, {"7"}, "Klasseneinteilung 7 ist nicht vorhanden", {}},
      {11, 3, {"ALTER"}, "Diese Auswertung hat keine Variablenliste 2", {}},
      {11, 2, {"3"}, "Diese Auswertung hat keine Klasseneinteilung zur Variablenliste 1", {}},
      {11, 8, {"1"}, "Diese Auswertung hat keine Gruppenliste 2", {}},
  };
  for (const Case& c : cases) {
    VariableSelectionModel model = open(c.code);
    EXPECT_EQ(model.setEntries(c.box, c.items), c.message) << c.code << " box " << c.box;
    EXPECT_EQ(model.entries(c.box), c.entries) << c.code << " box " << c.box;
  }

  // A refusal leaves what the box held.
  VariableSelectionModel model = open(11);
  EXPECT_EQ(model.setEntries(1, {"GEWICHT"}), "");
  EXPECT_EQ(model.missingBox(), 7);
  EXPECT_NE(model.setEntries(1, {"NAME>"}), "");
  EXPECT_EQ(model.entries(1), (Names{"GEWICHT   "}));
  EXPECT_EQ(model.setEntries(7, {"4"}), "");
  EXPECT_EQ(model.missingBox(), 0);
  ASSERT_TRUE(model.accept());
  EXPECT_EQ(SlotVariableAt(params.selectionSlot(1), 1).position, 15);
  EXPECT_EQ(SlotGroupNumber(params.selectionSlot(7), 1), 4);
  EXPECT_EQ(ui.beeps, 0);
}

TEST_F(VariableSelectionTest, AVariableMissingFromTheStructureIsAnInternalError) {
  VariableSelectionModel model = open(11);
  choose(model, 1, {"GEWICHT"});
  choose(model, 7, {"1"});
  params.setVariableCount(4);  // GEWICHT goes
  EXPECT_FALSE(model.accept());
  EXPECT_EQ(ui.messages, (Names{"error: Interner Strukturfehler!"}));
  for (int slot = 1; slot <= 8; ++slot) EXPECT_TRUE(params.selectionSlot(slot) == SelectionSlot{}) << slot;
}

}  // namespace
}  // namespace veltrix
