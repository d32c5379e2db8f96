// The eight selection slots of the variable selection, one per box: what the user chose, as the data
// pass and the procedures read it. A slot is 502 bytes, held by the parameter object in memory only:
//   0..299   labels of entries 1..30, 10 characters each, blank-padded
//   300..309 label 31, "GESAMT"
//   310..485 class boxes: the class division record; group boxes: 310..344 and 345..379 the long
//            names of the first and second selected group
//   variable boxes: 400 + 3(k-1) the record position (signed 16-bit, little-endian) and type byte of
//            entry k; group boxes: byte 399 + k the number of the k-th group
//   498      1 when the slot belongs to the analysis just accepted
//   499      box 1: transformation + 1; class boxes: the division's kind, the top three bits of its
//            count byte shifted down (0 numeric, 1 equal, 2 contains, 3 begins with)
//   500      box 1: 1 for complete cases; class boxes: the class division number
//   501      number of entries; class boxes: the number of boundaries (low five bits of the count byte)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/datafile/params.h"

namespace veltrix {

inline constexpr int kSlotEntries = 30;
inline constexpr int kSlotLabelLength = 10;
inline constexpr int kSlotTotalLabel = 31;  // "GESAMT"
inline constexpr int kSlotClassRecordOffset = 310;
inline constexpr int kSlotGroupNameOffset = 310;
inline constexpr int kSlotVariableOffset = 400;
inline constexpr int kSlotGroupNumberOffset = 399;
inline constexpr int kSlotInUseOffset = 498;
inline constexpr int kSlotByte499 = 499;
inline constexpr int kSlotByte500 = 500;
inline constexpr int kSlotCountOffset = 501;

// Box numbers: the box is also the slot number.
enum SelectionBox : int {
  kVariableBox1 = 1,
  kClassBox1 = 2,
  kVariableBox2 = 3,
  kClassBox2 = 4,
  kVariableBox3 = 5,
  kClassBox3 = 6,
  kGroupBox1 = 7,
  kGroupBox2 = 8,
};
inline bool IsVariableBox(int box) {
  return box == 1 || box == 3 || box == 5;
}
inline bool IsClassBox(int box) {
  return box == 2 || box == 4 || box == 6;
}
inline bool IsGroupBox(int box) {
  return box == 7 || box == 8;
}

// Readers; every index outside its range reads as empty or 0.
bool SlotInUse(const SelectionSlot& slot);
// Byte 501, cut to 30 (a damaged count never reaches past the entries).
int SlotCount(const SelectionSlot& slot);
// Label k (1..31) with its blanks.
std::string SlotLabel(const SelectionSlot& slot, int k);
// All 31 labels as one string of 10-character fields (the form the grid tables take).
std::string SlotLabels(const SelectionSlot& slot);
struct SlotVariable {
  int position = 0;
  std::uint8_t typeByte = 0;
  int length() const { return typeByte & 127; }
  bool isText() const { return (typeByte & 128) != 0; }
};
SlotVariable SlotVariableAt(const SelectionSlot& slot, int k);  // k 1..30
int SlotGroupNumber(const SelectionSlot& slot, int k);          // k 1..30
ClassDivisionRecord SlotClassDivision(const SelectionSlot& slot);
int SlotClassNumber(const SelectionSlot& slot);     // byte 500 of a class slot
int SlotTransformation(const SelectionSlot& slot);  // box 1: 0 "keine" .. 9
bool SlotCompleteCases(const SelectionSlot& slot);  // box 1
// The group long name (35 characters) at 310 (first) or 345 (second).
std::string SlotGroupName(const SelectionSlot& slot, int which);

// Writers.
void SetSlotLabel(SelectionSlot& slot, int k, std::string_view label);
void SetSlotVariable(SelectionSlot& slot, int k, int position, std::uint8_t typeByte);

// The labels 1..n+1 of a class division of n boundaries: numeric ones "<=" b1, b2 .. bn, ">" bn,
// right-aligned in 10; text ones the 6-character value in characters 3..8 and "  SONSTIGE" for the
// rest class. Division number 1 marks its text labels with "?" (contains) or a double quote (begins
// with) in character 1.
std::vector<std::string> ClassLabels(const ClassDivisionRecord& division, int number);
// A group's 10-character short name, or "Gruppe " + number when it is blank.
std::string GroupLabel(const TParams& params, int group);

}  // namespace veltrix
