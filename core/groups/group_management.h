// The dialog "Gruppen / Klasseneinteilungen": the groups 0..20 and the class divisions 0..20 in one list
// with two tabs, editing and deleting them, and combining two groups into a third by intersection
// ("Durchschnitt", the terms of both must hold) or union ("Vereinigung", either group's terms).
//
// The model works on the parameter object directly: every stored change marks it modified, and closing
// the dialog writes the parameter file when it is. The editors of a group and of a class division are
// handed in as callbacks, so the model does not depend on them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/base/ui.h"
#include "core/datafile/params.h"

namespace veltrix {

// An editor opened on record n: the edited record once the user confirmed a change, else nothing.
using GroupEditorCall = std::function<std::optional<GroupRecord>(int n, const GroupRecord& record)>;
using ClassDivisionEditorCall =
    std::function<std::optional<ClassDivisionRecord>(int n, const ClassDivisionRecord& record)>;

enum class ManagementTab { Groups = 0, ClassDivisions = 1 };

enum class CombinationMode { None = 0, Intersection = 1, Union = 2 };

// What combining groups a and b into t did.
enum class CombineOutcome {
  Stored,
  TooLarge,       // "Kombination wird zu umfangreich"
  OrInvolved,     // an intersection with a group that contains OR
  TargetRefused,  // group 0 (or a number outside 1..255) cannot be written
};

// Combines groups a and b of params into group t (no questions asked, no messages): the stored
// definitions are joined at a's terminating zero, for a union as a new alternative. On Stored the
// result is put as group t and params is marked modified; otherwise nothing changes.
CombineOutcome CombineGroups(TParams& params, int a, int b, int t, CombinationMode mode);

// Whether any term of the stored definition starts an alternative (carries the OR flag).
bool GroupDefinitionHasOr(const GroupRecord& group);

class GroupManagementModel {
 public:
  static constexpr int kHelpContext = 30000;
  // The list shows the numbers 0..20 of either tab.
  static constexpr int kListedNumbers = 21;

  GroupManagementModel(TParams& params, Ui& ui, GroupEditorCall editGroup,
                       ClassDivisionEditorCall editClassDivision);

  static std::string caption();  // "Gruppen / Klasseneinteilungen"
  // Heading of a print of the current tab: the caption + " :".
  static std::string printHeading();

  ManagementTab tab() const { return m_tab; }
  // Refused (false) while two groups are being combined. The selected line stays.
  bool setTab(ManagementTab tab);

  // The 21 lines of the current tab: group texts or class division texts, line i for number i.
  std::vector<std::string> lines() const;
  std::string line(int i) const;
  int selected() const { return m_selected; }
  // Clamped to 0..20.
  void select(int i);

  // Double click or Enter on the list: edit outside combination mode, choose inside it.
  void activate();
  // "Bearbeiten" on the selected line (ignored in combination mode). True when a changed record was
  // stored.
  bool edit();
  // "Löschen" on the selected line, after asking. True when the record was cleared.
  bool remove();

  // "Durchschnitt" or "Vereinigung" (groups tab only, not while combining). False when refused.
  bool startCombination(CombinationMode mode);
  // "Auswählen" (or double click / Enter while combining): the selected line becomes the first group,
  // the second group or the target. True when the choice was taken (a refused target keeps the step).
  bool choose();
  // "Abbrechen": leaves combination mode without change.
  void cancelCombination();
  bool inCombination() const { return m_mode != CombinationMode::None; }
  CombinationMode combinationMode() const { return m_mode; }
  int combinationStep() const { return m_step; }  // 1..3, 0 outside combination mode
  // "1. Gruppe auswählen", "2. Gruppe auswählen", "Zielgruppe auswählen"; empty outside.
  std::string prompt() const;
  // The choices so far: "3 / " or "3 + ", then the second number.
  const std::string& display() const { return m_display; }
  // The caption of the button that started the combination + ":" ("Durchschnitt:").
  std::string label() const;

  // Enabled and visible states of the controls.
  bool closeEnabled() const { return !inCombination(); }  // "Schließen"
  bool printEnabled() const { return !inCombination(); }  // "Drucken", "Blattvorschub", "Kopie auf Platte"
  bool editEnabled() const { return !inCombination(); }   // "Bearbeiten"
  bool deleteEnabled() const { return true; }             // "Löschen"
  bool combineButtonsVisible() const {
    return m_tab == ManagementTab::Groups;
  }  // "Durchschnitt", "Vereinigung"
  bool combineButtonsEnabled() const { return !inCombination(); }
  bool combinationControlsVisible() const {
    return inCombination();
  }  // "Abbrechen", "Auswählen", display, labels
  bool tabSwitchAllowed() const { return !inCombination(); }

  // "Schließen" or the window's close (ends a combination first): when the parameter object is marked
  // modified, the eight selection slots are cleared and the parameter file is written. True when
  // groups or class divisions were changed.
  bool close();

 private:
  bool editGroup(int n);
  bool editClassDivision(int n);
  void combineInto(int target);
  void endCombination();

  TParams& m_params;
  Ui& m_ui;
  GroupEditorCall m_editGroup;
  ClassDivisionEditorCall m_editClassDivision;
  ManagementTab m_tab = ManagementTab::Groups;
  int m_selected = 0;
  CombinationMode m_mode = CombinationMode::None;
  int m_step = 0;
  int m_first = 0;
  int m_second = 0;
  std::string m_display;
};

}  // namespace veltrix
