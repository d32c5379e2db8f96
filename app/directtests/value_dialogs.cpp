#include "app/directtests/value_dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/shell/dialog_buttons.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"

namespace veltrix {

namespace {

// Label i of a list, empty past its end.
QString labelAt(const std::vector<std::string>& labels, int i) {
  return i < static_cast<int>(labels.size()) ? toQString(labels[static_cast<std::size_t>(i)]) : QString();
}

}  // namespace

// The editor of a grid cell: a line edit that takes as many characters as a cell holds and opens with its
// text selected. Enter and Escape answer for the dialog even while a cell is being edited, and the open
// editor is known, so that OK and the move buttons take its text first.
class GridCellDelegate : public QStyledItemDelegate {
 public:
  GridCellDelegate(int maxLength, TValueDlg* dialog, QTableWidget* table)
      : QStyledItemDelegate(table), m_maxLength(maxLength), m_dialog(dialog), m_table(table) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    auto* editor = new QLineEdit(parent);
    editor->setMaxLength(m_maxLength);
    editor->setFrame(false);
    m_editor = editor;
    m_index = index;
    return editor;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    QStyledItemDelegate::setEditorData(editor, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) line->selectAll();
  }

  void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
    if (editor == m_editor) m_editor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
  }

  QLineEdit* editor() const { return m_editor; }

  void commitAndClose() {
    QLineEdit* editor = m_editor;
    if (!editor) return;
    if (m_index.isValid()) setModelData(editor, m_table->model(), m_index);
    m_editor = nullptr;
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        m_dialog->pressOk();
        return true;
      }
      if (key == Qt::Key_Escape) {
        m_dialog->reject();
        return true;
      }
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  int m_maxLength;
  TValueDlg* m_dialog;
  QTableWidget* m_table;
  mutable QPointer<QLineEdit> m_editor;
  mutable QPersistentModelIndex m_index;
};

// ---------------------------------------------------------------- the common frame

TValueDlg::TValueDlg(ValueDialog& values, QWidget* parent) : QDialog(parent), m_values(values) {
  setWindowTitle(toQString(values.caption));
  m_prompt = new QLabel(toQString(values.prompt), this);
  m_prompt->setTextFormat(Qt::PlainText);
  m_prompt->setVisible(!values.prompt.empty());

  m_buttons = MakeDialogButtons(
      this, [this] { pressOk(); }, [this] { showHelp(); });
  m_ok = m_buttons.ok;
  m_cancel = m_buttons.cancel;
  m_helpButton = m_buttons.help;
  m_helpButton->setVisible(false);
}

void TValueDlg::setBody(QLayout* body) {
  QHBoxLayout* buttonRow = DialogButtonRow(m_buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_prompt);
  layout->addLayout(body);
  layout->addSpacing(6);
  layout->addLayout(buttonRow);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TValueDlg::setTabChain(const std::vector<QWidget*>& widgets) {
  std::vector<QWidget*> chain = widgets;
  chain.insert(chain.end(), {m_ok, m_cancel, m_helpButton});
  for (std::size_t i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
}

void TValueDlg::setHelpHandler(HelpHandler handler) {
  m_help = std::move(handler);
  m_helpButton->setVisible(static_cast<bool>(m_help));
}

void TValueDlg::showHelp() {
  if (m_help) m_help(m_values.helpNumber);
}

void TValueDlg::pressOk() {
  storeTexts();
  if (nothingEntered()) {
    reject();
    return;
  }
  const int refused = m_values.check();
  if (refused >= 0) {
    focusCell(refused);
    return;
  }
  accept();
}

void TValueDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  placeDialog(this, parentWidget(), m_placementHint);
}

// ---------------------------------------------------------------- edit fields

TValueFieldsDlg::TValueFieldsDlg(ValueDialog& values, QWidget* parent) : TValueDlg(values, parent) {
  const bool headed = values.layout() == ValueLayout::TwoByTwo || values.layout() == ValueLayout::TwoByThree;
  const int top = headed ? 1 : 0;
  const int fieldWidth = fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12 + 12;

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  if (headed) {
    for (int c = 0; c < values.columns(); ++c) {
      auto* label = new QLabel(labelAt(values.columnLabels, c), this);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
      grid->addWidget(label, 0, c + 1);
      m_columnLabels.push_back(label);
    }
  }
  for (int r = 0; r < values.rows(); ++r) {
    auto* label = new QLabel(labelAt(values.rowLabels, r), this);
    label->setTextFormat(Qt::PlainText);
    grid->addWidget(label, top + r, 0);
    m_rowLabels.push_back(label);
    for (int c = 0; c < values.columns(); ++c) {
      auto* field = new QLineEdit(this);
      field->setMaxLength(values.maxTextLength());
      field->setMinimumWidth(fieldWidth);
      grid->addWidget(field, top + r, c + 1);
      m_fields.push_back(field);
    }
  }
  setBody(grid);
  setTabChain(std::vector<QWidget*>(m_fields.begin(), m_fields.end()));
  loadTexts();
  if (!m_fields.empty()) m_fields.front()->setFocus();
}

QStringList TValueFieldsDlg::rowLabelTexts() const {
  QStringList texts;
  for (const QLabel* label : m_rowLabels) texts << label->text();
  return texts;
}

QStringList TValueFieldsDlg::columnLabelTexts() const {
  QStringList texts;
  for (const QLabel* label : m_columnLabels) texts << label->text();
  return texts;
}

void TValueFieldsDlg::storeTexts() {
  const int columns = values().columns();
  for (int i = 0; i < fieldCount(); ++i)
    values().setText(i / columns, i % columns, fromQString(field(i)->text()));
}

void TValueFieldsDlg::loadTexts() {
  const int columns = values().columns();
  for (int i = 0; i < fieldCount(); ++i)
    field(i)->setText(toQString(values().text(i / columns, i % columns)));
}

void TValueFieldsDlg::focusCell(int cell) {
  if (cell < 0 || cell >= fieldCount()) return;
  field(cell)->setFocus(Qt::OtherFocusReason);
  field(cell)->selectAll();
}

// ---------------------------------------------------------------- the grid

TDGridDlg::TDGridDlg(ValueDialog& values, QWidget* parent) : TValueDlg(values, parent) {
  m_table = new QTableWidget(values.rows(), values.columns(), this);
  QStringList columnHeaders;
  for (int c = 0; c < values.columns(); ++c) columnHeaders << labelAt(values.columnLabels, c);
  QStringList rowHeaders;
  for (int r = 0; r < values.rows(); ++r) rowHeaders << labelAt(values.rowLabels, r);
  m_table->setHorizontalHeaderLabels(columnHeaders);
  m_table->setVerticalHeaderLabels(rowHeaders);
  for (int r = 0; r < values.rows(); ++r)
    for (int c = 0; c < values.columns(); ++c) m_table->setItem(r, c, new QTableWidgetItem);

  m_delegate = new GridCellDelegate(values.maxTextLength(), this, m_table);
  m_table->setItemDelegate(m_delegate);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->setSelectionBehavior(QAbstractItemView::SelectItems);
  m_table->setCornerButtonEnabled(false);
  m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_table->horizontalHeader()->setDefaultSectionSize(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 11 +
                                                     10);
  m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  m_table->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // The whole grid in view, without scrolling.
  int width = m_table->verticalHeader()->sizeHint().width() + 2 * m_table->frameWidth();
  for (int c = 0; c < values.columns(); ++c) width += m_table->columnWidth(c);
  int height = m_table->horizontalHeader()->sizeHint().height() + 2 * m_table->frameWidth();
  for (int r = 0; r < values.rows(); ++r) height += m_table->rowHeight(r);
  m_table->setFixedSize(width, height);

  m_columnLeft = new QPushButton(QStringLiteral("Spalte nach links verschieben"), this);
  m_columnRight = new QPushButton(QStringLiteral("Spalte nach rechts verschieben"), this);
  m_rowUp = new QPushButton(QStringLiteral("Zeile nach oben verschieben"), this);
  m_rowDown = new QPushButton(QStringLiteral("Zeile nach unten verschieben"), this);
  auto* moves = new QVBoxLayout;
  for (QPushButton* button : {m_columnLeft, m_columnRight, m_rowUp, m_rowDown}) {
    button->setAutoDefault(false);
    moves->addWidget(button);
  }
  moves->addStretch();
  connect(m_columnLeft, &QPushButton::clicked, this, [this] { moveColumn(-1); });
  connect(m_columnRight, &QPushButton::clicked, this, [this] { moveColumn(1); });
  connect(m_rowUp, &QPushButton::clicked, this, [this] { moveRow(-1); });
  connect(m_rowDown, &QPushButton::clicked, this, [this] { moveRow(1); });

  auto* body = new QHBoxLayout;
  body->addWidget(m_table);
  body->addLayout(moves);
  setBody(body);
  setTabChain({m_table, m_columnLeft, m_columnRight, m_rowUp, m_rowDown});

  loadTexts();
  m_table->setCurrentCell(0, 0);
  m_table->setFocus();
}

QLineEdit* TDGridDlg::openEditor() const {
  return m_delegate->editor();
}

void TDGridDlg::finishEditing() {
  m_delegate->commitAndClose();
}

void TDGridDlg::storeTexts() {
  finishEditing();
  for (int r = 0; r < values().rows(); ++r)
    for (int c = 0; c < values().columns(); ++c)
      values().setText(r, c, fromQString(m_table->item(r, c)->text()));
}

void TDGridDlg::loadTexts() {
  for (int r = 0; r < values().rows(); ++r)
    for (int c = 0; c < values().columns(); ++c) m_table->item(r, c)->setText(toQString(values().text(r, c)));
}

bool TDGridDlg::nothingEntered() const {
  return values().filledRows() == 0;
}

void TDGridDlg::focusCell(int cell) {
  const int columns = values().columns();
  if (cell < 0 || cell >= values().rows() * columns) return;
  m_table->setCurrentCell(cell / columns, cell % columns);
  m_table->setFocus(Qt::OtherFocusReason);
  m_table->edit(m_table->currentIndex());
}

void TDGridDlg::moveColumn(int delta) {
  storeTexts();
  const int row = std::max(m_table->currentRow(), 0);
  const int column = values().moveColumn(std::max(m_table->currentColumn(), 0), delta);
  loadTexts();
  m_table->setCurrentCell(row, column);
  m_table->setFocus(Qt::OtherFocusReason);
}

void TDGridDlg::moveRow(int delta) {
  storeTexts();
  const int row = values().moveRow(std::max(m_table->currentRow(), 0), delta);
  const int column = std::max(m_table->currentColumn(), 0);
  loadTexts();
  m_table->setCurrentCell(row, column);
  m_table->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- choice of the view

std::unique_ptr<TValueDlg> makeValueDialog(ValueDialog& values, QWidget* parent) {
  switch (values.layout()) {
    case ValueLayout::OneValue:
      return std::make_unique<TDlg1Wrt>(values, parent);
    case ValueLayout::TwoValues:
      return std::make_unique<TDlg2Wrt>(values, parent);
    case ValueLayout::TwoByTwo:
      return std::make_unique<TDlg2x2>(values, parent);
    case ValueLayout::TwoByThree:
      return std::make_unique<TDlg2x3>(values, parent);
    case ValueLayout::Grid:
      break;
  }
  return std::make_unique<TDGridDlg>(values, parent);
}

}  // namespace veltrix
