#include "core/shell/file_selection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/base/file_prompts.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using test::ScriptedUi;

const char* const kStatFilter = "Statistikdateien (*.dt*)|*.dt*";

FileRequest fileRequest(std::string modes, std::string filter, std::string defaultName) {
  FileRequest request;
  request.title = "Datei";
  request.modes = std::move(modes);
  request.filter = std::move(filter);
  request.defaultName = std::move(defaultName);
  return request;
}

class FileSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir = std::filesystem::path(::testing::TempDir()) /
            (std::string("veltrix_file_selection_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }

  std::string path(const std::string& name) const { return (m_dir / name).string(); }
  void touch(const std::string& name) const { std::ofstream(path(name)) << "x"; }
  bool exists(const std::string& name) const { return std::filesystem::exists(path(name)); }

  ScriptedUi ui;

 private:
  std::filesystem::path m_dir;
};

TEST(FileSelection, PatternsDefaultExtensionAndInitialNameComeFromTheRequest) {
  struct Case {
    const char* filter;
    const char* defaultName;
    std::vector<std::string> patterns;
    const char* extension;
    const char* initialName;
  };
  const Case cases[] = {
      {kStatFilter, ".dt*", {"*.dt*"}, "", ""},  // an extension with "*" is no default extension
      {"JPEG- oder Bitmap-Format (*.jpg / *.bmp)|*.jpg;*.bmp", ".jpg", {"*.jpg", "*.bmp"}, "jpg", ""},
      {"Texte (*.txt)|*.txt|Alle Dateien (*.*)|*.*", "bericht.txt", {"*.txt"}, "txt", "bericht"},
      {"Alle Dateien (*.*)|*.*", "", {}, "", ""},
      {"Befehle|*.bf*; *.*|Rest", "/tmp/liste", {"*.bf*"}, "", "liste"},  // trailing display without pattern
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    const FileSelection selection(fileRequest("C", c.filter, c.defaultName));
    EXPECT_EQ(selection.patterns(), c.patterns);
    EXPECT_EQ(selection.defaultExtension(), c.extension);
    EXPECT_EQ(selection.initialName(), c.initialName);
  }
  const FileSelection jpeg(fileRequest("AC", "JPEG (*.jpg)|*.jpg|Bitmap (*.bmp)|*.bmp", ""));
  ASSERT_EQ(jpeg.filterEntries().size(), 2u);
  EXPECT_EQ(jpeg.filterEntries()[1].display, "Bitmap (*.bmp)");
  EXPECT_EQ(jpeg.filterEntries()[1].patterns, "*.bmp");
  EXPECT_FALSE(jpeg.isOpenDialog());
  EXPECT_TRUE(jpeg.asksFirst());
  EXPECT_TRUE(FileSelection(fileRequest("rec", kStatFilter, "")).mustExist()) << "letters in either case";
}

TEST(FileSelection, PatternMatchingComparesNameAndExtensionPartsWithoutCase) {
  struct Case {
    const char* pattern;
    std::string name;
    bool matches;
  };
  const Case cases[] = {
      {"*.dt*", "abc.dt1", true},
      {"*.dt*", "ABC.DT1", true},
      {"*.dt*", "abc.xyz", false},
      {"*.dt*", "abc.d", false},  // "d" does not begin with "dt"
      {"*.dt*", "abc", false},    // no extension
      {"*.dt*", std::string("GRÖSSE.DT2"_w), true},
      {"daten.dt*", "Daten.dt2", true},
      {"daten.dt*", "daten2.dt1", false},
      {"x*.txt", "xyz.txt", true},
      {"x*.txt", "axyz.txt", false},
      {"*.jpg", "bild.jpeg", false},
      {"*.txt", "a.b.txt", true},  // the extension follows the name's last "."
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " / " + c.name);
    EXPECT_EQ(matchesFilePattern(c.pattern, c.name), c.matches);
  }
}

TEST(FileSelection, TheStatisticsFileDialogTakesExactlyTheStatisticsFileNames) {
  // The dialog's pattern check and the opening flow's predicate must agree, or a chosen file is
  // deselected without a word.
  const FileSelection selection(fileRequest("RC", kStatFilter, ".dt*"));
  const std::string names[] = {"studie.dt1", "STUDIE.DT1",      "x.Dt",        "a.b.dT9",
                               ".dt1",       "d.dtx/notes.txt", "studie.txt",  "studie.d",
                               "dt1",        "a.dt1.txt",       "/x.dtd/a.dtd"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    EXPECT_EQ(selection.matchesPatterns(name), IsStatisticsFileName(name));
  }
}

TEST_F(FileSelectionTest, NameOutsideThePatternsIsRefused) {
  const FileSelection selection(fileRequest("RC", kStatFilter, ".dt*"));
  ui.expectError("abc.xyz :\r\n\r\nUnzulässiger Dateiname!"_w);
  EXPECT_EQ(selection.confirm(ui, path("abc.xyz")), std::nullopt);
  EXPECT_EQ(ui.beeps(), 1);
  // The name is shown as text: UTF-8 decoded, a control byte as "?".
  ui.expectError(invalidNameText("größe?.xyz"_w));
  EXPECT_EQ(selection.confirm(ui, path("gr\xC3\xB6\xC3\x9F"
                                       "e\r.xyz")),
            std::nullopt);

  // A second pattern item is tried too; without "C" nothing is checked.
  const FileSelection jpeg(fileRequest("C", "Bilder|*.jpg;*.bmp", ".jpg"));
  EXPECT_EQ(jpeg.confirm(ui, path("bild.BMP")), path("bild.BMP"));
  const FileSelection unchecked(fileRequest("R", kStatFilter, ".dt*"));
  EXPECT_EQ(unchecked.confirm(ui, path("abc.xyz")), path("abc.xyz"));
}

TEST_F(FileSelectionTest, TypedNameWithoutExtensionGetsTheDefaultOneAndKeepsItsCase) {
  const FileSelection selection(fileRequest("", "Texte (*.txt)|*.txt", ".txt"));
  EXPECT_EQ(selection.confirm(ui, path("neu")), path("neu.txt"));
  EXPECT_EQ(selection.confirm(ui, path("Bericht")), path("Bericht.txt"));
  EXPECT_EQ(selection.confirm(ui, path("alt.dat")), path("alt.dat")) << "an extension of its own stays";
  EXPECT_FALSE(exists("neu.txt")) << "the trial creation of a save dialog leaves no file";

  // No default extension: "neu" stays "neu" and then fails the pattern check.
  const FileSelection stat(fileRequest("RC", kStatFilter, ".dt*"));
  ui.expectError("neu :\r\n\r\nUnzulässiger Dateiname!"_w);
  EXPECT_EQ(stat.confirm(ui, path("neu")), std::nullopt);
}

TEST_F(FileSelectionTest, SaveDialogOverwriteRules) {
  touch("out.txt");
  const std::string out = path("out.txt");
  const FileSelection ask(fileRequest("AC", "Texte|*.txt", ".txt"));
  ui.expectConfirm(out + " : \rDatei existiert schon!\r\n\r\n" + std::string("Überschreiben!"_w), false)
      .expectConfirm(out + " : \rDatei existiert schon!\r\n\r\n" + std::string("Überschreiben!"_w), true);
  EXPECT_EQ(ask.confirm(ui, out), std::nullopt) << "No keeps the dialog open";
  EXPECT_EQ(ask.confirm(ui, path("out")), out) << "Yes accepts; the extension is appended before the check";
  EXPECT_EQ(ui.beeps(), 2) << "each overwrite question beeps";

  const FileSelection never(fileRequest("XA", "", ".txt"));
  ui.expectError(out + " :\r\n\r\nDatei existiert schon!\r" + std::string("Überschreiben nicht zulässig!"_w));
  EXPECT_EQ(never.confirm(ui, out), std::nullopt) << "X refuses before A could ask";

  EXPECT_EQ(FileSelection(fileRequest("", "", "")).confirm(ui, out), out) << "plain save dialog overwrites";
  EXPECT_TRUE(exists("out.txt"));
}

TEST_F(FileSelectionTest, SaveDialogRefusesANameThatCannotBeCreated) {
  const std::string name = path("fehlt/neu.txt");
  const FileSelection selection(fileRequest("AC", "Texte|*.txt", ".txt"));
  ui.expectError(name + " :\r\n\r\nDatei kann nicht angelegt werden!");
  EXPECT_EQ(selection.confirm(ui, name), std::nullopt);
}

TEST_F(FileSelectionTest, OpenDialogMissingFileFlows) {
  const std::string neu = path("neu.dt1");
  const std::string prompt = neu + " : \rDatei existiert nicht!\r\n\r\nNeu anlegen?";

  // Without "A" a missing file is simply accepted (and not created).
  EXPECT_EQ(FileSelection(fileRequest("RC", kStatFilter, ".dt*")).confirm(ui, neu), neu);
  EXPECT_FALSE(exists("neu.dt1"));

  const FileSelection create(fileRequest("RAC", kStatFilter, ".dt*"));
  ui.expectConfirm(prompt, false).expectConfirm(prompt, true);
  EXPECT_EQ(create.confirm(ui, neu), std::nullopt) << "No keeps the dialog open";
  EXPECT_FALSE(exists("neu.dt1"));
  EXPECT_EQ(create.confirm(ui, neu), neu);
  ASSERT_TRUE(exists("neu.dt1"));
  EXPECT_EQ(std::filesystem::file_size(neu), 0u) << "Yes creates the file empty";
  EXPECT_EQ(ui.beeps(), 2) << "each create question beeps";

  EXPECT_EQ(create.confirm(ui, neu), neu) << "an existing file is accepted without a question";

  const std::string unreachable = path("fehlt/neu.dt1");
  ui.expectConfirm(unreachable + " : \rDatei existiert nicht!\r\n\r\nNeu anlegen?", true)
      .expectError(unreachable + " :\r\n\r\nDatei kann nicht angelegt werden!");
  EXPECT_EQ(create.confirm(ui, unreachable), std::nullopt);

  const FileSelection mustExist(fileRequest("REC", kStatFilter, ".dt*"));
  ui.expectError(path("weg.dt1") + " :\r\n\r\nDatei existiert nicht!");
  EXPECT_EQ(mustExist.confirm(ui, path("weg.dt1")), std::nullopt);
}

TEST_F(FileSelectionTest, DirectoryIsNeverAFileName) {
  std::filesystem::create_directory(path("daten.dt1"));
  EXPECT_EQ(FileSelection(fileRequest("RAC", kStatFilter, ".dt*")).confirm(ui, path("daten.dt1")),
            std::nullopt);
  EXPECT_EQ(FileSelection(fileRequest("", "", "")).confirm(ui, path("daten.dt1")), std::nullopt);
}

TEST_F(FileSelectionTest, RestrictedPathSnapsBackOutsideTheStartSubtree) {
  std::filesystem::create_directories(path("a/sub"));
  std::filesystem::create_directories(path("ab"));
  PathRequest request;
  request.title = "Pfad";
  request.initialDirectory = path("a") + "/";
  request.restricted = true;
  const PathSelection selection(request);
  const std::string start = path("a");
  EXPECT_EQ(selection.startDirectory(), start) << "normalised: no trailing /";
  EXPECT_EQ(selection.restrictionText(),
            "Nur Startverzeichnis  " + start + std::string("   und Unterverzeichnisse zulässig!"_w));

  struct Case {
    std::string picked;
    std::string shown;
  };
  const Case cases[] = {
      {path("a/sub"), path("a/sub")},
      {path("a"), path("a")},
      {path("ab"), start},  // shares the first letters only
      {path("a/sub/../../ab"), start},
      {"/", start},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picked);
    EXPECT_EQ(selection.navigate(c.picked), c.shown);
  }
  EXPECT_EQ(selection.result(path("a/sub/")), path("a/sub"));
  EXPECT_EQ(selection.result(path("ab")), start);
  EXPECT_EQ(selection.result(path("a/weg")), std::nullopt) << "a directory that is gone gives no result";

  request.restricted = false;
  const PathSelection free(request);
  EXPECT_EQ(free.navigate(path("ab")), path("ab"));
  EXPECT_EQ(free.restrictionText(), "");

  request.initialDirectory = path("nicht-da");
  EXPECT_EQ(PathSelection(request).startDirectory(), std::filesystem::current_path().string());
}

}  // namespace
}  // namespace veltrix
