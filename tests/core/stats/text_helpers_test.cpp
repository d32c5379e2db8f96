#include "core/stats/text_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/win1252.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;

TEST(TextHelpersTest, Windows1252CaseMapping) {
  // Pairs from the Windows-1252 code chart: lower case byte, its upper case byte.
  const std::string_view lower = "abzäöüàéîøþšœžÿ"_w;
  const std::string_view upper = "ABZÄÖÜÀÉÎØÞŠŒŽŸ"_w;
  ASSERT_EQ(lower.size(), upper.size());
  EXPECT_EQ(UpperText(lower), upper);
  EXPECT_EQ(LowerText(upper), lower);

  // Bytes without a case partner in Windows-1252 stay as they are in both directions.
  const std::string_view fixed = "ßµ÷×09 .,@[`{"_w;
  EXPECT_EQ(UpperText(fixed), fixed);
  EXPECT_EQ(LowerText(fixed), fixed);

  // LowerText inverts UpperText on every byte that UpperText changes, and upper case is idempotent.
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const char up = UpCaseChar(c);
    SCOPED_TRACE(b);
    EXPECT_EQ(UpCaseChar(up), up);
    if (up != c) {
      EXPECT_EQ(LowerText(std::string(1, up)), std::string(1, c));
    }
  }
}

TEST(TextHelpersTest, CharacterClasses) {
  struct Case {
    char c;
    bool digit, digitOrPoint, letter;
  };
  const Case cases[] = {
      {'0', true, true, false},      {'9', true, true, false},  {'/', false, false, false},
      {':', false, false, false},    {'.', false, true, false}, {',', false, false, false},
      {'a', false, false, true},     {'Z', false, false, true}, {'\xE4', false, false, true},  // ä
      {'\xDC', false, false, true},                                                            // Ü
      {'\xDF', false, false, true},                                                            // ß
      {'\xE9', false, false, false},  // é: upper case É is not one of the German letters
      {'\xB5', false, false, false},  // µ
      {' ', false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c.c)));
    EXPECT_EQ(IsDigit(c.c), c.digit);
    EXPECT_EQ(IsDigitOrPoint(c.c), c.digitOrPoint);
    EXPECT_EQ(IsLetter(c.c), c.letter);
  }
  EXPECT_EQ(LastChar(""), '\0');
  EXPECT_EQ(LastChar("ab"), 'b');
  EXPECT_TRUE(IsBlank(""));
  EXPECT_TRUE(IsBlank("   "));
  EXPECT_FALSE(IsBlank(" a "));
  EXPECT_FALSE(IsBlank("\t"));
}

TEST(TextHelpersTest, StripCharModes) {
  struct Case {
    std::string text;
    int mode;
    std::string expected;
  };
  // mode < 1 removes leading, mode >= 0 trailing: -1 leading only, 0 both, 1 trailing only.
  const Case cases[] = {
      {"xxabxcxx", -1, "abxcxx"},
      {"xxabxcxx", 0, "abxc"},
      {"xxabxcxx", 1, "xxabxc"},
      {"xxabxcxx", -7, "abxcxx"},
      {"xxabxcxx", 7, "xxabxc"},
      {"xxxx", -1, ""},
      {"xxxx", 0, ""},
      {"xxxx", 1, ""},
      {"", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " mode " + std::to_string(c.mode));
    EXPECT_EQ(StripChar(c.text, 'x', c.mode), c.expected);
  }
  EXPECT_EQ(TrimBlanks("  a b  ", 0), "a b");
  EXPECT_EQ(TrimBlanks("  a b  ", -1), "a b  ");
  EXPECT_EQ(TrimBlanks("  a b  ", 1), "  a b");
}

TEST(TextHelpersTest, AlignText) {
  struct Case {
    std::string text;
    int width, mode;
    std::string expected;
    const char* rule;
  };
  const Case cases[] = {
      {"abc", 6, 1, "   abc", "right-aligned"},
      {"  abc  ", 7, 1, "    abc", "right: trailing blanks trimmed, leading kept"},
      {"  abc  ", 8, 0, "  abc   ", "centred: trimmed both ends, left half of 5 free is 2"},
      {"ab", 5, 0, " ab  ", "centred: left half rounded down"},
      {"  abc", 7, -1, "  abc  ", "left-aligned: no trimming"},
      {"abcdef", 4, 1, "cdef", "too long, aligned: keeps the last characters"},
      {"abcdef", 4, 0, "cdef", "too long, centred: keeps the last characters"},
      {"abcdef", 4, -1, "abcd", "too long, left-aligned: keeps the first characters"},
      {" 12345 ", 3, 1, "345", "trailing blank trimmed before cutting"},
      {"", 3, 0, "   ", "empty text gives blanks"},
      {"abc", 0, 1, "", "width 0"},
      {"abc", -3, -1, "", "negative width"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(AlignText(c.text, c.width, c.mode), c.expected);
  }
  // Results never exceed the longest string the program keeps.
  EXPECT_EQ(AlignText("abc", 300, 1), std::string(252, ' ') + "abc");
}

TEST(TextHelpersTest, ReplaceAllAndDeleteAll) {
  struct Case {
    std::string text, oldText, newText, expected;
    const char* rule;
  };
  const std::string x41(41, 'x');
  const Case cases[] = {
      {"a-b-c", "-", "--", "a--b--c", "new contains old: scanning continues behind the insertion"},
      {"aaa", "a", "aa", "aaaaaa", "new contains old"},
      {"abcabc", "bc", "", "aa", "empty new deletes"},
      {"abc", "", "x", "abc", "empty old does nothing"},
      {"abab", "ab", "ab", "abab", "old equals new does nothing"},
      {"abc", "x", "y", "abc", "old absent"},
      {x41, x41, "y", "yx", "old cut to 40 characters"},
      {"a", "a", std::string(50, 'n'), std::string(40, 'n'), "new cut to 40 characters"},
      {std::string(200, 'a'), "a", "bb", std::string(255, 'b'), "result cut to 255 characters"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(ReplaceAll(c.text, c.oldText, c.newText), c.expected);
  }

  EXPECT_EQ(DeleteAll("abcabc", "b"), "acac");
  EXPECT_EQ(DeleteAll("aabb", "ab"), "");  // the joint of a deletion forms a new "ab", deleted too
  EXPECT_EQ(DeleteAll("xxxxx", "xx"), "x");
  EXPECT_EQ(DeleteAll("abc", ""), "abc");
  EXPECT_EQ(DeleteAll("abc", "x"), "abc");
}

TEST(TextHelpersTest, Positions) {
  EXPECT_EQ(LastPos("ab", "abcab"), 4);
  EXPECT_EQ(LastPos("aa", "aaa"), 2);
  EXPECT_EQ(LastPos("x", "abc"), 0);
  EXPECT_EQ(LastPos("abc", "ab"), 0);
  EXPECT_EQ(LastPos("", "abc"), 0);

  struct Case {
    std::string text;
    int from, expected;
  };
  const Case cases[] = {
      {"  ab", 1, 3}, {"  ab", 4, 4}, {"  ab", 0, 3}, {"  ab", -5, 3},  // from below 1 starts at 1
      {"   ", 1, 0},  {"ab", 3, 0},   {"", 1, 0},                       // 0: nothing other than c
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("'" + c.text + "' from " + std::to_string(c.from));
    EXPECT_EQ(FirstOtherThan(' ', c.text, c.from), c.expected);
  }
}

TEST(TextHelpersTest, SplitListAndFieldOf) {
  std::vector<std::string> list{"stale"};
  SplitList("a, b ,c", ',', list);
  EXPECT_EQ(list, (std::vector<std::string>{"a", "b", "c"}));
  SplitList("a;b;", ';', list);
  EXPECT_EQ(list, (std::vector<std::string>{"a", "b", ""}));  // an empty last part is kept
  SplitList("", ',', list);
  EXPECT_EQ(list, (std::vector<std::string>{""}));

  EXPECT_EQ(FieldOf("a,b,c", 1, ','), "a");
  EXPECT_EQ(FieldOf("a,b,c", 3, ','), "c");
  EXPECT_EQ(FieldOf("a,,c", 2, ','), "");
  EXPECT_EQ(FieldOf(" a , b", 2, ','), " b");  // parts are not trimmed
  EXPECT_EQ(FieldOf("a,b,c", 4, ','), "");
  EXPECT_EQ(FieldOf("a,b,c", 0, ','), "");
}

TEST(TextHelpersTest, SplitCommaFields) {
  const CommaFields colon = SplitCommaFields("  A, B:Gruppe C,D");
  EXPECT_EQ(colon.count, 4);
  EXPECT_EQ(colon.fields, (std::vector<std::string>{"A         ", "B         ", "Gruppe C  ", "D         "}));
  EXPECT_EQ(colon.colonField, 2);  // the field "B" ended at the colon

  const CommaFields secondColon = SplitCommaFields("a:b:c");
  EXPECT_EQ(secondColon.count, 2);  // only the first colon separates
  EXPECT_EQ(secondColon.fields[1], "b:c       ");
  EXPECT_EQ(secondColon.colonField, 1);

  const CommaFields trailing = SplitCommaFields("X,Y,");
  EXPECT_EQ(trailing.count, 2);  // a trailing comma is not doubled
  EXPECT_EQ(trailing.colonField, 0);

  EXPECT_EQ(SplitCommaFields("Kontrollgruppe").fields[0], "Kontrollgr");

  // 60 fields, colon after field 55: only 50 are kept, and the colon's field is not among them.
  std::string many;
  for (int i = 1; i <= 60; ++i) many += std::to_string(i) + (i == 55 ? ":" : ",");
  const CommaFields capped = SplitCommaFields(many);
  EXPECT_EQ(capped.count, 50);
  ASSERT_EQ(capped.fields.size(), 50u);
  EXPECT_EQ(capped.fields[49], "50        ");
  EXPECT_EQ(capped.colonField, 0);

  const CommaFields empty = SplitCommaFields("   ");
  EXPECT_EQ(empty.count, 1);  // the appended comma ends one empty field
  EXPECT_EQ(empty.fields[0], std::string(10, ' '));
}

}  // namespace
}  // namespace veltrix
