#include "core/groups/group_language.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/datafile/stat_record.h"
#include "core/stats/real48.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using Lines = std::vector<std::string>;

constexpr int kDef = kGroupDefinitionOffset;

// The study of these tests: ALTER at 1 (3), GESCHL at 4 (1), GEWICHT at 5 (6), NAME> at 11 (20),
// ORT> at 31 (10).
class GroupLanguageTest : public ::testing::Test {
 protected:
  GroupLanguageTest() : params(ui) {
    params.putVariable(1, "ALTER", 1, 3);
    params.putVariable(2, "GESCHL", 4, 1);
    params.putVariable(3, "GEWICHT", 5, 6);
    params.putVariable(4, "NAME>", 11, 20);
    params.putVariable(5, "ORT>", 31, 10);
    params.setVariableCount(5);
  }

  GroupCompileResult compile(const Lines& lines) const {
    return CompileGroupDefinition(params, lines, "Titel", "Kurz");
  }
  GroupRecord compiled(const Lines& lines) const {
    const GroupCompileResult result = compile(lines);
    EXPECT_TRUE(result.ok) << result.message;
    return result.record;
  }

  struct Person {
    std::string alter, geschl, name;
    int number = 1;
  };
  static RecordBuffer record(const Person& person) {
    RecordBuffer buffer;
    buffer.write(1, person.alter);
    buffer.write(4, person.geschl);
    buffer.write(11, person.name);
    buffer.setRecordNumber(person.number);
    return buffer;
  }
  // The record numbers of the people the group selects.
  static std::vector<int> selected(const GroupRecord& group, const std::vector<Person>& people) {
    std::vector<int> numbers;
    for (const Person& person : people)
      if (IsInGroup(record(person).text(), group)) numbers.push_back(person.number);
    return numbers;
  }

  test::ScriptedUi ui;
  TParams params;
};

std::vector<std::uint8_t> definitionOf(const GroupRecord& group) {
  return std::vector<std::uint8_t>(group.begin() + kDef, group.end());
}

std::vector<std::uint8_t> real(double value) {
  const Real48 r = Real48::fromDouble(value);
  return std::vector<std::uint8_t>(r.bytes.begin(), r.bytes.end());
}

TEST_F(GroupLanguageTest, SingleValuesComeBeforeRangesInTheCompiledTermAndInItsText) {
  const GroupRecord group = compiled({"ALTER : 20,-,29,65"});
  std::vector<std::uint8_t> expected = {1, 1, 0, 3, 1, 1};
  for (const double v : {65.0, 20.0, 29.0}) {
    const auto bytes = real(v);
    expected.insert(expected.end(), bytes.begin(), bytes.end());
  }
  expected.push_back(0);
  const auto def = definitionOf(group);
  EXPECT_EQ(std::vector<std::uint8_t>(def.begin(), def.begin() + static_cast<long>(expected.size())),
            expected);
  EXPECT_TRUE(std::all_of(def.begin() + static_cast<long>(expected.size()), def.end(),
                          [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(RenderGroupDefinition(params, group), Lines({"ALTER : 65,20,-,29"}));
}

TEST_F(GroupLanguageTest, TitlesAreBlankPaddedOrCut) {
  const GroupCompileResult result =
      CompileGroupDefinition(params, {"ALTER : 1"}, "Eine sehr lange Bezeichnung, die zu lang ist", "Kurz");
  ASSERT_TRUE(result.ok);
  const std::string name(result.record.begin() + kGroupNameOffset,
                         result.record.begin() + kGroupShortNameOffset);
  const std::string shortName(result.record.begin() + kGroupShortNameOffset, result.record.begin() + kDef);
  EXPECT_EQ(name, "Eine sehr lange Bezeichnung, die zu");
  EXPECT_EQ(shortName, "Kurz      ");
  EXPECT_EQ(result.record[0], 0);
  EXPECT_EQ(result.record[1], 0);
}

TEST_F(GroupLanguageTest, CompilerMessages) {
  struct Case {
    Lines lines;
    int number;
    std::string message;
    int lineIndex;
  };
  const std::vector<Case> cases = {
      {{"ALTER : -,5"}, kGroupMisplacedRange, "Falsche Verwendung von  ,-,", 0},
      {{"ALTER : 1,-,-,5"}, kGroupMisplacedRange, "Falsche Verwendung von  ,-,", 0},
      {{"ALTER : 1,-,5,-,7"}, kGroupMisplacedRange, "Falsche Verwendung von  ,-,", 0},
      {{"ALTER : 1,-"}, kGroupMisplacedRange, "Falsche Verwendung von  ,-,", 0},
      {{"GESCHL : 1", "ALTER,NAME> : 1"}, kGroupMixedKinds, "Text- und numerische Felder gemischt", 1},
      {{"NAME>,ALTER : 1"}, kGroupMixedKinds, "Text- und numerische Felder gemischt", 0},
      {{"ALTER 20"}, kGroupNoVariables, "Keine Variablen (: ?)", 0},
      {{" : 20"}, kGroupNoVariables, "Keine Variablen (: ?)", 0},
      {{"NOT : 20"}, kGroupNoVariables, "Keine Variablen (: ?)", 0},
      {{"", "OR", "ALTER :"}, kGroupNoValues, "Keine Abfragewerte nach :", 2},
      {{"ALTER : ,, ,"}, kGroupNoValues, "Keine Abfragewerte nach :", 0},
      {{"XYZ : 1"}, 0, "Fehler: XYZ", 0},
      {{"ALTER,ABCDEFGHIJKLMN : 1"}, 0, "Fehler: ABCDEFGHIJ", 0},
      {{"ALTER : 1, 2X"}, 0, "Fehler: 2X", 0},
      {{"ALTER : 2E38"}, 0, "Fehler: 2E38", 0},
      {{"ALTER : 1E999"}, 0, "Fehler: 1E999", 0},
      {{"NOT,COMPL,ALTER : 1"}, 0, "Fehler: COMPL", 0},
  };
  for (const Case& c : cases) {
    const GroupCompileResult result = compile(c.lines);
    EXPECT_FALSE(result.ok) << c.lines.back();
    EXPECT_EQ(result.messageNumber, c.number) << c.lines.back();
    EXPECT_EQ(result.message, c.message) << c.lines.back();
    EXPECT_EQ(result.lineIndex, c.lineIndex) << c.lines.back();
  }
}

TEST_F(GroupLanguageTest, AtMostThirtyVariablesInATerm) {
  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += "ALTER,";
  EXPECT_TRUE(compile({thirty + "GEWICHT : 1"}).ok == false);
  EXPECT_EQ(compile({thirty + "GEWICHT : 1"}).messageNumber, kGroupTooManyVariables);
  EXPECT_EQ(compile({thirty + "GEWICHT : 1"}).message, "Zuviele Variablen (max. 30 erlaubt)");
  // The keyword does not count as a variable.
  thirty.pop_back();
  const GroupCompileResult result = compile({"NOT," + thirty + " : 1"});
  ASSERT_TRUE(result.ok) << result.message;
  EXPECT_EQ(result.record[kDef], 64 + 30);
}

TEST_F(GroupLanguageTest, ALogicalLineHoldsAtMost254Characters) {
  std::string fill;
  for (int i = 0; i < 120; ++i) fill += "5,";
  // 254 characters exactly: "ALTER :" and blanks and "1,2".
  std::string line254 = "ALTER : 1," + std::string(241, ' ') + "2,3";
  ASSERT_EQ(line254.size(), 254u);
  EXPECT_TRUE(compile({line254}).ok);
  EXPECT_EQ(compile({line254 + "4"}).messageNumber, kGroupTooManyContinued);

  const Lines continued = {"GESCHL : 1", "ALTER : 1,2, *", "3,4," + fill + "*", "6,7"};
  const GroupCompileResult result = compile(continued);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.messageNumber, kGroupTooManyContinued);
  EXPECT_EQ(result.message, "Zuviel Fortsetzungszeilen");
  EXPECT_EQ(result.lineIndex, 1);
}

TEST_F(GroupLanguageTest, AStarContinuesTheLineOntoTheNextOne) {
  const auto joined = definitionOf(compiled({"ALTER : 20,-,29,65"}));
  EXPECT_EQ(definitionOf(compiled({"ALTER : 20, *", "  -,29,*", "65"})), joined);
  EXPECT_EQ(definitionOf(compiled({"ALTER :*", "20,-,29,65"})), joined);
  EXPECT_EQ(definitionOf(compiled({"ALT*", "ER : 20,-,29,65   "})), joined);
  // An empty line ends the logical line, so "65" stands alone and has no colon.
  EXPECT_EQ(compile({"ALTER : 20,-,29,*", "", "65"}).messageNumber, kGroupNoVariables);
}

TEST_F(GroupLanguageTest, LinesAreAndedAndOrSeparatesAlternatives) {
  const std::vector<Person> people = {
      {"25", "1", "", 1}, {"25", "2", "", 2}, {"40", "1", "", 3}, {"40", "2", "", 4},
      {"29", "1", "", 5}, {"20", "2", "", 6}, {"", "1", "", 7},   {"19", "", "", 8},
  };
  EXPECT_EQ(selected(compiled({"GESCHL : 1", "ALTER : 20,-,29"}), people), std::vector<int>({1, 5}));
  EXPECT_EQ(selected(compiled({"GESCHL : 1", "OR", "ALTER : 20,-,29"}), people),
            std::vector<int>({1, 2, 3, 5, 6, 7}));
  // Several OR lines count as one; OR lines at the ends do nothing.
  EXPECT_EQ(definitionOf(compiled({"OR", "GESCHL : 1", "OR", "OR", "ALTER : 20,-,29", "OR"})),
            definitionOf(compiled({"GESCHL : 1", "OR", "ALTER : 20,-,29"})));
  // A false term of the first alternative skips to the second one.
  EXPECT_EQ(
      selected(compiled({"GESCHL : 2", "ALTER : 40", "OR", "ALTER : 19", "OR", "GESCHL : 1", "ALTER : 29"}),
               people),
      std::vector<int>({4, 5, 8}));
  EXPECT_EQ(selected(compiled({"ALTER,GESCHL : 2"}), people), std::vector<int>({2, 4, 6}));
  const GroupRecord dsnr = compiled({"*DSNR : 2,-,3,7"});
  EXPECT_EQ(selected(dsnr, people), std::vector<int>({2, 3, 7}));
}

TEST_F(GroupLanguageTest, NotExcludesAndComplIncludesEmptyFields) {
  const std::vector<Person> people = {
      {"1", "", "", 1}, {"2", "", "", 2}, {"", "", "", 3}, {"abc", "", "", 4}};
  EXPECT_EQ(selected(compiled({"ALTER : 1"}), people), std::vector<int>({1}));
  EXPECT_EQ(selected(compiled({"NOT , ALTER : 1"}), people), std::vector<int>({2}));
  EXPECT_EQ(selected(compiled({"COMPL, ALTER : 1"}), people), std::vector<int>({2, 3, 4}));
  const std::vector<Person> names = {{"", "", "MEIER", 1}, {"", "", "", 2}};
  EXPECT_EQ(selected(compiled({"NOT,NAME> : MEIER"}), names), std::vector<int>({2}));
  EXPECT_EQ(selected(compiled({"COMPL,NAME> : MEIER"}), names), std::vector<int>({2}));
}

TEST_F(GroupLanguageTest, TextValuesMatchEqualContainedOrAtTheStart) {
  const std::vector<Person> people = {
      {"", "", "Meier", 1},  {"", "", "  meierhofer ", 2}, {"", "", "Obermeier", 3},
      {"", "", "", 4},       {"", "", "MEIERH", 5},        {"", "", "Mai", 6},
      {"", "", "a;b;cd", 7}, {"", "", "x;ab", 8},          {"", "", std::string("Jürgen"_w), 9},
  };
  EXPECT_EQ(selected(compiled({"NAME> : ?meier"}), people), std::vector<int>({1, 2, 3, 5}));
  EXPECT_EQ(selected(compiled({"NAME> : \"MEIER"}), people), std::vector<int>({1, 2, 5}));
  EXPECT_EQ(selected(compiled({"NAME> : MEIER"}), people), std::vector<int>({1}));
  EXPECT_EQ(selected(compiled({"NAME> : LEER"}), people), std::vector<int>({4}));
  EXPECT_EQ(selected(compiled({"NAME> : BLANK, MAI"}), people), std::vector<int>({4, 6}));
  // Cut to MEIERH: equal to "MEIERH", never to the longer name.
  const GroupRecord cut = compiled({"NAME> : MEIERHOFER"});
  EXPECT_EQ(std::string(cut.begin() + kDef + 6, cut.begin() + kDef + 12), "MEIERH");
  EXPECT_EQ(selected(cut, people), std::vector<int>({5}));
  // A value ending in ";" finds an item of a ";"-list, the last one too.
  EXPECT_EQ(selected(compiled({"NAME> : ?B;"}), people), std::vector<int>({7, 8}));
  EXPECT_EQ(selected(compiled({"NAME> : ?CD;"}), people), std::vector<int>({7}));
  EXPECT_EQ(selected(compiled({"NAME> : ?AB;"}), people), std::vector<int>({8}));
  // The marker only counts on the first value; upper case covers the accented letters.
  EXPECT_EQ(selected(compiled({"NAME> : MAI,?MEIER"}), people), std::vector<int>({6}));
  EXPECT_EQ(selected(compiled({std::string("NAME> : ?ÜRG"_w)}), people), std::vector<int>({9}));
}

TEST_F(GroupLanguageTest, FieldValuesAreComparedInTheStoredPrecision) {
  const std::vector<Person> people = {{"0.1", "", "", 1}, {"0,3", "", "", 2}, {".7", "", "", 3}};
  EXPECT_EQ(selected(compiled({"ALTER : 0.1, 0.3"}), people), std::vector<int>({1, 2}));
  EXPECT_EQ(selected(compiled({"ALTER : 0.7,-,0.7"}), people), std::vector<int>({3}));
  EXPECT_EQ(selected(compiled({"ALTER : -1E38,-,1E38"}), people), std::vector<int>({1, 2, 3}));
}

TEST_F(GroupLanguageTest, AnEmptyDefinitionSelectsEveryRecord) {
  for (const Lines& lines : {Lines{}, Lines{"", "   "}, Lines{"OR", " or "}, Lines{"*", ""}}) {
    const GroupCompileResult result = compile(lines);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.record[kDef], 0);
    EXPECT_TRUE(RenderGroupDefinition(params, result.record).empty());
    EXPECT_TRUE(IsInGroup(record({"5", "1", "X", 1}).text(), result.record));
  }
}

TEST_F(GroupLanguageTest, ADefinitionThatWouldOutgrowItsBytesIsRefused) {
  auto values = [](int count) {
    std::string text = "ALTER : ";
    for (int i = 1; i <= count; ++i) text += std::to_string(i) + (i < count ? "," : "");
    return text;
  };
  // One term of s values ends with its zero byte at 7 + 6 s; two at 13 + 6 (s1 + s2). 463 is the last
  // position allowed.
  const GroupCompileResult fits = compile({values(49), values(26)});
  ASSERT_TRUE(fits.ok) << fits.message;
  EXPECT_EQ(fits.record[kDef + 462], 0);
  EXPECT_NE(fits.record[kDef + 461], 0);
  const GroupCompileResult tooLarge = compile({values(49), values(27)});
  EXPECT_FALSE(tooLarge.ok);
  EXPECT_EQ(tooLarge.messageNumber, kGroupTooLarge);
  EXPECT_EQ(tooLarge.message, "Definition zu umfangreich");
  EXPECT_EQ(tooLarge.lineIndex, 1);
  // Many terms: refused as soon as one does not fit.
  Lines many(200, "ALTER : 1,-,2");
  const GroupCompileResult manyTerms = compile(many);
  EXPECT_EQ(manyTerms.messageNumber, kGroupTooLarge);
  EXPECT_EQ(manyTerms.lineIndex, 25);  // 25 terms of 18 bytes fit: the 26th would end at 469

  // The variable entries may not reach beyond position 450: after terms ending at 367 a term of 27
  // variables ends its entries at 448, one of 28 at 451.
  auto variables = [](int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "GESCHL,";
    text.back() = ':';
    return text + "1";
  };
  EXPECT_TRUE(compile({values(49), values(10), variables(27)}).ok);
  EXPECT_EQ(compile({values(49), values(10), variables(28)}).messageNumber, kGroupTooLarge);
}

TEST_F(GroupLanguageTest, LongTermsAreRenderedOnContinuedLines) {
  std::string vars;
  for (int i = 0; i < 12; ++i) vars += "GEWICHT,";
  vars.back() = ':';
  std::string line = vars;
  for (int i = 0; i < 20; ++i) line += std::to_string(1000 + i) + ".5,";
  const GroupRecord group = compiled({line});
  const Lines rendered = RenderGroupDefinition(params, group);
  ASSERT_EQ(rendered.size(), 4u);
  // GEWICHT, is 8 characters: 9 fit before the line would reach 74; the line is padded to 77 + "*".
  EXPECT_EQ(rendered[0], "GEWICHT,GEWICHT,GEWICHT,GEWICHT,GEWICHT,GEWICHT,GEWICHT,GEWICHT,GEWICHT," +
                             std::string(5, ' ') + "*");
  EXPECT_EQ(rendered[1].substr(0, 3 + 8), "   GEWICHT,");
  for (std::size_t i = 0; i + 1 < rendered.size(); ++i) {
    EXPECT_EQ(rendered[i].back(), '*');
    EXPECT_TRUE(rendered[i].size() == 78 || rendered[i].size() == 77) << rendered[i];
  }
  // Value lines are padded to 76 + "*" and begin with 5 blanks.
  EXPECT_EQ(rendered[2].size(), 77u);
  EXPECT_EQ(rendered[3].substr(0, 6), "     1");
  EXPECT_EQ(definitionOf(compiled(rendered)), definitionOf(group));
}

TEST_F(GroupLanguageTest, RenderingGivesTheKeywordsMarkersAndNames) {
  const GroupRecord group = compiled({"not,alter,gewicht : 1,2.5,-,3", "or", "COMPL , NAME>,ORT> : \"ab,c",
                                      "NAME> : ?x;", "40.5, 50.3 : -7", "60.8> : A"});
  EXPECT_EQ(RenderGroupDefinition(params, group),
            Lines({"NOT , ALTER,GEWICHT : 1,2.5,-,3", "OR", "COMPL , NAME>,ORT> : \"AB,C", "NAME> : ?X;",
                   "40.5,50.3 : -7", "60.8> : A"}));
}

TEST_F(GroupLanguageTest, ValuesThatEightDecimalsDoNotShowAreRenderedSoThatTheyReadBack) {
  const GroupRecord group = compiled({"GEWICHT : 1E20,1.2345E-30,123456E-38,.123456789,1E38,1E-40"});
  const Lines rendered = RenderGroupDefinition(params, group);
  EXPECT_EQ(rendered, Lines({"GEWICHT : 1E20,1.2345E-30,123456E-38,.123456789,1E38,0"}));
  EXPECT_EQ(definitionOf(compiled(rendered)), definitionOf(group));
  // A text value ending in "*" does not continue the line.
  const GroupRecord star = compiled({"NAME> : A*,"});
  EXPECT_EQ(RenderGroupDefinition(params, star), Lines({"NAME> : A*,"}));
  EXPECT_EQ(definitionOf(compiled(RenderGroupDefinition(params, star))), definitionOf(star));
}

TEST_F(GroupLanguageTest, TermsTooLongForTheUsualSpacingAreRenderedCompactly) {
  // 1E9 shows as 1000000000 and ALTER is longer than its field reference 1.3: with the usual
  // spacing the rendered line would pass 254 characters, so it is written in the shortest forms.
  std::string line = "NOT,";
  for (int i = 0; i < 30; ++i) line += i < 29 ? "1.3," : "1.3:";
  for (int i = 0; i < 19; ++i) line += i < 18 ? "1E9," : "1E9";
  ASSERT_LE(line.size(), 254u);
  const GroupRecord group = compiled({line});
  const Lines rendered = RenderGroupDefinition(params, group);
  ASSERT_FALSE(rendered.empty());
  EXPECT_EQ(rendered[0].substr(0, 12), "NOT,1.3,1.3,");
  EXPECT_EQ(definitionOf(compiled(rendered)), definitionOf(group));
  // A shorter term keeps the usual form.
  EXPECT_EQ(RenderGroupDefinition(params, compiled({"NOT,1.3 : 1E9"})), Lines({"NOT , ALTER : 1000000000"}));
}

TEST_F(GroupLanguageTest, AVariableWhoseNameFindsAnotherFieldIsRenderedAsItsFieldReference) {
  // Two variables of one name (as after adding the variables of another file): the name finds only one.
  params.putVariable(3, "ALTER", 5, 6);
  const GroupRecord group = compiled({"5.6 : 3", "1.3 : 4"});
  const Lines rendered = RenderGroupDefinition(params, group);
  EXPECT_EQ(definitionOf(compiled(rendered)), definitionOf(group));
  EXPECT_EQ(std::count(rendered.begin(), rendered.end(), "ALTER : 3") +
                std::count(rendered.begin(), rendered.end(), "ALTER : 4"),
            1);
}

TEST_F(GroupLanguageTest, AnyTextCompilesOrGivesItsMessage) {
  Lines lines;
  std::mt19937 random(7);
  for (int i = 0; i < 10000; ++i) {
    std::string line(static_cast<std::size_t>(random() % 256), ' ');
    for (char& c : line) c = static_cast<char>(random() % 256);
    lines.push_back(line);
  }
  const GroupCompileResult result = compile(lines);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.message.empty());
  // Only control characters and continuations.
  const GroupCompileResult controls = compile(Lines(10000, "\x01\t\r"));
  EXPECT_FALSE(controls.ok);
  EXPECT_EQ(controls.messageNumber, kGroupNoVariables);
  const GroupCompileResult continued = compile(Lines(10000, "\x01\t\r*"));
  EXPECT_FALSE(continued.ok);
  EXPECT_EQ(continued.messageNumber, kGroupTooManyContinued);
  EXPECT_EQ(continued.lineIndex, 0);
  const GroupCompileResult stars = compile(Lines(10000, "*"));
  EXPECT_TRUE(stars.ok);
  EXPECT_EQ(stars.record[kDef], 0);
}

TEST_F(GroupLanguageTest, DamagedGroupRecordsSelectNothingAndRenderAsFarAsReadable) {
  const RecordBuffer person = record({"25", "1", "MEIER", 1});
  GroupRecord valid = compiled({"ALTER : 25", "NAME> : MEIER"});
  ASSERT_TRUE(IsInGroup(person.text(), valid));

  std::vector<GroupRecord> damaged;
  GroupRecord noEnd = valid;
  std::fill(noEnd.begin() + kDef, noEnd.end(), 0x41);  // heads of 1 variable, never a zero byte
  damaged.push_back(noEnd);
  GroupRecord countPastEnd = valid;
  countPastEnd[kDef + 4] = 63;  // 63 values of 6 bytes after the first term's head
  countPastEnd[kDef + 5] = 255;
  damaged.push_back(countPastEnd);
  // The first term holds for the person and an alternative follows, but later terms run past the end.
  GroupRecord lateTerm = valid;
  lateTerm[kDef + 12] = 128 + 30;
  std::fill(lateTerm.begin() + kDef + 13, lateTerm.end(), 0x01);
  damaged.push_back(lateTerm);
  GroupRecord badMode = compiled({"NAME> : MEIER"});
  badMode[kDef + 5] = 9;
  damaged.push_back(badMode);
  GroupRecord both = valid;
  both[kDef] = 1 + 64 + 32;
  damaged.push_back(both);
  GroupRecord noVariables = valid;
  noVariables[kDef] = 128;
  damaged.push_back(noVariables);

  for (const GroupRecord& group : damaged) {
    EXPECT_FALSE(IsInGroup(person.text(), group));
    EXPECT_FALSE(IsInGroup(std::string_view(), group));
    (void)RenderGroupDefinition(params, group);
  }
  // What can be read of the record with the count past the end: the first term's variable.
  const Lines partial = RenderGroupDefinition(params, countPastEnd);
  ASSERT_FALSE(partial.empty());
  EXPECT_EQ(partial[0].substr(0, 8), "ALTER : ");
  // A short record: fields beyond it are empty.
  EXPECT_FALSE(IsInGroup("2", valid));
  EXPECT_TRUE(IsInGroup("2", compiled({"COMPL,ALTER : 25"})));
}

TEST_F(GroupLanguageTest, GroupsOfTheParameterObject) {
  GroupRecord group = compiled({"GESCHL : 2"});
  params.putGroup(3, group);
  const RecordBuffer man = record({"30", "1", "", 1});
  const RecordBuffer woman = record({"30", "2", "", 2});
  EXPECT_TRUE(IsInGroup(woman.text(), params, 3));
  EXPECT_FALSE(IsInGroup(man.text(), params, 3));
  EXPECT_TRUE(IsInGroup(man.text(), params, 0));
  EXPECT_FALSE(IsInGroup(man.text(), params, 256));
  EXPECT_FALSE(IsInGroup(man.text(), params, -1));
}

// ---------------------------------------------------------------- compile, render, compile

std::string randomNumber(std::mt19937& random) {
  static const char* const fixed[] = {"0",     "-0",         "7",          "65",         "-3.25",
                                      "0,5",   ".75",        "1234567890", "-123456789", "99.999",
                                      "1E5",   "2.5E-3",     "-4E10",      "3.4E37",     "1.7E38",
                                      "6E-39", "123456E-38", "1.2345E-30", "0.000001",   "+12+"};
  switch (random() % 4) {
    case 0:
      return fixed[random() % (sizeof fixed / sizeof *fixed)];
    case 1:
      return std::to_string(static_cast<int>(random() % 2000) - 1000);
    case 2: {
      std::string text = std::to_string(random() % 100000);
      text.insert(text.size() - std::min<std::size_t>(text.size(), random() % 4), ".");
      return (random() % 3 == 0 ? "-" : "") + text;
    }
    default:
      return std::to_string(1 + random() % 9) + "." + std::to_string(random() % 1000) + "E" +
             std::to_string(static_cast<int>(random() % 70) - 35);
  }
}

std::string randomText(std::mt19937& random) {
  static const char alphabet[] = "ABCxyz\xE4\xD6 ;*-?\"0.";
  std::string text;
  const std::size_t length = 1 + random() % 9;
  for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % (sizeof alphabet - 1)];
  return text;
}

Lines randomDefinition(std::mt19937& random) {
  static const char* const numeric[] = {"ALTER", "GESCHL", "GEWICHT", "*DSNR", "40.5", "7821.1"};
  static const char* const text[] = {"NAME>", "ORT>", "50.8>", "7000.60>"};
  Lines lines;
  const int terms = 1 + static_cast<int>(random() % 6);
  for (int t = 0; t < terms; ++t) {
    if (random() % 3 == 0) lines.emplace_back("OR");
    std::string line;
    const int keyword = static_cast<int>(random() % 4);
    if (keyword == 1) line += "NOT, ";
    if (keyword == 2) line += "compl , ";
    const bool isText = random() % 3 == 0;
    const int variables = 1 + static_cast<int>(random() % (random() % 8 == 0 ? 12 : 3));
    for (int v = 0; v < variables; ++v)
      line += std::string(isText ? text[random() % 4] : numeric[random() % 6]) +
              (v + 1 < variables ? "," : " : ");
    const int values = 1 + static_cast<int>(random() % (random() % 8 == 0 ? 30 : 4));
    if (isText && random() % 2 == 0) line += random() % 2 == 0 ? "?" : "\"";
    for (int v = 0; v < values; ++v) {
      if (isText) {
        line += randomText(random);
      } else {
        line += randomNumber(random);
        if (random() % 3 == 0) line += ",-," + randomNumber(random);
      }
      line += v + 1 < values ? "," : "";
    }
    // Now and then the line is continued somewhere.
    if (random() % 4 == 0 && line.size() > 2) {
      const std::size_t cut = 1 + random() % (line.size() - 1);
      lines.push_back(line.substr(0, cut) + " *");
      lines.push_back(line.substr(cut));
    } else {
      lines.push_back(line);
    }
  }
  return lines;
}

TEST_F(GroupLanguageTest, RenderedDefinitionsCompileToTheSameBytes) {
  std::mt19937 random(20240517);
  int compiledCount = 0;
  int failures = 0;
  for (int i = 0; i < 3000; ++i) {
    const Lines lines = randomDefinition(random);
    const GroupCompileResult first = compile(lines);
    if (!first.ok) continue;
    ++compiledCount;
    const Lines rendered = RenderGroupDefinition(params, first.record);
    const GroupCompileResult again = compile(rendered);
    if (!again.ok || definitionOf(again.record) != definitionOf(first.record)) {
      if (++failures <= 5) {
        std::string text;
        for (const std::string& l : lines) text += l + "\n";
        std::string shown;
        for (const std::string& l : rendered) shown += l + "\n";
        ADD_FAILURE() << "definition:\n" << text << "rendered:\n" << shown << again.message;
      }
    }
  }
  EXPECT_EQ(failures, 0);
  // Most random definitions compile, so the comparison above covers many of them.
  EXPECT_GT(compiledCount, 2000);
}

}  // namespace
}  // namespace veltrix
