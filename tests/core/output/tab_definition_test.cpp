#include "core/output/tab_definition.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrix {
namespace {

constexpr std::int32_t kResultTopic = 311;  // analysis code 31 × 10 + 1

TEST(TabDefinitionTest, SelectorHelpTopicAndCaption) {
  struct Case {
    std::string definition;
    int graph;
    std::int32_t topic;
    std::string caption;
  };
  const Case cases[] = {
      {"00HHHHMittelwert, SD, ..", 0, kResultTopic, "Mittelwert, SD, .."},
      {"031004Erw.-Werte", 3, 1004, "Erw.-Werte"},
      {"99HHHHZus. Test", 99, kResultTopic, "Zus. Test"},
      {"110000Null", 11, kResultTopic, "Null"},  // 0 or less: the result's topic
      {"22 104Blank", 22, 104, "Blank"},         // leading blanks skipped
      {"2210x4Text", 22, kResultTopic, "Text"},  // not a number
      {"xy1004Kein Graph", 0, 1004, "Kein Graph"},
      {"05", 5, kResultTopic, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.definition);
    const TabDefinition tab = ParseTabDefinition(c.definition, kResultTopic);
    EXPECT_EQ(tab.graphSelector, c.graph);
    EXPECT_EQ(tab.helpTopic, c.topic);
    EXPECT_EQ(tab.caption, c.caption);
  }
}

TEST(TabDefinitionTest, ListEndsAtTheFirstEmptyDefinition) {
  std::array<std::string, 26> definitions;
  definitions[0] = "00HHHHAbs. Hfgk.";
  definitions[1] = "01HHHHSp.-%";
  definitions[3] = "02HHHHZl.-%";  // behind the gap: not shown
  const auto tabs = TabList(definitions, kResultTopic);
  ASSERT_EQ(tabs.size(), 2u);
  EXPECT_EQ(tabs[1].graphSelector, 1);
  EXPECT_EQ(tabs[1].caption, "Sp.-%");
  EXPECT_TRUE(TabList(std::array<std::string, 26>{}, kResultTopic).empty());
}

TEST(TabDefinitionTest, ElementsOfACaretSeparatedList) {
  // The frequency tables' list of eight definitions.
  const std::string list =
      "00HHHHAbs. Hfgk.^01HHHHSp.-%^02HHHHZl.-%^11HHHHSp.-%, kum.^22HHHHZl.-%, kum.^10HHHHAbs. "
      "Sp.kum.^20HHHHAbs. Zl.kum.^03HHHHErw.-Werte";
  struct Case {
    int i;
    std::string expected;
  };
  const Case cases[] = {
      {1, "00HHHHAbs. Hfgk."}, {3, "02HHHHZl.-%"}, {8, "03HHHHErw.-Werte"}, {9, ""}, {0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.i);
    EXPECT_EQ(TabDefElement(list, c.i), c.expected);
  }
  EXPECT_EQ(TabDefElement("a^^c", 2), "");
  EXPECT_EQ(TabDefElement("a^^c", 3), "c");
}

}  // namespace
}  // namespace veltrix
