// TSCopyDlg: chooses the protocol file ("Protokolldatei auswählen") from the ten names of the file's
// folder, with the CSV switch and separator for grid tables. A thin view over CopyFileChoice.
#pragma once

#include <QDialog>

#include "core/output/protocol_file.h"

class QCheckBox;
class QLineEdit;
class QListWidget;

namespace veltrix {

class Ui;

class TSCopyDlg : public QDialog {
  Q_OBJECT

 public:
  TSCopyDlg(CopyFileChoice& choice, Ui& ui, QWidget* parent = nullptr);

  QListWidget* list() const { return m_list; }
  QCheckBox* csvSwitch() const { return m_csv; }
  QLineEdit* separatorField() const { return m_separator; }

  // OK: the choice takes the switch and separator and checks the chosen name; the dialog stays open
  // when it refuses.
  void accept() override;

 private:
  CopyFileChoice& m_choice;
  Ui& m_ui;
  QListWidget* m_list = nullptr;
  QCheckBox* m_csv = nullptr;
  QLineEdit* m_separator = nullptr;
};

}  // namespace veltrix
