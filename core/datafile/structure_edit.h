// Editing the structure of a statistics file: the name rules both structure dialogs share, their
// list of items, and the presentation models of the append dialog (TNeuVar, also in its recompute
// mode) and of the free dialog (TFreiV). The dialogs show a model and forward clicks and keys; the
// variable table changes only when the caller writes the list back after "OK".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"

namespace veltrix {

class Ui;

inline constexpr int kMaxRecordEnd = kRecordLength;       // 7821: the last position a field may use
inline constexpr int kMaxStructureItems = kMaxVariables;  // 1050 items, the empty one included
inline constexpr int kNameEditLength = kVariableNameLength;
inline constexpr int kLengthEditLength = 2;
inline constexpr int kPositionEditLength = 4;
inline constexpr int kAppendHelp = 40100;
inline constexpr int kFreeHelp = 40200;
inline constexpr int kWarningHelp = 40300;
inline constexpr int kRecomputeHelp = 40400;

enum class VariableNameKind {
  Invalid,
  Numeric,  // field length 1..9
  Text,     // ends with ">": field length 1..60
  Indexed,  // NAME*k: a series of numeric variables
};

// The kind of a name as typed (upper case, without surrounding blanks): first character a letter
// (A..Z, Ä, Ö, Ü, ß), none of ":", "]", "[", ",", at most 10 characters. An indexed name has at least
// 3 characters, "*" as its last but one and A..Z or 0..9 as its last.
VariableNameKind ClassifyVariableName(std::string_view name);
// 60 for a text name, 9 for the others.
int MaxFieldLength(VariableNameKind kind);

// The series an indexed name stands for: "AB*3" is AB-0, AB-1, AB-2, AB-3.
struct IndexedSeries {
  std::string base;  // the name up to and including "-" ("AB-")
  char first = '0';  // '0' or 'A'
  char last = '0';
  int count() const { return last - first + 1; }
  std::string member(int i) const { return base + static_cast<char>(first + i); }
};
std::optional<IndexedSeries> SeriesOfIndexedName(std::string_view name);

// One item of the list: a variable, or the empty item at the end.
struct StructureItem {
  std::string name;  // without padding; empty for the empty item
  int position = 0;  // FA; 0 while not yet assigned
  int length = 0;    // FL
  bool isProtected = false;

  bool empty() const { return name.empty(); }
  int end() const { return position + length - 1; }
};

// The stored text form of an item: name in columns 1..10, FA right-aligned in 11..14 (blank while
// unassigned), FL right-aligned in 15..16, "   --" from 17 on for a protected item.
std::string StructureItemText(const StructureItem& item);

// Writes the items back into the variable table: empty items are skipped; an item without FA starts
// after the previous accepted one; an item that does not start beyond the previous accepted end, or
// that ends beyond 7821, is skipped; the accepted ones become variables 1..n and the count is n (the
// entries behind it are emptied). Returns n.
int WriteBackStructure(const std::vector<StructureItem>& items, TParams& params);

// After a dialog closed with a change: the list becomes the variable table, all selection slots are
// cleared (they name variables by position) and the parameter file is written. False when the file
// could not be written (the message was shown).
bool SaveEditedStructure(const std::vector<StructureItem>& items, TParams& params);

enum class StructureField { Name, Position, Length };

// What Enter in an edit did.
enum class EntryOutcome {
  Stored,      // the item was stored (a whole series too); the selection moved on
  FocusMoved,  // an edit was empty: the focus went there
  Refused,     // a message was shown; the item stays as it was, the focus is on the offending edit
  Stopped,     // a series was stored only in part (list full or record end reached); a message was shown
  Ignored,     // a protected item: its edits are disabled
};

// The list and the edits both dialogs share.
class StructureList {
 public:
  const std::vector<StructureItem>& items() const { return m_items; }
  int current() const { return m_current; }
  // The item number (1-based) right-aligned in 4 characters.
  std::string counterText() const;
  // An item as the list shows it: the name in 15 characters, FA right-aligned in 6 (left out where
  // positions are hidden), FL right-aligned in 6, then the marker.
  std::string displayLine(int index) const;
  bool showsPositions() const { return m_showsPositions; }

  const std::string& nameText() const { return m_name; }
  const std::string& positionText() const { return m_position; }
  const std::string& lengthText() const { return m_length; }
  // Typing into an edit: the name is upper-cased. A text longer than the edit takes (10, 4, 2
  // characters) is refused with a beep and the edit keeps its text; false then.
  bool setEditText(StructureField field, std::string_view text);
  // False for a protected item: its edits show it but are disabled.
  bool editsEnabled() const;
  StructureField focus() const { return m_focus; }

  // A click on an item: selects it and fills the edits from it. Indexes outside the list are ignored.
  void selectItem(int index);
  // The index of the item of that name (without padding), -1 when there is none.
  int findItem(std::string_view name) const;

  bool changed() const { return m_changed; }

 protected:
  StructureList(Ui& ui, bool showsPositions);

  // An error box with the beep, placed by placement hint 4; the focus goes to the field.
  void refuse(std::string_view message, StructureField field);
  // Whether another item than the current one has this name - or, for a series base ("AB-"), begins
  // with it.
  bool nameTaken(std::string_view name, bool asPrefix) const;
  bool refuseDuplicate(std::string_view typed, std::string_view nameOrBase, bool asPrefix);
  // Adds the empty item at the end when the last item holds a variable and the list is not full.
  void keepEmptyItemAtEnd();
  int variableItems() const;
  void fillEdits();

  Ui& m_ui;
  std::vector<StructureItem> m_items;
  int m_current = 0;
  std::string m_name;
  std::string m_position;
  std::string m_length;
  StructureField m_focus = StructureField::Name;
  bool m_showsPositions;
  bool m_changed = false;
};

enum class NeuVarMode {
  Append,     // 4010: the variables of the table are protected, new ones are added behind them
  Recompute,  // 4040: every item is editable and gets a new position on "OK"
};

// The append dialog "Variablenliste ergänzen".
class TNeuVar : public StructureList {
 public:
  TNeuVar(Ui& ui, const TParams& params, NeuVarMode mode);

  static std::string caption();
  NeuVarMode mode() const { return m_mode; }
  int helpNumber() const { return m_mode == NeuVarMode::Append ? kAppendHelp : kRecomputeHelp; }
  // The end of the record as the list stands: in append mode the end of the table's last variable plus
  // the lengths of the items added; in recompute mode, where every item gets a new position, the sum of
  // the lengths.
  int runningEnd() const { return m_end; }

  // Enter in the name or the length edit.
  EntryOutcome enter(StructureField from);
  // "Entfernen": removes the selected editable item; a beep on the empty item.
  void removeItem();
  // "Nach oben" / "Nach unten": swaps the selected editable item with its neighbour and follows it;
  // a beep at the first editable item, at the end of the list or when either item is empty.
  void moveUp();
  void moveDown();

 private:
  bool refuseProtected();
  EntryOutcome store();
  EntryOutcome storeSeries(const IndexedSeries& series, int length);
  int firstEditable() const;

  NeuVarMode m_mode;
  int m_end = 0;
};

// The free dialog "Variablen frei anlegen / löschen / umbenennen".
class TFreiV : public StructureList {
 public:
  TFreiV(Ui& ui, const TParams& params);

  static std::string caption();
  int helpNumber() const { return kFreeHelp; }

  // Enter in one of the three edits.
  EntryOutcome enter(StructureField from);
  // "Entfernen": asks NAME + " : Variable löschen?" and removes the item on Yes; a beep on the empty
  // item. True when it was removed.
  bool removeItem();

 private:
  EntryOutcome store();
};

// The warning before the recompute dialog ("WARNUNG !"), OK / "Abbrechen" / "&Hilfe".
struct TSWarn {
  static std::string caption();
  // The three paragraphs, in order.
  static std::vector<std::string> texts();
};

}  // namespace veltrix
