#include "core/stats/text_helpers.h"

#include <algorithm>
#include <cstddef>

namespace veltrix {

namespace {

constexpr std::size_t kMaxLength = static_cast<std::size_t>(kMaxTextLength);
// Search and replacement texts are short patterns; longer ones are cut to this length.
constexpr std::size_t kMaxPatternLength = 40;
constexpr std::size_t kMaxCommaFields = 50;
constexpr int kCommaFieldWidth = 10;

unsigned char byteOf(char c) {
  return static_cast<unsigned char>(c);
}

std::string cutToMax(std::string text) {
  if (text.size() > kMaxLength) text.resize(kMaxLength);
  return text;
}

}  // namespace

char UpCaseChar(char c) {
  const unsigned char b = byteOf(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 0x20);
  // 0xE0..0xFE mirror 0xC0..0xDE, except the division sign 0xF7 (0xD7 is the multiplication sign).
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 0x20);
  switch (b) {
    case 0x9A:
      return static_cast<char>(0x8A);  // s with caron
    case 0x9C:
      return static_cast<char>(0x8C);  // ligature oe
    case 0x9E:
      return static_cast<char>(0x8E);  // z with caron
    case 0xFF:
      return static_cast<char>(0x9F);  // y with diaeresis
    default:
      return c;  // sharp s and micro sign have no upper case byte
  }
}

namespace {

char lowCaseChar(char c) {
  const unsigned char b = byteOf(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 0x20);
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 0x20);
  switch (b) {
    case 0x8A:
      return static_cast<char>(0x9A);
    case 0x8C:
      return static_cast<char>(0x9C);
    case 0x8E:
      return static_cast<char>(0x9E);
    case 0x9F:
      return static_cast<char>(0xFF);
    default:
      return c;
  }
}

}  // namespace

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsDigitOrPoint(char c) {
  return IsDigit(c) || c == '.';
}

bool IsLetter(char c) {
  const unsigned char b = byteOf(UpCaseChar(c));
  return (b >= 'A' && b <= 'Z') || b == 0xC4 || b == 0xD6 || b == 0xDC || b == 0xDF;
}

std::string UpperText(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = UpCaseChar(c);
  return result;
}

std::string LowerText(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = lowCaseChar(c);
  return result;
}

char LastChar(std::string_view text) {
  return text.empty() ? '\0' : text.back();
}

bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

std::string StripChar(std::string_view text, char c, int mode) {
  if (mode < 1) {
    const std::size_t first = text.find_first_not_of(c);
    text.remove_prefix(first == std::string_view::npos ? text.size() : first);
  }
  if (mode >= 0) {
    const std::size_t last = text.find_last_not_of(c);
    text = text.substr(0, last == std::string_view::npos ? 0 : last + 1);
  }
  return std::string(text);
}

std::string TrimBlanks(std::string_view text, int mode) {
  return StripChar(text, ' ', mode);
}

std::string AlignText(std::string_view text, int width, int mode) {
  if (width <= 0) return {};
  const std::size_t w = std::min(static_cast<std::size_t>(width), kMaxLength);
  std::string body = mode >= 0 ? TrimBlanks(text, mode) : std::string(text);
  if (body.size() > w) {
    // Aligned texts keep their end (the digits of a number), left-aligned ones their start.
    body = mode >= 0 ? body.substr(body.size() - w) : body.substr(0, w);
  }
  const std::size_t free = w - body.size();
  std::size_t left = 0;
  if (mode > 0) {
    left = free;
  } else if (mode == 0) {
    left = free / 2;
  }
  return std::string(left, ' ') + body + std::string(free - left, ' ');
}

std::string ReplaceAll(std::string_view text, std::string_view oldText, std::string_view newText) {
  oldText = oldText.substr(0, std::min(oldText.size(), kMaxPatternLength));
  newText = newText.substr(0, std::min(newText.size(), kMaxPatternLength));
  if (oldText.empty() || oldText == newText) return cutToMax(std::string(text));
  std::string result;
  std::size_t pos = 0;
  // Scanning continues behind each inserted text, so a replacement that contains the old text is
  // never replaced again and the loop ends after one pass.
  while (pos < text.size() && result.size() <= kMaxLength) {
    const std::size_t hit = text.find(oldText, pos);
    if (hit == std::string_view::npos) {
      result.append(text.substr(pos));
      break;
    }
    result.append(text.substr(pos, hit - pos));
    result.append(newText);
    pos = hit + oldText.size();
  }
  return cutToMax(std::move(result));
}

std::string DeleteAll(std::string_view text, std::string_view sub) {
  std::string result(text);
  if (sub.empty()) return result;
  // Deleting can join two pieces into a new occurrence ("aabb" without "ab" is ""); such an
  // occurrence starts at most sub.size() - 1 bytes before the joint, so the search resumes there.
  std::size_t from = 0;
  for (;;) {
    const std::size_t hit = result.find(sub, from);
    if (hit == std::string::npos) break;
    result.erase(hit, sub.size());
    from = hit >= sub.size() - 1 ? hit - (sub.size() - 1) : 0;
  }
  return result;
}

int LastPos(std::string_view sub, std::string_view text) {
  if (sub.empty()) return 0;
  const std::size_t hit = text.rfind(sub);
  return hit == std::string_view::npos ? 0 : static_cast<int>(hit) + 1;
}

int FirstOtherThan(char c, std::string_view text, int from) {
  const std::size_t start = from < 1 ? 0 : static_cast<std::size_t>(from) - 1;
  if (start >= text.size()) return 0;
  const std::size_t hit = text.find_first_not_of(c, start);
  return hit == std::string_view::npos ? 0 : static_cast<int>(hit) + 1;
}

void SplitList(std::string_view text, char separator, std::vector<std::string>& list) {
  list.clear();
  for (;;) {
    const std::size_t cut = text.find(separator);
    list.push_back(TrimBlanks(text.substr(0, cut), 0));
    if (cut == std::string_view::npos) break;
    text.remove_prefix(cut + 1);
  }
}

std::string FieldOf(std::string_view text, int n, char separator) {
  if (n < 1) return {};
  for (int part = 1;; ++part) {
    const std::size_t cut = text.find(separator);
    if (part == n) return std::string(text.substr(0, cut));
    if (cut == std::string_view::npos) return {};
    text.remove_prefix(cut + 1);
  }
}

CommaFields SplitCommaFields(std::string_view text) {
  std::string work = TrimBlanks(text, -1);
  if (LastChar(work) != ',') work.push_back(',');
  const std::size_t colon = work.find(':');
  if (colon != std::string::npos) work[colon] = ',';

  CommaFields result;
  std::size_t start = 0;
  // Every comma ends one field, so the appended comma ends the last one and no empty field follows.
  while (result.fields.size() < kMaxCommaFields) {
    const std::size_t cut = work.find(',', start);
    if (cut == std::string::npos) break;
    result.fields.push_back(
        AlignText(TrimBlanks(std::string_view(work).substr(start, cut - start), 0), kCommaFieldWidth, -1));
    if (cut == colon) result.colonField = static_cast<int>(result.fields.size());
    start = cut + 1;
  }
  result.count = static_cast<int>(result.fields.size());
  return result;
}

std::string_view TrimmedView(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return text.substr(begin, end - begin);
}

}  // namespace veltrix
