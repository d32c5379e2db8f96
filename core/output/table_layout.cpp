#include "core/output/table_layout.h"

#include <algorithm>
#include <cstdint>

#include "core/stats/item_labels.h"
#include "core/stats/marked_line.h"
#include "core/stats/number_format.h"

namespace veltrix {
namespace {

inline constexpr int kLabelColWidth = 11;
inline constexpr int kCodedLabelColWidth = 14;
inline constexpr int kMatrixValueWidth = 10;
inline constexpr int kLowerValueWidth = 9;
inline constexpr int kDefaultTextColWidth = 40;

// Row k's two characters of the code string, read as if the string were repeated without end.
std::string rowCode(std::string_view codes, int k) {
  const std::size_t size = codes.size();
  const std::size_t first = static_cast<std::size_t>(2 * k - 2);
  return {codes[first % size], codes[(first + 1) % size]};
}

std::int16_t toInt16(int value) {
  return static_cast<std::int16_t>(std::clamp(value, -32768, 32767));
}

void setColWidth(TTabHeader& header, int col, int width) {
  if (col >= 1 && col <= kColWidthCount) {
    header.ColWidths[static_cast<std::size_t>(col - 1)] = toInt16(width);
  }
}

TTabHeader gridHeader(const TTabHeader& header, int rows, int cols, int fixedRows, int fixedCols) {
  TTabHeader grid = header;
  grid.Kind = 'B';
  grid.Rows = toInt16(rows);
  grid.Cols = toInt16(cols);
  grid.FixedRows = toInt16(fixedRows);
  grid.FixedCols = toInt16(fixedCols);
  return grid;
}

double valueAt(const std::vector<double>& values, int index, bool& present) {
  present = index >= 0 && static_cast<std::size_t>(index) < values.size();
  return present ? values[static_cast<std::size_t>(index)] : 0.0;
}

int intAt(const std::vector<int>& values, int index, int fallback) {
  return index >= 0 && static_cast<std::size_t>(index) < values.size()
             ? values[static_cast<std::size_t>(index)]
             : fallback;
}

struct StatisticsColumns {
  std::vector<int> stats;  // statistic numbers, from 1
  int textWidth = 0;       // 0: no text column
  bool spread = false;
};

StatisticsColumns selectedStatistics(std::string_view selection, int statCount) {
  StatisticsColumns columns;
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  const bool textColumn = !selection.empty() && (selection[0] == 'f' || selection[0] == 'p');
  if (selection.empty() || textColumn) {
    for (int s = 1; s <= statCount; ++s) {
      columns.stats.push_back(s);
    }
    if (textColumn) {
      columns.spread = selection[0] == 'f';
      columns.textWidth = kDefaultTextColWidth;
      if (selection.size() >= 3 && digit(selection[1]) && digit(selection[2])) {
        const int width = (selection[1] - '0') * 10 + (selection[2] - '0');
        columns.textWidth = width > 0 ? width : kDefaultTextColWidth;
      }
    }
    return columns;
  }
  for (std::size_t i = 0; i + 1 < selection.size(); i += 2) {
    if (!digit(selection[i]) || !digit(selection[i + 1])) {
      continue;
    }
    const int s = (selection[i] - '0') * 10 + (selection[i + 1] - '0');
    if (s >= 1 && s <= statCount) {
      columns.stats.push_back(s);
    }
  }
  return columns;
}

}  // namespace

void TTMnX::PutRowLabels(int start, int count, const RowLabelling& rows) {
  if (current() == 0) {
    return;
  }
  AddCell(start + 1, 1, rows.heading);
  for (int k = 1; k <= count; ++k) {
    std::string cell;
    if (!rows.codes.empty()) {
      // The code takes a two-character segment of its own in front of the label.
      cell = std::string(1, kMarkWidth) + '2' + rowCode(rows.codes, k);
    }
    cell += rows.labels.leftAligned ? ' ' : kMarkRight;
    cell += LabelOfItem(rows.labels.names, k);
    AddCell(start + 1 + k, 1, cell);
  }
}

void TTMnX::PutColumnLabels(int start, int count, const LabelSet& labels, bool padShort,
                            std::string_view columnTitle) {
  if (current() == 0) {
    return;
  }
  AddCell(1, 2, columnTitle);
  for (int k = 1; k <= count; ++k) {
    const std::string label = LabelOfItem(labels.names, k);
    // The blank keeps short labels clear of the mark that follows a value.
    const bool pad = padShort && label.size() < 8;
    AddCell(start + 1, k + 1, std::string(1, kMarkRight) + label + (pad ? " " : ""));
  }
}

void TTMnX::PutMatrix(int n, const TTabHeader& header, const MatrixTable& matrix) {
  const int start = matrix.columnTitle.empty() ? 0 : 1;
  TTabHeader grid = gridHeader(header, matrix.rows + 1 + start, matrix.cols + 1, 1 + start, 1);
  setColWidth(grid, 1, matrix.rowLabels.codes.empty() ? kLabelColWidth : kCodedLabelColWidth);
  for (int c = 1; c <= matrix.cols; ++c) {
    setColWidth(grid, c + 1, intAt(matrix.colWidths, c - 1, 0));
  }
  BeginTable(n, grid);
  if (current() == 0) {
    return;
  }
  PutRowLabels(start, matrix.rows, matrix.rowLabels);
  PutColumnLabels(start, matrix.cols, matrix.colLabels, matrix.padShortColumnLabels, matrix.columnTitle);
  for (int r = 1; r <= matrix.rows; ++r) {
    for (int c = 1; c <= matrix.cols; ++c) {
      bool present = false;
      const double value = valueAt(matrix.values, (r - 1) * matrix.cols + (c - 1), present);
      if (!present) {
        continue;
      }
      std::string text;
      if (matrix.mode == 1 && value == 0.0) {
        text = "---";
      } else if (matrix.mode == 2 && value < kMissingBelow) {
        text = " ! ";
      } else {
        text = FormatInWidth(intAt(matrix.decimals, c - 1, 0), kMatrixValueWidth, value);
      }
      AddCell(start + 1 + r, c + 1, MarkCell(text, 0, 1, 0));
    }
  }
}

void TTMnX::PutStatistics(int n, const TTabHeader& header, const StatisticsTable& statistics) {
  const StatisticsColumns columns = selectedStatistics(statistics.selection, statistics.statCount);
  const int start = statistics.title.empty() ? 0 : 1;
  const int statCols = static_cast<int>(columns.stats.size());
  const int cols = 1 + statCols + (columns.textWidth > 0 ? 1 : 0);
  TTabHeader grid = gridHeader(header, statistics.count + 1 + start, cols, 1 + start, 1);
  setColWidth(grid, 1, statistics.rowLabels.codes.empty() ? kLabelColWidth : kCodedLabelColWidth);
  for (int c = 1; c <= statCols; ++c) {
    setColWidth(grid, c + 1, intAt(statistics.widths, columns.stats[static_cast<std::size_t>(c - 1)] - 1, 0));
  }
  if (columns.textWidth > 0) {
    setColWidth(grid, cols, columns.textWidth);
  }
  BeginTable(n, grid);
  if (current() == 0) {
    return;
  }
  AddCell(1, 2, statistics.title);
  PutRowLabels(start, statistics.count, statistics.rowLabels);
  for (int c = 1; c <= statCols; ++c) {
    const int s = columns.stats[static_cast<std::size_t>(c - 1)];
    if (static_cast<std::size_t>(s) <= statistics.captions.size()) {
      AddCell(start + 1, c + 1, MarkCell(statistics.captions[static_cast<std::size_t>(s - 1)], 0, 1, 0));
    }
  }
  for (int r = 1; r <= statistics.count; ++r) {
    for (int c = 1; c <= statCols; ++c) {
      const int s = columns.stats[static_cast<std::size_t>(c - 1)];
      bool present = false;
      const double value = valueAt(statistics.values, (r - 1) * statistics.statCount + (s - 1), present);
      if (!present || value < kMissingBelow) {
        continue;
      }
      const int width = intAt(statistics.widths, s - 1, 0);
      const std::string text =
          FormatInWidth(intAt(statistics.decimals, s - 1, 0), width > 0 ? width : kDefaultColWidth, value);
      AddCell(start + 1 + r, c + 1, MarkCell(text, 0, 1, 0));
    }
    if (columns.textWidth > 0 && static_cast<std::size_t>(r) <= statistics.texts.size()) {
      const std::string& text = statistics.texts[static_cast<std::size_t>(r - 1)];
      if (!text.empty()) {
        AddCell(start + 1 + r, cols, MarkCell(text, 0, columns.spread ? -2 : -1, 0));
      }
    }
  }
}

void TTMnX::PutLowerMatrix(int n, const TTabHeader& header, const LowerMatrixTable& matrix,
                           const SignificanceLevels& levels) {
  TTabHeader grid = gridHeader(header, matrix.size + 1, matrix.size + 1, 1, 1);
  setColWidth(grid, 1, kLabelColWidth);
  for (int c = 1; c <= matrix.size; ++c) {
    setColWidth(grid, c + 1, kLowerValueWidth + 1);
  }
  BeginTable(n, grid);
  if (current() == 0) {
    return;
  }
  PutRowLabels(0, matrix.size, RowLabelling{matrix.labels, matrix.heading, {}});
  PutColumnLabels(0, matrix.size, matrix.labels, true, {});
  for (int i = 1; i <= matrix.size; ++i) {
    const int last = matrix.full ? matrix.size : i;
    for (int j = 1; j <= last; ++j) {
      const int index = (i - 1) * matrix.size + (j - 1);
      bool present = false;
      const double value = valueAt(matrix.values, index, present);
      bool pPresent = false;
      const double p = valueAt(matrix.pValues, index, pPresent);
      if (!present) {
        continue;
      }
      char mark = ' ';
      if (pPresent && p < -0.5) {
        mark = '!';
      } else if (pPresent) {
        mark = SignificanceMark(levels, p);
      }
      // "}1": the mark stands beyond the alignment point, so values line up on their last digit.
      AddCell(i + 1, j + 1,
              MarkCell(FormatInWidth(matrix.decimals, kLowerValueWidth, value) + mark, 0, 1, 1));
    }
  }
}

}  // namespace veltrix
