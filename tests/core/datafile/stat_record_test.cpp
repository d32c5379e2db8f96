#include "core/datafile/stat_record.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/datafile/file_objects.h"
#include "tests/support/reader_records.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using Lines = std::vector<std::string>;

// A record given as (position, text) pieces on an otherwise blank record.
using Pieces = std::vector<std::pair<int, std::string>>;

std::string recordOf(const Pieces& pieces) {
  std::string record(kRecordLength, ' ');
  for (const auto& [position, text] : pieces)
    record.replace(static_cast<std::size_t>(position - 1), text.size(), text);
  return record;
}

std::string line(int k, std::string_view text) {
  return std::string(1, static_cast<char>(48 + k)) + std::string(text);
}

std::vector<std::string> readAll(std::string_view text) {
  return test::ReaderRecords(text);
}

TEST(StatRecordTest, EncodeWritesNumberedLinesWithoutTrailingBlanks) {
  struct Case {
    const char* what;
    Pieces pieces;
    Lines lines;
  };
  const Case cases[] = {
      // Worked example of the file format: position 100 is the 21st character of line 2 (80..158).
      {"data only at position 100", {{100, "X"}}, {"1", "2" + std::string(20, ' ') + "X"}},
      {"blank record is the single line 1", {}, {"1"}},
      {"inner blanks stay, trailing blanks go", {{1, "A  B   "}}, {"1A  B"}},
      // Line 99 holds 7743..7821; its number character has code 48 + 99 = 147.
      {"first and last position",
       {{1, "F"}, {7821, "L"}},
       {"1F", std::string(1, '\x93') + std::string(78, ' ') + "L"}},
      {"line 10 is numbered ':'", {{712, "Z"}}, {"1", ":" + std::string("Z")}},
      {"a full line keeps all 79 characters",
       {{80, std::string(79, 'y')}},
       {"1", "2" + std::string(79, 'y')}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string record = recordOf(c.pieces);
    EXPECT_EQ(EncodeRecord(record), c.lines);

    // Reading the lines back restores the record.
    std::string text;
    for (const std::string& l : c.lines) text += l + "\r\n";
    const std::vector<std::string> back = readAll(text);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0], record);
  }
}

TEST(StatRecordTest, EncodeTreatsShortRecordsAsBlankPaddedAndIgnoresTheAreaBehindTheRecord) {
  EXPECT_EQ(EncodeRecord(std::string_view("AB")), (Lines{"1AB"}));
  RecordBuffer buffer;
  buffer.setRecordNumber(12);            // 7975..7980: not part of the record
  buffer.write(kRecordLength + 1, "H");  // an auxiliary store behind the record
  EXPECT_EQ(EncodeRecord(buffer), (Lines{"1"}));
}

TEST(StatRecordTest, ReaderSplitsRecordsAndClampsLineNumbers) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<Pieces> records;
  };
  const std::string seventyNine(79, 'a');
  const Case cases[] = {
      {"1, 3, 2 are the records (1, 3) and (2)", "1A\r\n3C\r\n2B\r\n", {{{1, "A"}, {159, "C"}}, {{80, "B"}}}},
      {"two lines numbered 1 are two records", "1A\n1B\n", {{{1, "A"}}, {{1, "B"}}}},
      {"empty lines are skipped", "1A\n\n\r\n\n2B", {{{1, "A"}, {80, "B"}}}},
      {"a number character below 1 counts as line 1", "0X\n", {{{1, "X"}}}},
      {"NUL as number character counts as line 1", std::string("\0X", 2), {{{1, "X"}}}},
      {"0 after 1 starts a new record", "1A\n0B\n", {{{1, "A"}}, {{1, "B"}}}},
      {"code 148 counts as line 99", "1A\n\x94Y\n", {{{1, "A"}, {7743, "Y"}}}},
      {"code 255 counts as line 99, then line 99 again starts a record",
       "\xFFY\n\x93Z\n",
       {{{7743, "Y"}}, {{7743, "Z"}}}},
      {"a line is cut to 79 characters",
       "1" + seventyNine + "OVERFLOW\n2B\n",
       {{{1, seventyNine}, {80, "B"}}}},
      {"a text without any line end is one line",
       "1" + std::string(10000, 'q'),
       {{{1, std::string(79, 'q')}}}},
      {"NUL bytes inside a line are data", std::string("1A\0B\n", 5), {{{1, std::string("A\0B", 3)}}}},
      {"a Ctrl-Z as last byte is the end-of-file mark", "1A\r\n\x1a", {{{1, "A"}}}},
      {"only empty lines hold no record", "\r\n\n\r\n", {}},
      {"nothing at all holds no record", "", {}},
      {"a lone number character is a blank line of the record", "1\n2\n", {{}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<std::string> records = readAll(c.text);
    ASSERT_EQ(records.size(), c.records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
      EXPECT_EQ(records[i], recordOf(c.records[i])) << "record " << i + 1;
  }
}

TEST(StatRecordTest, ReaderBlanksWhatThePreviousRecordLeftAndNumbersTheRecords) {
  const std::string text = line(1, "ONE") + "\n" + line(2, "TWO") + "\n" + line(3, "THREE") + "\n" +
                           line(1, "X") + "\n" + line(5, "FIVE") + "\n" + line(1, "Y") + "\n";
  TextLineSource source(text);
  RecordReader reader(source);
  RecordBuffer buffer;

  ASSERT_TRUE(reader.next(buffer));
  EXPECT_EQ(buffer.record(), recordOf({{1, "ONE"}, {80, "TWO"}, {159, "THREE"}}));
  EXPECT_EQ(buffer.field(kRecordNumberPosition, kRecordNumberLength), "     1");

  ASSERT_TRUE(reader.next(buffer));
  // Lines 2 and 3 of the first record are blank again.
  EXPECT_EQ(buffer.record(), recordOf({{1, "X"}, {317, "FIVE"}}));
  EXPECT_EQ(buffer.field(kRecordNumberPosition, kRecordNumberLength), "     2");

  // Whatever a caller wrote into the buffer is gone with the next record too: through write() ...
  buffer.write(4000, "STALE");
  buffer.write(7822, "AUX");
  // ... and through raw access.
  buffer.mutableData()[6000] = '#';
  ASSERT_TRUE(reader.next(buffer));
  EXPECT_EQ(buffer.record(), recordOf({{1, "Y"}}));
  EXPECT_EQ(buffer.text().substr(kRecordLength, kRecordNumberPosition - 1 - kRecordLength),
            std::string(kRecordNumberPosition - 1 - kRecordLength, ' '));
  EXPECT_EQ(buffer.field(kRecordNumberPosition, 10), "     3" + std::string(4, ' '));

  EXPECT_FALSE(reader.next(buffer));
  EXPECT_EQ(reader.recordCount(), 3);
  EXPECT_EQ(buffer.record(), recordOf({{1, "Y"}}));  // unchanged at the end
}

TEST(StatRecordTest, RecordNumberIsRightAlignedInSixCharacters) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {1, "     1"}, {42, "    42"}, {999999, "999999"}, {1000000, "999999"}, {-5, "     0"}};
  RecordBuffer buffer;
  for (const auto& [number, expected] : cases) {
    SCOPED_TRACE(number);
    buffer.setRecordNumber(number);
    EXPECT_EQ(buffer.field(kRecordNumberPosition, kRecordNumberLength), expected);
  }
  buffer.clear();
  EXPECT_EQ(buffer.text(), std::string(kBufferLength, ' '));
}

TEST(StatRecordTest, FieldValueReadsNumbersTextsAndTheRecordNumber) {
  RecordBuffer buffer;
  buffer.write(1, "  12,5 ");
  buffer.write(10, "abc");
  buffer.write(20, " Meier ");
  buffer.write(7998, "123");
  buffer.setRecordNumber(17);
  struct Case {
    const char* what;
    int position;
    int typeByte;
    const char* text;
    double value;
    int status;
  };
  const Case cases[] = {
      {"number with decimal comma", 1, 7, "12,5", 12.5, 1},
      {"blank numeric field", 40, 5, "", 0, -1},
      {"text in a numeric field", 10, 3, "abc", 0, -2},
      {"text field trimmed", 20, 128 + 7, "Meier", 0, -2},
      {"blank text field", 40, 128 + 5, "", 0, -1},
      {"*DSNR reads the record number", kRecordNumberPosition, kRecordNumberLength, "17", 17, 0},
      {"field reaching past the buffer is cut", 7998, 9, "123", 123, 0},
      {"field starting before the buffer is cut to 1..3", -5, 9, "1", 1, 0},
      {"position far outside", INT_MAX, 127, "", 0, -1},
      {"negative position far outside", INT_MIN, 127, "", 0, -1},
      {"length 0", 1, 0, "", 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const FieldValueResult result = FieldValue(buffer, c.position, c.typeByte);
    EXPECT_EQ(result.text, c.text);
    EXPECT_EQ(result.value, c.value);
    EXPECT_EQ(result.status, c.status);
  }
}

TEST(StatRecordTest, BufferWritesAndFieldsStayInsideTheBuffer) {
  RecordBuffer buffer;
  buffer.write(-2, "abcdef");     // "def" lands at 1..3
  buffer.write(7999, "XYZ");      // only "XY" fits
  buffer.write(INT_MAX, "lost");  // nothing fits
  buffer.write(INT_MIN, "lost");
  EXPECT_EQ(buffer.field(1, 4), "def ");
  EXPECT_EQ(buffer.field(7998, 10), " XY");
  EXPECT_EQ(buffer.field(INT_MAX, INT_MAX), "");
  EXPECT_EQ(buffer.at(0), ' ');
  EXPECT_EQ(buffer.at(8000), 'Y');
  EXPECT_EQ(buffer.at(8001), ' ');
  buffer.clear();
  EXPECT_EQ(buffer.text(), std::string(kBufferLength, ' '));
}

class StatRecordFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir =
        std::filesystem::path(::testing::TempDir()) / (std::string("veltrix_stat_record_") + info->name());
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }
  std::filesystem::path m_dir;
};

TEST_F(StatRecordFileTest, RecordsWrittenToAFileReadBackThroughTheTextReader) {
  const std::string name = (m_dir / "studie.dt1").string();
  const std::string first = recordOf({{1, "12 Meier"}, {100, "X"}});
  const std::string second = recordOf({});
  test::ScriptedUi ui;
  {
    TTxtWFile out(ui);
    ASSERT_TRUE(out.open(name));
    EXPECT_TRUE(WriteRecord(out, first));
    EXPECT_TRUE(WriteRecord(out, second));
    out.close();
  }
  std::ifstream in(name, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, "112 Meier\r\n2" + std::string(20, ' ') + "X\r\n1\r\n");

  TTxtRFile file(ui);
  ASSERT_TRUE(file.open(name));
  TextFileLineSource source(file);
  RecordReader reader(source);
  RecordBuffer buffer;
  ASSERT_TRUE(reader.next(buffer));
  EXPECT_EQ(buffer.record(), first);
  ASSERT_TRUE(reader.next(buffer));
  EXPECT_EQ(buffer.record(), second);
  EXPECT_FALSE(reader.next(buffer));
}

// appendLines must give exactly the lines EncodeRecord gives, whatever was written where and whether
// the buffer came from the reader, from writes or from raw access.
TEST(StatRecordTest, AppendLinesMatchesTheEncodedLinesForAnyContent) {
  const auto joined = [](const RecordBuffer& buffer) {
    std::string text;
    for (const std::string& line : EncodeRecord(buffer)) text += line + "\r\n";
    return text;
  };
  std::uint32_t seed = 12345;
  const auto next = [&seed] {
    seed = seed * 1103515245U + 12345U;
    return (seed >> 8) & 0xFFFFU;
  };
  RecordBuffer buffer;
  for (int round = 0; round < 300; ++round) {
    if (round % 7 == 0) buffer.clear();
    const int writes = static_cast<int>(next() % 6);
    for (int w = 0; w < writes; ++w) {
      const int position = 1 + static_cast<int>(next() % 8000);
      std::string text(1 + next() % 90, ' ');
      for (char& c : text) c = (next() % 3 == 0) ? ' ' : static_cast<char>('A' + next() % 26);
      buffer.write(position, text);
    }
    if (round % 50 == 49) buffer.mutableData()[79 * 40 + 3] = 'Q';  // raw access: line 41
    std::string appended = "prefix";
    buffer.appendLines(appended);
    ASSERT_EQ(appended, "prefix" + joined(buffer)) << "round " << round;
  }
  // A record read from lines: the reader marks exactly the lines it filled.
  TextLineSource source("1abc\n3   x   \n5\n1next\n");
  RecordReader reader(source);
  ASSERT_TRUE(reader.next(buffer));
  std::string appended;
  buffer.appendLines(appended);
  EXPECT_EQ(appended, "1abc\r\n3   x\r\n");  // line 5 is blank and left out; line 1 always stays
  EXPECT_EQ(appended, joined(buffer));
}

}  // namespace
}  // namespace veltrix
