// The data entry window TInpDlg "DATENEINGABE": the view of InputModel. The tool panel with the moves
// between records, deleting, resetting, the column count, printing and help; the record number; the
// grid TG of label and value cells with the edit FEdi laid over the current value cell. The keys act on
// the edit: Enter, Tab, Shift+Tab, Home, End, Up, Down, Page Up, Page Down move between fields, F1-F4 and
// F8-F10 between records, Escape resets. Closing stores the field and saves the record; a refused
// value keeps the window open.
#pragma once

#include <QDialog>
#include <QFontMetrics>
#include <functional>
#include <map>

#include "app/shell/print_request.h"
#include "core/entry/input_model.h"

class QLabel;
class QLineEdit;
class QTableWidget;
class QToolButton;

namespace veltrix {

class Ui;

// The column count that fits the grid width at the font: 3, else 2, else 1. A value column counts at
// most 90% of the width.
int EntryColumnsForWidth(const InputModel& model, const QFontMetrics& metrics, int gridWidth);

class TInpDlg : public QDialog {
  Q_OBJECT

 public:
  using HelpHandler = std::function<void(int helpNumber)>;

  // The tool buttons, in the order of the panel.
  enum class Tool {
    Ok,
    Undo,
    Forward1,
    Back1,
    Forward10,
    Back10,
    Back50,
    Forward50,
    Position,
    First,
    Last,
    Delete,
    Help,
    FormFeed,
    Print,
    Protocol,
    Columns,
  };

  // The column count is chosen here from the screen width at the window's font.
  TInpDlg(InputModel& model, Ui& ui, QWidget* parent = nullptr);

  void setHelpHandler(HelpHandler handler) { m_help = std::move(handler); }
  // "&D", "&P" and "&B" hand the printout to the request ("&D" printing, "&P" a copy into the
  // protocol file, "&B" the form feed); without one they only beep.
  void setPrintRequest(PrintRequest request);

  InputModel& model() { return m_model; }
  QToolButton* toolButton(Tool tool) const { return m_tools.at(tool); }
  QTableWidget* grid() const { return m_grid; }
  QLineEdit* edit() const { return m_edit; }
  QLabel* recordNumberLabel() const { return m_number; }
  // Rows of fields the grid shows at once (the page keys move by it).
  int visibleRows() const;

  // Lays the grid out again for the model's column count and shows the record.
  void layOutGrid();

 public slots:
  // Closing the window (its close button): as "&OK".
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void addTool(Tool tool, const QString& caption, const QString& hint, std::function<void()> action);
  // Runs a model operation and shows the outcome; an input/output error of the file closes the window.
  void act(const std::function<void()>& operation);
  void showRecord();
  void placeEdit();
  void tryClose();
  bool handleKey(QKeyEvent* key);

  InputModel& m_model;
  Ui& m_ui;
  HelpHandler m_help;
  PrintRequest m_printRequest;
  std::map<Tool, QToolButton*> m_tools;
  QLabel* m_number = nullptr;
  QTableWidget* m_grid = nullptr;
  QLineEdit* m_edit = nullptr;
  // The width the grid may take on the screen: the column count and the widest value column follow it.
  int m_gridWidth = 1000;
  bool m_closed = false;
};

// Shows the window modally until it closes.
void RunDataEntry(QWidget* parent, InputModel& model, Ui& ui, TInpDlg::HelpHandler help,
                  PrintRequest print = {});

}  // namespace veltrix
