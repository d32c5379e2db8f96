#include "core/datafile/structure_edit.h"

#include <algorithm>
#include <utility>

#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

constexpr int kMessagePlacement = 4;
constexpr std::string_view kBadName = "Unzulässiger Variablenname"_w;
constexpr std::string_view kBadLength = "Unzulässige Feldlänge"_w;
constexpr std::string_view kBadPosition = "Unzulässiger Wert für Feldanfang"_w;
constexpr std::string_view kIndexedNotAllowed = "Indizierte Variablen hier nicht zugelassen!";
constexpr std::string_view kDuplicate = " : Dieser Name ist schon vorhanden";
constexpr std::string_view kRecordTooLong =
    "Damit überschreiten Sie die maximale Datensatzlänge von 7821 Zeichen"_w;
constexpr std::string_view kListFull = "Maximale Anzahl von Variablen belegt.";
constexpr std::string_view kProtected =
    "In dem durch -- gekennzeichneten Bereich sind keine Änderungen zugelassen"_w;
constexpr std::string_view kOverlap = "Überschneidung mit "_w;
constexpr std::string_view kConfirmDelete = " : Variable löschen?"_w;
constexpr std::string_view kProtectedMarker = "   --";

bool isForbidden(char c) {
  return c == ':' || c == ']' || c == '[' || c == ',';
}

bool isIndexCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// A whole number of at most 4 digits (blanks around it allowed) in low..high, else nothing.
std::optional<int> wholeNumber(std::string_view text, int low, int high) {
  const std::string_view digits = TrimmedView(text);
  if (digits.empty() || digits.size() > 4) return std::nullopt;
  int value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::string numberText(int value) {
  return value > 0 ? std::to_string(value) : std::string();
}

int editLength(StructureField field) {
  switch (field) {
    case StructureField::Name:
      return kNameEditLength;
    case StructureField::Position:
      return kPositionEditLength;
    case StructureField::Length:
      return kLengthEditLength;
  }
  return 0;
}

}  // namespace

VariableNameKind ClassifyVariableName(std::string_view name) {
  if (name.empty() || name.size() > static_cast<std::size_t>(kVariableNameLength))
    return VariableNameKind::Invalid;
  if (!IsLetter(name.front())) return VariableNameKind::Invalid;
  if (std::any_of(name.begin(), name.end(), isForbidden)) return VariableNameKind::Invalid;
  if (name.back() == '>') return VariableNameKind::Text;
  if (name.size() >= 3 && name[name.size() - 2] == '*' && isIndexCharacter(name.back()))
    return VariableNameKind::Indexed;
  return VariableNameKind::Numeric;
}

int MaxFieldLength(VariableNameKind kind) {
  return kind == VariableNameKind::Text ? kMaxTextFieldLength : kMaxNumericFieldLength;
}

std::optional<IndexedSeries> SeriesOfIndexedName(std::string_view name) {
  if (ClassifyVariableName(name) != VariableNameKind::Indexed) return std::nullopt;
  IndexedSeries series;
  series.base = std::string(name.substr(0, name.size() - 2)) + "-";
  series.last = name.back();
  series.first = series.last >= 'A' ? 'A' : '0';
  return series;
}

std::string StructureItemText(const StructureItem& item) {
  if (item.empty()) return std::string(16, ' ');
  std::string text = AlignText(item.name, kVariableNameLength, -1);
  text += AlignText(numberText(item.position), 4, 1);
  text += AlignText(numberText(item.length), 2, 1);
  if (item.isProtected) text += kProtectedMarker;
  return text;
}

int WriteBackStructure(const std::vector<StructureItem>& items, TParams& params) {
  int count = 0;
  int previousEnd = 0;
  for (const StructureItem& item : items) {
    if (item.empty() || count >= kMaxVariables) continue;
    const int position = item.position > 0 ? item.position : previousEnd + 1;
    const int end = position + item.length - 1;
    if (position <= previousEnd || end > kMaxRecordEnd || item.length < 1) continue;
    params.putVariable(++count, item.name, position, item.length);
    previousEnd = end;
  }
  params.setVariableCount(count);
  return count;
}

bool SaveEditedStructure(const std::vector<StructureItem>& items, TParams& params) {
  WriteBackStructure(items, params);
  params.clearSelectionSlots(0);
  return params.write();
}

// ---------------------------------------------------------------- the shared list

StructureList::StructureList(Ui& ui, bool showsPositions) : m_ui(ui), m_showsPositions(showsPositions) {}

std::string StructureList::counterText() const {
  return AlignText(std::to_string(m_current + 1), 4, 1);
}

std::string StructureList::displayLine(int index) const {
  if (index < 0 || index >= static_cast<int>(m_items.size())) return {};
  const StructureItem& item = m_items[static_cast<std::size_t>(index)];
  std::string line = AlignText(item.name, 15, -1);
  if (m_showsPositions) line += AlignText(item.empty() ? "" : numberText(item.position), 6, 1);
  line += AlignText(item.empty() ? "" : numberText(item.length), 6, 1);
  if (item.isProtected) line += kProtectedMarker;
  return line;
}

bool StructureList::editsEnabled() const {
  return m_current >= 0 && m_current < static_cast<int>(m_items.size()) &&
         !m_items[static_cast<std::size_t>(m_current)].isProtected;
}

bool StructureList::setEditText(StructureField field, std::string_view text) {
  if (!editsEnabled()) return false;
  if (text.size() > static_cast<std::size_t>(editLength(field))) {
    m_ui.beep();
    return false;
  }
  switch (field) {
    case StructureField::Name:
      m_name = UpperText(text);
      break;
    case StructureField::Position:
      m_position = std::string(text);
      break;
    case StructureField::Length:
      m_length = std::string(text);
      break;
  }
  return true;
}

void StructureList::selectItem(int index) {
  if (index < 0 || index >= static_cast<int>(m_items.size())) return;
  m_current = index;
  fillEdits();
}

int StructureList::findItem(std::string_view name) const {
  for (std::size_t i = 0; i < m_items.size(); ++i)
    if (!m_items[i].empty() && m_items[i].name == name) return static_cast<int>(i);
  return -1;
}

void StructureList::refuse(std::string_view message, StructureField field) {
  m_ui.flags().placementHint = kMessagePlacement;
  m_ui.error(message);
  m_focus = field;
}

bool StructureList::nameTaken(std::string_view name, bool asPrefix) const {
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    if (static_cast<int>(i) == m_current || m_items[i].empty()) continue;
    const std::string& other = m_items[i].name;
    if (asPrefix ? other.starts_with(name) : other == name) return true;
  }
  return false;
}

bool StructureList::refuseDuplicate(std::string_view typed, std::string_view nameOrBase, bool asPrefix) {
  if (!nameTaken(nameOrBase, asPrefix)) return false;
  refuse(std::string(typed) + std::string(kDuplicate), StructureField::Name);
  return true;
}

int StructureList::variableItems() const {
  return static_cast<int>(
      std::count_if(m_items.begin(), m_items.end(), [](const StructureItem& item) { return !item.empty(); }));
}

void StructureList::keepEmptyItemAtEnd() {
  while (!m_items.empty() && m_items.back().empty()) m_items.pop_back();
  if (static_cast<int>(m_items.size()) < kMaxStructureItems) m_items.emplace_back();
  m_current = std::clamp(m_current, 0, static_cast<int>(m_items.size()) - 1);
}

void StructureList::fillEdits() {
  const StructureItem& item = m_items[static_cast<std::size_t>(m_current)];
  m_name = item.name;
  m_position = item.empty() ? std::string() : numberText(item.position);
  m_length = item.empty() ? std::string() : numberText(item.length);
  m_focus = StructureField::Name;
}

// ---------------------------------------------------------------- append and recompute

TNeuVar::TNeuVar(Ui& ui, const TParams& params, NeuVarMode mode)
    : StructureList(ui, mode == NeuVarMode::Append), m_mode(mode) {
  for (int i = 1; i <= params.variableCount(); ++i) {
    const VariableEntry entry = params.getVariable(i);
    StructureItem item;
    item.name = std::string(TrimmedView(entry.name));
    item.length = entry.length;
    if (mode == NeuVarMode::Append) {
      item.position = entry.position;
      item.isProtected = true;
      m_end = item.end();
    } else {
      m_end += item.length;
    }
    m_items.push_back(std::move(item));
  }
  m_changed = mode == NeuVarMode::Recompute;
  keepEmptyItemAtEnd();
  m_current = std::min(firstEditable(), static_cast<int>(m_items.size()) - 1);
  fillEdits();
}

std::string TNeuVar::caption() {
  return std::string("Variablenliste ergänzen"_w);
}

int TNeuVar::firstEditable() const {
  int i = 0;
  while (i < static_cast<int>(m_items.size()) && m_items[static_cast<std::size_t>(i)].isProtected) ++i;
  return i;
}

EntryOutcome TNeuVar::enter(StructureField from) {
  if (!editsEnabled()) return EntryOutcome::Ignored;
  if (m_name.empty() || TrimmedView(m_length).empty()) {
    if (from == StructureField::Name && TrimmedView(m_length).empty()) {
      m_focus = StructureField::Length;
    } else if (from == StructureField::Length && m_name.empty()) {
      m_focus = StructureField::Name;
    } else {
      m_focus = from;
    }
    return EntryOutcome::FocusMoved;
  }
  return store();
}

EntryOutcome TNeuVar::store() {
  const std::string name(TrimmedView(m_name));
  const VariableNameKind kind = ClassifyVariableName(name);
  if (kind == VariableNameKind::Invalid) {
    refuse(kBadName, StructureField::Name);
    return EntryOutcome::Refused;
  }
  const std::optional<int> length = wholeNumber(m_length, 1, MaxFieldLength(kind));
  if (!length) {
    refuse(kBadLength, StructureField::Length);
    return EntryOutcome::Refused;
  }
  StructureItem& item = m_items[static_cast<std::size_t>(m_current)];
  const std::optional<IndexedSeries> series = SeriesOfIndexedName(name);
  if (name != item.name) {
    if (series ? refuseDuplicate(name, series->base, true) : refuseDuplicate(name, name, false))
      return EntryOutcome::Refused;
  }
  const int end = m_end + *length - item.length;
  if (end > kMaxRecordEnd) {
    refuse(kRecordTooLong, StructureField::Length);
    return EntryOutcome::Refused;
  }
  if (series) return storeSeries(*series, *length);
  item.name = name;
  item.position = 0;
  item.length = *length;
  m_end = end;
  m_changed = true;
  ++m_current;
  keepEmptyItemAtEnd();
  fillEdits();
  return EntryOutcome::Stored;
}

EntryOutcome TNeuVar::storeSeries(const IndexedSeries& series, int length) {
  StructureItem& first = m_items[static_cast<std::size_t>(m_current)];
  m_end += length - first.length;
  first.name = series.member(0);
  first.position = 0;
  first.length = length;
  m_changed = true;
  int at = m_current;
  for (int i = 1; i < series.count(); ++i) {
    const bool full = variableItems() >= kMaxStructureItems;
    if (full || m_end + length > kMaxRecordEnd) {
      m_current = at + 1;
      keepEmptyItemAtEnd();
      fillEdits();
      refuse(full ? kListFull : kRecordTooLong, StructureField::Name);
      return EntryOutcome::Stopped;
    }
    StructureItem member;
    member.name = series.member(i);
    member.length = length;
    ++at;
    const auto place = m_items.begin() + at;
    if (place != m_items.end() && place->empty()) {
      *place = std::move(member);
    } else {
      m_items.insert(place, std::move(member));
    }
    m_end += length;
  }
  m_current = at + 1;
  keepEmptyItemAtEnd();
  fillEdits();
  return EntryOutcome::Stored;
}

bool TNeuVar::refuseProtected() {
  if (editsEnabled()) return false;
  refuse(kProtected, StructureField::Name);
  return true;
}

void TNeuVar::removeItem() {
  if (refuseProtected()) return;
  StructureItem& item = m_items[static_cast<std::size_t>(m_current)];
  if (item.empty()) {
    m_ui.beep();
    return;
  }
  m_end -= item.length;
  m_items.erase(m_items.begin() + m_current);
  m_changed = true;
  keepEmptyItemAtEnd();
  fillEdits();
}

void TNeuVar::moveUp() {
  if (refuseProtected()) return;
  if (m_current <= firstEditable() || m_items[static_cast<std::size_t>(m_current)].empty()) {
    m_ui.beep();
    return;
  }
  std::swap(m_items[static_cast<std::size_t>(m_current)], m_items[static_cast<std::size_t>(m_current - 1)]);
  --m_current;
  m_changed = true;
  fillEdits();
}

void TNeuVar::moveDown() {
  if (refuseProtected()) return;
  const auto next = static_cast<std::size_t>(m_current + 1);
  if (next >= m_items.size() || m_items[next].empty() || m_items[next - 1].empty()) {
    m_ui.beep();
    return;
  }
  std::swap(m_items[next - 1], m_items[next]);
  ++m_current;
  m_changed = true;
  fillEdits();
}

// ---------------------------------------------------------------- free definition

TFreiV::TFreiV(Ui& ui, const TParams& params) : StructureList(ui, true) {
  for (int i = 1; i <= params.variableCount(); ++i) {
    const VariableEntry entry = params.getVariable(i);
    m_items.push_back({std::string(TrimmedView(entry.name)), entry.position, entry.length, false});
  }
  keepEmptyItemAtEnd();
  fillEdits();
}

std::string TFreiV::caption() {
  return std::string("Variablen frei anlegen / löschen / umbenennen"_w);
}

EntryOutcome TFreiV::enter(StructureField) {
  const bool nameEmpty = m_name.empty();
  const bool positionEmpty = TrimmedView(m_position).empty();
  const bool lengthEmpty = TrimmedView(m_length).empty();
  if (nameEmpty || positionEmpty || lengthEmpty) {
    m_focus = nameEmpty       ? StructureField::Name
              : positionEmpty ? StructureField::Position
                              : StructureField::Length;
    return EntryOutcome::FocusMoved;
  }
  return store();
}

EntryOutcome TFreiV::store() {
  const std::string name(TrimmedView(m_name));
  const VariableNameKind kind = ClassifyVariableName(name);
  if (kind == VariableNameKind::Indexed) {
    refuse(kIndexedNotAllowed, StructureField::Name);
    return EntryOutcome::Refused;
  }
  if (kind == VariableNameKind::Invalid) {
    refuse(kBadName, StructureField::Name);
    return EntryOutcome::Refused;
  }
  const std::optional<int> position = wholeNumber(m_position, 1, kMaxRecordEnd);
  if (!position) {
    refuse(kBadPosition, StructureField::Position);
    return EntryOutcome::Refused;
  }
  const std::optional<int> length = wholeNumber(m_length, 1, MaxFieldLength(kind));
  if (!length) {
    refuse(kBadLength, StructureField::Length);
    return EntryOutcome::Refused;
  }
  if (name != m_items[static_cast<std::size_t>(m_current)].name && refuseDuplicate(name, name, false))
    return EntryOutcome::Refused;
  const int end = *position + *length - 1;
  if (end > kMaxRecordEnd) {
    refuse(kRecordTooLong, StructureField::Length);
    return EntryOutcome::Refused;
  }
  // The item is taken out and put in again in the order of the field starts.
  std::vector<StructureItem> rest;
  for (std::size_t i = 0; i < m_items.size(); ++i)
    if (static_cast<int>(i) != m_current && !m_items[i].empty()) rest.push_back(m_items[i]);
  std::size_t at = 0;
  while (at < rest.size() && rest[at].end() < *position) ++at;
  if (at < rest.size() && end >= rest[at].position) {
    refuse(std::string(kOverlap) + rest[at].name, StructureField::Position);
    return EntryOutcome::Refused;
  }
  rest.insert(rest.begin() + static_cast<std::ptrdiff_t>(at), StructureItem{name, *position, *length, false});
  m_items = std::move(rest);
  m_current = static_cast<int>(at) + 1;
  m_changed = true;
  keepEmptyItemAtEnd();
  fillEdits();
  return EntryOutcome::Stored;
}

bool TFreiV::removeItem() {
  const StructureItem& item = m_items[static_cast<std::size_t>(m_current)];
  if (item.empty()) {
    m_ui.beep();
    return false;
  }
  m_ui.flags().placementHint = kMessagePlacement;
  if (!m_ui.confirm(item.name + std::string(kConfirmDelete))) return false;
  m_items.erase(m_items.begin() + m_current);
  m_changed = true;
  keepEmptyItemAtEnd();
  fillEdits();
  return true;
}

// ---------------------------------------------------------------- the warning

std::string TSWarn::caption() {
  return "WARNUNG !";
}

std::vector<std::string> TSWarn::texts() {
  return {std::string("Nach Beendigung des nachfolgenden Dialoges  wird aus den Variablen die Struktur der "
                      "Statistikdatei völlig neu berechnet!"_w),
          std::string("Dies kann eine verheerende Wirkung haben, wenn Sie schon Daten eingegeben haben: Es "
                      "wird nur die Strukturbeschreibung geändert, nicht aber die Speicherung der Daten "
                      "selbst!"_w),
          std::string("Tatsächliche Speicherung und Strukturbeschreibung stimmen dann eventuell nicht mehr "
                      "überein. Rufen Sie im Zweifelsfall die Hilfefunktion auf !"_w)};
}

}  // namespace veltrix
