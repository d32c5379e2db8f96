#include "core/shell/file_opening.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/base/file_prompts.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "core/datafile/params.h"
#include "core/output/print_manager.h"
#include "core/shell/global_state.h"
#include "core/shell/startup.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
namespace fs = std::filesystem;

const std::string kCannotOpen(": Datei kann nicht geöffnet werden!"_w);
const std::string kNoParameterFile("Parameterdatei existiert nicht!\r\n\r\n   Neu anlegen?");

class FileOpeningTest : public test::TempDirTest {
 protected:
  FileOpeningTest() : TempDirTest("veltrix-file-opening") {}

  // A parameter file with one variable, so that it can be told from the default contents.
  void writeParameterFile(const std::string& name) {
    test::ScriptedUi quiet;
    TParams params(quiet);
    params.setFileName(path(name));
    params.putVariable(1, "ALTER", 1, 3);
    params.setVariableCount(1);
    ASSERT_TRUE(params.write());
  }
  void makeStudy(const std::string& dataFile, const std::string& paramFile) {
    writeBytes(path(dataFile), "1 42\r\n");
    writeParameterFile(paramFile);
  }
  // Opens name with a fresh parameter object; the state stays for inspection.
  std::unique_ptr<GlobalState> open(test::ScriptedUi& ui, const std::string& name, OpenMode mode) {
    auto state = std::make_unique<GlobalState>(ui);
    state->params = std::make_unique<TParams>(ui);
    state->currentFile = name;
    OpenStatisticsFile(*state, mode);
    return state;
  }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(FileOpeningTest, StatisticsFilesOfAnyCaseOpenWithTheirCompanions) {
  struct Case {
    std::string dataFile, paramFile, backup;
  };
  const Case cases[] = {
      {"STUDIE.DT1", "STUDIE.PRM", "STUDIE.DB1"},
      {"x.Dt", "x.prm", "x.Db"},
      {"sub.dtd/a.dt2", "sub.dtd/a.prm", "sub.dtd/a.db2"},  // a directory is never touched
      // Files copied from other systems: the parameter file differs from the derived name in case.
      {"befund.dt1", "BEFUND.PRM", "befund.db1"},
      {"Daten.DT3", "daten.Prm", "Daten.DB3"},
  };
  fs::create_directory(m_dir / "sub.dtd");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dataFile);
    makeStudy(c.dataFile, c.paramFile);
    for (const OpenMode mode : {OpenMode::Startup, OpenMode::Interactive}) {
      test::ScriptedUi ui;  // no question, no message
      const auto state = open(ui, path(c.dataFile), mode);
      ASSERT_TRUE(state->fileSelected());
      EXPECT_EQ(state->parameterFileName, path(c.paramFile));
      EXPECT_EQ(state->backupFileName, path(c.backup));
      EXPECT_EQ(state->params->variableCount(), 1) << "the parameter file found was read";
      EXPECT_TRUE(ui.allPlayed());
    }
  }
  EXPECT_EQ(entries(), (std::vector<std::string>{"BEFUND.PRM", "Daten.DT3", "STUDIE.DT1", "STUDIE.PRM",
                                                 "befund.dt1", "daten.Prm", "sub.dtd", "x.Dt", "x.prm"}))
      << "no second parameter file was created";
}

TEST_F(FileOpeningTest, SavingWritesBackToTheParameterFileFoundAndItsBackupFollowsItsCase) {
  makeStudy("studie.dt1", "STUDIE.PRM");
  test::ScriptedUi ui;
  const auto state = open(ui, path("studie.dt1"), OpenMode::Interactive);
  ASSERT_TRUE(state->fileSelected());
  state->params->putVariable(2, "GEWICHT", 10, 5);
  state->params->setVariableCount(2);
  ASSERT_TRUE(state->params->write());
  EXPECT_EQ(entries(), (std::vector<std::string>{"STUDIE.PRB", "STUDIE.PRM", "studie.dt1"}));
  TParams again(ui);
  ASSERT_EQ(again.read(path("STUDIE.PRM")), ParamsReadStatus::Ok);
  EXPECT_EQ(again.variableCount(), 2);
}

TEST_F(FileOpeningTest, NamesThatAreNoStatisticsFilesAreDeselected) {
  // The file name's extension counts, not a ".dt" anywhere in the path.
  fs::create_directory(m_dir / "d.dtx");
  writeBytes(path("d.dtx/notes.txt"), "x");
  writeBytes(path("a.dtx.txt"), "x");
  for (const std::string& name : {path("d.dtx/notes.txt"), path("a.dtx.txt"), path("dt1")}) {
    SCOPED_TRACE(name);
    test::ScriptedUi ui;
    const auto state = open(ui, name, OpenMode::Interactive);
    EXPECT_FALSE(state->fileSelected());
    EXPECT_EQ(state->parameterFileName, "");
  }
  EXPECT_FALSE(fs::exists(path("d.dtx/notes.prm")));
}

TEST_F(FileOpeningTest, AnythingButARegularFileIsRefusedWithTheFileLayersMessage) {
  // None of these may end the program (a throwing file-system call did), block it (a named pipe
  // did) or be taken for a statistics file (a directory was).
  fs::create_directory(m_dir / "b.dt1");
  ASSERT_EQ(::mkfifo(path("p.dt1").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("l.dt1", path("l.dt1").c_str()), 0);
  const std::string longName = path(std::string(300, 'l') + ".dt1");
  for (const std::string& name : {path("b.dt1"), path("p.dt1"), path("l.dt1"), longName}) {
    SCOPED_TRACE(name.substr(m_dir.string().size(), 40));
    for (const OpenMode mode : {OpenMode::Startup, OpenMode::Interactive}) {
      test::ScriptedUi ui;
      ui.expectError(name + kCannotOpen);
      const auto state = open(ui, name, mode);
      EXPECT_FALSE(state->fileSelected());
      EXPECT_TRUE(ui.allPlayed());
      EXPECT_EQ(ui.placements(), std::vector<int>{4});
    }
  }
  EXPECT_EQ(entries(), (std::vector<std::string>{"b.dt1", "l.dt1", "p.dt1"})) << "no parameter file was made";
}

TEST_F(FileOpeningTest, AParameterFileThatCannotBeReadDeselectsTheFile) {
  struct Case {
    const char* what;
    std::function<void(const std::string&)> make;
  };
  const Case cases[] = {
      {"a link to itself", [](const std::string& prm) { ::symlink(prm.c_str(), prm.c_str()); }},
      {"a named pipe", [](const std::string& prm) { ::mkfifo(prm.c_str(), 0600); }},
      {"a directory", [](const std::string& prm) { fs::create_directory(prm); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
    writeBytes(path("s.dt1"), "1 42\r\n");
    c.make(path("s.prm"));
    for (const OpenMode mode : {OpenMode::Startup, OpenMode::Interactive}) {
      test::ScriptedUi ui;
      ui.expectError(path("s.prm") + kCannotOpen);
      ui.expectError("Fehler beim Lesen der Parameterdatei " + path("s.prm"));
      const auto state = open(ui, path("s.dt1"), mode);
      EXPECT_FALSE(state->fileSelected());
      EXPECT_TRUE(ui.allPlayed());
    }
    EXPECT_EQ(entries(), (std::vector<std::string>{"s.dt1", "s.prm"})) << "nothing replaced it";
  }
}

TEST_F(FileOpeningTest, ANewFileGetsItsParameterFileFirst) {
  test::ScriptedUi ui;
  ui.expectConfirm(createText("neu.dt1"), true);
  const auto state = open(ui, path("neu.dt1"), OpenMode::Interactive);
  ASSERT_TRUE(state->fileSelected());
  EXPECT_EQ(FileSize(path("neu.dt1")), 0);
  EXPECT_GT(FileSize(path("neu.prm")), 128) << "the default contents";
  EXPECT_EQ(entries(), (std::vector<std::string>{"neu.dt1", "neu.prm"}));

  // A name that cannot be created leaves nothing behind, not even a parameter file.
  test::ScriptedUi refused;
  refused.expectConfirm(createText("neu.dt1"), true);
  refused.expectError(cannotCreateText("neu.dt1"));
  EXPECT_FALSE(open(refused, path("missing/neu.dt1"), OpenMode::Interactive)->fileSelected());
  EXPECT_TRUE(refused.allPlayed());
  EXPECT_EQ(entries(), (std::vector<std::string>{"neu.dt1", "neu.prm"}));
}

TEST_F(FileOpeningTest, PromptsShowTheNameAsTextNotAsItsBytes) {
  struct Case {
    std::string fileName;  // file-system bytes (UTF-8)
    std::string shown;     // Windows-1252, as the box shows it
  };
  const Case cases[] = {
      {"gr\xC3\xB6\xC3\x9F"
       "e.dt1",
       std::string("größe.dt1"_w)},
      {"zwei\nZeilen.dt1", "zwei?Zeilen.dt1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    test::ScriptedUi ui;
    ui.expectConfirm(createText(c.shown), false);
    EXPECT_FALSE(open(ui, path(c.fileName), OpenMode::Interactive)->fileSelected());
    EXPECT_TRUE(ui.allPlayed());
  }
}

TEST_F(FileOpeningTest, CaptionAndPrintHeadingShowTheNameAsTextWhileProtocolFilesKeepItsBytes) {
  const std::string name =
      "gr\xC3\xB6\xC3\x9F"
      "e";  // UTF-8 on the disk
  makeStudy(name + ".dt1", name + ".prm");
  test::ScriptedUi ui;
  auto state = std::make_unique<GlobalState>(ui);
  state->params = std::make_unique<TParams>(ui);
  state->printer = std::make_unique<TPrnManager>(ui);
  state->titleWord = "KVT";
  state->currentFile = path(name + ".dt1");
  OpenStatisticsFile(*state, OpenMode::Interactive);
  ASSERT_TRUE(state->fileSelected());
  EXPECT_EQ(WindowCaption(*state), "KVT - größe.dt1"_w);
  EXPECT_EQ(state->printer->jobTitle(), "größe.dt1"_w);
  // Protocol files are named after the file's own bytes, so that they lie beside it under its name.
  EXPECT_EQ(state->shortName, name);
  EXPECT_TRUE(ui.allPlayed());
}

// The states a create stopped at any moment can leave, and what opening the file then does.
TEST_F(FileOpeningTest, EveryStateAnInterruptedCreateLeavesOpensOrIsCompleted) {
  struct Case {
    const char* what;
    bool dataFile;       // an empty x.dt1
    bool parameterFile;  // x.prm with one variable
    OpenMode mode;
    std::vector<std::string> questions;  // each answered Yes
    bool selected;
    int variables;  // of the structure read afterwards: 1 for the own parameter file, 0 for a new one
  };
  const Case cases[] = {
      {"an empty statistics file without a parameter file, chosen",
       true,
       false,
       OpenMode::Interactive,
       {kNoParameterFile},
       true,
       0},
      {"the same at the start", true, false, OpenMode::Startup, {}, false, 0},
      {"a parameter file without its statistics file, chosen",
       false,
       true,
       OpenMode::Interactive,
       {createText("x.dt1")},
       true,
       1},
      {"nothing but stray temporary files, chosen",
       false,
       false,
       OpenMode::Interactive,
       {createText("x.dt1")},
       true,
       0},
      {"a complete pair, chosen", true, true, OpenMode::Interactive, {}, true, 1},
      {"a complete pair at the start", true, true, OpenMode::Startup, {}, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
    // Whatever an interrupted save leaves under a temporary name never stands in the way.
    writeBytes(path("x.pr$"), std::string(40, 'x'));
    writeBytes(path("x.pr$-K3X0QZ7A"), "");
    if (c.dataFile) writeBytes(path("x.dt1"), "");
    if (c.parameterFile) writeParameterFile("x.prm");
    test::ScriptedUi ui;
    for (const std::string& question : c.questions) ui.expectConfirm(question, true);
    const auto state = open(ui, path("x.dt1"), c.mode);
    EXPECT_TRUE(ui.allPlayed());
    EXPECT_EQ(state->fileSelected(), c.selected);
    if (!c.selected) continue;
    EXPECT_EQ(state->params->variableCount(), c.variables);
    EXPECT_EQ(FileSize(path("x.dt1")), 0);
    TParams onDisk(ui);
    ASSERT_EQ(onDisk.read(path("x.prm")), ParamsReadStatus::Ok);
    EXPECT_EQ(onDisk.variableCount(), c.variables);
    EXPECT_EQ(entries(), (std::vector<std::string>{"x.dt1", "x.pr$", "x.pr$-K3X0QZ7A", "x.prm"}));
  }
}

TEST_F(FileOpeningTest, ALastFileTheSystemCannotLookAtIsForgottenAtTheStart) {
  // Once such a name was the last file, every later start ended at once.
  ASSERT_EQ(::symlink("l.dt1", path("l.dt1").c_str()), 0);
  makeStudy("s.dt1", "s.prm");
  ASSERT_EQ(::unlink(path("s.prm").c_str()), 0);
  ASSERT_EQ(::symlink("s.prm", path("s.prm").c_str()), 0);
  struct Case {
    std::string lastFile;
    std::vector<std::string> errors;
  };
  const Case cases[] = {
      {path("l.dt1"), {}},
      {path(std::string(300, 'l') + ".dt1"), {}},  // cut to 255 bytes when read back
      // The statistics file is fine, its parameter file is a link to itself.
      {path("s.dt1"), {path("s.prm") + kCannotOpen, "Fehler beim Lesen der Parameterdatei " + path("s.prm")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lastFile.substr(m_dir.string().size(), 40));
    ASSERT_TRUE(WriteLineFile(path("veltrix.fil"), c.lastFile));
    test::ScriptedUi ui;
    for (const std::string& error : c.errors) ui.expectError(error);
    GlobalState state(ui);
    StartupEnvironment environment;
    environment.executablePath = path("veltrix");
    environment.randomSeed = 7u;
    environment.millisecondsOfDay = 45'296'789;
    BuildProgramState(state, environment);
    FinishStartup(state, environment);
    EXPECT_FALSE(state.fileSelected());
    EXPECT_EQ(state.titleWord, "KVT") << "the start went through";
    EXPECT_TRUE(ui.allPlayed());
  }
}

}  // namespace
}  // namespace veltrix

namespace veltrix {
namespace {

class SettingsOnOpeningTest : public test::TempDirTest {
 protected:
  SettingsOnOpeningTest() : TempDirTest("veltrix-settings-opening") {}
};

TEST_F(SettingsOnOpeningTest,
       TheParameterFilesSettingsBecomeTheWorkingCopyAndAFileWithoutThemGetsTheDefaults) {
  // a.dt1 has two-sided tests at 0.1 and 0.02, parametric, whisker index 2.
  writeBytes(path("a.dt1"), "1 42\r\n");
  {
    test::ScriptedUi quiet;
    TParams params(quiet);
    params.setFileName(path("a.prm"));
    ParamSettings s;
    s.testKind = 2;
    s.errorProbabilityA = 0.1;
    s.errorProbabilityB = 0.02;
    s.testMethod = 0;
    s.whiskerIndex = 2;
    params.setSettings(s);
    ASSERT_TRUE(params.write());
  }
  test::ScriptedUi ui;
  ui.expectConfirm("Parameterdatei existiert nicht!\r\n\r\n   Neu anlegen?", false);
  GlobalState state(ui);
  state.params = std::make_unique<TParams>(ui);
  state.currentFile = path("a.dt1");
  OpenStatisticsFile(state, OpenMode::Startup);
  ASSERT_TRUE(state.fileSelected());
  EXPECT_EQ(state.significance.sides, 2);
  EXPECT_NEAR(state.significance.alpha1, 0.1, 1e-9);
  EXPECT_NEAR(state.significance.alpha2, 0.02, 1e-9);
  EXPECT_EQ(state.significance.legend, "+:p<0.1  x:p<0.02");
  EXPECT_EQ(state.significance.sidednessText, "(zweis.)");
  EXPECT_EQ(state.preferredTestMethod, 0);
  EXPECT_DOUBLE_EQ(state.whiskerFactor, 2.0001);

  // The next file has no parameter file and the user declines to create one: no file, and the
  // levels are the defaults again, not those of a.dt1.
  writeBytes(path("b.dt1"), "1 42\r\n");
  state.currentFile = path("b.dt1");
  OpenStatisticsFile(state, OpenMode::Interactive);
  EXPECT_FALSE(state.fileSelected());
  EXPECT_EQ(state.significance.sides, 1);
  EXPECT_DOUBLE_EQ(state.significance.alpha1, 0.05);
  EXPECT_DOUBLE_EQ(state.significance.alpha2, 0.01);
  EXPECT_EQ(state.significance.legendHeading, "+:p<0.05  x:p<0.01 (eins.)");
  EXPECT_EQ(state.preferredTestMethod, 1);
  EXPECT_DOUBLE_EQ(state.whiskerFactor, 1.0001);
  EXPECT_TRUE(ui.allPlayed());
}

}  // namespace
}  // namespace veltrix
