#include "core/groups/group_editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/groups/group_language.h"
#include "core/stats/real48.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;

std::string padded(std::string text, std::size_t width) {
  text.resize(width, ' ');
  return text;
}

std::string titleOf(const GroupRecord& g) {
  return std::string(g.begin() + kGroupNameOffset, g.begin() + kGroupNameOffset + kGroupNameLength);
}
std::string shortTitleOf(const GroupRecord& g) {
  return std::string(g.begin() + kGroupShortNameOffset,
                     g.begin() + kGroupShortNameOffset + kGroupShortNameLength);
}
std::vector<std::uint8_t> definitionOf(const GroupRecord& g) {
  return std::vector<std::uint8_t>(g.begin() + kGroupDefinitionOffset, g.end());
}

class GroupEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    params.putVariable(1, "GESCHL", 1, 1);
    params.putVariable(2, "ALTER", 2, 2);
    params.putVariable(3, "NAME>", 4, 8);
    params.setVariableCount(3);
  }

  // A group compiled from the lines, as the editor stores it.
  GroupRecord compiled(const std::vector<std::string>& lines, std::string_view title,
                       std::string_view shortTitle) {
    const GroupCompileResult result = CompileGroupDefinition(params, lines, title, shortTitle);
    EXPECT_TRUE(result.ok) << result.message;
    GroupRecord record = result.record;
    record[0] = 4;
    return record;
  }

  test::ScriptedUi ui;
  TParams params{ui};
};

TEST_F(GroupEditorTest, OpensWithTheStoredGroup) {
  const GroupRecord record = compiled({"GESCHL : 1", "ALTER : 20,-,29"}, "Junge Frauen", "JF");
  GroupEditorModel editor(params, ui, 4, record);
  EXPECT_EQ(editor.caption(), "Gruppe Nr. 4");
  EXPECT_EQ(GroupEditorModel::kHelpContext, 30100);
  EXPECT_EQ(editor.longTitle(), "Junge Frauen");
  EXPECT_EQ(editor.shortTitle(), "JF");
  EXPECT_EQ(editor.definitionLines(), RenderGroupDefinition(params, record));
  EXPECT_FALSE(editor.modified());
  EXPECT_EQ(editor.printHeading(), "Gruppe Nr. 4: Junge Frauen");

  const GroupEditorResult result = editor.accept();
  EXPECT_EQ(result.action, GroupEditorResult::Action::Unchanged);
  EXPECT_FALSE(result.record.has_value());
}

TEST_F(GroupEditorTest, AChangedDefinitionIsCompiled) {
  GroupEditorModel editor(params, ui, 4, compiled({"GESCHL : 1"}, "Frauen", "F"));
  editor.setDefinitionLines({"geschl : 1", "or", "alter : 20,-,29"});
  EXPECT_EQ(editor.definitionLines(), (std::vector<std::string>{"GESCHL : 1", "OR", "ALTER : 20,-,29"}));
  EXPECT_TRUE(editor.definitionModified());
  editor.setLongTitle("Frauen oder Junge");
  const GroupEditorResult result = editor.accept();
  ASSERT_EQ(result.action, GroupEditorResult::Action::Changed);
  ASSERT_TRUE(result.record.has_value());
  const GroupRecord expected = compiled({"GESCHL : 1", "OR", "ALTER : 20,-,29"}, "Frauen oder Junge", "F");
  EXPECT_EQ(definitionOf(*result.record), definitionOf(expected));
  EXPECT_EQ(titleOf(*result.record), padded("Frauen oder Junge", 35));
  EXPECT_EQ(shortTitleOf(*result.record), padded("F", 10));
}

TEST_F(GroupEditorTest, AFailedCompilationShowsTheMessageAndTheLine) {
  GroupEditorModel editor(params, ui, 4, compiled({"GESCHL : 1"}, "Frauen", "F"));
  editor.setDefinitionLines({"GESCHL : 1", "", "ALTER : 20,-"});
  ui.expectError("Falsche Verwendung von  ,-,");
  const GroupEditorResult result = editor.accept();
  EXPECT_EQ(result.action, GroupEditorResult::Action::Refused);
  EXPECT_EQ(result.lineToSelect, 2);
  EXPECT_FALSE(result.record.has_value());
  // The text stays for the user to mend.
  EXPECT_EQ(editor.definitionLines().size(), 3u);
}

TEST_F(GroupEditorTest, TitlesAloneKeepTheStoredDefinition) {
  // A value that the text shows with 8 decimals only: compiling the shown text would change it.
  GroupRecord record = compiled({"ALTER : 1"}, "Klein", "K");
  writeReal48(0.000012345678, record.data() + kGroupDefinitionOffset + 6);
  GroupEditorModel editor(params, ui, 4, record);
  const GroupRecord recompiled = compiled(editor.definitionLines(), "Klein", "K");
  ASSERT_NE(definitionOf(recompiled), definitionOf(record));

  editor.setLongTitle("Sehr klein");
  editor.setShortTitle("SK");
  EXPECT_TRUE(editor.titlesModified());
  EXPECT_FALSE(editor.definitionModified());
  const GroupEditorResult result = editor.accept();
  ASSERT_EQ(result.action, GroupEditorResult::Action::Changed);
  EXPECT_EQ(definitionOf(*result.record), definitionOf(record));
  EXPECT_EQ(titleOf(*result.record), padded("Sehr klein", 35));
  EXPECT_EQ(shortTitleOf(*result.record), padded("SK", 10));
}

TEST_F(GroupEditorTest, ChangesUndoneCountAsNone) {
  GroupEditorModel editor(params, ui, 4, compiled({"GESCHL : 1"}, "Frauen", "F"));
  const std::vector<std::string> opened = editor.definitionLines();
  editor.setDefinitionLines({"GESCHL : 2"});
  editor.setLongTitle("Männer"_w);
  EXPECT_TRUE(editor.modified());
  editor.setDefinitionLines(opened);
  editor.setLongTitle("Frauen");
  EXPECT_FALSE(editor.modified());
  EXPECT_EQ(editor.accept().action, GroupEditorResult::Action::Unchanged);
}

TEST_F(GroupEditorTest, TitlesAreCutAndTypedTextUpperCased) {
  GroupEditorModel editor(params, ui, 4, GroupRecord{});
  editor.setLongTitle(std::string(40, 'L'));
  editor.setShortTitle("ABCDEFGHIJKL");
  EXPECT_EQ(editor.longTitle(), std::string(35, 'L'));
  EXPECT_EQ(editor.shortTitle(), "ABCDEFGHIJ");
  EXPECT_EQ(GroupEditorModel::typedCharacter('a'), 'A');
  EXPECT_EQ(GroupEditorModel::typedCharacter("ä"_w[0]), "Ä"_w[0]);
  EXPECT_EQ(GroupEditorModel::typedCharacter(':'), ':');
}

TEST_F(GroupEditorTest, VariableNamesInFileOrderOrSortedGoToTheCaret) {
  GroupEditorModel editor(params, ui, 4, GroupRecord{});
  EXPECT_EQ(editor.variableNames(),
            (std::vector<std::string>{"GESCHL    ", "ALTER     ", "NAME>     ", "*DSNR     "}));
  editor.setNamesSorted(true);
  EXPECT_TRUE(editor.namesSorted());
  EXPECT_EQ(editor.variableNames(),
            (std::vector<std::string>{"*DSNR     ", "ALTER     ", "GESCHL    ", "NAME>     "}));

  editor.setDefinitionLines({"NOT , : 1"});
  const EditorCaret caret = editor.insertName(2, {0, 6});
  EXPECT_EQ(editor.definitionLines(), std::vector<std::string>{"NOT , GESCHL: 1"});
  EXPECT_EQ(caret, (EditorCaret{0, 12}));
  // A caret past the text goes to its end; an empty text gets its first line.
  editor.setDefinitionLines({});
  EXPECT_EQ(editor.insertName(1, {3, 9}), (EditorCaret{0, 5}));
  EXPECT_EQ(editor.definitionLines(), std::vector<std::string>{"ALTER"});
  EXPECT_EQ(editor.insertName(7, {0, 1}), (EditorCaret{0, 1}));
  EXPECT_EQ(editor.definitionLines(), std::vector<std::string>{"ALTER"});

  editor.setNamesSorted(false);
  EXPECT_EQ(editor.variableNames().front(), "GESCHL    ");
}

}  // namespace
}  // namespace veltrix
