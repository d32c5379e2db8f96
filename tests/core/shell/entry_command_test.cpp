#include "core/shell/entry_command.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/entry/input_model.h"
#include "core/shell/file_opening.h"
#include "core/shell/global_state.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/study_state_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using test::ScriptedUi;

class EntryCommandTest : public test::StudyStateTest {
 protected:
  EntryCommandTest() : StudyStateTest("veltrix-entry-command") {}

  void SetUp() override {
    StudyStateTest::SetUp();
    selectStudy({{"WERT", 1, 3}}, "1  1\r\n1  2\r\n");
  }
};

TEST_F(EntryCommandTest, TheWindowEditsTheFileAndTheCommandReportsTheChange) {
  int shown = 0;
  EXPECT_TRUE(EnterData(state, [&](InputModel& model) {
    ++shown;
    EXPECT_EQ(model.recordNumber(), 1);
    EXPECT_EQ(model.value(0), "1");
    model.setEditText("10");
    EXPECT_TRUE(model.close());
  }));
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(readBytes(state.currentFile), "1 10\r\n1  2\r\n\x1a");
  // The backup goes under the file's backup name.
  EXPECT_EQ(readBytes(path("studie.db1")).substr(0, 12), "1  1\r\n1  2\r\n");
}

TEST_F(EntryCommandTest, OnlyLookingChangesNothing) {
  EXPECT_FALSE(EnterData(state, [](InputModel& model) {
    EXPECT_TRUE(model.goToLast());
    EXPECT_EQ(model.recordNumber(), 2);
    EXPECT_TRUE(model.close());
  }));
}

TEST_F(EntryCommandTest, WithoutAFileOrVariablesNoWindowOpens) {
  int shown = 0;
  const auto window = [&](InputModel&) { ++shown; };
  state.params->setVariableCount(0);
  ui.expectInformation("Keine Eingabevariablen !");
  EXPECT_FALSE(EnterData(state, window));
  state.currentFile.clear();
  ui.expectError("Keine Datei ausgewählt"_w);
  EXPECT_FALSE(EnterData(state, window));
  EXPECT_EQ(shown, 0);
}

}  // namespace
}  // namespace veltrix
