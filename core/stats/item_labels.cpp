#include "core/stats/item_labels.h"

#include <cstddef>
#include <cstdint>

#include "core/stats/text_helpers.h"

namespace veltrix {

namespace {

constexpr std::size_t kWidth = static_cast<std::size_t>(kItemNameWidth);

// abs(i) without overflow for the most negative int.
std::int64_t itemNumber(int i) {
  return i < 0 ? -static_cast<std::int64_t>(i) : i;
}

// The 10 bytes of field `number`, blank-padded where the array ends early.
std::string fieldOf(std::string_view names, std::int64_t number) {
  std::string field(kWidth, ' ');
  if (number < 1) return field;
  // Compared before multiplying, so a huge item number cannot overflow the byte offset.
  const auto index = static_cast<std::uint64_t>(number - 1);
  if (index > names.size() / kWidth) return field;
  const std::size_t start = static_cast<std::size_t>(index) * kWidth;
  if (start >= names.size()) return field;
  const std::string_view present = names.substr(start, kWidth);
  field.replace(0, present.size(), present);
  return field;
}

}  // namespace

std::string NameOfItem(std::string_view names, int i) {
  const std::string field = fieldOf(names, itemNumber(i));
  return i < 0 ? TrimBlanks(field, 1) : field;
}

std::string LabelOfItem(std::string_view names, int i) {
  const std::int64_t number = itemNumber(i);
  std::string label = TrimBlanks(fieldOf(names, number), 1);
  if (!label.empty()) return label;
  std::string digits = std::to_string(number);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), ' ');
  return digits + '.';
}

bool StoreItemName(std::string& names, int i, std::string_view text) {
  if (i < 1) return false;
  const std::size_t index = static_cast<std::size_t>(i) - 1;
  if (index >= names.size() / kWidth) return false;
  names.replace(index * kWidth, kWidth, AlignText(text.substr(0, kWidth), kItemNameWidth, -1));
  return true;
}

}  // namespace veltrix
