#include "core/analysis/data_pass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/analysis/analysis_procedure.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

// Records every event with the record number and the first characters of the record.
class RecordingProcedure : public AnalysisProcedure {
 public:
  struct Seen {
    int event;
    std::string number;  // "*DSNR"
    std::string text;    // positions 1..200
  };
  bool event(int code, const RecordBuffer& record) override {
    Seen seen{code, {}, {}};
    if (code == kEventRecord || code == kEventLastRecord) {
      seen.number = std::string(record.field(kRecordNumberPosition, kRecordNumberLength));
      seen.text = std::string(record.field(1, 200));
    }
    events.push_back(seen);
    return static_cast<int>(events.size()) != failAt;
  }
  bool finishPass() override {
    events.push_back({kEventFinished, {}, {}});
    return true;
  }
  void cancel() override { events.push_back({kEventCancelled, {}, {}}); }
  void writeTables() override {}

  std::vector<int> codes() const {
    std::vector<int> c;
    for (const Seen& s : events) c.push_back(s.event);
    return c;
  }
  std::vector<Seen> events;
  int failAt = 0;  // the event (counted from 1) that reports a failure, as a full work file would
};

class DataPassTest : public test::TempDirTest {
 protected:
  DataPassTest() : TempDirTest("veltrix-data-pass") {}

  PassResult run(const std::string& content, int passes = 1) {
    const std::string file = path("s.dt1");
    writeBytes(file, content);
    TRunIt runIt(ui, procedure);
    return runIt.run(file, passes);
  }

  test::ScriptedUi ui;
  RecordingProcedure procedure;
};

TEST_F(DataPassTest, OneRecordIsSentAsTheLastRecordOnly) {
  const PassResult r = run("1abc\r\n");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(procedure.codes(), (std::vector<int>{0, 9, 10}));
  EXPECT_EQ(procedure.events[1].number, "     1");
  EXPECT_EQ(procedure.events[1].text.substr(0, 4), "abc ");
}

TEST_F(DataPassTest, LinesJoinWhileTheirNumbersIncrease) {
  // Line 3 after line 1 leaves positions 80..158 blank; two lines "1" are two records; an empty line
  // is skipped; a number character below "1" counts as line 1.
  const std::string content = "1first\r\n3third\r\n\r\n1second\r\n1third\r\n0zero\r\n";
  EXPECT_TRUE(run(content).ok);
  ASSERT_EQ(procedure.codes(), (std::vector<int>{0, 1, 1, 1, 9, 10}));
  const std::string& first = procedure.events[1].text;
  EXPECT_EQ(first.substr(0, 5), "first");
  EXPECT_EQ(first.substr(79, 79), std::string(79, ' '));
  EXPECT_EQ(first.substr(158, 5), "third");
  EXPECT_EQ(procedure.events[2].text.substr(0, 6), "second");
  EXPECT_EQ(procedure.events[3].number, "     3");
  EXPECT_EQ(procedure.events[4].text.substr(0, 4), "zero");
  EXPECT_EQ(procedure.events[4].number, "     4");
}

TEST_F(DataPassTest, TwoPassesRestartTheRecordNumbers) {
  EXPECT_TRUE(run("1a\r\n1b\r\n", 2).ok);
  EXPECT_EQ(procedure.codes(), (std::vector<int>{0, 1, 9, 11, 1, 9, 10}));
  EXPECT_EQ(procedure.events[4].number, "     1");
  EXPECT_EQ(procedure.events[5].number, "     2");
}

TEST_F(DataPassTest, EmptyMissingAndBlankFilesRunNothing) {
  for (const std::string content : {"", "\r\n\r\n", "\n"}) {
    procedure.events.clear();
    ui.expectError("Datei ist leer (oder nicht vorhanden)");
    const PassResult r = run(content);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(procedure.events.empty()) << "content of " << content.size() << " bytes";
  }
  ui.expectError("Datei ist leer (oder nicht vorhanden)");
  TRunIt runIt(ui, procedure);
  EXPECT_FALSE(runIt.run(path("missing.dt1"), 1).ok);
  EXPECT_TRUE(ui.allPlayed());
}

// A file of the given size (at least 80 bytes) in one-line records of 80 bytes and a last one of
// 80..159 bytes.
std::string FileOfBytes(std::size_t bytes) {
  std::string content;
  while (bytes - content.size() >= 160) content += "1" + std::string(77, 'x') + "\r\n";
  content += "1" + std::string(bytes - content.size() - 3, 'y') + "\r\n";
  return content;
}

TEST_F(DataPassTest, TheProgressBoxShowsAboveHalfAMillionBytes) {
  const std::string exact = FileOfBytes(500000);
  ASSERT_EQ(exact.size(), 500000u);
  EXPECT_TRUE(run(exact).ok);
  EXPECT_TRUE(ui.events().empty());
  EXPECT_TRUE(ui.cancelValues().empty());

  const std::string larger = FileOfBytes(500001);
  ASSERT_EQ(larger.size(), 500001u);
  EXPECT_TRUE(run(larger).ok);
  ASSERT_FALSE(ui.events().empty());
  EXPECT_EQ(ui.events().front(), "cancel open: Auswertung");
  EXPECT_EQ(ui.events().back(), "cancel close");
  // The bar moves every 200 records and ends at 100 percent.
  ASSERT_GE(ui.cancelValues().size(), 2u);
  EXPECT_DOUBLE_EQ(ui.cancelValues().back(), 100.0);
  for (std::size_t i = 1; i < ui.cancelValues().size(); ++i)
    EXPECT_LE(ui.cancelValues()[i - 1], ui.cancelValues()[i]);
}

TEST_F(DataPassTest, ACancelSendsTheCancelEventAndNoFinish) {
  ui.cancelOnUpdate(2);
  const PassResult r = run(FileOfBytes(600000));
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.cancelled);
  const std::vector<int> codes = procedure.codes();
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(codes.back(), kEventCancelled);
  // The record just read was sent: 400 records (two updates of 200) before the cancel.
  EXPECT_EQ(codes.size(), 1u + 400u + 1u);
  EXPECT_EQ(ui.events().back(), "cancel close");
}

TEST_F(DataPassTest, AFailingProcedureIsCancelledAndNotFinished) {
  procedure.failAt = 2;
  const PassResult r = run("1a\r\n1b\r\n1c\r\n");
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.cancelled);
  EXPECT_EQ(procedure.codes(), (std::vector<int>{0, 1, 99}));
}

TEST_F(DataPassTest, TheWriterDropsBlankLinesExceptTheFirst) {
  RecordBuffer buffer;
  buffer.write(1, "abc   ");
  buffer.write(159, "line three");
  TDataProc writer(ui);
  const std::string file = path("out.dt1");
  ASSERT_TRUE(writer.openRecordWriter(file));
  ASSERT_TRUE(writer.writeRecord(buffer));
  buffer.clear();
  ASSERT_TRUE(writer.writeRecord(buffer));
  ASSERT_TRUE(writer.closeRecordWriter());
  EXPECT_EQ(readBytes(file), "1abc\r\n3line three\r\n1\r\n");
}

}  // namespace
}  // namespace veltrix
