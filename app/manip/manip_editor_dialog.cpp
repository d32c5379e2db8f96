#include "app/manip/manip_editor_dialog.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>

#include "app/shell/editor_lines.h"
#include "app/shell/qt_text.h"
#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/datafile/params.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

constexpr int kNameColumns = 8;
constexpr int kNameRows = 5;
constexpr int kTextLines = 14;
constexpr int kTextColumns = 48;

// Keys that edit or move rather than type: their text (if any) is a control character.
bool isControlText(const QString& text) {
  for (QChar c : text)
    if (c.unicode() >= 0x20 && c.unicode() != 0x7f) return false;
  return true;
}

}  // namespace

TDMEd::TDMEd(ManipEditorModel& model, Ui& ui, QWidget* parent) : QDialog(parent), m_model(model), m_ui(ui) {
  setWindowTitle(toQString(m_model.caption()));
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const QFontMetrics fixedMetrics(fixed);

  m_commands = new QPlainTextEdit(this);
  m_commands->setObjectName(QStringLiteral("EdiC"));
  m_commands->setFont(fixed);
  m_commands->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_commands->setTabChangesFocus(true);
  m_commands->setMinimumHeight(kTextLines * fixedMetrics.lineSpacing());
  m_commands->setMinimumWidth(fixedMetrics.horizontalAdvance(QString(kTextColumns, 'W')));
  m_commands->installEventFilter(this);
  showLines();
  // Loading the file is not an edit the user could undo.
  m_commands->document()->clearUndoRedoStacks();

  m_names = MakeNameColumns(this, QStringLiteral("VBox"), fixed, kNameRows, kNameColumns);
  m_names->installEventFilter(this);
  connect(m_names, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { insertName(m_names->row(item)); });
  fillNames();

  const auto& rows = ManipEditorModel::helpRows();
  m_helpTable = new QTableWidget(static_cast<int>(rows.size()), 2, this);
  m_helpTable->setObjectName(QStringLiteral("CSG"));
  m_helpTable->setHorizontalHeaderLabels({QStringLiteral("Syntax"), QStringLiteral("Bedeutung")});
  m_helpTable->verticalHeader()->hide();
  m_helpTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_helpTable->setSelectionMode(QAbstractItemView::NoSelection);
  m_helpTable->setFocusPolicy(Qt::NoFocus);
  m_helpTable->setWordWrap(false);
  m_helpTable->verticalHeader()->setDefaultSectionSize(m_helpTable->fontMetrics().height() + 4);
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    m_helpTable->setItem(r, 0, new QTableWidgetItem(toQString(rows[r].first)));
    m_helpTable->setItem(r, 1, new QTableWidgetItem(toQString(rows[r].second)));
  }
  m_helpTable->resizeColumnsToContents();
  m_helpTable->horizontalHeader()->setStretchLastSection(true);
  // Both columns whole: the table is read beside the text, not scrolled sideways.
  m_helpTable->setMinimumWidth(m_helpTable->columnWidth(0) + m_helpTable->columnWidth(1) +
                               m_helpTable->verticalScrollBar()->sizeHint().width() +
                               2 * m_helpTable->frameWidth() + 4);

  const auto toolButton = [this](const QString& text, const char* name, auto action) {
    auto* button = new QToolButton(this);
    button->setText(text);
    button->setToolTip(text);
    button->setObjectName(QString::fromLatin1(name));
    button->setFocusPolicy(Qt::NoFocus);  // the command text keeps the focus
    connect(button, &QToolButton::clicked, this, [this, action] {
      if (!busy()) action();
    });
    return button;
  };
  m_sorted = toolButton(QStringLiteral("Variablen sortiert"), "SortBtn", [this] {
    m_model.setNamesSorted(true);
    fillNames();
  });
  m_unsorted = toolButton(QStringLiteral("Variablen unsortiert"), "UnsortBtn", [this] {
    m_model.setNamesSorted(false);
    fillNames();
  });
  m_cut = toolButton(QStringLiteral("Ausschneiden"), "CutBtn", [this] { m_commands->cut(); });
  m_copy = toolButton(QStringLiteral("Kopieren"), "CopyBtn", [this] { m_commands->copy(); });
  m_paste = toolButton(toQString("Einfügen"_w), "PasteBtn", [this] { m_commands->paste(); });
  m_delete =
      toolButton(toQString("Löschen"_w), "DelBtn", [this] { m_commands->textCursor().removeSelectedText(); });

  const std::array<std::pair<PrintAction, const char*>, 3> printing{
      {{PrintAction::Print, "Drucken"},
       {PrintAction::FormFeed, "Blattvorschub"},
       {PrintAction::SaveCopy, "Kopie auf Platte"}}};
  for (const auto& [action, caption] : printing) {
    QToolButton* b = toolButton(QString::fromUtf8(caption), "PrintBtn", [this, action = action] {
      if (!m_printRequest) return;
      pushLines();
      m_printRequest(action, PrintHeader(m_model.caption()), m_model.lines());
    });
    b->setVisible(false);
    m_print[static_cast<std::size_t>(action)] = b;
  }
  m_load = toolButton(QStringLiteral("Befehlsdatei laden"), "LoadBtn", [this] { loadCommandFile(); });

  m_buttons = MakeDialogButtons(
      this,
      [this] {
        if (!busy()) pressOk();
      },
      [this] {
        if (!busy() && m_help) m_help(ManipEditorModel::kHelpContext);
      });

  auto* tools = new QHBoxLayout;
  for (QToolButton* b : {m_sorted, m_unsorted}) tools->addWidget(b);
  tools->addSpacing(16);
  for (QToolButton* b : {m_cut, m_copy, m_paste, m_delete}) tools->addWidget(b);
  tools->addSpacing(16);
  for (QToolButton* b : m_print) tools->addWidget(b);
  tools->addStretch();
  tools->addWidget(m_load);

  auto* commandsLabel = new QLabel(QStringLiteral("Befehle :"), this);
  commandsLabel->setBuddy(m_commands);
  auto* namesLabel = new QLabel(QStringLiteral("Variablen :"), this);
  namesLabel->setBuddy(m_names);

  auto* body = new QGridLayout;
  body->addWidget(commandsLabel, 0, 0);
  body->addWidget(m_commands, 1, 0);
  body->addWidget(m_helpTable, 0, 1, 2, 1);
  body->addWidget(namesLabel, 2, 0);
  body->addWidget(m_names, 3, 0, 1, 2);
  body->setColumnStretch(0, 1);
  body->setRowStretch(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(tools);
  layout->addLayout(body, 1);
  layout->addLayout(DialogButtonRow(m_buttons));

  // Room for a formula line beside the help table and for more of its rows, as far as the screen
  // allows.
  QSize size = sizeHint().expandedTo(QSize(1240, 720));
  if (const QScreen* screen = this->screen()) size = size.boundedTo(screen->availableGeometry().size());
  resize(size);
  m_commands->setFocus();
}

void TDMEd::setPrintRequest(PrintRequest request) {
  m_printRequest = std::move(request);
  for (QToolButton* b : m_print) b->setVisible(static_cast<bool>(m_printRequest));
}

void TDMEd::fillNames() {
  FillNameList(m_names, m_model.variableNames());
}

void TDMEd::showLines() {
  ReplaceEditorText(m_commands, m_model.lines());
}

void TDMEd::pushLines() {
  const QString text = m_commands->toPlainText();
  if (text != JoinedLines(m_model.lines())) m_model.setLines(SplitLines(text));
}

void TDMEd::insertName(int i) {
  if (busy()) return;
  pushLines();
  const QTextCursor at = m_commands->textCursor();
  const ManipCaret caret = m_model.insertName(i, {at.blockNumber(), at.positionInBlock()});
  showLines();
  const QTextBlock block = m_commands->document()->findBlockByNumber(caret.line);
  QTextCursor behind(m_commands->document());
  if (block.isValid()) behind.setPosition(block.position() + std::min(caret.column, block.length() - 1));
  m_commands->setTextCursor(behind);
  m_commands->setFocus();
}

bool TDMEd::acceptsTyped(const QString& text) {
  for (QChar c : text) {
    const std::string byte = fromQString(QString(c));
    // fromQString gives '?' for a character without a Windows-1252 byte.
    const bool mapped = byte.size() == 1 && (byte[0] != '?' || c == QLatin1Char('?'));
    if (!mapped || !ManipEditorModel::acceptsCharacter(byte[0])) {
      m_ui.beep();
      return false;
    }
  }
  return true;
}

void TDMEd::loadCommandFile() {
  FileRequest request;
  request.title = "Befehlsdatei auswählen"_w;
  request.initialDirectory = std::filesystem::path(m_model.commandFile()).parent_path().string();
  request.modes = "REC";
  request.filter = "Befehlsdateien (*.bf*)|*.bf*";
  const std::optional<std::string> chosen = m_ui.selectFile(request);
  if (!chosen || !m_model.loadCommandFile(*chosen)) return;
  showLines();
  m_commands->moveCursor(QTextCursor::Start);
  m_commands->setFocus();
}

void TDMEd::selectLine(int line) {
  const QTextBlock block = m_commands->document()->findBlockByNumber(line);
  if (block.isValid()) {
    QTextCursor whole(block);
    whole.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    m_commands->setTextCursor(whole);
  }
  m_commands->setFocus();
}

void TDMEd::pressOk() {
  pushLines();
  const ManipEditorResult result = m_model.accept();
  switch (result.action) {
    case ManipEditorResult::Action::Run:
      accept();
      return;
    case ManipEditorResult::Action::Refused:
      selectLine(result.lineToSelect);
      return;
    case ManipEditorResult::Action::KeepOpen:
    case ManipEditorResult::Action::SaveFailed:
      m_commands->setFocus();
      return;
  }
}

void TDMEd::reject() {
  if (!busy()) QDialog::reject();
}

bool TDMEd::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_commands) {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (busy()) return true;
      if (!isControlText(key->text()) && !acceptsTyped(key->text())) return true;
    } else if (event->type() == QEvent::InputMethod) {
      auto* input = static_cast<QInputMethodEvent*>(event);
      if (busy() || !acceptsTyped(input->commitString())) return true;
    }
  } else if (watched == m_names && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // Enter in the names inserts; it is not "OK".
      insertName(m_names->currentRow());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool RunManipEditor(QWidget* parent, ManipEditorModel& model, Ui& ui, TDMEd::HelpHandler help,
                    PrintRequest print) {
  TDMEd dialog(model, ui, parent);
  dialog.setHelpHandler(std::move(help));
  dialog.setPrintRequest(std::move(print));
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace veltrix
