#include "core/output/tab_definition.h"

#include <optional>

namespace veltrix {
namespace {

// Leading blanks, then at least one digit and nothing else.
std::optional<std::int32_t> decimalField(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ') {
    ++i;
  }
  if (i == field.size()) {
    return std::nullopt;
  }
  std::int32_t value = 0;
  for (; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') {
      return std::nullopt;
    }
    value = value * 10 + (field[i] - '0');
  }
  return value;
}

}  // namespace

TabDefinition ParseTabDefinition(std::string_view definition, std::int32_t resultHelpTopic) {
  TabDefinition tab;
  tab.graphSelector = decimalField(definition.substr(0, 2)).value_or(0);
  const auto topic = decimalField(definition.size() > 2 ? definition.substr(2, 4) : std::string_view());
  tab.helpTopic = topic && *topic > 0 ? *topic : resultHelpTopic;
  tab.caption = definition.size() > 6 ? std::string(definition.substr(6)) : std::string();
  return tab;
}

std::vector<TabDefinition> TabList(const std::array<std::string, 26>& definitions,
                                   std::int32_t resultHelpTopic) {
  std::vector<TabDefinition> tabs;
  for (const std::string& definition : definitions) {
    if (definition.empty()) {
      break;
    }
    tabs.push_back(ParseTabDefinition(definition, resultHelpTopic));
  }
  return tabs;
}

std::string TabDefElement(std::string_view list, int i) {
  if (i < 1) {
    return {};
  }
  std::size_t start = 0;
  for (int k = 1; k < i; ++k) {
    const std::size_t caret = list.find('^', start);
    if (caret == std::string_view::npos) {
      return {};
    }
    start = caret + 1;
  }
  return std::string(list.substr(start, list.find('^', start) - start));
}

}  // namespace veltrix
