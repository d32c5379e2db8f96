// Help topics: the map from help numbers to topic pages, and the way a help number is opened.
//
// Every dialog and window knows a help number. The map turns it into the name of a topic page; several
// numbers may share one page (the variable selection of the exports answers 17101, 17301, 17401 and
// 17601 alike). The map keeps the form of a text table: each line holds eight characters of
// right-aligned number, two blanks and the topic name, and the first line whose number matches wins.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/ui.h"

namespace veltrix {

// The lines of the map, in table order.
std::span<const std::string_view> HelpTopicMap();

enum class HelpLookupKind {
  Contents,  // a number of 0 or less: the table of contents
  Topic,     // a line of the map matched
  Missing,   // no line matched
};

struct HelpLookup {
  HelpLookupKind kind = HelpLookupKind::Contents;
  std::string topic;         // Topic: the topic name, e.g. "bfilesel"
  std::string resourcePath;  // Topic: where the page is compiled in, ":/html/" + topic + ".htm"
  std::string message;       // Missing: the text of the error box
};

HelpLookup ResolveHelpNumber(int number);

// ":/html/" + topic + ".htm"
std::string HelpResourcePath(std::string_view topic);

// A topic of the map with every help number that names it, in map order.
struct HelpTopicEntry {
  std::string_view topic;
  std::vector<int> numbers;
};

// Every topic of the map once, in the order of its first line.
std::vector<HelpTopicEntry> DistinctHelpTopics();

// Sections of the help contents. Help numbers follow the command codes (a command's dialogs use its code
// times 10, an analysis its analysis code times 10 plus a small offset, option dialogs small numbers),
// so the number tells which menu a topic belongs to.
enum class HelpArea { General, File, Analysis, Groups, Structure, Options, DirectTests };

HelpArea HelpAreaOf(int number);
// The section of a topic: that of its highest number, so that the main window's page (5 and 90000) is
// filed with the windows and not with the option dialogs.
HelpArea HelpTopicArea(const HelpTopicEntry& entry);
// The section heading, Windows-1252.
std::string_view HelpAreaTitle(HelpArea area);
// The sections in the order of the contents page: general operation first, then the menus in menu order.
std::span<const HelpArea> HelpAreasInOrder();

// Where help pages are shown; the Qt front end backs it with the help window.
class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  virtual void showContents() = 0;
  // topic: a topic name of the map (Windows-1252, in practice ASCII).
  virtual void showTopicPage(std::string_view topic) = 0;
};

// Opens the help for a number: the contents for 0 or less, the topic page for a number of the map, and
// otherwise only the error box "Kein aktueller Hilfetext vorhanden! (number)" - the viewer stays as it is.
void ShowHelpTopic(int number, HelpViewer& viewer, Ui& ui);

}  // namespace veltrix
