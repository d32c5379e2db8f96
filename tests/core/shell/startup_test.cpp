#include "core/shell/startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "core/base/file_prompts.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "core/datafile/params.h"
#include "core/output/print_manager.h"
#include "core/shell/file_opening.h"
#include "core/shell/global_state.h"
#include "core/shell/sys_params.h"
#include "tests/support/recording_print_sink.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
namespace fs = std::filesystem;

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() /
            ("veltrix_startup_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  std::string path(const std::string& name) const { return (m_dir / name).string(); }
  StartupEnvironment environment(const std::string& program = "veltrix") const {
    StartupEnvironment env;
    env.executablePath = path(program);
    env.screenWidth = 1280;
    env.screenHeight = 800;
    env.randomSeed = 7u;
    env.millisecondsOfDay = 45'296'789;
    return env;
  }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }
  // A statistics file with a default parameter file of its own.
  void makeStudy(const std::string& dataFile, const std::string& paramFile) {
    write(dataFile, "1 42\r\n");
    test::ScriptedUi quiet;
    TParams params(quiet);
    ASSERT_TRUE(params.createDefault(path(paramFile)));
  }
  void startUp(GlobalState& state, const std::string& program = "veltrix") {
    BuildProgramState(state, environment(program));
    FinishStartup(state, environment(program));
  }

  fs::path m_dir;
};

TEST_F(StartupTest, WithoutCompanionFilesTheProgramDirectoryServesAndDefaultsAreSaved) {
  test::ScriptedUi ui;
  GlobalState state(ui);
  startUp(state);
  EXPECT_EQ(state.programDirectory, m_dir.string());
  EXPECT_EQ(state.baseName, "veltrix");
  EXPECT_EQ(state.dataPath, m_dir.string()) << "no data subdirectory: the program directory";
  EXPECT_FALSE(state.fileSelected());
  EXPECT_EQ(state.titleWord, "KVT");
  EXPECT_EQ(WindowCaption(state), "KVT");
  EXPECT_EQ(state.currentHelpContext, 90000);
  EXPECT_EQ(FileSize(path("veltrix.sys")), 1026) << "a first start writes the system parameters";
  EXPECT_EQ(state.copyDirectory, m_dir.string());
  EXPECT_EQ(state.copyBaseName, "veltcopy");

  // Five work files of one unique eight-character name in the program directory.
  std::set<std::string> stems;
  const char* const extensions[] = {".$$a", ".$$b", ".$$m", ".$$x", ".$$y"};
  for (std::size_t i = 0; i < 5; ++i) {
    const fs::path work(state.workFiles[i]);
    EXPECT_EQ(work.parent_path(), m_dir);
    EXPECT_EQ(work.extension().string(), extensions[i]);
    stems.insert(work.stem().string());
  }
  ASSERT_EQ(stems.size(), 1u);
  EXPECT_EQ(stems.begin()->size(), 8u);
}

TEST_F(StartupTest, ADataSubdirectoryIsTheDefaultPath) {
  fs::create_directory(m_dir / "data");
  test::ScriptedUi ui;
  GlobalState state(ui);
  startUp(state);
  EXPECT_EQ(state.dataPath, path("data"));
}

TEST_F(StartupTest, TheLastFileIsReopenedWithItsParameterFile) {
  fs::create_directory(m_dir / "studien");
  makeStudy("studien/a.dt1", "studien/a.prm");
  write("veltrix.pth", path("studien") + "/\r\n");
  write("veltrix.fil", path("studien/a.dt1") + "\r\n");
  test::ScriptedUi ui;
  GlobalState state(ui);
  startUp(state);
  EXPECT_EQ(state.dataPath, path("studien")) << "the trailing slash is removed";
  ASSERT_TRUE(state.fileSelected());
  EXPECT_EQ(state.parameterFileName, path("studien/a.prm"));
  EXPECT_EQ(state.backupFileName, path("studien/a.db1"));
  EXPECT_EQ(state.displayName, "a.dt1");
  EXPECT_EQ(state.shortName, "a");
  EXPECT_EQ(state.currentDirectory, path("studien"));
  EXPECT_EQ(WindowCaption(state), "KVT - a.dt1");
  EXPECT_FALSE(StructureEntryEnabled(state)) << "the file holds data";
}

TEST_F(StartupTest, LastFilesThatCannotBeReopenedLeaveNoFileSelected) {
  struct Case {
    const char* label;
    std::string lastFileLine;
    bool makeFile;
    bool makeParams;
  };
  const Case cases[] = {
      {"no .dt in the name", path("x.txt"), true, true},
      {"the file no longer exists", path("weg.dt1"), false, false},
      {"its parameter file is missing (silently)", path("ohne.dt1"), true, false},
      {"garbage bytes in the companion file", std::string("\x01\xff\0zz", 5), false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const fs::path last(c.lastFileLine);
    if (c.makeFile) write(last.filename().string(), "1 1\r\n");
    if (c.makeParams) makeStudy(last.filename().string(), ChangeExtension(last.filename().string(), "prm"));
    write("veltrix.fil", c.lastFileLine + "\r\n");
    test::ScriptedUi ui;  // no message is expected
    GlobalState state(ui);
    startUp(state);
    EXPECT_FALSE(state.fileSelected());
    EXPECT_TRUE(state.parameterFileName.empty());
    EXPECT_EQ(WindowCaption(state), "KVT");
  }
}

TEST_F(StartupTest, TwoStatisticsFilesShareOneParameterFile) {
  makeStudy("a.dt1", "a.prm");
  write("a.dt2", "1 7\r\n");
  test::ScriptedUi ui;
  GlobalState state(ui);
  startUp(state);
  for (const char* name : {"a.dt1", "a.dt2"}) {
    state.currentFile = path(name);
    OpenStatisticsFile(state, OpenMode::Interactive);
    ASSERT_TRUE(state.fileSelected()) << name;
    EXPECT_EQ(state.parameterFileName, path("a.prm")) << name;
  }
}

TEST_F(StartupTest, ChoosingANewFileCreatesItWithOneYes) {
  test::ScriptedUi ui;
  GlobalState state(ui);
  startUp(state);
  ui.expectFile("Statistikdatei auswählen oder neu anlegen (neuer Dateiname)"_w, path("neu.dt1"));
  ui.expectConfirm(createText("neu.dt1"), true);
  bool resetCalled = false;
  EXPECT_TRUE(ChooseStatisticsFile(state, [&] { resetCalled = true; }));
  EXPECT_TRUE(resetCalled);
  EXPECT_EQ(ui.lastFile().modes, "RC");
  EXPECT_EQ(ui.lastFile().filter, "Statistikdateien (*.dt*)|*.dt*");
  EXPECT_EQ(ui.lastFile().helpContext, 11000);

  ASSERT_TRUE(state.fileSelected());
  EXPECT_TRUE(fs::exists(path("neu.dt1")));
  EXPECT_EQ(FileSize(path("neu.dt1")), 0);
  EXPECT_GT(FileSize(path("neu.prm")), 128) << "default contents with the standard class divisions";
  EXPECT_TRUE(StructureEntryEnabled(state));
  EXPECT_EQ(ReadFirstLine(path("veltrix.fil")), path("neu.dt1")) << "remembered as the last file";
  EXPECT_EQ(ui.beeps(), 1) << "the create prompt beeps";
}

TEST_F(StartupTest, InteractiveOpeningAsksForAMissingParameterFile) {
  write("alt.dt1", "1 5\r\n");
  for (const bool yes : {false, true}) {
    SCOPED_TRACE(yes);
    test::ScriptedUi ui;
    GlobalState state(ui);
    startUp(state);
    ui.expectConfirm("Parameterdatei existiert nicht!\r\n\r\n   Neu anlegen?", yes);
    state.currentFile = path("alt.dt1");
    OpenStatisticsFile(state, OpenMode::Interactive);
    EXPECT_EQ(state.fileSelected(), yes);
    EXPECT_EQ(fs::exists(path("alt.prm")), yes);
  }
}

TEST_F(StartupTest, DecliningToCreateAFileDeselectsIt) {
  test::ScriptedUi ui;
  GlobalState state(ui);
  startUp(state);
  ui.expectConfirm(createText("fehlt.dt1"), false);
  state.currentFile = path("fehlt.dt1");
  OpenStatisticsFile(state, OpenMode::Interactive);
  EXPECT_FALSE(state.fileSelected());
  EXPECT_FALSE(fs::exists(path("fehlt.dt1")));
}

TEST_F(StartupTest, ADamagedParameterFileDeselectsTheFileInsteadOfEndingTheProgram) {
  makeStudy("kaputt.dt1", "kaputt.prm");
  fs::resize_file(path("kaputt.prm"), 200);  // cut inside the class division area
  test::ScriptedUi ui;
  GlobalState state(ui);
  startUp(state);
  ui.expectError("Fehler beim Lesen der Parameterdatei " + path("kaputt.prm"));
  state.currentFile = path("kaputt.dt1");
  OpenStatisticsFile(state, OpenMode::Interactive);
  EXPECT_FALSE(state.fileSelected());
  EXPECT_FALSE(ui.terminated());
}

TEST_F(StartupTest, CompanionNamesUseTheWholeProgramName) {
  // Cut to 20 characters, both names would end in the same ".pth" and ".fil" prefix and collide with
  // another program's; the whole name keeps them apart.
  test::ScriptedUi ui;
  GlobalState state(ui);
  const std::string program = "veltrix-statistik-arbeitsplatz.bin";
  BuildProgramState(state, environment(program));
  EXPECT_EQ(state.baseName, "veltrix-statistik-arbeitsplatz");
  EXPECT_EQ(state.pathFileName, path("veltrix-statistik-arbeitsplatz.pth"));
  EXPECT_EQ(state.lastFileFileName, path("veltrix-statistik-arbeitsplatz.fil"));
  EXPECT_EQ(state.sysFileName, path("veltrix-statistik-arbeitsplatz.sys"));
}

TEST_F(StartupTest, UnusableSystemParameterFileIsReportedOnceEachTimeAndTheProgramGoesOn) {
  // The name is taken by a directory: the file can be neither read nor replaced.
  fs::create_directory(m_dir / "veltrix.sys");
  const std::string sys = path("veltrix.sys");
  test::ScriptedUi ui;
  GlobalState state(ui);
  ui.expectError(sys + std::string(": Datei kann nicht geöffnet werden!"_w));
  startUp(state);
  EXPECT_TRUE(ui.allPlayed());
  EXPECT_EQ(state.titleWord, "KVT") << "the start goes on with the defaults";
  EXPECT_EQ(state.sysParams->screenFont().name, "Arial");

  ui.expectError(sys + ": Schreibfehler!");
  ShutDown(state);
  EXPECT_TRUE(ui.allPlayed());
  EXPECT_FALSE(ui.terminated());
}

TEST_F(StartupTest, AtTheEndTheUserDecidesAboutTheFilledPrinterBuffer) {
  for (const bool print : {false, true}) {
    SCOPED_TRACE(print);
    test::ScriptedUi ui;
    GlobalState state(ui);
    startUp(state);
    test::RecordingPrintSink sink;
    state.printer->setPrintSink(&sink);
    state.printer->setAutoPrint(false);
    TTabHeader header;
    header.Kind = 'A';
    state.printer->PrintTable(header, {"eine Zeile"});
    ASSERT_EQ(state.printer->bufferedTables(), 1);
    ui.expectConfirm("Druckerpuffer ist nicht leer!\r\n\r\n   Ausdrucken?", print);
    ShutDown(state);
    EXPECT_EQ(sink.pages().size(), print ? 1u : 0u);
    for (const auto& page : sink.pages()) EXPECT_TRUE(page.ended);
  }
}

TEST(ConfigurationDirectory, BesideAWritableProgramElseInTheUsersConfigurationFolder) {
  struct Case {
    const char* label;
    bool writable;
    std::string configHome;
    std::string home;
    std::string expected;
  };
  const Case cases[] = {
      {"a writable program directory keeps them", true, "/cfg", "/home/anna", "/opt/vx/bin"},
      {"XDG_CONFIG_HOME", false, "/cfg", "/home/anna", "/cfg/veltrix"},
      {"XDG_CONFIG_HOME with a trailing slash", false, "/cfg/", "/home/anna", "/cfg/veltrix"},
      {"unset XDG_CONFIG_HOME: HOME/.config", false, "", "/home/anna", "/home/anna/.config/veltrix"},
      {"a relative XDG_CONFIG_HOME is ignored", false, "cfg", "/home/anna", "/home/anna/.config/veltrix"},
      {"neither is known: the program directory", false, "", "", "/opt/vx/bin"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    StartupEnvironment environment;
    environment.executablePath = "/opt/vx/bin/veltrix";
    environment.programDirectoryWritable = c.writable;
    environment.configHome = c.configHome;
    environment.homeDirectory = c.home;
    EXPECT_EQ(ConfigurationDirectory(environment), c.expected);
  }
}

// An installation: the program in bin/ (not writable, as the environment says), the sample study in
// share/veltrix/, the user's configuration folder below home/.
class InstalledStartupTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    fs::create_directories(m_dir / "bin");
    fs::create_directories(m_dir / "share/veltrix");
    fs::create_directories(m_dir / "home");
    makeStudy("share/veltrix/studie.dt1", "share/veltrix/studie.prm");
  }
  StartupEnvironment installed() const {
    StartupEnvironment env = environment("bin/veltrix");
    env.programDirectoryWritable = false;
    env.homeDirectory = path("home");
    env.sampleStudy = path("bin/../share/veltrix/studie.dt1");
    return env;
  }
  std::string config(const std::string& name) const { return path("home/.config/veltrix/" + name); }
  static std::string bytesOf(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::vector<std::string> entriesOf(const std::string& directory) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path(directory)))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(InstalledStartupTest, EverythingTheProgramWritesGoesToTheConfigurationFolder) {
  test::ScriptedUi ui;
  GlobalState state(ui);
  BuildProgramState(state, installed());
  FinishStartup(state, installed());
  EXPECT_EQ(state.programDirectory, path("bin"));
  EXPECT_EQ(state.configDirectory, path("home/.config/veltrix")) << "created when missing";
  EXPECT_TRUE(fs::is_directory(state.configDirectory));
  EXPECT_EQ(state.sysFileName, config("veltrix.sys"));
  EXPECT_EQ(state.lastFileFileName, config("veltrix.fil"));
  EXPECT_EQ(state.pathFileName, config("veltrix.pth"));
  EXPECT_EQ(state.copyDirectory, state.configDirectory) << "no copy folder: the configuration folder";
  for (const std::string& work : state.workFiles)
    EXPECT_EQ(fs::path(work).parent_path(), state.configDirectory);
  ShutDown(state);
  EXPECT_EQ(FileSize(config("veltrix.sys")), 1026);
  EXPECT_TRUE(entriesOf("bin").empty()) << "nothing beside the program";

  // A copy folder there is used.
  fs::create_directory(config("copy"));
  GlobalState again(ui);
  BuildProgramState(again, installed());
  EXPECT_EQ(again.copyDirectory, config("copy"));
}

TEST_F(InstalledStartupTest, TheFirstStartOpensACopyOfTheSampleStudy) {
  test::ScriptedUi ui;  // no message is expected
  GlobalState state(ui);
  BuildProgramState(state, installed());
  FinishStartup(state, installed());
  EXPECT_EQ(bytesOf(config("data/studie.dt1")), bytesOf(path("share/veltrix/studie.dt1")));
  EXPECT_EQ(bytesOf(config("data/studie.prm")), bytesOf(path("share/veltrix/studie.prm")));
  EXPECT_EQ(ReadFirstLine(config("veltrix.fil")), config("data/studie.dt1"));
  EXPECT_EQ(ReadFirstLine(config("veltrix.pth")), config("data"));
  EXPECT_EQ(state.dataPath, config("data"));
  ASSERT_TRUE(state.fileSelected());
  EXPECT_EQ(state.currentFile, config("data/studie.dt1"));
  EXPECT_EQ(state.parameterFileName, config("data/studie.prm")) << "written beside the user's copy";
  EXPECT_EQ(WindowCaption(state), "KVT - studie.dt1");
}

TEST_F(InstalledStartupTest, LaterStartsNeverReplaceTheUsersCopy) {
  {
    test::ScriptedUi ui;
    GlobalState state(ui);
    BuildProgramState(state, installed());
  }
  write("home/.config/veltrix/data/studie.dt1", "1 eigene Daten\r\n");
  struct Case {
    const char* label;
    bool removeLastFileFile;
  };
  for (const Case c : {Case{"the next start", false}, Case{"a start after the .fil was deleted", true}}) {
    SCOPED_TRACE(c.label);
    if (c.removeLastFileFile) fs::remove(config("veltrix.fil"));
    test::ScriptedUi ui;
    GlobalState state(ui);
    BuildProgramState(state, installed());
    FinishStartup(state, installed());
    EXPECT_EQ(bytesOf(config("data/studie.dt1")), "1 eigene Daten\r\n");
    EXPECT_EQ(state.currentFile, config("data/studie.dt1"));
  }

  // A last file of the user's own choice stays the last file.
  makeStudy("home/eigen.dt1", "home/eigen.prm");
  write("home/.config/veltrix/veltrix.fil", path("home/eigen.dt1") + "\r\n");
  test::ScriptedUi ui;
  GlobalState state(ui);
  BuildProgramState(state, installed());
  EXPECT_EQ(state.lastFile, path("home/eigen.dt1"));
}

TEST_F(InstalledStartupTest, WithoutAnInstalledSampleStudyNoFileIsSelected) {
  for (const std::string& sample : {std::string(), path("share/veltrix/fehlt.dt1")}) {
    SCOPED_TRACE(sample);
    StartupEnvironment env = installed();
    env.sampleStudy = sample;
    test::ScriptedUi ui;
    GlobalState state(ui);
    BuildProgramState(state, env);
    FinishStartup(state, env);
    EXPECT_FALSE(state.fileSelected());
    EXPECT_FALSE(fs::exists(config("data")));
    EXPECT_EQ(state.dataPath, state.configDirectory);
  }
}

TEST_F(InstalledStartupTest, AWritableProgramDirectoryKeepsEverythingBesideTheProgram) {
  StartupEnvironment env = installed();
  env.programDirectoryWritable = true;
  test::ScriptedUi ui;
  GlobalState state(ui);
  BuildProgramState(state, env);
  FinishStartup(state, env);
  EXPECT_EQ(state.configDirectory, path("bin"));
  EXPECT_EQ(state.sysFileName, path("bin/veltrix.sys"));
  EXPECT_FALSE(state.fileSelected()) << "the sample study is seeded only in a configuration folder";
  EXPECT_FALSE(fs::exists(path("home/.config")));
}

TEST_F(StartupTest, AWritableDirectoryIsOneWhereAFileCanBeCreated) {
  EXPECT_TRUE(DirectoryWritable(m_dir.string()));
  EXPECT_TRUE(fs::is_empty(m_dir)) << "the probe is removed again";
  write("datei", "x");
  EXPECT_FALSE(DirectoryWritable(path("datei")));
  EXPECT_FALSE(DirectoryWritable(path("fehlt")));
  EXPECT_FALSE(DirectoryWritable(""));
}

TEST(UniqueWorkName, EightCharactersWithTheTimeInBase22) {
  const std::string name = UniqueWorkName(1, 86'399'999);
  ASSERT_EQ(name.size(), 8u);
  EXPECT_GE(name[0], 'A');
  EXPECT_LE(name[0], 'Z');
  // 86399999 = 16*22^5 + 16*22^4 + 18*22^3 + 4*22^2 + 8*22 + 15 (hand computation): G G I 4 8 F.
  EXPECT_EQ(name.substr(2), "GGI48F");
  EXPECT_EQ(UniqueWorkName(1, 0).substr(2), "000000");
}

}  // namespace
}  // namespace veltrix
