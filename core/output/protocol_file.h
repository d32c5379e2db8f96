// Protocol files: result tables appended as plain text to a file the user chose once, fixed-width or
// (grid tables) as separated values, and the choice of that file among ten numbered names.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/output/table_manager.h"

namespace veltrix {

class Ui;

// A moment to the minute, as the protocol files and page headers show it.
struct StampTime {
  int day = 1;
  int month = 1;
  int year = 2000;
  int hour = 0;
  int minute = 0;
};

// "dd.mm.yyyy hh:mm"
std::string StampText(const StampTime& time);
// The local time now.
StampTime CurrentStampTime();
using StampClock = std::function<StampTime()>;

inline constexpr int kProtocolRuleWidth = 77;
inline constexpr int kProtocolHeaderWidth = 85;
inline constexpr int kProtocolTextWidth = 100;
inline constexpr int kCsvDefaultWidth = 15;

struct ProtocolFormat {
  bool csv = false;  // grid tables only; text tables are always fixed-width
  char separator = ';';
};

// The lines (without line ends) a protocol file receives for one table: the header line with job title
// (may be empty) and time filled on the left with "-" to 85 characters; each title line as the left
// title padded with blanks to 77 minus the right title's length, then the right title; a rule of 77
// "-"; the note right-aligned in 77 and another rule when there is a note; then the body. A text
// table's lines are its plain-text fields of 100 characters, trailing blanks included.
std::vector<std::string> ProtocolTextTable(const TTabHeader& header, const std::vector<std::string>& lines,
                                           std::string_view jobTitle, const StampTime& time);
// grid.colWidths are characters; the table window passes the widths its user left.
std::vector<std::string> ProtocolGridTable(const TTabHeader& header, const TableGrid& grid,
                                           const ProtocolFormat& format, std::string_view jobTitle,
                                           const StampTime& time);

// Appends tables to a protocol file (created when missing), lines ended by CR LF.
class TDCopyMng {
 public:
  explicit TDCopyMng(Ui& ui) : m_ui(ui) {}
  bool appendLines(const std::string& fileName, const std::vector<std::string>& lines);

 private:
  Ui& m_ui;
};

// The choice of the protocol file: the ten names base + digit + ".txt" in one folder, the CSV switch
// and separator for grid tables. The dialog shows this model and forwards OK with the chosen digit.
class CopyFileChoice {
 public:
  static std::string caption();  // "Protokolldatei auswählen"
  static std::string note();     // "(*) : Datei existiert schon. Wird bei Auswahl überschrieben!"
  static std::string csvSwitchText();
  static std::string invalidSeparatorText();  // "Unzulässiges Trennzeichen"

  CopyFileChoice(std::string folder, std::string baseName, bool gridTable, bool csv, char separator);

  std::string folderLabel() const;  // "Verzeichnis: " + folder
  // The ten list items, digit 0..9; an existing file reads "name.txt  (*)".
  std::vector<std::string> items() const;
  std::string fileName(int digit) const;
  bool showsCsvSwitch() const { return m_gridTable; }

  bool csv = false;
  std::string separator;  // the one-character field

  // OK (or a double click) on digit: a blank separator of a grid table is refused with an error; an
  // existing file is deleted after the user confirms overwriting it. False: the dialog stays.
  bool accept(int digit, Ui& ui);
  int chosenDigit() const { return m_chosen; }

 private:
  std::string m_folder;
  std::string m_baseName;
  bool m_gridTable = false;
  int m_chosen = -1;
};

}  // namespace veltrix
