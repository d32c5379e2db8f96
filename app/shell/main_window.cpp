#include "app/shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <utility>
#include <vector>

#include "app/analysis/selection_dialog.h"
#include "app/datafile/structure_dialogs.h"
#include "app/directtests/error_levels_dialog.h"
#include "app/entry/input_dialog.h"
#include "app/groups/group_management_dialog.h"
#include "app/manip/manip_editor_dialog.h"
#include "app/output/copy_file_dialog.h"
#include "app/output/deferred_print_sink.h"
#include "app/output/qt_print_sink.h"
#include "app/output/table_window.h"
#include "app/shell/help_window.h"
#include "app/shell/qt_canvas.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "app/shell/text_options_dialog.h"
#include "core/analysis/variable_selection.h"
#include "core/directtests/direct_tests.h"
#include "core/directtests/error_levels.h"
#include "core/output/print_manager.h"
#include "core/output/protocol_file.h"
#include "core/output/table_layout.h"
#include "core/procedures/families.h"
#include "core/shell/analysis_command.h"
#include "core/shell/entry_command.h"
#include "core/shell/file_opening.h"
#include "core/shell/manip_command.h"
#include "core/shell/settings_command.h"
#include "core/shell/sort_command.h"
#include "core/shell/structure_command.h"
#include "core/shell/sys_params.h"

namespace veltrix {
namespace {

constexpr int kToolButtonWidth = 26;
constexpr const char* kTagProperty = "veltrixTag";

QString cssColour(Color colour) {
  return QtCanvas::toQColor(colour).name();
}

}  // namespace

TMainForm::TMainForm(StartupEnvironment environment, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<QtUi>(this)), m_environment(std::move(environment)) {
  m_state = std::make_unique<GlobalState>(*m_ui);
  m_dispatcher = std::make_unique<CommandDispatcher>(*m_state);
  m_ui->setHelpHandler([this](int number) { helpWindow().showTopic(number, *m_ui); });

  m_mdi = new QMdiArea(this);
  setCentralWidget(m_mdi);
  statusBar()->show();
  buildMenus();
  buildToolBar();
  registerOwners();

  // The program-wide state: companion files, data path, system parameters.
  BuildProgramState(*m_state, m_environment);
  QImage measure(1, 1, QImage::Format_RGB32);
  QtCanvas canvas(&measure);
  m_state->sysParams->apply(canvas);
  setWindowTitle(toQString(m_state->baseName));
  applyColours();
  if (QAction* automatic = actionNamed("OptDrAuto"))
    automatic->setChecked(!m_state->sysParams->printSaveAutomaticOff());
  resize(1000, 700);
}

TMainForm::~TMainForm() = default;

THelpWindow& TMainForm::helpWindow() {
  if (!m_help) m_help = new THelpWindow(this);
  return *m_help;
}

void TMainForm::startUp() {
  if (m_started) return;
  m_started = true;
  hideResultTools();
  m_tableWindow = m_mdi->addSubWindow(new QWidget);
  m_tableWindow->setWindowTitle(QStringLiteral("Tabellen"));
  m_tableWindow->setProperty(kTagProperty, kTableTag);
  m_graphWindow = m_mdi->addSubWindow(new QWidget);
  m_graphWindow->setWindowTitle(QStringLiteral("Graphik"));
  m_graphWindow->setProperty(kTagProperty, kGraphTag);
  resetResultWindows();
  FinishStartup(*m_state, m_environment);

  // The table window shows the table manager's result; the manager exists from here on.
  m_tableForm = new TTabForm(*m_state->tables, *m_state->sysParams);
  QWidget* placeholder = m_tableWindow->widget();
  m_tableWindow->setWidget(m_tableForm);  // hands the old widget back without deleting it
  delete placeholder;
  connect(m_tableForm, &TTabForm::resultToolsChanged, this,
          [this](const std::string& flags) { showResultTools(flags); });
  connect(m_tableForm, &TTabForm::helpTopicChanged, this,
          [this](int topic) { m_state->tableHelpContext = topic; });
  // Tables printed from the window go into the printer buffer; its pages reach the printer chosen in
  // the print dialog when the buffer prints.
  setPrinterChooser([this](QPrinter& printer) {
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Drucken"));
    return dialog.exec() == QDialog::Accepted;
  });
  m_tableForm->setPrintHandler([this](PrintSink& sink) {
    TPrnManager& printer = *m_state->printer;
    printer.Flush();
    m_printSink->finishJob();
    printer.setPrintSink(&sink);
    printer.setPrinterFont(m_state->sysParams->printerFont());
    printer.setPrintingMode(true);
    m_tableForm->PrintTable(printer);
    printer.Flush();
    printer.setPrintSink(m_printSink.get());
    return true;
  });
  // The protocol file is chosen from the ten names of the file's folder.
  m_state->printer->setCopyFileChooser([this](CopyFileChoice& choice) {
    TSCopyDlg dialog(choice, *m_ui, this);
    return dialog.exec() == QDialog::Accepted;
  });
  m_ui->setTitle(m_state->titleWord);
  updateTitle();
  updateStructureEntry();
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  startUp();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (m_closing) return event->accept();
  if (!m_unattended && !MayClose(*m_state)) return event->ignore();
  m_closing = true;
  if (m_help) m_help->closeAll();
  ShutDown(*m_state, m_unattended ? ShutDownMode::Unattended : ShutDownMode::Asking);
  if (m_printSink) m_printSink->finishJob();
  event->accept();
}

bool TMainForm::closeUnattended() {
  if (m_closing) return true;
  if (!m_state->ui.flags().ready || QApplication::activeModalWidget() || QApplication::activePopupWidget())
    return false;
  m_unattended = true;
  close();
  return true;
}

QAction* TMainForm::action(MenuHandler handler, int code) const {
  const auto it = m_actions.find({handler, code});
  return it == m_actions.end() ? nullptr : it->second;
}

QAction* TMainForm::actionNamed(std::string_view name) const {
  const auto it = m_actionsByName.find(name);
  return it == m_actionsByName.end() ? nullptr : it->second;
}

QToolButton* TMainForm::toolButton(ResultTool tool) const {
  const auto it = m_toolButtons.find(tool);
  return it == m_toolButtons.end() ? nullptr : it->second;
}

void TMainForm::buildMenus() {
  // The menus open while the table is walked; a deeper item belongs to the last menu one level up.
  std::vector<QMenu*> open(3, nullptr);
  QAction* lastSeparator = nullptr;
  for (const MenuItem& item : MainMenuItems()) {
    QMenu* owner = item.depth == 0 ? nullptr : open[static_cast<std::size_t>(item.depth - 1)];
    const QString caption = toQString(item.caption);
    switch (item.kind) {
      case MenuItemKind::Menu: {
        QMenu* menu = owner ? owner->addMenu(caption) : menuBar()->addMenu(caption);
        menu->menuAction()->setStatusTip(toQString(item.hint));
        open[static_cast<std::size_t>(item.depth)] = menu;
        lastSeparator = nullptr;
        break;
      }
      case MenuItemKind::Separator:
        if (owner) lastSeparator = owner->addSeparator();
        break;
      case MenuItemKind::Command:
      case MenuItemKind::Check: {
        QAction* action = owner ? owner->addAction(caption) : menuBar()->addAction(caption);
        action->setObjectName(toQString(item.name));
        action->setStatusTip(toQString(item.hint));
        action->setCheckable(item.kind == MenuItemKind::Check);
        if (!item.shortcut.empty()) action->setShortcut(QKeySequence(toQString(item.shortcut)));
        if (item.code != 0) m_actions.emplace(std::pair(item.handler, item.code), action);
        // Entries of "Tests direkt" without a test stay inactive.
        if (item.handler == MenuHandler::DirTest && !HasDirectTest(item.code)) action->setEnabled(false);
        if (item.handler == MenuHandler::Analyse && !HasAnalysis(item.code)) action->setEnabled(false);
        if (!item.name.empty()) m_actionsByName.emplace(std::string(item.name), action);
        if (lastSeparator) m_separatorsBefore.emplace(std::string(item.name), lastSeparator);
        lastSeparator = nullptr;

        const MenuHandler handler = item.handler;
        const int code = item.code;
        const std::string name(item.name);
        connect(action, &QAction::triggered, this, [this, handler, code, name] {
          if (handler == MenuHandler::Result) return resultAction(name);
          if (handler == MenuHandler::Window) return windowAction(name);
          if (name == "OptDrAuto") {  // no action: the check mark mirrors the system parameters
            actionNamed(name)->setChecked(!m_state->sysParams->printSaveAutomaticOff());
            return;
          }
          m_dispatcher->choose(handler, code);
        });
        break;
      }
    }
  }
}

void TMainForm::buildToolBar() {
  QToolBar* bar = addToolBar(QStringLiteral("Schalter"));
  bar->setObjectName(QStringLiteral("ButtonBar"));
  bar->setMovable(false);
  QStyle* style = QApplication::style();
  const auto add = [&](QStyle::StandardPixmap icon, const char* hint, auto slot) {
    QAction* action = bar->addAction(style->standardIcon(icon), QString::fromUtf8(hint));
    action->setStatusTip(QString::fromUtf8(hint));
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  add(QStyle::SP_DialogOpenButton, "Datei auswählen", [this] {
    m_dispatcher->choose(MenuHandler::Open, 1100);
  })->setObjectName(QStringLiteral("OpenBtn"));
  add(QStyle::SP_DialogHelpButton, "Hilfe", [this] {
    helpWindow().showTopic(helpButtonNumber(), *m_ui);
  })->setObjectName(QStringLiteral("HelpBtn"));
  add(QStyle::SP_DialogCloseButton, "Beenden", [this] { close(); })->setObjectName(QStringLiteral("ExitBtn"));
  bar->addSeparator();

  // The result tool panel: buttons placed by the result tool layout.
  m_toolPanel = new QWidget(bar);
  m_toolPanel->setObjectName(QStringLiteral("ResultTools"));
  const auto button = [&](QStyle::StandardPixmap icon, const char* name, const char* hint, auto slot) {
    auto* b = new QToolButton(m_toolPanel);
    b->setObjectName(QString::fromUtf8(name));
    b->setIcon(style->standardIcon(icon));
    b->setToolTip(QString::fromUtf8(hint));
    b->setStatusTip(QString::fromUtf8(hint));
    b->setAutoRaise(true);
    b->setFixedSize(kToolButtonWidth, kToolButtonWidth);
    connect(b, &QToolButton::clicked, this, slot);
    return b;
  };
  m_fixedButtons[0] =
      button(QStyle::SP_FileDialogDetailedView, "PrBtn", "Drucken", [this] { resultAction("ResPrint"); });
  m_fixedButtons[1] =
      button(QStyle::SP_ArrowForward, "FFBtn", "Blattvorschub", [this] { resultAction("ResFF"); });
  m_fixedButtons[2] =
      button(QStyle::SP_DialogSaveButton, "SavBtn", "Kopie auf Platte", [this] { resultAction("ResSave"); });
  m_toolButtons[ResultTool::Graph] =
      button(QStyle::SP_FileDialogContentsView, "PltBtn", "Graphik", [this] { resultAction("ResGrf"); });
  m_toolButtons[ResultTool::Edit] =
      button(QStyle::SP_FileDialogInfoView, "EdiBtn", "Editieren", [this] { resultAction("ResEdit"); });
  m_toolButtons[ResultTool::Test] =
      button(QStyle::SP_MessageBoxQuestion, "TestBtn", "Test", [this] { resultAction("ResTest"); });
  m_toolButtons[ResultTool::Switch] = button(QStyle::SP_BrowserReload, "UBtn", "Umschalten Graphik - Tabelle",
                                             [this] { resultAction("UBtn"); });
  m_toolButtons[ResultTool::SingleTable] = button(
      QStyle::SP_FileDialogListView, "SelBtn", "Zeile/Spalte auswählen", [this] { resultAction("ResETab"); });
  bar->addWidget(m_toolPanel);
}

void TMainForm::registerOwners() {
  m_dispatcher->setOnChange([this](bool structureEntry) {
    resetResultWindows();
    if (structureEntry) updateStructureEntry();
  });
  m_dispatcher->setOwner(CommandOwner::ChooseFile, [this] {
    statusBar()->clearMessage();
    ChooseStatisticsFile(*m_state, [this] { resetResultWindows(); });
    if (m_printSink) m_printSink->finishJob();  // the buffer of the previous file was printed
    updateTitle();
    updateStructureEntry();
    return false;
  });
  m_dispatcher->setOwner(CommandOwner::PathPreset, [this] { return PresetDataPath(*m_state); });
  m_dispatcher->setOwner(CommandOwner::Exit, [this] { return close(), false; });
  m_dispatcher->setOwner(CommandOwner::TextOptions, [this] { return openTextOptions(); });
  m_dispatcher->setOwner(CommandOwner::ErrorLevels, [this] { return openErrorLevels(); });
  m_dispatcher->setOwner(CommandOwner::Structure, [this] { return structureCommand(); });
  m_dispatcher->setOwner(CommandOwner::GroupsClasses, [this] {
    return ManageGroupsAndClasses(
        *m_state->params, m_state->ui, this, [this](int number) { helpWindow().showTopic(number, *m_ui); },
        std::exchange(m_state->ui.flags().placementHint, 0),
        [this](PrintAction action, const TTabHeader& header, const std::vector<std::string>& lines) {
          printLines(action, header, lines);
        });
  });
  m_dispatcher->setOwner(CommandOwner::DataEntry, [this] {
    return EnterData(*m_state, [this](InputModel& model) {
      RunDataEntry(
          this, model, m_state->ui, [this](int number) { helpWindow().showTopic(number, *m_ui); },
          [this](PrintAction action, const TTabHeader& header, const std::vector<std::string>& lines) {
            printLines(action, header, lines);
          });
    });
  });
  m_dispatcher->setOwner(CommandOwner::Manipulation, [this] {
    return EditAndRunCommands(*m_state, [this](ManipEditorModel& model) {
      return RunManipEditor(
          this, model, m_state->ui, [this](int number) { helpWindow().showTopic(number, *m_ui); },
          [this](PrintAction action, const TTabHeader& header, const std::vector<std::string>& lines) {
            printLines(action, header, lines);
          });
    });
  });
  m_dispatcher->setOwner(CommandOwner::Sorting, [this] { return SortCurrentFile(*m_state); });
  m_dispatcher->setOwner(CommandOwner::HelpContents, [this] { return helpWindow().showContents(), false; });
  m_dispatcher->setOwner(CommandOwner::HelpIndex, [this] { return helpWindow().showIndex(), false; });
  m_dispatcher->setOwner(CommandOwner::About, [this] { return showAbout(), false; });
  m_dispatcher->setOwner(CommandOwner::DirectTest,
                         [this] { return runDirectTest(m_state->commandCode, false), false; });
  m_dispatcher->setOwner(CommandOwner::Analysis, [this] { return runAnalysis(m_state->commandCode), false; });
}

void TMainForm::runAnalysis(int code) {
  const bool done = RunAnalysis(*m_state, code, [this](VariableSelectionModel& model) {
    return RunSelectionDialog(this, model, [this](int topic) { helpWindow().showTopic(topic, *m_ui); });
  });
  if (done) showTables();
}

void TMainForm::runDirectTest(int code, bool repeat) {
  if (!HasDirectTest(code)) return QApplication::beep();
  if (!repeat) {
    m_state->directTestCode = 0;
    m_state->directTestInputs.clear();
  }
  const std::vector<std::string> preset = m_state->directTestInputs;
  const auto inputs =
      TDTest(code, m_state->ui, m_state->significance, *m_state->tables, repeat ? &preset : nullptr);
  if (!inputs) return;
  m_state->directTestCode = code;
  m_state->directTestInputs = *inputs;
  showTables();
}

bool TMainForm::openTextOptions() {
  TTxtOptDlg dialog(*m_state->sysParams, this);
  dialog.setHelpHandler([this](int number) { helpWindow().showTopic(number, *m_ui); });
  if (dialog.exec() != QDialog::Accepted || !dialog.changed()) return false;
  applyColours();
  // Lay the window out again with the new fonts.
  resize(width(), height() - 1);
  resize(width(), height() + 1);
  return true;
}

bool TMainForm::openErrorLevels() {
  TErrLvlDlg dialog(this);
  dialog.setForm(ErrorLevelFormOf(m_state->params->settings()));
  dialog.setHelpHandler([this](int number) { helpWindow().showTopic(number, *m_ui); });
  dialog.setPlacementHint(std::exchange(m_state->ui.flags().placementHint, 0));
  if (dialog.exec() != QDialog::Accepted) return false;
  return StoreErrorLevels(*m_state, dialog.form());
}

void TMainForm::showAbout() {
  QMessageBox::about(this, QStringLiteral("Info"),
                     QStringLiteral("<h3>Veltrix</h3><p>Statistik für Fallsammlungen</p><p>Version %1</p>")
                         .arg(QStringLiteral(VELTRIX_VERSION)));
}

void TMainForm::showResultTools(std::string_view flags) {
  const ResultToolLayout layout = LayOutResultTools(flags, kToolButtonWidth);
  m_toolPanel->setFixedSize(layout.panelWidth, kToolButtonWidth + 4);
  for (int k = 0; k < 3; ++k) m_fixedButtons[k]->move(layout.fixedButtons[static_cast<std::size_t>(k)], 2);
  static constexpr const char* kMenuNames[] = {"ResGrf", "ResEdit", "ResTest", "", "ResETab"};
  for (int i = 0; i < kResultToolCount; ++i) {
    QToolButton* b = m_toolButtons[static_cast<ResultTool>(i)];
    const int x = layout.toolButtons[static_cast<std::size_t>(i)];
    b->setVisible(x >= 0);
    if (x >= 0) b->move(x, 2);
    if (*kMenuNames[i] == '\0') continue;
    const bool shown = layout.menuEntries[static_cast<std::size_t>(i)];
    actionNamed(kMenuNames[i])->setVisible(shown);
    if (const auto sep = m_separatorsBefore.find(std::string_view(kMenuNames[i]));
        sep != m_separatorsBefore.end())
      sep->second->setVisible(shown);
  }
  m_toolPanel->show();
  actionNamed("ResPrint")->setEnabled(true);
  actionNamed("ResSave")->setEnabled(true);
}

void TMainForm::hideResultTools() {
  m_toolPanel->hide();
  actionNamed("ResPrint")->setEnabled(false);
  actionNamed("ResSave")->setEnabled(false);
  for (const char* name : {"ResGrf", "ResEdit", "ResTest", "ResETab"}) {
    actionNamed(name)->setVisible(false);
    if (const auto sep = m_separatorsBefore.find(std::string_view(name)); sep != m_separatorsBefore.end())
      sep->second->setVisible(false);
  }
}

void TMainForm::resetResultWindows() {
  hideResultTools();
  if (m_state->tables) m_state->tables->ClearTables();
  if (m_tableForm) m_tableForm->showNoOutput();
  for (QMdiSubWindow* window : {m_tableWindow, m_graphWindow})
    if (window) window->showMinimized();
  m_state->currentHelpContext = m_state->mainHelpContext;
  arrangeIcons();
}

void TMainForm::updateTitle() {
  setWindowTitle(toQString(WindowCaption(*m_state)));
}

void TMainForm::updateStructureEntry() {
  if (QAction* entry = actionNamed("StruktNeu")) entry->setEnabled(StructureEntryEnabled(*m_state));
}

void TMainForm::applyColours() {
  const ScreenColours colours = m_state->sysParams->publishColours();
  m_mdi->setBackground(QtCanvas::toQColor(colours[1]));
  statusBar()->setStyleSheet(QStringLiteral("QStatusBar { background: %1; color: %2; }")
                                 .arg(cssColour(colours[10]), cssColour(colours[11])));
  if (QToolBar* bar = findChild<QToolBar*>(QStringLiteral("ButtonBar")))
    bar->setStyleSheet(QStringLiteral("QToolBar { background: %1; }").arg(cssColour(colours[0])));
}

int TMainForm::helpButtonNumber() const {
  const QMdiSubWindow* active = m_mdi->activeSubWindow();
  if (!active || active->isMinimized()) return m_state->mainHelpContext;
  const int tag = active->property(kTagProperty).toInt();
  if (tag == kTableTag) return m_state->tableHelpContext;
  if (tag == kGraphTag) return m_state->graphHelpContext;
  return m_state->mainHelpContext;
}

void TMainForm::resultAction(std::string_view name) {
  if (!m_state->ui.flags().ready) return;
  if (name == "UBtn") {
    // Switch between table and graph: the other document window is maximised.
    const QMdiSubWindow* active = m_mdi->activeSubWindow();
    QMdiSubWindow* other = active == m_tableWindow ? m_graphWindow : m_tableWindow;
    if (other) {
      other->showMaximized();
      m_mdi->setActiveSubWindow(other);
    }
    return;
  }
  if (name == "ResFF") {
    m_state->printer->FormFeed();
    m_printSink->finishJob();
    return;
  }
  const QMdiSubWindow* active = m_mdi->activeSubWindow();
  const bool tableShown =
      m_tableForm && m_tableForm->shown() && active == m_tableWindow && !active->isMinimized();
  if (name == "ResPrint" && tableShown) return printShownTable();
  if (name == "ResSave" && tableShown) return saveShownTable();
  // The test button of a direct test's sheet repeats the test with the inputs of the last run.
  if (name == "ResTest" && tableShown && m_state->directTestCode != 0 &&
      m_state->tables->AnalysisCode == m_state->directTestCode)
    return runDirectTest(m_state->directTestCode, true);
  // Graphs, their editing and the additional test come with the graph window; a minimised window has
  // nothing to print or save.
  QApplication::beep();
}

bool TMainForm::structureCommand() {
  const auto help = [this](int number) { helpWindow().showTopic(number, *m_ui); };
  StructureDialogs dialogs;
  dialogs.append = [this, help](TNeuVar& model) { return RunAppendDialog(this, model, help); };
  dialogs.free = [this, help](TFreiV& model) { return RunFreeDialog(this, model, help); };
  dialogs.warning = [this, help] { return RunStructureWarning(this, help); };
  dialogs.showListing = [this] { showTables(); };
  return RunStructureCommand(*m_state, dialogs);
}

void TMainForm::showTables() {
  if (!m_tableForm) return;
  m_tableForm->showResult();
  m_tableWindow->showMaximized();
  m_mdi->setActiveSubWindow(m_tableWindow);
}

bool TMainForm::printTable(PrintSink& sink) {
  return m_tableForm && m_tableForm->printCurrent(sink);
}

void TMainForm::setPrinterChooser(std::function<bool(QPrinter&)> chooser) {
  if (m_printSink) m_printSink->finishJob();
  m_printSink = std::make_unique<DeferredPrintSink>(std::move(chooser));
  m_state->printer->setPrintSink(m_printSink.get());
}

void TMainForm::printLines(PrintAction action, const TTabHeader& header,
                           const std::vector<std::string>& lines) {
  TPrnManager& printer = *m_state->printer;
  switch (action) {
    case PrintAction::Print:
      printer.setPrinterFont(m_state->sysParams->printerFont());
      printer.setPrintingMode(true);
      printer.PrintTable(header, lines);
      if (printer.autoPrint()) m_printSink->finishJob();
      return;
    case PrintAction::FormFeed:
      printer.FormFeed();
      m_printSink->finishJob();
      return;
    case PrintAction::SaveCopy:
      printer.setPrintingMode(false);
      printer.SaveTable(header, lines);
      return;
  }
}

void TMainForm::printShownTable() {
  TPrnManager& printer = *m_state->printer;
  printer.setPrinterFont(m_state->sysParams->printerFont());
  printer.setPrintingMode(true);
  m_tableForm->PrintTable(printer);
  // Automatic printing has printed everything: the pages go out now.
  if (printer.autoPrint()) m_printSink->finishJob();
}

void TMainForm::saveShownTable() {
  TPrnManager& printer = *m_state->printer;
  printer.setPrintingMode(false);
  m_tableForm->SaveTable(printer);
}

void TMainForm::windowAction(std::string_view name) {
  if (name == "TileHorz") return tileDocumentWindows(true);
  if (name == "TileVert") return tileDocumentWindows(false);
  if (name == "Cascade") return m_mdi->cascadeSubWindows();
  if (name == "MinimizeAll") {
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) (*it)->showMinimized();
    return;
  }
  if (name == "ArrangeIcons") return arrangeIcons();
}

void TMainForm::tileDocumentWindows(bool horizontally) {
  // "Untereinander" stacks the document windows, "Nebeneinander" puts them side by side.
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* w : m_mdi->subWindowList(QMdiArea::CreationOrder))
    if (!w->isMinimized()) windows.append(w);
  if (windows.isEmpty()) return;
  const QRect area = m_mdi->viewport()->rect();
  const int n = static_cast<int>(windows.size());
  for (int i = 0; i < n; ++i) {
    windows[i]->showNormal();
    if (horizontally) {
      const int h = area.height() / n;
      windows[i]->setGeometry(0, i * h, area.width(), h);
    } else {
      const int w = area.width() / n;
      windows[i]->setGeometry(i * w, 0, w, area.height());
    }
  }
}

void TMainForm::arrangeIcons() {
  // Minimised document windows line up along the bottom edge.
  const QRect area = m_mdi->viewport()->rect();
  int x = 0;
  for (QMdiSubWindow* w : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
    if (!w->isMinimized()) continue;
    w->move(x, area.height() - w->height());
    x += w->width();
  }
}

}  // namespace veltrix
