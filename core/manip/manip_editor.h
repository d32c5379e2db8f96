// The manipulation editor "Datenmanipulation - <file>": the command text, the variable names to insert
// into it, the help table of the language; "OK" compiles, saves a changed text and asks whether
// editing ends.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/manip/compiler.h"

namespace veltrix {

class TParams;
class Ui;

// The physical lines of a command file; nothing (after the file layer's message) when it cannot be
// read.
std::optional<std::vector<std::string>> ReadCommandFile(Ui& ui, const std::string& fileName);

struct ManipCaret {
  int line = 0;  // 0-based
  int column = 0;
  friend bool operator==(const ManipCaret&, const ManipCaret&) = default;
};

struct ManipEditorResult {
  enum class Action {
    Refused,     // a compile error: message shown, lineToSelect set, the editor stays open
    KeepOpen,    // compiled (and saved when changed); "Editieren beenden?" answered No
    Run,         // compiled, saved, "Ja": the editor closes and the group choice follows
    SaveFailed,  // the command file could not be written: message shown, the editor stays open
  };
  Action action = Action::Refused;
  int lineToSelect = -1;
};

class ManipEditorModel {
 public:
  static constexpr int kHelpContext = 14000;

  // Opens the command file (a missing file gives an empty text).
  ManipEditorModel(const TParams& params, Ui& ui, std::string commandFile);

  std::string caption() const;  // "Datenmanipulation - " + the file's name without directory
  const std::string& commandFile() const { return m_commandFile; }

  const std::vector<std::string>& lines() const { return m_lines; }
  void setLines(std::vector<std::string> lines);
  bool modified() const { return m_modified; }

  // Whether a character typed into the command text is accepted (any Windows-1252 byte except
  // controls; the view beeps otherwise). The view converts typed text to Windows-1252 first and
  // refuses a character that has no Windows-1252 form.
  static bool acceptsCharacter(char c);

  // The structure's variable names (list variables, 10 characters), in file order or sorted, then
  // "*H1" .. "*H8".
  bool namesSorted() const { return m_sorted; }
  void setNamesSorted(bool sorted);
  const std::vector<std::string>& variableNames() const { return m_names; }
  // Inserts "[" + name i trimmed + "]" at the caret (moved to the end of its line or text when past
  // it); returns the caret behind it. An index outside the list inserts nothing.
  ManipCaret insertName(int i, ManipCaret caret);

  // The 26 rows of the help table: syntax and meaning.
  static const std::vector<std::pair<std::string, std::string>>& helpRows();

  // "Befehlsdatei laden": the text of another file replaces the editor text and the modified mark is
  // cleared; saving still goes to the file the editor was opened with. False when it cannot be read.
  bool loadCommandFile(const std::string& fileName);

  // "OK".
  ManipEditorResult accept();
  // The program of the last accepted compile.
  const CommandProgram& program() const { return m_program; }

  // The ready flag of the program is clear: typing, the buttons and closing do nothing.
  bool busy() const;

 private:
  void fillNames();

  const TParams& m_params;
  Ui& m_ui;
  std::string m_commandFile;
  std::vector<std::string> m_lines;
  std::vector<std::string> m_openedLines;
  bool m_modified = false;
  bool m_sorted = false;
  std::vector<std::string> m_names;
  CommandProgram m_program;
};

}  // namespace veltrix
