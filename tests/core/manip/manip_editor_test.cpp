#include "core/manip/manip_editor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/datafile/params.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

using test::ScriptedUi;

class ManipEditorTest : public test::TempDirTest {
 protected:
  ManipEditorTest() : TempDirTest("veltrix-manip-editor") {}

  void SetUp() override {
    TempDirTest::SetUp();
    params.putVariable(1, "WERT", 1, 4);
    params.putVariable(2, "NAME>", 5, 6);
    params.putVariable(3, "ALTER", 11, 3);
    params.setVariableCount(3);
    commandFile = path("studie.bf1");
  }

  ScriptedUi ui;
  TParams params{ui};
  std::string commandFile;
};

TEST_F(ManipEditorTest, OpensTheFileAndListsTheVariablesWithTheAuxiliaryStores) {
  writeBytes(commandFile, "/ Kommentar\r\n[WERT] = 1\r\n");
  ManipEditorModel model(params, ui, commandFile);
  EXPECT_EQ(model.caption(), "Datenmanipulation - studie.bf1");
  EXPECT_EQ(model.lines(), (std::vector<std::string>{"/ Kommentar", "[WERT] = 1"}));
  EXPECT_FALSE(model.modified());
  const std::vector<std::string> unsorted = {"WERT      ", "NAME>     ", "ALTER     ", "*DSNR     ",
                                             "*H1",        "*H2",        "*H3",        "*H4",
                                             "*H5",        "*H6",        "*H7",        "*H8"};
  EXPECT_EQ(model.variableNames(), unsorted);
  model.setNamesSorted(true);
  EXPECT_EQ(model.variableNames()[0], "*DSNR     ");
  EXPECT_EQ(model.variableNames()[1], "ALTER     ");
  EXPECT_EQ(model.variableNames().back(), "*H8");
  model.setNamesSorted(false);
  EXPECT_EQ(model.variableNames(), unsorted);
  // A file that does not exist yet opens empty.
  ManipEditorModel fresh(params, ui, path("neu.bf1"));
  EXPECT_TRUE(fresh.lines().empty());
}

TEST_F(ManipEditorTest, ANameGoesInBracketsToTheCaret) {
  ManipEditorModel model(params, ui, commandFile);
  ManipCaret caret = model.insertName(0, {0, 0});
  EXPECT_EQ(model.lines(), std::vector<std::string>{"[WERT]"});
  EXPECT_EQ(caret, (ManipCaret{0, 6}));
  model.setLines({"[WERT] = ", "x"});
  caret = model.insertName(4, {0, 99});  // past the end of the line: at its end
  EXPECT_EQ(model.lines()[0], "[WERT] = [*H1]");
  EXPECT_EQ(caret, (ManipCaret{0, 14}));
  caret = model.insertName(1, {7, 0});  // past the last line: into the last line
  EXPECT_EQ(model.lines()[1], "[NAME>]x");
  EXPECT_EQ(caret, (ManipCaret{1, 7}));
  EXPECT_EQ(model.insertName(12, {0, 0}), (ManipCaret{0, 0}));  // no such name
  EXPECT_TRUE(model.modified());
}

TEST_F(ManipEditorTest, OkShowsACompileErrorAndSelectsTheFirstLineOfTheStatement) {
  writeBytes(commandFile, "");
  ManipEditorModel model(params, ui, commandFile);
  model.setLines({"/ c", "[WERT] = 1", "[NIX] = *", "  2"});
  ui.expectError("Unbekannte Variable auf linker Seite");
  const ManipEditorResult result = model.accept();
  EXPECT_EQ(result.action, ManipEditorResult::Action::Refused);
  EXPECT_EQ(result.lineToSelect, 2);
  EXPECT_EQ(readBytes(commandFile), "");  // nothing saved
}

TEST_F(ManipEditorTest, OkSavesAChangedTextAndAsksWhetherEditingEnds) {
  writeBytes(commandFile, "[WERT] = 1\r\n");
  ManipEditorModel model(params, ui, commandFile);
  model.setLines({"[WERT] = 2", "[ALTER] = [WERT] + 1"});
  ui.expectConfirm("Editieren beenden?", false);
  EXPECT_EQ(model.accept().action, ManipEditorResult::Action::KeepOpen);
  // "Nein" keeps the editor open with the text already saved.
  EXPECT_EQ(readBytes(commandFile), "[WERT] = 2\r\n[ALTER] = [WERT] + 1\r\n");
  EXPECT_FALSE(model.modified());
  EXPECT_FALSE(model.program().bytes.empty());
  // Unchanged since: "Ja" runs without writing the file again.
  std::filesystem::remove(commandFile);
  ui.expectConfirm("Editieren beenden?", true);
  EXPECT_EQ(model.accept().action, ManipEditorResult::Action::Run);
  EXPECT_FALSE(std::filesystem::exists(commandFile));
}

TEST_F(ManipEditorTest, LoadingAnotherFileReplacesTheTextButSavingGoesToTheFirst) {
  writeBytes(commandFile, "[WERT] = 1\r\n");
  writeBytes(path("other.bf2"), "[ALTER] = 5\r\n/ zwei\r\n");
  ManipEditorModel model(params, ui, commandFile);
  model.setLines({"geändert"});
  ASSERT_TRUE(model.loadCommandFile(path("other.bf2")));
  EXPECT_EQ(model.lines(), (std::vector<std::string>{"[ALTER] = 5", "/ zwei"}));
  EXPECT_FALSE(model.modified());
  model.setLines({"[ALTER] = 6"});
  ui.expectConfirm("Editieren beenden?", true);
  EXPECT_EQ(model.accept().action, ManipEditorResult::Action::Run);
  EXPECT_EQ(readBytes(commandFile), "[ALTER] = 6\r\n");
  EXPECT_EQ(readBytes(path("other.bf2")), "[ALTER] = 5\r\n/ zwei\r\n");
}

TEST_F(ManipEditorTest, TypedCharactersAndTheBusyState) {
  struct Case {
    char c;
    bool accepted;
  };
  const Case cases[] = {
      {'a', true},   {'[', true},   {' ', true},     {'\xE4', true} /* ä */, {'\x80', true} /* € */,
      {'\t', false}, {'\0', false}, {'\x7F', false}, {'\x81', false},        {'\x9D', false}};
  for (const Case& c : cases)
    EXPECT_EQ(ManipEditorModel::acceptsCharacter(c.c), c.accepted) << static_cast<int>(c.c);
  ManipEditorModel model(params, ui, commandFile);
  EXPECT_FALSE(model.busy());
  ui.flags().ready = false;
  EXPECT_TRUE(model.busy());
  ui.flags().ready = true;
  EXPECT_EQ(ManipEditorModel::helpRows().size(), 26U);
  EXPECT_EQ(ManipEditorModel::helpRows().back().first, "[*Hn]");
}

}  // namespace
}  // namespace veltrix
