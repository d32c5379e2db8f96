// Record services of the data pass: the selected groups a record belongs to, the values of the
// selected variables, and the classes of a field, each read from a selection slot. A slot not used by
// the current analysis (byte 498 zero) gives an empty result.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/datafile/params.h"
#include "core/groups/class_division.h"

namespace veltrix {

class RecordBuffer;

// Positions 1..30 (within the slot's group list) of the selected groups the record belongs to, in
// slot order, in bytes 0..30; their count in byte 31.
using GroupList = ClassList;

// The groups of a slot, fetched once per run so that each record costs only the membership tests.
class SlotGroups {
 public:
  SlotGroups(const TParams& params, const SelectionSlot& slot);
  GroupList of(std::string_view record) const;
  int count() const { return m_count; }

 private:
  std::array<const GroupRecord*, 30> m_groups{};
  int m_count = 0;
};
GroupList GroupsOfRecord(const TParams& params, std::string_view record, const SelectionSlot& slot);

struct FieldValue30 {
  std::int16_t status = -1;  // decimals; -1 empty; -2 not a number (text fields: -2 filled, -1 empty)
  double value = 0;
  std::string text;  // up to 40 characters, blanks trimmed
};
struct RecordValues {
  std::array<FieldValue30, 30> fields{};
  bool anyMissing = false;  // a numeric variable has a negative status
  int count = 0;            // number of variables of the slot
};
// The values of the slot's variables; fills only the first count entries.
void FieldValues(std::string_view record, const SelectionSlot& slot, RecordValues& values);

// The classes of a field by the class division stored in the slot.
ClassList ClassesOfField(std::string_view fieldText, int status, double value, const SelectionSlot& slot);

}  // namespace veltrix
