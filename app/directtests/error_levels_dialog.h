// TErrLvlDlg: the significance settings ("Irrtumswahrscheinlichkeiten, Faktoren, Quantile"). It shows
// an ErrorLevelForm and hands back what the user made of it; whoever opened it applies the form.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "core/directtests/error_levels.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace veltrix {

class TErrLvlDlg : public QDialog {
  Q_OBJECT

 public:
  using HelpHandler = std::function<void(int helpNumber)>;

  // The fields in the order of the form: error probabilities A and B, factors A and B, quantiles A, B.
  static constexpr int kFieldCount = 6;

  explicit TErrLvlDlg(QWidget* parent = nullptr);

  void setForm(const ErrorLevelForm& form);
  ErrorLevelForm form() const;

  // Where the dialog goes when it is shown (a placement hint).
  void setPlacementHint(int hint) { m_placementHint = hint; }
  // "&Hilfe" and F1 show the dialog's help topic through it; without one the button is hidden.
  void setHelpHandler(HelpHandler handler);

  QLineEdit* field(int i) const { return m_fields.at(static_cast<std::size_t>(i)); }
  QLabel* fieldLabel(int i) const { return m_labels.at(static_cast<std::size_t>(i)); }
  QRadioButton* oneSidedButton() const { return m_oneSided; }
  QRadioButton* twoSidedButton() const { return m_twoSided; }
  QRadioButton* parametricButton() const { return m_parametric; }
  QRadioButton* nonParametricButton() const { return m_nonParametric; }
  QComboBox* whiskerBox() const { return m_whisker; }
  QLabel* whiskerLabel() const { return m_whiskerLabel; }
  QPushButton* okButton() const { return m_ok; }
  QPushButton* cancelButton() const { return m_cancel; }
  QPushButton* helpButton() const { return m_helpButton; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void showHelp();

  std::array<QLineEdit*, kFieldCount> m_fields{};
  std::array<QLabel*, kFieldCount> m_labels{};
  QRadioButton* m_oneSided = nullptr;
  QRadioButton* m_twoSided = nullptr;
  QRadioButton* m_parametric = nullptr;
  QRadioButton* m_nonParametric = nullptr;
  QComboBox* m_whisker = nullptr;
  QLabel* m_whiskerLabel = nullptr;
  QPushButton* m_ok = nullptr;
  QPushButton* m_cancel = nullptr;
  QPushButton* m_helpButton = nullptr;
  HelpHandler m_help;
  int m_placementHint = 0;
};

}  // namespace veltrix
