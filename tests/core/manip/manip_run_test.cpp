#include "core/manip/manip_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/groups/group_language.h"
#include "core/manip/compiler.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using test::ScriptedUi;

constexpr std::string_view kCancelOpened = "cancel open: Datenmanipulation ausführen"_w;

// Records of three fields: GESCHL at 1 (1 character), WERT at 3 (4 characters), NAME> at 8 (6).
class ManipRunTest : public test::TempDirTest {
 protected:
  ManipRunTest() : TempDirTest("veltrix-manip-run") {}

  void SetUp() override {
    TempDirTest::SetUp();
    params.putVariable(1, "GESCHL", 1, 1);
    params.putVariable(2, "WERT", 3, 4);
    params.putVariable(3, "NAME>", 8, 6);
    params.setVariableCount(3);
    statFile = path("s.dt1");
    everyone = params.getGroup(0);
  }

  CommandProgram compile(const std::vector<std::string>& lines) {
    const ProgramResult result = CompileProgram(lines, params);
    EXPECT_TRUE(result.ok) << result.message;
    return result.program;
  }

  GroupRecord group(const std::string& definition) {
    const GroupCompileResult result = CompileGroupDefinition(params, {definition}, "G", "G");
    EXPECT_TRUE(result.ok) << result.message;
    return result.record;
  }

  // n one-line records "1 000k ANNA" / "2 000k BERT" alternating, k = 1..n.
  static std::string records(int n) {
    std::string text;
    for (int k = 1; k <= n; ++k) {
      const std::string value = std::to_string(k);
      text += "1" + std::string(k % 2 == 1 ? "1" : "2") + " " + std::string(4 - value.size(), '0') + value +
              (k % 2 == 1 ? " ANNA" : " BERT") + "\r\n";
    }
    return text;
  }

  ScriptedUi ui;
  TParams params{ui};
  std::string statFile;
  GroupRecord everyone{};
};

TEST_F(ManipRunTest, GroupZeroChangesEveryRecordAndTheOldFileBecomesTheBackup) {
  writeBytes(statFile, records(3));
  const ManipRunResult result = RunProgram(ui, statFile, compile({"[WERT] = [WERT] * 10"}), everyone);
  ASSERT_EQ(result.outcome, ManipRunResult::Outcome::Done);
  EXPECT_EQ(result.recordsRead, 3);
  EXPECT_EQ(result.recordsWritten, 3);
  // 1 * 10, 2 * 10, 3 * 10 right-aligned in four characters.
  EXPECT_EQ(readBytes(statFile), "11   10 ANNA\r\n12   20 BERT\r\n11   30 ANNA\r\n");
  EXPECT_EQ(readBytes(path("s.db1")), records(3));
  EXPECT_FALSE(std::filesystem::exists(path("s.$$$")));
  EXPECT_EQ(ui.events(), (std::vector<std::string>{std::string(kCancelOpened), "cancel close"}));
}

TEST_F(ManipRunTest, AnotherGroupChangesOnlyItsMembersAndKeepsTheOrder) {
  writeBytes(statFile, records(4));
  const ManipRunResult result =
      RunProgram(ui, statFile, compile({"[NAME>] = TXT:Frau"}), group("GESCHL : 2"));
  ASSERT_EQ(result.outcome, ManipRunResult::Outcome::Done);
  EXPECT_EQ(readBytes(statFile), "11 0001 ANNA\r\n12 0002 Frau\r\n11 0003 ANNA\r\n12 0004 Frau\r\n");
}

TEST_F(ManipRunTest, CopyRecordDoublesTheRecordsAndASecondRunReplacesTheBackup) {
  writeBytes(statFile, records(2));
  ManipRunResult result = RunProgram(ui, statFile, compile({"[WERT] = 7", "COPYDS", "[WERT] = 8"}), everyone);
  ASSERT_EQ(result.outcome, ManipRunResult::Outcome::Done);
  EXPECT_EQ(result.recordsRead, 2);
  EXPECT_EQ(result.recordsWritten, 4);
  // Each record first as COPYDS found it, then in its final state.
  EXPECT_EQ(readBytes(statFile), "11    7 ANNA\r\n11    8 ANNA\r\n12    7 BERT\r\n12    8 BERT\r\n");
  const std::string afterFirst = readBytes(statFile);
  result = RunProgram(ui, statFile, compile({"[NAME>] = APP:X"}), everyone);
  ASSERT_EQ(result.outcome, ManipRunResult::Outcome::Done);
  EXPECT_EQ(result.recordsWritten, 4);
  EXPECT_EQ(readBytes(path("s.db1")), afterFirst);
}

TEST_F(ManipRunTest, AuxiliaryStoresFiveToEightAccumulateOverTheRecordsOfARun) {
  writeBytes(statFile, records(4));
  // H5 counts the records, H1 is blank at the start of every record, so WERT = H1 + 1 is missing.
  const CommandProgram program =
      compile({"[*H5] = [*H5] + 1", "[WERT] = [*H5]", "[NAME>] = TXT:x", "[*H1] = 5"});
  ASSERT_EQ(RunProgram(ui, statFile, program, everyone).outcome, ManipRunResult::Outcome::Done);
  EXPECT_EQ(readBytes(statFile), "11    1 x\r\n12    2 x\r\n11    3 x\r\n12    4 x\r\n");
  // A new run starts from zero again.
  ASSERT_EQ(RunProgram(ui, statFile, compile({"[*H6] = [*H6] + [WERT]", "[WERT] = [*H6]"}), everyone).outcome,
            ManipRunResult::Outcome::Done);
  EXPECT_EQ(readBytes(statFile), "11    1 x\r\n12    3 x\r\n11    6 x\r\n12   10 x\r\n");
}

TEST_F(ManipRunTest, RecordsGrowAndShrinkByLines) {
  writeBytes(statFile, "11 0001 ANNA\r\n2abc\r\n12 0002\r\n");
  // A field in line 3 (position 159 = line 3, column 1) appears; line 2 is blanked and dropped.
  ASSERT_EQ(RunProgram(ui, statFile, compile({"[159.3] = 42", "[80.3>] = RPL:abc,"}), everyone).outcome,
            ManipRunResult::Outcome::Done);
  EXPECT_EQ(readBytes(statFile), "11 0001 ANNA\r\n3 42\r\n12 0002\r\n3 42\r\n");
}

TEST_F(ManipRunTest, CancelLeavesTheFileUnchangedAndNoWorkFile) {
  const std::string original = records(100);
  writeBytes(statFile, original);
  ui.cancelOnUpdate(1);
  const ManipRunResult result = RunProgram(ui, statFile, compile({"[WERT] = 1"}), everyone);
  EXPECT_EQ(result.outcome, ManipRunResult::Outcome::Cancelled);
  EXPECT_EQ(readBytes(statFile), original);
  EXPECT_FALSE(std::filesystem::exists(path("s.$$$")));
  EXPECT_FALSE(std::filesystem::exists(path("s.db1")));
  // The count was shown in steps of 20 records before the cancel took effect.
  ASSERT_FALSE(ui.cancelValues().empty());
  EXPECT_EQ(ui.cancelValues().front(), 20);
}

TEST_F(ManipRunTest, AFailedWriteIsReportedAndLeavesTheFileUnchanged) {
  const std::string original = records(5);
  writeBytes(statFile, original);
  writeBytes(path("s.db1"), "previous backup\r\n");
  ui.expectError(path("s.$$$") + ": Schreibfehler!");
  const ManipRunResult result = RunProgram(ui, statFile, compile({"[WERT] = 1", "COPYDS"}), everyone,
                                           ManipRunOptions{.failWriteAt = 3});
  EXPECT_EQ(result.outcome, ManipRunResult::Outcome::Failed);
  EXPECT_EQ(readBytes(statFile), original);
  EXPECT_EQ(readBytes(path("s.db1")), "previous backup\r\n");
  EXPECT_FALSE(std::filesystem::exists(path("s.$$$")));
}

TEST_F(ManipRunTest, AnEmptyOrMissingFileIsReported) {
  ui.expectError("Datei ist leer (oder nicht vorhanden)");
  EXPECT_EQ(RunProgram(ui, statFile, compile({"[WERT] = 1"}), everyone).outcome,
            ManipRunResult::Outcome::Empty);
  writeBytes(statFile, "\r\n\r\n");
  ui.expectError("Datei ist leer (oder nicht vorhanden)");
  EXPECT_EQ(RunProgram(ui, statFile, compile({"[WERT] = 1"}), everyone).outcome,
            ManipRunResult::Outcome::Empty);
  EXPECT_EQ(readBytes(statFile), "\r\n\r\n");
}

TEST_F(ManipRunTest, TheGroupListGivesTheNumbersADialogOffers) {
  EXPECT_EQ(GroupNumberOfListLine("{3  0: Gesamt"), 0);
  EXPECT_EQ(GroupNumberOfListLine("{3 17: Frauen"), 17);
  EXPECT_EQ(GroupNumberOfListLine("{3"), -1);
  EXPECT_EQ(GroupNumberOfListLine("{3 ab: x"), -1);
  EXPECT_EQ(ManipGroupNumbers(params), std::vector<int>{0});
  EXPECT_EQ(ManipWorkFileName("/d/studie.dt1"), "/d/studie.$$$");
}

}  // namespace
}  // namespace veltrix
