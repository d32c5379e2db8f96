// TEscDlg: the cancel dialog of a long operation. It stays on top without a caption bar and shows a
// message, the button "Abbrechen (Esc)" and, by its mode, a progress bar or a counter. The operation
// polls the cancel request the button (or Escape) makes; the dialog itself never closes on it.
#pragma once

#include <QDialog>
#include <functional>

#include "core/base/ui.h"

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

namespace veltrix {

class TEscDlg : public QDialog {
  Q_OBJECT

 public:
  TEscDlg(QWidget* parent, const QString& message, CancelMode mode, bool showButton);

  void setCancelHandler(std::function<void()> handler) { m_cancel = std::move(handler); }

  // Mode 1 shows the value on the bar (0..100), mode 2 as a whole number in eight places.
  void showValue(double value);

  QString message() const;
  CancelMode mode() const { return m_mode; }
  int barValue() const;
  QString counterText() const;
  bool isPanelShown() const;
  bool isBarShown() const;
  bool isCounterShown() const;
  bool isButtonShown() const;
  QPushButton* cancelButton() const { return m_button; }

 public slots:
  // Escape asks to cancel (when the button is offered) and leaves the dialog open.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void cancelPressed();

  CancelMode m_mode;
  QLabel* m_message = nullptr;
  QPushButton* m_button = nullptr;
  QFrame* m_panel = nullptr;
  QProgressBar* m_bar = nullptr;
  QLabel* m_counter = nullptr;
  std::function<void()> m_cancel;
};

// A counter value as the cancel dialog writes it: rounded to a whole number, right-aligned in 8 places.
QString formatCounter(double value);

}  // namespace veltrix
