// The manipulation editor "Datenmanipulation - <file>": the view of ManipEditorModel. The command text,
// the variable names in eight columns (double click or Enter puts the name at the caret of the text),
// the help table of the language, the tool buttons for the name order, for cut, copy, paste and delete
// in the text, for printing it and for loading another command file; "OK" lets the model compile.
// While the program is busy (the ready flag is clear) typing, the buttons and closing do nothing.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "app/shell/dialog_buttons.h"
#include "app/shell/print_request.h"
#include "core/manip/manip_editor.h"

class QListWidget;
class QPlainTextEdit;
class QTableWidget;
class QToolButton;

namespace veltrix {

class Ui;

class TDMEd : public QDialog {
  Q_OBJECT

 public:
  using HelpHandler = std::function<void(int helpNumber)>;

  // ui asks for the file of "Befehlsdatei laden" and gives the beep for a refused character.
  TDMEd(ManipEditorModel& model, Ui& ui, QWidget* parent = nullptr);

  void setHelpHandler(HelpHandler handler) { m_help = std::move(handler); }
  // "Drucken", "Blattvorschub" and "Kopie auf Platte" for the command text as it stands, headed by the
  // caption; without a request they are hidden.
  void setPrintRequest(PrintRequest request);

  ManipEditorModel& model() { return m_model; }
  QPlainTextEdit* commandEdit() const { return m_commands; }
  QListWidget* nameBox() const { return m_names; }
  QTableWidget* helpTable() const { return m_helpTable; }
  QToolButton* sortedButton() const { return m_sorted; }
  QToolButton* unsortedButton() const { return m_unsorted; }
  QToolButton* cutButton() const { return m_cut; }
  QToolButton* copyButton() const { return m_copy; }
  QToolButton* pasteButton() const { return m_paste; }
  QToolButton* deleteButton() const { return m_delete; }
  QToolButton* loadButton() const { return m_load; }
  QToolButton* printButton(PrintAction action) const { return m_print[static_cast<std::size_t>(action)]; }
  const DialogButtons& buttons() const { return m_buttons; }

  // Name i of the box goes to the caret of the command text, the caret behind it.
  void insertName(int i);

 public slots:
  // Refused while the program is busy: Escape, "Abbrechen" and the close button all end here.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool busy() const { return m_model.busy(); }
  void fillNames();
  void showLines();
  // The text's lines into the model, when they differ from what it holds.
  void pushLines();
  // False (after the beep) when a character of typed text has no Windows-1252 byte or is refused.
  bool acceptsTyped(const QString& text);
  void loadCommandFile();
  void pressOk();
  void selectLine(int line);

  ManipEditorModel& m_model;
  Ui& m_ui;
  HelpHandler m_help;
  PrintRequest m_printRequest;
  QPlainTextEdit* m_commands = nullptr;
  QListWidget* m_names = nullptr;
  QTableWidget* m_helpTable = nullptr;
  QToolButton* m_sorted = nullptr;
  QToolButton* m_unsorted = nullptr;
  QToolButton* m_cut = nullptr;
  QToolButton* m_copy = nullptr;
  QToolButton* m_paste = nullptr;
  QToolButton* m_delete = nullptr;
  QToolButton* m_load = nullptr;
  std::array<QToolButton*, 3> m_print{};
  DialogButtons m_buttons;
};

// Shows the editor modally; true when "OK" compiled the text and "Editieren beenden?" was answered
// "Ja" (the model then holds the program), false on "Abbrechen".
bool RunManipEditor(QWidget* parent, ManipEditorModel& model, Ui& ui, TDMEd::HelpHandler help,
                    PrintRequest print = {});

}  // namespace veltrix
