#include "core/groups/group_management.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/base/win1252.h"
#include "core/stats/real48.h"
#include "core/stats/text_helpers.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using Bytes = std::vector<std::uint8_t>;

// The fields of the test structure: GESCHL at 1 (length 1), ALTER at 2 (length 2), NAME> at 4 (length 8).
constexpr int kGeschl = 1;
constexpr int kAlter = 2;

struct Field {
  int position;
  std::uint8_t typeByte;
};

// One numeric term: head, 3 bytes per variable, count byte, range count, the single values, the ranges.
Bytes numericTerm(std::uint8_t flags, const std::vector<Field>& fields, const std::vector<double>& singles,
                  const std::vector<std::pair<double, double>>& ranges = {}) {
  Bytes term;
  term.push_back(static_cast<std::uint8_t>(flags + fields.size()));
  for (const Field& f : fields) {
    term.push_back(static_cast<std::uint8_t>(f.position & 255));
    term.push_back(static_cast<std::uint8_t>(f.position >> 8));
    term.push_back(f.typeByte);
  }
  term.push_back(static_cast<std::uint8_t>(singles.size()));
  term.push_back(static_cast<std::uint8_t>(ranges.size()));
  std::uint8_t value[6];
  const auto add = [&](double v) {
    writeReal48(v, value);
    term.insert(term.end(), value, value + 6);
  };
  for (double v : singles) add(v);
  for (const auto& [low, high] : ranges) {
    add(low);
    add(high);
  }
  return term;
}

// A group record with blank-padded titles and the terms followed by the terminating zero.
GroupRecord makeGroup(std::string_view title, std::string_view shortTitle, const std::vector<Bytes>& terms) {
  GroupRecord g{};
  std::fill(g.begin() + kGroupNameOffset, g.begin() + kGroupDefinitionOffset, ' ');
  std::copy(title.begin(), title.end(), g.begin() + kGroupNameOffset);
  std::copy(shortTitle.begin(), shortTitle.end(), g.begin() + kGroupShortNameOffset);
  std::size_t at = kGroupDefinitionOffset;
  for (const Bytes& term : terms) {
    std::copy(term.begin(), term.end(), g.begin() + static_cast<std::ptrdiff_t>(at));
    at += term.size();
  }
  return g;
}

// The definition bytes up to and including the terminating zero.
Bytes definitionOf(const GroupRecord& g) {
  const int end = GroupDefinitionEnd(g);
  return Bytes(g.begin() + kGroupDefinitionOffset, g.begin() + kGroupDefinitionOffset + end);
}

std::string titleOf(const GroupRecord& g) {
  return std::string(g.begin() + kGroupNameOffset, g.begin() + kGroupNameOffset + kGroupNameLength);
}
std::string shortTitleOf(const GroupRecord& g) {
  return std::string(g.begin() + kGroupShortNameOffset,
                     g.begin() + kGroupShortNameOffset + kGroupShortNameLength);
}

std::string padded(std::string text, std::size_t width) {
  text.resize(width, ' ');
  return text;
}

// GESCHL : 1
Bytes womenTerm() {
  return numericTerm(0, {{kGeschl, 1}}, {1});
}
// ALTER : 20,-,29
Bytes youngTerm() {
  return numericTerm(0, {{kAlter, 2}}, {}, {{20, 29}});
}

// A definition of the given length (a multiple of 3 from 9 on) as one term with one or two variables.
Bytes termOfLength(int length) {
  const int variables = (length - 3) % 6 == 0 ? 2 : 1;
  const int singles = (length - 3 - 3 * variables) / 6;
  std::vector<Field> fields{{kGeschl, 1}, {kAlter, 2}};
  fields.resize(static_cast<std::size_t>(variables));
  std::vector<double> values(static_cast<std::size_t>(singles), 7.0);
  Bytes term = numericTerm(0, fields, values);
  EXPECT_EQ(static_cast<int>(term.size()), length);
  return term;
}

class GroupManagementTest : public test::TempDirTest {
 protected:
  GroupManagementTest() : TempDirTest("veltrix-group-management") {}

  void SetUp() override {
    TempDirTest::SetUp();
    params.setFileName(path("studie.prm"));
    params.putGroup(1, makeGroup("Frauen", "Fr", {womenTerm()}));
    params.putGroup(2, makeGroup("Junge", "Ju", {youngTerm()}));
    params.putGroup(
        3, makeGroup("Alte Frauen", "AF", {womenTerm(), numericTerm(0, {{kAlter, 2}}, {}, {{65, 99}})}));
    // Women or young: the second term starts an alternative.
    params.putGroup(4, makeGroup("Frauen oder Junge", "FoJ",
                                 {womenTerm(), numericTerm(128, {{kAlter, 2}}, {}, {{20, 29}})}));
    ClassDivisionRecord division{};
    division[1] = 2;  // numeric, two boundaries
    writeReal48(10, division.data() + 2);
    writeReal48(20, division.data() + 8);
    params.putClassDivision(3, division);
    params.setModified(false);
  }

  GroupManagementModel model() {
    return GroupManagementModel(
        params, ui,
        [this](int n, const GroupRecord& record) -> std::optional<GroupRecord> {
          groupEdits.push_back(n);
          editedGroup = record;
          return groupAnswer;
        },
        [this](int n, const ClassDivisionRecord& record) -> std::optional<ClassDivisionRecord> {
          divisionEdits.push_back(n);
          editedDivision = record;
          return divisionAnswer;
        });
  }

  // Runs a whole combination: first group, second group, target.
  static void combine(GroupManagementModel& m, CombinationMode mode, int a, int b, int t) {
    ASSERT_TRUE(m.startCombination(mode));
    m.select(a);
    ASSERT_TRUE(m.choose());
    m.select(b);
    ASSERT_TRUE(m.choose());
    m.select(t);
    m.choose();
  }

  test::ScriptedUi ui;
  TParams params{ui};
  std::vector<int> groupEdits;
  std::vector<int> divisionEdits;
  GroupRecord editedGroup{};
  ClassDivisionRecord editedDivision{};
  std::optional<GroupRecord> groupAnswer;
  std::optional<ClassDivisionRecord> divisionAnswer;
};

TEST_F(GroupManagementTest, ListsTwentyOneLinesOfEitherTab) {
  GroupManagementModel m = model();
  EXPECT_EQ(m.tab(), ManagementTab::Groups);
  EXPECT_EQ(m.selected(), 0);
  std::vector<std::string> lines = m.lines();
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[0], params.groupText(0));
  EXPECT_EQ(lines[1], "  1: " + padded("Frauen", 35));
  EXPECT_EQ(lines[20], params.groupText(20));
  EXPECT_TRUE(m.combineButtonsVisible());

  ASSERT_TRUE(m.setTab(ManagementTab::ClassDivisions));
  lines = m.lines();
  ASSERT_EQ(lines.size(), 21u);
  for (int i = 0; i < 21; ++i)
    EXPECT_EQ(lines[static_cast<std::size_t>(i)], params.classDivisionText(i)) << i;
  EXPECT_FALSE(m.combineButtonsVisible());
  EXPECT_FALSE(m.startCombination(CombinationMode::Union));
  EXPECT_FALSE(m.inCombination());

  m.select(99);
  EXPECT_EQ(m.selected(), 20);
  m.select(-4);
  EXPECT_EQ(m.selected(), 0);
  EXPECT_EQ(GroupManagementModel::printHeading(), "Gruppen / Klasseneinteilungen :");
}

TEST_F(GroupManagementTest, UnionAppendsTheSecondGroupAsAnAlternative) {
  GroupManagementModel m = model();
  ASSERT_TRUE(m.startCombination(CombinationMode::Union));
  EXPECT_EQ(m.label(), "Vereinigung:");
  EXPECT_EQ(m.prompt(), std::string("1. Gruppe auswählen"_w));
  EXPECT_EQ(m.display(), "");
  m.select(1);
  ASSERT_TRUE(m.choose());
  EXPECT_EQ(m.display(), "1 + ");
  EXPECT_EQ(m.prompt(), std::string("2. Gruppe auswählen"_w));
  m.select(2);
  ASSERT_TRUE(m.choose());
  EXPECT_EQ(m.display(), "1 + 2");
  EXPECT_EQ(m.prompt(), std::string("Zielgruppe auswählen"_w));
  m.select(5);
  ASSERT_TRUE(m.choose());
  EXPECT_FALSE(m.inCombination());
  EXPECT_EQ(m.prompt(), "");

  const GroupRecord stored = params.getGroup(5);
  Bytes expected = womenTerm();
  Bytes second = youngTerm();
  second[0] |= 128;  // the second group becomes an alternative of its own
  expected.insert(expected.end(), second.begin(), second.end());
  expected.push_back(0);
  EXPECT_EQ(definitionOf(stored), expected);
  EXPECT_EQ(stored[0], 5);
  EXPECT_EQ(titleOf(stored), padded("Frauen+Junge", 35));
  EXPECT_EQ(shortTitleOf(stored), padded("Fr+Ju", 10));
  EXPECT_EQ(m.line(5), "  5: " + padded("Frauen+Junge", 35));
  EXPECT_EQ(m.selected(), 5);
  EXPECT_TRUE(params.modified());
  // The groups combined are left as they were.
  EXPECT_EQ(titleOf(params.getGroup(1)), padded("Frauen", 35));
  Bytes young = youngTerm();
  young.push_back(0);
  EXPECT_EQ(definitionOf(params.getGroup(2)), young);
}

TEST_F(GroupManagementTest, IntersectionContinuesTheConjunction) {
  GroupManagementModel m = model();
  combine(m, CombinationMode::Intersection, 1, 2, 6);
  const GroupRecord stored = params.getGroup(6);
  Bytes expected = womenTerm();
  const Bytes second = youngTerm();
  expected.insert(expected.end(), second.begin(), second.end());
  expected.push_back(0);
  EXPECT_EQ(definitionOf(stored), expected);
  EXPECT_EQ(titleOf(stored), padded("Frauen/Junge", 35));
  EXPECT_EQ(shortTitleOf(stored), padded("Fr/Ju", 10));
  EXPECT_FALSE(GroupDefinitionHasOr(stored));
}

TEST_F(GroupManagementTest, JoinedTitlesAreCutToTheirFields) {
  params.putGroup(7, makeGroup(std::string(30, 'A'), "KURZ123", {womenTerm()}));
  params.putGroup(8, makeGroup(std::string(35, 'B'), "KURZ12345X", {youngTerm()}));
  struct Case {
    int a, b;
    std::string title, shortTitle;
  };
  const std::vector<Case> cases = {
      {7, 2, std::string(30, 'A') + "+Jung", "KURZ123+Ju"},
      // a title that fills its field gets nothing added
      {8, 1, std::string(35, 'B'), "KURZ12345X"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a);
    ui.expectConfirm("Zielgruppe nicht leer. Überschreiben?"_w, true);
    GroupManagementModel m = model();
    params.putGroup(9, makeGroup("alt", "alt", {womenTerm()}));
    combine(m, CombinationMode::Union, c.a, c.b, 9);
    EXPECT_EQ(titleOf(params.getGroup(9)), c.title);
    EXPECT_EQ(shortTitleOf(params.getGroup(9)), c.shortTitle);
  }
}

TEST_F(GroupManagementTest, IntersectionWithAnOrGroupIsRefused) {
  const std::vector<std::pair<int, int>> pairs = {{4, 1}, {1, 4}};
  for (const auto& [a, b] : pairs) {
    SCOPED_TRACE(a);
    ui.expectError("Durchschnitt nicht möglich.\r\n   Eine der Gruppen enthält OR!"_w);
    GroupManagementModel m = model();
    combine(m, CombinationMode::Intersection, a, b, 6);
    EXPECT_FALSE(m.inCombination());
    EXPECT_EQ(params.getGroup(6), GroupRecord{});
    EXPECT_FALSE(params.modified());
  }
  // A union of the same groups is allowed.
  GroupManagementModel m = model();
  combine(m, CombinationMode::Union, 4, 1, 6);
  EXPECT_TRUE(GroupDefinitionHasOr(params.getGroup(6)));
  EXPECT_EQ(GroupDefinitionEnd(params.getGroup(6)), GroupDefinitionEnd(params.getGroup(4)) + 12);
}

TEST_F(GroupManagementTest, AGroupWithoutDefinitionGivesTheOtherGroup) {
  struct Case {
    CombinationMode mode;
    int a, b;
    int copyOf;
  };
  // Group 10 is undefined, group 0 "Gesamt" has no definition either.
  const std::vector<Case> cases = {
      {CombinationMode::Intersection, 10, 3, 3}, {CombinationMode::Union, 10, 3, 3},
      {CombinationMode::Union, 0, 3, 3},         {CombinationMode::Intersection, 3, 10, 3},
      {CombinationMode::Union, 3, 10, 3},
  };
  int target = 11;
  for (const Case& c : cases) {
    SCOPED_TRACE(target);
    GroupManagementModel m = model();
    combine(m, c.mode, c.a, c.b, target);
    GroupRecord expected = params.getGroup(c.copyOf);
    expected[0] = static_cast<std::uint8_t>(target);
    EXPECT_EQ(params.getGroup(target), expected);
    ++target;
  }
}

TEST_F(GroupManagementTest, CombinationsBeyondTheDefinitionSizeAreRefused) {
  // Definitions of 300 bytes each (the terminating zero at 301).
  params.putGroup(7, makeGroup("lang 1", "l1", {termOfLength(300)}));
  params.putGroup(8, makeGroup("lang 2", "l2", {termOfLength(300)}));
  ASSERT_EQ(GroupDefinitionEnd(params.getGroup(7)), 301);
  ui.expectError("Kombination wird zu umfangreich");
  {
    GroupManagementModel m = model();
    combine(m, CombinationMode::Union, 7, 8, 9);
    EXPECT_FALSE(m.inCombination());
  }
  EXPECT_EQ(params.getGroup(9), GroupRecord{});

  // Ends adding up to 464 still fit (the zero lands at 463); the next larger definitions, 467, do not.
  params.putGroup(7, makeGroup("a", "a", {termOfLength(231)}));
  params.putGroup(8, makeGroup("b", "b", {termOfLength(231)}));
  params.putGroup(10, makeGroup("c", "c", {termOfLength(234)}));
  {
    GroupManagementModel m = model();
    combine(m, CombinationMode::Intersection, 7, 8, 9);
  }
  EXPECT_EQ(GroupDefinitionEnd(params.getGroup(9)), 463);
  EXPECT_EQ(CombineGroups(params, 7, 10, 11, CombinationMode::Intersection), CombineOutcome::TooLarge);
  EXPECT_EQ(params.getGroup(11), GroupRecord{});
}

TEST_F(GroupManagementTest, TargetZeroIsRefusedAndTheStepStays) {
  ui.expectError("Gruppe 0 kann nicht geändert werden!"_w);
  GroupManagementModel m = model();
  ASSERT_TRUE(m.startCombination(CombinationMode::Union));
  m.select(1);
  m.choose();
  m.select(2);
  m.choose();
  m.select(0);
  EXPECT_FALSE(m.choose());
  EXPECT_TRUE(m.inCombination());
  EXPECT_EQ(m.combinationStep(), 3);
  EXPECT_EQ(m.display(), "1 + 2");
  EXPECT_FALSE(params.modified());
  m.select(12);
  EXPECT_TRUE(m.choose());
  EXPECT_FALSE(m.inCombination());
  EXPECT_EQ(titleOf(params.getGroup(12)), padded("Frauen+Junge", 35));
}

TEST_F(GroupManagementTest, OverwritingAGroupIsAsked) {
  ui.expectConfirm("Zielgruppe nicht leer. Überschreiben?"_w, false);
  {
    GroupManagementModel m = model();
    combine(m, CombinationMode::Union, 1, 2, 3);
    EXPECT_FALSE(m.inCombination());
    EXPECT_EQ(m.selected(), 3);
  }
  EXPECT_EQ(titleOf(params.getGroup(3)), padded("Alte Frauen", 35));
  EXPECT_FALSE(params.modified());
  ASSERT_TRUE(ui.allPlayed());

  ui.expectConfirm("Zielgruppe nicht leer. Überschreiben?"_w, true);
  GroupManagementModel m = model();
  combine(m, CombinationMode::Union, 1, 2, 3);
  EXPECT_EQ(titleOf(params.getGroup(3)), padded("Frauen+Junge", 35));
  EXPECT_TRUE(params.modified());
}

TEST_F(GroupManagementTest, CombinationModeShowsItsOwnControls) {
  GroupManagementModel m = model();
  EXPECT_TRUE(m.closeEnabled());
  EXPECT_TRUE(m.printEnabled());
  EXPECT_TRUE(m.editEnabled());
  EXPECT_TRUE(m.combineButtonsEnabled());
  EXPECT_FALSE(m.combinationControlsVisible());
  EXPECT_EQ(m.label(), "");

  ASSERT_TRUE(m.startCombination(CombinationMode::Intersection));
  EXPECT_EQ(m.label(), "Durchschnitt:");
  EXPECT_FALSE(m.closeEnabled());
  EXPECT_FALSE(m.printEnabled());
  EXPECT_FALSE(m.editEnabled());
  EXPECT_FALSE(m.combineButtonsEnabled());
  EXPECT_TRUE(m.deleteEnabled());
  EXPECT_TRUE(m.combinationControlsVisible());
  EXPECT_FALSE(m.tabSwitchAllowed());
  EXPECT_FALSE(m.setTab(ManagementTab::ClassDivisions));
  EXPECT_EQ(m.tab(), ManagementTab::Groups);
  EXPECT_FALSE(m.startCombination(CombinationMode::Union));
  EXPECT_EQ(m.combinationMode(), CombinationMode::Intersection);

  // Enter on the list chooses instead of editing.
  m.select(2);
  m.activate();
  EXPECT_EQ(m.display(), "2 / ");
  EXPECT_FALSE(m.edit());
  EXPECT_TRUE(groupEdits.empty());

  m.cancelCombination();
  EXPECT_FALSE(m.inCombination());
  EXPECT_EQ(m.display(), "");
  EXPECT_EQ(m.prompt(), "");
  EXPECT_TRUE(m.closeEnabled());
  EXPECT_TRUE(m.setTab(ManagementTab::ClassDivisions));
  EXPECT_FALSE(params.modified());
}

TEST_F(GroupManagementTest, NumberZeroCannotBeEditedOrDeleted) {
  struct Case {
    ManagementTab tab;
    bool remove;
    std::string message;
  };
  const std::vector<Case> cases = {
      {ManagementTab::Groups, false, std::string("Gruppe 0 kann nicht geändert werden!"_w)},
      {ManagementTab::Groups, true, std::string("Gruppe 0 kann nicht geändert werden!"_w)},
      {ManagementTab::ClassDivisions, false,
       std::string("Klasseneinteilung 0 kann nicht geändert werden!"_w)},
      {ManagementTab::ClassDivisions, true, std::string("Klasseneinteilung 0 kann nicht geändert werden!"_w)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message + (c.remove ? " remove" : " edit"));
    ui.expectError(c.message);
    GroupManagementModel m = model();
    m.setTab(c.tab);
    m.select(0);
    EXPECT_FALSE(c.remove ? m.remove() : m.edit());
    EXPECT_TRUE(ui.allPlayed());
  }
  EXPECT_TRUE(groupEdits.empty());
  EXPECT_TRUE(divisionEdits.empty());
  EXPECT_FALSE(params.modified());
  EXPECT_EQ(titleOf(params.getGroup(0)), padded("Gesamt", 35));
}

TEST_F(GroupManagementTest, DeleteAsksAndClears) {
  GroupManagementModel m = model();
  m.select(1);
  ui.expectConfirm("Gruppe Nr. 1 löschen?"_w, false);
  EXPECT_FALSE(m.remove());
  EXPECT_EQ(titleOf(params.getGroup(1)), padded("Frauen", 35));
  EXPECT_FALSE(params.modified());

  ui.expectConfirm("Gruppe Nr. 1 löschen?"_w, true);
  EXPECT_TRUE(m.remove());
  EXPECT_EQ(params.getGroup(1), GroupRecord{});
  EXPECT_EQ(m.line(1), "  1: " + std::string(35, ' '));
  EXPECT_TRUE(params.modified());

  // An empty line only beeps.
  EXPECT_FALSE(m.remove());
  EXPECT_EQ(ui.beeps(), 1);

  m.setTab(ManagementTab::ClassDivisions);
  m.select(3);
  ui.expectConfirm("Klasseneinteilung Nr. 3 löschen?"_w, true);
  EXPECT_TRUE(m.remove());
  EXPECT_EQ(params.getClassDivision(3)[1], 0);
  EXPECT_TRUE(IsBlank(m.line(3).substr(5)));
  m.select(17);
  EXPECT_FALSE(m.remove());
  EXPECT_EQ(ui.beeps(), 2);
}

TEST_F(GroupManagementTest, EditStoresWhatTheEditorConfirmed) {
  GroupManagementModel m = model();
  m.select(2);
  EXPECT_FALSE(m.edit());  // the editor was left without change
  EXPECT_EQ(groupEdits, std::vector<int>{2});
  EXPECT_EQ(editedGroup, params.getGroup(2));
  EXPECT_FALSE(params.modified());

  groupAnswer = makeGroup("Neu", "N", {womenTerm()});
  m.activate();
  EXPECT_EQ(groupEdits, (std::vector<int>{2, 2}));
  EXPECT_EQ(titleOf(params.getGroup(2)), padded("Neu", 35));
  EXPECT_EQ(params.getGroup(2)[0], 2);
  EXPECT_EQ(m.selected(), 2);
  EXPECT_TRUE(params.modified());

  params.setModified(false);
  m.setTab(ManagementTab::ClassDivisions);
  m.select(5);
  const ClassDivisionRecord before = params.getClassDivision(5);
  ClassDivisionRecord division{};
  division[1] = 32 + 1;  // equal, one text
  std::copy_n("MEIER ", 6, division.begin() + 2);
  divisionAnswer = division;
  EXPECT_TRUE(m.edit());
  EXPECT_EQ(divisionEdits, std::vector<int>{5});
  EXPECT_EQ(editedDivision, before);
  division[0] = 5;  // put writes the number byte
  EXPECT_EQ(params.getClassDivision(5), division);
  EXPECT_TRUE(params.modified());
}

TEST_F(GroupManagementTest, CloseWritesOnlyWhenModified) {
  SelectionSlot slot{};
  slot[0] = 42;
  params.putSelectionSlot(3, slot);
  {
    GroupManagementModel m = model();
    EXPECT_FALSE(m.close());
  }
  EXPECT_EQ(params.selectionSlot(3), slot);
  EXPECT_FALSE(std::filesystem::exists(path("studie.prm")));

  GroupManagementModel m = model();
  combine(m, CombinationMode::Union, 1, 2, 5);
  EXPECT_TRUE(m.close());
  EXPECT_EQ(params.selectionSlot(3), SelectionSlot{});
  EXPECT_FALSE(params.modified());
  TParams reread(ui);
  ASSERT_EQ(reread.read(path("studie.prm")), ParamsReadStatus::Ok);
  EXPECT_EQ(definitionOf(reread.getGroup(5)), definitionOf(params.getGroup(5)));
  EXPECT_EQ(titleOf(reread.getGroup(5)), padded("Frauen+Junge", 35));
}

TEST_F(GroupManagementTest, CloseEndsACombination) {
  GroupManagementModel m = model();
  ASSERT_TRUE(m.startCombination(CombinationMode::Union));
  m.select(1);
  m.choose();
  EXPECT_FALSE(m.close());
  EXPECT_FALSE(m.inCombination());
  EXPECT_FALSE(std::filesystem::exists(path("studie.prm")));
}

TEST(GroupDefinitionOrTest, FindsTheFlagOnAnyTerm) {
  EXPECT_FALSE(GroupDefinitionHasOr(GroupRecord{}));
  EXPECT_FALSE(GroupDefinitionHasOr(makeGroup("x", "x", {womenTerm(), youngTerm()})));
  EXPECT_TRUE(GroupDefinitionHasOr(makeGroup("x", "x", {womenTerm(), numericTerm(128, {{kAlter, 2}}, {3})})));
  EXPECT_TRUE(GroupDefinitionHasOr(
      makeGroup("x", "x", {womenTerm(), youngTerm(), numericTerm(128 + 64, {{kAlter, 2}}, {3})})));
  // NOT and COMPL alone are no alternative.
  EXPECT_FALSE(GroupDefinitionHasOr(makeGroup("x", "x", {numericTerm(64, {{kAlter, 2}}, {3}), youngTerm()})));
  EXPECT_FALSE(GroupDefinitionHasOr(makeGroup("x", "x", {womenTerm(), numericTerm(32, {{kAlter, 2}}, {3})})));
}

}  // namespace
}  // namespace veltrix
