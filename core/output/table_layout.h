// Grid tables with labelled rows and columns: frequency matrices, statistics per group or
// variable, and lower-triangular matrices such as correlations.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/output/table_manager.h"
#include "core/stats/significance.h"

namespace veltrix {

// Names of rows or columns: consecutive 10-character fields (item_labels.h); an empty field shows
// the item number as "  5.".
struct LabelSet {
  std::string names;
  bool leftAligned = false;  // row labels: left-aligned after one blank instead of right-aligned
};

// Row labels, row heading and optional two-character row codes ("A:B:C:..", repeated as often
// as the rows need), shared by the matrix and statistics tables.
struct RowLabelling {
  LabelSet labels;
  std::string heading;
  std::string codes;
};

// A value below this marks a missing value.
inline constexpr double kMissingBelow = -1e20;

struct MatrixTable {
  int rows = 0;
  int cols = 0;
  std::vector<double> values;  // rows * cols, row by row
  RowLabelling rowLabels;
  LabelSet colLabels;
  bool padShortColumnLabels = false;
  std::string columnTitle;     // column-group title: an extra fixed row above the column labels
  std::vector<int> decimals;   // per column
  std::vector<int> colWidths;  // per value column, characters
  int mode = 0;                // 1: a value of exactly 0 shows "---"; 2: a missing value shows " ! "
};

struct StatisticsTable {
  int count = 0;                      // rows: groups or variables
  int statCount = 0;                  // statistics available per row
  std::vector<double> values;         // count * statCount, row by row; missing values stay empty
  std::vector<std::string> captions;  // per statistic
  std::vector<int> decimals;          // per statistic
  std::vector<int> widths;            // per statistic, characters
  RowLabelling rowLabels;
  // Two-digit statistic numbers ("010203") shows those in that order; "f" or "p" with an optional
  // two-digit width (default 40) shows all followed by a text column, spread for "f" and
  // left-aligned for "p"; an empty selection shows all statistics.
  std::string selection;
  std::vector<std::string> texts;  // per row, for the text column
  std::string title;               // a title row above the captions when not empty
};

struct LowerMatrixTable {
  int size = 0;
  std::vector<double> values;   // size * size, row by row
  std::vector<double> pValues;  // size * size; below -0.5 means not computable
  LabelSet labels;              // rows and columns
  std::string heading;
  int decimals = 2;
  bool full = false;  // all columns in every row instead of columns 1..i in row i
};

class TTMnX : public TTMng {
 public:
  // Into the current table: column 1 of rows start+2 .. start+1+count, heading in row start+1.
  void PutRowLabels(int start, int count, const RowLabelling& rows);
  // Into the current table: row start+1, columns 2 .. count+1; a column-group title in row 1,
  // column 2.
  void PutColumnLabels(int start, int count, const LabelSet& labels, bool padShort,
                       std::string_view columnTitle);

  // Each begins table n with the header completed to a grid of the right size.
  void PutMatrix(int n, const TTabHeader& header, const MatrixTable& matrix);
  void PutStatistics(int n, const TTabHeader& header, const StatisticsTable& statistics);
  // Each value carries the mark of its p-value by the user's levels (blank, "+" or "x"; "!" when the
  // p-value could not be computed).
  void PutLowerMatrix(int n, const TTabHeader& header, const LowerMatrixTable& matrix,
                      const SignificanceLevels& levels);
};

}  // namespace veltrix
