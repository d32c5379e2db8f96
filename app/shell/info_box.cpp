#include "app/shell/info_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "app/shell/qt_ui.h"

namespace veltrix {

TInfoBox::TInfoBox(QWidget* parent, const QString& caption, const QString& text)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(caption);
  m_label = new QLabel(text, this);
  m_label->setAlignment(Qt::AlignCenter);
  m_label->setTextFormat(Qt::PlainText);
  m_label->setMinimumWidth(280);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 20);
  layout->addWidget(m_label);
  setModal(false);
}

TInfoBox::~TInfoBox() {
  if (m_busyCursor) QApplication::restoreOverrideCursor();
}

QString TInfoBox::text() const {
  return m_label->text();
}

void TInfoBox::showNow(int placementHint) {
  adjustSize();
  placeDialog(this, parentWidget(), placementHint);
  if (!m_busyCursor) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_busyCursor = true;
  }
  show();
  raise();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  repaint();
}

void TInfoBox::closeEvent(QCloseEvent* event) {
  event->ignore();
}

}  // namespace veltrix
