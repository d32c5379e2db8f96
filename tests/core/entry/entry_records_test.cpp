#include "core/entry/entry_records.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "core/datafile/stat_record.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/reader_records.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

using namespace std::string_literals;
using test::RecordingUi;

static_assert(std::is_same_v<decltype(std::declval<EntryRecordFile>().current()), std::int64_t>);
static_assert(std::is_same_v<decltype(std::declval<EntryRecordFile>().lastRecord()), std::int64_t>);

class EntryRecordsTest : public test::TempDirTest {
 protected:
  EntryRecordsTest() : TempDirTest("veltrix-entry-records") {}
  RecordingUi ui;
};

// A record given as its physical lines (without line ends); the file holds them with CR LF.
using Lines = std::vector<std::string>;

std::string FileOf(const std::vector<Lines>& records) {
  std::string bytes;
  for (const Lines& record : records)
    for (const std::string& line : record) bytes += line + "\r\n";
  return bytes + "\x1a";
}

// The record buffer of a record written by hand: line k's characters at (k - 1) * 79 + 1.
std::string RecordOf(const Lines& lines) {
  std::string record(kRecordLength, ' ');
  for (const std::string& line : lines) {
    const int k = line[0] - '0';
    record.replace(static_cast<std::size_t>(k - 1) * 79, line.size() - 1, line.substr(1));
  }
  return record;
}

std::string TextOf(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

using test::ReaderRecords;

// Any bytes: forward and backward the records are those of the record reader.
TEST_F(EntryRecordsTest, SeesTheRecordsOfTheRecordReaderBothWays) {
  const std::vector<std::string> files = {
      "",
      "\x1a",
      "1a\r\n2b\r\n1c\r\n",
      "1a\r\n3b\r\n2c\r\n2d\r\n5e",
      "\n\n1a\n\n2b\n\n\n1c\n\n",
      "3x\r\n1y\r\n9z\r\n\x1a",
      "1\0a\x1a"
      "b\r\n2\r\r\n1\r\n"s,
      "1" + std::string(100000, 'q') + "\n2short\n1" + std::string(300, 'w'),
      "abc\ndef\n",  // number characters above "9"
      " a\n\tb\n",   // and below "1"
      std::string(5000, '\n'),
  };
  for (const std::string& bytes : files) {
    for (const std::int64_t windowBlocks : {std::int64_t{512}, std::int64_t{1}}) {
      SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 60)));
      const std::string name = path("any.dt1");
      writeBytes(name, bytes);
      const std::vector<std::string> expected = ReaderRecords(bytes);
      const auto count = static_cast<std::int64_t>(expected.size());

      EntryRecordFile file(ui);
      file.setBufferSizes(windowBlocks, 1000);
      ASSERT_TRUE(file.open(name));
      RecordBuffer buffer;
      for (std::int64_t n = 1; n <= count; ++n) {
        ASSERT_EQ(file.goTo(n, buffer), n);
        EXPECT_FALSE(file.isNewRecord());
        EXPECT_EQ(buffer.record(), expected[static_cast<std::size_t>(n - 1)]) << n;
      }
      ASSERT_EQ(file.goTo(count + 1, buffer), count + 1);
      EXPECT_TRUE(file.isNewRecord());
      EXPECT_EQ(buffer.record(), std::string(kRecordLength, ' '));
      EXPECT_EQ(file.lastRecord(), count);
      for (std::int64_t n = count; n >= 1; --n) {
        ASSERT_EQ(file.goTo(n, buffer), n);
        EXPECT_EQ(buffer.record(), expected[static_cast<std::size_t>(n - 1)]) << n;
      }
    }
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(EntryRecordsTest, GoToIsClampedToTheRecordsAndTheNewOne) {
  const std::string name = path("clamp.dt1");
  writeBytes(name, FileOf({{"1a"}, {"1b", "2b"}, {"1c"}}));
  EntryRecordFile file(ui);
  ASSERT_TRUE(file.open(name));
  RecordBuffer buffer;
  const struct {
    std::int64_t target;
    std::int64_t reached;
  } cases[] = {{0, 1}, {-7, 1}, {std::numeric_limits<std::int64_t>::min(), 1}, {2, 2},
               {4, 4}, {5, 4},  {std::numeric_limits<std::int64_t>::max(), 4}, {3, 3},
               {1, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(file.goTo(c.target, buffer), c.reached) << c.target;
    EXPECT_EQ(file.current(), c.reached);
    EXPECT_EQ(file.isNewRecord(), c.reached == 4);
  }
  EXPECT_EQ(file.goToLast(buffer), 3);
  EXPECT_EQ(buffer.record(), RecordOf({"1c"}));
  EXPECT_EQ(file.highestPositionRead(), 1);
  EXPECT_EQ(file.goTo(2, buffer), 2);
  EXPECT_EQ(file.highestPositionRead(), 80);
}

TEST_F(EntryRecordsTest, AnEmptyFileShowsRecordOneAsNew) {
  const std::string name = path("empty.dt1");
  writeBytes(name, "");
  EntryRecordFile file(ui);
  ASSERT_TRUE(file.open(name));
  RecordBuffer buffer;
  EXPECT_EQ(file.goToLast(buffer), 1);
  EXPECT_TRUE(file.isNewRecord());
  EXPECT_EQ(file.lastRecord(), 0);
  EXPECT_EQ(file.highestPositionRead(), 0);
  EXPECT_EQ(file.save(""), EntryRecordFile::SaveResult::Nothing);
  EXPECT_EQ(file.save("1first\r\n"), EntryRecordFile::SaveResult::Appended);
  EXPECT_EQ(file.lastRecord(), 1);
  EXPECT_EQ(file.current(), 1);
  EXPECT_FALSE(file.isNewRecord());
  file.close();
  EXPECT_EQ(readBytes(name), "1first\r\n\x1a");
}

// The moving of the rest of the file, checked against the file built from the record texts.
enum class Change { Grow, Shrink, Delete, Append };
struct ShiftCase {
  const char* what;
  Change change;
  std::size_t record;  // 0-based; ignored for Append
};

TEST_F(EntryRecordsTest, SavesMoveTheRestOfALargeFile) {
  std::vector<Lines> records;
  for (int i = 0; i < 40000; ++i) {
    Lines lines = {"1record " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 37), '-')};
    if (i % 5 == 0) lines.push_back("2second line of " + std::to_string(i));
    records.push_back(lines);
  }
  const std::size_t last = records.size() - 1;
  const std::vector<ShiftCase> cases = {
      {"grow the first", Change::Grow, 1},
      {"grow in the middle", Change::Grow, 20001},
      {"grow the last", Change::Grow, last},
      {"shrink the first", Change::Shrink, 0},
      {"shrink in the middle", Change::Shrink, 20000},
      {"shrink the last", Change::Shrink, 39995},
      {"delete the first", Change::Delete, 0},
      {"delete in the middle", Change::Delete, 20000},
      {"delete the last", Change::Delete, last},
      {"append", Change::Append, 0},
  };
  for (const ShiftCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string name = path("large.dt1");
    writeBytes(name, FileOf(records));
    std::vector<Lines> expected = records;
    const auto number =
        static_cast<std::int64_t>(c.change == Change::Append ? records.size() + 1 : c.record + 1);
    Lines changed;
    switch (c.change) {
      case Change::Grow:
        changed = {records[c.record][0], "2a new second line", "5and a fifth"};
        expected[c.record] = changed;
        break;
      case Change::Shrink:
        changed = {"1short"};
        expected[c.record] = changed;
        break;
      case Change::Delete:
        expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(c.record));
        break;
      case Change::Append:
        changed = {"1appended", "3third"};
        expected.push_back(changed);
        break;
    }

    EntryRecordFile file(ui);
    ASSERT_TRUE(file.open(name));
    RecordBuffer buffer;
    ASSERT_EQ(file.goTo(number, buffer), number);
    const EntryRecordFile::SaveResult result = file.save(TextOf(changed));
    EXPECT_EQ(result, c.change == Change::Delete   ? EntryRecordFile::SaveResult::Deleted
                      : c.change == Change::Append ? EntryRecordFile::SaveResult::Appended
                                                   : EntryRecordFile::SaveResult::Replaced);
    EXPECT_GE(file.lastRecord(), std::min(number, static_cast<std::int64_t>(expected.size())));
    // The position names the record written, or after a deletion the one that moved up.
    ASSERT_EQ(file.goTo(number, buffer), number);
    if (static_cast<std::size_t>(number) <= expected.size()) {
      EXPECT_EQ(buffer.record(), RecordOf(expected[static_cast<std::size_t>(number - 1)]));
    } else {
      EXPECT_TRUE(file.isNewRecord());
    }
    // Its neighbours, reached backward and forward.
    if (number > 1) {
      ASSERT_EQ(file.goTo(number - 1, buffer), number - 1);
      EXPECT_EQ(buffer.record(), RecordOf(expected[static_cast<std::size_t>(number - 2)]));
    }
    if (static_cast<std::size_t>(number) < expected.size()) {
      ASSERT_EQ(file.goTo(number + 1, buffer), number + 1);
      EXPECT_EQ(buffer.record(), RecordOf(expected[static_cast<std::size_t>(number)]));
    }
    EXPECT_EQ(file.goToLast(buffer), static_cast<std::int64_t>(expected.size()));
    EXPECT_EQ(file.lastRecord(), static_cast<std::int64_t>(expected.size()));
    EXPECT_EQ(buffer.record(), RecordOf(expected.back()));
    file.close();
    EXPECT_EQ(readBytes(name), FileOf(expected));
  }
  EXPECT_TRUE(ui.messages.empty());
}

// Saving never lets a record join its neighbour: the record reader still finds the same records.
struct JoinCase {
  const char* what;
  std::string bytes;
  std::int64_t record;
  std::string lines;
  std::string expected;  // written by hand from the line-number rule
};

TEST_F(EntryRecordsTest, SavedRecordsStaySeparateFromTheirNeighbours) {
  const std::vector<JoinCase> cases = {
      // "3c" follows "5b", so it starts a record; after "1a" alone it would not.
      {"shorter record before a record without line 1", "1a\r\n5b\r\n3c\r\n4d\r\n\x1a", 1, "1a\r\n",
       "1a\r\n1\r\n3c\r\n4d\r\n\x1a"},
      {"deleted record between", "1a\r\n1b\r\n5b\r\n3c\r\n\x1a", 2, "", "1a\r\n1\r\n3c\r\n\x1a"},
      {"no separation needed", "1a\r\n5b\r\n3c\r\n\x1a", 1, "1z\r\n4z\r\n", "1z\r\n4z\r\n3c\r\n\x1a"},
      {"append after a last line without line end", "1abc", 2, "1xyz\r\n", "1abc\r\n1xyz\r\n\x1a"},
      {"append after a last line ending in CR", "1abc\r", 2, "1xyz\r\n", "1abc\r\n1xyz\r\n\x1a"},
      {"a text without its last line end", "1a\r\n1b\r\n\x1a", 1, "1q", "1q\r\n1b\r\n\x1a"},
  };
  for (const JoinCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string name = path("join.dt1");
    writeBytes(name, c.bytes);
    std::vector<std::string> expected = ReaderRecords(c.bytes);
    EntryRecordFile file(ui);
    ASSERT_TRUE(file.open(name));
    RecordBuffer buffer;
    ASSERT_EQ(file.goTo(c.record, buffer), c.record);
    file.save(c.lines);
    file.close();
    EXPECT_EQ(readBytes(name), c.expected);
    // Independently: the reader over the hand-written result has one record fewer or the same count.
    const auto index = static_cast<std::size_t>(c.record - 1);
    if (c.lines.empty()) {
      expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(index));
    } else if (index < expected.size()) {
      expected[index] = ReaderRecords(c.lines)[0];
    } else {
      expected.push_back(ReaderRecords(c.lines)[0]);
    }
    EXPECT_EQ(ReaderRecords(c.expected), expected);
  }
}

TEST_F(EntryRecordsTest, AnIoErrorIsShownAndEndsAllWriting) {
  const std::string name = path("io.dt1");
  std::vector<Lines> records;
  for (int i = 0; i < 3000; ++i) records.push_back({"1r" + std::to_string(i)});
  writeBytes(name, FileOf(records));
  EntryRecordFile file(ui);
  ASSERT_TRUE(file.open(name));
  RecordBuffer buffer;
  ASSERT_EQ(file.goTo(2, buffer), 2);
  bool fail = false;
  file.setFaultHook([&] { return fail; });
  fail = true;
  EXPECT_EQ(file.save("1grown\r\n2grown\r\n"), EntryRecordFile::SaveResult::Failed);
  fail = false;
  EXPECT_TRUE(file.failed());
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"error: " + name + ": IO-Err"});
  EXPECT_EQ(file.save("1again\r\n"), EntryRecordFile::SaveResult::Failed);
  EXPECT_EQ(file.goTo(1, buffer), 0);
  EXPECT_FALSE(file.makeBackup(path("io.db1")));
  EXPECT_EQ(ui.messages.size(), 1U);
  EXPECT_EQ(readBytes(name), FileOf(records));  // the fault came before the first write
}

// A full disk while a record grows: the message, the file closed, the program goes on.
TEST_F(EntryRecordsTest, AFullDiskWhileARecordGrowsIsAnIoError) {
  const std::string name = path("full.dt1");
  const std::vector<Lines> records = {{"1a"}, {"1b"}, {"1c"}};
  writeBytes(name, FileOf(records));
  EntryRecordFile file(ui);
  ASSERT_TRUE(file.open(name));
  RecordBuffer buffer;
  ASSERT_EQ(file.goTo(2, buffer), 2);
  {
    test::FileSizeLimit limit(FileOf(records).size());
    ASSERT_TRUE(limit.active());  // lowering the soft limit is always allowed
    EXPECT_EQ(file.save("1bigger\r\n2and longer\r\n"), EntryRecordFile::SaveResult::Failed);
  }
  EXPECT_TRUE(file.failed());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"error: " + name + ": IO-Err"});
  EXPECT_EQ(file.save("1b\r\n"), EntryRecordFile::SaveResult::Failed);
  EXPECT_EQ(ui.messages.size(), 1U);
}

TEST_F(EntryRecordsTest, TheBackupCopyKeepsTheCurrentRecord) {
  const std::string name = path("backup.dt1");
  const std::vector<Lines> records = {{"1a"}, {"1b", "2b"}, {"1c"}};
  writeBytes(name, FileOf(records));
  EntryRecordFile file(ui);
  ASSERT_TRUE(file.open(name));
  RecordBuffer buffer;
  ASSERT_EQ(file.goTo(2, buffer), 2);

  // A backup that cannot be written: a message, false, and the record is still the current one.
  EXPECT_FALSE(file.makeBackup(path("missing/backup.db1")));
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_EQ(ui.messages[0].rfind("error: ", 0), 0U) << ui.messages[0];
  EXPECT_TRUE(file.isOpen());
  EXPECT_FALSE(file.failed());
  EXPECT_EQ(file.current(), 2);
  EXPECT_EQ(readBytes(name), FileOf(records));

  ASSERT_TRUE(file.makeBackup(path("backup.db1")));
  EXPECT_EQ(readBytes(path("backup.db1")), FileOf(records));
  EXPECT_EQ(file.current(), 2);
  EXPECT_EQ(file.save("1B\r\n"), EntryRecordFile::SaveResult::Replaced);
  file.close();
  EXPECT_EQ(readBytes(name), FileOf({{"1a"}, {"1B"}, {"1c"}}));
  EXPECT_EQ(readBytes(path("backup.db1")), FileOf(records));
}

TEST_F(EntryRecordsTest, AReadOnlyFileIsRefused) {
  const std::string name = path("ro.dt1");
  writeBytes(name, "1a\r\n");
  ::chmod(name.c_str(), 0444);
  EntryRecordFile file(ui);
  EXPECT_FALSE(file.open(name));
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(ui.messages.size(), 1U);
  RecordBuffer buffer;
  EXPECT_EQ(file.goTo(1, buffer), 0);
  EXPECT_EQ(file.save("1b\r\n"), EntryRecordFile::SaveResult::Failed);
  EXPECT_EQ(readBytes(name), "1a\r\n");
}

TEST_F(EntryRecordsTest, ProgressIsReportedEveryTwentyRecords) {
  const std::string name = path("progress.dt1");
  std::vector<Lines> records;
  for (int i = 0; i < 100; ++i) records.push_back({"1r" + std::to_string(i)});
  writeBytes(name, FileOf(records));
  EntryRecordFile file(ui);
  ASSERT_TRUE(file.open(name));
  RecordBuffer buffer;
  std::vector<std::int64_t> seen;
  EXPECT_EQ(file.goTo(70, buffer, [&](std::int64_t n) { seen.push_back(n); }), 70);
  EXPECT_EQ(seen, (std::vector<std::int64_t>{21, 41, 61}));  // 69 steps from record 1
}

// Hand-built cases of the record's lines.
TEST(EncodeEntryRecordTest, WritesTheLinesTheRecordReaches) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, std::string>> writes;  // position, text
    int structureEnd;
    int highest;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"all blank", {}, 100, 0, ""},
      {"one field", {{1, "12"}}, 10, 0, "112\r\n"},
      {"trailing blanks cut", {{5, "ab  "}}, 79, 0, "1    ab\r\n"},
      {"blank line 2 left out", {{1, "x"}, {159, "y"}}, 200, 0, "1x\r\n3y\r\n"},
      {"blank line 1 kept", {{80, "z"}}, 100, 0, "1\r\n2z\r\n"},
      {"beyond the structure, not read", {{1, "a"}, {200, "b"}}, 79, 0, "1a\r\n"},
      {"beyond the structure, read",
       {{1, "a"}, {200, "b"}},
       79,
       200,
       "1a\r\n3" + std::string(41, ' ') + "b\r\n"},
      {"at most 99 lines",
       {{7821, "q"}, {7900, "r"}},
       9000,
       0,
       "1\r\n" + std::string(1, char(48 + 99)) + std::string(78, ' ') + "q\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RecordBuffer buffer;
    for (const auto& [position, text] : c.writes) buffer.write(position, text);
    EXPECT_EQ(EncodeEntryRecord(buffer, c.structureEnd, c.highest), c.expected);
  }
}

}  // namespace
}  // namespace veltrix
