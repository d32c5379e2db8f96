// The data entry window TInpDlg ("DATENEINGABE"): one record of the statistics file at a time as a grid
// of label and value cells, the moves between fields and records, the entry check of each stored value,
// and the writing of changed records back into the file in place (after a backup copy made before the
// first change). The window shows this model and forwards its keys and buttons.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"
#include "core/entry/entry_checks.h"
#include "core/entry/entry_print.h"
#include "core/entry/entry_records.h"

namespace veltrix {

class Ui;

// "&D" prints the grid to the printer, "&P" appends it to the protocol file, "&B" is the form feed
// (its printout is empty).
enum class EntryPrintTarget { Printer, Protocol, FormFeed };
using EntryPrintHandler = std::function<void(EntryPrintTarget target, const EntryPrintout& printout)>;

// A cell of the grid: row 0 is the heading row, grid column 2c is the label and 2c + 1 the value of
// variable column c.
struct EntryCell {
  int row = 0;
  int column = 0;
  friend bool operator==(const EntryCell&, const EntryCell&) = default;
};

class InputModel {
 public:
  static constexpr int kHelpContext = 12000;
  static constexpr int kMaxColumns = 3;

  InputModel(const TParams& params, Ui& ui, std::string statisticsFile, std::string backupFile);
  ~InputModel();
  InputModel(const InputModel&) = delete;
  InputModel& operator=(const InputModel&) = delete;

  // Without variables: "Keine Eingabevariablen !" and false. Otherwise reads the entry checks, opens
  // the record file (false after its message when that fails) and shows record 1.
  bool open();

  // ---- the grid
  int columns() const { return m_columns; }
  // Clamped to 1..3; the current field stays.
  void setColumns(int columns);
  int fieldCount() const { return static_cast<int>(m_fields.size()); }
  // Rows of fields (the heading row not counted).
  int fieldRows() const;
  const VariableEntry& field(int index) const { return m_fields[static_cast<std::size_t>(index)]; }
  // " " + the name without trailing blanks.
  std::string label(int index) const;
  // The field's value as the record holds it (DisplayFieldValue).
  std::string value(int index) const;
  EntryCell valueCell(int index) const;
  EntryCell labelCell(int index) const;
  // The field whose value cell this is; -1 for label cells, the heading row and empty cells.
  int fieldAt(EntryCell cell) const;

  // ---- the record
  std::int64_t recordNumber() const;
  std::int64_t lastRecord() const;
  bool isNewRecord() const;
  bool recordModified() const { return m_recordModified; }
  bool backupMade() const { return m_backupMade; }
  // True once any record was written: the result windows are then out of date.
  bool fileChanged() const { return m_fileChanged; }
  const RecordBuffer& record() const { return m_record; }
  // Called with the record number passed while moving over many records (every 20 records).
  void setRecordProgress(RecordProgress progress) { m_progress = std::move(progress); }

  // ---- the edit over the current value cell
  int currentField() const { return m_current; }
  const std::string& editText() const { return m_editText; }
  bool editModified() const { return m_editModified; }
  // What the user typed (Windows-1252).
  void setEditText(std::string text);

  // Stores the edit into the record when it was modified: the text made ready (PrepareFieldText), and
  // when it differs from the field's content, checked (CheckEntryValue); a failed check asks the
  // message + "\r" + "Korrektur ?": Yes refuses the value (false, the edit stays as typed), No accepts
  // it as entered. An accepted value is written into the record, which is then modified.
  bool storeField();

  // ---- moves between fields; each stores the field first and returns false when it was refused
  bool nextField();      // Enter, Tab: after the last field the next record
  bool previousField();  // Shift+Tab: before the first field the previous record
  bool firstField();     // Home
  bool lastField();      // End
  bool fieldUp();        // same column, previous row
  bool fieldDown();      // same column, next row; into a shorter last row its last field
  bool pageUp(int visibleRows);
  bool pageDown(int visibleRows);
  // A mouse click on a cell; label cells and empty cells cannot be selected (false, nothing happens).
  bool selectCell(EntryCell cell);
  bool selectField(int index);

  // ---- moves between records; each stores the field and saves a modified record first, and returns
  // false when the field was refused or the record could not be saved (it then stays in the window)
  bool goToFirst();                      // "&Anfang"
  bool goToLast();                       // "&Ende"
  bool stepRecords(std::int64_t delta);  // "1 (F1)" -1 .. "50 (F8)" +50
  // "? (F4)": the number asked in "Frei Positionieren"; numbers below 1 give record 1, numbers
  // beyond the end the new record after the last; a text that is no whole number beeps.
  bool positionFreely();
  bool goToRecord(std::int64_t number);

  // "DS &löschen": "Datensatz löschen?"; Yes deletes the record and shows the one now at its number.
  bool deleteRecord();
  // "Änd. &rückg." and Escape: the edit back to the field's value ("Aktuelles Feld zurücksetzen?"),
  // or else the record as read ("Datensatz komplett zurücksetzen?").
  void undoChanges();
  // "&Spalten": the field is stored, then "Spaltenzahl auswählen"; true when the count changed.
  bool chooseColumns();
  // "&D", "&P" (the field is stored first) and "&B".
  void print(EntryPrintTarget target);
  void setPrintHandler(EntryPrintHandler handler) { m_print = std::move(handler); }

  // "&OK" or closing the window: stores the field and saves a modified record; false keeps the window
  // open (a refused value, a record that could not be saved). True closes the record file.
  bool close();
  // The record file failed (its message was shown): the window closes, nothing more is written.
  bool failed() const { return m_file.failed(); }
  bool isOpen() const { return m_file.isOpen(); }

 private:
  bool moveToField(int index);
  // Saves a modified record; false when the backup or the save failed.
  bool saveRecord();
  bool ensureBackup();
  // Reads record number (clamped) into the buffers; the field stays.
  void readRecord(std::int64_t number);
  void readLastRecord();
  void afterRead();
  void loadEdit();
  // Stores the field and saves the record before a move to another record.
  bool leaveRecord();
  int structureEnd() const;

  const TParams& m_params;
  Ui& m_ui;
  std::string m_statisticsFile;
  std::string m_backupFile;
  EntryChecks m_checks;
  std::vector<VariableEntry> m_fields;
  std::vector<const EntryCheck*> m_fieldChecks;
  EntryRecordFile m_file;
  RecordBuffer m_record;
  RecordBuffer m_asRead;
  int m_columns = kMaxColumns;
  int m_current = 0;
  std::string m_editText;
  bool m_editModified = false;
  bool m_recordModified = false;
  bool m_backupMade = false;
  bool m_fileChanged = false;
  // The last save deleted the record: the number now names the record that followed it.
  bool m_deletedBySave = false;
  RecordProgress m_progress;
  EntryPrintHandler m_print;
};

}  // namespace veltrix
