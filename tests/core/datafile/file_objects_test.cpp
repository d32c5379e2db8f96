#include "core/datafile/file_objects.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using namespace std::string_literals;
using test::ScriptedUi;

const std::string kCannotOpen(": Datei kann nicht geöffnet werden!"_w);
const std::string kNotOpen(": Datei ist nicht geöffnet!"_w);

// Each test works in a directory of its own below the system's temporary directory.
class FileObjectsTest : public test::TempDirTest {
 protected:
  FileObjectsTest() : TempDirTest("veltrix-file-objects") {}
};

// Lines as a data pass reads them: until end() is set, with a guard against a reader that never ends.
std::vector<std::string> readAllLines(TTxtRFile& file, std::size_t guard) {
  std::vector<std::string> lines;
  std::string line = "left over";  // the reader must clear the caller's buffer
  while (!file.end() && lines.size() <= guard) {
    file.readLine(line);
    lines.push_back(line);
  }
  return lines;
}

// Complete lines of 100 'x' + CR LF while they fit below limit.
std::string linesBelow(std::size_t limit, std::vector<std::string>& expected) {
  const std::string line(100, 'x');
  std::string content;
  while (content.size() + line.size() + 2 <= limit) {
    content += line + "\r\n";
    expected.push_back(line);
  }
  return content;
}

struct LineCase {
  std::string name;
  std::string content;
  std::vector<std::string> lines;
};

std::vector<LineCase> lineCases() {
  const std::string a255(255, 'a');
  std::vector<LineCase> cases = {
      {"last line without CR LF is returned", "one\r\ntwo", {"one", "two"}},
      {"CR LF after the last line gives no empty line", "one\r\ntwo\r\n", {"one", "two"}},
      {"Ctrl-Z after the last CR LF gives no extra line", "one\r\ntwo\r\n\x1A", {"one", "two"}},
      {"Ctrl-Z after a last line without CR LF", "one\r\ntwo\x1A", {"one", "two"}},
      // \032 is Ctrl-Z written in octal, so that the following letter cannot extend the escape.
      {"Ctrl-Z inside the text is an ordinary byte", "a\032b\r\n\032\r\n", {"a\032b", "\x1A"}},
      {"only the last of two Ctrl-Z is the end mark", "\x1A\x1A", {"\x1A"}},
      {"a file of a Ctrl-Z alone has no line", "\x1A", {}},
      {"empty file has no line", "", {}},
      {"LF alone ends a line", "a\nb\n", {"a", "b"}},
      {"CR inside a line is kept", "a\rb\r\n", {"a\rb"}},
      {"only one CR before the LF is dropped", "a\r\r\n", {"a\r"}},
      {"CR as the last byte of the file is dropped", "a\r", {"a"}},
      {"empty lines", "\r\n\r\n", {"", ""}},
      {"NUL bytes are ordinary bytes", "\0\0\0\r\n\0\r\nx\0y\r\n"s, {"\0\0\0"s, "\0"s, "x\0y"s}},
      {"300 characters are cut to 255 and the next line follows",
       std::string(300, 'a') + "\r\nnext\r\n",
       {a255, "next"}},
      {"255 characters + CR LF stay whole", a255 + "\r\nz", {a255, "z"}},
      {"256 characters + CR LF are cut", a255 + "b\r\nz", {a255, "z"}},
      {"255 characters + CR without LF at the end of file", a255 + "\r", {a255}},
      {"a line over several buffer fills is cut, the next line follows",
       std::string(200000, 'a') + "\r\nafter",
       {a255, "after"}},
      {"100000 bytes without a line end", std::string(100000, 'a'), {a255}},
      {"100000 NUL bytes", std::string(100000, '\0'), {std::string(255, '\0')}},
  };

  // The buffer holds 65536 bytes: the CR is its last byte, the LF the first of the next fill.
  {
    LineCase c{"CR LF split over two buffer fills", "", {}};
    c.content = linesBelow(65534, c.lines);
    const std::string last(65535 - c.content.size(), 'y');
    c.content += last + "\r\ntail";
    c.lines.push_back(last);
    c.lines.push_back("tail");
    cases.push_back(c);
  }
  // A file of exactly 65536 bytes whose last byte is Ctrl-Z: the mark is dropped although it only
  // turns out to be the last byte when the next fill finds nothing.
  {
    LineCase c{"Ctrl-Z as byte 65536 and last byte of the file", "", {}};
    c.content = linesBelow(65530, c.lines);
    const std::string last(65533 - c.content.size(), 'p');
    c.content += last + "\r\n\x1A";
    c.lines.push_back(last);
    cases.push_back(c);
  }
  // The same byte position, but more text follows: the Ctrl-Z is part of the line.
  {
    LineCase c{"Ctrl-Z as byte 65536 with text after it", "", {}};
    c.content = linesBelow(65530, c.lines);
    const std::string last = std::string(65535 - c.content.size(), 'q') + "\x1A";
    c.content += last + "\r\nz\r\n";
    c.lines.push_back(last);
    c.lines.push_back("z");
    cases.push_back(c);
  }
  return cases;
}

TEST_F(FileObjectsTest, TextReaderSplitsLinesCutsThemAndSetsEnd) {
  const std::vector<LineCase> cases = lineCases();
  ASSERT_EQ(cases[cases.size() - 3].content[65535], '\r');
  ASSERT_EQ(cases[cases.size() - 2].content.size(), 65536u);
  ASSERT_EQ(cases[cases.size() - 1].content[65535], '\x1A');
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = path("lines.txt");
    writeBytes(name, c.content);
    ScriptedUi ui;  // any message box fails the test
    TTxtRFile file(ui);
    ASSERT_TRUE(file.open(name));
    EXPECT_EQ(readAllLines(file, c.lines.size() + 2), c.lines);
    // Nothing left: an empty line with end set, as often as asked.
    EXPECT_TRUE(file.end());
    EXPECT_EQ(file.readLine(), "");
    EXPECT_TRUE(file.end());
    EXPECT_FALSE(file.error());
    file.close();
  }
}

TEST_F(FileObjectsTest, TextReaderOpenFailureIsReportedOnceWithHint4) {
  const std::string missing = path("missing.txt");
  const std::string directory = m_dir.string();
  const std::string withNul = path("a") + "\0b"s;
  const std::string withLineBreak = path("a\r\nb");
  for (const std::string& name : {missing, directory, withNul, withLineBreak}) {
    SCOPED_TRACE(name);
    ScriptedUi ui;
    // Control bytes of a name are shown as "?", so that no name can break the message.
    std::string shown = name;
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return c == '\0' || c == '\r' || c == '\n'; }, '?');
    ui.expectError(shown + kCannotOpen);
    TTxtRFile file(ui);
    EXPECT_FALSE(file.open(name));
    EXPECT_TRUE(file.error());
    EXPECT_TRUE(file.end());
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(file.readLine(), "");  // silent: the error was reported already
    EXPECT_EQ(ui.placements(), std::vector<int>{4});
    EXPECT_EQ(ui.beeps(), 1);
  }
}

TEST_F(FileObjectsTest, OnlyRegularFilesAreOpenedAndANamedPipeNeverBlocks) {
  // A named pipe without anybody at its other end would block a plain open for ever.
  const std::string pipe = path("pipe.prm");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string directory = m_dir.string();
  std::vector<std::string> names = {pipe, directory};
  if (std::filesystem::exists("/dev/null")) names.emplace_back("/dev/null");
  using Open = std::function<bool(ScriptedUi&, const std::string&)>;
  const std::pair<const char*, Open> opens[] = {
      {"random file for reading",
       [](ScriptedUi& ui, const std::string& n) { return TRndFile(ui).openForReading(n); }},
      {"random file for update",
       [](ScriptedUi& ui, const std::string& n) { return TRndFile(ui).openForUpdate(n); }},
      {"random file created", [](ScriptedUi& ui, const std::string& n) { return TRndFile(ui).create(n); }},
      {"text reader", [](ScriptedUi& ui, const std::string& n) { return TTxtRFile(ui).open(n); }},
      {"text writer", [](ScriptedUi& ui, const std::string& n) { return TTxtWFile(ui).open(n); }},
      {"text appender", [](ScriptedUi& ui, const std::string& n) { return TTxtAFile(ui).open(n); }},
  };
  for (const auto& [what, open] : opens) {
    for (const std::string& name : names) {
      SCOPED_TRACE(std::string(what) + " on " + name);
      ScriptedUi ui;
      ui.expectError(name + kCannotOpen);
      EXPECT_FALSE(open(ui, name));
      EXPECT_TRUE(ui.allPlayed());
    }
  }
  struct stat info {};
  ASSERT_EQ(::lstat(pipe.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the pipe is left as it was";
}

TEST_F(FileObjectsTest, RandomFileTransfersAfterAFailedOpenReturnZeroSilently) {
  const std::string name = path("missing.bin");
  ScriptedUi ui;
  ui.expectError(name + kCannotOpen);
  TRndFile file(ui);
  EXPECT_FALSE(file.openForReading(name));
  char buffer[16] = {};
  EXPECT_EQ(file.read(buffer, 16), 0);
  EXPECT_EQ(file.count(), 0);
  EXPECT_EQ(file.write(buffer, 16), 0);
  EXPECT_FALSE(file.seek(0));
  EXPECT_EQ(ui.beeps(), 1) << "one message for the open, none for the transfers";
  EXPECT_FALSE(std::filesystem::exists(name));
}

TEST_F(FileObjectsTest, RandomFileTransferOnAClosedFileIsReportedOnce) {
  const std::string name = path("closed.bin");
  ScriptedUi ui;
  TRndFile file(ui);
  ASSERT_TRUE(file.openForUpdate(name));
  file.close();
  EXPECT_FALSE(file.error());
  ui.expectError(name + kNotOpen);
  char buffer[4] = {};
  EXPECT_EQ(file.read(buffer, 4), 0);
  EXPECT_TRUE(file.error());
  EXPECT_EQ(file.write(buffer, 4), 0);  // silent now
  // Opening again clears both flags.
  ASSERT_TRUE(file.openForUpdate(name));
  EXPECT_FALSE(file.error());
  EXPECT_FALSE(file.end());
  EXPECT_EQ(file.write("abcd", 4), 4);
}

TEST_F(FileObjectsTest, RandomFileWritesSeeksAndReadsBytes) {
  const std::string name = path("random.bin");
  ScriptedUi ui;
  TRndFile file(ui);
  ASSERT_TRUE(file.openForUpdate(name));  // creates the missing file
  const std::string bytes =
      "0123\0"
      "56789"s;
  EXPECT_EQ(file.write(bytes.data(), 10), 10);
  EXPECT_EQ(file.size(), 10);
  ASSERT_TRUE(file.seek(3));
  char buffer[100] = {};
  // A short read at the end of the file is no error.
  EXPECT_EQ(file.read(buffer, 100), 7);
  EXPECT_EQ(file.count(), 7);
  EXPECT_EQ(std::string(buffer, 7), bytes.substr(3));
  EXPECT_EQ(file.read(buffer, 100), 0);
  EXPECT_EQ(file.read(buffer, -5), 0);
  EXPECT_FALSE(file.error());

  ui.expectError(name + ": Fehler beim Positionieren!");
  EXPECT_FALSE(file.seek(-1));
  EXPECT_FALSE(file.isOpen());
  EXPECT_TRUE(file.error());

  // create replaces the file by an empty one.
  ASSERT_TRUE(file.create(name));
  EXPECT_EQ(file.size(), 0);
  file.close();
  EXPECT_EQ(readBytes(name), "");
}

TEST_F(FileObjectsTest, ReadAndWriteErrorsAreReportedAndCloseTheFile) {
  ScriptedUi ui;
  // The kernel refuses to read unmapped memory of the process (address 0) with EIO.
  if (std::filesystem::exists("/proc/self/mem")) {
    ui.expectError("/proc/self/mem: Lesefehler!");
    TRndFile file(ui);
    ASSERT_TRUE(file.openForReading("/proc/self/mem"));
    char buffer[16];
    EXPECT_EQ(file.read(buffer, 16), 0);
    EXPECT_TRUE(file.error());
    EXPECT_FALSE(file.isOpen());
    EXPECT_NE(file.lastResult(), 0);
    EXPECT_EQ(file.read(buffer, 16), 0);  // silent
  }
  // A full disk: no byte fits beyond the limit.
  {
    const std::string name = path("full.txt");
    ui.expectError(name + ": Schreibfehler!");
    TTxtWFile file(ui);
    ASSERT_TRUE(file.open(name));
    test::FileSizeLimit limit(2);
    ASSERT_TRUE(limit.active());
    EXPECT_FALSE(file.writeLine("abc"));
    EXPECT_TRUE(file.error());
    EXPECT_TRUE(file.end());
    EXPECT_FALSE(file.isOpen());
    EXPECT_FALSE(file.writeText("more"));  // silent
  }
  EXPECT_EQ(ui.placements(), std::vector<int>(ui.beeps(), 4));
}

TEST_F(FileObjectsTest, TextWriterWritesCrLfLinesAndReplacesTheFile) {
  const std::string name = path("out.txt");
  writeBytes(name, std::string(1000, 'o'));
  ScriptedUi ui;
  TTxtWFile file(ui);
  ASSERT_TRUE(file.open(name));
  EXPECT_TRUE(file.writeLine("abc"));
  EXPECT_TRUE(file.writeLine(std::string(300, 'x')));
  EXPECT_TRUE(file.writeLine(""));
  EXPECT_TRUE(file.writeText("de"));
  EXPECT_TRUE(file.writeBufferLine("f\0g", 3));
  file.close();
  EXPECT_EQ(readBytes(name), "abc\r\n" + std::string(255, 'x') + "\r\n\r\nde" + "f\0g\r\n"s);

  // A closed writer refuses with a message.
  ui.expectError(name + kNotOpen);
  EXPECT_FALSE(file.writeLine("late"));
}

TEST_F(FileObjectsTest, CreatingOverASymbolicLinkReplacesTheLinkAndLeavesItsTargetAlone) {
  // A link planted under a work file's or a backup's name must not make the program overwrite the
  // file it points to.
  const std::string victim = path("victim.txt");
  writeBytes(victim, "keep");
  using Create = std::function<bool(ScriptedUi&, const std::string&)>;
  const std::pair<const char*, Create> creates[] = {
      {"random file created", [](ScriptedUi& ui, const std::string& n) { return TRndFile(ui).create(n); }},
      {"text writer", [](ScriptedUi& ui, const std::string& n) { return TTxtWFile(ui).open(n); }},
      {"file copy",
       [this](ScriptedUi& ui, const std::string& n) {
         writeBytes(path("source.txt"), "new");
         return TFileCopy(ui).copy(path("source.txt"), n) == TFileCopy::Result::Copied;
       }},
  };
  for (const auto& [what, create] : creates) {
    SCOPED_TRACE(what);
    const std::string link = path("work.$$a");
    std::filesystem::remove(link);
    ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
    ScriptedUi ui;
    EXPECT_TRUE(create(ui, link));
    EXPECT_TRUE(ui.allPlayed());
    EXPECT_EQ(readBytes(victim), "keep");
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode)) << "a file of its own took the link's place";
  }
}

TEST_F(FileObjectsTest, AppendFileCreatesAndAppends) {
  const std::string name = path("append.txt");
  ScriptedUi ui;
  for (const char* text : {"one", "two"}) {
    TTxtAFile file(ui);
    ASSERT_TRUE(file.open(name));
    EXPECT_TRUE(file.writeLine(text));
  }  // the destructor closes
  EXPECT_EQ(readBytes(name), "one\r\ntwo\r\n");
}

// Pseudo-random bytes, so that a shifted or repeated block shows.
std::string testBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) % 256);
  return bytes;
}

TEST_F(FileObjectsTest, CopyReadsBlocksUntilAShortOneAndKeepsTheDate) {
  struct CopyCase {
    std::size_t size;
    int reads;  // the loop ends on the first block shorter than 32768: size / 32768 + 1 reads
  };
  const CopyCase cases[] = {{0, 1}, {1, 1}, {32767, 1}, {32768, 2}, {65536, 3}, {100000, 4}};
  const FileTime date = 1'000'000'000'123'456'789;  // 2001-09-09 01:46:40.123456789 UTC
  for (const CopyCase& c : cases) {
    SCOPED_TRACE(c.size);
    const std::string source = path("source.bin");
    const std::string target = path("target.bin");
    writeBytes(source, testBytes(c.size));
    writeBytes(target, std::string(200000, 'z'));  // an older, longer target is replaced
    ASSERT_TRUE(SetFileDate(source, date));
    ScriptedUi ui;
    TFileCopy copier(ui);
    EXPECT_EQ(copier.copy(source, target), TFileCopy::Result::Copied);
    EXPECT_EQ(copier.readsDone(), c.reads);
    EXPECT_EQ(copier.bytesCopied(), static_cast<std::int64_t>(c.size));
    EXPECT_EQ(readBytes(target), testBytes(c.size));
    EXPECT_EQ(FileDate(target), date);
  }
}

TEST_F(FileObjectsTest, CopyFailuresAreReportedAndGiveFailed) {
  const std::string source = path("source.bin");
  writeBytes(source, testBytes(5000));
  const std::string plain = path("plain");
  writeBytes(plain, "a regular file, no directory");
  struct FailCase {
    std::string what;
    std::string source;
    std::string target;
    std::string message;
  };
  std::vector<FailCase> cases = {
      {"missing source", path("missing.bin"), path("t1.bin"), path("missing.bin") + kCannotOpen},
      // Tests run as root, so a write-protected directory would not stop them; a path through a
      // regular file fails for everybody.
      {"target directory is a regular file", source, plain + "/t.bin", plain + "/t.bin" + kCannotOpen},
  };
  // A device is no file to copy to.
  for (const char* device : {"/dev/full", "/dev/null"})
    if (std::filesystem::exists(device)) cases.push_back({device, source, device, device + kCannotOpen});
  for (const FailCase& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedUi ui;
    ui.expectError(c.message);
    EXPECT_EQ(CopyFile(ui, c.source, c.target), TFileCopy::Result::Failed);
    EXPECT_EQ(ui.placements(), std::vector<int>{4});
  }
  {
    SCOPED_TRACE("the disk is full after 1000 bytes");
    ScriptedUi ui;
    ui.expectError(path("t2.bin") + ": Schreibfehler!");
    test::FileSizeLimit limit(1000);
    ASSERT_TRUE(limit.active());
    EXPECT_EQ(CopyFile(ui, source, path("t2.bin")), TFileCopy::Result::Failed);
  }
  EXPECT_FALSE(std::filesystem::exists(path("t1.bin")));
  EXPECT_EQ(readBytes(source), testBytes(5000));
}

TEST_F(FileObjectsTest, CopyOntoItselfLeavesTheFileAlone) {
  const std::string source = path("self.bin");
  writeBytes(source, testBytes(40000));
  std::filesystem::create_hard_link(source, path("link.bin"));
  ScriptedUi ui;
  EXPECT_EQ(CopyFile(ui, source, source), TFileCopy::Result::Copied);
  EXPECT_EQ(CopyFile(ui, source, path("link.bin")), TFileCopy::Result::Copied);
  EXPECT_EQ(readBytes(source), testBytes(40000));
}

TEST_F(FileObjectsTest, CopyAsksForSpaceAgainUntilCancelled) {
  // A sparse source larger than the free space of the file system occupies no blocks itself.
  const std::string source = path("huge.bin");
  const std::string target = path("copy.bin");
  writeBytes(source, "");
  std::error_code ec;
  const std::uintmax_t available = std::filesystem::space(m_dir, ec).available;
  if (!ec) std::filesystem::resize_file(source, available + (std::uintmax_t{1} << 30), ec);
  ASSERT_FALSE(ec) << "a sparse file larger than the free space: " << ec.message();

  ScriptedUi ui;
  ui.expectWarning("Zu wenig Speicherplatz. Diskette wechseln!", true);  // OK: measure again
  ui.expectWarning("Zu wenig Speicherplatz. Diskette wechseln!", false);
  TFileCopy copier(ui);
  EXPECT_EQ(copier.copy(source, target), TFileCopy::Result::Cancelled);
  EXPECT_EQ(copier.readsDone(), 0);
  EXPECT_FALSE(std::filesystem::exists(target));
}

}  // namespace
}  // namespace veltrix
