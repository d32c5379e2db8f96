#include "core/output/protocol_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/base/file_prompts.h"
#include "core/base/win1252.h"
#include "core/output/print_manager.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
namespace fs = std::filesystem;

const StampTime kTime{10, 12, 2026, 5, 44};

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string expectedFile(const char* name) {
  return readAll(fs::path(VELTRIX_TEST_DATA) / "protocol" / name);
}

class ProtocolFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir =
        fs::temp_directory_path() /
        ("veltrix_protocol_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  fs::path m_dir;
  test::ScriptedUi m_ui;
};

TTabHeader textHeader() {
  TTabHeader header;
  header.Kind = 'A';
  header.TitleLines = 2;
  header.LeftTitle = {"Strukturliste", "Datei: STUDIE", ""};
  header.RightTitle = {"Tab. 1", "", ""};
  header.Note = "Alle Variablen";
  return header;
}

const std::vector<std::string> kTextLines = {
    "@5Nr.@9Name~Typ", "|", "@5~1@9" + std::string("Größe"_w) + "~Zahl", std::string("@9\xC7") + "Mitte"};

// 3 rows, 12 columns (column 1 ten characters, the others the default nine), one fixed row and column:
// too wide for one block, so the fixed column opens a second one.
TableGrid wideGrid(TTabHeader& header) {
  header.Kind = 'B';
  header.TitleLines = 1;
  header.LeftTitle[0] = "Mittelwerte";
  header.Rows = 3;
  header.Cols = 12;
  header.FixedRows = 1;
  header.FixedCols = 1;
  header.ColWidths[0] = 10;
  TTMng tables;
  tables.BeginTable(1, header);
  tables.AddCell(1, 1, "Gruppe");
  tables.AddCell(2, 1, "Männer"_w);
  tables.AddCell(3, 1, "Frauen");
  for (int col = 2; col <= 12; ++col) {
    tables.AddCell(1, col, "~V" + std::to_string(col));
    tables.AddCell(2, col, "~" + std::to_string(col) + ".5");
    tables.AddCell(3, col, "\xC7x");
  }
  return tables.FetchTable(1).grid;
}

TEST_F(ProtocolFileTest, TablesMatchTheCommittedFilesByteForByte) {
  TDCopyMng copy(m_ui);
  const fs::path textFile = m_dir / "text.txt";
  ASSERT_TRUE(
      copy.appendLines(textFile.string(), ProtocolTextTable(textHeader(), kTextLines, "STUDIE.DAT", kTime)));
  EXPECT_EQ(readAll(textFile), expectedFile("text_table.txt"));

  TTabHeader header;
  const TableGrid grid = wideGrid(header);
  const fs::path gridFile = m_dir / "grid.txt";
  ASSERT_TRUE(copy.appendLines(gridFile.string(), ProtocolGridTable(header, grid, {}, "STUDIE.DAT", kTime)));
  EXPECT_EQ(readAll(gridFile), expectedFile("grid_table.txt"));

  const fs::path csvFile = m_dir / "grid_csv.txt";
  ASSERT_TRUE(
      copy.appendLines(csvFile.string(), ProtocolGridTable(header, grid, {true, ';'}, "STUDIE.DAT", kTime)));
  EXPECT_EQ(readAll(csvFile), expectedFile("grid_table_csv.txt"));
}

TEST_F(ProtocolFileTest, HeaderLineWithoutJobTitleIsFilledTo85) {
  const auto lines = ProtocolTextTable(TTabHeader{}, {}, "", kTime);
  ASSERT_GE(lines.size(), 2u);
  // 64 "-" and "-- 10.12.2026 05:44 -" (21 characters): 85 in all; no titles, then the rule.
  EXPECT_EQ(lines[0], std::string(64, '-') + "-- 10.12.2026 05:44 -");
  EXPECT_EQ(lines[1], std::string(77, '-'));
}

TEST_F(ProtocolFileTest, TitleLinesPadTheLeftTitleSoThatTheRightOneEndsInColumn77) {
  struct Case {
    std::string left, right, expected;
  };
  const std::string sixty(60, 'L');
  const Case cases[] = {
      // 77 - 6 = 71 characters of left title, then the right title.
      {std::string("Kenngrößen"_w), "Tab. 1", std::string("Kenngrößen"_w) + std::string(61, ' ') + "Tab. 1"},
      // Without a right title the line is still 77 characters long.
      {"Nur links", "", "Nur links" + std::string(68, ' ')},
      {"", "rechts", std::string(71, ' ') + "rechts"},
      // A left title longer than its room is padded by nothing and never cut.
      {sixty, std::string(30, 'R'), sixty + std::string(30, 'R')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.left + "|" + c.right);
    TTabHeader header;
    header.TitleLines = 1;
    header.LeftTitle[0] = c.left;
    header.RightTitle[0] = c.right;
    const auto lines = ProtocolTextTable(header, {"@9x"}, "", kTime);
    ASSERT_EQ(lines.size(), 6u);  // head, title, rule, one body line, two empty lines
    EXPECT_EQ(lines[1], c.expected);
    EXPECT_EQ(lines[2], std::string(77, '-'));
    // The body line keeps its 100 characters: "x" and 99 blanks.
    EXPECT_EQ(lines[3], "x" + std::string(99, ' '));
  }
}

TEST_F(ProtocolFileTest, CsvWithCommaHasNoSeparatorAfterTheLastCell) {
  TTabHeader header;
  header.Kind = 'B';
  header.Rows = 2;
  header.Cols = 3;
  TTMng tables;
  tables.BeginTable(1, header);
  const char* texts[] = {"a", "~b", "  c  "};
  for (int row = 1; row <= 2; ++row)
    for (int col = 1; col <= 3; ++col) tables.AddCell(row, col, texts[col - 1]);
  const auto lines = ProtocolGridTable(header, tables.FetchTable(1).grid, {true, ','}, "", kTime);
  ASSERT_EQ(lines.size(), 4u);  // header line, rule, two rows
  EXPECT_EQ(lines[2], "a,b,c");
  EXPECT_EQ(lines[3], "a,b,c");
}

TEST_F(ProtocolFileTest, TwoSavesAppendAndTheSecondDoesNotAskAgain) {
  TPrnManager printer(m_ui);
  printer.setClock([] { return kTime; });
  printer.fileSelected("STUDIE.DAT", m_dir.string(), "STUDcopy");
  printer.setPrintingMode(false);
  int asked = 0;
  printer.setCopyFileChooser([&](CopyFileChoice& choice) {
    ++asked;
    return choice.accept(3, m_ui);
  });
  ASSERT_TRUE(printer.SaveTable(textHeader(), kTextLines));
  ASSERT_TRUE(printer.SaveTable(textHeader(), kTextLines));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(printer.copyFileName(), (m_dir / "STUDcopy3.txt").string());
  const std::string once = expectedFile("text_table.txt");
  EXPECT_EQ(readAll(m_dir / "STUDcopy3.txt"), once + once);

  // A new statistics file asks again.
  printer.fileSelected("ANDERE.DAT", m_dir.string(), "STUDcopy");
  m_ui.expectConfirm(overwriteText((m_dir / "STUDcopy3.txt").string()), false);
  EXPECT_FALSE(printer.SaveTable(textHeader(), kTextLines));
  EXPECT_EQ(asked, 2);
}

TEST_F(ProtocolFileTest, CopyFileChoiceListsTenNamesAndGuardsItsAnswers) {
  std::ofstream(m_dir / "Xcopy2.txt") << "alt";
  CopyFileChoice choice(m_dir.string(), "Xcopy", true, true, ';');
  EXPECT_EQ(choice.folderLabel(), "Verzeichnis: " + m_dir.string());
  const auto items = choice.items();
  ASSERT_EQ(items.size(), 10u);
  EXPECT_EQ(items[0], "Xcopy0.txt");
  EXPECT_EQ(items[2], "Xcopy2.txt  (*)");
  EXPECT_EQ(items[9], "Xcopy9.txt");
  EXPECT_EQ(CopyFileChoice::note(), "(*) : Datei existiert schon. Wird bei Auswahl überschrieben!"_w);

  choice.separator = " ";
  m_ui.expectError("Unzulässiges Trennzeichen"_w);
  EXPECT_FALSE(choice.accept(0, m_ui));
  EXPECT_EQ(choice.chosenDigit(), -1);

  choice.separator = ",";
  const std::string existing = (m_dir / "Xcopy2.txt").string();
  m_ui.expectConfirm(overwriteText(existing), false);
  EXPECT_FALSE(choice.accept(2, m_ui));
  EXPECT_TRUE(fs::exists(existing));
  m_ui.expectConfirm(overwriteText(existing), true);
  EXPECT_TRUE(choice.accept(2, m_ui));
  EXPECT_FALSE(fs::exists(existing));
  EXPECT_EQ(choice.chosenDigit(), 2);
}

TEST_F(ProtocolFileTest, GridSaveTakesTheCsvChoiceOfTheDialog) {
  TPrnManager printer(m_ui);
  printer.setClock([] { return kTime; });
  printer.fileSelected("STUDIE.DAT", m_dir.string(), "G");
  printer.setCopyFileChooser([&](CopyFileChoice& choice) {
    EXPECT_TRUE(choice.showsCsvSwitch());
    choice.csv = true;
    return choice.accept(0, m_ui);
  });
  TTabHeader header;
  ASSERT_TRUE(printer.SaveTable(header, wideGrid(header)));
  EXPECT_EQ(readAll(m_dir / "G0.txt"), expectedFile("grid_table_csv.txt"));
}

}  // namespace
}  // namespace veltrix
