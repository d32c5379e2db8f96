// The value dialogs on screen: a view over a ValueDialog. TValueFieldsDlg shows the small layouts
// (one value, two values, 2 x 2, 2 x 3) as edit fields, TDGridDlg the grid of up to 15 rows and 8
// columns with the buttons that move a column or a row. Both offer "OK", "Abbrechen" and "&Hilfe"; OK
// hands the texts to the dialog's own check and stays open on the field it refuses.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "app/shell/dialog_buttons.h"
#include "core/base/value_dialog.h"

class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace veltrix {

class GridCellDelegate;

class TValueDlg : public QDialog {
  Q_OBJECT

 public:
  using HelpHandler = std::function<void(int helpNumber)>;

  ValueDialog& values() const { return m_values; }

  // Where the dialog goes when it is shown (a placement hint).
  void setPlacementHint(int hint) { m_placementHint = hint; }
  // "&Hilfe" and F1 call it with the dialog's help number; without one the button is hidden.
  void setHelpHandler(HelpHandler handler);

  // OK: the texts go to the dialog and its check runs. When a cell is refused the dialog stays open with
  // the focus on that cell and its text selected; otherwise it closes as accepted.
  void pressOk();
  void showHelp();

  QLabel* promptLabel() const { return m_prompt; }
  QPushButton* okButton() const { return m_ok; }
  QPushButton* cancelButton() const { return m_cancel; }
  QPushButton* helpButton() const { return m_helpButton; }

 protected:
  TValueDlg(ValueDialog& values, QWidget* parent);

  // Puts the cells (and whatever goes beside them) between the prompt line and the buttons.
  void setBody(QLayout* body);
  // Tab goes through these widgets in this order, then to the buttons.
  void setTabChain(const std::vector<QWidget*>& widgets);

  // The cells' texts into the dialog, and the dialog's texts into the cells.
  virtual void storeTexts() = 0;
  virtual void loadTexts() = 0;
  // Focus on a cell (row * columns + column), its text selected.
  virtual void focusCell(int cell) = 0;
  // Whether OK, with the texts stored, closes as if cancelled.
  virtual bool nothingEntered() const { return false; }

  void showEvent(QShowEvent* event) override;

 private:
  ValueDialog& m_values;
  HelpHandler m_help;
  int m_placementHint = 0;
  QLabel* m_prompt = nullptr;
  QPushButton* m_ok = nullptr;
  QPushButton* m_cancel = nullptr;
  QPushButton* m_helpButton = nullptr;
  DialogButtons m_buttons;
};

// One or two values with their labels, or 2 rows x 2 or 3 columns under column labels.
class TValueFieldsDlg : public TValueDlg {
  Q_OBJECT

 public:
  TValueFieldsDlg(ValueDialog& values, QWidget* parent = nullptr);

  int fieldCount() const { return static_cast<int>(m_fields.size()); }
  // The edit field of a cell (row * columns + column).
  QLineEdit* field(int cell) const { return m_fields.at(static_cast<std::size_t>(cell)); }
  // The labels beside the rows and above the columns (the latter empty without column labels).
  QStringList rowLabelTexts() const;
  QStringList columnLabelTexts() const;

 protected:
  void storeTexts() override;
  void loadTexts() override;
  void focusCell(int cell) override;

 private:
  std::vector<QLineEdit*> m_fields;
  std::vector<QLabel*> m_rowLabels;
  std::vector<QLabel*> m_columnLabels;
};

// The four field dialogs by name; they differ only in the layout of the fields they show.
class TDlg1Wrt : public TValueFieldsDlg {  // one value with its label
 public:
  using TValueFieldsDlg::TValueFieldsDlg;
};
class TDlg2Wrt : public TValueFieldsDlg {  // two values with labels
 public:
  using TValueFieldsDlg::TValueFieldsDlg;
};
class TDlg2x2 : public TValueFieldsDlg {  // 2 rows x 2 columns
 public:
  using TValueFieldsDlg::TValueFieldsDlg;
};
class TDlg2x3 : public TValueFieldsDlg {  // 2 rows x 3 columns
 public:
  using TValueFieldsDlg::TValueFieldsDlg;
};

// The grid: rows labelled "1.", "2.", ..., one column per value. The move buttons take the current
// column's or row's texts one place further, the labels stay, and the current cell goes with the texts.
// OK with no row filled closes as if cancelled.
class TDGridDlg : public TValueDlg {
  Q_OBJECT

 public:
  TDGridDlg(ValueDialog& values, QWidget* parent = nullptr);

  QTableWidget* table() const { return m_table; }
  // The editor open on a cell, or nullptr.
  QLineEdit* openEditor() const;

  void moveColumn(int delta);
  void moveRow(int delta);

  QPushButton* columnLeftButton() const { return m_columnLeft; }
  QPushButton* columnRightButton() const { return m_columnRight; }
  QPushButton* rowUpButton() const { return m_rowUp; }
  QPushButton* rowDownButton() const { return m_rowDown; }

 protected:
  void storeTexts() override;
  void loadTexts() override;
  void focusCell(int cell) override;
  bool nothingEntered() const override;

 private:
  // Takes the text of an open editor into its cell and closes the editor.
  void finishEditing();

  QTableWidget* m_table = nullptr;
  GridCellDelegate* m_delegate = nullptr;
  QPushButton* m_columnLeft = nullptr;
  QPushButton* m_columnRight = nullptr;
  QPushButton* m_rowUp = nullptr;
  QPushButton* m_rowDown = nullptr;
};

// The view for a dialog's layout.
std::unique_ptr<TValueDlg> makeValueDialog(ValueDialog& values, QWidget* parent);

}  // namespace veltrix
