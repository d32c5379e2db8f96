// TDlgFFrame: the file selection every part uses to choose a file to open or to write. The Qt file
// dialog shows the directories and files; the rules for a confirmed name are the FileSelection's, which
// asks its questions through the Ui and may keep the dialog open.
#pragma once

#include <QFileDialog>
#include <functional>
#include <optional>
#include <string>

#include "core/shell/file_selection.h"

class QLineEdit;
class QPushButton;

namespace veltrix {

class Ui;

class TDlgFFrame : public QFileDialog {
  Q_OBJECT

 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 420;

  // help shows a help topic (no help button without it or for a help context of 0 or less).
  TDlgFFrame(QWidget* parent, Ui& ui, const FileRequest& request, std::function<void(int)> help);

  const FileSelection& selection() const { return m_selection; }

  // The text in the file-name box, as if typed.
  void setTypedName(const QString& name);
  QString typedName() const;
  // Clicks "Öffnen" or "Speichern" (nothing while the button is disabled, as for an empty name).
  void pressOk();
  QPushButton* acceptButton() const;
  QPushButton* helpButton() const { return m_helpButton; }

  // The accepted full file name; nothing before the dialog is accepted.
  const std::optional<std::string>& chosenName() const { return m_chosen; }

 public slots:
  // Asks the FileSelection before closing; a directory is entered instead.
  void accept() override;

 private:
  QLineEdit* fileNameEdit() const;

  Ui& m_ui;
  FileSelection m_selection;
  std::optional<std::string> m_chosen;
  QPushButton* m_helpButton = nullptr;
};

// The filter entries in Qt's form, "display (pattern pattern)".
QStringList qtNameFilters(const FileSelection& selection);

}  // namespace veltrix
