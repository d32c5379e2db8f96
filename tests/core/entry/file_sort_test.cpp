#include "core/entry/file_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/datafile/stat_record.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using test::ScriptedUi;

constexpr int kText = 128;
constexpr std::string_view kWriteFailed = "Schreibfehler beim Sortieren; die Datei ist unverändert."_w;

// The records of a file, one string of lines (each with CR LF) per record, as the record reader
// finds them: the reference the sorted files are compared with. Only files whose lines are written
// the way the record writer writes them are split this way.
std::vector<std::string> RecordsOf(const std::string& bytes) {
  TextLineSource lines(bytes);
  RecordReader reader(lines);
  RecordBuffer buffer;
  std::vector<std::string> records;
  while (reader.next(buffer)) {
    std::string text;
    for (const std::string& line : EncodeRecord(buffer)) text += line + "\r\n";
    records.push_back(text);
  }
  return records;
}

// The order written from the rule: a stable sort of the records by the variable's key alone. Text:
// the first 21 characters of the field, blank-padded. Numeric: blank first, then numbers by value,
// then the rest by their first 21 characters without surrounding blanks.
std::string ReferenceSort(const std::string& bytes, int position, int typeByte) {
  struct Keyed {
    int kind;
    double value;
    std::string text;
    std::string record;
  };
  std::vector<Keyed> keyed;
  TextLineSource lines(bytes);
  RecordReader reader(lines);
  RecordBuffer buffer;
  while (reader.next(buffer)) {
    std::string text;
    for (const std::string& line : EncodeRecord(buffer)) text += line + "\r\n";
    const FieldValueResult field = FieldValue(buffer, position, typeByte);
    Keyed k{0, 0.0, "", text};
    if ((typeByte & kText) != 0) {
      k.text = std::string(buffer.field(position, typeByte & 127)).substr(0, 21);
      k.text.resize(21, ' ');
    } else if (field.status == -1) {
      k.kind = 0;
    } else if (field.status >= 0) {
      k.kind = 1;
      k.value = field.value;
    } else {
      k.kind = 2;
      k.text = std::string(field.text.substr(0, 21));
    }
    keyed.push_back(k);
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    if (a.kind != b.kind) return a.kind < b.kind;
    if (a.kind == 1) return a.value < b.value;
    return a.text < b.text;  // std::string compares as unsigned bytes (char_traits<char>::lt)
  });
  std::string out;
  for (const Keyed& k : keyed) out += k.record;
  return out;
}

class FileSortTest : public test::TempDirTest {
 protected:
  FileSortTest() : TempDirTest("veltrix-file-sort") {}

  std::string file() const { return path("studie.dt1"); }
  std::string backup() const { return path("studie.db1"); }

  SortResult sort(const SortField& field, SortOptions options = {}) {
    options.updateInterval = std::chrono::milliseconds(0);
    TFSort sorter(ui, file(), field, std::move(options));
    return sorter.run();
  }

  // Names in the directory other than the statistics file and its backup.
  std::vector<std::string> strayFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir)) {
      const std::string name = entry.path().filename().string();
      if (name != "studie.dt1" && name != "studie.db1") names.push_back(name);
    }
    return names;
  }

  ScriptedUi ui;
};

// A file of n one-line records: a numeric field at 1..8 with ties and negatives (and some blank
// fields and some without a number), the record's
// number at 10..16 (so that the order of ties shows), a text at 18..47.
std::string GeneratedFile(int n, std::uint32_t seed) {
  std::string bytes;
  std::uint32_t state = seed;
  for (int i = 1; i <= n; ++i) {
    state = state * 1664525u + 1013904223u;
    const int value = static_cast<int>((state >> 8) % 61) - 30;
    char line[80];
    const char* word = (state >> 20) % 3 == 0 ? "gleicher Anfang des Textes" : "anderer Text";
    const char letter = static_cast<char>('A' + (state >> 27));
    std::snprintf(line, sizeof line, "1%8d %7d %-26s%c", value, i, word, letter);
    std::string text(line);
    // Now and then a blank field, or one that holds no number.
    if ((state >> 4) % 17 == 0) text.replace(1, 8, 8, ' ');
    if ((state >> 4) % 19 == 0) text.replace(1, 8, (state >> 9) % 2 == 0 ? "     n/a" : "  -x1.5 ");
    while (!text.empty() && text.back() == ' ') text.pop_back();
    bytes += text + "\r\n";
  }
  return bytes;
}

const SortField kNumeric{"WERT", 1, 8};
const SortField kTextField{"TEXT>", 18, kText | 27};

TEST_F(FileSortTest, NumbersSortBlankFirstThenByValue) {
  // Hand-made: 10, 9.5, -2, -10, blank sort as blank, -10, -2, 9.5, 10.
  writeBytes(file(), "1   10 a\r\n1  9.5 b\r\n1   -2 c\r\n1  -10 d\r\n1      e\r\n");
  const SortResult result = sort(SortField{"X", 1, 5});
  EXPECT_EQ(result.outcome, SortResult::Outcome::Done);
  EXPECT_EQ(result.records, 5);
  EXPECT_EQ(result.runs, 0);  // sorted in memory
  EXPECT_EQ(readBytes(file()), "1      e\r\n1  -10 d\r\n1   -2 c\r\n1  9.5 b\r\n1   10 a\r\n");
  EXPECT_EQ(readBytes(backup()), "1   10 a\r\n1  9.5 b\r\n1   -2 c\r\n1  -10 d\r\n1      e\r\n");
  EXPECT_TRUE(strayFiles().empty());
  EXPECT_EQ(ui.events(), (std::vector<std::string>{"cancel open: Sortieren nach X", "cancel close"}));
}

TEST_F(FileSortTest, NumbersAreReadAsParseNumberReadsThem) {
  // Each line holds the value and, after it, its rank worked out by hand: "," is the decimal point,
  // exponents count, more than ten integer digits are still numbers, "+" signs around are ignored,
  // "-0" is 0; text sorts after all numbers by its bytes ("1.2.3" < "abc" < "x"), equal values keep
  // their order (the two 0 and the two 1.5).
  const std::vector<std::pair<std::string, int>> values = {
      {"abc", 13}, {"1,5", 6}, {"1e3", 9},          {"-2.5E-1", 3}, {"12345678901234", 11},
      {"+7", 8},   {"", 1},    {"1.2.3", 12},       {"0", 4},       {"-0", 5},
      {"1.5", 7},  {"x", 14},  {"-99999999999", 2}, {"2e10", 10},
  };
  std::string bytes;
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::string field = values[i].first;
    field.insert(0, 16 - field.size(), ' ');
    bytes += "1" + field + " " + std::to_string(i) + "\r\n";
  }
  writeBytes(file(), bytes);
  ASSERT_EQ(sort(SortField{"X", 1, 16}).outcome, SortResult::Outcome::Done);
  const std::vector<std::string> sorted = RecordsOf(readBytes(file()));
  ASSERT_EQ(sorted.size(), values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::string field = values[i].first;
    field.insert(0, 16 - field.size(), ' ');
    const std::string expected = "1" + field + " " + std::to_string(i) + "\r\n";
    EXPECT_EQ(sorted[static_cast<std::size_t>(values[i].second - 1)], expected) << values[i].first;
  }
}

TEST_F(FileSortTest, TextSortsByItsFirst21CharactersThenByRecordOrder) {
  // Field 1..30. Records 1 and 3 agree in 21 characters and differ after them: they keep their order.
  // Bytes compare unsigned: "ä" (E4) after "z", a leading blank before any letter.
  const std::string a = "1ABCDEFGHIJKLMNOPQRSTUzzz\r\n";
  const std::string b = "1ABCDEFGHIJKLMNOPQRSTA\r\n";
  const std::string c = "1ABCDEFGHIJKLMNOPQRSTUaaa\r\n";
  std::string d = "1";
  d += "äpfel"_w;
  d += "\r\n";
  const std::string e = "1zebra\r\n";
  const std::string f = "1 blank\r\n";
  writeBytes(file(), a + b + c + d + e + f);
  ASSERT_EQ(sort(SortField{"T>", 1, kText | 30}).outcome, SortResult::Outcome::Done);
  EXPECT_EQ(readBytes(file()), f + b + a + c + e + d);
}

TEST_F(FileSortTest, RecordsOfSeveralLinesMoveWholeWithTheirBytes) {
  // Records by the boundary rule: a line whose number is not above the previous one starts the
  // next record. The key field 80..82 is on line 2. The record "2 5" has no line 1: it is written
  // with an empty line 1, so that it does not continue the record "1 x" in front of it. Trailing
  // blanks, a line longer than 79 characters and a LF-only line end are kept as they were (with
  // CR LF); empty lines and the Ctrl-Z end mark belong to no record.
  const std::string longLine = "3" + std::string(85, 'L');
  const std::string source = "1 x\r\n2  9\r\n" + longLine + "\r\n" +  // record 1: key 9
                             "2  5  \n" +                             // record 2: key 5, no line 1
                             "\r\n" +                                 // an empty line
                             "1 y\r\n2  7\r\n" +                      // record 3: key 7
                             "1 z\r\n\x1a";                           // record 4: blank key
  writeBytes(file(), source);
  ASSERT_EQ(sort(SortField{"K", 80, 3}).outcome, SortResult::Outcome::Done);
  EXPECT_EQ(readBytes(file()), "1 z\r\n" + std::string("1\r\n2  5  \r\n") + "1 y\r\n2  7\r\n" +
                                   "1 x\r\n2  9\r\n" + longLine + "\r\n");
  EXPECT_EQ(readBytes(backup()), source);
}

TEST_F(FileSortTest, TheFieldIsReadFromTheFirst79CharactersOfALine) {
  // Field 80..82 is the start of line 2. r1 has no line 2, but its line 1 runs on past column 79
  // with "5": that is not part of the record, so its field is blank and it comes first (and its line
  // keeps all its bytes). r2 holds 3, r3 holds 1 there.
  const std::string r1 = "1" + std::string(79, '.') + "5\r\n";
  const std::string r2 = "1a\r\n2  3\r\n";
  const std::string r3 = "1b\r\n2  1\r\n";
  writeBytes(file(), r2 + r1 + r3);
  ASSERT_EQ(sort(SortField{"K", 80, 3}).outcome, SortResult::Outcome::Done);
  EXPECT_EQ(readBytes(file()), r1 + r3 + r2);
}

TEST_F(FileSortTest, BigFilesGoThroughRunsAndMergePasses) {
  const std::string bytes = GeneratedFile(700, 4711);
  struct Case {
    const char* name;
    SortField field;
    std::int64_t memory;
    int fanIn;
    bool runs;      // sorted runs were needed
    int minPasses;  // merge passes at least
  };
  const Case cases[] = {
      {"in memory, numeric", kNumeric, 1 << 20, 0, false, 1},
      {"in memory, text", kTextField, 1 << 20, 0, false, 1},
      {"runs, one merge", kNumeric, 8 << 10, 64, true, 1},
      {"runs, fan-in 2", kNumeric, 4 << 10, 2, true, 3},
      {"runs, fan-in 3, text", kTextField, 4 << 10, 3, true, 2},
      {"runs, fan-in 5", kNumeric, 2 << 10, 5, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeBytes(file(), bytes);
    const SortResult result = sort(c.field, SortOptions{.memoryBytes = c.memory, .fanIn = c.fanIn});
    ASSERT_EQ(result.outcome, SortResult::Outcome::Done);
    EXPECT_EQ(result.records, 700);
    EXPECT_EQ(result.runs > 0, c.runs) << result.runs;
    EXPECT_GE(result.mergePasses, c.minPasses);
    if (c.minPasses > 1) {
      EXPECT_GT(result.runs, c.fanIn);  // more runs than one merge can take
    }
    EXPECT_EQ(readBytes(file()), ReferenceSort(bytes, c.field.position, c.field.typeByte));
    EXPECT_EQ(readBytes(backup()), bytes);
    EXPECT_TRUE(strayFiles().empty());
  }
}

TEST_F(FileSortTest, CancellingInAnyPhaseLeavesBothFilesAsTheyWere) {
  const std::string bytes = GeneratedFile(400, 99);
  const std::string oldBackup = "1 the previous backup\r\n";
  std::set<SortPhase> phases;
  bool finished = false;
  // With the count shown every 20 records, update n falls into a later phase as n grows.
  for (int n = 1; n < 400 && !finished; n += 3) {
    SCOPED_TRACE(n);
    writeBytes(file(), bytes);
    writeBytes(backup(), oldBackup);
    ScriptedUi local;
    local.cancelOnUpdate(n);
    TFSort sorter(
        local, file(), kNumeric,
        SortOptions{.memoryBytes = 4 << 10, .fanIn = 2, .updateInterval = std::chrono::milliseconds(0)});
    const SortResult result = sorter.run();
    if (result.outcome == SortResult::Outcome::Done) {
      finished = true;
      break;
    }
    ASSERT_EQ(result.outcome, SortResult::Outcome::Cancelled);
    phases.insert(result.stoppedIn);
    EXPECT_EQ(readBytes(file()), bytes);
    EXPECT_EQ(readBytes(backup()), oldBackup);
    EXPECT_TRUE(strayFiles().empty());
    EXPECT_EQ(local.events().back(), "cancel close");
  }
  EXPECT_TRUE(finished);
  EXPECT_EQ(phases, (std::set<SortPhase>{SortPhase::Reading, SortPhase::Merging, SortPhase::Writing}));
}

TEST_F(FileSortTest, AFailedWriteInAnyPhaseLeavesBothFilesAsTheyWere) {
  const std::string bytes = GeneratedFile(400, 7);
  const std::string oldBackup = "1 the previous backup\r\n";
  const SortOptions tight{.memoryBytes = 4 << 10, .fanIn = 2};
  writeBytes(file(), bytes);
  const SortResult clean = sort(kNumeric, tight);
  ASSERT_EQ(clean.outcome, SortResult::Outcome::Done);
  ASSERT_GT(clean.bytesWritten, static_cast<std::int64_t>(bytes.size()));
  std::set<SortPhase> phases;
  for (int k = 0; k < 40; ++k) {
    SortOptions failing = tight;
    failing.failWriteAt = 1 + clean.bytesWritten * k / 40;
    SCOPED_TRACE(failing.failWriteAt);
    writeBytes(file(), bytes);
    writeBytes(backup(), oldBackup);
    ui.expectError(file() + ": " + std::string(kWriteFailed));
    const SortResult result = sort(kNumeric, failing);
    ASSERT_EQ(result.outcome, SortResult::Outcome::Failed);
    phases.insert(result.stoppedIn);
    EXPECT_EQ(readBytes(file()), bytes);
    EXPECT_EQ(readBytes(backup()), oldBackup);
    EXPECT_TRUE(strayFiles().empty());
    EXPECT_TRUE(ui.allPlayed());
  }
  EXPECT_EQ(phases, (std::set<SortPhase>{SortPhase::Reading, SortPhase::Merging, SortPhase::Writing}));
}

TEST_F(FileSortTest, TheCancelDialogCountsRecordsInEachPhase) {
  writeBytes(file(), GeneratedFile(100, 3));
  ASSERT_EQ(sort(kNumeric, SortOptions{.memoryBytes = 1 << 20}).outcome, SortResult::Outcome::Done);
  // Sorted in memory: 100 records read, then 100 written, shown every 20.
  EXPECT_EQ(ui.cancelValues(), (std::vector<double>{20, 40, 60, 80, 100, 20, 40, 60, 80, 100}));
}

TEST_F(FileSortTest, AnEmptyFileIsRefused) {
  for (const std::string& bytes : {std::string(), std::string("\r\n\r\n\x1a")}) {
    writeBytes(file(), bytes);
    ui.expectError("Datei ist leer (oder nicht vorhanden)");
    EXPECT_EQ(sort(kNumeric).outcome, SortResult::Outcome::Empty);
    EXPECT_EQ(readBytes(file()), bytes);
    EXPECT_FALSE(std::filesystem::exists(backup()));
    EXPECT_TRUE(strayFiles().empty());
  }
  std::filesystem::remove(file());
  ui.expectError("Datei ist leer (oder nicht vorhanden)");
  EXPECT_EQ(sort(kNumeric).outcome, SortResult::Outcome::Empty);  // a missing file too
}

TEST_F(FileSortTest, TheRecordNumberSortsLikeTheFileOrder) {
  const std::string bytes = GeneratedFile(50, 5);
  writeBytes(file(), bytes);
  ASSERT_EQ(sort(SortField{"*DSNR", kRecordNumberPosition, kRecordNumberLength}).outcome,
            SortResult::Outcome::Done);
  EXPECT_EQ(readBytes(file()), bytes);
}

TEST_F(FileSortTest, RecordsPastTheSixDigitRecordNumberKeepTheirPlace) {
  // 1,000,100 records "1" + value (0, 1, 2 in turn) + the ordinal: among equal values the ordinals
  // must come out ascending across 999,999, and none may be lost. Small memory: many runs and passes.
  constexpr int kRecords = 1000100;
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(kRecords) * 11);
  for (int i = 1; i <= kRecords; ++i)
    bytes += "1" + std::to_string((kRecords - i) % 3) + std::to_string(i) + "\r\n";
  writeBytes(file(), bytes);
  const SortResult result = sort(SortField{"V", 1, 1}, SortOptions{.memoryBytes = 2 << 20});
  ASSERT_EQ(result.outcome, SortResult::Outcome::Done);
  EXPECT_EQ(result.records, kRecords);
  EXPECT_GT(result.mergePasses, 1);
  const std::string sorted = readBytes(file());
  std::size_t at = 0;
  int count = 0;
  int previousValue = -1;
  long previousOrdinal = 0;
  bool ordered = true;
  while (at < sorted.size()) {
    const std::size_t end = sorted.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    const int value = sorted[at + 1] - '0';
    const long ordinal = std::stol(sorted.substr(at + 2, end - at - 2));
    if (value < previousValue || (value == previousValue && ordinal <= previousOrdinal)) ordered = false;
    previousValue = value;
    previousOrdinal = ordinal;
    ++count;
    at = end + 2;
  }
  EXPECT_TRUE(ordered);
  EXPECT_EQ(count, kRecords);
  // The record number pseudo-variable stops at 999999: the last records tie and keep their order.
  ASSERT_EQ(sort(SortField{"*DSNR", kRecordNumberPosition, kRecordNumberLength}).outcome,
            SortResult::Outcome::Done);
  EXPECT_EQ(readBytes(file()), sorted);
}

}  // namespace
}  // namespace veltrix
