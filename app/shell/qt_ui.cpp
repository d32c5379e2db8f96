#include "app/shell/qt_ui.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <memory>

#include "app/directtests/value_dialogs.h"
#include "app/shell/esc_dialog.h"
#include "app/shell/file_dialog_frame.h"
#include "app/shell/info_box.h"
#include "app/shell/path_dialog.h"
#include "app/shell/qt_text.h"
#include "app/shell/select_box_dialog.h"
#include "core/shell/placement.h"

namespace veltrix {

namespace {

// A message box that goes where the placement hint says once it knows its size.
class PlacedMessageBox : public QMessageBox {
 public:
  PlacedMessageBox(QWidget* owner, int hint) : QMessageBox(owner), m_owner(owner), m_hint(hint) {}

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    placeMessageBox(this, m_owner, m_hint);
  }

 private:
  QWidget* m_owner;
  int m_hint;
};

QRect screenArea(const QWidget* owner) {
  QScreen* screen = screenOf(owner);
  return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

ScreenSize sizeOf(const QSize& size) {
  return {size.width(), size.height()};
}

// The outer size with the window frame, which the widget learns only some time after it is shown.
ScreenSize outerSize(const QWidget* window) {
  QSize size = window->size();
  if (const QWindow* handle = window->windowHandle()) {
    const QMargins frame = handle->frameMargins();
    size += QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
  }
  return sizeOf(size);
}

}  // namespace

QString toDisplayText(std::string_view text) {
  QString shown = toQString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

QScreen* screenOf(const QWidget* owner) {
  if (owner && owner->screen()) return owner->screen();
  return QGuiApplication::primaryScreen();
}

void placeMessageBox(QWidget* box, const QWidget* owner, int hint) {
  const QRect area = screenArea(owner);
  const ScreenPoint at = messageBoxPosition(hint, sizeOf(area.size()), outerSize(box));
  box->move(area.topLeft() + QPoint(at.x, at.y));
}

void placeDialog(QWidget* dialog, const QWidget* owner, int hint) {
  const QRect area = screenArea(owner);
  const ScreenPoint at = dialogPosition(hint, sizeOf(area.size()), outerSize(dialog));
  dialog->move(area.topLeft() + QPoint(at.x, at.y));
}

QtUi::QtUi(QWidget* parent) : m_parent(parent) {}

QtUi::~QtUi() {
  for (const QPointer<TInfoBox>& box : m_progressBoxes) delete box.data();
  for (const QPointer<TEscDlg>& dialog : m_cancelDialogs) delete dialog.data();
}

TInfoBox* QtUi::progressBox() const {
  return m_progressBoxes.empty() ? nullptr : m_progressBoxes.back().data();
}

TEscDlg* QtUi::cancelDialog() const {
  return m_cancelDialogs.empty() ? nullptr : m_cancelDialogs.back().data();
}

QWidget* QtUi::owner() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return m_parent;
}

bool QtUi::doMessage(BoxKind kind, std::string_view text, int placementHint) {
  PlacedMessageBox box(owner(), placementHint);
  box.setWindowTitle(toQString(m_title));
  box.setTextFormat(Qt::PlainText);
  box.setText(toDisplayText(text));
  QPushButton* yes = nullptr;
  switch (kind) {
    case BoxKind::Confirm: {
      box.setIcon(QMessageBox::Question);
      yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
      QPushButton* no = box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
      box.setDefaultButton(yes);
      box.setEscapeButton(no);
      break;
    }
    case BoxKind::Warning: {
      box.setIcon(QMessageBox::Warning);
      yes = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
      QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
      box.setDefaultButton(yes);
      box.setEscapeButton(cancel);
      break;
    }
    case BoxKind::Error:
    case BoxKind::Fatal:
    case BoxKind::Information:
      box.setIcon(kind == BoxKind::Information ? QMessageBox::Information : QMessageBox::Critical);
      yes = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
      box.setDefaultButton(yes);
      box.setEscapeButton(yes);
      break;
  }
  box.exec();
  return box.clickedButton() == yes;
}

void QtUi::doBeep() {
  if (m_beep)
    m_beep();
  else
    QApplication::beep();
}

void QtUi::doTerminate() {
  if (m_terminate) {
    m_terminate();
    return;
  }
  QCoreApplication::exit(kFatalExitCode);
  // Before the event loop runs (during start-up) exit() has nothing to end.
  if (QThread::currentThread()->loopLevel() == 0) std::exit(kFatalExitCode);
}

int QtUi::doSelectFromList(const ListRequest& request, int placementHint) {
  TSelBxDlg dialog(owner(), request, m_help, [this] { doBeep(); });
  dialog.setPlacementHint(placementHint);
  if (dialog.exec() != QDialog::Accepted) return kListCancelled;
  return dialog.chosenIndex();
}

bool QtUi::doValueDialog(ValueDialog& dialog, int placementHint) {
  const std::unique_ptr<TValueDlg> view = makeValueDialog(dialog, owner());
  view->setHelpHandler(m_help);
  view->setPlacementHint(placementHint);
  return view->exec() == QDialog::Accepted;
}

std::optional<std::string> QtUi::doSelectFile(const FileRequest& request) {
  TDlgFFrame dialog(owner(), *this, request, m_help);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosenName();
}

std::optional<std::string> QtUi::doChoosePath(const PathRequest& request) {
  TPathDlg dialog(owner(), request, m_help);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosenDirectory();
}

void QtUi::doOpenProgress(std::string_view caption, std::string_view text, int placementHint) {
  auto* box = new TInfoBox(owner(), toQString(caption), toDisplayText(text));
  m_progressBoxes.emplace_back(box);
  box->showNow(placementHint);
}

void QtUi::doCloseProgress() {
  if (m_progressBoxes.empty()) return;
  delete m_progressBoxes.back().data();
  m_progressBoxes.pop_back();
}

void QtUi::doOpenCancelDialog(std::string_view message, CancelMode mode, bool showButton) {
  auto* dialog = new TEscDlg(owner(), toDisplayText(message), mode, showButton);
  m_cancelDialogs.emplace_back(dialog);
  dialog->setCancelHandler([this] { requestCancel(); });
  placeDialog(dialog, dialog->parentWidget(), 0);
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::doProcessPendingInput() {
  QCoreApplication::processEvents();
}

void QtUi::doShowCancelValue(CancelMode, double value) {
  if (TEscDlg* dialog = cancelDialog()) dialog->showValue(value);
}

void QtUi::doCloseCancelDialog() {
  if (m_cancelDialogs.empty()) return;
  delete m_cancelDialogs.back().data();
  m_cancelDialogs.pop_back();
}

}  // namespace veltrix
