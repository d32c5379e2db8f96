#include "app/shell/file_dialog_frame.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include "app/shell/qt_text.h"
#include "core/base/ui.h"
#include "core/datafile/file_names.h"

namespace veltrix {

QStringList qtNameFilters(const FileSelection& selection) {
  QStringList filters;
  for (const FileSelection::FilterEntry& entry : selection.filterEntries()) {
    QStringList patterns;
    for (const QString& pattern : toQString(entry.patterns).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString single = pattern.trimmed();
      if (!single.isEmpty()) patterns << single;
    }
    if (patterns.isEmpty()) continue;
    // The patterns go in parentheses at the end, where the dialog reads them; the display text shown
    // is the caller's (the dialog hides the added parentheses).
    filters << toQString(entry.display) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
  }
  return filters;
}

TDlgFFrame::TDlgFFrame(QWidget* parent, Ui& ui, const FileRequest& request, std::function<void(int)> help)
    : QFileDialog(parent), m_ui(ui), m_selection(request) {
  // Qt's own dialog, not the desktop's: it behaves the same everywhere and can be driven in tests.
  setOption(QFileDialog::DontUseNativeDialog, true);
  setOption(QFileDialog::DontConfirmOverwrite, true);
  setOption(QFileDialog::HideNameFilterDetails, true);
  setWindowTitle(toQString(request.title));
  setAcceptMode(m_selection.isOpenDialog() ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  // Existence, creation and overwriting are checked by the FileSelection with the program's prompts.
  setFileMode(QFileDialog::AnyFile);

  setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen &in:"));
  setLabelText(QFileDialog::FileName, QStringLiteral("Datei&name:"));
  setLabelText(QFileDialog::FileType, QStringLiteral("Datei&typ:"));
  setLabelText(QFileDialog::Accept,
               m_selection.isOpenDialog() ? QString::fromUtf8("Ö&ffnen") : QStringLiteral("&Speichern"));
  setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));

  const QStringList filters = qtNameFilters(m_selection);
  if (!filters.isEmpty()) setNameFilters(filters);

  const std::string directory = NormaliseDirectory(request.initialDirectory);
  setDirectory(directory.empty() ? QDir::currentPath() : toQPath(directory));
  if (!m_selection.initialName().empty()) setTypedName(toQPath(m_selection.initialName()));

  if (request.helpContext > 0 && help) {
    if (auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))) {
      m_helpButton = buttons->addButton(QStringLiteral("&Hilfe"), QDialogButtonBox::HelpRole);
      const int context = request.helpContext;
      connect(m_helpButton, &QPushButton::clicked, this, [help, context] { help(context); });
    }
  }

  resize(kWidth, kHeight);
  if (!m_selection.isResizable()) {
    setFixedSize(kWidth, kHeight);
    setSizeGripEnabled(false);
  }
}

QLineEdit* TDlgFFrame::fileNameEdit() const {
  return findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

void TDlgFFrame::setTypedName(const QString& name) {
  if (QLineEdit* edit = fileNameEdit()) edit->setText(name);
}

QString TDlgFFrame::typedName() const {
  const QLineEdit* edit = fileNameEdit();
  return edit ? edit->text() : QString();
}

QPushButton* TDlgFFrame::acceptButton() const {
  auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  if (!buttons) return nullptr;
  return buttons->button(acceptMode() == QFileDialog::AcceptOpen ? QDialogButtonBox::Open
                                                                 : QDialogButtonBox::Save);
}

void TDlgFFrame::pressOk() {
  if (QPushButton* button = acceptButton(); button && button->isEnabled()) button->click();
}

void TDlgFFrame::accept() {
  const QStringList files = selectedFiles();
  if (files.isEmpty()) return;
  if (QFileInfo(files.first()).isDir()) {
    QFileDialog::accept();  // enters the directory
    return;
  }
  std::optional<std::string> name = m_selection.confirm(m_ui, fromQPath(files.first()));
  if (!name) return;
  m_chosen = std::move(name);
  QDialog::accept();
}

}  // namespace veltrix
