// The group editor "Gruppe Nr. n": the two titles and the definition text of one group, with the
// variable names of the structure to insert into the text. "OK" compiles a changed definition; a group
// whose titles alone changed keeps its stored definition bytes, so values the text cannot give back
// exactly are never rewritten.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/ui.h"
#include "core/datafile/params.h"

namespace veltrix {

// A place in the definition text: 0-based line and column.
struct EditorCaret {
  int line = 0;
  int column = 0;

  friend bool operator==(const EditorCaret&, const EditorCaret&) = default;
};

// What "OK" did.
struct GroupEditorResult {
  enum class Action {
    Unchanged,  // nothing was modified: the dialog closes, nothing is stored
    Changed,    // the dialog closes with the new record
    Refused,    // the definition did not compile: the message was shown, the dialog stays open
  };
  Action action = Action::Unchanged;
  std::optional<GroupRecord> record;  // with Changed
  int lineToSelect = -1;              // with Refused: the physical line where the failing logical line begins
};

class GroupEditorModel {
 public:
  static constexpr int kHelpContext = 30100;
  static constexpr int kLongTitleLength = 35;
  static constexpr int kShortTitleLength = 10;

  // Opens group number with its stored record: the titles (trailing blanks removed) and the rendered
  // definition fill the fields.
  GroupEditorModel(const TParams& params, Ui& ui, int number, const GroupRecord& record);

  std::string caption() const;  // "Gruppe Nr. " + number
  // The heading of a printed definition: the caption + ": " + the long title.
  std::string printHeading() const;
  int number() const { return m_number; }

  const std::string& longTitle() const { return m_longTitle; }
  const std::string& shortTitle() const { return m_shortTitle; }
  // Cut to 35 and 10 characters.
  void setLongTitle(std::string_view title);
  void setShortTitle(std::string_view title);

  const std::vector<std::string>& definitionLines() const { return m_lines; }
  // The text as the field holds it; every character is upper-cased, as typed characters are.
  void setDefinitionLines(const std::vector<std::string>& lines);
  // The character a key press puts into the definition field.
  static char typedCharacter(char c);

  // Modified against what the dialog opened with.
  bool titlesModified() const;
  bool definitionModified() const { return m_lines != m_openedLines; }
  bool modified() const { return titlesModified() || definitionModified(); }

  // The variable names of the structure (10 characters each, "*DSNR" among them), in file order or
  // sorted ("Variablen sortiert" / "Variablen unsortiert").
  bool namesSorted() const { return m_sorted; }
  void setNamesSorted(bool sorted);
  const std::vector<std::string>& variableNames() const { return m_names; }
  // Double click or Enter on name i: the name without trailing blanks goes into the definition at the
  // caret (a caret past the text is moved to its end). Returns the caret behind the inserted name;
  // a name index outside the list inserts nothing and returns the caret as it was.
  EditorCaret insertName(int i, EditorCaret caret);

  // "OK".
  GroupEditorResult accept();

 private:
  const TParams& m_params;
  Ui& m_ui;
  int m_number;
  GroupRecord m_record;
  std::string m_longTitle;
  std::string m_shortTitle;
  std::string m_openedLongTitle;
  std::string m_openedShortTitle;
  std::vector<std::string> m_lines;
  std::vector<std::string> m_openedLines;
  std::vector<std::string> m_names;
  bool m_sorted = false;
};

}  // namespace veltrix
