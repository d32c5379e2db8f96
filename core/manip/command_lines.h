// Command files of the manipulation language as lines: the physical lines of a file's text, and the
// logical lines the compiler reads (a line ending in " *" continues on the next one).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltrix {

// Longest logical line; what a continuation would add beyond it is dropped.
inline constexpr int kMaxCommandLine = 255;

// The text split at LF, a CR before an LF removed, a Ctrl-Z as the very last byte ignored. A text
// that ends with a line end has no empty line after it; an empty text has no line.
std::vector<std::string> SplitPhysicalLines(std::string_view text);

struct LogicalLine {
  std::string text;   // trailing blanks of each physical line removed, continuations joined
  int firstLine = 0;  // 0-based index of its first physical line
  int lastLine = 0;   // 0-based index of its last physical line
  // Where the part of each physical line firstLine + i begins in text (at most its length), so that
  // a place in the logical line can be traced back to the physical line it came from.
  std::vector<int> starts;
};

// The 0-based physical line that holds the character at offset of a logical line (its first line for
// an offset before the text, its last line for one behind it).
int PhysicalLineAt(const LogicalLine& line, int offset);

// Joins the physical lines: each loses its trailing blanks and is appended; when the text then ends
// with "*", the character before it is a blank and another line follows, the trailing asterisks and
// blanks are removed and the next line is appended too. The joined text keeps at most 255
// characters. The last line of the file keeps its asterisk.
std::vector<LogicalLine> SplitLogicalLines(const std::vector<std::string>& physicalLines);

}  // namespace veltrix
