// A grid table as the table window shows it, filled from a grid table's header and cell lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix {

struct TTabHeader;

inline constexpr int kMaxGridCols = 50;
inline constexpr int kMaxFixedLines = 9;
inline constexpr int kDefaultColWidth = 9;
inline constexpr int kMaxCellTextLength = 80;

// Rows and columns count from 1 and include the fixed ones. The view navigates with the tab key
// only and starts scrolled to the first non-fixed row and column.
struct TableGrid {
  int rows = 1;
  int cols = 1;
  int fixedRows = 0;
  int fixedCols = 0;
  std::vector<int> colWidths;      // characters, one per column; a column is drawn (width + 1)
                                   // character widths wide
  std::vector<std::string> cells;  // rows * cols, row by row

  bool noBodyRowLines = false;
  bool noBodyColLines = false;
  bool noFixedRowLines = false;
  bool noFixedColLines = false;
  bool canResizeColumns = false;
  bool canMoveColumns = false;

  const std::string& cell(int row, int col) const;
  int columnPixelWidth(int col, int charWidth) const;
};

struct CellLine {
  int row = 0;
  int col = 0;
  std::string text;
};

// "RRRCCC" and the text: row and column as three-character decimal numbers, leading blanks or
// zeros allowed; the text is characters 7..86. A line too short or with another character in the
// number fields gives nothing.
std::optional<CellLine> ParseCellLine(std::string_view line);

// The cell line AddCell writes: row and column right-aligned in three characters, then the text.
std::string FormatCellLine(int row, int col, std::string_view text);

// Size, fixed lines and widths from the header (columns 1..50, fixed lines 0..9, rows at least 1,
// width 0 or less means 9), cells from the lines (a later line for the same cell wins, lines
// outside the grid are skipped), grid lines and column handling from the header's grid flags.
TableGrid FillGrid(const TTabHeader& header, const std::vector<std::string>& lines);

}  // namespace veltrix
