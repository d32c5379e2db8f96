// The value dialogs of the direct tests and of some analyses: a few labelled entry fields (one value,
// two values, 2 x 2, 2 x 3) or a grid of up to 15 rows and 8 value columns. The dialog holds the texts
// as typed; what counts as a valid entry is decided by check(), which a subclass supplies, so that the
// Qt dialog, the batch run and the tests all judge the same way.
#pragma once

#include <string>
#include <vector>

namespace veltrix {

enum class ValueLayout {
  OneValue,    // one value with its label
  TwoValues,   // two values with labels
  TwoByTwo,    // 2 rows x 2 columns
  TwoByThree,  // 2 rows x 3 columns
  Grid,        // up to 15 rows x 8 columns, rows and columns movable
};

inline constexpr int kMaxValueGridRows = 15;
inline constexpr int kMaxValueGridColumns = 8;
inline constexpr int kValueFieldLength = 16;  // characters of an edit field
inline constexpr int kValueGridCellLength = 20;

class ValueDialog {
 public:
  ValueDialog(ValueLayout layout, int rows, int columns);
  virtual ~ValueDialog() = default;

  ValueLayout layout() const { return m_layout; }
  int rows() const { return m_rows; }
  int columns() const { return m_columns; }
  // Characters a field takes: 16 in the edit fields, 20 in the grid.
  int maxTextLength() const {
    return m_layout == ValueLayout::Grid ? kValueGridCellLength : kValueFieldLength;
  }

  std::string caption;                    // window caption
  std::string prompt;                     // the line above the fields
  std::vector<std::string> rowLabels;     // one per row (the one-value and two-value dialogs: per field)
  std::vector<std::string> columnLabels;  // one per column (empty for the one- and two-value dialogs)
  int helpNumber = 0;                     // 0: the help button shows the main help

  // Row and column 0-based. A text longer than maxTextLength() is cut.
  const std::string& text(int row, int column) const;
  void setText(int row, int column, std::string text);
  const std::vector<std::string>& texts() const { return m_texts; }  // row by row
  void setTexts(const std::vector<std::string>& texts);              // row by row; missing ones empty

  // Grid: the texts of the current column move one place left (delta -1) or right (+1), exchanging
  // places with their neighbours; likewise a row's texts move up or down. The labels stay where they
  // are, so entries typed under the wrong heading are put right. Moves past the edge are ignored.
  // Returns the new index of the moved texts.
  int moveColumn(int column, int delta);
  int moveRow(int row, int delta);
  // Grid: the number of rows up to the last row with any non-blank entry (0 when none is filled).
  int filledRows() const;

  // Run on "OK" over the cells that take part (the grid: the filled rows), in row order; stops at
  // the first failure, shows its message and returns the failing cell as row * columns() + column.
  // -1 when every entry passed: the values are then ready for the caller.
  virtual int check() = 0;

 private:
  ValueLayout m_layout;
  int m_rows;
  int m_columns;
  std::vector<std::string> m_texts;
};

}  // namespace veltrix
