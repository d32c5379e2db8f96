#include "app/shell/esc_dialog.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace veltrix {

QString formatCounter(double value) {
  const double whole = std::nearbyint(value);
  // Beyond 15 digits a double holds no exact whole number any more; show it as it is.
  const QString digits = std::fabs(whole) < 1e15 ? QString::number(static_cast<qlonglong>(whole))
                                                 : QString::number(whole, 'g', 15);
  return digits.rightJustified(8, QLatin1Char(' '));
}

TEscDlg::TEscDlg(QWidget* parent, const QString& message, CancelMode mode, bool showButton)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_mode(mode) {
  setModal(false);
  // Without a caption bar the dialog draws its own border.
  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::Box);
  frame->setLineWidth(1);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(frame);

  m_message = new QLabel(message, frame);
  m_message->setTextFormat(Qt::PlainText);
  m_message->setAlignment(Qt::AlignCenter);
  m_message->setMinimumWidth(360);

  m_button = new QPushButton(QStringLiteral("Abbrechen (Esc)"), frame);
  m_button->setAutoDefault(false);
  connect(m_button, &QPushButton::clicked, this, &TEscDlg::cancelPressed);

  m_panel = new QFrame(frame);
  m_panel->setFrameShape(QFrame::StyledPanel);
  m_bar = new QProgressBar(m_panel);
  m_bar->setRange(0, 100);
  m_bar->setValue(0);
  m_counter = new QLabel(formatCounter(0), m_panel);
  m_counter->setAlignment(Qt::AlignCenter);
  auto* panelLayout = new QHBoxLayout(m_panel);
  panelLayout->addWidget(m_bar);
  panelLayout->addWidget(m_counter);

  auto* layout = new QVBoxLayout(frame);
  layout->setContentsMargins(16, 12, 16, 12);
  layout->addWidget(m_message);
  layout->addWidget(m_button, 0, Qt::AlignHCenter);
  layout->addWidget(m_panel);

  m_button->setVisible(showButton);
  m_panel->setVisible(mode != CancelMode::NoPanel);
  m_bar->setVisible(mode == CancelMode::Percent);
  m_counter->setVisible(mode == CancelMode::Counter);
  // Hidden parts take no room, so without the panel the label and button sit higher in a lower dialog.
  adjustSize();
  setFixedSize(sizeHint());
}

void TEscDlg::showValue(double value) {
  if (m_mode == CancelMode::Percent) {
    m_bar->setValue(std::clamp(static_cast<int>(std::nearbyint(std::clamp(value, 0.0, 100.0))), 0, 100));
  } else if (m_mode == CancelMode::Counter) {
    m_counter->setText(formatCounter(value));
  }
  if (isVisible()) repaint();
}

QString TEscDlg::message() const {
  return m_message->text();
}
int TEscDlg::barValue() const {
  return m_bar->value();
}
QString TEscDlg::counterText() const {
  return m_counter->text();
}
bool TEscDlg::isPanelShown() const {
  return m_panel->isVisibleTo(this);
}
bool TEscDlg::isBarShown() const {
  return m_bar->isVisibleTo(this);
}
bool TEscDlg::isCounterShown() const {
  return m_counter->isVisibleTo(this);
}
bool TEscDlg::isButtonShown() const {
  return m_button->isVisibleTo(this);
}

void TEscDlg::reject() {
  if (isButtonShown()) cancelPressed();
}

void TEscDlg::cancelPressed() {
  if (m_cancel) m_cancel();
}

void TEscDlg::closeEvent(QCloseEvent* event) {
  event->ignore();
}

}  // namespace veltrix
