// The table window "Tabellen": the tables of the current result one at a time under a row of tabs, with
// the title lines, an optional note, a text table as a scrollable image or a grid table as a grid, and
// up to six extra action buttons. It reads everything through the table manager's fetch operation.
#pragma once

#include <QImage>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/output/table_manager.h"
#include "core/shell/sys_params.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QTabBar;
class QTableWidget;
class QVBoxLayout;

namespace veltrix {

class PrintSink;
class TPrnManager;

// The help topic of the window while it shows no result.
inline constexpr int kNoOutputHelpTopic = 100000;
// Appended to every extra button's hint.
inline constexpr const char* kExtraHintSuffix = " (Folgeauswertung)";
// A printed grid of more than 62 rows may print this many rows from the top row shown.
inline constexpr int kPrintRowLimit = 30;

// Character measures of the screen font that the window lays out with.
struct TableFontMetrics {
  int charWidth = 1;   // "WWWWWWWW" / 8
  int charHeight = 1;  // height of "Ep"
  int width8 = 8;      // "W9999999", the standard cell of the line renderer
};

class TTabForm : public QWidget {
  Q_OBJECT

 public:
  // Prints the shown table on the sink (through PrintTable); true when it was printed.
  using PrintHandler = std::function<bool(PrintSink& sink)>;

  // The window starts with "Keine Ausgabe". Both objects must outlive it.
  TTabForm(TTMng& tables, const TSysP& sysParams, QWidget* parent = nullptr);
  ~TTabForm() override;

  // Reads the current result from the table manager: tabs, tool flags, the table of FirstTab (which is
  // then reset to 0) and the extra buttons.
  void showResult();
  // Forgets the result and shows the single line "Keine Ausgabe".
  void showNoOutput();
  // Loads and shows the table of tab t (0-based); nothing when t is already loaded.
  void selectTab(int tab);
  // Colours and fonts were changed in the text options: lay out and draw the loaded table again.
  void applySettings();

  // Printing goes through the handler the main window installs; false without one or without output.
  void setPrintHandler(PrintHandler handler) { m_printHandler = std::move(handler); }
  bool printCurrent(PrintSink& sink);

  // "Drucken": the shown table goes to the printer buffer, a grid as shown (shownTable) with the
  // question, for more than 62 rows, whether to print kPrintRowLimit rows from topRow() or all.
  void PrintTable(TPrnManager& printer) const;
  // "Kopie auf Platte": the shown table is appended to the protocol file; false when nothing was written.
  bool SaveTable(TPrnManager& printer) const;
  // The loaded table as the user sees it: a grid's columns in their shown order, each as many
  // characters wide as its shown pixel width gives (pixels / character width - 1, at least 1).
  FetchedTable shownTable() const;
  // The grid row (from 1, fixed rows counted) that stands first below the fixed rows, as scrolled.
  int topRow() const;

  // The width of the screen the text image is made for (the primary screen unless set).
  void setScreenWidth(int pixels);

  // The tool flags on activation: padded to four characters, flag 4 (switch between graph and table)
  // says whether the graph window holds a picture.
  static std::string activationToolFlags(std::string flags, bool graphHasPicture);

  // ---- state, for the main window and for tests
  bool shown() const { return m_shown; }
  int currentTab() const { return m_currentTab; }
  int tabCount() const { return static_cast<int>(m_tabs.size()); }
  QStringList tabCaptions() const;
  bool tabRowVisible() const;
  int graphSelector() const;  // of the current tab; 0 without one
  int helpTopic() const { return m_helpTopic; }
  const std::string& toolFlags() const { return m_toolFlags; }
  const FetchedTable& loadedTable() const { return m_table; }
  const TableFontMetrics& fontMetrics() const { return m_metrics; }

  bool titleVisible() const;
  QString leftTitleText() const;
  QString rightTitleText() const;
  bool noteVisible() const;
  QString noteText() const;

  bool textImageVisible() const;
  const QImage& textImage() const { return m_image; }
  // The lines drawn into the image (a very long table is cut to what fits).
  const std::vector<std::string>& drawnLines() const { return m_drawnLines; }

  bool gridVisible() const;
  int gridRowCount() const;
  int gridColumnCount() const;
  // Row and column count from 1, fixed ones included; the cell text with its layout marks.
  QString gridCellText(int row, int col) const;
  int gridColumnWidth(int col) const;
  bool gridColumnsResizable() const;
  bool gridColumnsMovable() const;
  QTableWidget* gridWidget() const { return m_grid; }

  // The shown extra buttons in order: action code, caption, hint.
  struct ExtraButton {
    int action = 0;
    QString caption;
    QString hint;
  };
  std::vector<ExtraButton> visibleButtons() const;
  // Clicks the i-th shown extra button (0-based); false when there is none.
  bool clickButton(int index);

 signals:
  // An extra button with this action code was clicked.
  void extraActionRequested(int action);
  // A result was shown: the main window updates its result tools from these flags.
  void resultToolsChanged(const std::string& flags);
  // The help topic of the window changed (tab switch, new result, no output).
  void helpTopicChanged(int topic);

 private:
  struct TabInfo {
    int graphSelector = 0;
    int helpTopic = 0;
  };
  class GridDelegate;
  class ImageView;

  void measureFont();
  void applyColours();
  void loadTab(int tab);
  void showTitles();
  void drawTextTable();
  void fillGridWidget();
  void buildButtons();
  void setHelpTopic(int topic);

  TTMng& m_tables;
  const TSysP& m_sysParams;
  TableFontMetrics m_metrics;
  int m_screenWidth = 0;

  bool m_shown = false;
  int m_currentTab = -1;
  std::vector<TabInfo> m_tabs;
  std::string m_toolFlags;
  std::string m_caption;
  int m_helpTopic = 0;
  FetchedTable m_table;
  QImage m_image;
  std::vector<std::string> m_drawnLines;
  PrintHandler m_printHandler;

  QTabBar* m_tabBar = nullptr;
  QWidget* m_titlePanel = nullptr;
  QLabel* m_leftTitle = nullptr;
  QLabel* m_rightTitle = nullptr;
  QLabel* m_note = nullptr;
  QScrollArea* m_scrollBox = nullptr;
  ImageView* m_imageView = nullptr;
  QTableWidget* m_grid = nullptr;
  GridDelegate* m_delegate = nullptr;
  QWidget* m_buttonColumn = nullptr;
  std::vector<QPushButton*> m_buttons;
  std::vector<int> m_buttonActions;
};

}  // namespace veltrix
