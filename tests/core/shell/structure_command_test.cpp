#include "core/shell/structure_command.h"

#include <gtest/gtest.h>

#include <string>

#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/datafile/structure_edit.h"
#include "core/output/table_layout.h"
#include "core/shell/file_opening.h"
#include "core/shell/global_state.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/study_state_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using test::ScriptedUi;

class StructureCommandTest : public test::StudyStateTest {
 protected:
  StructureCommandTest() : StudyStateTest("veltrix-structure-command") {}

  void SetUp() override {
    StudyStateTest::SetUp();
    selectStudy({{"A", 1, 3}, {"B>", 4, 10}}, "");
    SelectionSlot slot{};
    slot[0] = 7;
    state.params->putSelectionSlot(3, slot);
    state.tables = std::make_unique<TTMnX>();
  }

  void command(int code) {
    state.commandCode = code;
    state.commandGroup = code / 10;
    state.commandVariant = code % 10;
  }

  // The variable table as stored in the parameter file.
  std::string storedTable() {
    ScriptedUi readerUi;
    TParams stored(readerUi);
    if (stored.read(state.parameterFileName) != ParamsReadStatus::Ok) return "unreadable";
    std::string text;
    for (int i = 1; i <= stored.variableCount(); ++i) {
      const VariableEntry e = stored.getVariable(i);
      text += e.name + "@" + std::to_string(e.position) + "." + std::to_string(e.length) + ";";
    }
    return text;
  }

  StructureDialogs dialogs;
  int warnings = 0;
};

TEST_F(StructureCommandTest, AppendStoresTheListClearsTheSelectionsAndWritesTheFile) {
  command(4010);
  dialogs.append = [](TNeuVar& dialog) {
    EXPECT_EQ(dialog.mode(), NeuVarMode::Append);
    EXPECT_TRUE(dialog.setEditText(StructureField::Name, "NEU"));
    EXPECT_TRUE(dialog.setEditText(StructureField::Length, "2"));
    EXPECT_EQ(dialog.enter(StructureField::Length), EntryOutcome::Stored);
    return true;
  };
  EXPECT_TRUE(RunStructureCommand(state, dialogs));
  EXPECT_EQ(storedTable(), "A         @1.3;B>        @4.10;NEU       @14.2;");
  EXPECT_EQ(state.params->selectionSlot(3)[0], 0);
  const VariableRef neu = state.params->findVariableByName("NEU");
  EXPECT_EQ(neu.index, 3);
  EXPECT_EQ(neu.position, 14);
}

TEST_F(StructureCommandTest, NothingIsStoredWithoutAChangeOrOnCancel) {
  command(4010);
  dialogs.append = [](TNeuVar&) { return true; };
  EXPECT_FALSE(RunStructureCommand(state, dialogs));
  dialogs.append = [](TNeuVar& dialog) {
    EXPECT_TRUE(dialog.setEditText(StructureField::Name, "NEU"));
    EXPECT_TRUE(dialog.setEditText(StructureField::Length, "2"));
    dialog.enter(StructureField::Length);
    return false;  // "Abbrechen"
  };
  EXPECT_FALSE(RunStructureCommand(state, dialogs));
  EXPECT_FALSE(std::filesystem::exists(state.parameterFileName));
  EXPECT_EQ(state.params->variableCount(), 2);
  EXPECT_EQ(state.params->selectionSlot(3)[0], 7);
}

TEST_F(StructureCommandTest, FreeDialogRenames) {
  command(4020);
  dialogs.free = [](TFreiV& dialog) {
    EXPECT_EQ(dialog.items().size(), 3u);
    dialog.selectItem(1);
    EXPECT_TRUE(dialog.setEditText(StructureField::Name, "TEXT>"));
    EXPECT_EQ(dialog.enter(StructureField::Name), EntryOutcome::Stored);
    return true;
  };
  EXPECT_TRUE(RunStructureCommand(state, dialogs));
  EXPECT_EQ(storedTable(), "A         @1.3;TEXT>     @4.10;");
  EXPECT_EQ(state.params->findVariableByName("B>").index, -1);
  EXPECT_EQ(state.params->findVariableByName("TEXT>").index, 2);
}

TEST_F(StructureCommandTest, RecomputeWarnsFirst) {
  command(4040);
  state.params->putVariable(2, "B>", 40, 10);  // a gap that the recompute closes
  dialogs.warning = [this] { return ++warnings, false; };
  dialogs.append = [](TNeuVar&) {
    ADD_FAILURE() << "the dialog opened after Abbrechen";
    return true;
  };
  EXPECT_FALSE(RunStructureCommand(state, dialogs));
  EXPECT_EQ(warnings, 1);
  EXPECT_EQ(ui.beeps(), 1);  // the warning comes with a beep

  dialogs.warning = [this] { return ++warnings, true; };
  dialogs.append = [](TNeuVar& dialog) {
    EXPECT_EQ(dialog.mode(), NeuVarMode::Recompute);
    EXPECT_TRUE(dialog.changed());
    return true;  // "OK" at once stores the recomputed layout
  };
  EXPECT_TRUE(RunStructureCommand(state, dialogs));
  EXPECT_EQ(storedTable(), "A         @1.3;B>        @4.10;");
}

TEST_F(StructureCommandTest, RecomputeIsRefusedWhileTheFileHoldsData) {
  command(4040);
  dialogs.warning = [this] { return ++warnings, true; };
  dialogs.append = [](TNeuVar&) { return true; };
  writeBytes(state.currentFile, "12345");  // 5 bytes: no data yet
  EXPECT_TRUE(RunStructureCommand(state, dialogs));
  EXPECT_EQ(warnings, 1);
  writeBytes(state.currentFile, "123456");
  EXPECT_FALSE(RunStructureCommand(state, dialogs));
  EXPECT_EQ(warnings, 1);
  EXPECT_EQ(ui.beeps(), 2);  // one with the warning, one for the refusal
}

TEST_F(StructureCommandTest, ListingWritesTheTableAndShowsIt) {
  command(4060);
  bool shown = false;
  dialogs.showListing = [&shown] { shown = true; };
  EXPECT_FALSE(RunStructureCommand(state, dialogs));
  EXPECT_TRUE(shown);
  EXPECT_EQ(state.tables->AnalysisCode, 4060);
}

}  // namespace
}  // namespace veltrix
