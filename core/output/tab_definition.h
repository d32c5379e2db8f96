// Tab definitions of the table window: "GG" graph selector, "HHHH" help topic, then the caption,
// as in "00HHHHMittelwert, SD, ..". Tab k shows table k.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix {

struct TabDefinition {
  int graphSelector = 0;       // characters 1..2, passed to the graph dialog; 0 when not a number
  std::int32_t helpTopic = 0;  // characters 3..6, or the result's topic for "HHHH", any other
                               // text that is not a number, and values of 0 or less
  std::string caption;         // characters 7 onward
};

TabDefinition ParseTabDefinition(std::string_view definition, std::int32_t resultHelpTopic);

// The tabs of a result: the definitions up to the first empty one.
std::vector<TabDefinition> TabList(const std::array<std::string, 26>& definitions,
                                   std::int32_t resultHelpTopic);

// Element i (from 1) of a list of definitions separated by "^"; "" when there is no element i.
std::string TabDefElement(std::string_view list, int i);

}  // namespace veltrix
