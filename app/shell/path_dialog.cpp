#include "app/shell/path_dialog.h"

#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/shell/qt_text.h"

namespace veltrix {

TPathDlg::TPathDlg(QWidget* parent, const PathRequest& request, std::function<void(int)> help)
    : QDialog(parent), m_selection(request) {
  setWindowTitle(toQString(request.title));

  m_currentLabel = new QLabel(this);
  m_currentLabel->setTextFormat(Qt::PlainText);
  m_restriction = new QLabel(toQString(m_selection.restrictionText()), this);
  m_restriction->setTextFormat(Qt::PlainText);
  m_restriction->setWordWrap(true);
  m_restriction->setVisible(m_selection.isRestricted());

  // Linux has no drives: the tree starts at the root directory.
  m_model = new QFileSystemModel(this);
  m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  m_model->setRootPath(QStringLiteral("/"));
  m_tree = new QTreeView(this);
  m_tree->setModel(m_model);
  m_tree->setHeaderHidden(true);
  for (int column = 1; column < m_model->columnCount(); ++column) m_tree->hideColumn(column);
  connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& index) { treeCurrentChanged(index); });

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &TPathDlg::pressOk);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  if (request.helpContext > 0 && help) {
    m_helpButton = buttons->addButton(QStringLiteral("&Hilfe"), QDialogButtonBox::HelpRole);
    const int context = request.helpContext;
    connect(m_helpButton, &QPushButton::clicked, this, [help, context] { help(context); });
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_currentLabel);
  layout->addWidget(m_tree, 1);
  layout->addWidget(m_restriction);
  layout->addWidget(buttons);
  resize(460, 420);

  chooseDirectory(toQPath(m_selection.startDirectory()));
}

void TPathDlg::chooseDirectory(const QString& directory) {
  m_current = toQPath(m_selection.navigate(fromQPath(directory)));
  m_currentLabel->setText(m_current);
  showCurrentInTree();
}

QString TPathDlg::restrictionText() const {
  return m_restriction->text();
}

bool TPathDlg::isRestrictionShown() const {
  return m_restriction->isVisibleTo(this);
}

void TPathDlg::pressOk() {
  m_chosen = m_selection.result(fromQPath(m_current));
  accept();
}

void TPathDlg::treeCurrentChanged(const QModelIndex& index) {
  if (m_syncingTree || !index.isValid()) return;
  chooseDirectory(m_model->filePath(index));
}

void TPathDlg::showCurrentInTree() {
  const QModelIndex index = m_model->index(m_current);
  if (!index.isValid() || index == m_tree->currentIndex()) return;
  // Moving the tree to the shown directory must not count as a new choice.
  m_syncingTree = true;
  m_tree->setCurrentIndex(index);
  m_tree->scrollTo(index);
  m_syncingTree = false;
}

}  // namespace veltrix
