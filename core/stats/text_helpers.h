// Plain text helpers on the program's short strings (at most 255 Windows-1252 bytes).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltrix {

// Longest text the program keeps in one string; results that would grow beyond it are cut.
inline constexpr int kMaxTextLength = 255;

// Windows-1252 upper case of one byte (a..z, the accented letters, š, œ, ž, ÿ; ß and µ stay).
char UpCaseChar(char c);
bool IsDigit(char c);
bool IsDigitOrPoint(char c);
// True for A..Z or Ä, Ö, Ü, ß after upper-casing.
bool IsLetter(char c);
std::string UpperText(std::string_view text);
// The inverse mapping of UpperText.
std::string LowerText(std::string_view text);
// Last byte of the text, '\0' for an empty text.
char LastChar(std::string_view text);
// True when the text holds only blanks, or is empty.
bool IsBlank(std::string_view text);
// mode < 1 removes leading c, mode >= 0 removes trailing c (-1 leading, 0 both, 1 trailing).
std::string StripChar(std::string_view text, char c, int mode);
std::string TrimBlanks(std::string_view text, int mode);
// The text without blanks at both ends, as a view into it (no copy, for paths that run per record).
std::string_view TrimmedView(std::string_view text);
// Blank-padded to exactly width (cut to kMaxTextLength); width <= 0 gives "".
std::string AlignText(std::string_view text, int width, int mode);
// Replaces left to right and continues after the inserted text; result cut to kMaxTextLength.
std::string ReplaceAll(std::string_view text, std::string_view oldText, std::string_view newText);
std::string DeleteAll(std::string_view text, std::string_view sub);
// 1-based position of the last occurrence of sub in text, 0 when absent.
int LastPos(std::string_view sub, std::string_view text);
// 1-based position of the first byte at or after from that differs from c; 0 when there is none.
int FirstOtherThan(char c, std::string_view text, int from);
void SplitList(std::string_view text, char separator, std::vector<std::string>& list);
std::string FieldOf(std::string_view text, int n, char separator);

struct CommaFields {
  std::vector<std::string> fields;
  int count = 0;
  int colonField = 0;
};
CommaFields SplitCommaFields(std::string_view text);

}  // namespace veltrix
