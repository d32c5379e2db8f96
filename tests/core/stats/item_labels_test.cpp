#include "core/stats/item_labels.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "core/base/win1252.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;

std::string blanks(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

// Three fields: a name, an empty field, a name with an umlaut.
std::string threeNames() {
  return "Gruppe A  " + blanks(10) + std::string("Männer    "_w);
}

TEST(ItemLabelsTest, NameOfItem) {
  const std::string names = threeNames();
  struct Case {
    int i;
    std::string expected;
    const char* rule;
  };
  const Case cases[] = {
      {1, "Gruppe A  ", "field 1, full width"},
      {-1, "Gruppe A", "negative index: trailing blanks removed"},
      {-3, std::string("Männer"_w), "field abs(i)"},
      {2, blanks(10), "empty field"},
      {0, blanks(10), "no field 0"},
      {4, blanks(10), "past the array"},
      {-4, "", "past the array, trimmed"},
      {INT_MAX, blanks(10), "far past the array"},
      {INT_MIN, "", "abs(INT_MIN) past the array"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(NameOfItem(names, c.i), c.expected);
  }
  EXPECT_EQ(NameOfItem("ABCDEFGHIJxyz", 2), "xyz       ");  // a field cut short by the end is padded
}

TEST(ItemLabelsTest, LabelOfItem) {
  std::string names = threeNames() + blanks(90);  // 12 fields, 4..12 empty
  struct Case {
    int i;
    std::string expected;
    const char* rule;
  };
  const Case cases[] = {
      {1, "Gruppe A", "name without trailing blanks"},
      {2, "  2.", "empty field: number right-aligned in 3 and a point"},
      {5, "  5.", "documented example: two blanks, 5 and a point"},
      {12, " 12.", "documented example: a blank, 12 and a point"},
      {-12, " 12.", "abs(i)"},
      {13, " 13.", "past the array counts as empty"},
      {1000, "1000.", "four digits take their full width"},
      {INT_MIN, "2147483648.", "abs(INT_MIN) without overflow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(LabelOfItem(names, c.i), c.expected);
  }
}

TEST(ItemLabelsTest, StoreItemName) {
  std::string names = blanks(30);
  EXPECT_TRUE(StoreItemName(names, 2, "Kontrollgruppe"));
  EXPECT_TRUE(StoreItemName(names, 1, "ab"));
  EXPECT_EQ(names, "ab        Kontrollgr" + blanks(10));  // cut to 10, blank-padded to 10
  EXPECT_EQ(LabelOfItem(names, 2), "Kontrollgr");
  EXPECT_EQ(LabelOfItem(names, 3), "  3.");

  // Fields outside the array are refused and leave it unchanged.
  const std::string before = names;
  EXPECT_FALSE(StoreItemName(names, 0, "x"));
  EXPECT_FALSE(StoreItemName(names, -1, "x"));
  EXPECT_FALSE(StoreItemName(names, 4, "x"));
  EXPECT_FALSE(StoreItemName(names, INT_MAX, "x"));
  std::string shortArray = blanks(25);  // the third field is incomplete
  EXPECT_FALSE(StoreItemName(shortArray, 3, "x"));
  EXPECT_EQ(names, before);
  EXPECT_EQ(shortArray, blanks(25));
}

}  // namespace
}  // namespace veltrix
