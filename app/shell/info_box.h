// TInfoBox: the progress box of an operation that cannot be cancelled. It has a caption and a centred
// text, no close button, and shows the busy cursor while it is open.
#pragma once

#include <QDialog>

class QLabel;

namespace veltrix {

class TInfoBox : public QDialog {
  Q_OBJECT

 public:
  TInfoBox(QWidget* parent, const QString& caption, const QString& text);
  ~TInfoBox() override;

  QString caption() const { return windowTitle(); }
  QString text() const;

  // Places the box by the hint, shows it and paints it before returning, since the operation that
  // follows keeps the event loop busy.
  void showNow(int placementHint);

 public slots:
  // The box closes only when its operation ends: Escape does nothing.
  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* m_label = nullptr;
  bool m_busyCursor = false;
};

}  // namespace veltrix
