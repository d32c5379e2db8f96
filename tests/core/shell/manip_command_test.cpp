#include "core/shell/manip_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/manip/manip_editor.h"
#include "core/shell/file_opening.h"
#include "core/shell/global_state.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/study_state_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using test::ScriptedUi;

constexpr std::string_view kChooseTitle = "Befehlsdatei auswählen oder neu anlegen (neuer Dateiname)"_w;

class ManipCommandTest : public test::StudyStateTest {
 protected:
  ManipCommandTest() : StudyStateTest("veltrix-manip-command") {}

  void SetUp() override {
    StudyStateTest::SetUp();
    selectStudy({{"WERT", 1, 3}}, "1  1\r\n1  2\r\n");
  }

  // The editor as the window would run it: the user types the text and presses "OK" (the script
  // answers "Editieren beenden?").
  ManipEditorStep typing(std::vector<std::string> lines) {
    return [this, lines](ManipEditorModel& model) {
      EXPECT_EQ(model.commandFile(), path("studie.bf1"));
      model.setLines(lines);
      return model.accept().action == ManipEditorResult::Action::Run;
    };
  }
};

TEST_F(ManipCommandTest, ChoosesTheFileEditsItChoosesTheGroupAndRuns) {
  ui.expectFile(kChooseTitle, path("studie.bf1"));
  ui.expectConfirm("Editieren beenden?", true);
  ui.expectList("Datenmanipulation", 0);
  EXPECT_TRUE(EditAndRunCommands(state, typing({"[WERT] = [WERT] + 10"})));
  EXPECT_EQ(readBytes(state.currentFile), "1 11\r\n1 12\r\n");
  EXPECT_EQ(readBytes(path("studie.db1")), "1  1\r\n1  2\r\n");
  EXPECT_EQ(readBytes(path("studie.bf1")), "[WERT] = [WERT] + 10\r\n");
  const FileRequest& file = ui.lastFile();
  EXPECT_EQ(file.modes, "RAC");
  EXPECT_EQ(file.helpContext, 14100);
  EXPECT_EQ(file.filter, "Befehlsdateien (studie.bf*)|studie.bf*");
  EXPECT_EQ(file.initialDirectory, state.currentDirectory);
  const ListRequest& list = ui.lastList();
  EXPECT_EQ(list.label, "Ausführen für Gruppe :"_w);
  ASSERT_EQ(list.items.size(), 1U);
  EXPECT_EQ(list.items[0].substr(0, 13), "{3  0: Gesamt");
  EXPECT_EQ(list.helpNumber, 0);
  EXPECT_FALSE(list.sortButtons);
  EXPECT_TRUE(list.wide);
}

TEST_F(ManipCommandTest, EachCancelEndsWithoutARun) {
  ui.expectFile(kChooseTitle, std::nullopt);
  EXPECT_FALSE(EditAndRunCommands(state, typing({})));

  ui.expectFile(kChooseTitle, path("studie.bf1"));
  EXPECT_FALSE(EditAndRunCommands(state, [](ManipEditorModel&) { return false; }));

  ui.expectFile(kChooseTitle, path("studie.bf1"));
  ui.expectConfirm("Editieren beenden?", true);
  ui.expectList("Datenmanipulation", Ui::kListCancelled);
  EXPECT_FALSE(EditAndRunCommands(state, typing({"[WERT] = 5"})));
  EXPECT_EQ(readBytes(state.currentFile), "1  1\r\n1  2\r\n");
  EXPECT_FALSE(std::filesystem::exists(path("studie.db1")));
}

TEST_F(ManipCommandTest, WithoutAFileNothingIsAsked) {
  state.currentFile.clear();
  ui.expectError("Keine Datei ausgewählt"_w);
  EXPECT_FALSE(EditAndRunCommands(state, typing({})));
}

}  // namespace
}  // namespace veltrix
