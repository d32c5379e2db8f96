#include "core/shell/help_topics.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace veltrix {
namespace {

constexpr std::size_t kNumberWidth = 8;
constexpr std::size_t kTopicStart = 10;  // after the number and two blanks

// One line per entry, as the table is kept.
// clang-format off
constexpr std::string_view kMap[] = {
    "       1  boptx",
    "       2  bopgrf",
    "       3  bcoldlg",
    "       4  allgdc",
    "       5  allgbed",
    "      10  bedgbas",
    "      21  bedgspz1",
    "      22  bedgspz2",
    "      23  bedgspz3",
    "      24  bedgspz4",
    "      25  bedgspz5",
    "      26  bedgspz6",
    "   90000  allgbed",
    "  100000  allgtabgrf",
    "  200000  baw_grfallg",
    "     110  bawd110",
    "     111  bawe110",
    "     115  bgrfawkg",
    "     125  bgrfawkg",
    "     135  bgrfawkg",
    "     120  bawd120",
    "     121  bawe120",
    "     130  bawd130",
    "     131  bawe130",
    "     190  bawd190",
    "     191  bawe190",
    "     195  bawg190",
    "     210  bawd210",
    "     211  bawe210",
    "     215  bawg210",
    "     310  bawd310",
    "     311  bawe310",
    "     315  bawg310",
    "     320  bawd320",
    "     321  bawe320",
    "     330  bawd330",
    "     331  bawe330",
    "     340  bawd340",
    "     341  bawe340",
    "     410  bawd410",
    "     411  bawe410",
    "     420  bawd420",
    "     421  bawe420",
    "     510  bawd510",
    "     511  bawe510",
    "     515  bawg510",
    "     520  bawd520",
    "     521  bawe520",
    "     610  bawd610",
    "     611  bawe610",
    "    1010  bawd1010",
    "    1011  bawe1010",
    "    1020  bawd1020",
    "    1021  bawe1020",
    "    1040  bawd1040",
    "    1041  bawe1040",
    "    1110  bawd1110",
    "    1111  bawe1110",
    "    1115  bawg1110",
    "    1120  bawd1120",
    "    1121  bawe1120",
    "    1210  bawd1210",
    "    1211  bawe1210",
    "    1215  bawg1210",
    "    1220  bawd1220",
    "    1221  bawe1220",
    "    1230  bawd1230",
    "    1231  bawe1230",
    "    1240  bawd1240",
    "    1241  bawe1240",
    "    1310  bawd1310",
    "    1311  bawe1310",
    "    1410  bawd1410",
    "    1411  bawe1410",
    "   11000  bfilesel",
    "   12000  bdinp",
    "   13000  bdtctrl",
    "   13001  bdtctrle",
    "   14000  bdatmanipu",
    "   14100  bdatm14100",
    "   15000  bdsort",
    "   16101  bixd16101",
    "   16201  bixd16201",
    "   16202  bixd16202",
    "   16301  bixd16301",
    "   16401  bixd16401",
    "   16500  bixd16500",
    "   16600  bixd16600",
    "   16601  bixd16601",
    "   16602  bixd16602",
    "   16603  bixd16603",
    "   17000  bpathsel",
    "   17101  bixd17101",
    "   17201  bixd17201",
    "   17300  bixd17300",
    "   17301  bixd17101",
    "   17401  bixd17101",
    "   17500  bixd17500",
    "   17601  bixd17101",
    "   17700  bixd17700",
    "   17701  bixd17701",
    "   17702  bixd17702",
    "   17703  bixd17703",
    "   17704  bixd17704",
    "   30000  bgrpkldef",
    "   30100  bgrpdef",
    "   30200  bklsdef",
    "   40100  bstvneu",
    "   40200  bstvfrei",
    "   40300  bstwarn",
    "   40400  bstsneu",
    "   40600  bstshow",
    "   50100  buttest",
    "   50200  battest",
    "   50300  bchiqtest",
    "   50500  bmcnemar",
    "   50600  boddsrat",
    "   50700  bsensi",
    "   52100  bvnormv",
    "   52200  bvtvert",
    "   52300  bvchiv",
    "   52400  bvfvert",
    "   52500  bvbinomv",
    "   52600  bvhypgv",
    "   52700  bvpoisson",
    "   54100  bfzuttest",
    "   54200  bfzattest",
    "   54300  bfzprzvgl",
    "   56100  bchiqanp",
    "   56200  bpartkor",
    "   56300  bkgklass",
    "   60200  birrtumw",
};
// clang-format on

// The number of a map line: its first eight characters read as an integer (blanks around it allowed),
// or nothing when they do not hold one.
std::optional<int> lineNumber(std::string_view line) {
  std::string_view field = line.substr(0, kNumberWidth);
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  if (field.empty()) return std::nullopt;
  int value = 0;
  const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (ec != std::errc() || end != field.data() + field.size()) return std::nullopt;
  return value;
}

std::string_view lineTopic(std::string_view line) {
  return line.size() > kTopicStart ? line.substr(kTopicStart) : std::string_view();
}

constexpr std::array kAreaOrder = {HelpArea::General,    HelpArea::File,      HelpArea::Analysis,
                                   HelpArea::Groups,     HelpArea::Structure, HelpArea::Options,
                                   HelpArea::DirectTests};

}  // namespace

std::span<const std::string_view> HelpTopicMap() {
  return kMap;
}

std::string HelpResourcePath(std::string_view topic) {
  std::string path = ":/html/";
  path += topic;
  path += ".htm";
  return path;
}

HelpLookup ResolveHelpNumber(int number) {
  HelpLookup result;
  if (number <= 0) return result;  // contents
  for (const std::string_view line : kMap) {
    if (lineNumber(line) != number) continue;
    result.kind = HelpLookupKind::Topic;
    result.topic = std::string(lineTopic(line));
    result.resourcePath = HelpResourcePath(result.topic);
    return result;
  }
  result.kind = HelpLookupKind::Missing;
  result.message = "Kein aktueller Hilfetext vorhanden! (" + std::to_string(number) + ")";
  return result;
}

std::vector<HelpTopicEntry> DistinctHelpTopics() {
  std::vector<HelpTopicEntry> topics;
  for (const std::string_view line : kMap) {
    const std::optional<int> number = lineNumber(line);
    const std::string_view topic = lineTopic(line);
    if (!number || topic.empty()) continue;
    const auto known = std::find_if(topics.begin(), topics.end(),
                                    [topic](const HelpTopicEntry& e) { return e.topic == topic; });
    if (known == topics.end())
      topics.push_back({topic, {*number}});
    else
      known->numbers.push_back(*number);
  }
  return topics;
}

HelpArea HelpAreaOf(int number) {
  if (number >= 1 && number < 100) return HelpArea::Options;
  if (number >= 100 && number < 10000) return HelpArea::Analysis;
  if (number >= 10000 && number < 20000) return HelpArea::File;
  if (number >= 30000 && number < 40000) return HelpArea::Groups;
  if (number >= 40000 && number < 50000) return HelpArea::Structure;
  if (number >= 50000 && number < 60000) return HelpArea::DirectTests;
  if (number >= 60000 && number < 70000) return HelpArea::Options;
  return HelpArea::General;  // the main window, tables and graphs
}

HelpArea HelpTopicArea(const HelpTopicEntry& entry) {
  const auto highest = std::max_element(entry.numbers.begin(), entry.numbers.end());
  return highest == entry.numbers.end() ? HelpArea::General : HelpAreaOf(*highest);
}

std::string_view HelpAreaTitle(HelpArea area) {
  switch (area) {
    case HelpArea::General:
      return "Allgemeine Bedienung";
    case HelpArea::File:
      return "Datei";
    case HelpArea::Analysis:
      return "Auswerten";
    case HelpArea::Groups:
      return "Gruppen/Klassen";
    case HelpArea::Structure:
      return "Struktur";
    case HelpArea::Options:
      return "Optionen";
    case HelpArea::DirectTests:
      return "Tests direkt";
  }
  return "";
}

std::span<const HelpArea> HelpAreasInOrder() {
  return kAreaOrder;
}

void ShowHelpTopic(int number, HelpViewer& viewer, Ui& ui) {
  const HelpLookup lookup = ResolveHelpNumber(number);
  switch (lookup.kind) {
    case HelpLookupKind::Contents:
      viewer.showContents();
      break;
    case HelpLookupKind::Topic:
      viewer.showTopicPage(lookup.topic);
      break;
    case HelpLookupKind::Missing:
      ui.error(lookup.message);
      break;
  }
}

}  // namespace veltrix
