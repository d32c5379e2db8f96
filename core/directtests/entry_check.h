// The entry check of the value dialogs: each field has a rule - whole number or not, a lower and an
// upper bound - and "OK" checks the fields in row order, naming the first one that breaks its rule.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/value_dialog.h"

namespace veltrix {

class Ui;

// A rule as a three-digit number h t u: h = 1 requires a whole number; t the lower bound (1: value
// >= low, 2: value > low, 0: none); u the upper bound (1: value <= high, 2: value < high, 0: none).
struct CellRule {
  int code = 0;
  double low = 0;
  double high = 0;
};

struct CheckedValue {
  double value = 0;
  int decimals = 0;
};

// The message for one entry, or nothing when it passes (value then holds the number): "Unzulässige
// Eingabe", "Wert nicht ganzzahlig", "Wert  < " / "Wert  <= " / "Wert  > " / "Wert  >= " + the bound
// (without decimals when a whole number is required, else with about six significant digits). An
// empty text is refused unless emptyIsZero.
std::optional<std::string> TDlgChk(std::string_view text, const CellRule& rule, bool emptyIsZero,
                                   CheckedValue& value);

// A value dialog whose fields each carry a rule. The message box of a refusal names the field: row
// label, " / ", column label (with ":" added when it does not end in one), an empty line, three
// blanks and the message.
class CheckedValueDialog : public ValueDialog {
 public:
  // rules: one per cell row by row; a shorter list repeats its last rule (an empty one: no rule).
  CheckedValueDialog(Ui& ui, ValueLayout layout, int rows, int columns, std::vector<CellRule> rules);

  // The grid checks only the filled rows and reads an empty cell there as 0. With fewer filled rows
  // than minimumRows (but at least one) the message names what is missing and the first field of
  // the next row is returned.
  int check() override;

  int minimumRows = 0;
  std::string tooFewRowsMessage;

  // After a check that passed: the value of each checked cell (row by row); the grid's rows
  // beyond the filled ones are 0.
  double value(int row, int column) const;
  // The rows that took part in the last check that passed (the grid: the filled rows).
  int checkedRows() const { return m_checkedRows; }

 private:
  const CellRule& ruleOf(int cell) const;
  std::string fieldName(int row, int column) const;

  Ui& m_ui;
  std::vector<CellRule> m_rules;
  std::vector<CheckedValue> m_values;
  int m_checkedRows = 0;
};

}  // namespace veltrix
