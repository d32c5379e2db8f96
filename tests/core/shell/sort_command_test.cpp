#include "core/shell/sort_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/shell/file_opening.h"
#include "core/shell/global_state.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/study_state_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using test::ScriptedUi;

constexpr std::string_view kUnsorted = "1  3 b\r\n1 -1 c\r\n1  3 a\r\n";

class SortCommandTest : public test::StudyStateTest {
 protected:
  SortCommandTest() : StudyStateTest("veltrix-sort-command") {}

  void SetUp() override {
    StudyStateTest::SetUp();
    selectStudy({{"WERT", 1, 3}, {"NAME>", 5, 1}}, std::string(kUnsorted));
  }
};

TEST_F(SortCommandTest, OffersEveryVariableAndSortsByTheChosenOne) {
  ui.expectList("Datei sortieren", 0);
  EXPECT_TRUE(SortCurrentFile(state));
  const ListRequest& list = ui.lastList();
  EXPECT_EQ(list.label, std::string_view("Variable für Sortierung auswählen :"_w));
  EXPECT_EQ(list.items, (std::vector<std::string>{"WERT      ", "NAME>     ", "*DSNR     "}));
  EXPECT_EQ(list.helpNumber, 15000);
  // -1 first, the two 3 in their order.
  EXPECT_EQ(readBytes(state.currentFile), "1 -1 c\r\n1  3 b\r\n1  3 a\r\n");
  EXPECT_EQ(readBytes(path("studie.db1")), kUnsorted);
  EXPECT_EQ(ui.events(), (std::vector<std::string>{"cancel open: Sortieren nach WERT", "cancel close"}));
}

TEST_F(SortCommandTest, ATextVariableSortsByItsCharacters) {
  ui.expectList("Datei sortieren", 1);
  EXPECT_TRUE(SortCurrentFile(state));
  EXPECT_EQ(readBytes(state.currentFile), "1  3 a\r\n1  3 b\r\n1 -1 c\r\n");
  EXPECT_EQ(ui.events().front(), "cancel open: Sortieren nach NAME>");
}

TEST_F(SortCommandTest, TheRecordNumberKeepsTheOrder) {
  ui.expectList("Datei sortieren", 2);
  EXPECT_TRUE(SortCurrentFile(state));
  EXPECT_EQ(readBytes(state.currentFile), kUnsorted);
  EXPECT_EQ(readBytes(path("studie.db1")), kUnsorted);
}

TEST_F(SortCommandTest, CancellingTheListDoesNothing) {
  ui.expectList("Datei sortieren", Ui::kListCancelled);
  EXPECT_FALSE(SortCurrentFile(state));
  EXPECT_EQ(readBytes(state.currentFile), kUnsorted);
  EXPECT_FALSE(std::filesystem::exists(path("studie.db1")));
  EXPECT_TRUE(ui.events().empty());
}

TEST_F(SortCommandTest, ACancelledSortIsNoChange) {
  // The dialog counts every 20 records: the user cancels at the first count.
  std::string many;
  for (int i = 0; i < 50; ++i) many += "1" + std::to_string(90 - i) + "\r\n";
  writeBytes(state.currentFile, many);
  ui.expectList("Datei sortieren", 0);
  ui.cancelOnUpdate(1);
  EXPECT_FALSE(SortCurrentFile(state, SortOptions{.updateInterval = std::chrono::milliseconds(0)}));
  EXPECT_EQ(readBytes(state.currentFile), many);
  EXPECT_FALSE(std::filesystem::exists(path("studie.db1")));
}

TEST_F(SortCommandTest, WithoutAFileNothingIsOffered) {
  state.currentFile.clear();
  ui.expectError("Keine Datei ausgewählt"_w);
  EXPECT_FALSE(SortCurrentFile(state));
}

}  // namespace
}  // namespace veltrix
