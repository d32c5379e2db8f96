// A compiled program back to text: one statement per line, canonical, such that compiling the text
// gives the same bytes again (unless a rendered line passes the 255 characters of a logical line).
#pragma once

#include <string>
#include <vector>

#include "core/manip/compiler.h"

namespace veltrix {

class TParams;

// A variable is written as its name when find variable by name gives back the same field, else as
// FA.FL (FA.FL> for text); the auxiliary stores as *H1..*H8. Every intermediate gets one pair of
// parentheses; a constant is the shortest text of digits and a point that reads back to the same six
// bytes. Any bytes are accepted: a malformed program renders as far as it is readable.
std::vector<std::string> RenderProgram(const CommandProgram& program, const TParams& params);

// One compiled statement as its line.
std::string RenderStatement(const std::uint8_t* statement, int length, const TParams& params);

}  // namespace veltrix
