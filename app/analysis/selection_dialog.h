// TAuswDlg, the variable selection of an analysis: the view of VariableSelectionModel. On the left the
// catalog of the active box with its explanation line and the sort order, in the middle the arrow panel
// ("Nach rechts", "Nach links", "Nach oben", "Nach unten"), on the right the present boxes, each with
// its caption, sharing the height in whole lines. "Weiter" and "Speicherinhalt" (with its inline
// panel "Speicher-Inhalt :") below the catalog, the switches of list 1 and the button row with
// "Auswerten" at the bottom. Double click or Enter in the catalog moves right; focusing or clicking a
// box activates it.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "app/shell/dialog_buttons.h"
#include "core/analysis/variable_selection.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

namespace veltrix {

class TAuswDlg : public QDialog {
  Q_OBJECT

 public:
  using HelpHandler = std::function<void(int topic)>;

  // help shows a help topic; without it the help button is hidden.
  TAuswDlg(VariableSelectionModel& model, HelpHandler help, QWidget* parent = nullptr);

  VariableSelectionModel& model() { return m_model; }

  // Widgets of box 1..8; nullptr for an absent box.
  QListWidget* boxList(int box) const;
  QLabel* boxLabel(int box) const;
  QListWidget* catalogList() const { return m_catalog; }
  QLabel* explanationLabel() const { return m_explanation; }
  QFrame* arrowPanel() const { return m_arrows; }
  bool arrowPanelShownRed() const;
  QPushButton* rightButton() const { return m_right; }
  QPushButton* leftButton() const { return m_left; }
  QPushButton* upButton() const { return m_up; }
  QPushButton* downButton() const { return m_down; }
  QPushButton* continueButton() const { return m_continue; }
  QPushButton* memoryButton() const { return m_memory; }
  QRadioButton* sortedButton() const { return m_sorted; }
  QRadioButton* unsortedButton() const { return m_unsorted; }
  QCheckBox* completeCasesBox() const { return m_completeCases; }
  QComboBox* transformationBox() const { return m_transformation; }
  QFrame* memoryPanel() const { return m_memoryPanel; }
  QListWidget* memoryList() const { return m_memoryList; }
  QPushButton* memoryYesButton() const { return m_memoryYes; }
  QPushButton* memoryNoButton() const { return m_memoryNo; }
  const DialogButtons& buttons() const { return m_buttons; }

  // Every widget from the model.
  void refresh();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Runs a model action and shows its outcome.
  void run(void (VariableSelectionModel::*action)());
  void activateBox(int box);
  void pressAccept();
  void openMemory();
  void closeMemory();
  // Each present list as many whole lines high as its share of the box column allows, at least one.
  void shareHeight();
  int boxOf(const QObject* watched) const;

  VariableSelectionModel& m_model;
  HelpHandler m_help;
  bool m_refreshing = false;
  int m_rowHeight = 0;
  int m_memoryBox = 0;
  std::array<QListWidget*, 8> m_boxes{};
  std::array<QLabel*, 8> m_labels{};
  QWidget* m_boxColumn = nullptr;
  QListWidget* m_catalog = nullptr;
  QLabel* m_explanation = nullptr;
  QFrame* m_arrows = nullptr;
  QPushButton* m_right = nullptr;
  QPushButton* m_left = nullptr;
  QPushButton* m_up = nullptr;
  QPushButton* m_down = nullptr;
  QPushButton* m_continue = nullptr;
  QPushButton* m_memory = nullptr;
  QRadioButton* m_sorted = nullptr;
  QRadioButton* m_unsorted = nullptr;
  QCheckBox* m_completeCases = nullptr;
  QComboBox* m_transformation = nullptr;
  QFrame* m_memoryPanel = nullptr;
  QListWidget* m_memoryList = nullptr;
  QPushButton* m_memoryYes = nullptr;
  QPushButton* m_memoryNo = nullptr;
  DialogButtons m_buttons;
};

// Shows the selection modally; true when it closed with "Auswerten" (the slots are then written).
bool RunSelectionDialog(QWidget* parent, VariableSelectionModel& model, std::function<void(int)> help);

}  // namespace veltrix
