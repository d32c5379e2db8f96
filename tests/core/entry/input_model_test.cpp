#include "core/entry/input_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using test::ScriptedUi;

// One physical line as the statistics file holds it: the line-number character (48 + k), the data
// without trailing blanks, CR LF.
std::string Line(int k, std::string data) {
  while (!data.empty() && data.back() == ' ') data.pop_back();
  return std::string(1, static_cast<char>(48 + k)) + data + "\r\n";
}

// Line 1 of a record of the study below: NR (1..3), GEWICHT (4..7), ANZAHL (8..12), DATUM (13..22),
// GESCHL> (23); BEMERK> (80..99) is on line 2.
std::string Record(const std::string& nr, const std::string& gewicht, const std::string& anzahl,
                   const std::string& datum, const std::string& geschl) {
  return Line(1, nr + gewicht + anzahl + datum + geschl);
}

const std::string kRecord1 = Record("  1", "  70", "    3", "01.02.2000", "M");
const std::string kRecord2 = Record("  2", "  81", "   12", "15.06.2000", "W");
const std::string kRecord3 = Record("  3", "  65", "     ", "          ", "M");
constexpr char kEndMark = '\x1a';

// An entry of the entry-check file: position (16 bits, little-endian), type byte, kind, 20 bytes.
std::string CheckEntry(int position, int typeByte, char kind, const std::string& text) {
  std::string entry;
  entry += static_cast<char>(position & 0xff);
  entry += static_cast<char>((position >> 8) & 0xff);
  entry += static_cast<char>(typeByte);
  entry += kind;
  entry += text;
  entry.resize(24, ' ');
  return entry;
}

class InputModelTest : public test::TempDirTest {
 protected:
  InputModelTest() : TempDirTest("veltrix-input-model") {}

  void SetUp() override {
    TempDirTest::SetUp();
    statFile = path("studie.dt1");
    backupFile = path("studie.db1");
    params.putVariable(1, "NR", 1, 3);
    params.putVariable(2, "GEWICHT", 4, 4);
    params.putVariable(3, "ANZAHL", 8, 5);
    params.putVariable(4, "DATUM", 13, 10);
    params.putVariable(5, "GESCHL>", 23, 1);
    params.putVariable(6, "BEMERK>", 80, 20);
    params.setVariableCount(6);
  }

  // ANZAHL whole numbers; DATUM a date of the year 2000; GESCHL "M" or "W".
  void writeChecks() {
    std::string bytes;
    const int units = 3 * 6;
    bytes += static_cast<char>(units);
    bytes += '\0';
    bytes += std::string(128, '\0');
    bytes += CheckEntry(8, 5, 'G', "");
    bytes += CheckEntry(13, 10, 'A', "01.01.200031.12.2000");
    bytes += CheckEntry(23, 0x81, ' ', "M;W");
    writeBytes(EntryCheckFileName(statFile), bytes);
  }

  std::string file() const { return readBytes(statFile); }

  int progressBoxes(std::string_view text) const {
    int count = 0;
    for (const std::string& event : ui.events())
      if (event.starts_with("progress open: ") && event.find(text) != std::string::npos) ++count;
    return count;
  }

  ScriptedUi ui;
  TParams params{ui};
  std::string statFile;
  std::string backupFile;
};

TEST_F(InputModelTest, AStructureWithoutVariablesOpensNoWindow) {
  writeBytes(statFile, kRecord1);
  TParams empty(ui);
  ui.expectInformation("Keine Eingabevariablen !");
  InputModel model(empty, ui, statFile, backupFile);
  EXPECT_FALSE(model.open());
  EXPECT_FALSE(model.isOpen());
}

TEST_F(InputModelTest, OpensOnRecordOneWithTheGridOfLabelsAndValues) {
  writeBytes(statFile, kRecord1 + kRecord2 + kRecord3);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  EXPECT_EQ(model.recordNumber(), 1);
  EXPECT_FALSE(model.isNewRecord());
  EXPECT_EQ(model.columns(), 3);
  EXPECT_EQ(model.fieldCount(), 6);
  EXPECT_EQ(model.fieldRows(), 2);
  EXPECT_EQ(model.label(0), " NR");
  EXPECT_EQ(model.label(4), " GESCHL>");
  EXPECT_EQ(model.value(1), "70");
  EXPECT_EQ(model.value(3), "01.02.2000");
  EXPECT_EQ(model.value(5), "");
  EXPECT_EQ(model.currentField(), 0);
  EXPECT_EQ(model.editText(), "1");
  // Variables fill the rows left to right: field 4 is row 2 (row 0 is the heading), variable column 1.
  EXPECT_EQ(model.labelCell(4), (EntryCell{2, 2}));
  EXPECT_EQ(model.valueCell(4), (EntryCell{2, 3}));
  EXPECT_EQ(model.fieldAt({2, 3}), 4);
  EXPECT_EQ(model.fieldAt({2, 2}), -1);  // a label
  EXPECT_EQ(model.fieldAt({0, 1}), -1);  // the heading row
  EXPECT_EQ(model.fieldAt({3, 1}), -1);  // below the grid
  model.setColumns(2);
  EXPECT_EQ(model.fieldRows(), 3);
  EXPECT_EQ(model.valueCell(4), (EntryCell{3, 1}));
  model.setColumns(0);
  EXPECT_EQ(model.columns(), 1);
  model.setColumns(7);
  EXPECT_EQ(model.columns(), 3);
  EXPECT_TRUE(model.close());
  EXPECT_FALSE(model.fileChanged());
}

// The field moves over a grid of 5 fields in 2 columns, whose last row holds only field 4:
//   row 1: 0 1    row 2: 2 3    row 3: 4
// Expected fields worked out by hand from the rules of the keys.
TEST_F(InputModelTest, FieldMovesFollowTheGrid) {
  writeBytes(statFile, kRecord1 + kRecord2);
  params.setVariableCount(5);
  enum class Key { Next, Previous, Home, End, Up, Down, PageUp1, PageUp2, PageDown1, PageDown2 };
  struct Case {
    int from;
    Key key;
    int to;
  };
  const std::vector<Case> cases = {
      {2, Key::Next, 3},      {2, Key::Previous, 1},  {3, Key::Home, 0},    {0, Key::End, 4},
      {1, Key::Up, 1},        {3, Key::Up, 1},        {4, Key::Up, 2},      {2, Key::Down, 4},
      {3, Key::Down, 4},      {4, Key::Down, 4},      {0, Key::Down, 2},    {1, Key::PageDown1, 3},
      {1, Key::PageDown2, 4}, {0, Key::PageDown2, 4}, {4, Key::PageUp2, 0}, {3, Key::PageUp1, 1},
      {3, Key::PageUp2, 1},   {4, Key::PageDown2, 4},
  };
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  model.setColumns(2);
  for (const Case& c : cases) {
    ASSERT_TRUE(model.selectField(c.from));
    bool moved = false;
    switch (c.key) {
      case Key::Next:
        moved = model.nextField();
        break;
      case Key::Previous:
        moved = model.previousField();
        break;
      case Key::Home:
        moved = model.firstField();
        break;
      case Key::End:
        moved = model.lastField();
        break;
      case Key::Up:
        moved = model.fieldUp();
        break;
      case Key::Down:
        moved = model.fieldDown();
        break;
      case Key::PageUp1:
        moved = model.pageUp(1);
        break;
      case Key::PageUp2:
        moved = model.pageUp(2);
        break;
      case Key::PageDown1:
        moved = model.pageDown(1);
        break;
      case Key::PageDown2:
        moved = model.pageDown(2);
        break;
    }
    EXPECT_TRUE(moved);
    EXPECT_EQ(model.currentField(), c.to) << "from " << c.from << " key " << static_cast<int>(c.key);
    EXPECT_EQ(model.recordNumber(), 1);
    EXPECT_EQ(model.editText(), model.value(c.to));
  }
  // Clicks: only value cells of fields can be chosen.
  EXPECT_TRUE(model.selectCell({2, 3}));
  EXPECT_EQ(model.currentField(), 3);
  EXPECT_FALSE(model.selectCell({2, 2}));
  EXPECT_FALSE(model.selectCell({0, 1}));
  EXPECT_FALSE(model.selectCell({3, 3}));
  EXPECT_EQ(model.currentField(), 3);

  // Past the last field the next record, before the first the previous one.
  ASSERT_TRUE(model.lastField());
  EXPECT_TRUE(model.nextField());
  EXPECT_EQ(model.recordNumber(), 2);
  EXPECT_EQ(model.currentField(), 0);
  EXPECT_EQ(model.editText(), "2");
  EXPECT_TRUE(model.previousField());
  EXPECT_EQ(model.recordNumber(), 1);
  EXPECT_EQ(model.currentField(), 4);
  ASSERT_TRUE(model.firstField());
  EXPECT_TRUE(model.previousField());  // before record 1 there is none
  EXPECT_EQ(model.recordNumber(), 1);
  EXPECT_EQ(model.currentField(), 0);
  EXPECT_TRUE(model.close());
  EXPECT_FALSE(model.fileChanged());
  EXPECT_FALSE(std::filesystem::exists(backupFile));
}

TEST_F(InputModelTest, ADecimalCommaIsStoredAsAPointRightAligned) {
  writeBytes(statFile, kRecord1 + kRecord2);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  ASSERT_TRUE(model.selectField(1));
  model.setEditText("3,5");
  ASSERT_TRUE(model.nextField());
  EXPECT_EQ(model.record().field(4, 4), " 3.5");
  EXPECT_TRUE(model.recordModified());
  EXPECT_EQ(model.currentField(), 2);
  ASSERT_TRUE(model.stepRecords(1));
  EXPECT_EQ(model.recordNumber(), 2);
  EXPECT_TRUE(model.fileChanged());
  EXPECT_TRUE(model.close());
  EXPECT_EQ(file(), Record("  1", " 3.5", "    3", "01.02.2000", "M") + kRecord2 + kEndMark);
  // The backup holds the file as it was when the window opened.
  EXPECT_EQ(readBytes(backupFile).substr(0, kRecord1.size() + kRecord2.size()), kRecord1 + kRecord2);
}

TEST_F(InputModelTest, AFailedCheckAsksForACorrection) {
  writeChecks();
  writeBytes(statFile, kRecord1 + kRecord2);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  ASSERT_TRUE(model.selectField(2));
  // Yes: the value is refused, the cursor and the typed text stay.
  model.setEditText("12.5");
  ui.expectConfirm("nicht ganzzahlig\rKorrektur ?", true);
  EXPECT_FALSE(model.nextField());
  EXPECT_EQ(model.currentField(), 2);
  EXPECT_EQ(model.editText(), "12.5");
  EXPECT_EQ(model.record().field(8, 5), "    3");
  EXPECT_FALSE(model.recordModified());
  // No: the value is taken as entered.
  ui.expectConfirm("nicht ganzzahlig\rKorrektur ?", false);
  EXPECT_TRUE(model.nextField());
  EXPECT_EQ(model.currentField(), 3);
  EXPECT_EQ(model.record().field(8, 5), " 12.5");
  EXPECT_TRUE(model.recordModified());
  // The same text as the field holds is not checked again.
  ASSERT_TRUE(model.selectField(2));
  model.setEditText(" 12.5 ");
  EXPECT_TRUE(model.nextField());
  ASSERT_TRUE(ui.allPlayed());
  // A text field with its list of allowed texts.
  ASSERT_TRUE(model.selectField(4));
  model.setEditText("W");
  EXPECT_TRUE(model.nextField());
  EXPECT_EQ(model.record().field(23, 1), "W");
  EXPECT_TRUE(model.close());
  EXPECT_EQ(file(), Record("  1", "  70", " 12.5", "01.02.2000", "W") + kRecord2 + kEndMark);
}

TEST_F(InputModelTest, BlankingEveryFieldDeletesTheRecordAndTheNextMovesUp) {
  writeBytes(statFile, kRecord1 + kRecord2 + kRecord3);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  ASSERT_TRUE(model.goToRecord(2));
  for (int i = 0; i < model.fieldCount(); ++i) {
    ASSERT_TRUE(model.selectField(i));
    model.setEditText("");
  }
  ASSERT_TRUE(model.nextField());  // past the last field: the record is saved, and goes
  EXPECT_EQ(progressBoxes("Satz wird gelöscht"_w), 1);
  // The record that followed now has number 2 and is the one shown.
  EXPECT_EQ(model.recordNumber(), 2);
  EXPECT_EQ(model.value(0), "3");
  EXPECT_TRUE(model.stepRecords(1));
  EXPECT_TRUE(model.isNewRecord());
  EXPECT_EQ(model.recordNumber(), 3);
  EXPECT_EQ(model.lastRecord(), 2);
  EXPECT_TRUE(model.close());
  EXPECT_TRUE(model.fileChanged());
  EXPECT_EQ(file(), kRecord1 + kRecord3 + kEndMark);
}

TEST_F(InputModelTest, ARecordGrowingToTwoLinesShiftsTheRestOfTheFile) {
  writeBytes(statFile, kRecord1 + kRecord2 + kRecord3);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  ASSERT_TRUE(model.selectField(5));
  model.setEditText("zweite Zeile");
  ASSERT_TRUE(model.goToLast());
  EXPECT_EQ(model.recordNumber(), 3);
  EXPECT_EQ(model.value(0), "3");
  EXPECT_EQ(progressBoxes("Satz wird gespeichert"), 1);
  ASSERT_TRUE(model.goToFirst());
  EXPECT_EQ(model.value(5), "zweite Zeile");
  EXPECT_TRUE(model.close());
  // Line 2 holds positions 80..158: BEMERK starts at its first character.
  const std::string expected = kRecord1 + Line(2, "zweite Zeile") + kRecord2 + kRecord3 + kEndMark;
  EXPECT_EQ(file(), expected);
}

TEST_F(InputModelTest, TheBackupIsMadeOnceBeforeTheFirstSave) {
  const std::string original = kRecord1 + kRecord2 + kRecord3;
  writeBytes(statFile, original);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  // Moving about writes nothing and copies nothing.
  ASSERT_TRUE(model.goToLast());
  ASSERT_TRUE(model.goToFirst());
  EXPECT_FALSE(std::filesystem::exists(backupFile));
  ASSERT_TRUE(model.selectField(1));
  model.setEditText("71");
  ASSERT_TRUE(model.stepRecords(1));
  EXPECT_TRUE(model.backupMade());
  EXPECT_EQ(progressBoxes("Sicherungskopie wird erstellt"), 1);
  const std::string firstBackup = readBytes(backupFile);
  EXPECT_TRUE(firstBackup.starts_with(original)) << firstBackup;
  model.setEditText("82");
  ASSERT_TRUE(model.stepRecords(1));
  EXPECT_EQ(progressBoxes("Sicherungskopie wird erstellt"), 1);
  EXPECT_EQ(readBytes(backupFile), firstBackup);
  EXPECT_TRUE(model.close());
  EXPECT_EQ(file(), Record("  1", "  71", "    3", "01.02.2000", "M") +
                        Record("  2", "  82", "   12", "15.06.2000", "W") + kRecord3 + kEndMark);
}

TEST_F(InputModelTest, EndOnAnEmptyFileShowsRecordOneAsNew) {
  writeBytes(statFile, "");
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  ASSERT_TRUE(model.goToLast());
  EXPECT_EQ(model.recordNumber(), 1);
  EXPECT_TRUE(model.isNewRecord());
  EXPECT_EQ(model.lastRecord(), 0);
  EXPECT_EQ(model.value(0), "");
  // A new record is appended once it has a value; a blank new record is not written.
  model.setEditText("1");
  ASSERT_TRUE(model.stepRecords(1));
  EXPECT_EQ(model.lastRecord(), 1);
  EXPECT_EQ(model.recordNumber(), 2);
  EXPECT_TRUE(model.isNewRecord());
  ASSERT_TRUE(model.stepRecords(1));
  EXPECT_EQ(model.recordNumber(), 2);
  EXPECT_TRUE(model.close());
  EXPECT_EQ(file(), Line(1, "  1") + kEndMark);
}

TEST_F(InputModelTest, PositioningStaysBetweenRecordOneAndTheNewRecord) {
  writeBytes(statFile, kRecord1 + kRecord2 + kRecord3);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  struct Case {
    std::int64_t delta;
    std::int64_t to;
  };
  // From record 1; the new record after the last is 4.
  const std::vector<Case> steps = {{-1, 1}, {1, 2}, {10, 4}, {1, 4}, {-1, 3}, {-10, 1}, {50, 4}, {-50, 1}};
  for (const Case& c : steps) {
    ASSERT_TRUE(model.stepRecords(c.delta));
    EXPECT_EQ(model.recordNumber(), c.to) << "step " << c.delta;
  }
  struct Free {
    std::string typed;
    std::int64_t to;
    int beeps;
  };
  // From record 1; a text that is no whole number beeps and stays.
  const std::vector<Free> free = {{"2", 2, 0},    {"0", 1, 0},    {"3", 3, 0},   {"-5", 1, 0},
                                  {"1E12", 4, 0}, {"zwei", 4, 1}, {"2.5", 4, 2}, {"", 4, 3}};
  for (const Free& f : free) {
    ui.expectValues("Frei Positionieren", std::vector<std::string>{f.typed});
    model.positionFreely();
    EXPECT_EQ(model.recordNumber(), f.to) << f.typed;
    EXPECT_EQ(ui.beeps(), f.beeps) << f.typed;
  }
  // The dialog offers the number of the record shown; "Abbrechen" stays.
  ASSERT_TRUE(model.goToRecord(2));
  ui.expectValues("Frei Positionieren", std::nullopt);
  EXPECT_FALSE(model.positionFreely());
  EXPECT_EQ(ui.lastValuesShown(), std::vector<std::string>{"2"});
  EXPECT_EQ(model.recordNumber(), 2);
  EXPECT_TRUE(model.close());
  EXPECT_FALSE(model.fileChanged());
}

TEST_F(InputModelTest, AFailedBackupWritesNothingAndKeepsTheRecord) {
  const std::string original = kRecord1 + kRecord2;
  writeBytes(statFile, original);
  // The backup cannot be made: its directory does not exist.
  InputModel model(params, ui, statFile, path("fehlt/studie.db1"));
  ASSERT_TRUE(model.open());
  ASSERT_TRUE(model.selectField(1));
  model.setEditText("99");
  ui.expectError(fileNameForDisplay(path("fehlt/studie.db1")) + ": " +
                 std::string("Datei kann nicht geöffnet werden!"_w));
  EXPECT_FALSE(model.stepRecords(1));
  EXPECT_EQ(model.recordNumber(), 1);
  EXPECT_EQ(model.value(1), "99");
  EXPECT_TRUE(model.recordModified());
  EXPECT_FALSE(model.backupMade());
  EXPECT_FALSE(model.fileChanged());
  EXPECT_EQ(file().substr(0, original.size()), original);
  // Closing cannot save it either; after the record is reset the window closes.
  ui.expectError(fileNameForDisplay(path("fehlt/studie.db1")) + ": " +
                 std::string("Datei kann nicht geöffnet werden!"_w));
  EXPECT_FALSE(model.close());
  EXPECT_TRUE(model.isOpen());
  ui.expectConfirm("Datensatz komplett zurücksetzen?"_w, true);
  model.undoChanges();
  EXPECT_EQ(model.value(1), "70");
  EXPECT_TRUE(model.close());
  EXPECT_EQ(file(), original + kEndMark);
}

TEST_F(InputModelTest, ARefusedFieldKeepsTheWindowOpen) {
  writeChecks();
  writeBytes(statFile, kRecord1);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  ASSERT_TRUE(model.selectField(3));
  model.setEditText("05.05.2001");
  ui.expectConfirm("Eintrag > 31.12.2000\rKorrektur ?", true);
  EXPECT_FALSE(model.close());
  EXPECT_TRUE(model.isOpen());
  EXPECT_EQ(model.editText(), "05.05.2001");
  model.setEditText("05.05.2000");
  EXPECT_TRUE(model.close());
  EXPECT_FALSE(model.isOpen());
  EXPECT_EQ(file(), Record("  1", "  70", "    3", "05.05.2000", "M") + kEndMark);
}

TEST_F(InputModelTest, UndoResetsTheFieldOrTheWholeRecord) {
  writeBytes(statFile, kRecord1);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  ASSERT_TRUE(model.selectField(1));
  model.setEditText("75");
  ASSERT_TRUE(model.nextField());
  model.setEditText("8");
  // The edit differs from the field: Yes puts the field's value back.
  ui.expectConfirm("Aktuelles Feld zurücksetzen?"_w, true);
  model.undoChanges();
  EXPECT_EQ(model.editText(), "3");
  EXPECT_TRUE(model.recordModified());
  // No: then the record, which was modified; No keeps it.
  model.setEditText("8");
  ui.expectConfirm("Aktuelles Feld zurücksetzen?"_w, false);
  ui.expectConfirm("Datensatz komplett zurücksetzen?"_w, false);
  model.undoChanges();
  EXPECT_EQ(model.editText(), "8");
  EXPECT_EQ(model.value(1), "75");
  // The edit as the field holds it: only the record is offered.
  model.setEditText("3");
  ui.expectConfirm("Datensatz komplett zurücksetzen?"_w, true);
  model.undoChanges();
  EXPECT_EQ(model.value(1), "70");
  EXPECT_FALSE(model.recordModified());
  // Nothing changed: no question.
  model.undoChanges();
  EXPECT_TRUE(model.close());
  EXPECT_FALSE(model.fileChanged());
  EXPECT_EQ(file(), kRecord1 + kEndMark);
}

TEST_F(InputModelTest, DeletingARecordShowsTheOneNowAtItsNumber) {
  writeBytes(statFile, kRecord1 + kRecord2 + kRecord3);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  ASSERT_TRUE(model.goToRecord(2));
  ui.expectConfirm("Datensatz löschen?"_w, false);
  EXPECT_FALSE(model.deleteRecord());
  EXPECT_EQ(model.value(0), "2");
  ui.expectConfirm("Datensatz löschen?"_w, true);
  EXPECT_TRUE(model.deleteRecord());
  EXPECT_EQ(model.recordNumber(), 2);
  EXPECT_EQ(model.value(0), "3");
  EXPECT_TRUE(model.fileChanged());
  EXPECT_TRUE(model.close());
  EXPECT_EQ(file(), kRecord1 + kRecord3 + kEndMark);
}

TEST_F(InputModelTest, TheColumnCountIsChosenFromAList) {
  writeBytes(statFile, kRecord1);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  ui.expectList("Spaltenzahl auswählen"_w, 0);
  EXPECT_TRUE(model.chooseColumns());
  EXPECT_EQ(ui.lastList().label, "Spalten :");
  EXPECT_EQ(ui.lastList().items, (std::vector<std::string>{"1 Spalte", "2 Spalten", "3 Spalten"}));
  EXPECT_EQ(ui.lastList().startIndex, 2);
  EXPECT_EQ(model.columns(), 1);
  EXPECT_EQ(model.fieldRows(), 6);
  ui.expectList("Spaltenzahl auswählen"_w, Ui::kListCancelled);
  EXPECT_FALSE(model.chooseColumns());
  EXPECT_EQ(model.columns(), 1);
  EXPECT_TRUE(model.close());
}

TEST_F(InputModelTest, PrintingStoresTheFieldAndHandsOverTheRecord) {
  writeBytes(statFile, kRecord1 + kRecord2);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  std::vector<EntryPrintTarget> targets;
  std::vector<std::string> headings;
  model.setPrintHandler([&](EntryPrintTarget target, const EntryPrintout& printout) {
    targets.push_back(target);
    headings.push_back(printout.heading);
  });
  ASSERT_TRUE(model.goToRecord(2));
  model.setEditText("7");
  model.print(EntryPrintTarget::Printer);
  EXPECT_EQ(model.value(0), "7");
  model.print(EntryPrintTarget::Protocol);
  model.print(EntryPrintTarget::FormFeed);
  EXPECT_EQ(targets, (std::vector<EntryPrintTarget>{EntryPrintTarget::Printer, EntryPrintTarget::Protocol,
                                                    EntryPrintTarget::FormFeed}));
  ASSERT_EQ(headings.size(), 3U);
  EXPECT_EQ(headings[0], "* Satz-Nr.: 2");
  EXPECT_EQ(headings[1], "* Satz-Nr.: 2");
  EXPECT_EQ(headings[2], "");
  EXPECT_TRUE(model.close());
}

TEST_F(InputModelTest, ANewRecordAtTheEndIsAppended) {
  writeBytes(statFile, kRecord1 + kRecord2);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  ASSERT_TRUE(model.stepRecords(10));
  EXPECT_TRUE(model.isNewRecord());
  EXPECT_EQ(model.recordNumber(), 3);
  model.setEditText("3");
  ASSERT_TRUE(model.nextField());
  model.setEditText("60");
  ASSERT_TRUE(model.stepRecords(-1));
  EXPECT_EQ(model.recordNumber(), 2);
  EXPECT_EQ(model.lastRecord(), 3);
  EXPECT_TRUE(model.close());
  EXPECT_EQ(file(), kRecord1 + kRecord2 + Line(1, "  3  60") + kEndMark);
}

TEST_F(InputModelTest, LongMovesReportTheRecordNumber) {
  std::string records;
  for (int i = 1; i <= 45; ++i) {
    std::string nr = std::to_string(i);
    records += Line(1, std::string(3 - nr.size(), ' ') + nr);
  }
  writeBytes(statFile, records);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  std::vector<std::int64_t> shown;
  model.setRecordProgress([&](std::int64_t number) { shown.push_back(number); });
  ASSERT_TRUE(model.goToLast());
  EXPECT_EQ(model.recordNumber(), 45);
  EXPECT_EQ(model.value(0), "45");
  // Moving over 44 records shows the number twice on the way, 20 records apart.
  ASSERT_EQ(shown.size(), 2U);
  EXPECT_EQ(shown[1] - shown[0], 20);
  EXPECT_LE(shown[1], 45);
  EXPECT_TRUE(model.close());
}

TEST_F(InputModelTest, AnInputOutputErrorEndsTheWindowWithoutFurtherWrites) {
  const std::string original = kRecord1 + kRecord2 + kEndMark;
  writeBytes(statFile, original);
  InputModel model(params, ui, statFile, backupFile);
  ASSERT_TRUE(model.open());
  ASSERT_TRUE(model.selectField(1));
  model.setEditText("99");
  // The file goes away behind the window's back: a directory stands under its name.
  std::filesystem::rename(statFile, path("weg.dt1"));
  std::filesystem::create_directory(statFile);
  // Neither the copy nor the reopening after it can open the file.
  const std::string cannotOpen =
      fileNameForDisplay(statFile) + ": " + std::string("Datei kann nicht geöffnet werden!"_w);
  ui.expectError(cannotOpen);
  ui.expectError(cannotOpen);
  EXPECT_FALSE(model.stepRecords(1));
  EXPECT_TRUE(model.failed());
  EXPECT_TRUE(model.close());
  EXPECT_FALSE(model.fileChanged());
  EXPECT_EQ(readBytes(path("weg.dt1")), original);
  EXPECT_TRUE(std::filesystem::is_directory(statFile));
}

}  // namespace
}  // namespace veltrix
