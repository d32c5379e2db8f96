// The dialog "Gruppen / Klasseneinteilungen": the view of GroupManagementModel. The two tabs over one
// list of 21 lines, the buttons to edit, delete and combine, and while two groups are combined the
// choice buttons with the display of the choices so far. Closing lets the model save the parameter file.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "app/shell/print_request.h"
#include "core/groups/group_management.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabBar;

namespace veltrix {

class TGrKlDlg : public QDialog {
  Q_OBJECT

 public:
  using HelpHandler = std::function<void(int helpNumber)>;

  TGrKlDlg(TParams& params, Ui& ui, QWidget* parent = nullptr);

  void setHelpHandler(HelpHandler handler) { m_help = std::move(handler); }
  void setPlacementHint(int hint) { m_placementHint = hint; }
  // "Drucken", "Blattvorschub" and "Kopie auf Platte" for the list of the current tab (and in the group
  // editor for the definition); without it the three buttons are hidden.
  void setPrintRequest(PrintRequest request);
  // After closing: whether groups or class divisions were changed (and the parameter file written).
  bool changed() const { return m_changed; }

  GroupManagementModel& model() { return m_model; }
  QTabBar* tabs() const { return m_tabs; }
  QListWidget* list() const { return m_list; }
  QPushButton* editButton() const { return m_edit; }
  QPushButton* deleteButton() const { return m_delete; }
  QPushButton* intersectionButton() const { return m_intersection; }
  QPushButton* unionButton() const { return m_union; }
  QPushButton* closeButton() const { return m_close; }
  QPushButton* cancelButton() const { return m_cancel; }
  QPushButton* takeButton() const { return m_take; }
  QPushButton* helpButton() const { return m_helpButton; }
  QPushButton* printButton(PrintAction action) const { return m_print[static_cast<std::size_t>(action)]; }
  QLineEdit* display() const { return m_display; }
  QLabel* displayLabel() const { return m_label; }
  QLabel* promptLabel() const { return m_prompt; }

  // The window's close: the model closes (a combination ends first).
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The tab, the lines, the selection and the controls' states as the model has them.
  void refresh();
  void closeDialog();

  GroupManagementModel m_model;
  HelpHandler m_help;
  int m_placementHint = 0;
  bool m_closed = false;
  bool m_changed = false;
  QTabBar* m_tabs = nullptr;
  QListWidget* m_list = nullptr;
  QPushButton* m_edit = nullptr;
  QPushButton* m_delete = nullptr;
  QPushButton* m_intersection = nullptr;
  QPushButton* m_union = nullptr;
  QPushButton* m_close = nullptr;
  QPushButton* m_cancel = nullptr;
  QPushButton* m_take = nullptr;
  QPushButton* m_helpButton = nullptr;
  std::array<QPushButton*, 3> m_print{};
  PrintRequest m_printRequest;
  QLineEdit* m_display = nullptr;
  QLabel* m_label = nullptr;
  QLabel* m_prompt = nullptr;
};

// Command 3000: the dialog over the parameter object. True when groups or class divisions were changed.
bool ManageGroupsAndClasses(TParams& params, Ui& ui, QWidget* parent, TGrKlDlg::HelpHandler help,
                            int placementHint = 0, PrintRequest print = {});

}  // namespace veltrix
