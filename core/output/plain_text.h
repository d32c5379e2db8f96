// Marked table lines as plain text: a protocol file holds the same segments as the printed page, each
// character in one column of a fixed-width field.
#pragma once

#include <string>
#include <string_view>

namespace veltrix {

// The line laid into a field of exactly width characters (blanks where nothing stands). Segments
// follow the marks of the line renderer: a width prefix "@c" gives the segment code(c) - 48
// characters (to the end of the field when that is 0 or less) and moves the next segment on by as
// much; "{" and unmarked text are left-aligned, "»" too (one character per column), "Ç" is centred,
// "}" and "~" are right-aligned, and "|" and "³" fill their segment with "-". Text that does not fit
// is cut at the segment's edges as the drawn line clips it; blanks of a later segment do not erase
// what an earlier one wrote. width <= 0 gives "".
std::string PlainTextField(std::string_view line, int width);

}  // namespace veltrix
