#include "core/shell/dispatch.h"

#include <gtest/gtest.h>

#include "core/base/win1252.h"
#include "core/shell/global_state.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;

std::vector<MenuItem> codedEntries() {
  std::vector<MenuItem> entries;
  for (const MenuItem& item : MainMenuItems())
    if (item.code != 0) entries.push_back(item);
  return entries;
}

TEST(Dispatch, WithoutAnyOwnerEveryCommandBeepsOrAsksForAFile) {
  int fileMessages = 0;
  for (const MenuItem& item : codedEntries()) {
    SCOPED_TRACE(std::to_string(item.code) + " " + win1252ToUtf8(item.caption));
    test::ScriptedUi ui;
    GlobalState state(ui);
    CommandDispatcher dispatcher(state);
    const bool needsFile = RouteOf(item.handler, item.code).needsFile;
    if (needsFile) {
      ui.expectError("Keine Datei ausgewählt"_w);
      ++fileMessages;
    }
    dispatcher.choose(item.handler, item.code);
    EXPECT_EQ(ui.beeps(), 1) << "the error box beeps, an unowned command beeps";
    if (needsFile) {
      EXPECT_EQ(state.commandCode, 0) << "a refused command is not recorded";
    }
  }
  // Hand count of the file-bound entries: data entry, manipulation, sorting, synchronous addition,
  // the two extractions and the structure rebuild (7), the analyses (25), groups, the structure menu
  // (3) and the error levels.
  EXPECT_EQ(fileMessages, 7 + 25 + 1 + 3 + 1);
}

TEST(Dispatch, WithAFileUnownedCommandsOnlyBeep) {
  test::ScriptedUi ui;
  GlobalState state(ui);
  state.currentFile = "/tmp/a.dt1";
  CommandDispatcher dispatcher(state);
  for (const MenuItem& item : codedEntries()) dispatcher.choose(item.handler, item.code);
  EXPECT_EQ(ui.beeps(), static_cast<int>(codedEntries().size()));
}

TEST(Dispatch, OwnersRunWithTheRecordedCodeAndReportChanges) {
  test::ScriptedUi ui;
  GlobalState state(ui);
  state.currentFile = "/tmp/a.dt1";
  CommandDispatcher dispatcher(state);
  std::vector<std::string> calls;
  dispatcher.setOnChange(
      [&](bool structureEntry) { calls.push_back(structureEntry ? "change+entry" : "change"); });
  dispatcher.setOwner(CommandOwner::Sorting, [&] {
    calls.push_back("sort " + std::to_string(state.commandCode));
    return true;  // the sorted file replaced the statistics file
  });
  dispatcher.setOwner(CommandOwner::Analysis, [&] {
    calls.push_back("analysis " + std::to_string(state.commandGroup) + "/" +
                    std::to_string(state.commandVariant));
    return true;  // analyses never change the file
  });
  dispatcher.setOwner(CommandOwner::Structure, [&] { return false; });
  dispatcher.setOwner(CommandOwner::PathPreset, [&] { return true; });

  dispatcher.choose(MenuHandler::Datei, 1500);
  dispatcher.choose(MenuHandler::Analyse, 19);
  dispatcher.choose(MenuHandler::Struct, 4060);  // reports no change
  dispatcher.choose(MenuHandler::Datei, 1700);   // the path preset never reports one
  EXPECT_EQ(calls, (std::vector<std::string>{"sort 1500", "change+entry", "analysis 1/9"}));
  EXPECT_EQ(state.commandCode, 1700);
  EXPECT_EQ(state.commandGroup, 170);
  EXPECT_EQ(ui.beeps(), 0);
}

TEST(Dispatch, TheManipulationSaysWhetherTheFileChanged) {
  test::ScriptedUi ui;
  GlobalState state(ui);
  state.currentFile = "/tmp/a.dt1";
  CommandDispatcher dispatcher(state);
  std::vector<std::string> calls;
  dispatcher.setOnChange(
      [&](bool structureEntry) { calls.push_back(structureEntry ? "change+entry" : "change"); });
  bool ran = false;  // a cancelled editor or group choice runs nothing
  dispatcher.setOwner(CommandOwner::Manipulation, [&] {
    calls.push_back("manip " + std::to_string(state.commandCode));
    return ran;
  });
  dispatcher.choose(MenuHandler::Datei, 1400);
  ran = true;
  dispatcher.choose(MenuHandler::Datei, 1400);
  EXPECT_EQ(calls, (std::vector<std::string>{"manip 1400", "manip 1400", "change+entry"}));
}

TEST(Dispatch, TheSortSaysWhetherTheFileChanged) {
  test::ScriptedUi ui;
  GlobalState state(ui);
  state.currentFile = "/tmp/a.dt1";
  CommandDispatcher dispatcher(state);
  int changes = 0;
  dispatcher.setOnChange([&](bool structureEntry) { changes += structureEntry ? 10 : 1; });
  bool sorted = false;  // a cancelled variable choice or sort leaves the file as it was
  dispatcher.setOwner(CommandOwner::Sorting, [&] { return sorted; });
  dispatcher.choose(MenuHandler::Datei, 1500);
  EXPECT_EQ(changes, 0);
  sorted = true;
  dispatcher.choose(MenuHandler::Datei, 1500);
  EXPECT_EQ(changes, 10);
}

TEST(Dispatch, NothingHappensWhileTheReadyFlagIsClear) {
  test::ScriptedUi ui;
  GlobalState state(ui);
  CommandDispatcher dispatcher(state);
  bool ran = false;
  dispatcher.setOwner(CommandOwner::PathPreset, [&] { return ran = true; });
  ui.flags().ready = false;
  dispatcher.choose(MenuHandler::Datei, 1700);
  dispatcher.choose(MenuHandler::Datei, 1500);  // no file message either
  EXPECT_FALSE(ran);
  EXPECT_EQ(ui.beeps(), 0);
  EXPECT_EQ(state.commandCode, 0);
}

TEST(Dispatch, ThePathPresetNeedsNoFileAndHelpCodesAreTheirOwn) {
  test::ScriptedUi ui;
  GlobalState state(ui);
  CommandDispatcher dispatcher(state);
  std::string ran;
  dispatcher.setOwner(CommandOwner::PathPreset, [&] { return ran += "path ", false; });
  dispatcher.setOwner(CommandOwner::HelpContents, [&] { return ran += "contents ", false; });
  dispatcher.setOwner(CommandOwner::Analysis, [&] { return ran += "analysis ", false; });
  dispatcher.choose(MenuHandler::Datei, 1700);
  dispatcher.choose(MenuHandler::Help, 101);  // not the analysis 101
  EXPECT_EQ(ran, "path contents ");
}

}  // namespace
}  // namespace veltrix
