#include "core/analysis/selection_slots.h"

#include <algorithm>
#include <cstddef>

#include "core/stats/number_format.h"
#include "core/stats/real48.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

namespace {

constexpr std::size_t kClassValuesOffset = 2;
constexpr std::size_t kClassValueSize = 6;
constexpr int kClassKindShift = 5;
constexpr int kClassCountMask = 31;
constexpr int kClassContains = 2;
constexpr int kClassBeginsWith = 3;

// Bytes as text; zero bytes (a slot or record never written) read as blanks.
std::string bytesText(const std::uint8_t* bytes, std::size_t length) {
  std::string text(reinterpret_cast<const char*>(bytes), length);
  std::replace(text.begin(), text.end(), '\0', ' ');
  return text;
}

std::string fitted(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, std::min(text.size(), width)));
  out.resize(width, ' ');
  return out;
}

std::string rightAligned(std::string_view text, std::size_t width) {
  if (text.size() >= width) return std::string(text.substr(text.size() - width));
  return std::string(width - text.size(), ' ') + std::string(text);
}

}  // namespace

bool SlotInUse(const SelectionSlot& slot) {
  return slot[kSlotInUseOffset] == 1;
}

int SlotCount(const SelectionSlot& slot) {
  return std::min<int>(slot[kSlotCountOffset], kSlotEntries);
}

std::string SlotLabel(const SelectionSlot& slot, int k) {
  if (k < 1 || k > kSlotTotalLabel) return {};
  return bytesText(slot.data() + static_cast<std::size_t>((k - 1) * kSlotLabelLength), kSlotLabelLength);
}

std::string SlotLabels(const SelectionSlot& slot) {
  return bytesText(slot.data(), static_cast<std::size_t>(kSlotTotalLabel * kSlotLabelLength));
}

SlotVariable SlotVariableAt(const SelectionSlot& slot, int k) {
  if (k < 1 || k > kSlotEntries) return {};
  const std::size_t at = static_cast<std::size_t>(kSlotVariableOffset + 3 * (k - 1));
  SlotVariable v;
  v.position = static_cast<std::int16_t>(slot[at] | (slot[at + 1] << 8));
  v.typeByte = slot[at + 2];
  return v;
}

int SlotGroupNumber(const SelectionSlot& slot, int k) {
  if (k < 1 || k > kSlotEntries) return 0;
  return slot[static_cast<std::size_t>(kSlotGroupNumberOffset + k)];
}

ClassDivisionRecord SlotClassDivision(const SelectionSlot& slot) {
  ClassDivisionRecord record{};
  std::copy_n(slot.begin() + kSlotClassRecordOffset, record.size(), record.begin());
  return record;
}

int SlotClassNumber(const SelectionSlot& slot) {
  return slot[kSlotByte500];
}

int SlotTransformation(const SelectionSlot& slot) {
  return std::clamp(int{slot[kSlotByte499]} - 1, 0, 9);
}

bool SlotCompleteCases(const SelectionSlot& slot) {
  return slot[kSlotByte500] == 1;
}

std::string SlotGroupName(const SelectionSlot& slot, int which) {
  if (which != 1 && which != 2) return {};
  const std::size_t at = static_cast<std::size_t>(kSlotGroupNameOffset + (which - 1) * kGroupNameLength);
  return bytesText(slot.data() + at, kGroupNameLength);
}

void SetSlotLabel(SelectionSlot& slot, int k, std::string_view label) {
  if (k < 1 || k > kSlotTotalLabel) return;
  const std::string text = fitted(label, kSlotLabelLength);
  std::copy(text.begin(), text.end(), slot.begin() + (k - 1) * kSlotLabelLength);
}

void SetSlotVariable(SelectionSlot& slot, int k, int position, std::uint8_t typeByte) {
  if (k < 1 || k > kSlotEntries) return;
  const std::size_t at = static_cast<std::size_t>(kSlotVariableOffset + 3 * (k - 1));
  const auto stored = static_cast<std::uint16_t>(static_cast<std::int16_t>(position));
  slot[at] = static_cast<std::uint8_t>(stored & 255);
  slot[at + 1] = static_cast<std::uint8_t>(stored >> 8);
  slot[at + 2] = typeByte;
}

std::vector<std::string> ClassLabels(const ClassDivisionRecord& division, int number) {
  const int count = std::min(division[1] & kClassCountMask, kMaxClassValues);
  const int kind = division[1] >> kClassKindShift;
  const auto value = [&division](int k) {
    return division.data() + kClassValuesOffset + kClassValueSize * static_cast<std::size_t>(k - 1);
  };
  std::vector<std::string> labels;
  if (kind == 0) {
    if (count == 0) {
      // An empty numeric division holds every value in its one class, which has no boundary to name.
      labels.emplace_back(kSlotLabelLength, ' ');
      return labels;
    }
    labels.push_back(rightAligned("<=" + FormatInWidth(-5, 8, readReal48(value(1))), kSlotLabelLength));
    for (int k = 2; k <= count; ++k)
      labels.push_back(rightAligned(FormatInWidth(-5, 9, readReal48(value(k))), kSlotLabelLength));
    labels.push_back(rightAligned(">" + FormatInWidth(-5, 9, readReal48(value(count))), kSlotLabelLength));
    return labels;
  }
  char mark = ' ';
  if (number == 1 && kind == kClassContains) mark = '?';
  if (number == 1 && kind == kClassBeginsWith) mark = '"';
  for (int k = 1; k <= count; ++k) {
    std::string label(kSlotLabelLength, ' ');
    label.replace(2, kClassValueSize, bytesText(value(k), kClassValueSize));
    label[0] = mark;
    labels.push_back(label);
  }
  labels.emplace_back("  SONSTIGE");
  return labels;
}

std::string GroupLabel(const TParams& params, int group) {
  const GroupRecord& record = params.getGroup(group);
  const std::string shortName = bytesText(record.data() + kGroupShortNameOffset, kGroupShortNameLength);
  if (IsBlank(shortName)) return fitted("Gruppe " + std::to_string(group), kSlotLabelLength);
  return shortName;
}

}  // namespace veltrix
