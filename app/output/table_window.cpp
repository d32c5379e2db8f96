#include "app/output/table_window.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <array>

#include "app/shell/qt_canvas.h"
#include "app/shell/qt_text.h"
#include "core/output/print_manager.h"
#include "core/output/tab_definition.h"
#include "core/stats/marked_line.h"

namespace veltrix {
namespace {

// The raw Windows-1252 text of a grid cell, layout marks included, as the delegate draws it.
constexpr int kRawTextRole = Qt::UserRole + 1;
// Grid lines between cells.
constexpr Color kGridLineColour = 0x808080;
// The largest text image in pixels; a longer table is cut to the lines that fit.
constexpr int kMaxImagePixels = 4000000;
constexpr int kMinImageHeight = 80;

QPalette panelPalette(QPalette palette, Color background, Color text) {
  palette.setColor(QPalette::Window, QtCanvas::toQColor(background));
  palette.setColor(QPalette::WindowText, QtCanvas::toQColor(text));
  return palette;
}

// A grid whose fixed rows and columns stay in place while the body scrolls: three views over the same
// model lie on top of the grid's viewport (the fixed rows, the fixed columns and their corner), follow
// its scrolling in one direction and its column widths and order.
class FixedLinesGrid : public QTableWidget {
 public:
  explicit FixedLinesGrid(QWidget* parent) : QTableWidget(parent) {
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    for (QTableView** view : {&m_rowsView, &m_colsView, &m_cornerView}) {
      *view = new QTableView(this);
      QTableView* overlay = *view;
      overlay->setModel(model());
      overlay->setFocusPolicy(Qt::NoFocus);
      overlay->setSelectionMode(NoSelection);
      overlay->setEditTriggers(NoEditTriggers);
      overlay->setShowGrid(false);
      overlay->setFrameShape(QFrame::NoFrame);
      overlay->setHorizontalScrollMode(ScrollPerPixel);
      overlay->setVerticalScrollMode(ScrollPerPixel);
      overlay->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      overlay->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      overlay->horizontalHeader()->hide();
      overlay->verticalHeader()->hide();
      overlay->horizontalHeader()->setMinimumSectionSize(1);
      overlay->verticalHeader()->setMinimumSectionSize(1);
      overlay->viewport()->installEventFilter(this);
      overlay->hide();
    }
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_rowsView->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, m_colsView->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
      for (QTableView* overlay : overlays()) overlay->setColumnWidth(logical, size);
      placeOverlays();
    });
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this, [this](int, int from, int to) {
      for (QTableView* overlay : overlays()) overlay->horizontalHeader()->moveSection(from, to);
      placeOverlays();
    });
  }

  // The wheel over a fixed line scrolls the grid, so the overlays never scroll on their own.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Wheel) {
      // Scrolled by hand: handing the event itself on would bring it back to the overlay.
      const QPoint angle = static_cast<QWheelEvent*>(event)->angleDelta();
      const bool sideways = angle.y() == 0;
      QScrollBar* bar = sideways ? horizontalScrollBar() : verticalScrollBar();
      const int degrees = sideways ? angle.x() : angle.y();
      bar->setValue(bar->value() - degrees * QApplication::wheelScrollLines() * bar->singleStep() / 120);
      return true;
    }
    return QTableWidget::eventFilter(watched, event);
  }

  std::array<QTableView*, 3> overlays() const { return {m_rowsView, m_colsView, m_cornerView}; }

  // After the grid was filled: the overlays take the delegate, sizes and fixed lines.
  void setFixedLines(int fixedRows, int fixedCols) {
    m_fixedRows = std::min(fixedRows, rowCount());
    m_fixedCols = std::min(fixedCols, columnCount());
    for (QTableView* overlay : overlays()) {
      overlay->setItemDelegate(itemDelegate());
      overlay->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
      QHeaderView* header = overlay->horizontalHeader();
      for (int logical = 0; logical < columnCount(); ++logical) {
        const int visual = header->visualIndex(logical);
        if (visual != logical) header->moveSection(visual, logical);
        overlay->setColumnWidth(logical, columnWidth(logical));
      }
    }
    placeOverlays();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QTableWidget::resizeEvent(event);
    placeOverlays();
  }
  void updateGeometries() override {
    QTableWidget::updateGeometries();
    placeOverlays();
  }

 private:
  void placeOverlays() {
    if (!m_rowsView) return;
    int height = 0;
    for (int row = 0; row < m_fixedRows; ++row) height += rowHeight(row);
    int width = 0;
    for (int visual = 0; visual < m_fixedCols; ++visual)
      width += columnWidth(horizontalHeader()->logicalIndex(visual));
    const QRect area = viewport()->geometry();
    height = std::min(height, area.height());
    width = std::min(width, area.width());
    m_rowsView->setGeometry(area.left(), area.top(), area.width(), height);
    m_colsView->setGeometry(area.left(), area.top(), width, area.height());
    m_cornerView->setGeometry(area.left(), area.top(), width, height);
    m_rowsView->setVisible(height > 0);
    m_colsView->setVisible(width > 0);
    m_cornerView->setVisible(height > 0 && width > 0);
    m_rowsView->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    m_colsView->verticalScrollBar()->setValue(verticalScrollBar()->value());
    m_rowsView->verticalScrollBar()->setValue(0);
    m_colsView->horizontalScrollBar()->setValue(0);
    m_cornerView->verticalScrollBar()->setValue(0);
    m_cornerView->horizontalScrollBar()->setValue(0);
    m_rowsView->raise();
    m_colsView->raise();
    m_cornerView->raise();
  }

  QTableView* m_rowsView = nullptr;
  QTableView* m_colsView = nullptr;
  QTableView* m_cornerView = nullptr;
  int m_fixedRows = 0;
  int m_fixedCols = 0;
};

}  // namespace

// Shows the text image at its own size inside the scroll box.
class TTabForm::ImageView : public QWidget {
 public:
  explicit ImageView(const QImage& image, QWidget* parent) : QWidget(parent), m_image(image) {}
  void imageChanged() {
    setFixedSize(m_image.size());
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
  }

 private:
  const QImage& m_image;
};

// Draws every grid cell with the line renderer, on the fixed colour in the fixed rows and columns, and
// the grid lines the table's flags leave switched on.
class TTabForm::GridDelegate : public QStyledItemDelegate {
 public:
  GridDelegate(const TTabForm& form, QObject* parent) : QStyledItemDelegate(parent), m_form(form) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const TableGrid& grid = m_form.m_table.grid;
    const ScreenColours colours = m_form.m_sysParams.publishColours();
    const bool fixedRow = index.row() < grid.fixedRows;
    const bool fixedCol = index.column() < grid.fixedCols;
    const QRect& cell = option.rect;
    const Rect rect{cell.left(), cell.top(), cell.right() + 1, cell.bottom() + 1};

    painter->save();
    QtCanvas canvas(*painter);
    canvas.fillRect(rect, colours[fixedRow || fixedCol ? kColourFixedCells : kColourTableArea]);
    FontSpec font = m_form.m_sysParams.screenFont();
    font.color = colours[kColourTableText];
    canvas.setFont(font);
    const QByteArray raw = index.data(kRawTextRole).toByteArray();
    DrawMarkedLine(canvas, rect, m_form.m_metrics.width8, std::string_view(raw.constData(), raw.size()),
                   m_form.m_metrics.charHeight);

    const bool horizontalLine = fixedRow ? !grid.noFixedRowLines : !grid.noBodyRowLines;
    const bool verticalLine = fixedCol ? !grid.noFixedColLines : !grid.noBodyColLines;
    canvas.setPen(kGridLineColour, 1, PenStyle::Solid);
    if (horizontalLine) canvas.drawLine({rect.left, rect.bottom - 1}, {rect.right - 1, rect.bottom - 1});
    if (verticalLine) canvas.drawLine({rect.right - 1, rect.top}, {rect.right - 1, rect.bottom - 1});
    painter->restore();
  }

 private:
  const TTabForm& m_form;
};

TTabForm::TTabForm(TTMng& tables, const TSysP& sysParams, QWidget* parent)
    : QWidget(parent), m_tables(tables), m_sysParams(sysParams) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  m_screenWidth = screen ? screen->size().width() : 1024;

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  m_tabBar = new QTabBar(this);
  m_tabBar->setObjectName(QStringLiteral("TabSet"));
  m_tabBar->setShape(QTabBar::RoundedNorth);
  m_tabBar->setDrawBase(false);
  m_tabBar->setExpanding(false);
  layout->addWidget(m_tabBar);

  m_titlePanel = new QWidget(this);
  m_titlePanel->setObjectName(QStringLiteral("PT"));
  m_titlePanel->setAutoFillBackground(true);
  auto* titleLayout = new QHBoxLayout(m_titlePanel);
  titleLayout->setContentsMargins(2, 3, 2, 3);
  m_leftTitle = new QLabel(m_titlePanel);
  m_leftTitle->setObjectName(QStringLiteral("PTL"));
  m_rightTitle = new QLabel(m_titlePanel);
  m_rightTitle->setObjectName(QStringLiteral("PTR"));
  for (QLabel* label : {m_leftTitle, m_rightTitle}) {
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignTop | (label == m_leftTitle ? Qt::AlignLeft : Qt::AlignRight));
  }
  titleLayout->addWidget(m_leftTitle, 1);
  titleLayout->addWidget(m_rightTitle, 1);
  layout->addWidget(m_titlePanel);

  m_note = new QLabel(this);
  m_note->setObjectName(QStringLiteral("PE"));
  m_note->setTextFormat(Qt::PlainText);
  m_note->setAutoFillBackground(true);
  m_note->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(m_note);

  auto* body = new QHBoxLayout;
  body->setContentsMargins(0, 0, 0, 0);
  body->setSpacing(0);
  m_scrollBox = new QScrollArea(this);
  m_scrollBox->setObjectName(QStringLiteral("ScBox"));
  m_scrollBox->setWidgetResizable(false);
  m_imageView = new ImageView(m_image, m_scrollBox);
  m_imageView->setObjectName(QStringLiteral("SMImg"));
  m_scrollBox->setWidget(m_imageView);
  body->addWidget(m_scrollBox, 1);

  m_grid = new FixedLinesGrid(this);
  m_grid->setObjectName(QStringLiteral("SGrid"));
  m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_grid->setTabKeyNavigation(true);
  m_grid->setSelectionMode(QAbstractItemView::NoSelection);
  m_grid->setShowGrid(false);
  m_grid->setWordWrap(false);
  m_grid->verticalHeader()->hide();
  m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_grid->verticalHeader()->setMinimumSectionSize(1);
  m_grid->horizontalHeader()->setMinimumSectionSize(1);
  m_delegate = new GridDelegate(*this, m_grid);
  m_grid->setItemDelegate(m_delegate);
  body->addWidget(m_grid, 1);

  m_buttonColumn = new QWidget(this);
  m_buttonColumn->setObjectName(QStringLiteral("PZ"));
  auto* buttonLayout = new QVBoxLayout(m_buttonColumn);
  buttonLayout->setContentsMargins(3, 3, 3, 3);
  for (int i = 0; i < kExtraActionCount; ++i) {
    auto* button = new QPushButton(m_buttonColumn);
    button->setObjectName(QStringLiteral("ZBtn%1").arg(i + 1));
    buttonLayout->addWidget(button);
    m_buttons.push_back(button);
    m_buttonActions.push_back(0);
    connect(button, &QPushButton::clicked, this,
            [this, i] { emit extraActionRequested(m_buttonActions[i]); });
  }
  buttonLayout->addStretch(1);
  body->addWidget(m_buttonColumn);
  layout->addLayout(body, 1);

  connect(m_tabBar, &QTabBar::currentChanged, this, [this](int tab) {
    if (tab >= 0) selectTab(tab);
  });

  measureFont();
  applyColours();
  showNoOutput();
}

TTabForm::~TTabForm() = default;

void TTabForm::measureFont() {
  QtCanvas canvas;
  canvas.setFont(m_sysParams.screenFont());
  const CellSize cell = CellMetrics(canvas);
  m_metrics.width8 = std::max(1, cell.cellWidth);
  m_metrics.charHeight = std::max(1, cell.lineHeight);
  m_metrics.charWidth = std::max(1, canvas.textWidth("WWWWWWWW") / 8);
}

void TTabForm::applyColours() {
  const ScreenColours colours = m_sysParams.publishColours();
  m_titlePanel->setPalette(panelPalette(palette(), colours[kColourTitlePanel], colours[kColourTitleText]));
  QFont titleFont = QtCanvas::toQFont(m_sysParams.screenFont());
  titleFont.setBold(m_sysParams.screenFont().name != "Fixedsys");
  m_leftTitle->setFont(titleFont);
  m_rightTitle->setFont(titleFont);

  m_note->setPalette(panelPalette(palette(), colours[kColourHintPanel], colours[kColourHintText]));
  QFont noteFont = QtCanvas::toQFont(m_sysParams.screenFont());
  noteFont.setBold(true);
  m_note->setFont(noteFont);

  QPalette area = m_scrollBox->palette();
  area.setColor(QPalette::Window, QtCanvas::toQColor(colours[kColourTableArea]));
  m_scrollBox->setPalette(area);
  m_scrollBox->viewport()->setAutoFillBackground(true);
  m_scrollBox->viewport()->setPalette(area);
  QPalette gridPalette = m_grid->palette();
  gridPalette.setColor(QPalette::Base, QtCanvas::toQColor(colours[kColourTableArea]));
  m_grid->setPalette(gridPalette);
}

void TTabForm::applySettings() {
  measureFont();
  applyColours();
  const int tab = m_currentTab;
  if (!m_shown) {
    showNoOutput();
    return;
  }
  m_currentTab = -1;
  loadTab(tab);
}

void TTabForm::setScreenWidth(int pixels) {
  m_screenWidth = std::max(0, pixels);
}

std::string TTabForm::activationToolFlags(std::string flags, bool graphHasPicture) {
  if (flags.size() < 4) flags.resize(4, ' ');
  flags[3] = graphHasPicture ? '1' : '0';
  return flags;
}

void TTabForm::showResult() {
  m_currentTab = -1;
  {
    const QSignalBlocker blocker(m_tabBar);
    while (m_tabBar->count() > 0) m_tabBar->removeTab(0);
  }
  m_tabs.clear();
  m_caption = m_tables.caption();
  m_toolFlags = m_tables.toolFlags();

  {
    const QSignalBlocker blocker(m_tabBar);
    for (const TabDefinition& definition : TabList(m_tables.tabDefs(), m_tables.HelpTopic)) {
      m_tabs.push_back({definition.graphSelector, definition.helpTopic});
      m_tabBar->addTab(toQString(definition.caption));
    }
  }
  m_shown = true;
  m_tabBar->setVisible(m_tabs.size() >= 2);

  // A first tab beyond the list falls back to the first one, so a stale value never loads a table
  // that has no tab to return to.
  int first = m_tables.FirstTab;
  if (first < 0 || first >= std::max<int>(1, tabCount())) first = 0;
  loadTab(first);
  {
    const QSignalBlocker blocker(m_tabBar);
    if (first < m_tabBar->count()) m_tabBar->setCurrentIndex(first);
  }

  emit resultToolsChanged(m_toolFlags);
  buildButtons();
  m_tables.FirstTab = 0;
  if (!m_grid->isHidden())
    m_grid->setFocus();
  else
    setFocus();
}

void TTabForm::showNoOutput() {
  m_shown = false;
  m_currentTab = -1;
  {
    const QSignalBlocker blocker(m_tabBar);
    while (m_tabBar->count() > 0) m_tabBar->removeTab(0);
  }
  m_tabs.clear();
  m_tabBar->hide();
  m_grid->hide();
  m_titlePanel->hide();
  m_note->hide();
  m_buttonColumn->hide();
  for (std::size_t i = 0; i < m_buttons.size(); ++i) {
    m_buttons[i]->hide();
    m_buttonActions[i] = 0;
  }
  m_table = FetchedTable{};
  m_table.header.Kind = 'A';
  m_table.lines = {"Keine Ausgabe"};
  drawTextTable();
  m_scrollBox->show();
  setHelpTopic(kNoOutputHelpTopic);
}

void TTabForm::selectTab(int tab) {
  if (!m_shown || tab < 0 || tab >= tabCount()) return;
  loadTab(tab);
  {
    const QSignalBlocker blocker(m_tabBar);
    m_tabBar->setCurrentIndex(tab);
  }
  if (!m_grid->isHidden())
    m_grid->setFocus();
  else
    setFocus();
}

void TTabForm::loadTab(int tab) {
  if (tab == m_currentTab) return;
  m_currentTab = tab;
  m_table = m_tables.FetchTable(tab + 1);
  showTitles();
  if (m_table.header.Kind == 'B') {
    m_scrollBox->hide();
    fillGridWidget();
    m_grid->show();
  } else {
    m_grid->hide();
    drawTextTable();
    m_scrollBox->show();
  }
  setHelpTopic(tab < tabCount() ? m_tabs[static_cast<std::size_t>(tab)].helpTopic : m_tables.HelpTopic);
}

void TTabForm::showTitles() {
  const TTabHeader& header = m_table.header;
  const int titleLines = std::clamp<int>(header.TitleLines, 0, 3);
  if (titleLines == 0) {
    m_titlePanel->hide();
    m_note->hide();
    return;
  }
  std::string left = " " + header.LeftTitle[0];
  std::string right = header.RightTitle[0] + " ";
  for (int k = 1; k < titleLines; ++k) {
    left += "\n  " + header.LeftTitle[static_cast<std::size_t>(k)];
    right += "\n" + header.RightTitle[static_cast<std::size_t>(k)] + " ";
  }
  m_leftTitle->setText(toQString(left));
  m_rightTitle->setText(toQString(right));
  m_titlePanel->setFixedHeight(titleLines * (m_metrics.charHeight * 5 / 4) + 7);
  m_titlePanel->show();
  if (header.Note.empty()) {
    m_note->hide();
  } else {
    m_note->setText(toQString(header.Note + " "));
    m_note->show();
  }
}

void TTabForm::drawTextTable() {
  const std::vector<std::string>& lines = m_table.lines;
  const int lineHeight = std::max(1, m_metrics.charHeight * 6 / 5);
  const int width = std::max(10 * m_metrics.charWidth, m_screenWidth + 10);
  const int count = static_cast<int>(lines.size());
  // Counted in 64 bits: a table of millions of lines must not overflow before it is cut.
  long long height = std::max<long long>((static_cast<long long>(count) + 1) * lineHeight, kMinImageHeight);
  int drawn = count;
  if (height > kMaxImagePixels / width) {
    height = kMaxImagePixels / width;
    drawn = std::clamp(static_cast<int>(height) / lineHeight - 1, 0, count);
  }

  const ScreenColours colours = m_sysParams.publishColours();
  m_image = QImage(width, static_cast<int>(height), QImage::Format_RGB32);
  m_image.fill(QtCanvas::toQColor(colours[kColourTableArea]));
  m_drawnLines.assign(lines.begin(), lines.begin() + drawn);
  {
    QPainter painter(&m_image);
    QtCanvas canvas(painter);
    const int fixedLines = std::clamp<int>(m_table.header.FixedRows, 0, drawn);
    if (fixedLines > 0)
      canvas.fillRect(Rect{0, 0, width, fixedLines * lineHeight}, colours[kColourFixedCells]);
    FontSpec font = m_sysParams.screenFont();
    font.color = colours[kColourTableText];
    canvas.setFont(font);
    for (int i = 0; i < drawn; ++i) {
      const Rect band{0, i * lineHeight, width, (i + 1) * lineHeight};
      DrawMarkedLine(canvas, band, m_metrics.width8, m_drawnLines[static_cast<std::size_t>(i)],
                     m_metrics.charHeight);
    }
  }
  m_imageView->imageChanged();
  m_scrollBox->horizontalScrollBar()->setValue(0);
  m_scrollBox->verticalScrollBar()->setValue(0);
}

void TTabForm::fillGridWidget() {
  const TableGrid& grid = m_table.grid;
  m_grid->clear();
  m_grid->setRowCount(grid.rows);
  m_grid->setColumnCount(grid.cols);
  m_grid->verticalHeader()->setDefaultSectionSize(m_metrics.charHeight * 5 / 4);
  QHeaderView* columns = m_grid->horizontalHeader();
  // Restore the logical order a previous table may have left moved.
  for (int logical = 0; logical < grid.cols; ++logical) {
    const int visual = columns->visualIndex(logical);
    if (visual != logical) columns->moveSection(visual, logical);
  }
  for (int col = 1; col <= grid.cols; ++col)
    m_grid->setColumnWidth(col - 1, grid.columnPixelWidth(col, m_metrics.charWidth));
  for (int row = 1; row <= grid.rows; ++row) {
    for (int col = 1; col <= grid.cols; ++col) {
      const std::string& text = grid.cell(row, col);
      if (text.empty()) continue;
      auto* item = new QTableWidgetItem(toQString(text));
      item->setData(kRawTextRole, QByteArray::fromStdString(text));
      m_grid->setItem(row - 1, col - 1, item);
    }
  }
  // The column header is the handle for resizing and moving; without either it is not shown.
  columns->setSectionResizeMode(grid.canResizeColumns ? QHeaderView::Interactive : QHeaderView::Fixed);
  columns->setSectionsMovable(grid.canMoveColumns);
  columns->setVisible(grid.canResizeColumns || grid.canMoveColumns);
  static_cast<FixedLinesGrid*>(m_grid)->setFixedLines(grid.fixedRows, grid.fixedCols);
  m_grid->scrollToTop();
  m_grid->horizontalScrollBar()->setValue(0);
}

void TTabForm::buildButtons() {
  std::size_t used = 0;
  for (int i = 1; i <= kExtraActionCount; ++i) {
    const std::int32_t action = m_tables.extraAction(i);
    if (action <= 0) continue;
    QPushButton* button = m_buttons[used];
    button->setText(toQString(m_tables.extraCaption(i)));
    button->setToolTip(toQString(m_tables.extraHint(i)) + QString::fromLatin1(kExtraHintSuffix));
    m_buttonActions[used] = action;
    button->show();
    ++used;
  }
  for (std::size_t i = used; i < m_buttons.size(); ++i) {
    m_buttons[i]->hide();
    m_buttonActions[i] = 0;
  }
  m_buttonColumn->setVisible(used > 0);
}

void TTabForm::setHelpTopic(int topic) {
  m_helpTopic = topic;
  emit helpTopicChanged(topic);
}

bool TTabForm::printCurrent(PrintSink& sink) {
  if (!m_shown || m_currentTab < 0 || !m_printHandler) return false;
  return m_printHandler(sink);
}

void TTabForm::PrintTable(TPrnManager& printer) const {
  const FetchedTable table = shownTable();
  if (table.header.Kind == 'B')
    printer.PrintTable(table.header, table.grid, kPrintRowLimit, topRow());
  else
    printer.PrintTable(table.header, table.lines);
}

bool TTabForm::SaveTable(TPrnManager& printer) const {
  const FetchedTable table = shownTable();
  if (table.header.Kind == 'B') return printer.SaveTable(table.header, table.grid);
  return printer.SaveTable(table.header, table.lines);
}

FetchedTable TTabForm::shownTable() const {
  FetchedTable table = m_table;
  const TableGrid& loaded = m_table.grid;
  const auto cells = static_cast<std::size_t>(loaded.rows) * static_cast<std::size_t>(loaded.cols);
  if (table.header.Kind != 'B' || m_grid->columnCount() != loaded.cols || loaded.cells.size() != cells)
    return table;
  TableGrid& shown = table.grid;
  const QHeaderView* columns = m_grid->horizontalHeader();
  const int charWidth = std::max(1, m_metrics.charWidth);
  const auto cols = static_cast<std::size_t>(loaded.cols);
  shown.colWidths.assign(cols, kDefaultColWidth);
  for (int visual = 0; visual < loaded.cols; ++visual) {
    const int logical = columns->logicalIndex(visual);
    // A column is drawn (width + 1) character widths wide; a resized one rounds to whole characters.
    const int pixels = m_grid->columnWidth(logical);
    shown.colWidths[static_cast<std::size_t>(visual)] = std::max(1, (pixels + charWidth / 2) / charWidth - 1);
    for (int row = 1; row <= loaded.rows; ++row)
      shown.cells[static_cast<std::size_t>(row - 1) * cols + static_cast<std::size_t>(visual)] =
          loaded.cell(row, logical + 1);
  }
  return table;
}

int TTabForm::topRow() const {
  const TableGrid& grid = m_table.grid;
  const int fixedRows = std::clamp(grid.fixedRows, 0, grid.rows);
  // The fixed rows cover the top of the viewport; the row just below them is the first one seen.
  int fixedHeight = 0;
  for (int row = 0; row < fixedRows; ++row) fixedHeight += m_grid->rowHeight(row);
  const int row = m_grid->rowAt(fixedHeight);
  return row >= fixedRows ? row + 1 : fixedRows + 1;
}

QStringList TTabForm::tabCaptions() const {
  QStringList captions;
  for (int i = 0; i < m_tabBar->count(); ++i) captions << m_tabBar->tabText(i);
  return captions;
}

bool TTabForm::tabRowVisible() const {
  return m_tabBar->isVisibleTo(this);
}

int TTabForm::graphSelector() const {
  if (m_currentTab < 0 || m_currentTab >= tabCount()) return 0;
  return m_tabs[static_cast<std::size_t>(m_currentTab)].graphSelector;
}

bool TTabForm::titleVisible() const {
  return m_titlePanel->isVisibleTo(this);
}

QString TTabForm::leftTitleText() const {
  return m_leftTitle->text();
}

QString TTabForm::rightTitleText() const {
  return m_rightTitle->text();
}

bool TTabForm::noteVisible() const {
  return m_note->isVisibleTo(this);
}

QString TTabForm::noteText() const {
  return m_note->text();
}

bool TTabForm::textImageVisible() const {
  return m_scrollBox->isVisibleTo(this);
}

bool TTabForm::gridVisible() const {
  return m_grid->isVisibleTo(this);
}

int TTabForm::gridRowCount() const {
  return m_grid->rowCount();
}

int TTabForm::gridColumnCount() const {
  return m_grid->columnCount();
}

QString TTabForm::gridCellText(int row, int col) const {
  const QTableWidgetItem* item = m_grid->item(row - 1, col - 1);
  return item ? item->text() : QString();
}

int TTabForm::gridColumnWidth(int col) const {
  return m_grid->columnWidth(col - 1);
}

bool TTabForm::gridColumnsResizable() const {
  return m_grid->horizontalHeader()->isVisibleTo(m_grid) &&
         m_grid->horizontalHeader()->sectionResizeMode(0) == QHeaderView::Interactive;
}

bool TTabForm::gridColumnsMovable() const {
  return m_grid->horizontalHeader()->isVisibleTo(m_grid) && m_grid->horizontalHeader()->sectionsMovable();
}

std::vector<TTabForm::ExtraButton> TTabForm::visibleButtons() const {
  std::vector<ExtraButton> shown;
  for (std::size_t i = 0; i < m_buttons.size(); ++i) {
    if (!m_buttons[i]->isVisibleTo(this)) continue;
    shown.push_back({m_buttonActions[i], m_buttons[i]->text(), m_buttons[i]->toolTip()});
  }
  return shown;
}

bool TTabForm::clickButton(int index) {
  int seen = 0;
  for (QPushButton* button : m_buttons) {
    if (!button->isVisibleTo(this)) continue;
    if (seen++ == index) {
      button->click();
      return true;
    }
  }
  return false;
}

}  // namespace veltrix
