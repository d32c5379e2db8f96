// Names of numbered items (groups, categories) kept in a name array: consecutive 10-character
// fields of Windows-1252 bytes without a length prefix, item 1 first, blank-padded on the right.
#pragma once

#include <string>
#include <string_view>

namespace veltrix {

inline constexpr int kItemNameWidth = 10;

// Field abs(i) of the name array, 10 characters; for i < 0 with trailing blanks removed. A field
// that lies outside the array (i = 0 or past its end) reads as blanks; a field cut short by the end
// of the array is blank-padded.
std::string NameOfItem(std::string_view names, int i);

// Field abs(i) without trailing blanks; an empty field gives the item number right-aligned in 3
// characters and a point ("  5." for item 5; numbers of four digits and more take their full width).
std::string LabelOfItem(std::string_view names, int i);

// Stores text, cut to 10 characters and blank-padded, as field i of the array. The array keeps its
// size: a field that does not lie wholly inside it (i < 1 or past the end) is refused and false is
// returned with the array unchanged.
bool StoreItemName(std::string& names, int i, std::string_view text);

}  // namespace veltrix
