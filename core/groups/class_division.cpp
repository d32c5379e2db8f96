#include "core/groups/class_division.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "core/stats/real48.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

namespace {

constexpr int kHeadOffset = 1;
constexpr int kEntriesOffset = 2;
constexpr int kEntrySize = 6;
constexpr int kCountByte = 31;
// Texts are compared on their first 80 characters; one more for the ";" that may be appended.
constexpr std::size_t kComparedTextLength = 80;

void append(ClassList& list, int cls) {
  if (list[kCountByte] < kCountByte) list[list[kCountByte]++] = static_cast<std::uint8_t>(cls);
}

ClassList numericClasses(int decimals, double value, const ClassDivisionRecord& division, int count) {
  ClassList list{};
  if (decimals < 0) return list;
  int cls = count + 1;
  for (int i = 1; i <= count; ++i) {
    if (value <= readReal48(&division[kEntriesOffset + (i - 1) * kEntrySize])) {
      cls = i;
      break;
    }
  }
  append(list, cls);
  return list;
}

bool entryMatches(int type, std::string_view field, std::string_view entry) {
  switch (type) {
    case 1:
      return field == entry;
    case 2:
      return field.find(entry) != std::string_view::npos;
    case 3:
      return field.substr(0, entry.size()) == entry;
    default:  // a text kind without a comparison of its own matches nothing
      return false;
  }
}

ClassList textClasses(std::string_view fieldText, int type, const ClassDivisionRecord& division, int count) {
  // Upper-cased into a buffer of the stack: this runs for every record and classified variable.
  char buffer[kComparedTextLength + 1];
  const std::size_t length = std::min(fieldText.size(), kComparedTextLength);
  for (std::size_t i = 0; i < length; ++i) buffer[i] = UpCaseChar(fieldText[i]);
  std::string_view field(buffer, length);

  ClassList list{};
  int matches = 0;
  bool listEntrySeen = false;
  for (int k = 1; k <= count; ++k) {
    const auto* raw = reinterpret_cast<const char*>(&division[kEntriesOffset + (k - 1) * kEntrySize]);
    const std::string_view entry = TrimmedView(std::string_view(raw, kEntrySize));
    bool matched = false;
    if (field.empty()) {
      matched = entry == "LEER";
    } else {
      if (LastChar(entry) == ';') {
        listEntrySeen = true;
        if (LastChar(field) != ';') {
          buffer[field.size()] = ';';
          field = std::string_view(buffer, field.size() + 1);
        }
      }
      matched = entryMatches(type, field, entry);
    }
    if (matched) {
      append(list, k);
      ++matches;
    }
  }
  // A list field such as A;B;X; counts its unmatched items (X) in the rest class.
  if (listEntrySeen && std::count(field.begin(), field.end(), ';') > matches) append(list, count + 1);
  if (matches == 0 && list[kCountByte] == 0) append(list, count + 1);
  return list;
}

}  // namespace

ClassList AssignClasses(std::string_view fieldText, int decimals, double value,
                        const ClassDivisionRecord& division) {
  const int head = division[kHeadOffset];
  const int count = std::min(head & 0x1F, kMaxClassValues);
  const int type = head >> 5;
  if (type == 0) return numericClasses(decimals, value, division, count);
  return textClasses(fieldText, type, division, count);
}

}  // namespace veltrix
