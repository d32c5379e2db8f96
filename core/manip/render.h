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
//
// Every program the compiler makes renders to lines that compile to it again, except where a line
// passes 255 characters, a text parameter ends in a blank and an asterisk (in a command file that
// continues the line), or a field has no name and no FA.FL that finds it (a variable named like
// another field's FA.FL). Bytes the compiler never makes may come back different or not at all:
// text parameters with a comma (other than as the whole parameter, or as the replacement after a
// one-character search text), a "[", blanks at their ends or more than 10 characters; a comma as the
// RMV/APP character; negative constants; a sign byte other than 1 and 2 (read as plus); decimals
// above 9 other than 10; references outside V1..Vk and the compiled intermediates, intermediates
// used twice, ahead or never, variables the formula does not use in order; unknown codes, functions
// and operators (written as "?").
std::vector<std::string> RenderProgram(const CommandProgram& program, const TParams& params);

// One compiled statement as its line.
std::string RenderStatement(const std::uint8_t* statement, int length, const TParams& params);

}  // namespace veltrix
