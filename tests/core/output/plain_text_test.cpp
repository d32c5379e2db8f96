#include "core/output/plain_text.h"

#include <gtest/gtest.h>

#include <string>

#include "core/base/win1252.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;

// Each expectation is laid out by hand, column by column.
TEST(PlainTextField, LaysSegmentsIntoTheField) {
  struct Case {
    std::string line;
    int width;
    std::string expected;
  };
  const Case cases[] = {
      {"abc", 6, "abc   "},                       // unmarked: left-aligned
      {"~abc", 6, "   abc"},                      // right-aligned
      {"}2abc", 6, "   abc"},                     // alignment point: right-aligned
      {"{3ab", 6, "ab    "},                      // left field
      {std::string("\xC7") + "ab", 6, "  ab  "},  // centred: (6 - 2) / 2 blanks before
      {std::string("\xC7") + "ab", 5, " ab  "},   // centred, odd room: the extra blank after
      {"|", 4, "----"},                           // rule fills the segment
      {"@3|@3~7", 6, "---  7"},                   // a rule limited by a width prefix
      {"@3abcdef@3x", 6, "abcx  "},               // text cut at the segment end
      {"@3~abcde", 6, "cde   "},                  // right-aligned text loses its start
      {"Titel~Seite 1", 14, "Titel  Seite 1"},    // two segments on the same line
      {"@0abc", 4, "abc "},                       // width 0: to the end of the field
      {"@5~1@9" + std::string("Größe"_w) + "~Zahl", 20, "    1" + std::string("Größe"_w) + "      Zahl"},
      {"abcdefgh", 5, "abcde"},  // never wider than the field
      {"abc", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(PlainTextField(c.line, c.width), c.expected);
  }
}

}  // namespace
}  // namespace veltrix
