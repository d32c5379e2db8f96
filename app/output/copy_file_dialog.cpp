#include "app/output/copy_file_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/shell/qt_text.h"
#include "core/base/ui.h"

namespace veltrix {

TSCopyDlg::TSCopyDlg(CopyFileChoice& choice, Ui& ui, QWidget* parent)
    : QDialog(parent), m_choice(choice), m_ui(ui) {
  setWindowTitle(toQString(CopyFileChoice::caption()));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(toQString(choice.folderLabel()), this));
  m_list = new QListWidget(this);
  for (const std::string& item : choice.items()) m_list->addItem(toQString(item));
  m_list->setCurrentRow(0);
  layout->addWidget(m_list);
  layout->addWidget(new QLabel(toQString(CopyFileChoice::note()), this));

  auto* csvRow = new QHBoxLayout;
  m_csv = new QCheckBox(toQString(CopyFileChoice::csvSwitchText()), this);
  m_csv->setChecked(choice.csv);
  m_separator = new QLineEdit(toQString(choice.separator), this);
  m_separator->setMaxLength(1);
  m_separator->setFixedWidth(m_separator->fontMetrics().horizontalAdvance(QStringLiteral("WW")) + 12);
  csvRow->addWidget(m_csv);
  csvRow->addWidget(m_separator);
  csvRow->addStretch();
  layout->addLayout(csvRow);
  for (QWidget* w : {static_cast<QWidget*>(m_csv), static_cast<QWidget*>(m_separator)})
    w->setVisible(choice.showsCsvSwitch());

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &TSCopyDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TSCopyDlg::reject);
  connect(m_list, &QListWidget::itemDoubleClicked, this, &TSCopyDlg::accept);
  layout->addWidget(buttons);
}

void TSCopyDlg::accept() {
  const int digit = m_list->currentRow();
  if (digit < 0) return QApplication::beep();
  m_choice.csv = m_csv->isChecked();
  m_choice.separator = fromQString(m_separator->text());
  if (m_choice.accept(digit, m_ui)) QDialog::accept();
}

}  // namespace veltrix
