#include "core/entry/line_editor.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using namespace std::string_literals;
using test::RecordingUi;

class LineEditorTest : public test::TempDirTest {
 protected:
  LineEditorTest() : TempDirTest("veltrix-line-editor") {}

  std::vector<std::string> forwardLines(TRndTxtMng& editor) {
    std::vector<std::string> lines;
    std::string line;
    editor.goToStart();
    while (editor.nextLine(line) && lines.size() < 100000) lines.push_back(std::string(editor.lineBuffer()));
    return lines;
  }
  std::vector<std::string> backwardLines(TRndTxtMng& editor) {
    std::vector<std::string> lines;
    std::string line;
    editor.goToEnd();
    while (editor.previousLine(line) && lines.size() < 100000)
      lines.insert(lines.begin(), std::string(editor.lineBuffer()));
    return lines;
  }

  RecordingUi ui;
};

// The lines of a file, split by hand from the rule: a line ends at LF, one CR before it is dropped,
// the last byte 26 is the end mark (appended when missing), everything else is text.
struct SplitCase {
  std::string bytes;
  std::string stored;  // the file after opening
  std::vector<std::string> lines;
};

TEST_F(LineEditorTest, SplitsLinesTheSameWayForwardAndBackward) {
  const std::vector<SplitCase> cases = {
      {"", "\x1a", {}},
      {"\x1a", "\x1a", {}},
      {"1abc\r\n2def\r\n\x1a", "1abc\r\n2def\r\n\x1a", {"1abc", "2def"}},
      {"1abc", "1abc\x1a", {"1abc"}},
      {"1abc\r", "1abc\r\x1a", {"1abc"}},
      {"a\nb\n", "a\nb\n\x1a", {"a", "b"}},
      {"\n\n", "\n\n\x1a", {"", ""}},
      {"\r\n\r\r\nx", "\r\n\r\r\nx\x1a", {"", "\r", "x"}},
      {"a\x1a"
       "b\n\x1a",
       "a\x1a"
       "b\n\x1a",
       {"a\x1a"
        "b"}},
      {"a\x1a\x1a", "a\x1a\x1a", {"a\x1a"}},
      {"1\0x\n2\0\n"s, "1\0x\n2\0\n\x1a"s, {"1\0x"s, "2\0"s}},
      {"\n1a\n\n2b", "\n1a\n\n2b\x1a", {"", "1a", "", "2b"}},
      // Lines across the boundaries of 128-byte windows, a CR at the end of a window.
      {std::string(127, 'a') + "\r\n" + std::string(300, 'b') + "\n\n",
       std::string(127, 'a') + "\r\n" + std::string(300, 'b') + "\n\n\x1a",
       {std::string(127, 'a'), std::string(300, 'b'), ""}},
  };
  for (const SplitCase& c : cases) {
    for (const std::int64_t windowBlocks : {TRndTxtMng::kWindowBlocks, std::int64_t{1}}) {
      SCOPED_TRACE(testing::PrintToString(c.bytes));
      const std::string name = path("split.dt1");
      writeBytes(name, c.bytes);
      TRndTxtMng editor(ui);
      editor.setBufferSizes(windowBlocks, TRndTxtMng::kMoveChunk);
      ASSERT_TRUE(editor.open(name));
      EXPECT_EQ(forwardLines(editor), c.lines);
      EXPECT_EQ(backwardLines(editor), c.lines);
      editor.close();
      EXPECT_EQ(readBytes(name), c.stored);
    }
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LineEditorTest, LongLinesAreKeptTo8200AndHandedOutTo255) {
  const std::string huge(3'000'000, 'x');
  const std::string name = path("long.dt1");
  writeBytes(name, "1" + huge + "\r\n2ab\r\n" + huge);
  TRndTxtMng editor(ui);
  ASSERT_TRUE(editor.open(name));
  std::string line;
  ASSERT_TRUE(editor.nextLine(line));
  EXPECT_EQ(line, "1" + std::string(254, 'x'));
  EXPECT_EQ(editor.lineBuffer(), "1" + std::string(8199, 'x'));
  EXPECT_EQ(editor.lineLength(), 3'000'001);
  ASSERT_TRUE(editor.nextLine(line));
  EXPECT_EQ(line, "2ab");
  EXPECT_EQ(editor.lineStart(), 3'000'003);
  ASSERT_TRUE(editor.nextLine(line));
  EXPECT_EQ(editor.lineLength(), 3'000'000);
  EXPECT_FALSE(editor.nextLine(line));
  // And back.
  ASSERT_TRUE(editor.previousLine(line));
  EXPECT_EQ(editor.lineStart(), 3'000'008);
  ASSERT_TRUE(editor.previousLine(line));
  EXPECT_EQ(line, "2ab");
  ASSERT_TRUE(editor.previousLine(line));
  EXPECT_EQ(editor.lineStart(), 0);
  EXPECT_EQ(editor.lineLength(), 3'000'001);
  EXPECT_FALSE(editor.previousLine(line));
}

TEST_F(LineEditorTest, TheAppendedEndMarkKeepsTheFileDate) {
  const std::string name = path("date.dt1");
  writeBytes(name, "1abc\r\n");
  const FileTime old = FileTime{1'000'000'000} * 1'000'000'000;  // 2001-09-09
  ASSERT_TRUE(SetFileDate(name, old));
  TRndTxtMng editor(ui);
  ASSERT_TRUE(editor.open(name));
  editor.close();
  EXPECT_EQ(readBytes(name), "1abc\r\n\x1a");
  EXPECT_EQ(FileDate(name), old);
}

TEST_F(LineEditorTest, FilesThatCannotBeWrittenAreRefused) {
  const std::string readOnly = path("ro.dt1");
  writeBytes(readOnly, "1abc\r\n");
  ::chmod(readOnly.c_str(), 0444);
  std::filesystem::create_directory(path("dir.dt1"));
  ASSERT_EQ(::mkfifo(path("pipe.dt1").c_str(), 0666), 0);
  const std::string expected(": Datei kann nicht geöffnet werden!"_w);
  for (const std::string& name : {readOnly, path("dir.dt1"), path("pipe.dt1"), path("missing.dt1")}) {
    ui.messages.clear();
    TRndTxtMng editor(ui);
    EXPECT_FALSE(editor.open(name)) << name;
    EXPECT_FALSE(editor.isOpen());
    EXPECT_EQ(ui.messages, std::vector<std::string>{"error: " + name + expected});
  }
  EXPECT_EQ(readBytes(readOnly), "1abc\r\n");  // no end mark was added
}

// A file of many windows: numbered lines of different lengths.
std::string ManyLines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += "1line " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 53), '.') + "\r\n";
  }
  return text;
}

// Offset of the start of line index (0-based) of text, by counting LFs.
std::size_t LineOffset(const std::string& text, int index) {
  std::size_t offset = 0;
  for (int i = 0; i < index; ++i) offset = text.find('\n', offset) + 1;
  return offset;
}

struct ReplaceCase {
  const char* what;
  int firstLine;  // the lines firstLine .. firstLine + count - 1 are replaced
  int count;
  std::string text;
};

struct BufferSizes {
  int lineCount;
  std::int64_t windowBlocks;
  std::int64_t moveChunk;
};

class ReplaceTest : public LineEditorTest, public testing::WithParamInterface<BufferSizes> {};

TEST_P(ReplaceTest, ReplacingMovesTheRestOfAFileManyWindowsLong) {
  const int lineCount = GetParam().lineCount;
  const std::string original = ManyLines(lineCount);
  ASSERT_GT(original.size(), static_cast<std::size_t>(2 * GetParam().moveChunk));
  ASSERT_GT(original.size(), static_cast<std::size_t>(20 * GetParam().windowBlocks * TRndTxtMng::kBlockSize));
  const std::string longer = "1new\r\n2second line\r\n";
  const int mid = lineCount / 2;
  const std::vector<ReplaceCase> cases = {
      {"grow at the start", 0, 1, longer},
      {"grow in the middle", mid, 1, longer},
      {"grow at the end", lineCount - 1, 1, longer},
      {"shrink at the start", 0, 2, "1x\r\n"},
      {"shrink in the middle", mid, 3, "1x\r\n"},
      {"shrink at the end", lineCount - 2, 2, "1x\r\n"},
      {"delete at the start", 0, 1, ""},
      {"delete in the middle", mid, 1, ""},
      {"delete at the end", lineCount - 1, 1, ""},
      {"same length", mid, 1, "1line " + std::to_string(mid) + std::string(mid % 53, '#') + "\r\n"},
      {"insert in the middle", mid, 0, longer},
  };
  for (const ReplaceCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string name = path("many.dt1");
    writeBytes(name, original + "\x1a");
    const std::size_t from = LineOffset(original, c.firstLine);
    const std::size_t to = LineOffset(original, c.firstLine + c.count);
    const std::string expected = original.substr(0, from) + c.text + original.substr(to) + "\x1a";

    TRndTxtMng editor(ui);
    editor.setBufferSizes(GetParam().windowBlocks, GetParam().moveChunk);
    ASSERT_TRUE(editor.open(name));
    std::string line;
    for (int i = 0; i < c.firstLine; ++i) ASSERT_TRUE(editor.nextLine(line));
    editor.markRecordStart();
    for (int i = 0; i < c.count; ++i) ASSERT_TRUE(editor.nextLine(line));
    ASSERT_TRUE(editor.replaceFromRecordStart(c.text));
    EXPECT_EQ(editor.position(), static_cast<std::int64_t>(from + c.text.size()));
    EXPECT_EQ(editor.dataLength(), static_cast<std::int64_t>(expected.size() - 1));
    // The editor reads the new bytes, not a stale window.
    editor.seek(static_cast<std::int64_t>(from));
    if (!c.text.empty()) {
      ASSERT_TRUE(editor.nextLine(line));
      EXPECT_EQ(line, c.text.substr(0, c.text.find('\r')));
    }
    editor.close();
    EXPECT_EQ(readBytes(name), expected);  // exactly one end mark, the file cut after it
  }
  EXPECT_TRUE(ui.messages.empty());
}

// The sizes of the program (about 2.3 MB: many windows, three move pieces), and small ones whose
// boundaries fall everywhere.
INSTANTIATE_TEST_SUITE_P(Sizes, ReplaceTest,
                         testing::Values(BufferSizes{60000, TRndTxtMng::kWindowBlocks,
                                                     TRndTxtMng::kMoveChunk},
                                         BufferSizes{3000, 1, 997}, BufferSizes{3000, 3, 4096}));

TEST_F(LineEditorTest, InsertAtEndAndMarks) {
  const std::string name = path("end.dt1");
  writeBytes(name, "1a\r\n1b\r\n\x1a");
  TRndTxtMng editor(ui);
  ASSERT_TRUE(editor.open(name));
  std::string line;
  ASSERT_TRUE(editor.nextLine(line));
  editor.markPosition();
  EXPECT_EQ(editor.mark(), 4);
  ASSERT_TRUE(editor.insertAtEnd("1c\r\n"));
  EXPECT_EQ(editor.recordStart(), 8);
  EXPECT_EQ(editor.position(), 12);
  editor.returnToMark();
  ASSERT_TRUE(editor.nextLine(line));
  EXPECT_EQ(line, "1b");
  // A mark behind an edit moves with the text.
  editor.goToStart();
  editor.markRecordStart();
  ASSERT_TRUE(editor.nextLine(line));
  editor.seek(8);
  editor.markPosition();
  editor.seek(4);
  ASSERT_TRUE(editor.replaceFromRecordStart("1aaa\r\n"));
  EXPECT_EQ(editor.mark(), 10);
  editor.returnToMark();
  ASSERT_TRUE(editor.nextLine(line));
  EXPECT_EQ(line, "1c");
  editor.close();
  EXPECT_EQ(readBytes(name), "1aaa\r\n1b\r\n1c\r\n\x1a");
}

// An input/output error is shown once, closes the file, and every later call does nothing.
TEST_F(LineEditorTest, AnInjectedErrorClosesTheFileAndStopsWriting) {
  const std::string original = ManyLines(40000);
  for (int failAt : {1, 2, 3}) {
    SCOPED_TRACE(failAt);
    const std::string name = path("err.dt1");
    writeBytes(name, original + "\x1a");
    ui.messages.clear();
    TRndTxtMng editor(ui);
    ASSERT_TRUE(editor.open(name));
    int transfers = 0;
    editor.setFaultHook([&] { return ++transfers == failAt; });
    editor.markRecordStart();
    std::string line;
    ASSERT_TRUE(editor.nextLine(line) || failAt == 1);
    if (editor.isOpen()) {
      EXPECT_FALSE(editor.replaceFromRecordStart("1longer line\r\n2and one more\r\n"));
    }
    EXPECT_TRUE(editor.failed());
    EXPECT_FALSE(editor.isOpen());
    EXPECT_EQ(ui.messages, std::vector<std::string>{"error: " + name + ": IO-Err"});
    const std::string after = readBytes(name);
    EXPECT_FALSE(editor.replaceFromRecordStart("1x\r\n"));
    EXPECT_FALSE(editor.insertAtEnd("1x\r\n"));
    EXPECT_FALSE(editor.nextLine(line));
    editor.close();
    EXPECT_EQ(readBytes(name), after);
    EXPECT_EQ(ui.messages.size(), 1U);
  }
}

TEST_F(LineEditorTest, AWriteBeyondTheFileSizeLimitIsAnIoError) {
  const std::string original = ManyLines(2000);
  const std::string name = path("full.dt1");
  writeBytes(name, original + "\x1a");
  TRndTxtMng editor(ui);
  ASSERT_TRUE(editor.open(name));
  test::FileSizeLimit limit(original.size() + 1);
  ASSERT_TRUE(limit.active());  // lowering the soft limit is always allowed
  editor.markRecordStart();
  std::string line;
  ASSERT_TRUE(editor.nextLine(line));
  EXPECT_FALSE(editor.replaceFromRecordStart("1grown\r\n2grown\r\n"));
  EXPECT_TRUE(editor.failed());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"error: " + name + ": IO-Err"});
}

}  // namespace
}  // namespace veltrix
