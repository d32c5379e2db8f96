// Windows-1252 text: the one encoding the program stores and shows.
//
// Core strings are std::string of Windows-1252 bytes. Source files are UTF-8, so a literal with
// non-ASCII letters is written as "Häufigkeit"_w and converted while compiling; a literal that holds a
// character Windows-1252 lacks does not compile. At run time only the boundaries convert: the batch
// front end (UTF-8 terminal) and the Qt front end (its one QString helper builds on win1252ToUnicode).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrix {

namespace detail {

// Unicode code points of the bytes 0x80..0x9F; 0 marks the five bytes Windows-1252 leaves undefined.
inline constexpr char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                             0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                             0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                             0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Windows-1252 byte for a code point, or -1 when there is none.
constexpr int cp1252FromCodePoint(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] != 0 && kCp1252High[i] == cp) return 0x80 + i;
  return -1;
}

// One UTF-8 sequence at text[i]: its code point and length in bytes; valid is false for a malformed or
// cut-off sequence (length is then 1, so a reader can step over the bad byte).
struct Utf8Step {
  char32_t codePoint = 0;
  std::size_t length = 1;
  bool valid = false;
};

constexpr Utf8Step decodeUtf8(const char* text, std::size_t size, std::size_t i) {
  const auto b0 = static_cast<unsigned char>(text[i]);
  std::size_t extra = 0;
  char32_t cp = 0;
  if (b0 < 0x80) return {b0, 1, true};
  if ((b0 & 0xE0) == 0xC0) {
    cp = b0 & 0x1F;
    extra = 1;
  } else if ((b0 & 0xF0) == 0xE0) {
    cp = b0 & 0x0F;
    extra = 2;
  } else if ((b0 & 0xF8) == 0xF0) {
    cp = b0 & 0x07;
    extra = 3;
  } else {
    return {};
  }
  if (i + extra >= size) return {};
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) return {};
    cp = (cp << 6) | (b & 0x3F);
  }
  return {cp, extra + 1, true};
}

template <std::size_t N>
struct Utf8Literal {
  char text[N]{};
  consteval Utf8Literal(const char (&s)[N]) {  // NOLINT: implicit on purpose, literal operator template
    for (std::size_t i = 0; i < N; ++i) text[i] = s[i];
  }
};

template <std::size_t N>
struct Cp1252Buffer {
  char bytes[N]{};
  std::size_t length = 0;
};

template <std::size_t N>
consteval Cp1252Buffer<N> utf8LiteralToCp1252(const Utf8Literal<N>& lit) {
  Cp1252Buffer<N> out;
  std::size_t i = 0;
  const std::size_t end = N - 1;  // without the terminating NUL
  while (i < end) {
    const Utf8Step step = decodeUtf8(lit.text, end, i);
    if (!step.valid) throw "literal is not valid UTF-8";
    const int byte = cp1252FromCodePoint(step.codePoint);
    if (byte < 0) throw "literal holds a character outside Windows-1252";
    out.bytes[out.length++] = static_cast<char>(byte);
    i += step.length;
  }
  return out;
}

template <Utf8Literal L>
inline constexpr auto kCp1252Literal = utf8LiteralToCp1252(L);

}  // namespace detail

inline namespace literals {

// "Größe"_w: the Windows-1252 bytes of a UTF-8 source literal, as a view of static storage.
template <detail::Utf8Literal L>
constexpr std::string_view operator""_w() {
  return std::string_view(detail::kCp1252Literal<L>.bytes, detail::kCp1252Literal<L>.length);
}

}  // namespace literals

// Unicode code point of one Windows-1252 byte; the five undefined bytes map to U+FFFD.
constexpr char32_t win1252ToUnicode(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  const char16_t cp = detail::kCp1252High[byte - 0x80];
  return cp == 0 ? char32_t{0xFFFD} : char32_t{cp};
}

// Windows-1252 bytes as UTF-8 (for terminals and logs).
std::string win1252ToUtf8(std::string_view text);

// UTF-8 as Windows-1252; characters without a Windows-1252 byte, and malformed sequences, become '?'.
std::string utf8ToWin1252(std::string_view text);

// A file or directory name (file-system bytes, UTF-8 on Linux) as Windows-1252 text to show in a
// caption, a message, a heading or a protocol file: as utf8ToWin1252, and control characters (which a
// name may hold) become '?' too, so that no name can break a line or a terminal.
std::string fileNameForDisplay(std::string_view name);

}  // namespace veltrix
