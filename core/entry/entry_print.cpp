#include "core/entry/entry_print.h"

#include <algorithm>
#include <cstddef>

#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"
#include "core/entry/entry_checks.h"

namespace veltrix {

namespace {

// Blanks between a label and its value, and between two column pairs.
constexpr std::size_t kLabelGap = 2;
constexpr std::size_t kColumnGap = 3;

std::string withoutTrailingBlanks(std::string text) {
  const std::size_t end = text.find_last_not_of(' ');
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

}  // namespace

EntryPrintout LayoutEntryPrintout(const TParams& params, const RecordBuffer& record,
                                  std::int64_t recordNumber, int columns) {
  EntryPrintout printout;
  printout.heading = "* Satz-Nr.: " + std::to_string(recordNumber);
  columns = std::clamp(columns, 1, 3);

  struct Cell {
    std::string label;
    std::string value;
  };
  std::vector<Cell> cells;
  std::size_t labelWidth = 0;
  std::size_t valueWidth = 0;
  for (int i = 1; i <= params.variableCount(); ++i) {
    const VariableEntry variable = params.getVariable(i);
    Cell cell{" " + withoutTrailingBlanks(variable.name), DisplayFieldValue(record, variable)};
    labelWidth = std::max(labelWidth, cell.label.size());
    // Every value column is as wide as the longest field, so the columns line up whatever is filled.
    valueWidth =
        std::max({valueWidth, cell.value.size(), static_cast<std::size_t>(std::max(variable.length, 0))});
    cells.push_back(std::move(cell));
  }

  const auto perRow = static_cast<std::size_t>(columns);
  for (std::size_t first = 0; first < cells.size(); first += perRow) {
    std::string line;
    for (std::size_t i = first; i < std::min(cells.size(), first + perRow); ++i) {
      if (i > first) line.append(kColumnGap, ' ');
      line += cells[i].label;
      line.append(labelWidth - cells[i].label.size() + kLabelGap, ' ');
      line += cells[i].value;
      line.append(valueWidth - cells[i].value.size(), ' ');
    }
    printout.lines.push_back(withoutTrailingBlanks(std::move(line)));
  }
  return printout;
}

}  // namespace veltrix
