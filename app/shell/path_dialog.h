// TPathDlg: choose a directory in the directory tree from the root. In restricted mode only the start
// directory and the directories below it can be chosen; picking another one returns to the start.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "core/shell/file_selection.h"

class QFileSystemModel;
class QLabel;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace veltrix {

class TPathDlg : public QDialog {
  Q_OBJECT

 public:
  // help shows a help topic (no help button without it or for a help context of 0 or less).
  TPathDlg(QWidget* parent, const PathRequest& request, std::function<void(int)> help);

  const PathSelection& selection() const { return m_selection; }

  // The directory shown as the current one.
  QString currentDirectory() const { return m_current; }
  // The user picks a directory (as a click in the tree does); in restricted mode one outside the start
  // directory's subtree snaps back to the start directory.
  void chooseDirectory(const QString& directory);
  // The restricted-mode note; empty (and hidden) otherwise.
  QString restrictionText() const;
  bool isRestrictionShown() const;
  void pressOk();
  QPushButton* helpButton() const { return m_helpButton; }
  QTreeView* treeView() const { return m_tree; }

  // The directory accepted with OK (normalised); nothing when cancelled or when it no longer exists.
  const std::optional<std::string>& chosenDirectory() const { return m_chosen; }

 private:
  void treeCurrentChanged(const QModelIndex& index);
  void showCurrentInTree();

  PathSelection m_selection;
  QString m_current;
  std::optional<std::string> m_chosen;
  bool m_syncingTree = false;
  QFileSystemModel* m_model = nullptr;
  QTreeView* m_tree = nullptr;
  QLabel* m_currentLabel = nullptr;
  QLabel* m_restriction = nullptr;
  QPushButton* m_helpButton = nullptr;
};

}  // namespace veltrix
