#include "core/analysis/variable_selection.h"

#include <algorithm>
#include <cstddef>

#include "core/analysis/selection_slots.h"
#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

constexpr std::string_view kTransformations[kTransformationCount] = {
    "keine",        "log (x)", "log (x+3/8)", "log (x+1)",        "sqrt (x)",
    "sqrt (x+3/8)", "x * x",   "1/x",         "arcsin(sqrt (x))", "arcsin(sqrt (x/100))",
};

constexpr std::string_view kDsnr = "*DSNR";
constexpr std::string_view kTotalLabel = "GESAMT";
constexpr std::string_view kStructureError = "Interner Strukturfehler!";
// Catalog lines of class divisions and groups begin with a two-character layout mark; the number
// follows in two (class divisions) or three (groups) characters.
constexpr std::size_t kNumberStart = 2;
constexpr std::size_t kClassNumberWidth = 2;
constexpr std::size_t kGroupNumberWidth = 3;

std::string rightAligned(int number, std::size_t width) {
  std::string digits = std::to_string(number);
  if (digits.size() < width) digits.insert(0, width - digits.size(), ' ');
  return digits;
}

// A number of at most three digits, blanks around it allowed; -1 for anything else.
int parseSmallNumber(std::string_view text) {
  text = TrimmedView(text);
  if (text.empty() || text.size() > 3) return -1;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

VariableListMode listMode(VariableFilter filter) {
  switch (filter) {
    case VariableFilter::NumericOnly:
      return VariableListMode::NumericOnly;
    case VariableFilter::TextOnly:
      return VariableListMode::TextOnly;
    case VariableFilter::All:
      break;
  }
  return VariableListMode::All;
}

// The list of box n among the three variable lists (boxes 1..6) or the two group lists (7, 8).
std::size_t listIndex(int n) {
  return static_cast<std::size_t>(IsGroupBox(n) ? n - kGroupBox1 : (n - 1) / 2);
}

std::string entryCountText(int n) {
  return n == 1 ? "1 Eintrag" : std::to_string(n) + std::string(" Einträge"_w);
}

}  // namespace

std::string_view TransformationChoice(int index) {
  if (index < 0 || index >= kTransformationCount) return {};
  return kTransformations[index];
}

VariableSelectionModel::VariableSelectionModel(Ui& ui, TParams& params, int code, std::string_view descriptor,
                                               std::string title)
    : m_ui(ui),
      m_params(params),
      m_code(code),
      m_descriptor(DecodeDescriptor(descriptor)),
      m_title(std::move(title)) {
  // The switch is checked whenever it is offered; the transformation starts at "keine".
  m_completeCases = m_descriptor.completeCases;
  m_active = firstBox();
  rebuildCatalog();
}

// ---------------------------------------------------------------- boxes

bool VariableSelectionModel::present(int n) const {
  if (IsVariableBox(n)) return m_descriptor.lists[listIndex(n)].present();
  if (IsClassBox(n)) {
    const VariableListDescriptor& list = m_descriptor.lists[listIndex(n)];
    return list.present() && list.classCaption != 0;
  }
  if (IsGroupBox(n)) return m_descriptor.groupLists[listIndex(n)].present();
  return false;
}

std::string VariableSelectionModel::boxCaption(int n) const {
  if (!present(n)) return {};
  if (IsVariableBox(n)) return std::string(ListCaption(m_descriptor.lists[listIndex(n)].caption));
  if (IsClassBox(n)) return std::string(ListCaption(m_descriptor.lists[listIndex(n)].classCaption));
  return std::string(ListCaption(m_descriptor.groupLists[listIndex(n)].caption));
}

int VariableSelectionModel::minimum(int n) const {
  if (!present(n)) return 0;
  if (IsVariableBox(n)) return m_descriptor.lists[listIndex(n)].minimum;
  if (IsClassBox(n)) return 1;
  return m_descriptor.groupLists[listIndex(n)].minimum;
}

int VariableSelectionModel::maximum(int n) const {
  if (!present(n)) return 0;
  if (IsVariableBox(n)) return std::min(m_descriptor.lists[listIndex(n)].maximum, kSlotEntries);
  if (IsClassBox(n)) return 1;
  return std::min(m_descriptor.groupLists[listIndex(n)].maximum, kSlotEntries);
}

int VariableSelectionModel::firstBox() const {
  for (int n = 1; n <= kSelectionSlotCount; ++n)
    if (present(n)) return n;
  return 0;
}

int VariableSelectionModel::lastBox() const {
  for (int n = kSelectionSlotCount; n >= 1; --n)
    if (present(n)) return n;
  return 0;
}

int VariableSelectionModel::nextPresentBox(int n) const {
  for (int next = n + 1; next <= kSelectionSlotCount; ++next)
    if (present(next)) return next;
  return 0;
}

VariableSelectionModel::Box& VariableSelectionModel::box(int n) {
  return m_boxes[static_cast<std::size_t>(n - 1)];
}

const VariableSelectionModel::Box& VariableSelectionModel::box(int n) const {
  static const Box kNone;
  if (n < 1 || n > kSelectionSlotCount) return kNone;
  return m_boxes[static_cast<std::size_t>(n - 1)];
}

const std::vector<std::string>& VariableSelectionModel::entries(int n) const {
  return box(n).entries;
}

const std::vector<bool>& VariableSelectionModel::entrySelection(int n) const {
  return box(n).selection;
}

int VariableSelectionModel::entryCursor(int n) const {
  return box(n).cursor;
}

void VariableSelectionModel::setEntrySelection(int n, const std::vector<int>& selected) {
  if (!present(n)) return;
  Box& b = box(n);
  b.selection.assign(b.entries.size(), false);
  for (const int i : selected) {
    if (i < 0 || i >= static_cast<int>(b.entries.size())) continue;
    b.selection[static_cast<std::size_t>(i)] = true;
    if (!multiSelect(n)) {
      b.cursor = i;
      break;
    }
  }
}

void VariableSelectionModel::setEntryCursor(int n, int index) {
  if (!present(n)) return;
  Box& b = box(n);
  b.cursor = index >= 0 && index < static_cast<int>(b.entries.size()) ? index : -1;
  if (!multiSelect(n)) {
    b.selection.assign(b.entries.size(), false);
    if (b.cursor >= 0) b.selection[static_cast<std::size_t>(b.cursor)] = true;
  }
}

// ---------------------------------------------------------------- catalog

std::vector<std::string> VariableSelectionModel::catalogOf(int n) const {
  if (!present(n)) return {};
  if (IsClassBox(n)) return m_params.listClassDivisions().items;
  if (IsGroupBox(n)) return m_params.listGroups().items;
  const VariableFilter filter = m_descriptor.lists[listIndex(n)].filter;
  std::vector<std::string> lines = m_params.listVariables(listMode(filter)).items;
  if (m_alphabetical) {
    // "*DSNR" is not a variable of the entry form: it stays at the end in either order.
    const bool dsnrLast =
        filter != VariableFilter::TextOnly && !lines.empty() && TrimmedView(lines.back()) == kDsnr;
    const auto end = dsnrLast ? lines.end() - 1 : lines.end();
    std::stable_sort(lines.begin(), end);
  }
  return lines;
}

std::string VariableSelectionModel::entryOfLine(int n, const std::string& line) const {
  if (IsClassBox(n)) return line.substr(std::min(kNumberStart, line.size()), kClassNumberWidth);
  if (IsGroupBox(n)) return line.substr(std::min(kNumberStart, line.size()), kGroupNumberWidth);
  return line;
}

void VariableSelectionModel::rebuildCatalog() {
  std::vector<std::string> lines = catalogOf(m_active);
  // A box with the same catalog and the same kind of selection carries the cursor on: after "Zeit"
  // the next variable is under the cursor for the following box.
  const bool keep = m_catalogBox != 0 && m_active != 0 && lines == m_catalog &&
                    multiSelect(m_catalogBox) == multiSelect(m_active);
  m_catalog = std::move(lines);
  m_catalogBox = m_active;
  if (keep) return;
  m_catalogSelection.assign(m_catalog.size(), false);
  m_catalogCursor = m_catalog.empty() ? -1 : 0;
  if (m_catalogCursor >= 0) m_catalogSelection[0] = true;
}

void VariableSelectionModel::activate(int n) {
  if (!present(n)) return;
  m_red = false;
  m_active = n;
  rebuildCatalog();
}

void VariableSelectionModel::setCatalogSelection(const std::vector<int>& selected) {
  m_catalogSelection.assign(m_catalog.size(), false);
  for (const int i : selected) {
    if (i < 0 || i >= static_cast<int>(m_catalog.size())) continue;
    m_catalogSelection[static_cast<std::size_t>(i)] = true;
    if (!multiSelect(m_active)) {
      m_catalogCursor = i;
      break;
    }
  }
}

void VariableSelectionModel::setCatalogCursor(int index) {
  m_catalogCursor = index >= 0 && index < static_cast<int>(m_catalog.size()) ? index : -1;
  if (!multiSelect(m_active)) {
    m_catalogSelection.assign(m_catalog.size(), false);
    if (m_catalogCursor >= 0) m_catalogSelection[static_cast<std::size_t>(m_catalogCursor)] = true;
  }
}

void VariableSelectionModel::setAlphabetical(bool alphabetical) {
  if (alphabetical == m_alphabetical) return;
  m_alphabetical = alphabetical;
  if (!IsVariableBox(m_active)) return;
  // The same names stay selected and under the cursor in the new order.
  const std::string cursorLine =
      m_catalogCursor >= 0 ? m_catalog[static_cast<std::size_t>(m_catalogCursor)] : "";
  std::vector<std::string> selected;
  for (std::size_t i = 0; i < m_catalog.size(); ++i)
    if (m_catalogSelection[i]) selected.push_back(m_catalog[i]);
  m_catalog = catalogOf(m_active);
  m_catalogSelection.assign(m_catalog.size(), false);
  for (std::size_t i = 0; i < m_catalog.size(); ++i) {
    if (std::find(selected.begin(), selected.end(), m_catalog[i]) != selected.end())
      m_catalogSelection[i] = true;
    if (m_catalogCursor >= 0 && m_catalog[i] == cursorLine) m_catalogCursor = static_cast<int>(i);
  }
}

bool VariableSelectionModel::sortEnabled() const {
  return IsVariableBox(m_active);
}

std::string VariableSelectionModel::explanation() const {
  if (m_active == 0) return {};
  if (IsClassBox(m_active)) return std::string("Klasseneinteilung auswählen"_w);
  const std::string word = IsVariableBox(m_active) ? "Variable" : "Gruppe";
  const int low = minimum(m_active);
  const int high = maximum(m_active);
  std::string name;
  std::string range;
  if (high == 1 && low >= 1) {
    name = "Eine " + word;
  } else if (high == 1 && low == 0) {
    name = "Keine oder eine " + word;
  } else if (high == low && high > 1) {
    name = std::to_string(high) + " " + word + "n";
  } else {
    name = word + "n";
    range = " (min. " + std::to_string(low) + " , max. " + std::to_string(high) + ")";
  }
  return " " + name + std::string(" auswählen"_w) + range;
}

bool VariableSelectionModel::upDownEnabled() const {
  return maximum(m_active) > 1;
}

bool VariableSelectionModel::memoryEnabled() const {
  return !memory().entries.empty();
}

bool VariableSelectionModel::continueVisible() const {
  return maximum(m_active) > 1 && m_active != lastBox();
}

// ---------------------------------------------------------------- actions

void VariableSelectionModel::moveRight() {
  if (m_active == 0 || maximum(m_active) < 1) {
    m_ui.beep();
    return;
  }
  Box& b = box(m_active);
  const auto max = static_cast<std::size_t>(maximum(m_active));
  if (!multiSelect(m_active)) {
    if (m_catalogCursor < 0 || m_catalogCursor >= static_cast<int>(m_catalog.size())) {
      m_ui.beep();
      return;
    }
    b.entries = {entryOfLine(m_active, m_catalog[static_cast<std::size_t>(m_catalogCursor)])};
    b.selection = {true};
    b.cursor = 0;
    setCatalogCursor(std::min(m_catalogCursor + 1, static_cast<int>(m_catalog.size()) - 1));
    if (const int next = nextPresentBox(m_active)) activate(next);
    return;
  }

  // With nothing selected the entry under the cursor is taken, so Enter takes one entry after the
  // other from the keyboard.
  if (std::none_of(m_catalogSelection.begin(), m_catalogSelection.end(), [](bool on) { return on; }) &&
      m_catalogCursor >= 0 && m_catalogCursor < static_cast<int>(m_catalogSelection.size()))
    m_catalogSelection[static_cast<std::size_t>(m_catalogCursor)] = true;
  int lastTaken = -1;
  bool leftOver = false;
  for (std::size_t i = 0; i < m_catalog.size(); ++i) {
    if (!m_catalogSelection[i]) continue;
    if (b.entries.size() < max) {
      b.entries.push_back(entryOfLine(m_active, m_catalog[i]));
      m_catalogSelection[i] = false;
      lastTaken = static_cast<int>(i);
    } else {
      leftOver = true;
    }
  }
  if (lastTaken < 0 || leftOver) m_ui.beep();
  if (lastTaken < 0) return;
  m_catalogCursor = std::min(lastTaken + 1, static_cast<int>(m_catalog.size()) - 1);
  b.selection.assign(b.entries.size(), false);
  b.selection.back() = true;
  b.cursor = static_cast<int>(b.entries.size()) - 1;
  if (b.entries.size() >= max) {
    if (const int next = nextPresentBox(m_active)) activate(next);
  }
}

void VariableSelectionModel::moveLeft() {
  if (m_active == 0) {
    m_ui.beep();
    return;
  }
  Box& b = box(m_active);
  std::vector<std::size_t> removed;
  for (std::size_t i = 0; i < b.entries.size(); ++i)
    if (b.selection[i]) removed.push_back(i);
  if (removed.empty() && b.cursor >= 0 && b.cursor < static_cast<int>(b.entries.size()))
    removed.push_back(static_cast<std::size_t>(b.cursor));
  if (removed.empty()) {
    m_ui.beep();
    return;
  }
  for (auto it = removed.rbegin(); it != removed.rend(); ++it)
    b.entries.erase(b.entries.begin() + static_cast<std::ptrdiff_t>(*it));
  b.selection.assign(b.entries.size(), false);
  if (b.entries.empty()) {
    b.cursor = -1;
    return;
  }
  b.cursor = static_cast<int>(std::min(removed.front(), b.entries.size() - 1));
  b.selection[static_cast<std::size_t>(b.cursor)] = true;
}

void VariableSelectionModel::moveUp() {
  Box& b = box(m_active == 0 ? 1 : m_active);
  const auto selected = std::count(b.selection.begin(), b.selection.end(), true);
  const auto at = std::find(b.selection.begin(), b.selection.end(), true) - b.selection.begin();
  if (m_active == 0 || selected != 1 || b.entries.size() < 2 || at == 0) {
    m_ui.beep();
    return;
  }
  std::swap(b.entries[static_cast<std::size_t>(at)], b.entries[static_cast<std::size_t>(at - 1)]);
  b.selection.assign(b.entries.size(), false);
  b.selection[static_cast<std::size_t>(at - 1)] = true;
  b.cursor = static_cast<int>(at - 1);
}

void VariableSelectionModel::moveDown() {
  Box& b = box(m_active == 0 ? 1 : m_active);
  const auto selected = std::count(b.selection.begin(), b.selection.end(), true);
  const auto at = std::find(b.selection.begin(), b.selection.end(), true) - b.selection.begin();
  if (m_active == 0 || selected != 1 || b.entries.size() < 2 ||
      at + 1 >= static_cast<std::ptrdiff_t>(b.entries.size())) {
    m_ui.beep();
    return;
  }
  std::swap(b.entries[static_cast<std::size_t>(at)], b.entries[static_cast<std::size_t>(at + 1)]);
  b.selection.assign(b.entries.size(), false);
  b.selection[static_cast<std::size_t>(at + 1)] = true;
  b.cursor = static_cast<int>(at + 1);
}

void VariableSelectionModel::continueToNext() {
  const int next = nextPresentBox(m_active);
  if (next == 0) {
    m_ui.beep();
    return;
  }
  activate(next);
}

SlotMemory VariableSelectionModel::memory() const {
  SlotMemory memory;
  if (m_active == 0) return memory;
  const SelectionSlot slot = m_params.selectionSlot(m_active);
  const int count = SlotCount(slot);
  std::vector<std::string> stored;
  if (IsVariableBox(m_active)) {
    for (int k = 1; k <= count; ++k) stored.push_back(SlotLabel(slot, k));
    if (m_active == kVariableBox1) {
      memory.completeCases = SlotCompleteCases(slot);
      memory.transformation = SlotTransformation(slot);
    }
  } else if (IsClassBox(m_active)) {
    if (count > 0) stored.push_back(rightAligned(SlotClassNumber(slot), kClassNumberWidth));
  } else {
    for (int k = 1; k <= count; ++k)
      stored.push_back(rightAligned(SlotGroupNumber(slot, k), kGroupNumberWidth));
  }
  // The slot may come from an analysis with another filter (a text variable of a frequency count) or
  // name what no longer exists: only what this box's catalog offers is taken.
  const std::vector<std::string> lines = catalogOf(m_active);
  const auto max = static_cast<std::size_t>(maximum(m_active));
  for (const std::string& entry : stored) {
    if (memory.entries.size() >= max) break;
    const auto offered = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
      return TrimmedView(entryOfLine(m_active, line)) == TrimmedView(entry);
    });
    if (offered != lines.end()) memory.entries.push_back(entryOfLine(m_active, *offered));
  }
  return memory;
}

void VariableSelectionModel::takeMemory() {
  const SlotMemory stored = memory();
  if (stored.entries.empty()) {
    m_ui.beep();
    return;
  }
  Box& b = box(m_active);
  b.entries = stored.entries;
  b.selection.assign(b.entries.size(), false);
  b.selection[0] = true;
  b.cursor = 0;
  if (m_active == kVariableBox1) {
    // A switch the analysis does not offer stays as it is, so the memory cannot set it unseen.
    if (completeCasesOffered()) m_completeCases = stored.completeCases;
    if (transformationOffered()) m_transformation = stored.transformation;
  }
  if (static_cast<int>(b.entries.size()) >= maximum(m_active)) {
    if (const int next = nextPresentBox(m_active)) activate(next);
  }
}

void VariableSelectionModel::setTransformation(int index) {
  m_transformation = std::clamp(index, 0, kTransformationCount - 1);
}

// ---------------------------------------------------------------- batch entries

std::string VariableSelectionModel::setEntries(int n, const std::vector<std::string>& items) {
  if (!present(n)) {
    if (IsVariableBox(n)) return "Diese Auswertung hat keine Variablenliste " + std::to_string((n + 1) / 2);
    if (IsClassBox(n))
      return "Diese Auswertung hat keine Klasseneinteilung zur Variablenliste " + std::to_string(n / 2);
    if (IsGroupBox(n)) return "Diese Auswertung hat keine Gruppenliste " + std::to_string(n - kGroupBox1 + 1);
    return "Diese Auswertung hat keine Auswahl " + std::to_string(n);
  }
  const std::string caption = boxCaption(n);
  if (static_cast<int>(items.size()) > maximum(n))
    return std::string("Höchstens "_w) + entryCountText(maximum(n)) + std::string(" für "_w) + caption;

  const std::vector<std::string> lines = catalogOf(n);
  std::vector<std::string> chosen;
  for (const std::string& item : items) {
    const std::string_view wanted = TrimmedView(item);
    if (IsVariableBox(n)) {
      const auto line = std::find_if(lines.begin(), lines.end(),
                                     [&](const std::string& l) { return TrimmedView(l) == wanted; });
      if (line == lines.end()) {
        if (m_params.findVariableByName(wanted).index >= 1)
          return "Variable " + std::string(wanted) + std::string(" ist für "_w) + caption +
                 std::string(" nicht zulässig"_w);
        return "Variable " + std::string(wanted) + " ist nicht vorhanden";
      }
      chosen.push_back(*line);
      continue;
    }
    const int number = parseSmallNumber(wanted);
    const auto line = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
      return number >= 0 && parseSmallNumber(entryOfLine(n, l)) == number;
    });
    if (line == lines.end()) {
      return (IsClassBox(n) ? "Klasseneinteilung " : "Gruppe ") + std::string(wanted) +
             " ist nicht vorhanden";
    }
    chosen.push_back(entryOfLine(n, *line));
  }

  Box& b = box(n);
  b.entries = std::move(chosen);
  b.selection.assign(b.entries.size(), false);
  b.cursor = b.entries.empty() ? -1 : 0;
  if (b.cursor == 0) b.selection[0] = true;
  return {};
}

int VariableSelectionModel::missingBox() const {
  for (int n = 1; n <= kSelectionSlotCount; ++n)
    if (present(n) && static_cast<int>(box(n).entries.size()) < minimum(n)) return n;
  return 0;
}

// ---------------------------------------------------------------- acceptance

bool VariableSelectionModel::buildSlot(int n, SelectionSlot& slot) const {
  slot.fill(0);
  std::fill_n(slot.begin(), kSlotTotalLabel * kSlotLabelLength, static_cast<std::uint8_t>(' '));
  const std::vector<std::string>& chosen = box(n).entries;
  const int count = std::min(static_cast<int>(chosen.size()), kSlotEntries);

  if (IsVariableBox(n)) {
    for (int k = 1; k <= count; ++k) {
      const std::string& name = chosen[static_cast<std::size_t>(k - 1)];
      const VariableRef ref = m_params.findVariableByName(name);
      if (ref.index < 0) {
        m_ui.error(kStructureError);
        return false;
      }
      SetSlotLabel(slot, k, name);
      SetSlotVariable(slot, k, ref.position, ref.typeByte);
    }
    slot[kSlotCountOffset] = static_cast<std::uint8_t>(count);
    if (n == kVariableBox1) {
      const int transformation = transformationOffered() ? m_transformation : 0;
      slot[kSlotByte499] = static_cast<std::uint8_t>(transformation + 1);
      slot[kSlotByte500] = completeCasesOffered() && m_completeCases && count > 1 ? 1 : 0;
    }
    return true;
  }

  if (IsClassBox(n)) {
    const int number = count > 0 ? parseSmallNumber(chosen.front()) : -1;
    const ClassDivisionRecord record = m_params.getClassDivision(number);
    if (number < 0 || number > kMaxClassDivisions || record[0] != number) {
      m_ui.error(kStructureError);
      return false;
    }
    const std::vector<std::string> labels = ClassLabels(record, number);
    for (std::size_t k = 0; k < labels.size() && k < static_cast<std::size_t>(kSlotEntries); ++k)
      SetSlotLabel(slot, static_cast<int>(k) + 1, labels[k]);
    std::copy(record.begin(), record.end(), slot.begin() + kSlotClassRecordOffset);
    slot[kSlotByte499] = static_cast<std::uint8_t>(record[1] >> 5);
    slot[kSlotByte500] = static_cast<std::uint8_t>(number);
    slot[kSlotCountOffset] = static_cast<std::uint8_t>(std::min(record[1] & 31, kMaxClassValues));
    return true;
  }

  for (int k = 1; k <= count; ++k) {
    const int group = parseSmallNumber(chosen[static_cast<std::size_t>(k - 1)]);
    if (group < 0 || group > kMaxGroups) {
      m_ui.error(kStructureError);
      return false;
    }
    slot[static_cast<std::size_t>(kSlotGroupNumberOffset + k)] = static_cast<std::uint8_t>(group);
    SetSlotLabel(slot, k, GroupLabel(m_params, group));
    if (k <= 2) {
      const GroupRecord& record = m_params.getGroup(group);
      for (int i = 0; i < kGroupNameLength; ++i) {
        const std::uint8_t c = record[static_cast<std::size_t>(kGroupNameOffset + i)];
        slot[static_cast<std::size_t>(kSlotGroupNameOffset + (k - 1) * kGroupNameLength + i)] =
            c == 0 ? ' ' : c;
      }
    }
  }
  slot[kSlotCountOffset] = static_cast<std::uint8_t>(count);
  return true;
}

bool VariableSelectionModel::accept() {
  for (int n = 1; n <= kSelectionSlotCount; ++n) {
    if (!present(n) || static_cast<int>(box(n).entries.size()) >= minimum(n)) continue;
    activate(n);
    m_red = true;
    m_ui.beep();
    return false;
  }
  // Every slot is built before any is stored, so a refusal leaves the memory as it was.
  std::array<SelectionSlot, kSelectionSlotCount> built{};
  for (int n = 1; n <= kSelectionSlotCount; ++n)
    if (present(n) && !buildSlot(n, built[static_cast<std::size_t>(n - 1)])) return false;

  for (int n = 1; n <= kSelectionSlotCount; ++n) {
    // Slots of other boxes keep their contents: they are the memory of other analyses.
    SelectionSlot slot = present(n) ? built[static_cast<std::size_t>(n - 1)] : m_params.selectionSlot(n);
    slot[kSlotInUseOffset] = 0;
    if (present(n)) {
      SetSlotLabel(slot, kSlotTotalLabel, kTotalLabel);
      slot[kSlotInUseOffset] = 1;
    }
    m_params.putSelectionSlot(n, slot);
  }
  m_red = false;
  return true;
}

}  // namespace veltrix
