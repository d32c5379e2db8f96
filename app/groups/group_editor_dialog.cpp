#include "app/groups/group_editor_dialog.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/shell/editor_lines.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "core/base/win1252.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

constexpr int kNameColumns = 6;
constexpr int kNameRows = 8;

// A character as the definition field keeps it: what typing it gives (a character without a
// Windows-1252 byte becomes '?', as it would be stored).
QChar typedChar(QChar c) {
  const std::string byte = fromQString(QString(c));
  const QString shown =
      toQString(std::string(1, GroupEditorModel::typedCharacter(byte.empty() ? '?' : byte[0])));
  return shown.isEmpty() ? c : shown[0];
}

}  // namespace

TEditGrpDlg::TEditGrpDlg(const TParams& params, Ui& ui, int number, const GroupRecord& record,
                         QWidget* parent)
    : QDialog(parent), m_model(params, ui, number, record) {
  setWindowTitle(toQString(m_model.caption()));

  m_longTitle = new QLineEdit(toQString(m_model.longTitle()), this);
  m_longTitle->setObjectName(QStringLiteral("EdiLTit"));
  m_longTitle->setMaxLength(GroupEditorModel::kLongTitleLength);
  m_shortTitle = new QLineEdit(toQString(m_model.shortTitle()), this);
  m_shortTitle->setObjectName(QStringLiteral("EdiSTit"));
  m_shortTitle->setMaxLength(GroupEditorModel::kShortTitleLength);
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const QFontMetrics fixedMetrics(fixed);
  m_longTitle->setMinimumWidth(
      fixedMetrics.horizontalAdvance(QString(GroupEditorModel::kLongTitleLength + 2, 'W')));
  m_shortTitle->setMinimumWidth(
      fixedMetrics.horizontalAdvance(QString(GroupEditorModel::kShortTitleLength + 2, 'W')));

  m_definition = new QPlainTextEdit(this);
  m_definition->setObjectName(QStringLiteral("EdiDef"));
  m_definition->setFont(fixed);
  m_definition->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_definition->setTabChangesFocus(true);
  m_definition->setMinimumHeight(12 * fixedMetrics.lineSpacing());
  showDefinition();
  connect(m_definition->document(), &QTextDocument::contentsChange, this,
          [this](int position, int, int added) { upcaseRange(position, added); });

  m_names = MakeNameColumns(this, QStringLiteral("NamBox"), fixed, kNameRows, kNameColumns);
  m_names->installEventFilter(this);
  connect(m_names, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { insertName(m_names->row(item)); });
  fillNames();

  const auto toolButton = [this](const QString& text, const char* name, auto action) {
    auto* button = new QToolButton(this);
    button->setText(text);
    button->setToolTip(text);
    button->setObjectName(QString::fromLatin1(name));
    button->setFocusPolicy(Qt::NoFocus);  // the field that has the focus keeps it
    connect(button, &QToolButton::clicked, this, action);
    return button;
  };
  m_cut = toolButton(QStringLiteral("Ausschneiden"), "CutBtn", [this] {
    if (auto* line = qobject_cast<QLineEdit*>(focusedField())) line->cut();
    if (auto* text = qobject_cast<QPlainTextEdit*>(focusedField())) text->cut();
  });
  m_copy = toolButton(QStringLiteral("Kopieren"), "CopyBtn", [this] {
    if (auto* line = qobject_cast<QLineEdit*>(focusedField())) line->copy();
    if (auto* text = qobject_cast<QPlainTextEdit*>(focusedField())) text->copy();
  });
  m_delete = toolButton(toQString("Löschen"_w), "DelBtn", [this] {
    if (auto* line = qobject_cast<QLineEdit*>(focusedField()); line && line->hasSelectedText()) line->del();
    if (auto* text = qobject_cast<QPlainTextEdit*>(focusedField())) text->textCursor().removeSelectedText();
  });
  m_paste = toolButton(toQString("Einfügen"_w), "PasteBtn", [this] {
    if (auto* line = qobject_cast<QLineEdit*>(focusedField())) line->paste();
    if (auto* text = qobject_cast<QPlainTextEdit*>(focusedField())) text->paste();
  });
  m_sorted = toolButton(QStringLiteral("Variablen sortiert"), "SortBtn", [this] {
    m_model.setNamesSorted(true);
    fillNames();
  });
  m_unsorted = toolButton(QStringLiteral("Variablen unsortiert"), "UnsortBtn", [this] {
    m_model.setNamesSorted(false);
    fillNames();
  });

  const std::array<std::pair<PrintAction, const char*>, 3> printing{
      {{PrintAction::Print, "Drucken"},
       {PrintAction::FormFeed, "Blattvorschub"},
       {PrintAction::SaveCopy, "Kopie auf Platte"}}};
  for (const auto& [action, caption] : printing) {
    QToolButton* b = toolButton(QString::fromUtf8(caption), "PrintBtn", [this, action = action] {
      if (!m_printRequest) return;
      m_model.setLongTitle(fromQString(m_longTitle->text()));
      pushDefinition();
      m_printRequest(action,
                     PrintHeader(m_model.printHeading(), TrimBlanks(fromQString(m_shortTitle->text()), 0)),
                     m_model.definitionLines());
    });
    b->setVisible(false);
    m_print[static_cast<std::size_t>(action)] = b;
  }

  m_buttons = MakeDialogButtons(
      this, [this] { pressOk(); },
      [this] {
        if (m_help) m_help(GroupEditorModel::kHelpContext);
      });

  auto* tools = new QHBoxLayout;
  for (QToolButton* b : {m_cut, m_copy, m_delete, m_paste}) tools->addWidget(b);
  tools->addSpacing(16);
  tools->addWidget(m_sorted);
  tools->addWidget(m_unsorted);
  tools->addStretch();
  for (QToolButton* b : m_print) tools->addWidget(b);

  auto* titles = new QGridLayout;
  auto* longLabel = new QLabel(QStringLiteral("Bezeichnung :"), this);
  longLabel->setBuddy(m_longTitle);
  auto* shortLabel = new QLabel(QStringLiteral("Kurz-Bez. :"), this);
  shortLabel->setBuddy(m_shortTitle);
  titles->addWidget(longLabel, 0, 0);
  titles->addWidget(m_longTitle, 0, 1);
  titles->addWidget(shortLabel, 0, 2);
  titles->addWidget(m_shortTitle, 0, 3);
  titles->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(tools);
  layout->addLayout(titles);
  layout->addWidget(m_definition, 1);
  layout->addWidget(m_names);
  layout->addLayout(DialogButtonRow(m_buttons));

  m_definition->setFocus();
}

void TEditGrpDlg::fillNames() {
  FillNameList(m_names, m_model.variableNames());
}

void TEditGrpDlg::showDefinition() {
  ReplaceEditorText(m_definition, m_model.definitionLines());
}

void TEditGrpDlg::pushDefinition() {
  const QString text = m_definition->toPlainText();
  if (text != JoinedLines(m_model.definitionLines())) m_model.setDefinitionLines(SplitLines(text));
}

void TEditGrpDlg::upcaseRange(int position, int added) {
  if (m_upcasing || added <= 0) return;
  QTextDocument* document = m_definition->document();
  QString typed;
  bool changed = false;
  for (int i = position; i < position + added; ++i) {
    const QChar c = document->characterAt(i);
    const QChar shown = (c == QChar::ParagraphSeparator || c == QChar::Null) ? c : typedChar(c);
    changed = changed || shown != c;
    typed += shown;
  }
  if (!changed) return;
  m_upcasing = true;
  const int caret = m_definition->textCursor().position();
  QTextCursor cursor(document);
  cursor.joinPreviousEditBlock();
  for (int i = 0; i < typed.size(); ++i) {
    if (typed[i] == document->characterAt(position + i)) continue;
    cursor.setPosition(position + i);
    cursor.setPosition(position + i + 1, QTextCursor::KeepAnchor);
    cursor.insertText(QString(typed[i]));
  }
  cursor.endEditBlock();
  QTextCursor restored = m_definition->textCursor();
  restored.setPosition(caret);
  m_definition->setTextCursor(restored);
  m_upcasing = false;
}

void TEditGrpDlg::insertName(int i) {
  pushDefinition();
  const QTextCursor at = m_definition->textCursor();
  const EditorCaret caret = m_model.insertName(i, {at.blockNumber(), at.positionInBlock()});
  showDefinition();
  const QTextBlock block = m_definition->document()->findBlockByNumber(caret.line);
  QTextCursor behind(m_definition->document());
  if (block.isValid()) behind.setPosition(block.position() + caret.column);
  m_definition->setTextCursor(behind);
  m_definition->setFocus();
}

QWidget* TEditGrpDlg::focusedField() const {
  QWidget* focused = focusWidget();
  if (focused == m_longTitle || focused == m_shortTitle || focused == m_definition) return focused;
  return nullptr;
}

void TEditGrpDlg::setPrintRequest(PrintRequest request) {
  m_printRequest = std::move(request);
  for (QToolButton* b : m_print) b->setVisible(static_cast<bool>(m_printRequest));
}

void TEditGrpDlg::pressOk() {
  m_model.setLongTitle(fromQString(m_longTitle->text()));
  m_model.setShortTitle(fromQString(m_shortTitle->text()));
  pushDefinition();
  const GroupEditorResult result = m_model.accept();
  switch (result.action) {
    case GroupEditorResult::Action::Unchanged:
      reject();
      return;
    case GroupEditorResult::Action::Changed:
      if (result.record) m_result = *result.record;
      accept();
      return;
    case GroupEditorResult::Action::Refused: {
      const QTextBlock block = m_definition->document()->findBlockByNumber(result.lineToSelect);
      if (block.isValid()) {
        QTextCursor line(block);
        line.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        m_definition->setTextCursor(line);
      }
      m_definition->setFocus();
      return;
    }
  }
}

bool TEditGrpDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_names && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // Enter in the names inserts; it is not "OK".
      insertName(m_names->currentRow());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TEditGrpDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  placeDialog(this, parentWidget(), m_placementHint);
}

std::optional<GroupRecord> EditGroup(const TParams& params, Ui& ui, int n, const GroupRecord& record,
                                     QWidget* parent, TEditGrpDlg::HelpHandler help, PrintRequest print) {
  TEditGrpDlg dialog(params, ui, n, record, parent);
  dialog.setHelpHandler(std::move(help));
  dialog.setPrintRequest(std::move(print));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.result();
}

}  // namespace veltrix
