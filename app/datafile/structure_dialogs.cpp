#include "app/datafile/structure_dialogs.h"

#include <algorithm>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/shell/qt_text.h"
#include "core/base/win1252.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

const std::string& modelText(const StructureList& model, StructureField field) {
  switch (field) {
    case StructureField::Name:
      return model.nameText();
    case StructureField::Position:
      return model.positionText();
    case StructureField::Length:
      break;
  }
  return model.lengthText();
}

// The heading above the list, in the columns of its lines.
QString listHeading(bool positions) {
  std::string heading = AlignText("Name", 15, -1);
  if (positions) heading += AlignText("FA", 6, 1);
  heading += AlignText("FL", 6, 1);
  return toQString(heading);
}

QPushButton* sideButton(const QString& text, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

// ---------------------------------------------------------------- the shared list dialog

StructureListDialog::StructureListDialog(StructureList& model, int helpNumber, QWidget* parent)
    : QDialog(parent), m_listModel(model) {
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  m_list = new QListWidget(this);
  m_list->setObjectName(QStringLiteral("VarList"));
  m_list->setFont(fixed);
  m_list->setMinimumHeight(300);
  m_list->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(36, QLatin1Char('M'))));
  connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row < 0 || row == m_listModel.current()) return;
    m_listModel.selectItem(row);
    refresh();
  });
  connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    m_listModel.selectItem(m_list->row(item));
    refresh();
  });
  m_counter = new QLabel(this);
  m_counter->setObjectName(QStringLiteral("Counter"));
  m_counter->setFont(fixed);
  m_remove = sideButton(QStringLiteral("Entfernen"), this);

  m_buttons = MakeDialogButtons(
      this, [this] { accept(); },
      [this, helpNumber] {
        if (m_help) m_help(helpNumber);
      });
  // Enter belongs to the edits (it stores the item), so no button takes it.
  m_buttons.ok->setDefault(false);
  m_buttons.ok->setAutoDefault(false);
  m_buttons.cancel->setAutoDefault(false);
}

QLineEdit* StructureListDialog::edit(StructureField field) const {
  for (const auto& [f, e] : m_edits)
    if (f == field) return e;
  return nullptr;
}

QLineEdit* StructureListDialog::makeEdit(StructureField field, const char* name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(name));
  // A text longer than the edit takes is refused by the model (with a beep), not cut.
  connect(edit, &QLineEdit::textEdited, this, [this, edit, field](const QString& text) {
    const int cursor = edit->cursorPosition();
    const bool taken = m_listModel.setEditText(field, fromQString(text));
    const QString shown = toQString(modelText(m_listModel, field));
    if (edit->text() != shown) edit->setText(shown);
    edit->setCursorPosition(taken ? cursor : std::max(0, cursor - 1));
  });
  connect(edit, &QLineEdit::returnPressed, this, [this, field] { pressEnter(field); });
  m_edits.emplace_back(field, edit);
  return edit;
}

void StructureListDialog::layOut(const QString& headingText, std::initializer_list<QPushButton*> sideButtons,
                                 std::initializer_list<std::pair<QString, QLineEdit*>> captionedEdits) {
  auto* heading = new QLabel(headingText, this);
  heading->setFont(m_list->font());
  heading->setIndent(m_list->frameWidth() + 4);  // over the text of the lines
  auto* side = new QVBoxLayout;
  for (QPushButton* button : sideButtons) side->addWidget(button);
  side->addStretch();
  auto* listColumn = new QVBoxLayout;
  listColumn->addWidget(heading);
  listColumn->addWidget(m_list, 1);
  auto* body = new QHBoxLayout;
  body->addLayout(listColumn, 1);
  body->addLayout(side);

  auto* edits = new QGridLayout;
  edits->addWidget(new QLabel(QStringLiteral("Nr."), this), 0, 0);
  edits->addWidget(m_counter, 1, 0);
  int column = 1;
  for (const auto& [caption, edit] : captionedEdits) {
    edits->addWidget(new QLabel(caption, this), 0, column);
    edits->addWidget(edit, 1, column);
    ++column;
  }
  edits->setColumnStretch(column, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addLayout(edits);
  layout->addLayout(DialogButtonRow(m_buttons));
  refresh();
}

void StructureListDialog::refresh() {
  {
    const QSignalBlocker block(m_list);
    const int count = static_cast<int>(m_listModel.items().size());
    while (m_list->count() > count) delete m_list->takeItem(m_list->count() - 1);
    while (m_list->count() < count) m_list->addItem(QString());
    for (int i = 0; i < count; ++i) {
      const QString line = toQString(m_listModel.displayLine(i));
      if (m_list->item(i)->text() != line) m_list->item(i)->setText(line);
    }
    m_list->setCurrentRow(m_listModel.current());
  }
  m_counter->setText(toQString(m_listModel.counterText()));
  const bool enabled = m_listModel.editsEnabled();
  for (const auto& [field, edit] : m_edits) {
    const QString text = toQString(modelText(m_listModel, field));
    if (edit->text() != text) edit->setText(text);
    edit->setEnabled(enabled);
  }
  if (QLineEdit* focus = edit(m_listModel.focus()); focus && enabled) {
    focus->setFocus();
    focus->selectAll();
  }
}

void StructureListDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  refresh();
}

// ---------------------------------------------------------------- append / recompute

TNeuVarDlg::TNeuVarDlg(TNeuVar& model, QWidget* parent)
    : StructureListDialog(model, model.helpNumber(), parent), m_model(model) {
  setWindowTitle(toQString(TNeuVar::caption()));
  QLineEdit* name = makeEdit(StructureField::Name, "NameEdit");
  QLineEdit* length = makeEdit(StructureField::Length, "LengthEdit");
  const QFontMetrics metrics(name->font());
  name->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("WWWWWWWWWW")) + 12);
  length->setMaximumWidth(metrics.horizontalAdvance(QStringLiteral("9999")) + 12);

  m_up = sideButton(QStringLiteral("Nach oben"), this);
  m_down = sideButton(QStringLiteral("Nach unten"), this);
  connect(m_remove, &QPushButton::clicked, this, [this] { m_model.removeItem(), refresh(); });
  connect(m_up, &QPushButton::clicked, this, [this] { m_model.moveUp(), refresh(); });
  connect(m_down, &QPushButton::clicked, this, [this] { m_model.moveDown(), refresh(); });

  layOut(listHeading(model.showsPositions()), {m_remove, m_up, m_down},
         {{QStringLiteral("Variablenname"), name}, {toQString("Feldlänge"_w), length}});
}

void TNeuVarDlg::pressEnter(StructureField field) {
  m_model.enter(field);
  refresh();
}

// ---------------------------------------------------------------- free definition

TFreiVDlg::TFreiVDlg(TFreiV& model, QWidget* parent)
    : StructureListDialog(model, model.helpNumber(), parent), m_model(model) {
  setWindowTitle(toQString(TFreiV::caption()));
  QLineEdit* name = makeEdit(StructureField::Name, "NameEdit");
  QLineEdit* position = makeEdit(StructureField::Position, "PositionEdit");
  QLineEdit* length = makeEdit(StructureField::Length, "LengthEdit");
  const QFontMetrics metrics(name->font());
  name->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("WWWWWWWWWW")) + 12);
  position->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("1234")) + 12);
  length->setMaximumWidth(metrics.horizontalAdvance(QStringLiteral("9999")) + 12);
  connect(m_remove, &QPushButton::clicked, this, [this] { m_model.removeItem(), refresh(); });

  layOut(listHeading(true), {m_remove},
         {{QStringLiteral("Variablenname"), name},
          {QStringLiteral("Feldanfang"), position},
          {toQString("Feldlänge"_w), length}});
}

void TFreiVDlg::pressEnter(StructureField field) {
  m_model.enter(field);
  refresh();
}

// ---------------------------------------------------------------- the warning

TSWarnDlg::TSWarnDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(toQString(TSWarn::caption()));
  auto* layout = new QVBoxLayout(this);
  int n = 0;
  for (const std::string& text : TSWarn::texts()) {
    auto* label = new QLabel(toQString(text), this);
    label->setObjectName(QStringLiteral("WarnText%1").arg(++n));
    label->setWordWrap(true);
    label->setMinimumWidth(420);
    layout->addWidget(label);
  }
  m_buttons = MakeDialogButtons(
      this, [this] { accept(); },
      [this] {
        if (m_help) m_help(kWarningHelp);
      });
  layout->addLayout(DialogButtonRow(m_buttons));
}

// ---------------------------------------------------------------- as the command runs them

bool RunAppendDialog(QWidget* parent, TNeuVar& model, StructureHelpHandler help) {
  TNeuVarDlg dialog(model, parent);
  dialog.setHelpHandler(std::move(help));
  return dialog.exec() == QDialog::Accepted;
}

bool RunFreeDialog(QWidget* parent, TFreiV& model, StructureHelpHandler help) {
  TFreiVDlg dialog(model, parent);
  dialog.setHelpHandler(std::move(help));
  return dialog.exec() == QDialog::Accepted;
}

bool RunStructureWarning(QWidget* parent, StructureHelpHandler help) {
  TSWarnDlg dialog(parent);
  dialog.setHelpHandler(std::move(help));
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace veltrix
