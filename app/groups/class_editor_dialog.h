// The class division editor ("Klasseneinteilung Nr. n"): the view of TEditKls. The list of 29 rows,
// the edit field (Enter puts its text into the selected row), the kind of division and the buttons
// "Fortsetzen", "Einfügen" and "Entfernen"; "OK" lets the model check the rows.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "app/shell/dialog_buttons.h"
#include "core/groups/class_editor.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace veltrix {

class TEditKlsDlg : public QDialog {
  Q_OBJECT

 public:
  using HelpHandler = std::function<void(int helpNumber)>;

  TEditKlsDlg(Ui& ui, int number, const ClassDivisionRecord& record, QWidget* parent = nullptr);

  void setHelpHandler(HelpHandler handler) { m_help = std::move(handler); }
  void setPlacementHint(int hint) { m_placementHint = hint; }
  // After the dialog was accepted: the new division.
  const ClassDivisionRecord& result() const { return m_result; }

  TEditKls& model() { return m_model; }
  QListWidget* list() const { return m_list; }
  QLineEdit* editField() const { return m_edit; }
  QRadioButton* typeButton(ClassDivisionType type) const { return m_types[static_cast<std::size_t>(type)]; }
  QPushButton* continueButton() const { return m_continue; }
  QPushButton* insertButton() const { return m_insert; }
  QPushButton* removeButton() const { return m_remove; }
  const DialogButtons& buttons() const { return m_buttons; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The list, the edit field and the buttons as the model has them.
  void refresh();
  void pressOk();

  TEditKls m_model;
  HelpHandler m_help;
  int m_placementHint = 0;
  ClassDivisionRecord m_result{};
  QListWidget* m_list = nullptr;
  QLineEdit* m_edit = nullptr;
  std::array<QRadioButton*, 4> m_types{};
  QPushButton* m_continue = nullptr;
  QPushButton* m_insert = nullptr;
  QPushButton* m_remove = nullptr;
  DialogButtons m_buttons;
};

// Shows the editor for division k with its stored record; the new record when the user confirmed a
// change, nothing otherwise.
std::optional<ClassDivisionRecord> EditClassDivision(Ui& ui, int k, const ClassDivisionRecord& record,
                                                     QWidget* parent, TEditKlsDlg::HelpHandler help);

}  // namespace veltrix
