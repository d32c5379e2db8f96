#include "core/base/value_dialog.h"

#include <algorithm>
#include <utility>

namespace veltrix {
namespace {

bool isBlank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

}  // namespace

ValueDialog::ValueDialog(ValueLayout layout, int rows, int columns)
    : m_layout(layout),
      m_rows(std::clamp(rows, 1, kMaxValueGridRows)),
      m_columns(std::clamp(columns, 1, kMaxValueGridColumns)),
      m_texts(static_cast<std::size_t>(m_rows * m_columns)) {}

const std::string& ValueDialog::text(int row, int column) const {
  static const std::string empty;
  if (row < 0 || row >= m_rows || column < 0 || column >= m_columns) return empty;
  return m_texts[static_cast<std::size_t>(row * m_columns + column)];
}

void ValueDialog::setText(int row, int column, std::string text) {
  if (row < 0 || row >= m_rows || column < 0 || column >= m_columns) return;
  if (text.size() > static_cast<std::size_t>(maxTextLength()))
    text.resize(static_cast<std::size_t>(maxTextLength()));
  m_texts[static_cast<std::size_t>(row * m_columns + column)] = std::move(text);
}

void ValueDialog::setTexts(const std::vector<std::string>& texts) {
  for (int i = 0; i < m_rows * m_columns; ++i)
    setText(i / m_columns, i % m_columns,
            i < static_cast<int>(texts.size()) ? texts[static_cast<std::size_t>(i)] : "");
}

int ValueDialog::moveColumn(int column, int delta) {
  const int target = column + delta;
  if (column < 0 || column >= m_columns || target < 0 || target >= m_columns) return column;
  for (int r = 0; r < m_rows; ++r)
    std::swap(m_texts[static_cast<std::size_t>(r * m_columns + column)],
              m_texts[static_cast<std::size_t>(r * m_columns + target)]);
  return target;
}

int ValueDialog::moveRow(int row, int delta) {
  const int target = row + delta;
  if (row < 0 || row >= m_rows || target < 0 || target >= m_rows) return row;
  for (int c = 0; c < m_columns; ++c)
    std::swap(m_texts[static_cast<std::size_t>(row * m_columns + c)],
              m_texts[static_cast<std::size_t>(target * m_columns + c)]);
  return target;
}

int ValueDialog::filledRows() const {
  for (int r = m_rows - 1; r >= 0; --r)
    for (int c = 0; c < m_columns; ++c)
      if (!isBlank(text(r, c))) return r + 1;
  return 0;
}

}  // namespace veltrix
