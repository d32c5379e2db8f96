#include "core/entry/entry_checks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;

// The bytes of one entry as the file layout gives them: position (16 bits, little-endian), type
// byte, kind, then 20 bytes of bounds or allowed texts, blank-padded.
std::string entryBytes(int position, int typeByte, char kind, const std::string& lower,
                       const std::string& upper) {
  std::string e;
  e += static_cast<char>(position & 0xFF);
  e += static_cast<char>((position >> 8) & 0xFF);
  e += static_cast<char>(typeByte);
  e += kind;
  std::string l = lower, u = upper;
  l.resize(10, ' ');
  u.resize(10, ' ');
  return e + l + u;
}
std::string allowedEntryBytes(int position, int typeByte, const std::string& allowed) {
  std::string a = allowed;
  a.resize(20, ' ');
  return entryBytes(position, typeByte, ' ', a.substr(0, 10), a.substr(10));
}

// A whole file: the announced count of 32-bit units, a 128-byte descriptor, the entries.
std::string fileBytes(int units, const std::string& entries) {
  std::string f;
  f += static_cast<char>(units & 0xFF);
  f += static_cast<char>((units >> 8) & 0xFF);
  f += std::string(128, 'D');
  return f + entries;
}

EntryChecks decoded(const std::string& bytes) {
  return EntryChecks::decode(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

VariableEntry numeric(int position, int length) {
  return VariableEntry{"N", position, length, static_cast<std::uint8_t>(length)};
}
VariableEntry text(int position, int length) {
  return VariableEntry{"T>", position, length, static_cast<std::uint8_t>(128 | length)};
}

EntryCheck check(char kind, std::string lower, std::string upper) {
  lower.resize(10, ' ');
  upper.resize(10, ' ');
  return EntryCheck{10, 9, kind, lower, upper, lower + upper};
}
EntryCheck allowedCheck(std::string allowed) {
  allowed.resize(20, ' ');
  return EntryCheck{10, 128 | 9, ' ', allowed.substr(0, 10), allowed.substr(10), allowed};
}

struct ValueCase {
  const char* what;
  VariableEntry variable;
  std::optional<EntryCheck> check;
  std::string value;
  std::string message;  // "" when the value passes
};

// Expected messages are the rule texts; the outcomes follow from the rules by hand: bounds compare
// as numbers, packed dates (year * 65536 + month * 256 + day) or seconds of the day.
TEST(EntryChecksTest, ValuesAreCheckedByTheirEntry) {
  const VariableEntry n = numeric(10, 9);
  const VariableEntry t = text(10, 9);
  const std::string notNumeric = "Eintrag nicht numerisch";
  const std::string noDate("Kein zulässiges Datum"_w);
  const std::string noTime("Keine zulässige Zeitangabe"_w);
  const std::string notAllowed("Unzulässige Eingabe\r(Zugelassen : "_w);
  const ValueCase cases[] = {
      {"empty is a missing value", n, check('G', "1", "5"), "", ""},
      {"empty text is a missing value", t, allowedCheck("M;W;"), "", ""},
      {"no entry: a number", n, std::nullopt, "1e3", ""},
      {"no entry: not a number", n, std::nullopt, "2x", notNumeric},
      {"no entry: a number of 10 characters is too long", n, std::nullopt, "1234567.89", notNumeric},
      {"no entry: 11 digits", n, std::nullopt, "99999999999", notNumeric},
      {"no entry: a byte outside ASCII", n, std::nullopt, "1\x81", notNumeric},
      {"no entry: text is not checked", t, std::nullopt, "\x81\x8d anything", ""},
      {"kind blank: decimals allowed", n, check(' ', "", ""), "12.5", ""},
      {"kind G: 12.5 is no whole number", n, check('G', "", ""), "12.5", "nicht ganzzahlig"},
      {"kind G: 12", n, check('G', "", ""), "12", ""},
      {"kind G: not numeric comes first", n, check('G', "", ""), "1.x", notNumeric},
      {"bounds: the lower bound itself", n, check(' ', "1", "100"), "1", ""},
      {"bounds: the upper bound itself", n, check(' ', "1", "100"), "100", ""},
      {"bounds: below", n, check(' ', "1", "100"), "0.5", "Eintrag < 1"},
      {"bounds: above", n, check(' ', "1", "100"), "100.01", "Eintrag > 100"},
      {"bounds: negative lower bound", n, check(' ', " -2.5", ""), "-3", "Eintrag < -2.5"},
      {"bounds: an unreadable lower bound is ignored", n, check(' ', "abc", "100"), "-5", ""},
      {"bounds: the readable upper bound still counts", n, check(' ', "abc", "100"), "200", "Eintrag > 100"},
      {"kind G with bounds", n, check('G', "10", "20"), "21", "Eintrag > 20"},
      {"unknown kind reads numbers", n, check('Q', "", ""), "x", notNumeric},
      {"kind A: inside", n, check('A', "01.01.2000", "31.12.2000"), "15.06.2000", ""},
      {"kind A: the lower bound itself", n, check('A', "01.01.2000", "31.12.2000"), "1.1.2000", ""},
      {"kind A: after the upper bound", n, check('A', "01.01.2000", "31.12.2000"), "05.05.2001",
       "Eintrag > 31.12.2000"},
      {"kind A: before the lower bound", n, check('A', "01.01.2000", "31.12.2000"), "31121999",
       "Eintrag < 01.01.2000"},
      {"kind A: no such day", n, check('A', "", ""), "30.02.2000", noDate},
      {"kind A: two-digit year", n, check('A', "", ""), "010285", noDate},
      {"kind A: a number is no date", n, check('A', "", ""), "12.5", noDate},
      {"kind A: an invalid bound is ignored", n, check('A', "31.02.2000", "2000"), "01.01.1850", ""},
      {"kind B: inside", n, check('B', "20000101", "20001231"), "20000615", ""},
      {"kind B: after the upper bound", n, check('B', "20000101", "20001231"), "20010505",
       "Eintrag > 20001231"},
      {"kind B: before the lower bound", n, check('B', "20000101", "20001231"), "19991231",
       "Eintrag < 20000101"},
      {"kind B: seven digits", n, check('B', "", ""), "2000061", noDate},
      {"kind B: day-first is no year-first date", n, check('B', "", ""), "15062000", noDate},
      {"kind B: dotted text", n, check('B', "", ""), "15.6.2000", noDate},
      {"kind Z: inside", n, check('Z', "08.00", "17.30"), "12.15", ""},
      {"kind Z: before", n, check('Z', "08.00", "17.30"), "07.59", "Eintrag < 08.00"},
      {"kind Z: one second after", n, check('Z', "08.00", "17.30"), "17.30.01", "Eintrag > 17.30"},
      {"kind Z: digit block", n, check('Z', "0800", "1730"), "0759", "Eintrag < 0800"},
      {"kind Z: 24.00 is a time", n, check('Z', "", ""), "24.00", ""},
      {"kind Z: 24.01 is none", n, check('Z', "", ""), "24.01", noTime},
      {"kind Z: 25 hours", n, check('Z', "", ""), "25.00", noTime},
      {"allowed: W", t, allowedCheck("M;W"), "W", ""},
      {"allowed: X", t, allowedCheck("M;W"), "X", notAllowed + "M;W)"},
      {"allowed: stored with the closing ;", t, allowedCheck("M;W;"), "M", ""},
      {"allowed: the message shows the list as stored", t, allowedCheck("M;W;"), "X", notAllowed + "M;W;)"},
      {"allowed: one allowed item is enough", t, allowedCheck("M;W"), "X;W", ""},
      {"allowed: no item allowed", t, allowedCheck("M;W"), "X;Y;", notAllowed + "M;W)"},
      {"allowed: items are whole, not parts", t, allowedCheck("MW;AB"), "W", notAllowed + "MW;AB)"},
      {"allowed: no part of two items", t, allowedCheck("M;W"), "M;W", ""},
      {"allowed: a ; alone has no item", t, allowedCheck("M;W"), ";", notAllowed + "M;W)"},
      {"allowed: case counts", t, allowedCheck("M;W"), "w", notAllowed + "M;W)"},
      {"allowed: a list of 20 characters", t, allowedCheck("AAAA;BBBB;CCCC;DDDD;"), "DDDD", ""},
      {"allowed: an empty list checks nothing", t, allowedCheck(""), "anything", ""},
      {"allowed: bounds of a text entry are its list", t, check(' ', "1", "2"), "1",
       notAllowed + "1         2)"},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.what);
    const EntryCheckOutcome outcome = CheckEntryValue(c.value, c.variable, c.check ? &*c.check : nullptr);
    EXPECT_EQ(outcome.passed, c.message.empty());
    EXPECT_EQ(outcome.message, c.message);
  }
}

TEST(EntryChecksTest, BoundsReadAsTheirKind) {
  struct Case {
    std::string text;
    char kind;
    std::optional<double> value;
    const char* source;
  };
  const Case cases[] = {
      {" 12.5 ", ' ', 12.5, "a number, blanks around"},
      {"1,5", 'G', 1.5, "the decimal comma of a number"},
      {"abc", ' ', std::nullopt, "no number"},
      {"", ' ', std::nullopt, "nothing"},
      {"31.12.2099", 'A', 137563167, "packed 2099 * 65536 + 12 * 256 + 31"},
      {"20991231", 'B', 137563167, "the same date year first"},
      {"31122099", 'B', std::nullopt, "day first is no year-first date"},
      {"29.02.1900", 'A', std::nullopt, "no such day"},
      {"17.30", 'Z', 63000, "17 * 3600 + 30 * 60"},
      {"24.00", 'Z', 86400, "the end of the day"},
      {"12.60", 'Z', std::nullopt, "60 minutes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " " + c.kind + " (" + c.source + ")");
    EXPECT_EQ(EntryBoundValue(c.text, c.kind), c.value);
  }
}

struct PrepareCase {
  const char* what;
  VariableEntry variable;
  std::string typed;
  std::string text;
  std::string tooLong;  // "" when it fits
};

TEST(EntryChecksTest, TypedTextIsPreparedAndTooLongTextRefused) {
  const PrepareCase cases[] = {
      {"blanks around removed", numeric(1, 4), "  12 ", "12", ""},
      {"decimal comma of a number", numeric(1, 4), "3,5", "3.5", ""},
      {"every comma", numeric(1, 9), "1,2,3", "1.2.3", ""},
      {"text keeps its comma", text(1, 5), "a,b", "a,b", ""},
      {"exactly the field length", numeric(1, 4), " 1234", "1234", ""},
      {"one more than the field", numeric(1, 4), "12345", "12345", "Eintrag zu lang (maximal 4 Zeichen)"},
      {"11 digits into 9", numeric(1, 9), "99999999999", "99999999999",
       "Eintrag zu lang (maximal 9 Zeichen)"},
      {"text field of 60", text(1, 60), std::string(61, 'x'), std::string(61, 'x'),
       "Eintrag zu lang (maximal 60 Zeichen)"},
      {"a line break inside becomes a blank", text(1, 9), "a\r\nb", "a  b", ""},
      {"an end mark inside becomes a blank", text(1, 9),
       "a\x1a"
       "b",
       "a b", ""},
      {"tabs around are removed", text(1, 9), "\tab\t", "ab", ""},
      {"bytes outside ASCII are kept", text(1, 9), "\xe4\x81", "\xe4\x81", ""},
  };
  for (const PrepareCase& c : cases) {
    SCOPED_TRACE(c.what);
    const PreparedValue prepared = PrepareFieldText(c.typed, c.variable);
    EXPECT_EQ(prepared.text, c.text);
    EXPECT_EQ(prepared.tooLongMessage.value_or(""), c.tooLong);
  }
}

TEST(EntryChecksTest, ValuesAreWrittenAlignedAndPadded) {
  RecordBuffer record;
  record.write(1, "XXXXXXXXXXXXXXXXXXXX");
  const VariableEntry n = numeric(3, 4);
  const VariableEntry t = text(9, 6);
  // 3,5 into a numeric field of length 4: the text 3.5 preceded by one blank.
  const PreparedValue prepared = PrepareFieldText("3,5", n);
  ASSERT_FALSE(prepared.tooLongMessage);
  WriteFieldValue(record, n, prepared.text);
  WriteFieldValue(record, t, "ab");
  EXPECT_EQ(record.field(1, 20), "XX 3.5XXab    XXXXXX");
  WriteFieldValue(record, n, "");
  WriteFieldValue(record, t, "abcdef");
  EXPECT_EQ(record.field(1, 20), "XX    XXabcdefXXXXXX");
  EXPECT_EQ(DisplayFieldValue(record, n), "");
  EXPECT_EQ(DisplayFieldValue(record, t), "abcdef");
}

TEST(EntryChecksTest, DisplayedValuesAreTrimmedAndShowAPoint) {
  RecordBuffer record;
  record.write(1, "  3,5 a,b  ");
  EXPECT_EQ(DisplayFieldValue(record, numeric(1, 5)), "3.5");
  EXPECT_EQ(DisplayFieldValue(record, text(6, 6)), "a,b");
  // A field at the end of the buffer is only as long as the buffer.
  record.write(7999, "12");
  EXPECT_EQ(DisplayFieldValue(record, numeric(7999, 9)), "12");
}

TEST(EntryChecksTest, EntriesAreDecodedFromTheLayout) {
  const std::string entries = entryBytes(10, 4, 'G', "1", "100") + allowedEntryBytes(300, 128 | 1, "M;W;") +
                              entryBytes(-2, 9, 'A', "01.01.2000", "31.12.2000");
  const EntryChecks checks = decoded(fileBytes(18, entries));
  ASSERT_EQ(checks.entries().size(), 3u);
  const EntryCheck& first = checks.entries()[0];
  EXPECT_EQ(first.position, 10);
  EXPECT_EQ(first.typeByte, 4);
  EXPECT_EQ(first.kind, 'G');
  EXPECT_EQ(first.lower, "1         ");
  EXPECT_EQ(first.upper, "100       ");
  EXPECT_EQ(checks.entries()[1].position, 300);
  EXPECT_EQ(checks.entries()[1].typeByte, 129);
  EXPECT_EQ(checks.entries()[1].allowed, "M;W;                ");
  EXPECT_EQ(checks.entries()[2].position, -2);
  EXPECT_EQ(checks.entries()[2].upper, "31.12.2000");
  EXPECT_EQ(checks.find(300, 129), &checks.entries()[1]);
  EXPECT_EQ(checks.find(300, 1), nullptr);
  EXPECT_EQ(checks.find(10, 5), nullptr);
  EXPECT_EQ(checks.find(11, 4), nullptr);
}

TEST(EntryChecksTest, ZeroBytesOfAnEntryReadAsBlanks) {
  std::string e = entryBytes(1, 3, ' ', "5", "9");
  e.replace(5, 9, 9, '\0');
  e.replace(15, 9, 9, '\0');
  const EntryChecks checks = decoded(fileBytes(6, e));
  ASSERT_EQ(checks.entries().size(), 1u);
  EXPECT_EQ(checks.entries()[0].lower, "5         ");
  const EntryCheckOutcome outcome = CheckEntryValue("10", numeric(1, 3), checks.find(1, 3));
  EXPECT_EQ(outcome.message, "Eintrag > 9");
}

struct MalformedCase {
  const char* what;
  std::string bytes;
  std::size_t entries;
};

TEST(EntryChecksTest, MalformedFilesGiveOnlyTheWholeEntriesPresent) {
  std::string three;
  for (int i = 0; i < 3; ++i) three += entryBytes(1 + i, 1, ' ', "", "");
  std::string many;
  for (int i = 0; i < 1368; ++i) many += entryBytes(1 + i, 1, ' ', "", "");
  const MalformedCase cases[] = {
      {"empty file", "", 0},
      {"shorter than the head", fileBytes(6, "").substr(0, 129), 0},
      {"head only", fileBytes(6, ""), 0},
      {"count not a multiple of 6", fileBytes(13, three), 2},
      {"count beyond the data", fileBytes(18, three.substr(0, 60)), 2},
      {"data cut inside a unit", fileBytes(18, three.substr(0, 47)), 1},
      {"negative count", fileBytes(0xFFFA, three), 0},
      {"count 0 with data", fileBytes(0, three), 0},
      // 8200 units are 1366 whole entries (8196 units) and 4 units of a 1367th.
      {"count over 8200", fileBytes(1368 * 6, many), 1366},
      {"bytes after the counted entries", fileBytes(12, three), 2},
  };
  for (const MalformedCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(decoded(c.bytes).entries().size(), c.entries);
  }
}

TEST(EntryChecksTest, EntriesOfAnUnsortedFileAreAllFound) {
  // Positions descending: a search that relies on the order misses most of them.
  std::string entries;
  for (int i = 0; i < 100; ++i) entries += entryBytes(1000 - 7 * i, 1 + i % 9, 'G', "", std::to_string(i));
  const EntryChecks checks = decoded(fileBytes(600, entries));
  ASSERT_EQ(checks.entries().size(), 100u);
  for (int i = 0; i < 100; ++i) {
    SCOPED_TRACE(i);
    const EntryCheck* found = checks.find(1000 - 7 * i, static_cast<std::uint8_t>(1 + i % 9));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->upper.substr(0, std::to_string(i).size()), std::to_string(i));
  }
  EXPECT_EQ(checks.find(999, 1), nullptr);
}

class EntryCheckFileTest : public test::TempDirTest {
 protected:
  EntryCheckFileTest() : TempDirTest("veltrix-entry-checks") {}
};

TEST_F(EntryCheckFileTest, TheFileBesideTheStatisticsFileIsRead) {
  test::RecordingUi ui;
  const std::string statistics = path("studie.dt1");
  EXPECT_EQ(EntryCheckFileName(statistics), path("studie.INC"));
  EXPECT_TRUE(EntryChecks::read(ui, statistics).entries().empty());

  writeBytes(path("studie.inc"),
             fileBytes(12, entryBytes(5, 2, 'G', "1", "12") + allowedEntryBytes(7, 129, "M;W")));
  EXPECT_EQ(EntryCheckFileName(statistics), path("studie.inc"));
  const EntryChecks checks = EntryChecks::read(ui, statistics);
  ASSERT_EQ(checks.entries().size(), 2u);
  EXPECT_EQ(CheckEntryValue("13", numeric(5, 2), checks.find(5, 2)).message, "Eintrag > 12");
  EXPECT_EQ(checks.entries()[1].allowed.substr(0, 4), "M;W ");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.unexpected, 0);

  // A file cut short reads as far as it holds whole entries.
  writeBytes(path("studie.inc"), fileBytes(12, entryBytes(5, 2, 'G', "1", "12")).substr(0, 130 + 30));
  EXPECT_EQ(EntryChecks::read(ui, statistics).entries().size(), 1u);
}

}  // namespace
}  // namespace veltrix
