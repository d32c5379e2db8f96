// TMainForm: the main window, a multiple-document frame with the program's menus, the button bar with
// the result tools, the table and graph windows, and the status bar. It owns the program state and
// routes every menu choice through the command dispatch.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "app/shell/print_request.h"
#include "core/shell/dispatch.h"
#include "core/shell/global_state.h"
#include "core/shell/menu_table.h"
#include "core/shell/result_tools.h"
#include "core/shell/startup.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QToolButton;
class QWidget;
class QPrinter;

namespace veltrix {

class QtUi;
class THelpWindow;
class TTabForm;
class PrintSink;
class DeferredPrintSink;

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // Document window tags.
  static constexpr int kTableTag = 1;
  static constexpr int kGraphTag = 2;

  // Builds the program-wide state from the environment (program directory, companion files, system
  // parameters); the rest of the start-up runs when the window is first shown.
  explicit TMainForm(StartupEnvironment environment, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The rest of the start-up: the document windows, the parameter object, the work files and the last
  // statistics file. Runs once; the first show calls it.
  void startUp();
  bool started() const { return m_started; }

  GlobalState& state() { return *m_state; }
  QtUi& ui() { return *m_ui; }
  CommandDispatcher& dispatcher() { return *m_dispatcher; }
  THelpWindow& helpWindow();

  // The action of the menu entry with this handler and command code, or by its name; nullptr if none.
  QAction* action(MenuHandler handler, int code) const;
  QAction* actionNamed(std::string_view name) const;
  QMdiArea* mdiArea() const { return m_mdi; }
  QMdiSubWindow* tableWindow() const { return m_tableWindow; }
  TTabForm* tableForm() const { return m_tableForm; }
  // Shows the result of the table manager in the table window, maximised.
  void showTables();
  // Prints the table shown in the table window on the sink at once; false when there is none.
  bool printTable(PrintSink& sink);
  // How the printer is chosen when the printer buffer first prints (by default the print dialog).
  void setPrinterChooser(std::function<bool(QPrinter&)> chooser);
  QMdiSubWindow* graphWindow() const { return m_graphWindow; }
  QWidget* resultToolPanel() const { return m_toolPanel; }
  QToolButton* toolButton(ResultTool tool) const;

  // Result tools: flags '1' at positions 1..5 for graph, edit, test, switch, single table.
  void showResultTools(std::string_view flags);
  void hideResultTools();
  // Empties and minimises the document windows, hides the result tools, back to the main help topic.
  void resetResultWindows();
  void updateTitle();
  void updateStructureEntry();
  // Colours of the main window and the status bar from the system parameters.
  void applyColours();
  // The help topic of the help button: the active document window's, else the main window's.
  int helpButtonNumber() const;
  // The program is told to end from outside (SIGTERM, SIGINT). While it waits for the user (ready, no
  // dialog or menu open) it closes as after "Beenden?" answered Yes, without any question, and saves the
  // system parameters; false, and nothing happens, while a dialog or a process runs.
  bool closeUnattended();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  void buildToolBar();
  void registerOwners();
  void resultAction(std::string_view name);
  void windowAction(std::string_view name);
  void tileDocumentWindows(bool horizontally);
  void arrangeIcons();
  void showAbout();
  bool openTextOptions();
  // Command 6020: the significance settings of the current file.
  bool openErrorLevels();
  // A dialog's text to the printer, the form feed, or a saved copy.
  void printLines(PrintAction action, const TTabHeader& header, const std::vector<std::string>& lines);
  bool structureCommand();
  // A direct test from the menu (inputs cleared) or repeated by the test button (preset with them).
  void runDirectTest(int code, bool repeat);
  // An analysis of the "Auswerten" menu: the variable selection, the data pass, the table window.
  void runAnalysis(int code);
  void printShownTable();
  void saveShownTable();

  std::unique_ptr<QtUi> m_ui;
  std::unique_ptr<GlobalState> m_state;
  std::unique_ptr<CommandDispatcher> m_dispatcher;
  StartupEnvironment m_environment;
  bool m_started = false;
  bool m_closing = false;
  bool m_unattended = false;

  QMdiArea* m_mdi = nullptr;
  QMdiSubWindow* m_tableWindow = nullptr;
  QMdiSubWindow* m_graphWindow = nullptr;
  THelpWindow* m_help = nullptr;
  TTabForm* m_tableForm = nullptr;
  std::unique_ptr<DeferredPrintSink> m_printSink;
  QWidget* m_toolPanel = nullptr;
  std::map<ResultTool, QToolButton*> m_toolButtons;
  std::map<int, QToolButton*> m_fixedButtons;  // 0 print, 1 form feed, 2 save
  std::map<std::pair<MenuHandler, int>, QAction*> m_actions;
  std::map<std::string, QAction*, std::less<>> m_actionsByName;
  std::map<std::string, QAction*, std::less<>> m_separatorsBefore;  // of the result entries
};

}  // namespace veltrix
