#include "app/analysis/selection_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/shell/qt_text.h"
#include "core/analysis/selection_slots.h"
#include "core/base/win1252.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

constexpr int kInitialWidth = 760;
constexpr int kInitialHeight = 520;

// Catalog lines of class divisions and groups begin with a layout mark of two characters, which the
// list does not draw: its fixed font keeps the columns.
QString shownLine(const std::string& line) {
  if (line.size() >= 2 && line[0] == '{') return toQString(std::string_view(line).substr(2));
  return toQString(line);
}

QStringList itemsOf(const QListWidget* list) {
  QStringList items;
  for (int row = 0; row < list->count(); ++row) items << list->item(row)->text();
  return items;
}

// New items only when they differ, so that an unchanged list keeps its scroll position.
void showItems(QListWidget* list, const QStringList& items) {
  if (itemsOf(list) == items) return;
  list->clear();
  list->addItems(items);
}

void showSelection(QListWidget* list, bool multiple, const std::vector<bool>& selected, int cursor) {
  list->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection
                                  : QAbstractItemView::SingleSelection);
  list->clearSelection();
  if (cursor >= 0 && cursor < list->count()) {
    list->setCurrentRow(cursor, QItemSelectionModel::NoUpdate);
  } else {
    list->setCurrentIndex(QModelIndex());
  }
  for (int row = 0; row < list->count() && row < static_cast<int>(selected.size()); ++row)
    if (selected[static_cast<std::size_t>(row)]) list->item(row)->setSelected(true);
}

std::vector<int> selectedRows(const QListWidget* list) {
  std::vector<int> rows;
  for (int row = 0; row < list->count(); ++row)
    if (list->item(row)->isSelected()) rows.push_back(row);
  return rows;
}

}  // namespace

TAuswDlg::TAuswDlg(VariableSelectionModel& model, HelpHandler help, QWidget* parent)
    : QDialog(parent), m_model(model), m_help(std::move(help)) {
  setWindowTitle(toQString(m_model.caption()));
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

  // ---- the catalog column
  m_catalog = new QListWidget(this);
  m_catalog->setObjectName(QStringLiteral("AWBox"));
  m_catalog->setFont(fixed);
  m_catalog->installEventFilter(this);
  m_catalog->addItem(QStringLiteral("X"));
  m_rowHeight = m_catalog->sizeHintForRow(0);
  if (m_rowHeight <= 0) m_rowHeight = QFontMetrics(fixed).height() + 2;
  m_catalog->clear();
  connect(m_catalog, &QListWidget::itemSelectionChanged, this, [this] {
    if (!m_refreshing) m_model.setCatalogSelection(selectedRows(m_catalog));
  });
  connect(m_catalog, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!m_refreshing) m_model.setCatalogCursor(row);
  });
  connect(m_catalog, &QListWidget::itemDoubleClicked, this,
          [this] { run(&VariableSelectionModel::moveRight); });

  m_explanation = new QLabel(this);
  m_explanation->setObjectName(QStringLiteral("LExpl"));
  m_explanation->setTextFormat(Qt::PlainText);

  m_sorted = new QRadioButton(QStringLiteral("alphabetisch &sortiert"), this);
  m_sorted->setObjectName(QStringLiteral("VSortBtn"));
  m_unsorted = new QRadioButton(QStringLiteral("Reihenfolge &Eingabemaske"), this);
  m_unsorted->setObjectName(QStringLiteral("VNoSortBtn"));
  for (QRadioButton* button : {m_sorted, m_unsorted}) {
    connect(button, &QRadioButton::toggled, this, [this, button](bool checked) {
      if (m_refreshing || !checked) return;
      m_model.setAlphabetical(button == m_sorted);
      refresh();
    });
  }

  m_continue = new QPushButton(QStringLiteral("&Weiter"), this);
  m_continue->setObjectName(QStringLiteral("ContBtn"));
  m_memory = new QPushButton(QStringLiteral("Speicher&inhalt"), this);
  m_memory->setObjectName(QStringLiteral("BufBtn"));
  connect(m_continue, &QPushButton::clicked, this, [this] { run(&VariableSelectionModel::continueToNext); });
  connect(m_memory, &QPushButton::clicked, this, &TAuswDlg::openMemory);

  m_memoryPanel = new QFrame(this);
  m_memoryPanel->setObjectName(QStringLiteral("BufPanel"));
  m_memoryPanel->setFrameShape(QFrame::StyledPanel);
  m_memoryList = new QListWidget(m_memoryPanel);
  m_memoryList->setFont(fixed);
  m_memoryList->setSelectionMode(QAbstractItemView::NoSelection);
  m_memoryYes = new QPushButton(QStringLiteral("&Ja"), m_memoryPanel);
  m_memoryNo = new QPushButton(QStringLiteral("&Nein"), m_memoryPanel);
  connect(m_memoryYes, &QPushButton::clicked, this, [this] {
    closeMemory();
    run(&VariableSelectionModel::takeMemory);
  });
  connect(m_memoryNo, &QPushButton::clicked, this, &TAuswDlg::closeMemory);
  auto* memoryLayout = new QVBoxLayout(m_memoryPanel);
  memoryLayout->addWidget(new QLabel(QStringLiteral("Speicher-Inhalt :"), m_memoryPanel));
  memoryLayout->addWidget(m_memoryList, 1);
  memoryLayout->addWidget(new QLabel(toQString("Speicher übernehmen ?"_w), m_memoryPanel));
  auto* answerRow = new QHBoxLayout;
  answerRow->addWidget(m_memoryYes);
  answerRow->addWidget(m_memoryNo);
  answerRow->addStretch();
  memoryLayout->addLayout(answerRow);
  m_memoryPanel->hide();

  auto* catalogColumn = new QVBoxLayout;
  catalogColumn->addWidget(m_catalog, 1);
  catalogColumn->addWidget(m_explanation);
  catalogColumn->addWidget(m_sorted);
  catalogColumn->addWidget(m_unsorted);
  auto* catalogButtons = new QHBoxLayout;
  catalogButtons->addWidget(m_continue);
  catalogButtons->addWidget(m_memory);
  catalogButtons->addStretch();
  catalogColumn->addLayout(catalogButtons);
  catalogColumn->addWidget(m_memoryPanel);

  // ---- the arrow panel
  m_arrows = new QFrame(this);
  m_arrows->setObjectName(QStringLiteral("ArrowPanel"));
  m_arrows->setFrameShape(QFrame::StyledPanel);
  m_arrows->setAutoFillBackground(true);
  m_right = new QPushButton(QStringLiteral("Nach &rechts  →"), m_arrows);
  m_left = new QPushButton(QStringLiteral("←  Nach &links"), m_arrows);
  m_up = new QPushButton(QStringLiteral("↑  Nach &oben"), m_arrows);
  m_down = new QPushButton(QStringLiteral("↓  Nach &unten"), m_arrows);
  auto* arrowLayout = new QVBoxLayout(m_arrows);
  arrowLayout->addStretch();
  for (QPushButton* button : {m_right, m_left, m_up, m_down}) {
    button->setAutoDefault(false);
    arrowLayout->addWidget(button);
  }
  arrowLayout->addStretch();
  connect(m_right, &QPushButton::clicked, this, [this] { run(&VariableSelectionModel::moveRight); });
  connect(m_left, &QPushButton::clicked, this, [this] { run(&VariableSelectionModel::moveLeft); });
  connect(m_up, &QPushButton::clicked, this, [this] { run(&VariableSelectionModel::moveUp); });
  connect(m_down, &QPushButton::clicked, this, [this] { run(&VariableSelectionModel::moveDown); });
  for (QPushButton* button : {m_continue, m_memory, m_memoryYes, m_memoryNo}) button->setAutoDefault(false);

  // ---- the boxes
  m_boxColumn = new QWidget(this);
  m_boxColumn->installEventFilter(this);
  auto* boxLayout = new QVBoxLayout(m_boxColumn);
  boxLayout->setContentsMargins(0, 0, 0, 0);
  for (int box = 1; box <= kSelectionSlotCount; ++box) {
    if (!m_model.present(box)) continue;
    const auto at = static_cast<std::size_t>(box - 1);
    auto* label = new QLabel(toQString(m_model.boxCaption(box)), m_boxColumn);
    label->setTextFormat(Qt::PlainText);
    auto* list = new QListWidget(m_boxColumn);
    list->setObjectName(QStringLiteral("Box%1").arg(box));
    list->setFont(fixed);
    list->setMinimumHeight(m_rowHeight + 2 * list->frameWidth());
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    label->setBuddy(list);
    connect(list, &QListWidget::itemSelectionChanged, this, [this, box, list] {
      if (!m_refreshing) m_model.setEntrySelection(box, selectedRows(list));
    });
    connect(list, &QListWidget::currentRowChanged, this, [this, box](int row) {
      if (!m_refreshing) m_model.setEntryCursor(box, row);
    });
    boxLayout->addWidget(label);
    boxLayout->addWidget(list, 1);
    m_labels[at] = label;
    m_boxes[at] = list;
  }
  boxLayout->addStretch(0);

  // ---- the switches of list 1
  m_completeCases = new QCheckBox(toQString("Nur \"&komplette\" Fälle"_w), this);
  m_completeCases->setObjectName(QStringLiteral("CompleteBox"));
  m_completeCases->setVisible(m_model.completeCasesOffered());
  connect(m_completeCases, &QCheckBox::toggled, this, [this](bool on) {
    if (!m_refreshing) m_model.setCompleteCases(on);
  });
  m_transformation = new QComboBox(this);
  m_transformation->setObjectName(QStringLiteral("TransBox"));
  for (int i = 0; i < kTransformationCount; ++i)
    m_transformation->addItem(toQString(TransformationChoice(i)));
  auto* transformationLabel = new QLabel(QStringLiteral("Variablen&transformation :"), this);
  transformationLabel->setBuddy(m_transformation);
  transformationLabel->setVisible(m_model.transformationOffered());
  m_transformation->setVisible(m_model.transformationOffered());
  connect(m_transformation, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!m_refreshing) m_model.setTransformation(index);
  });
  auto* switches = new QHBoxLayout;
  switches->addWidget(m_completeCases);
  switches->addSpacing(16);
  switches->addWidget(transformationLabel);
  switches->addWidget(m_transformation);
  switches->addStretch();

  m_buttons = MakeDialogButtons(
      this, [this] { pressAccept(); },
      [this] {
        if (m_help) m_help(m_model.helpTopic());
      });
  m_buttons.ok->setText(QStringLiteral("&Auswerten"));
  m_buttons.help->setVisible(static_cast<bool>(m_help));

  auto* columns = new QHBoxLayout;
  columns->addLayout(catalogColumn, 3);
  columns->addWidget(m_arrows);
  columns->addWidget(m_boxColumn, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(switches);
  layout->addLayout(DialogButtonRow(m_buttons));

  // Keyboard order: catalog, arrows, boxes, the catalog's buttons and order, switches, button row.
  QList<QWidget*> order{m_catalog, m_right, m_left, m_up, m_down};
  for (QListWidget* list : m_boxes)
    if (list) order << list;
  order << m_continue << m_memory << m_memoryYes << m_memoryNo << m_sorted << m_unsorted << m_completeCases
        << m_transformation << m_buttons.ok << m_buttons.cancel << m_buttons.help;
  for (int i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);

  resize(kInitialWidth, kInitialHeight);
  refresh();
  m_catalog->setFocus();
}

QListWidget* TAuswDlg::boxList(int box) const {
  return box >= 1 && box <= kSelectionSlotCount ? m_boxes[static_cast<std::size_t>(box - 1)] : nullptr;
}

QLabel* TAuswDlg::boxLabel(int box) const {
  return box >= 1 && box <= kSelectionSlotCount ? m_labels[static_cast<std::size_t>(box - 1)] : nullptr;
}

bool TAuswDlg::arrowPanelShownRed() const {
  return m_arrows->palette().color(QPalette::Window) == QColor(Qt::red);
}

void TAuswDlg::refresh() {
  m_refreshing = true;
  const int active = m_model.activeBox();
  for (int box = 1; box <= kSelectionSlotCount; ++box) {
    QListWidget* list = boxList(box);
    if (!list) continue;
    QStringList items;
    for (const std::string& entry : m_model.entries(box)) items << toQString(entry);
    showItems(list, items);
    showSelection(list, m_model.multiSelect(box), m_model.entrySelection(box), m_model.entryCursor(box));
    QFont font = boxLabel(box)->font();
    font.setBold(box == active);
    boxLabel(box)->setFont(font);
  }

  QStringList lines;
  for (const std::string& line : m_model.catalog()) lines << shownLine(line);
  showItems(m_catalog, lines);
  showSelection(m_catalog, m_model.multiSelect(active), m_model.catalogSelection(), m_model.catalogCursor());
  if (m_model.catalogCursor() >= 0) m_catalog->scrollToItem(m_catalog->item(m_model.catalogCursor()));
  m_explanation->setText(toQString(m_model.explanation()));

  m_sorted->setEnabled(m_model.sortEnabled());
  m_unsorted->setEnabled(m_model.sortEnabled());
  m_sorted->setChecked(m_model.alphabetical());
  m_unsorted->setChecked(!m_model.alphabetical());
  m_up->setEnabled(m_model.upDownEnabled());
  m_down->setEnabled(m_model.upDownEnabled());
  m_memory->setEnabled(m_model.memoryEnabled());
  m_continue->setVisible(m_model.continueVisible());
  m_completeCases->setChecked(m_model.completeCases());
  m_transformation->setCurrentIndex(m_model.transformation());

  QPalette arrows = palette();
  if (m_model.arrowPanelRed()) arrows.setColor(QPalette::Window, Qt::red);
  m_arrows->setPalette(arrows);
  if (m_memoryPanel->isVisible() && m_memoryBox != active) closeMemory();
  m_refreshing = false;
}

void TAuswDlg::run(void (VariableSelectionModel::*action)()) {
  (m_model.*action)();
  refresh();
}

void TAuswDlg::activateBox(int box) {
  if (box == m_model.activeBox() && !m_model.arrowPanelRed()) return;
  m_model.activate(box);
  refresh();
}

void TAuswDlg::pressAccept() {
  if (m_model.accept()) {
    accept();
    return;
  }
  refresh();
  m_catalog->setFocus();
}

void TAuswDlg::openMemory() {
  const SlotMemory memory = m_model.memory();
  m_memoryList->clear();
  for (const std::string& entry : memory.entries) m_memoryList->addItem(toQString(entry));
  m_memoryBox = m_model.activeBox();
  m_memoryPanel->show();
  m_memoryYes->setFocus();
}

void TAuswDlg::closeMemory() {
  const bool hadFocus = m_memoryPanel->isAncestorOf(focusWidget());
  m_memoryPanel->hide();
  m_memoryBox = 0;
  if (hadFocus) m_memory->setFocus();
}

void TAuswDlg::shareHeight() {
  int present = 0;
  int labels = 0;
  for (int box = 1; box <= kSelectionSlotCount; ++box) {
    if (!boxList(box)) continue;
    ++present;
    labels += boxLabel(box)->sizeHint().height();
  }
  if (present == 0) return;
  const auto* layout = m_boxColumn->layout();
  const QMargins margins = layout->contentsMargins();
  // Label and list per box, and the closing stretch.
  const int spacing = std::max(0, layout->spacing()) * 2 * present;
  const int free = m_boxColumn->height() - margins.top() - margins.bottom() - labels - spacing;
  const int share = free / present;
  for (int box = 1; box <= kSelectionSlotCount; ++box) {
    QListWidget* list = boxList(box);
    if (!list) continue;
    const int frame = 2 * list->frameWidth();
    const int rows = std::max(1, (share - frame) / m_rowHeight);
    list->setMaximumHeight(rows * m_rowHeight + frame);
  }
}

int TAuswDlg::boxOf(const QObject* watched) const {
  for (int box = 1; box <= kSelectionSlotCount; ++box) {
    const QListWidget* list = boxList(box);
    if (list && (watched == list || watched == list->viewport())) return box;
  }
  return 0;
}

bool TAuswDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_catalog && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // Enter in the catalog moves the entries; it is not "Auswerten".
      run(&VariableSelectionModel::moveRight);
      return true;
    }
  }
  if (watched == m_boxColumn && event->type() == QEvent::Resize) shareHeight();
  if (const int box = boxOf(watched)) {
    if (event->type() == QEvent::FocusIn) {
      // Coming back from another window is no choice of the box.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) activateBox(box);
    } else if (event->type() == QEvent::MouseButtonPress) {
      activateBox(box);
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TAuswDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  shareHeight();
}

bool RunSelectionDialog(QWidget* parent, VariableSelectionModel& model, std::function<void(int)> help) {
  TAuswDlg dialog(model, std::move(help), parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace veltrix
