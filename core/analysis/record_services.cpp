#include "core/analysis/record_services.h"

#include <algorithm>

#include "core/analysis/selection_slots.h"
#include "core/datafile/stat_record.h"
#include "core/groups/group_language.h"

namespace veltrix {

namespace {
constexpr std::size_t kMaxFieldText = 40;
}

SlotGroups::SlotGroups(const TParams& params, const SelectionSlot& slot) {
  if (!SlotInUse(slot)) return;
  m_count = SlotCount(slot);
  for (int k = 1; k <= m_count; ++k)
    m_groups[static_cast<std::size_t>(k - 1)] = &params.getGroup(SlotGroupNumber(slot, k));
}

GroupList SlotGroups::of(std::string_view record) const {
  GroupList list{};
  int n = 0;
  for (int k = 1; k <= m_count; ++k) {
    if (IsInGroup(record, *m_groups[static_cast<std::size_t>(k - 1)]))
      list[static_cast<std::size_t>(n++)] = static_cast<std::uint8_t>(k);
  }
  list[31] = static_cast<std::uint8_t>(n);
  return list;
}

GroupList GroupsOfRecord(const TParams& params, std::string_view record, const SelectionSlot& slot) {
  return SlotGroups(params, slot).of(record);
}

void FieldValues(std::string_view record, const SelectionSlot& slot, RecordValues& values) {
  values.anyMissing = false;
  values.count = 0;
  if (!SlotInUse(slot)) return;
  const int n = SlotCount(slot);
  values.count = n;
  for (int k = 1; k <= n; ++k) {
    const SlotVariable variable = SlotVariableAt(slot, k);
    const FieldValueResult field = FieldValue(record, variable.position, variable.typeByte);
    FieldValue30& out = values.fields[static_cast<std::size_t>(k - 1)];
    out.status = static_cast<std::int16_t>(field.status);
    out.value = field.value;
    out.text.assign(field.text.substr(0, std::min(field.text.size(), kMaxFieldText)));
    if (!variable.isText() && field.status < 0) values.anyMissing = true;
  }
}

ClassList ClassesOfField(std::string_view fieldText, int status, double value, const SelectionSlot& slot) {
  if (!SlotInUse(slot)) return ClassList{};
  return AssignClasses(fieldText, status, value, SlotClassDivision(slot));
}

}  // namespace veltrix
