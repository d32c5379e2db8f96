#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QProcess>
#include <QScrollBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "app/output/qt_print_sink.h"
#include "app/output/table_window.h"
#include "app/shell/qt_canvas.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "core/base/win1252.h"
#include "core/output/print_manager.h"
#include "core/stats/marked_line.h"
#include "tests/app/modal_guard.h"
#include "tests/support/recording_print_sink.h"
#include "tests/support/recording_ui.h"

using namespace veltrix;
using namespace veltrix::literals;

namespace {

constexpr std::int32_t kResultHelp = 4011;

const std::vector<std::string>& textLines() {
  static const std::vector<std::string> lines{"@9Wert@9~Anzahl", "@91@9~5", "@92@9~7", "@9Summe@9~12"};
  return lines;
}

// A result of two tabs: a text table (tab "Text", the result's help topic) and a grid table (tab
// "Gitter", help topic 1004, graph selector 3), two extra buttons among six slots.
void fillResult(TTMng& tables) {
  tables.ClearTables();
  TTabHeader text;
  text.Kind = 'A';
  text.TitleLines = 2;
  text.FixedRows = 1;
  text.LeftTitle = {std::string("Häufigkeiten"_w), "Variable ALTER", "nicht gezeigt"};
  text.RightTitle = {"Seite 1", "n = 12", "nicht gezeigt"};
  text.Note = std::string("Nur gültige Fälle"_w);
  tables.BeginTextTableList(1, text, textLines());

  TTabHeader grid;
  grid.Kind = 'B';
  grid.TitleLines = 1;
  grid.LeftTitle[0] = "Kreuztabelle";
  grid.Rows = 3;
  grid.Cols = 3;
  grid.FixedRows = 1;
  grid.FixedCols = 1;
  grid.GridFlags = "000011";
  grid.ColWidths[0] = 12;
  grid.ColWidths[1] = 0;
  grid.ColWidths[2] = 5;
  tables.BeginTable(2, grid);
  tables.AddCell(1, 2, "~M\xE4nner");
  tables.AddLine("001003~Frauen");
  tables.AddCell(2, 1, "Alter");
  tables.AddCell(2, 2, "~12");
  tables.AddCell(2, 2, "~13");  // the later text of the same cell wins
  tables.AddCell(3, 3, "~4");
  tables.AddLine("004001ausserhalb");

  tables.setTabDef(1, "00HHHHText");
  tables.setTabDef(2, "031004Gitter");
  tables.setTabDef(4,
                   "00HHHHnach einer L\xFC"
                   "cke");
  tables.setToolFlags("10100");
  tables.setExtraAction(1, 1021, "Mehr", "Weitere Tests");
  tables.setExtraAction(2, 0, "Nie", "nicht gezeigt");
  tables.setExtraAction(4, 1040, "Faktoren", "Zweite Rotation");
  tables.HelpTopic = kResultHelp;
}

// Answers the print manager's question with a fixed choice and keeps each question.
class AnsweringUi : public test::RecordingUi {
 public:
  int answer = 0;
  std::vector<ListRequest> lists;

 protected:
  int doSelectFromList(const ListRequest& request, int) override {
    lists.push_back(request);
    return answer;
  }
};

// "Z" + the row in three digits + "S" + the column, so every printed cell names its place.
std::string cellName(int row, int col) {
  std::string number = std::to_string(row);
  return "Z" + std::string(3 - number.size(), '0') + number + "S" + std::to_string(col);
}

// One grid table of the given rows and three columns (6, 7 and 8 characters wide), one fixed row and
// column, columns that the user may resize and move.
void fillNamedGrid(TTMng& tables, int rows) {
  tables.ClearTables();
  TTabHeader header;
  header.Kind = 'B';
  header.Rows = static_cast<std::int16_t>(rows);
  header.Cols = 3;
  header.FixedRows = 1;
  header.FixedCols = 1;
  header.GridFlags = "000011";
  header.ColWidths[0] = 6;
  header.ColWidths[1] = 7;
  header.ColWidths[2] = 8;
  tables.BeginTable(1, header);
  for (int row = 1; row <= rows; ++row)
    for (int col = 1; col <= 3; ++col) tables.AddCell(row, col, cellName(row, col));
  tables.setTabDef(1, "00HHHHGitter");
}

// The printed texts of the cells (those that start with "Z"), in the order they were drawn.
std::vector<test::RecordingCanvas::Call> printedCells(const test::RecordingPrintSink& sink) {
  std::vector<test::RecordingCanvas::Call> cells;
  for (std::size_t page = 0; page < sink.pages().size(); ++page)
    for (const auto& call : sink.callsOf(page, test::RecordingCanvas::Kind::Text))
      if (!call.text.empty() && call.text[0] == 'Z') cells.push_back(call);
  return cells;
}

QColor colourOf(const TSysP& sys, int entry) {
  return QtCanvas::toQColor(sys.publishColours()[static_cast<std::size_t>(entry)]);
}

}  // namespace

class TableWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> m_dir;
  std::unique_ptr<QtUi> m_ui;
  std::unique_ptr<TSysP> m_sys;
  TTMng m_tables;
  test::ModalGuard m_guard;

  std::unique_ptr<TTabForm> makeWindow() {
    auto window = std::make_unique<TTabForm>(m_tables, *m_sys);
    window->resize(900, 600);
    return window;
  }

 private slots:
  void init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_ui = std::make_unique<QtUi>();
    m_sys = std::make_unique<TSysP>(*m_ui, fromQPath(m_dir->filePath(QStringLiteral("veltrix.sys"))));
    fillResult(m_tables);
  }
  void cleanup() {
    m_guard.verifyClean();
    m_sys.reset();
    m_ui.reset();
  }

  void startsWithNoOutput() {
    auto window = makeWindow();
    QVERIFY(!window->shown());
    QCOMPARE(window->currentTab(), -1);
    QCOMPARE(window->drawnLines(), std::vector<std::string>{"Keine Ausgabe"});
    QCOMPARE(window->helpTopic(), 100000);
    QVERIFY(window->textImageVisible());
    QVERIFY(!window->gridVisible());
    QVERIFY(!window->tabRowVisible());
    QVERIFY(!window->titleVisible());
    QVERIFY(window->visibleButtons().empty());
  }

  void showsTabsTitlesNoteAndTextTable() {
    auto window = makeWindow();
    std::string offeredTools;
    connect(window.get(), &TTabForm::resultToolsChanged, this,
            [&offeredTools](const std::string& flags) { offeredTools = flags; });
    window->showResult();

    QVERIFY(window->shown());
    // The list ends at the empty third definition; the fourth is never offered.
    QCOMPARE(window->tabCaptions(), QStringList({"Text", "Gitter"}));
    QVERIFY(window->tabRowVisible());
    QCOMPARE(window->currentTab(), 0);
    QCOMPARE(offeredTools, std::string("10100"));
    QCOMPARE(window->toolFlags(), std::string("10100"));

    QVERIFY(window->titleVisible());
    QCOMPARE(window->leftTitleText(), QString::fromUtf8(" Häufigkeiten\n  Variable ALTER"));
    QCOMPARE(window->rightTitleText(), QStringLiteral("Seite 1 \nn = 12 "));
    QVERIFY(window->noteVisible());
    QCOMPARE(window->noteText(), QString::fromUtf8("Nur gültige Fälle "));

    QVERIFY(window->textImageVisible());
    QVERIFY(!window->gridVisible());
    QCOMPARE(window->drawnLines(), textLines());
    QCOMPARE(window->helpTopic(), kResultHelp);  // "HHHH"
    QCOMPARE(window->graphSelector(), 0);
  }

  void textImageHasFixedLinesOnTheFixedColour() {
    auto window = makeWindow();
    window->setScreenWidth(700);
    window->showResult();
    const QImage& image = window->textImage();
    const int lineHeight = window->fontMetrics().charHeight * 6 / 5;
    // Width: screen width + 10; height: (4 lines + 1) bands, at least 80 pixels.
    QCOMPARE(image.width(), 710);
    QCOMPARE(image.height(), std::max(5 * lineHeight, 80));
    // The right edge holds no text: band 1 (FixedRows = 1) on the fixed colour, band 3 on the table colour.
    QCOMPARE(image.pixelColor(705, lineHeight / 2), colourOf(*m_sys, kColourFixedCells));
    QCOMPARE(image.pixelColor(705, 2 * lineHeight + lineHeight / 2), colourOf(*m_sys, kColourTableArea));
    // Text was drawn in the first band: some pixel there has the text colour.
    bool textDrawn = false;
    for (int x = 0; x < 300 && !textDrawn; ++x)
      for (int y = 0; y < lineHeight && !textDrawn; ++y)
        textDrawn = image.pixelColor(x, y) == colourOf(*m_sys, kColourTableText);
    QVERIFY(textDrawn);
  }

  void switchingTabsShowsTheGrid() {
    auto window = makeWindow();
    int topic = 0;
    connect(window.get(), &TTabForm::helpTopicChanged, this, [&topic](int value) { topic = value; });
    window->showResult();
    auto* tabBar = window->findChild<QTabBar*>(QStringLiteral("TabSet"));
    QVERIFY(tabBar);
    tabBar->setCurrentIndex(1);

    QCOMPARE(window->currentTab(), 1);
    QVERIFY(window->gridVisible());
    QVERIFY(!window->textImageVisible());
    QCOMPARE(window->leftTitleText(), QStringLiteral(" Kreuztabelle"));
    QVERIFY(!window->noteVisible());
    QCOMPARE(window->helpTopic(), 1004);
    QCOMPARE(topic, 1004);
    QCOMPARE(window->graphSelector(), 3);

    QCOMPARE(window->gridRowCount(), 3);
    QCOMPARE(window->gridColumnCount(), 3);
    struct Cell {
      int row;
      int col;
      QString text;
    };
    const Cell cells[] = {{1, 1, ""},        {1, 2, QString::fromUtf8("~Männer")},
                          {1, 3, "~Frauen"}, {2, 1, "Alter"},
                          {2, 2, "~13"},     {2, 3, ""},
                          {3, 3, "~4"},      {3, 1, ""}};
    for (const Cell& cell : cells) {
      QVERIFY2(window->gridCellText(cell.row, cell.col) == cell.text,
               qPrintable(QStringLiteral("cell %1,%2: %3")
                              .arg(cell.row)
                              .arg(cell.col)
                              .arg(window->gridCellText(cell.row, cell.col))));
    }
    // (width + 1) character widths; width 0 counts as 9.
    const int charWidth = window->fontMetrics().charWidth;
    QCOMPARE(window->gridColumnWidth(1), 13 * charWidth);
    QCOMPARE(window->gridColumnWidth(2), 10 * charWidth);
    QCOMPARE(window->gridColumnWidth(3), 6 * charWidth);
    QVERIFY(window->gridColumnsResizable());
    QVERIFY(window->gridColumnsMovable());

    tabBar->setCurrentIndex(0);
    QVERIFY(window->textImageVisible());
    QCOMPARE(window->drawnLines(), textLines());
    QCOMPARE(window->helpTopic(), kResultHelp);
  }

  void gridFlagsDecideLinesAndColumnHandling() {
    TTabHeader header;
    header.Kind = 'B';
    header.Rows = 3;
    header.Cols = 2;
    header.FixedRows = 1;
    header.FixedCols = 1;
    struct Case {
      const char* flags;
      bool resizable;
      bool movable;
    };
    const Case cases[] = {{"", false, false}, {"0000100", true, false}, {"000001", false, true}};
    for (const Case& c : cases) {
      header.GridFlags = c.flags;
      m_tables.BeginTable(2, header);
      auto window = makeWindow();
      window->showResult();
      window->selectTab(1);
      QVERIFY2(window->gridColumnsResizable() == c.resizable, c.flags);
      QVERIFY2(window->gridColumnsMovable() == c.movable, c.flags);
    }

    // Fixed cells on the fixed colour, body cells on the table colour, lines between them unless the
    // flags switch them off: "1" = no horizontal lines between body rows.
    header.GridFlags = "1";
    m_tables.BeginTable(2, header);
    auto window = makeWindow();
    window->show();
    window->showResult();
    window->selectTab(1);
    QTableWidget* grid = window->gridWidget();
    const QImage image = grid->viewport()->grab().toImage();
    const QRect fixedCell = grid->visualRect(grid->model()->index(0, 0));
    const QRect bodyCell = grid->visualRect(grid->model()->index(1, 1));
    const QColor lineColour(0x80, 0x80, 0x80);
    QCOMPARE(image.pixelColor(fixedCell.right() - 2, fixedCell.top() + 2),
             colourOf(*m_sys, kColourFixedCells));
    QCOMPARE(image.pixelColor(bodyCell.right() - 2, bodyCell.top() + 2), colourOf(*m_sys, kColourTableArea));
    QCOMPARE(image.pixelColor(fixedCell.right() - 2, fixedCell.bottom()), lineColour);
    QCOMPARE(image.pixelColor(bodyCell.right(), bodyCell.top() + 2), lineColour);
    QCOMPARE(image.pixelColor(bodyCell.right() - 2, bodyCell.bottom()), colourOf(*m_sys, kColourTableArea));
  }

  void fixedLinesStayWhileTheBodyScrolls() {
    TTabHeader header;
    header.Kind = 'B';
    header.Rows = 200;
    header.Cols = 40;
    header.FixedRows = 2;
    header.FixedCols = 1;
    m_tables.BeginTable(2, header);
    auto window = makeWindow();
    window->show();
    window->showResult();
    window->selectTab(1);
    QTableWidget* grid = window->gridWidget();
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    QVERIFY(grid->verticalScrollBar()->value() > 0 && grid->horizontalScrollBar()->value() > 0);

    // The viewport alone has scrolled its fixed lines away; the grid as seen keeps them on top and left.
    const QRect area = grid->viewport()->geometry();
    const QImage viewportImage = grid->viewport()->grab().toImage();
    const QImage seen = grid->grab().toImage();
    const QPoint inFixedRows(area.width() / 2, 3);
    const QPoint inFixedCol(3, area.height() / 2);
    QCOMPARE(viewportImage.pixelColor(inFixedRows), colourOf(*m_sys, kColourTableArea));
    QCOMPARE(seen.pixelColor(area.topLeft() + inFixedRows), colourOf(*m_sys, kColourFixedCells));
    QCOMPARE(seen.pixelColor(area.topLeft() + inFixedCol), colourOf(*m_sys, kColourFixedCells));
    QCOMPARE(seen.pixelColor(area.center()), colourOf(*m_sys, kColourTableArea));

    // The wheel over the fixed column scrolls the whole grid up.
    QWidget* fixedColumn = grid->childAt(area.topLeft() + inFixedCol);
    QVERIFY(fixedColumn && fixedColumn != grid->viewport());
    const int before = grid->verticalScrollBar()->value();
    const QPointF at(fixedColumn->width() / 2.0, fixedColumn->height() / 2.0);
    QWheelEvent wheel(at, fixedColumn->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(fixedColumn, &wheel);
    QVERIFY(grid->verticalScrollBar()->value() < before);
  }

  void firstTabIsHonouredThenReset() {
    auto window = makeWindow();
    m_tables.FirstTab = 1;
    window->showResult();
    QCOMPARE(window->currentTab(), 1);
    QVERIFY(window->gridVisible());
    QCOMPARE(window->findChild<QTabBar*>(QStringLiteral("TabSet"))->currentIndex(), 1);
    QCOMPARE(m_tables.FirstTab, std::int16_t{0});

    window->showResult();
    QCOMPARE(window->currentTab(), 0);

    // A first tab beyond the tab list falls back to the first tab.
    m_tables.FirstTab = 7;
    window->showResult();
    QCOMPARE(window->currentTab(), 0);
    QCOMPARE(m_tables.FirstTab, std::int16_t{0});
  }

  void oneTabShowsNoTabRowAndMissingTableShowsNoOutputLine() {
    m_tables.ClearTables();
    m_tables.setTabDef(1, "00HHHHLeer");
    m_tables.HelpTopic = 77;
    auto window = makeWindow();
    window->showResult();
    QCOMPARE(window->tabCaptions(), QStringList({"Leer"}));
    QVERIFY(!window->tabRowVisible());
    QCOMPARE(window->drawnLines(), std::vector<std::string>{" * Keine Ausgabe"});
    QVERIFY(!window->titleVisible());
    QCOMPARE(window->helpTopic(), 77);
    QVERIFY(window->visibleButtons().empty());

    window->showNoOutput();
    QVERIFY(!window->shown());
    QCOMPARE(window->drawnLines(), std::vector<std::string>{"Keine Ausgabe"});
    QCOMPARE(window->helpTopic(), 100000);
  }

  void extraButtonsForPositiveActions() {
    auto window = makeWindow();
    int requested = 0;
    connect(window.get(), &TTabForm::extraActionRequested, this,
            [&requested](int action) { requested = action; });
    window->showResult();
    const auto buttons = window->visibleButtons();
    QCOMPARE(buttons.size(), std::size_t{2});
    QCOMPARE(buttons[0].action, 1021);
    QCOMPARE(buttons[0].caption, QStringLiteral("Mehr"));
    QCOMPARE(buttons[0].hint, QStringLiteral("Weitere Tests") + QString::fromLatin1(kExtraHintSuffix));
    QCOMPARE(buttons[1].action, 1040);
    QCOMPARE(buttons[1].caption, QStringLiteral("Faktoren"));
    QVERIFY(window->clickButton(1));
    QCOMPARE(requested, 1040);
    QVERIFY(!window->clickButton(2));

    // The next result without extra actions hides them again.
    m_tables.ClearTables();
    m_tables.setTabDef(1, "00HHHHNur");
    window->showResult();
    QVERIFY(window->visibleButtons().empty());
  }

  void longTextTableIsCutToTheImageLimit() {
    m_tables.ClearTables();
    TTabHeader header;
    header.Kind = 'A';
    m_tables.BeginTextTableList(1, header, std::vector<std::string>(10000, "@9x@9~1"));
    auto window = makeWindow();
    window->setScreenWidth(1000);
    window->showResult();
    const int lineHeight = window->fontMetrics().charHeight * 6 / 5;
    // 1010 pixels wide: 4000000 / 1010 = 3960 pixels high, so 3960 / line height - 1 lines.
    QCOMPARE(window->textImage().width(), 1010);
    QCOMPARE(window->textImage().height(), 3960);
    QCOMPARE(static_cast<int>(window->drawnLines().size()), 3960 / lineHeight - 1);
  }

  void printCurrentHandsTheSinkToTheHandler() {
    auto window = makeWindow();
    const QString pdf = m_dir->filePath(QStringLiteral("tabelle.pdf"));
    QtPrintSink sink(pdf);
    QVERIFY(!window->printCurrent(sink));  // no output yet, no handler

    window->showResult();
    QVERIFY(!window->printCurrent(sink));  // no handler
    PrintSink* received = nullptr;
    FetchedTable printed;
    window->setPrintHandler([&](PrintSink& target) {
      received = &target;
      printed = window->shownTable();
      return true;
    });
    window->selectTab(1);
    QVERIFY(window->printCurrent(sink));
    QCOMPARE(received, static_cast<PrintSink*>(&sink));
    QCOMPARE(printed.header.Kind, 'B');
    QCOMPARE(printed.grid.cell(2, 2), std::string("~13"));
  }

  void longGridPrintsThirtyRowsFromTheTopRowShown() {
    fillNamedGrid(m_tables, 100);
    auto window = makeWindow();
    window->show();
    window->showResult();
    QTableWidget* grid = window->gridWidget();
    const int rowHeight = grid->rowHeight(1);
    QCOMPARE(grid->rowHeight(0), rowHeight);
    QCOMPARE(window->topRow(), 2);  // not scrolled: the first body row

    // Scrolled by 40 rows: row 41 lies under the fixed row, row 42 is the first one seen below it.
    grid->verticalScrollBar()->setValue(40 * rowHeight);
    QCOMPARE(grid->verticalScrollBar()->value(), 40 * rowHeight);
    QCOMPARE(window->topRow(), 42);

    AnsweringUi ui;
    test::RecordingPrintSink sink;
    TPrnManager printer(ui);
    printer.setPrintSink(&sink);
    ui.answer = 0;  // "30 Zeilen ab akt. 1. Zeile"
    window->PrintTable(printer);
    printer.Flush();
    QCOMPARE(ui.lists.size(), std::size_t{1});
    QCOMPARE(ui.lists[0].caption, std::string("Drucken"));
    QCOMPARE(ui.lists[0].items, (std::vector<std::string>{"30 Zeilen ab akt. 1. Zeile", "Alles drucken"}));
    std::vector<std::string> firstColumn;
    for (const auto& call : printedCells(sink))
      if (call.text.ends_with("S1")) firstColumn.push_back(call.text);
    std::vector<std::string> expected{cellName(1, 1)};  // the fixed row, then rows 42..71
    for (int row = 42; row <= 71; ++row) expected.push_back(cellName(row, 1));
    QCOMPARE(firstColumn, expected);
    QCOMPARE(ui.unexpected, 0);
  }

  void resizedAndMovedColumnsPrintAndSaveAsShown() {
    fillNamedGrid(m_tables, 3);
    auto window = makeWindow();
    window->show();
    window->showResult();
    QTableWidget* grid = window->gridWidget();
    QHeaderView* columns = grid->horizontalHeader();
    const int charWidth = window->fontMetrics().charWidth;
    // The user widens column 2 to 20 characters and drags column 3 before it.
    columns->resizeSection(1, 21 * charWidth);
    columns->moveSection(2, 1);

    const FetchedTable shown = window->shownTable();
    QCOMPARE(shown.grid.colWidths, (std::vector<int>{6, 8, 20}));
    QCOMPARE(shown.grid.cell(2, 2), cellName(2, 3));
    QCOMPARE(shown.grid.cell(2, 3), cellName(2, 2));
    QCOMPARE(shown.grid.cell(1, 1), cellName(1, 1));
    // The loaded table itself stays as fetched.
    QCOMPARE(window->loadedTable().grid.colWidths, (std::vector<int>{6, 7, 8}));

    AnsweringUi ui;
    test::RecordingPrintSink sink;  // 800 pixels wide, 8 pixels per character, "W9999999" 64 pixels
    TPrnManager printer(ui);
    printer.setPrintSink(&sink);
    window->PrintTable(printer);
    printer.Flush();
    QVERIFY(ui.lists.empty());  // three rows: no question
    std::vector<test::RecordingCanvas::Call> row2;
    for (const auto& call : printedCells(sink))
      if (call.text.starts_with("Z002")) row2.push_back(call);
    QCOMPARE(row2.size(), std::size_t{3});
    QCOMPARE(row2[0].text, cellName(2, 1));
    QCOMPARE(row2[1].text, cellName(2, 3));
    QCOMPARE(row2[2].text, cellName(2, 2));
    // Cells (width + 1) * 8 pixels wide from the left margin 800 / 16 = 50: 50..106, 106..178, 178..346;
    // each text clipped 64 / 20 = 3 pixels inside its cell.
    const int lefts[] = {53, 109, 181};
    const int rights[] = {103, 175, 343};
    for (std::size_t k = 0; k < 3; ++k) {
      QCOMPARE(row2[k].rect.left, lefts[k]);
      QCOMPARE(row2[k].rect.right, rights[k]);
    }

    // The protocol file gets the same order and widths: each cell in its width and a blank.
    printer.fileSelected("STUDIE.DT1", fromQPath(m_dir->path()), "P");
    printer.setPrintingMode(false);
    printer.setCopyFileChooser([&ui](CopyFileChoice& choice) { return choice.accept(0, ui); });
    QVERIFY(window->SaveTable(printer));
    QFile saved(m_dir->filePath(QStringLiteral("P0.txt")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = saved.readAll().split('\n');
    QVERIFY(lines.size() > 4);
    // The head line, the rule, then the rows.
    QCOMPARE(lines[3], QByteArray("Z002S1 Z002S3   Z002S2\r"));
    QCOMPARE(ui.unexpected, 0);
  }

  void pdfSinkPrintsOnePagePerDocument() {
    const QString pdf = m_dir->filePath(QStringLiteral("seiten.pdf"));
    {
      QtPrintSink sink(pdf);
      for (int page = 1; page <= 2; ++page) {
        QVERIFY(sink.beginDocument("Veltrix"));
        const Rect rect = sink.pageRect();
        QVERIFY(rect.width() > 0 && rect.height() > rect.width());  // A4 or Letter portrait
        QVERIFY(!sink.landscape());
        Canvas& canvas = sink.canvas();
        canvas.setFont(FontSpec{"Arial", 12, false, false, false, 0});
        const int width8 = CellMetrics(canvas).cellWidth;
        const std::string line = "@9Seite " + std::to_string(page) +
                                 "@9~Gr\xF6\xDF"
                                 "e";
        DrawMarkedLine(canvas, Rect{0, 0, rect.width(), canvas.textHeight("Ep") * 2}, width8, line,
                       canvas.textHeight("Ep"));
        QVERIFY(sink.endDocument());
      }
      QCOMPARE(sink.pagesPrinted(), 2);
      QVERIFY(sink.finish());
      QVERIFY(!sink.beginDocument("danach"));
    }
    QVERIFY(QFileInfo(pdf).size() > 0);

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished(30000));
    QCOMPARE(pdftotext.exitCode(), 0);
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 2);
    QVERIFY2(pages[0].contains(QStringLiteral("Seite 1")) && pages[0].contains(QString::fromUtf8("Größe")),
             qPrintable(pages[0]));
    QVERIFY2(pages[1].contains(QStringLiteral("Seite 2")), qPrintable(pages[1]));
  }

  void activationSetsTheGraphSwitchFlag() {
    struct Case {
      std::string flags;
      bool picture;
      std::string expected;
    };
    const Case cases[] = {{"", true, "   1"}, {"101", false, "1010"}, {"11111", false, "11101"}};
    for (const Case& c : cases) QCOMPARE(TTabForm::activationToolFlags(c.flags, c.picture), c.expected);
  }
};

QTEST_MAIN(TableWindowTest)
#include "table_window_test.moc"
