#include "core/groups/class_division.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/stats/number_parse.h"
#include "core/stats/real48.h"
#include "tests/support/class_divisions.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using test::numericDivision;
using test::textDivision;

std::vector<int> classesOf(const ClassList& list) {
  EXPECT_LE(list[31], 31);
  std::vector<int> classes;
  for (int i = 0; i < list[31] && i < 31; ++i) classes.push_back(list[i]);
  return classes;
}

// The field as the data pass hands it over: its text and what ParseNumber makes of it.
std::vector<int> classify(const std::string& field, const ClassDivisionRecord& division) {
  const ParsedNumber parsed = ParseField(field);
  return classesOf(AssignClasses(field, parsed.decimals, parsed.value, division));
}

struct NumericCase {
  std::string field;
  std::vector<int> classes;
};

TEST(ClassDivisionTest, NumericBoundariesAreUpperLimits) {
  const ClassDivisionRecord division = numericDivision({10, 20, 30});
  const std::vector<NumericCase> cases = {
      {"10", {1}}, {"10.5", {2}}, {"20", {2}}, {"30", {3}},  {"31", {4}},   {"-1E30", {1}},
      {"", {}},    {"  ", {}},    {"abc", {}}, {"1E39", {}}, {"9,99", {1}},
  };
  for (const NumericCase& c : cases) EXPECT_EQ(classify(c.field, division), c.classes) << c.field;
}

TEST(ClassDivisionTest, DivisionZeroCountsTheCodesZeroToTwentyEight) {
  test::ScriptedUi ui;
  const TParams params(ui);
  const ClassDivisionRecord division = params.getClassDivision(0);
  const std::vector<NumericCase> cases = {
      {"0", {1}}, {"5", {6}}, {"28", {29}}, {"28.5", {30}}, {"-3", {1}}, {"0.5", {2}},
  };
  for (const NumericCase& c : cases) EXPECT_EQ(classify(c.field, division), c.classes) << c.field;
}

TEST(ClassDivisionTest, EmptyNumericDivisionPutsEveryValueIntoClassOne) {
  const ClassDivisionRecord zeros{};
  EXPECT_EQ(classify("12345", zeros), std::vector<int>{1});
  EXPECT_EQ(classify("", zeros), std::vector<int>{});
}

TEST(ClassDivisionTest, BoundariesAreComparedAsTheStoredSixByteValues) {
  // 0.1 is exact in neither form: the boundary is the six-byte value, not the double 0.1.
  const ClassDivisionRecord division = numericDivision({0.1});
  const double stored = Real48::fromDouble(0.1).toDouble();
  ASSERT_NE(stored, 0.1);
  EXPECT_EQ(classesOf(AssignClasses("", 1, stored, division)), std::vector<int>{1});
  EXPECT_EQ(classesOf(AssignClasses("", 1, stored * (1 + 1e-15), division)), std::vector<int>{2});
}

struct TextCase {
  int type;
  std::vector<std::string> entries;
  std::string field;
  std::vector<int> classes;
};

TEST(ClassDivisionTest, TextDivisions) {
  const std::vector<TextCase> cases = {
      // equal: upper-cased field, whole text
      {1, {"MEIER"}, "Meier", {1}},
      {1, {"MEIER"}, "MEIERHOFER", {2}},
      {1, {std::string("MÜLLER"_w)}, std::string("müller"_w), {1}},
      {1, {"A", "B"}, "B", {2}},
      // contains
      {2, {"EIER"}, "Meierhofer", {1}},
      {2, {"XY", "ER"}, "Meier", {2}},
      {2, {"XY"}, "Meier", {2}},
      // begins with
      {3, {"MEI"}, "meierhofer", {1}},
      {3, {"EIER"}, "Meier", {2}},
      {3, {"MEIERH"}, "MEIER", {2}},
      // list fields: every item counts; items that match no entry go to the rest class as well
      {2, {"A;", "B;"}, "a;b;c;", {1, 2, 3}},
      {2, {"A;", "B;"}, "A;B;", {1, 2}},
      {2, {"A;", "B;"}, "a;b", {1, 2}},
      {2, {"A;", "B;"}, "c;", {3}},
      {2, {"A;", "B;"}, "c", {3}},
      {1, {"A;"}, "a", {1}},
      // the ";" appended for the first list entry stays for the following ones
      {1, {"A;", "A"}, "a", {1}},
      // empty fields: only LEER matches, with any comparison
      {2, {"A;", "B;"}, "", {3}},
      {2, {"A;", "LEER"}, "", {2}},
      {1, {"LEER"}, "", {1}},
      {3, {" LEER "}, "", {1}},
      {2, {"X"}, "", {2}},
      // a text kind without a comparison of its own matches nothing
      {5, {"A"}, "A", {2}},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(classify(c.field, textDivision(c.type, c.entries)), c.classes)
        << "type " << c.type << " field '" << c.field << "'";
  }
}

TEST(ClassDivisionTest, TextsAreComparedOnTheirFirstEightyCharacters) {
  const std::string longField = std::string(80, 'X') + "ABC";
  EXPECT_EQ(classify(longField, textDivision(2, {"ABC"})), std::vector<int>{2});
  EXPECT_EQ(classify(std::string(79, 'X') + "ABC", textDivision(2, {"XA"})), std::vector<int>{1});
}

TEST(ClassDivisionTest, ACountBeyondTheSlotsReadsOnlyTheTwentyNineValues) {
  ClassDivisionRecord division = textDivision(2, std::vector<std::string>(29, "A"));
  division[1] = 31 + 32 * 2;  // count 31 in the five count bits
  const std::vector<int> classes = classify("A", division);
  ASSERT_EQ(classes.size(), 29u);
  EXPECT_EQ(classes.front(), 1);
  EXPECT_EQ(classes.back(), 29);

  ClassDivisionRecord numeric = numericDivision(std::vector<double>(29, 0.0));
  numeric[1] = 31;
  EXPECT_EQ(classify("1", numeric), std::vector<int>{30});
}

TEST(ClassDivisionTest, EveryEntryAndTheRestClassFitTheList) {
  ClassDivisionRecord division = textDivision(2, std::vector<std::string>(29, ";"));
  const std::vector<int> classes = classify(std::string(40, ';'), division);
  ASSERT_EQ(classes.size(), 30u);
  EXPECT_EQ(classes.back(), 30);
}

}  // namespace
}  // namespace veltrix
