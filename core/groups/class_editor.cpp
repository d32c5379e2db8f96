#include "core/groups/class_editor.h"

#include <algorithm>
#include <utility>

#include "core/base/ui.h"
#include "core/stats/number_format.h"
#include "core/stats/number_parse.h"
#include "core/stats/real48.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

namespace {

constexpr int kEntriesOffset = 2;
constexpr int kEntrySize = 6;
constexpr std::size_t kNotNumericMessageLength = 43;
constexpr std::string_view kNotNumericMessage = "Kein numerischer Wert: ";
constexpr std::string_view kNotAscendingMessage = "Werte nicht in aufsteigender Folge !";

std::string boundaryText(double value) {
  return DeleteAll(FormatInWidth(-7, 10, value), " ");
}

}  // namespace

TEditKls::TEditKls(Ui& ui, int number, const ClassDivisionRecord& record)
    : m_ui(ui), m_number(number), m_storedType(record[1] >> 5) {
  if (m_storedType <= static_cast<int>(ClassDivisionType::BeginsWith))
    m_type = static_cast<ClassDivisionType>(m_storedType);
  const int count = std::min(record[1] & 0x1F, kRowCount);
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* entry = &record[kEntriesOffset + i * kEntrySize];
    if (m_storedType == 0) {
      m_rows[i] = boundaryText(readReal48(entry));
    } else {
      m_rows[i] = TrimBlanks(std::string_view(reinterpret_cast<const char*>(entry), kEntrySize), 1);
    }
  }
  moveToRow(0);
}

std::string TEditKls::caption() const {
  return "Klasseneinteilung Nr. " + std::to_string(m_number);
}

int TEditKls::maxInputLength() const {
  return m_type == ClassDivisionType::Numeric ? kNumericInputLength : kTextInputLength;
}

void TEditKls::setEditText(std::string_view text) {
  m_editText = UpperText(text.substr(0, static_cast<std::size_t>(maxInputLength())));
}

void TEditKls::setType(ClassDivisionType type) {
  m_type = type;
  if (m_editText.size() > static_cast<std::size_t>(maxInputLength())) m_editText.resize(maxInputLength());
}

void TEditKls::selectRow(int row) {
  if (row >= 0 && row < kRowCount) moveToRow(row);
}

void TEditKls::enter() {
  std::string input = TrimBlanks(m_editText, 0);
  if (input != TrimBlanks(m_rows[m_current], 0)) setRow(m_current, std::move(input));
  moveToRow(std::min(m_current + 1, kRowCount - 1));
}

void TEditKls::continueRow() {
  if (!continueEnabled()) return;
  if (m_current < 2) {
    m_ui.beep();
    return;
  }
  const ParsedNumber a = ParseField(m_rows[m_current - 2]);
  const ParsedNumber b = ParseField(m_rows[m_current - 1]);
  if (a.decimals < 0 || b.decimals < 0) return;
  setRow(m_current, boundaryText(2 * b.value - a.value));
  moveToRow(std::min(m_current + 1, kRowCount - 1));
}

void TEditKls::insertRow() {
  if (!IsBlank(m_rows[kRowCount - 1]) || m_current == kRowCount - 1) {
    m_ui.beep();
    return;
  }
  std::move_backward(m_rows.begin() + m_current, m_rows.end() - 1, m_rows.end());
  setRow(m_current, "");
  moveToRow(m_current);
}

void TEditKls::removeRow() {
  std::move(m_rows.begin() + m_current + 1, m_rows.end(), m_rows.begin() + m_current);
  setRow(kRowCount - 1, "");
  moveToRow(m_current);
}

bool TEditKls::changed() const {
  return m_changed || static_cast<int>(m_type) != m_storedType;
}

ClassEditResult TEditKls::ok() {
  ClassEditResult result;
  if (!changed()) return result;
  const auto refuse = [&](int row, std::string_view message) {
    moveToRow(row);
    m_ui.error(message);
    return ClassEditResult{ClassEditOutcome::Refused, {}};
  };

  ClassDivisionRecord& record = result.record;
  int count = 0;
  bool havePrevious = false;
  double previous = 0.0;
  for (int r = 0; r < kRowCount; ++r) {
    const std::string text = TrimBlanks(m_rows[r], 0);
    if (text.empty()) continue;
    std::uint8_t* entry = &record[kEntriesOffset + count * kEntrySize];
    if (m_type == ClassDivisionType::Numeric) {
      // The parser refuses magnitudes beyond the six-byte range, so every accepted value can be stored.
      const ParsedNumber parsed = ParseField(text);
      if (parsed.decimals < 0) {
        return refuse(r, (std::string(kNotNumericMessage) + text).substr(0, kNotNumericMessageLength));
      }
      // Compared as stored: values that round to one six-byte real (or to 0) are not ascending.
      const double stored = Real48::fromDouble(parsed.value).toDouble();
      if (havePrevious && stored <= previous) return refuse(r, kNotAscendingMessage);
      writeReal48(stored, entry);
      previous = stored;
      havePrevious = true;
    } else {
      const std::string padded = AlignText(text.substr(0, kEntrySize), kEntrySize, -1);
      std::copy(padded.begin(), padded.end(), entry);
    }
    ++count;
  }
  record[1] = static_cast<std::uint8_t>(count + 32 * static_cast<int>(m_type));
  result.outcome = ClassEditOutcome::Accepted;
  return result;
}

void TEditKls::moveToRow(int row) {
  m_current = row;
  m_editText = m_rows[row].substr(0, static_cast<std::size_t>(maxInputLength()));
}

void TEditKls::setRow(int row, std::string text) {
  m_rows[row] = std::move(text);
  m_changed = true;
}

}  // namespace veltrix
