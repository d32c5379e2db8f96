// The Ui of the desktop program: message boxes, the shared dialogs and the dialogs of the file and path
// choice, on Qt Widgets.
#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/ui.h"

class QWidget;
class QScreen;

namespace veltrix {

class TEscDlg;
class TInfoBox;

class QtUi : public Ui {
 public:
  // Exit code of the program after a fatal error.
  static constexpr int kFatalExitCode = 3;

  explicit QtUi(QWidget* parent = nullptr);
  ~QtUi() override;
  QtUi(const QtUi&) = delete;
  QtUi& operator=(const QtUi&) = delete;

  // The window the boxes and dialogs belong to (the main window once it exists).
  void setParent(QWidget* parent) { m_parent = parent; }
  QWidget* parent() const { return m_parent; }

  // Caption of the message boxes: the program's title word.
  void setTitle(std::string_view title) { m_title = title; }
  const std::string& title() const { return m_title; }

  // Shows a help topic; the help buttons of the dialogs are hidden while there is none.
  using HelpHandler = std::function<void(int helpNumber)>;
  void setHelpHandler(HelpHandler handler) { m_help = std::move(handler); }
  const HelpHandler& helpHandler() const { return m_help; }

  // Replace the warning beep and the end of the program (tests count beeps and keep running).
  void setBeepHandler(std::function<void()> beep) { m_beep = std::move(beep); }
  void setTerminateHandler(std::function<void()> terminate) { m_terminate = std::move(terminate); }

  // The open progress box and cancel dialog (the last opened), or nullptr.
  TInfoBox* progressBox() const;
  TEscDlg* cancelDialog() const;

 protected:
  bool doMessage(BoxKind kind, std::string_view text, int placementHint) override;
  void doBeep() override;
  void doTerminate() override;
  int doSelectFromList(const ListRequest& request, int placementHint) override;
  bool doValueDialog(ValueDialog& dialog, int placementHint) override;
  std::optional<std::string> doSelectFile(const FileRequest& request) override;
  std::optional<std::string> doChoosePath(const PathRequest& request) override;
  void doOpenProgress(std::string_view caption, std::string_view text, int placementHint) override;
  void doCloseProgress() override;
  void doOpenCancelDialog(std::string_view message, CancelMode mode, bool showButton) override;
  void doProcessPendingInput() override;
  void doShowCancelValue(CancelMode mode, double value) override;
  void doCloseCancelDialog() override;

 private:
  // The widget new boxes and dialogs belong to: an open modal dialog, else the parent window.
  QWidget* owner() const;

  QWidget* m_parent = nullptr;
  std::string m_title = "KVT";
  HelpHandler m_help;
  std::function<void()> m_beep;
  std::function<void()> m_terminate;
  // Guarded pointers: a box whose parent window went away has been deleted with it.
  std::vector<QPointer<TInfoBox>> m_progressBoxes;
  std::vector<QPointer<TEscDlg>> m_cancelDialogs;
};

// Text of the program (CR LF line breaks, Windows-1252) as shown in a label.
QString toDisplayText(std::string_view text);

// The screen a window of this owner appears on, and where it goes on it for a placement hint.
QScreen* screenOf(const QWidget* owner);
void placeMessageBox(QWidget* box, const QWidget* owner, int hint);
void placeDialog(QWidget* dialog, const QWidget* owner, int hint);

}  // namespace veltrix
