// The structure dialogs: the views of TNeuVar ("Variablenliste ergänzen", also in its recompute mode)
// and TFreiV ("Variablen frei anlegen / löschen / umbenennen"), and the warning "WARNUNG !" before the
// recompute. Each shows its model and forwards clicks and keys; the model checks and raises the
// messages.
#pragma once

#include <QDialog>
#include <functional>
#include <initializer_list>
#include <vector>

#include "app/shell/dialog_buttons.h"
#include "core/datafile/structure_edit.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace veltrix {

using StructureHelpHandler = std::function<void(int helpNumber)>;

// The part both list dialogs share: the list of items with the item counter, the edits and the
// dialog buttons.
class StructureListDialog : public QDialog {
  Q_OBJECT

 public:
  QListWidget* list() const { return m_list; }
  QLabel* counter() const { return m_counter; }
  QLineEdit* edit(StructureField field) const;
  QPushButton* removeButton() const { return m_remove; }
  const DialogButtons& buttons() const { return m_buttons; }
  void setHelpHandler(StructureHelpHandler handler) { m_help = std::move(handler); }

 protected:
  StructureListDialog(StructureList& model, int helpNumber, QWidget* parent);

  // Builds the edit of a field into the form; Enter in it calls onEnter.
  QLineEdit* makeEdit(StructureField field, const char* name);
  // The dialog's layout: the heading over the list, the side buttons beside it, below them the counter
  // and the captioned edits, then the dialog buttons.
  void layOut(const QString& heading, std::initializer_list<QPushButton*> sideButtons,
              std::initializer_list<std::pair<QString, QLineEdit*>> captionedEdits);
  // The list, the counter and the edits as the model has them, and the focus on the model's edit.
  void refresh();
  virtual void pressEnter(StructureField field) = 0;
  void showEvent(QShowEvent* event) override;

  StructureList& m_listModel;
  QListWidget* m_list = nullptr;
  QLabel* m_counter = nullptr;
  std::vector<std::pair<StructureField, QLineEdit*>> m_edits;
  QPushButton* m_remove = nullptr;
  DialogButtons m_buttons;
  StructureHelpHandler m_help;
};

class TNeuVarDlg : public StructureListDialog {
  Q_OBJECT

 public:
  TNeuVarDlg(TNeuVar& model, QWidget* parent = nullptr);

  QPushButton* upButton() const { return m_up; }
  QPushButton* downButton() const { return m_down; }

 private:
  void pressEnter(StructureField field) override;

  TNeuVar& m_model;
  QPushButton* m_up = nullptr;
  QPushButton* m_down = nullptr;
};

class TFreiVDlg : public StructureListDialog {
  Q_OBJECT

 public:
  TFreiVDlg(TFreiV& model, QWidget* parent = nullptr);

 private:
  void pressEnter(StructureField field) override;

  TFreiV& m_model;
};

// "WARNUNG !": the three texts of TSWarn with OK, "Abbrechen" and "&Hilfe" (40300).
class TSWarnDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TSWarnDlg(QWidget* parent = nullptr);
  void setHelpHandler(StructureHelpHandler handler) { m_help = std::move(handler); }
  const DialogButtons& buttons() const { return m_buttons; }

 private:
  DialogButtons m_buttons;
  StructureHelpHandler m_help;
};

// The dialogs as the structure command runs them: true when closed with "OK".
bool RunAppendDialog(QWidget* parent, TNeuVar& model, StructureHelpHandler help);
bool RunFreeDialog(QWidget* parent, TFreiV& model, StructureHelpHandler help);
bool RunStructureWarning(QWidget* parent, StructureHelpHandler help);

}  // namespace veltrix
