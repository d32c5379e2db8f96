#include "app/entry/input_dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/shell/qt_text.h"
#include "core/base/ui.h"
#include "core/base/win1252.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

constexpr int kHeadingRowHeight = 6;
constexpr int kCellPadding = 14;
// Room the window keeps beside the grid on the screen.
constexpr int kScreenMargin = 80;

int labelWidth(const QFontMetrics& metrics, const InputModel& model, int index) {
  return metrics.horizontalAdvance(toQString(model.label(index))) + kCellPadding;
}

int valueWidth(const QFontMetrics& metrics, const InputModel& model, int index, int gridWidth) {
  const VariableEntry& v = model.field(index);
  const int characters = std::max(v.length, 1);
  // Digits for numbers; a text field gets room for letters and digits alike.
  const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
  const int text = v.isText() ? std::max(metrics.averageCharWidth(), digit) * characters
                              : metrics.horizontalAdvance(QString(characters, QLatin1Char('0')));
  return std::min(text + kCellPadding, gridWidth * 9 / 10);
}

struct ColumnWidths {
  std::vector<int> widths;  // one per grid column
  int total = 0;
};

ColumnWidths widthsFor(const InputModel& model, const QFontMetrics& metrics, int columns, int gridWidth) {
  ColumnWidths result;
  result.widths.assign(static_cast<std::size_t>(2 * columns), 0);
  for (int i = 0; i < model.fieldCount(); ++i) {
    const auto c = static_cast<std::size_t>(2 * (i % columns));
    result.widths[c] = std::max(result.widths[c], labelWidth(metrics, model, i));
    result.widths[c + 1] = std::max(result.widths[c + 1], valueWidth(metrics, model, i, gridWidth));
  }
  for (const int w : result.widths) result.total += w;
  return result;
}

}  // namespace

int EntryColumnsForWidth(const InputModel& model, const QFontMetrics& metrics, int gridWidth) {
  for (int columns = InputModel::kMaxColumns; columns > 1; --columns)
    if (widthsFor(model, metrics, columns, gridWidth).total <= gridWidth) return columns;
  return 1;
}

TInpDlg::TInpDlg(InputModel& model, Ui& ui, QWidget* parent) : QDialog(parent), m_model(model), m_ui(ui) {
  setObjectName(QStringLiteral("InpDlg"));
  setWindowTitle(QStringLiteral("DATENEINGABE"));

  auto* tools = new QHBoxLayout;
  tools->setSpacing(2);
  const auto add = [&](Tool tool, std::string_view caption, std::string_view hint,
                       std::function<void()> action) {
    addTool(tool, toQString(caption), toQString(hint), std::move(action));
    tools->addWidget(m_tools.at(tool));
  };
  const auto step = [this](std::int64_t delta) {
    return [this, delta] { act([this, delta] { m_model.stepRecords(delta); }); };
  };
  add(Tool::Ok, "&OK", "Dateneingabe beenden", [this] { tryClose(); });
  add(Tool::Undo, "Änd. &rückg."_w, "Änderungen im Datenfeld oder in DS rückgängig machen"_w,
      [this] { act([this] { m_model.undoChanges(); }); });
  add(Tool::Forward1, "1 (F10)", "1 Datensatz vorwärts"_w, step(1));
  add(Tool::Back1, "1 (F1)", "1 Datensatz zurück"_w, step(-1));
  add(Tool::Forward10, "10 (F9)", "10 Datensätze vorwärts"_w, step(10));
  add(Tool::Back10, "10 (F2)", "10 Datensätze zurück"_w, step(-10));
  add(Tool::Back50, "50 (F3)", "50 Datensätze zurück"_w, step(-50));
  add(Tool::Forward50, "50 (F8)", "50 Datensätze vorwärts"_w, step(50));
  add(Tool::Position, "? (F4)", "Auf beliebigen DS positionieren",
      [this] { act([this] { m_model.positionFreely(); }); });
  add(Tool::First, "&Anfang", "Erster Datensatz", [this] { act([this] { m_model.goToFirst(); }); });
  add(Tool::Last, "&Ende", "Letzter Datensatz", [this] { act([this] { m_model.goToLast(); }); });
  add(Tool::Delete, "DS &löschen"_w, "Datensatz komplett löschen"_w,
      [this] { act([this] { m_model.deleteRecord(); }); });
  add(Tool::Help, "&H", "Hilfe", [this] {
    if (m_help) m_help(InputModel::kHelpContext);
  });
  add(Tool::FormFeed, "&B", "Blattvorschub",
      [this] { act([this] { m_model.print(EntryPrintTarget::FormFeed); }); });
  add(Tool::Print, "&D", "Drucken", [this] { act([this] { m_model.print(EntryPrintTarget::Printer); }); });
  add(Tool::Protocol, "&P", "Protokoll-Ausgabe",
      [this] { act([this] { m_model.print(EntryPrintTarget::Protocol); }); });
  add(Tool::Columns, "&Spalten", "Anzahl Spalten ändern"_w, [this] {
    act([this] {
      if (m_model.chooseColumns()) layOutGrid();
    });
  });
  tools->addStretch();

  auto* numberCaption = new QLabel(QStringLiteral("Satz-Nr.:"), this);
  m_number = new QLabel(this);
  m_number->setObjectName(QStringLiteral("SatzNr"));
  m_number->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
  auto* numberRow = new QHBoxLayout;
  numberRow->addWidget(numberCaption);
  numberRow->addWidget(m_number);
  numberRow->addStretch();

  m_grid = new QTableWidget(this);
  m_grid->setObjectName(QStringLiteral("TG"));
  m_grid->horizontalHeader()->hide();
  m_grid->verticalHeader()->hide();
  m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_grid->setSelectionMode(QAbstractItemView::NoSelection);
  m_grid->setFocusPolicy(Qt::NoFocus);  // the edit keeps the focus
  m_grid->setWordWrap(false);
  m_grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  connect(m_grid, &QTableWidget::cellPressed, this, [this](int row, int column) {
    act([this, row, column] { m_model.selectCell({row, column}); });
  });

  m_edit = new QLineEdit(m_grid->viewport());
  m_edit->setObjectName(QStringLiteral("FEdi"));
  m_edit->installEventFilter(this);
  connect(m_edit, &QLineEdit::textEdited, this,
          [this](const QString& text) { m_model.setEditText(fromQString(text)); });
  connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeEdit(); });
  connect(m_grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeEdit(); });

  // While moving over many records the number shown follows.
  // Moving over a long file reports every 20 records; the number is painted a few times a second, so
  // that a million records do not cost a million repaints.
  m_model.setRecordProgress([this, shown = QElapsedTimer()](std::int64_t number) mutable {
    if (shown.isValid() && shown.elapsed() < 100) return;
    shown.start();
    m_number->setText(QString::number(number));
    m_number->repaint();
  });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(tools);
  layout->addLayout(numberRow);
  layout->addWidget(m_grid, 1);

  // The column count that fits the screen at the grid's font.
  QRect screenArea(0, 0, 1024, 768);
  if (const QScreen* s = screen()) screenArea = s->availableGeometry();
  m_gridWidth = std::max(screenArea.width() - kScreenMargin, 200);
  m_model.setColumns(EntryColumnsForWidth(m_model, m_grid->fontMetrics(), m_gridWidth));
  layOutGrid();

  const ColumnWidths widths = widthsFor(m_model, m_grid->fontMetrics(), m_model.columns(), m_gridWidth);
  const int wanted = widths.total + 2 * m_grid->frameWidth() +
                     m_grid->verticalScrollBar()->sizeHint().width() + layout->contentsMargins().left() +
                     layout->contentsMargins().right() + 4;
  const int rowsHeight =
      kHeadingRowHeight + m_model.fieldRows() * m_grid->verticalHeader()->defaultSectionSize();
  QSize size(std::max(wanted, sizeHint().width()),
             sizeHint().height() - m_grid->sizeHint().height() + rowsHeight + 2 * m_grid->frameWidth() + 8);
  size = size.expandedTo(QSize(640, 240)).boundedTo(screenArea.size() * 9 / 10);
  resize(size);
}

void TInpDlg::addTool(Tool tool, const QString& caption, const QString& hint, std::function<void()> action) {
  auto* button = new QToolButton(this);
  button->setText(caption);
  button->setToolTip(hint);
  button->setObjectName(QStringLiteral("Tool%1").arg(static_cast<int>(tool)));
  button->setFocusPolicy(Qt::NoFocus);  // the edit keeps the focus
  connect(button, &QToolButton::clicked, this, [action = std::move(action)] { action(); });
  m_tools[tool] = button;
}

void TInpDlg::setPrintRequest(PrintRequest request) {
  m_printRequest = std::move(request);
  m_model.setPrintHandler([this](EntryPrintTarget target, const EntryPrintout& printout) {
    if (!m_printRequest) {
      m_ui.beep();
      return;
    }
    switch (target) {
      case EntryPrintTarget::Printer:
        m_printRequest(PrintAction::Print, PrintHeader(printout.heading), printout.lines);
        return;
      case EntryPrintTarget::Protocol:
        m_printRequest(PrintAction::SaveCopy, PrintHeader(printout.heading), printout.lines);
        return;
      case EntryPrintTarget::FormFeed:
        m_printRequest(PrintAction::FormFeed, PrintHeader({}), {});
        return;
    }
  });
}

int TInpDlg::visibleRows() const {
  const int rowHeight = std::max(m_grid->verticalHeader()->defaultSectionSize(), 1);
  return std::max((m_grid->viewport()->height() - kHeadingRowHeight) / rowHeight, 1);
}

void TInpDlg::layOutGrid() {
  const int columns = m_model.columns();
  const int rows = m_model.fieldRows();
  m_grid->clearContents();
  m_grid->setColumnCount(2 * columns);
  m_grid->setRowCount(rows + 1);
  const QFontMetrics metrics = m_grid->fontMetrics();
  m_grid->verticalHeader()->setMinimumSectionSize(kHeadingRowHeight);
  m_grid->verticalHeader()->setDefaultSectionSize(metrics.height() + 8);
  m_grid->setRowHeight(0, kHeadingRowHeight);
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c < 2 * columns; ++c) {
      auto* item = new QTableWidgetItem;
      item->setFlags(Qt::NoItemFlags);
      m_grid->setItem(r, c, item);
    }
  }
  const QBrush labelBrush = palette().brush(QPalette::Button);
  for (int c = 0; c < 2 * columns; ++c) m_grid->item(0, c)->setBackground(labelBrush);
  for (int i = 0; i < m_model.fieldCount(); ++i) {
    const EntryCell labelCell = m_model.labelCell(i);
    QTableWidgetItem* label = m_grid->item(labelCell.row, labelCell.column);
    label->setText(toQString(m_model.label(i)));
    label->setFlags(Qt::ItemIsEnabled);
    label->setBackground(labelBrush);
    const EntryCell valueCell = m_model.valueCell(i);
    QTableWidgetItem* value = m_grid->item(valueCell.row, valueCell.column);
    value->setFlags(Qt::ItemIsEnabled);
    if (!m_model.field(i).isText()) value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  const ColumnWidths widths = widthsFor(m_model, metrics, columns, m_gridWidth);
  for (int c = 0; c < 2 * columns; ++c) m_grid->setColumnWidth(c, widths.widths[static_cast<std::size_t>(c)]);
  showRecord();
}

void TInpDlg::showRecord() {
  m_number->setText(QString::number(m_model.recordNumber()));
  for (int i = 0; i < m_model.fieldCount(); ++i) {
    const EntryCell cell = m_model.valueCell(i);
    if (QTableWidgetItem* item = m_grid->item(cell.row, cell.column))
      item->setText(toQString(m_model.value(i)));
  }
  if (m_model.fieldCount() == 0) return;
  const VariableEntry& field = m_model.field(m_model.currentField());
  m_edit->setMaxLength(std::max(field.length, 1));
  m_edit->setAlignment(field.isText() ? Qt::AlignLeft : Qt::AlignRight);
  const QString text = toQString(m_model.editText());
  if (m_edit->text() != text) {
    m_edit->setText(text);
    m_edit->selectAll();
  }
  const EntryCell cell = m_model.valueCell(m_model.currentField());
  if (QTableWidgetItem* item = m_grid->item(cell.row, cell.column)) m_grid->scrollToItem(item);
  placeEdit();
  m_edit->show();
  m_edit->setFocus();
}

void TInpDlg::placeEdit() {
  if (m_model.fieldCount() == 0) return;
  const EntryCell cell = m_model.valueCell(m_model.currentField());
  if (QTableWidgetItem* item = m_grid->item(cell.row, cell.column))
    m_edit->setGeometry(m_grid->visualItemRect(item));
}

void TInpDlg::act(const std::function<void()>& operation) {
  if (m_closed) return;
  operation();
  if (m_model.failed()) {
    // The file could not be read or written (its message was shown): nothing more is written.
    m_closed = true;
    QDialog::done(QDialog::Rejected);
    return;
  }
  showRecord();
}

void TInpDlg::tryClose() {
  if (m_closed) return;
  if (m_model.close()) {
    m_closed = true;
    QDialog::accept();
    return;
  }
  showRecord();
}

void TInpDlg::reject() {
  tryClose();
}

void TInpDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  placeEdit();
}

bool TInpDlg::handleKey(QKeyEvent* key) {
  const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  if (modifiers & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) return false;
  std::function<void()> operation;
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
      operation = [this] { m_model.nextField(); };
      break;
    case Qt::Key_Backtab:
      operation = [this] { m_model.previousField(); };
      break;
    case Qt::Key_Home:
      operation = [this] { m_model.firstField(); };
      break;
    case Qt::Key_End:
      operation = [this] { m_model.lastField(); };
      break;
    case Qt::Key_Up:
      operation = [this] { m_model.fieldUp(); };
      break;
    case Qt::Key_Down:
      operation = [this] { m_model.fieldDown(); };
      break;
    case Qt::Key_PageUp:
      operation = [this] { m_model.pageUp(visibleRows()); };
      break;
    case Qt::Key_PageDown:
      operation = [this] { m_model.pageDown(visibleRows()); };
      break;
    case Qt::Key_F1:
      operation = [this] { m_model.stepRecords(-1); };
      break;
    case Qt::Key_F2:
      operation = [this] { m_model.stepRecords(-10); };
      break;
    case Qt::Key_F3:
      operation = [this] { m_model.stepRecords(-50); };
      break;
    case Qt::Key_F4:
      operation = [this] { m_model.positionFreely(); };
      break;
    case Qt::Key_F8:
      operation = [this] { m_model.stepRecords(50); };
      break;
    case Qt::Key_F9:
      operation = [this] { m_model.stepRecords(10); };
      break;
    case Qt::Key_F10:
      operation = [this] { m_model.stepRecords(1); };
      break;
    case Qt::Key_Escape:
      operation = [this] { m_model.undoChanges(); };
      break;
    default:
      return false;
  }
  act(operation);
  return true;
}

bool TInpDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_edit) {
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(event))) return true;
    // The keys of the window are not shortcuts of anyone else while the edit has the focus.
    if (event->type() == QEvent::ShortcutOverride) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Escape || (key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F10)) {
        event->accept();
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void RunDataEntry(QWidget* parent, InputModel& model, Ui& ui, TInpDlg::HelpHandler help, PrintRequest print) {
  TInpDlg dialog(model, ui, parent);
  dialog.setHelpHandler(std::move(help));
  dialog.setPrintRequest(std::move(print));
  dialog.exec();
}

}  // namespace veltrix
