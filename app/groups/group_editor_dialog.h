// The group editor ("Gruppe Nr. n"): the view of GroupEditorModel. The two titles, the definition text
// (typed letters become capitals), the variable names in six columns (double click or Enter puts the
// name at the caret of the definition), the tool buttons for the name order and for cut, copy, delete
// and paste in the focused field; "OK" lets the model compile a changed definition.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/shell/dialog_buttons.h"
#include "app/shell/print_request.h"
#include "core/groups/group_editor.h"

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QToolButton;

namespace veltrix {

class TEditGrpDlg : public QDialog {
  Q_OBJECT

 public:
  using HelpHandler = std::function<void(int helpNumber)>;

  TEditGrpDlg(const TParams& params, Ui& ui, int number, const GroupRecord& record,
              QWidget* parent = nullptr);

  void setHelpHandler(HelpHandler handler) { m_help = std::move(handler); }
  void setPlacementHint(int hint) { m_placementHint = hint; }
  // "Drucken", "Blattvorschub" and "Kopie auf Platte" for the definition as it stands in the field,
  // headed by the caption with the long title and the short title; without it they are hidden.
  void setPrintRequest(PrintRequest request);
  QToolButton* printButton(PrintAction action) const { return m_print[static_cast<std::size_t>(action)]; }
  // After the dialog was accepted: the new group record.
  const GroupRecord& result() const { return m_result; }

  GroupEditorModel& model() { return m_model; }
  QLineEdit* longTitleEdit() const { return m_longTitle; }
  QLineEdit* shortTitleEdit() const { return m_shortTitle; }
  QPlainTextEdit* definitionEdit() const { return m_definition; }
  QListWidget* nameBox() const { return m_names; }
  QToolButton* sortedButton() const { return m_sorted; }
  QToolButton* unsortedButton() const { return m_unsorted; }
  QToolButton* cutButton() const { return m_cut; }
  QToolButton* copyButton() const { return m_copy; }
  QToolButton* deleteButton() const { return m_delete; }
  QToolButton* pasteButton() const { return m_paste; }
  const DialogButtons& buttons() const { return m_buttons; }

  // Name i of the box goes to the caret of the definition, the caret behind it.
  void insertName(int i);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fillNames();
  // The definition field's lines into the model, when they differ from what it holds.
  void pushDefinition();
  void showDefinition();
  // Capitals for the characters just put into the definition field.
  void upcaseRange(int position, int added);
  void pressOk();
  // The edit field the cut, copy, delete and paste buttons act on: the one that has the focus.
  QWidget* focusedField() const;

  GroupEditorModel m_model;
  HelpHandler m_help;
  int m_placementHint = 0;
  bool m_upcasing = false;
  GroupRecord m_result{};
  QLineEdit* m_longTitle = nullptr;
  QLineEdit* m_shortTitle = nullptr;
  QPlainTextEdit* m_definition = nullptr;
  QListWidget* m_names = nullptr;
  QToolButton* m_sorted = nullptr;
  QToolButton* m_unsorted = nullptr;
  QToolButton* m_cut = nullptr;
  QToolButton* m_copy = nullptr;
  QToolButton* m_delete = nullptr;
  QToolButton* m_paste = nullptr;
  std::array<QToolButton*, 3> m_print{};
  PrintRequest m_printRequest;
  DialogButtons m_buttons;
};

// Shows the editor for group n with its stored record; the new record when the user confirmed a
// change, nothing otherwise.
std::optional<GroupRecord> EditGroup(const TParams& params, Ui& ui, int n, const GroupRecord& record,
                                     QWidget* parent, TEditGrpDlg::HelpHandler help, PrintRequest print = {});

}  // namespace veltrix
