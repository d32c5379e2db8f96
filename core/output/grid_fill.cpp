#include "core/output/grid_fill.h"

#include <algorithm>
#include <cstdio>

#include "core/output/table_manager.h"

namespace veltrix {
namespace {

// A three-character number field: leading blanks, then at least one digit and nothing else.
std::optional<int> numberField(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ') {
    ++i;
  }
  if (i == field.size()) {
    return std::nullopt;
  }
  int value = 0;
  for (; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') {
      return std::nullopt;
    }
    value = value * 10 + (field[i] - '0');
  }
  return value;
}

bool flagSet(const std::string& flags, std::size_t position) {
  return flags.size() >= position && flags[position - 1] == '1';
}

}  // namespace

const std::string& TableGrid::cell(int row, int col) const {
  static const std::string empty;
  if (row < 1 || row > rows || col < 1 || col > cols) {
    return empty;
  }
  return cells[static_cast<std::size_t>((row - 1) * cols + (col - 1))];
}

int TableGrid::columnPixelWidth(int col, int charWidth) const {
  const int width = col >= 1 && col <= cols ? colWidths[static_cast<std::size_t>(col - 1)] : kDefaultColWidth;
  return (width + 1) * charWidth;
}

std::optional<CellLine> ParseCellLine(std::string_view line) {
  if (line.size() < 6) {
    return std::nullopt;
  }
  const auto row = numberField(line.substr(0, 3));
  const auto col = numberField(line.substr(3, 3));
  if (!row || !col) {
    return std::nullopt;
  }
  return CellLine{*row, *col, std::string(line.substr(6, kMaxCellTextLength))};
}

std::string FormatCellLine(int row, int col, std::string_view text) {
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "%3d%3d", row, col);
  return std::string(prefix).append(text);
}

TableGrid FillGrid(const TTabHeader& header, const std::vector<std::string>& lines) {
  TableGrid grid;
  grid.rows = header.Rows > 0 ? header.Rows : 1;
  grid.cols = std::clamp<int>(header.Cols, 1, kMaxGridCols);
  grid.fixedRows = std::clamp<int>(header.FixedRows, 0, kMaxFixedLines);
  grid.fixedCols = std::clamp<int>(header.FixedCols, 0, kMaxFixedLines);
  grid.colWidths.resize(static_cast<std::size_t>(grid.cols));
  for (int c = 0; c < grid.cols; ++c) {
    const int width = header.ColWidths[static_cast<std::size_t>(c)];
    grid.colWidths[static_cast<std::size_t>(c)] = width > 0 ? width : kDefaultColWidth;
  }
  grid.cells.assign(static_cast<std::size_t>(grid.rows) * static_cast<std::size_t>(grid.cols), std::string());
  for (const std::string& line : lines) {
    const auto cell = ParseCellLine(line);
    if (!cell || cell->row < 1 || cell->row > grid.rows || cell->col < 1 || cell->col > grid.cols) {
      continue;
    }
    grid.cells[static_cast<std::size_t>((cell->row - 1) * grid.cols + (cell->col - 1))] = cell->text;
  }
  grid.noBodyRowLines = flagSet(header.GridFlags, 1);
  grid.noBodyColLines = flagSet(header.GridFlags, 2);
  grid.noFixedRowLines = flagSet(header.GridFlags, 3);
  grid.noFixedColLines = flagSet(header.GridFlags, 4);
  grid.canResizeColumns = flagSet(header.GridFlags, 5);
  grid.canMoveColumns = flagSet(header.GridFlags, 6);
  return grid;
}

}  // namespace veltrix
