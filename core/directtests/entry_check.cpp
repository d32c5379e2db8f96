#include "core/directtests/entry_check.h"

#include <utility>

#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/stats/number_format.h"
#include "core/stats/number_parse.h"
#include "core/stats/text_helpers.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;

std::string boundText(const CellRule& rule, double bound) {
  return rule.code / 100 == 1 ? FormatDecimals(0, bound) : FormatSignificant(bound);
}

}  // namespace

std::optional<std::string> TDlgChk(std::string_view text, const CellRule& rule, bool emptyIsZero,
                                   CheckedValue& value) {
  const std::string trimmed = TrimBlanks(text, 0);
  const ParsedNumber parsed = ParseField(trimmed);
  if (parsed.decimals == kEmptyField && emptyIsZero) {
    value = {0, 0};
  } else if (parsed.decimals < 0) {
    return std::string("Unzulässige Eingabe"_w);
  } else {
    value = {parsed.value, parsed.decimals};
  }
  const int wholeRule = rule.code / 100;
  const int lowerRule = rule.code / 10 % 10;
  const int upperRule = rule.code % 10;
  if (wholeRule == 1 && value.decimals > 0) return std::string("Wert ") + "nicht ganzzahlig";
  if (lowerRule == 1 && value.value < rule.low)
    return std::string("Wert ") + " < " + boundText(rule, rule.low);
  if (lowerRule == 2 && value.value <= rule.low)
    return std::string("Wert ") + " <= " + boundText(rule, rule.low);
  if (upperRule == 1 && value.value > rule.high)
    return std::string("Wert ") + " > " + boundText(rule, rule.high);
  if (upperRule == 2 && value.value >= rule.high)
    return std::string("Wert ") + " >= " + boundText(rule, rule.high);
  return std::nullopt;
}

CheckedValueDialog::CheckedValueDialog(Ui& ui, ValueLayout layout, int rows, int columns,
                                       std::vector<CellRule> rules)
    : ValueDialog(layout, rows, columns),
      m_ui(ui),
      m_rules(std::move(rules)),
      m_values(static_cast<std::size_t>(this->rows() * this->columns())) {}

const CellRule& CheckedValueDialog::ruleOf(int cell) const {
  static const CellRule none;
  if (m_rules.empty()) return none;
  if (cell < static_cast<int>(m_rules.size())) return m_rules[static_cast<std::size_t>(cell)];
  return m_rules.back();
}

std::string CheckedValueDialog::fieldName(int row, int column) const {
  std::string name = row < static_cast<int>(rowLabels.size()) ? rowLabels[static_cast<std::size_t>(row)] : "";
  if (column < static_cast<int>(columnLabels.size())) {
    name += " / ";
    name += columnLabels[static_cast<std::size_t>(column)];
  }
  if (LastChar(name) != ':') name += ':';
  return name;
}

int CheckedValueDialog::check() {
  const bool grid = layout() == ValueLayout::Grid;
  const int rowsToCheck = grid ? filledRows() : rows();
  std::vector<CheckedValue> values(m_values.size());
  for (int r = 0; r < rowsToCheck; ++r) {
    for (int c = 0; c < columns(); ++c) {
      const int cell = r * columns() + c;
      const auto refusal = TDlgChk(text(r, c), ruleOf(cell), grid, values[static_cast<std::size_t>(cell)]);
      if (refusal) {
        m_ui.error(fieldName(r, c) + "\r\n\r\n   " + *refusal);
        return cell;
      }
    }
  }
  if (grid && rowsToCheck > 0 && rowsToCheck < minimumRows) {
    m_ui.error(tooFewRowsMessage);
    return rowsToCheck * columns();
  }
  m_values = std::move(values);
  m_checkedRows = rowsToCheck;
  return -1;
}

double CheckedValueDialog::value(int row, int column) const {
  if (row < 0 || row >= rows() || column < 0 || column >= columns()) return 0;
  return m_values[static_cast<std::size_t>(row * columns() + column)].value;
}

}  // namespace veltrix
