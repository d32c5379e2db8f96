// The variable selection of an analysis: the presentation model behind the dialog TAuswDlg. It is
// built from the analysis descriptor, offers per box a catalog (variables by the box's filter, class
// divisions or groups), collects the user's entries, and on acceptance stores them in the selection
// slots of the parameter object, where the data pass and the procedures read them.
//
// The dialog only shows this model and forwards the user's actions; every rule (filters, counts,
// activation order, explanation line, memory of the slots, the checks on acceptance) lives here.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/descriptors.h"
#include "core/datafile/params.h"

namespace veltrix {

class Ui;

// "keine" .. "arcsin(sqrt (x/100))": the transformation choice of list 1.
inline constexpr int kTransformationCount = 10;
std::string_view TransformationChoice(int index);  // 0..9

// What "Speicherinhalt" offers: the stored entries of the box's slot as the box would take them, only
// those its catalog holds (a slot of another analysis may name a text variable or a deleted group).
struct SlotMemory {
  std::vector<std::string> entries;  // variable names, class numbers (2 characters), group numbers (3)
  bool completeCases = false;        // box 1
  int transformation = 0;            // box 1, clamped to 0..9
};

class VariableSelectionModel {
 public:
  // The descriptor text and title as PrepareDescriptor gave them; code for the help topic (code x 10).
  VariableSelectionModel(Ui& ui, TParams& params, int code, std::string_view descriptor, std::string title);

  const std::string& caption() const { return m_title; }
  int helpTopic() const { return m_code * 10; }
  const AnalysisDescriptor& descriptor() const { return m_descriptor; }

  // ---- boxes 1..8 (outside: absent)
  bool present(int box) const;
  // The caption shown above the box.
  std::string boxCaption(int box) const;
  int minimum(int box) const;
  int maximum(int box) const;
  bool multiSelect(int box) const { return maximum(box) > 1; }
  int firstBox() const;  // lowest present box, 0 when none
  int lastBox() const;
  // Entries of a box as shown: variable names (10 characters), class numbers in two characters,
  // group numbers in three.
  const std::vector<std::string>& entries(int box) const;
  // Selected entries of a box and its cursor (index of the current entry, -1 none).
  const std::vector<bool>& entrySelection(int box) const;
  int entryCursor(int box) const;
  void setEntrySelection(int box, const std::vector<int>& selected);
  void setEntryCursor(int box, int index);

  // ---- the active box and its catalog
  int activeBox() const { return m_active; }
  // Makes box the active one: catalog, explanation line and buttons follow it. Absent boxes are ignored.
  void activate(int box);
  // The catalog of the active box: variables that pass its filter in entry-form order or
  // alphabetically ("*DSNR" last unless the filter is text-only), the class division list, or the
  // group list.
  const std::vector<std::string>& catalog() const { return m_catalog; }
  const std::vector<bool>& catalogSelection() const { return m_catalogSelection; }
  int catalogCursor() const { return m_catalogCursor; }
  void setCatalogSelection(const std::vector<int>& selected);
  void setCatalogCursor(int index);
  bool alphabetical() const { return m_alphabetical; }
  // "alphabetisch sortiert" / "Reihenfolge Eingabemaske"; only variable boxes sort.
  void setAlphabetical(bool alphabetical);
  bool sortEnabled() const;
  // The line below the catalog, for example " Eine Variable auswählen".
  std::string explanation() const;

  bool upDownEnabled() const;                   // "Nach oben" / "Nach unten"
  bool memoryEnabled() const;                   // "Speicherinhalt": memory() has at least one entry
  bool continueVisible() const;                 // "Weiter"
  bool arrowPanelRed() const { return m_red; }  // set by a refused acceptance, cleared by activation

  // ---- actions; a refused action beeps through the Ui and changes nothing
  void moveRight();  // "Nach rechts", double click or Enter in the catalog
  void moveLeft();   // "Nach links"
  void moveUp();
  void moveDown();
  void continueToNext();  // "Weiter": activates the next present box
  SlotMemory memory() const;
  // "Ja" in the memory panel.
  void takeMemory();

  // ---- list 1 switches
  bool completeCasesOffered() const { return m_descriptor.completeCases; }
  bool completeCases() const { return m_completeCases; }
  void setCompleteCases(bool on) { m_completeCases = on; }
  bool transformationOffered() const { return m_descriptor.transformation; }
  int transformation() const { return m_transformation; }  // 0..9
  void setTransformation(int index);

  // For batch runs: replaces the entries of a box by the given names (variables) or numbers (class
  // divisions, groups), checked against the box's catalog and maximum. On a refusal the message
  // (German, for the error box) is returned and the box is unchanged; empty on success.
  std::string setEntries(int box, const std::vector<std::string>& items);
  // The first present box holding fewer entries than its minimum, 0 when every box is filled.
  int missingBox() const;

  // "Auswerten": checks every box's minimum (a box short of entries turns the arrow panel red, is
  // activated, beeps; false), rebuilds the slots of the present boxes (a variable not in the structure
  // gives "Interner Strukturfehler!" and false), completes their labels, "GESAMT" and byte 498.
  bool accept();

 private:
  struct Box {
    std::vector<std::string> entries;
    std::vector<bool> selection;
    int cursor = -1;
  };
  void rebuildCatalog();
  Box& box(int n);
  const Box& box(int n) const;
  // The lowest present box after box n, 0 when there is none.
  int nextPresentBox(int n) const;
  // The catalog lines of box n, whether it is active or not.
  std::vector<std::string> catalogOf(int n) const;
  // What a catalog line enters into box n as: the name, or the class or group number.
  std::string entryOfLine(int n, const std::string& line) const;
  // Slot n rebuilt from the box's entries; false after "Interner Strukturfehler!".
  bool buildSlot(int n, SelectionSlot& slot) const;

  Ui& m_ui;
  TParams& m_params;
  int m_code = 0;
  AnalysisDescriptor m_descriptor;
  std::string m_title;
  std::array<Box, 8> m_boxes;
  int m_active = 0;
  std::vector<std::string> m_catalog;
  std::vector<bool> m_catalogSelection;
  int m_catalogCursor = -1;
  int m_catalogBox = 0;  // the box the catalog was built for
  bool m_alphabetical = false;
  bool m_red = false;
  bool m_completeCases = false;
  int m_transformation = 0;
};

}  // namespace veltrix
