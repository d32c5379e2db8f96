#include "core/base/win1252.h"

#include <gtest/gtest.h>

namespace veltrix {
namespace {

using namespace veltrix::literals;

TEST(Win1252, LiteralOperatorGivesWindows1252Bytes) {
  // Byte values from the Windows-1252 code chart.
  EXPECT_EQ("Größe"_w, std::string_view("Gr\xF6\xDF"
                                        "e"));
  EXPECT_EQ("Häufigkeitsverteilung"_w.size(), 21u);
  EXPECT_EQ("€ – „x“"_w, std::string_view("\x80 \x96 \x84x\x93"));
  EXPECT_EQ("³Ç»"_w, std::string_view("\xB3\xC7\xBB"));
  static_assert("ü"_w.size() == 1, "converted while compiling");
}

TEST(Win1252, RoundTripOfEveryDefinedByte) {
  std::string all;
  for (int b = 1; b < 256; ++b)
    if (win1252ToUnicode(static_cast<unsigned char>(b)) != 0xFFFD) all.push_back(static_cast<char>(b));
  EXPECT_EQ(all.size(), 250u);  // 255 minus the five undefined bytes 81 8D 8F 90 9D
  EXPECT_EQ(utf8ToWin1252(win1252ToUtf8(all)), all);
}

TEST(Win1252, FileNamesAreDecodedOnceAndControlCharactersAreMasked) {
  EXPECT_EQ(fileNameForDisplay("gr\xC3\xB6\xC3\x9F"
                               "e.dt1"),
            "größe.dt1"_w);
  EXPECT_EQ(fileNameForDisplay("a\nb\rc\x1B[2Jd\x7F.dt1"), "a?b?c?[2Jd?.dt1");
  EXPECT_EQ(fileNameForDisplay("alt\xF6.dt1"), "alt?.dt1");  // not UTF-8: a mark, never raw bytes
  EXPECT_EQ(fileNameForDisplay("\xE4\xB8\xAD.dt1"), "?.dt1");
}

TEST(Win1252, Utf8OutsideTheCodePageAndBrokenSequencesBecomeQuestionMarks) {
  struct Case {
    std::string utf8;
    std::string expected;
  };
  const Case cases[] = {
      {"\xE2\x82\xAC", "\x80"},   // euro sign
      {"\xE4\xB8\xAD", "?"},      // a CJK character
      {"\xF0\x9F\x98\x80", "?"},  // an emoji (four-byte sequence)
      {"a\xC3", "a?"},            // cut in the middle of a sequence
      {"\xC3(", "?("},            // bad continuation byte
      {"\xFF\xFE", "??"},         // bytes that never start a sequence
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(utf8ToWin1252(c.utf8), c.expected);
}

}  // namespace
}  // namespace veltrix
