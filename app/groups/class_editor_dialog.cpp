#include "app/groups/class_editor_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "core/base/win1252.h"

namespace veltrix {

using namespace veltrix::literals;

TEditKlsDlg::TEditKlsDlg(Ui& ui, int number, const ClassDivisionRecord& record, QWidget* parent)
    : QDialog(parent), m_model(ui, number, record) {
  setWindowTitle(toQString(m_model.caption()));

  m_list = new QListWidget(this);
  m_list->setObjectName(QStringLiteral("KGList"));
  m_list->setMinimumHeight(260);
  for (int i = 0; i < TEditKls::kRowCount; ++i) m_list->addItem(QString());
  connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row < 0 || row == m_model.currentRow()) return;
    m_model.selectRow(row);
    refresh();
  });

  m_edit = new QLineEdit(this);
  m_edit->setObjectName(QStringLiteral("KGEdit"));
  connect(m_edit, &QLineEdit::textEdited, this, [this](const QString& text) {
    const int cursor = m_edit->cursorPosition();
    m_model.setEditText(fromQString(text));
    refresh();
    m_edit->setCursorPosition(cursor);
  });
  connect(m_edit, &QLineEdit::returnPressed, this, [this] {
    m_model.enter();
    refresh();
  });

  auto* typeBox = new QGroupBox(QStringLiteral("Typ"), this);
  auto* typeLayout = new QVBoxLayout(typeBox);
  auto* typeGroup = new QButtonGroup(this);
  const auto radio = [&](ClassDivisionType type, std::string_view caption, const char* name) {
    auto* button = new QRadioButton(toQString(caption), typeBox);
    button->setObjectName(QString::fromLatin1(name));
    typeGroup->addButton(button, static_cast<int>(type));
    m_types[static_cast<std::size_t>(type)] = button;
    return button;
  };
  auto* numericRow = new QHBoxLayout;
  numericRow->addWidget(radio(ClassDivisionType::Numeric, "numerisch (obere ", "ABtnn"));
  numericRow->addWidget(new QLabel(QStringLiteral("Klassengrenzen)"), typeBox));
  numericRow->addStretch();
  typeLayout->addLayout(numericRow);
  typeLayout->addWidget(new QLabel(QStringLiteral("alphanumerisch :"), typeBox));
  typeLayout->addWidget(radio(ClassDivisionType::Equal, "identisch", "ABtni"));
  typeLayout->addWidget(radio(ClassDivisionType::Contains, "enthält"_w, "ABtne"));
  typeLayout->addWidget(radio(ClassDivisionType::BeginsWith, "beginnt mit", "ABtnb"));
  connect(typeGroup, &QButtonGroup::idClicked, this, [this](int id) {
    m_model.setType(static_cast<ClassDivisionType>(id));
    refresh();
  });

  m_continue = new QPushButton(QStringLiteral("Fortsetzen"), this);
  m_insert = new QPushButton(toQString("Einfügen"_w), this);
  m_remove = new QPushButton(QStringLiteral("Entfernen"), this);
  for (QPushButton* b : {m_continue, m_insert, m_remove}) b->setAutoDefault(false);
  connect(m_continue, &QPushButton::clicked, this, [this] { m_model.continueRow(), refresh(); });
  connect(m_insert, &QPushButton::clicked, this, [this] { m_model.insertRow(), refresh(); });
  connect(m_remove, &QPushButton::clicked, this, [this] { m_model.removeRow(), refresh(); });

  m_buttons = MakeDialogButtons(
      this, [this] { pressOk(); },
      [this] {
        if (m_help) m_help(TEditKls::kHelpNumber);
      });
  // Enter belongs to the edit field (it fills the row), so no button takes it.
  m_buttons.ok->setDefault(false);
  m_buttons.ok->setAutoDefault(false);
  m_buttons.cancel->setAutoDefault(false);

  auto* right = new QVBoxLayout;
  right->addWidget(typeBox);
  right->addWidget(m_continue);
  right->addWidget(m_insert);
  right->addWidget(m_remove);
  right->addStretch();
  auto* left = new QVBoxLayout;
  left->addWidget(m_list, 1);
  left->addWidget(m_edit);
  auto* body = new QHBoxLayout;
  body->addLayout(left, 1);
  body->addLayout(right);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addLayout(DialogButtonRow(m_buttons));

  refresh();
  m_edit->setFocus();
}

void TEditKlsDlg::refresh() {
  const QSignalBlocker blockList(m_list);
  for (int i = 0; i < TEditKls::kRowCount; ++i)
    m_list->item(i)->setText(toQString(m_model.rows()[static_cast<std::size_t>(i)]));
  m_list->setCurrentRow(m_model.currentRow());
  m_edit->setMaxLength(m_model.maxInputLength());
  const QString text = toQString(m_model.editText());
  if (m_edit->text() != text) m_edit->setText(text);
  m_types[static_cast<std::size_t>(m_model.type())]->setChecked(true);
  m_continue->setEnabled(m_model.continueEnabled());
}

void TEditKlsDlg::pressOk() {
  const ClassEditResult result = m_model.ok();
  switch (result.outcome) {
    case ClassEditOutcome::Unchanged:
      reject();
      return;
    case ClassEditOutcome::Accepted:
      m_result = result.record;
      accept();
      return;
    case ClassEditOutcome::Refused:
      refresh();
      m_edit->setFocus();
      m_edit->selectAll();
      return;
  }
}

void TEditKlsDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  placeDialog(this, parentWidget(), m_placementHint);
}

std::optional<ClassDivisionRecord> EditClassDivision(Ui& ui, int k, const ClassDivisionRecord& record,
                                                     QWidget* parent, TEditKlsDlg::HelpHandler help) {
  TEditKlsDlg dialog(ui, k, record, parent);
  dialog.setHelpHandler(std::move(help));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.result();
}

}  // namespace veltrix
