// Class divisions: the class numbers a field value falls into, for the counting analyses.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/datafile/params.h"

namespace veltrix {

// Class numbers (1-based, ascending) in bytes 0..30, their count in byte 31.
using ClassList = std::array<std::uint8_t, 32>;

// The classes of one field: its text, the decimals count ParseNumber gave (-1 empty, -2 not a number)
// and the numeric value. A numeric division gives at most one class (none for an empty or non-numeric
// field); a text division gives every matching entry, the rest class c + 1 when nothing matched, and
// with ";"-entries the rest class as well for the list items that matched nothing.
ClassList AssignClasses(std::string_view fieldText, int decimals, double value,
                        const ClassDivisionRecord& division);

}  // namespace veltrix
