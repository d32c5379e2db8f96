// The class division editor: 29 rows of boundaries or texts, an edit field, the kind of division and
// the buttons "Fortsetzen", "Einfügen" and "Entfernen". The dialog shows this model and forwards its
// clicks and keys; the model checks the rows on "OK" and builds the division record from them.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/datafile/params.h"

namespace veltrix {

class Ui;

// The radio buttons of "Typ", numbered as the kinds of the division record.
enum class ClassDivisionType { Numeric = 0, Equal = 1, Contains = 2, BeginsWith = 3 };

enum class ClassEditOutcome {
  Unchanged,  // nothing changed: the dialog closes, nothing is stored
  Accepted,   // record holds the new division: the dialog closes and the caller stores it
  Refused,    // a row was refused with a message: the dialog stays open on that row
};

struct ClassEditResult {
  ClassEditOutcome outcome = ClassEditOutcome::Unchanged;
  // With Accepted: count + 32 * kind in byte 1, the entries from byte 2; byte 0 (the number) is set
  // when the parameter object stores it.
  ClassDivisionRecord record{};
};

class TEditKls {
 public:
  static constexpr int kRowCount = kMaxClassValues;
  static constexpr int kHelpNumber = 30200;
  static constexpr int kNumericInputLength = 10;
  static constexpr int kTextInputLength = 6;

  // The editor of division number with its stored record; the first row is selected.
  TEditKls(Ui& ui, int number, const ClassDivisionRecord& record);

  // "Klasseneinteilung Nr. " + number.
  std::string caption() const;

  // The rows as the list shows them: boundaries as FormatInWidth(-7, 10, b) without blanks, texts as
  // their 6 characters without trailing blanks, rows beyond the entries empty.
  const std::array<std::string, kRowCount>& rows() const { return m_rows; }
  // 0-based index of the selected row.
  int currentRow() const { return m_current; }

  const std::string& editText() const { return m_editText; }
  // Typing: the text upper-cased and cut to maxInputLength().
  void setEditText(std::string_view text);
  // 10 characters for a numeric division, 6 for a text division.
  int maxInputLength() const;

  ClassDivisionType type() const { return m_type; }
  // A text kind disables "Fortsetzen" and cuts the input to 6 characters; numeric enables it again.
  void setType(ClassDivisionType type);
  bool continueEnabled() const { return m_type == ClassDivisionType::Numeric; }

  // A click on a row: selects it and copies it into the edit field. Indexes outside 0..28 are ignored.
  void selectRow(int row);
  // Enter in the edit field: the selected row takes the trimmed input when it differs from the row,
  // then the selection moves on (it stays on the last row) and the edit field shows that row.
  void enter();
  // "Fortsetzen": from the third row on, when the two rows above hold numbers a and b, the selected
  // row becomes 2b - a and the selection moves on. On the first two rows only a beep; otherwise nothing.
  void continueRow();
  // "Einfügen": an empty row at the selection, the rows below shift down. Refused with a beep when the
  // last row is not empty or the last row is selected.
  void insertRow();
  // "Entfernen": the selected row goes, the rows below shift up, an empty row is added at the end.
  void removeRow();

  // True once a row changed or the kind differs from the stored one.
  bool changed() const;

  // "OK": checks the rows (empty rows are skipped, so the entries close up) and builds the record. A
  // numeric row that is not a number, or a boundary beyond the six-byte range, gives "Kein numerischer
  // Wert: " + the row; a boundary not above the one before (as stored) gives "Werte nicht in
  // aufsteigender Folge !". The message is shown through the Ui with the offending row selected.
  ClassEditResult ok();

 private:
  void moveToRow(int row);
  void setRow(int row, std::string text);

  Ui& m_ui;
  int m_number;
  int m_storedType;
  std::array<std::string, kRowCount> m_rows;
  int m_current = 0;
  std::string m_editText;
  ClassDivisionType m_type = ClassDivisionType::Numeric;
  bool m_changed = false;
};

}  // namespace veltrix
