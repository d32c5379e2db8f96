#include "core/shell/help_topics.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using test::ScriptedUi;

TEST(HelpTopics, MapHasTheTableLinesInOrder) {
  const auto map = HelpTopicMap();
  // Hand count of the number/topic pairs of the table.
  ASSERT_EQ(map.size(), 132u);
  EXPECT_EQ(map.front(), "       1  boptx");
  EXPECT_EQ(map[12], "   90000  allgbed");
  EXPECT_EQ(map[13], "  100000  allgtabgrf");
  EXPECT_EQ(map.back(), "   60200  birrtumw");

  std::set<int> numbers;
  for (const std::string_view line : map) {
    SCOPED_TRACE(std::string(line));
    // Eight characters of right-aligned number, two blanks, a topic without blanks.
    ASSERT_GT(line.size(), 10u);
    int number = 0;
    ASSERT_EQ(std::sscanf(std::string(line.substr(0, 8)).c_str(), "%d", &number), 1);
    char expected[16];
    std::snprintf(expected, sizeof expected, "%8d  ", number);
    EXPECT_EQ(line.substr(0, 10), expected);
    EXPECT_EQ(line.substr(10).find(' '), std::string_view::npos);
    EXPECT_TRUE(numbers.insert(number).second) << "numbers are unique";
  }
}

TEST(HelpTopics, EveryNumberOfTheMapOpensItsOwnLine) {
  for (const std::string_view line : HelpTopicMap()) {
    SCOPED_TRACE(std::string(line));
    const HelpLookup lookup = ResolveHelpNumber(std::stoi(std::string(line.substr(0, 8))));
    ASSERT_EQ(lookup.kind, HelpLookupKind::Topic);
    EXPECT_EQ(lookup.topic, line.substr(10));
    EXPECT_EQ(lookup.resourcePath, ":/html/" + std::string(line.substr(10)) + ".htm");
  }
}

TEST(HelpTopics, ResolveHelpNumber) {
  struct Case {
    int number;
    HelpLookupKind kind;
    const char* topic;
    const char* message;
  };
  const Case cases[] = {
      {17301, HelpLookupKind::Topic, "bixd17101", ""},  // shares the page of 17101
      {17101, HelpLookupKind::Topic, "bixd17101", ""},
      {90000, HelpLookupKind::Topic, "allgbed", ""},  // main window
      {5, HelpLookupKind::Topic, "allgbed", ""},
      {100000, HelpLookupKind::Topic, "allgtabgrf", ""},  // six digits fill the field
      {200000, HelpLookupKind::Topic, "baw_grfallg", ""},
      {11000, HelpLookupKind::Topic, "bfilesel", ""},
      {135, HelpLookupKind::Topic, "bgrfawkg", ""},
      {1, HelpLookupKind::Topic, "boptx", ""},
      {0, HelpLookupKind::Contents, "", ""},
      {-5, HelpLookupKind::Contents, "", ""},
      {-2147483647 - 1, HelpLookupKind::Contents, "", ""},
      {6, HelpLookupKind::Missing, "", "Kein aktueller Hilfetext vorhanden! (6)"},
      {17100, HelpLookupKind::Missing, "", "Kein aktueller Hilfetext vorhanden! (17100)"},
      {2147483647, HelpLookupKind::Missing, "", "Kein aktueller Hilfetext vorhanden! (2147483647)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    const HelpLookup lookup = ResolveHelpNumber(c.number);
    EXPECT_EQ(lookup.kind, c.kind);
    EXPECT_EQ(lookup.topic, c.topic);
    EXPECT_EQ(lookup.message, c.message);
    EXPECT_EQ(lookup.resourcePath,
              c.kind == HelpLookupKind::Topic ? ":/html/" + std::string(c.topic) + ".htm" : std::string());
  }
}

TEST(HelpTopics, DistinctTopicsCollectTheirNumbers) {
  const std::vector<HelpTopicEntry> topics = DistinctHelpTopics();
  // 132 lines less the repeats: allgbed once, bgrfawkg twice, bixd17101 three times.
  ASSERT_EQ(topics.size(), 126u);
  std::map<std::string_view, std::vector<int>> numbers;
  for (const HelpTopicEntry& entry : topics) {
    EXPECT_TRUE(numbers.emplace(entry.topic, entry.numbers).second) << entry.topic;
  }
  EXPECT_EQ(topics.front().topic, "boptx");
  EXPECT_EQ(topics[4].topic, "allgbed");
  EXPECT_EQ(numbers["allgbed"], (std::vector<int>{5, 90000}));
  EXPECT_EQ(numbers["bgrfawkg"], (std::vector<int>{115, 125, 135}));
  EXPECT_EQ(numbers["bixd17101"], (std::vector<int>{17101, 17301, 17401, 17601}));
  EXPECT_EQ(numbers["bfilesel"], (std::vector<int>{11000}));
}

TEST(HelpTopics, AreaFollowsTheCommandCode) {
  const std::pair<int, HelpArea> cases[] = {
      {1, HelpArea::Options},         {4, HelpArea::Options},     {26, HelpArea::Options},
      {110, HelpArea::Analysis},      {1411, HelpArea::Analysis}, {11000, HelpArea::File},
      {17704, HelpArea::File},        {30200, HelpArea::Groups},  {40600, HelpArea::Structure},
      {56300, HelpArea::DirectTests}, {60200, HelpArea::Options}, {90000, HelpArea::General},
      {200000, HelpArea::General},
  };
  for (const auto& [number, area] : cases) {
    SCOPED_TRACE(number);
    EXPECT_EQ(HelpAreaOf(number), area);
  }
  // A shared page goes with its highest number: the main window's page (5, 90000) is general.
  std::map<std::string_view, HelpArea> areas;
  for (const HelpTopicEntry& entry : DistinctHelpTopics()) areas[entry.topic] = HelpTopicArea(entry);
  EXPECT_EQ(areas["allgbed"], HelpArea::General);
  EXPECT_EQ(areas["boptx"], HelpArea::Options);
  EXPECT_EQ(areas["bixd17101"], HelpArea::File);
  // Every section appears once on the contents page and has a heading.
  std::set<HelpArea> seen;
  for (const HelpArea area : HelpAreasInOrder()) {
    EXPECT_TRUE(seen.insert(area).second);
    EXPECT_FALSE(HelpAreaTitle(area).empty());
  }
  EXPECT_EQ(seen.size(), 7u);
}

class RecordingViewer : public HelpViewer {
 public:
  void showContents() override { shown.push_back("contents"); }
  void showTopicPage(std::string_view topic) override { shown.push_back("topic " + std::string(topic)); }
  std::vector<std::string> shown;
};

TEST(HelpTopics, ShowHelpTopicOpensThePageOrReportsTheMissingNumber) {
  ScriptedUi ui;
  RecordingViewer viewer;
  ShowHelpTopic(17301, viewer, ui);
  ShowHelpTopic(0, viewer, ui);
  ShowHelpTopic(-5, viewer, ui);
  ui.expectError("Kein aktueller Hilfetext vorhanden! (6)");
  ShowHelpTopic(6, viewer, ui);  // the viewer is left alone
  EXPECT_TRUE(ui.allPlayed());
  EXPECT_EQ(viewer.shown, (std::vector<std::string>{"topic bixd17101", "contents", "contents"}));
  EXPECT_EQ(ui.beeps(), 1) << "the error box beeps";
}

}  // namespace
}  // namespace veltrix
