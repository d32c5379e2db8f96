// The in-memory operations of the parameter object; the file format is in params_io.cpp.
#include "core/datafile/params.h"
#include "core/stats/text_helpers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/stats/number_format.h"
#include "core/stats/real48.h"

namespace veltrix {

namespace {

constexpr std::string_view kDsnrName = "*DSNR     ";
constexpr std::string_view kDsnrRenamed = "X_*DSNR   ";
constexpr std::string_view kSuffixCharacters = "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int kListedNumbers = 20;       // lists show the numbers 0..20
constexpr std::size_t kTextCutoff = 40;  // after this many characters the values show as "..."
constexpr std::size_t kMaxListLine = 80;
constexpr int kFirstTitleCharacter = 6;  // 1-based; characters 1..5 hold number and marker

std::string padded(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

std::string rightAligned(int number, std::size_t width) {
  std::string digits = std::to_string(number);
  if (digits.size() < width) digits.insert(0, width - digits.size(), ' ');
  return digits;
}

// Bytes of a stored title shown as text: zero bytes (an undefined record) as blanks.
std::string titleText(const std::uint8_t* bytes, std::size_t length) {
  std::string text(reinterpret_cast<const char*>(bytes), length);
  std::replace(text.begin(), text.end(), '\0', ' ');
  return text;
}

bool isBlankTitle(const std::uint8_t* bytes, std::size_t length) {
  return std::all_of(bytes, bytes + length, [](std::uint8_t b) { return b == ' ' || b == 0; });
}

void storeTitle(std::uint8_t* target, std::string_view text, std::size_t width) {
  const std::string padText = padded(text, width);
  std::memcpy(target, padText.data(), width);
}

bool hasVisibleTitle(std::string_view text) {
  if (text.size() < kFirstTitleCharacter) return false;
  return !TrimmedView(text.substr(kFirstTitleCharacter - 1)).empty();
}

// "FA.FL" or "FA.FL>"; false for anything else.
bool parseFieldReference(std::string_view text, int& position, int& length, bool& isText) {
  isText = !text.empty() && text.back() == '>';
  if (isText) text.remove_suffix(1);
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) return false;
  auto number = [](std::string_view digits, int& value) {
    if (digits.empty() || digits.size() > 5) return false;  // 5 digits hold every valid value
    value = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    return true;
  };
  if (!number(text.substr(0, dot), position) || !number(text.substr(dot + 1), length)) return false;
  const int maxLength = isText ? kMaxTextFieldLength : kMaxNumericFieldLength;
  return position >= 1 && position <= kRecordLength && length >= 1 && length <= maxLength &&
         position + length <= kRecordLength + 1;
}

}  // namespace

std::string GroupTitle(const GroupRecord& group, int offset, int length) {
  return TrimBlanks(titleText(group.data() + offset, static_cast<std::size_t>(length)), 1);
}

void SetGroupTitle(GroupRecord& group, int offset, int length, std::string_view title) {
  storeTitle(group.data() + offset, title, static_cast<std::size_t>(length));
}

TParams::TParams(Ui& ui)
    : m_ui(ui),
      m_entries(kMaxVariables + 1),
      m_classes(kMaxClassDivisions + 1),
      m_groups(kMaxGroups + 1),
      m_nameIndex() {
  reset();
}

void TParams::resetVariables() {
  Entry empty;
  empty.name.fill(' ');
  std::fill(m_entries.begin(), m_entries.end(), empty);
  m_count = 0;
  m_nameIndexValid = false;
}

void TParams::reset() {
  m_settings = ParamSettings{};
  m_creationDate = 0;
  resetVariables();

  for (ClassDivisionRecord& record : m_classes) record.fill(0);
  ClassDivisionRecord& zero = m_classes[0];
  zero[1] = kMaxClassValues;  // numeric, 29 values 0, 1, .., 28
  for (int i = 0; i < kMaxClassValues; ++i) writeReal48(i, zero.data() + 2 + 6 * i);

  for (GroupRecord& record : m_groups) record.fill(0);
  GroupRecord& total = m_groups[0];
  storeTitle(total.data() + kGroupNameOffset, "Gesamt", kGroupNameLength);
  storeTitle(total.data() + kGroupShortNameOffset, "Gesamt", kGroupShortNameLength);

  for (SelectionSlot& slot : m_slots) slot.fill(0);
  m_backupMade = false;
  m_modified = false;
}

// ---------------------------------------------------------------- selection slots

void TParams::clearSelectionSlots(int slot) {
  if (slot == 0) {
    for (SelectionSlot& s : m_slots) s.fill(0);
  } else if (slot >= 1 && slot <= kSelectionSlotCount) {
    m_slots[static_cast<std::size_t>(slot - 1)].fill(0);
  }
}

SelectionSlot TParams::selectionSlot(int slot) const {
  if (slot < 1 || slot > kSelectionSlotCount) return SelectionSlot{};
  return m_slots[static_cast<std::size_t>(slot - 1)];
}

void TParams::putSelectionSlot(int slot, const SelectionSlot& contents) {
  if (slot >= 1 && slot <= kSelectionSlotCount) m_slots[static_cast<std::size_t>(slot - 1)] = contents;
}

// ---------------------------------------------------------------- class divisions

ClassDivisionRecord TParams::getClassDivision(int index) const {
  if (index < 0 || index > kMaxClassDivisions) return ClassDivisionRecord{};
  return m_classes[static_cast<std::size_t>(index)];
}

void TParams::putClassDivision(int index, const ClassDivisionRecord& record) {
  if (index < 1 || index > kMaxClassDivisions) return;
  ClassDivisionRecord stored{};
  const int count = std::min(record[1] & 31, kMaxClassValues);
  stored[0] = static_cast<std::uint8_t>(index);
  stored[1] = static_cast<std::uint8_t>((record[1] & 0xE0) | count);
  std::memcpy(stored.data() + 2, record.data() + 2, static_cast<std::size_t>(6 * count));
  m_classes[static_cast<std::size_t>(index)] = stored;
}

std::string TParams::classDivisionText(int index) const {
  std::string line = rightAligned(index, 2);
  if (index < 0 || index > kMaxClassDivisions) return line;
  const ClassDivisionRecord& record = m_classes[static_cast<std::size_t>(index)];
  if (record[0] != index) return line;  // undefined
  const int kind = record[1] >> 5;
  const int count = std::min(record[1] & 31, kMaxClassValues);
  static constexpr char kMarkers[] = {'N', 'I', 'E', 'B'};
  line += kind < 4 ? kMarkers[kind] : 'T';
  // The values begin at the title character, as a group's name does.
  line.resize(kFirstTitleCharacter - 1, ' ');
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      if (line.size() > kTextCutoff) {
        line += ",...";
        break;
      }
      line += ',';
    }
    const std::uint8_t* value = record.data() + 2 + 6 * i;
    if (kind == 0) {
      line += FormatSignificant(readReal48(value));
    } else {
      std::string_view text(reinterpret_cast<const char*>(value), 6);
      while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
      line += text;
    }
  }
  if (line.size() > kMaxListLine) line.resize(kMaxListLine);
  return line;
}

// ---------------------------------------------------------------- groups

const GroupRecord& TParams::getGroup(int index) const {
  static const GroupRecord kNone{};
  if (index < 0 || index > kMaxGroups) return kNone;
  return m_groups[static_cast<std::size_t>(index)];
}

void TParams::putGroup(int index, const GroupRecord& record) {
  if (index < 1 || index > kMaxGroups) return;
  GroupRecord& stored = m_groups[static_cast<std::size_t>(index)];
  if (record[kGroupDefinitionOffset] == 0) {
    stored.fill(0);
    return;
  }
  stored = record;
  stored[0] = static_cast<std::uint8_t>(index);
  const std::string number = std::to_string(index);
  if (isBlankTitle(stored.data() + kGroupNameOffset, kGroupNameLength))
    storeTitle(stored.data() + kGroupNameOffset, std::string("Gruppe Nr. ").append(number), kGroupNameLength);
  if (isBlankTitle(stored.data() + kGroupShortNameOffset, kGroupShortNameLength))
    storeTitle(stored.data() + kGroupShortNameOffset, std::string("G").append(number), kGroupShortNameLength);
}

std::string TParams::groupText(int index) const {
  std::string line = rightAligned(index, 3) + ": ";
  if (index < 0 || index > kMaxGroups) return line + std::string(kGroupNameLength, ' ');
  return line +
         titleText(m_groups[static_cast<std::size_t>(index)].data() + kGroupNameOffset, kGroupNameLength);
}

int GroupDefinitionEnd(const GroupRecord& group) {
  const auto at = [&group](int p) -> int {
    return p <= kGroupDefinitionLength ? group[static_cast<std::size_t>(kGroupDefinitionOffset - 1 + p)] : 0;
  };
  int p = 1;
  while (p <= kGroupDefinitionLength) {
    const int head = at(p);
    if (head == 0) return p;
    const int variables = head & 31;
    p += 1 + 3 * variables;  // head, then 16-bit position and type byte per variable
    if (p + 1 > kGroupDefinitionLength) break;
    const int countByte = at(p);
    const int secondByte = at(p + 1);
    if (countByte >= 64)
      p += 2 + 6 * (countByte - 64);  // text values
    else
      p += 2 + 6 * countByte + 12 * secondByte;  // single values and ranges
  }
  return kGroupDefinitionLength;
}

// ---------------------------------------------------------------- variables

void TParams::setVariableCount(int count) {
  const int newCount = std::clamp(count, 0, kMaxVariables);
  Entry empty;
  empty.name.fill(' ');
  for (int i = newCount + 1; i <= kMaxVariables; ++i) m_entries[static_cast<std::size_t>(i)] = empty;
  m_count = newCount;
  m_nameIndexValid = false;
}

VariableEntry TParams::getVariable(int index) const {
  VariableEntry entry;
  if (index < 1 || index > kMaxVariables) {
    entry.name = std::string(kDsnrName);
    entry.position = kRecordNumberPosition;
    entry.length = kRecordNumberLength;
    entry.typeByte = kRecordNumberLength;
    return entry;
  }
  const Entry& e = m_entries[static_cast<std::size_t>(index)];
  entry.name.assign(e.name.data(), e.name.size());
  entry.position = e.position;
  entry.length = e.typeByte & 127;
  entry.typeByte = e.typeByte;
  return entry;
}

void TParams::putVariable(int index, std::string_view name, int position, int length) {
  if (index < 1 || index > kMaxVariables) return;
  if (position < std::numeric_limits<std::int16_t>::min() ||
      position > std::numeric_limits<std::int16_t>::max())
    return;
  Entry& e = m_entries[static_cast<std::size_t>(index)];
  const std::string padName = padded(name, kVariableNameLength);
  std::memcpy(e.name.data(), padName.data(), kVariableNameLength);
  const std::string_view trimmed =
      TrimmedView(name.substr(0, std::min<std::size_t>(name.size(), kVariableNameLength)));
  const bool isText = !trimmed.empty() && trimmed.back() == '>';
  e.position = static_cast<std::int16_t>(position);
  e.typeByte = static_cast<std::uint8_t>((length & 127) | (isText ? 128 : 0));
  m_nameIndexValid = false;
}

void TParams::ensureNameIndex() const {
  if (m_nameIndexValid) return;
  m_nameIndex.resize(static_cast<std::size_t>(m_count));
  for (int i = 0; i < m_count; ++i)
    m_nameIndex[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i + 1);
  // Byte order of the names; equal names keep their table order.
  std::stable_sort(m_nameIndex.begin(), m_nameIndex.end(), [this](std::int16_t a, std::int16_t b) {
    const auto& na = m_entries[static_cast<std::size_t>(a)].name;
    const auto& nb = m_entries[static_cast<std::size_t>(b)].name;
    return std::memcmp(na.data(), nb.data(), kVariableNameLength) < 0;
  });
  m_nameIndexValid = true;
}

VariableRef TParams::findVariableByName(std::string_view name) const {
  const std::string_view trimmed = TrimmedView(name);
  VariableRef ref;
  if (trimmed == TrimmedView(kDsnrName)) {
    ref.index = kDsnrIndex;
    ref.position = kRecordNumberPosition;
    ref.length = kRecordNumberLength;
    ref.typeByte = kRecordNumberLength;
    return ref;
  }
  if (trimmed.size() <= static_cast<std::size_t>(kVariableNameLength)) {
    ensureNameIndex();
    const std::string key = padded(trimmed, kVariableNameLength);
    const auto it = std::lower_bound(m_nameIndex.begin(), m_nameIndex.end(), key,
                                     [this](std::int16_t index, const std::string& k) {
                                       const auto& n = m_entries[static_cast<std::size_t>(index)].name;
                                       return std::memcmp(n.data(), k.data(), kVariableNameLength) < 0;
                                     });
    if (it != m_nameIndex.end()) {
      const Entry& e = m_entries[static_cast<std::size_t>(*it)];
      if (std::memcmp(e.name.data(), key.data(), kVariableNameLength) == 0) {
        ref.index = *it;
        ref.position = std::abs(int{e.position});
        ref.length = e.typeByte & 127;
        ref.typeByte = e.typeByte;
        return ref;
      }
    }
  }
  int position = 0;
  int length = 0;
  bool isText = false;
  if (parseFieldReference(trimmed, position, length, isText)) {
    ref.index = 0;
    ref.position = position;
    ref.length = length;
    ref.typeByte = static_cast<std::uint8_t>(length | (isText ? 128 : 0));
  }
  return ref;
}

FieldName TParams::findVariableByField(int position, int typeByte) const {
  // The table is ordered by position: the first entry at or after it, then those at the same position.
  const auto first = m_entries.begin() + 1;
  const auto last = m_entries.begin() + 1 + m_count;
  auto it = std::lower_bound(first, last, position,
                             [](const Entry& e, int p) { return std::abs(int{e.position}) < p; });
  for (; it != last && std::abs(int{it->position}) == position; ++it) {
    if (it->typeByte == (typeByte & 255))
      return FieldName{static_cast<int>(it - m_entries.begin()),
                       std::string(it->name.data(), it->name.size())};
  }
  const int length = typeByte & 127;
  if (position == kRecordNumberPosition && length == kRecordNumberLength)
    return FieldName{kDsnrIndex, std::string(TrimmedView(kDsnrName))};
  std::string name = std::to_string(position) + "." + std::to_string(length);
  if ((typeByte & 128) != 0) name += '>';
  if (name.size() > static_cast<std::size_t>(kVariableNameLength)) name.resize(kVariableNameLength);
  return FieldName{0, name};
}

// ---------------------------------------------------------------- lists

ItemList TParams::listVariables(VariableListMode mode) const {
  ItemList list;
  for (int i = 1; i <= m_count; ++i) {
    const Entry& e = m_entries[static_cast<std::size_t>(i)];
    const bool isText = (e.typeByte & 128) != 0;
    if ((mode == VariableListMode::NumericOnly && isText) || (mode == VariableListMode::TextOnly && !isText))
      continue;
    list.items.emplace_back(e.name.data(), e.name.size());
  }
  if (mode != VariableListMode::TextOnly) list.items.emplace_back(kDsnrName);
  list.selected = list.items.empty() ? -1 : 0;
  return list;
}

ItemList TParams::listClassDivisions() const {
  ItemList list;
  for (int i = 0; i <= kListedNumbers; ++i) {
    const std::string text = classDivisionText(i);
    if (hasVisibleTitle(text)) list.items.push_back("{3" + text);
  }
  list.selected = list.items.empty() ? -1 : 0;
  return list;
}

ItemList TParams::listGroups() const {
  ItemList list;
  for (int i = 0; i <= kListedNumbers; ++i) {
    const std::string text = groupText(i);
    if (hasVisibleTitle(text)) list.items.push_back("{3" + text);
  }
  list.selected = list.items.empty() ? -1 : 0;
  return list;
}

// ---------------------------------------------------------------- names

bool TParams::makeNamesUnique() {
  const auto nameOf = [this](int i) {
    const auto& n = m_entries[static_cast<std::size_t>(i)].name;
    return std::string_view(n.data(), n.size());
  };
  const auto taken = [&](std::string_view candidate, int except) {
    for (int j = 1; j <= m_count; ++j)
      if (j != except && nameOf(j) == candidate) return true;
    return false;
  };

  for (int i = 1; i <= m_count; ++i)
    if (nameOf(i) == kDsnrName)
      std::memcpy(m_entries[static_cast<std::size_t>(i)].name.data(), kDsnrRenamed.data(),
                  kVariableNameLength);

  bool allUnique = true;
  for (int i = 2; i <= m_count; ++i) {
    bool duplicate = false;
    for (int j = 1; j < i && !duplicate; ++j) duplicate = nameOf(j) == nameOf(i);
    if (!duplicate) continue;

    Entry& e = m_entries[static_cast<std::size_t>(i)];
    const bool isText = (e.typeByte & 128) != 0;
    std::string_view base = TrimmedView(nameOf(i));
    if (isText && !base.empty() && base.back() == '>') base.remove_suffix(1);
    base = base.substr(0, isText ? kVariableNameLength - 3 : kVariableNameLength - 2);

    bool renamed = false;
    for (const char suffix : kSuffixCharacters) {
      std::string candidate(base);
      candidate += '_';
      candidate += suffix;
      if (isText) candidate += '>';
      candidate = padded(candidate, kVariableNameLength);
      if (taken(candidate, i)) continue;
      std::memcpy(e.name.data(), candidate.data(), kVariableNameLength);
      renamed = true;
      break;
    }
    if (!renamed) allUnique = false;
  }
  m_nameIndexValid = false;
  return allUnique;
}

}  // namespace veltrix
