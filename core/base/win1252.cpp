#include "core/base/win1252.h"

namespace veltrix {

std::string win1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (const char c : text) {
    const char32_t cp = win1252ToUnicode(static_cast<unsigned char>(c));
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::string utf8ToWin1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const detail::Utf8Step step = detail::decodeUtf8(text.data(), text.size(), i);
    const int byte = step.valid ? detail::cp1252FromCodePoint(step.codePoint) : -1;
    out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    i += step.length;
  }
  return out;
}

std::string fileNameForDisplay(std::string_view name) {
  std::string out = utf8ToWin1252(name);
  for (char& c : out) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = '?';
  }
  return out;
}

}  // namespace veltrix
