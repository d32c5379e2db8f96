// The user-interaction port. Core code never shows a window itself: it asks a Ui. The Qt front end
// answers with real dialogs, the batch front end from its command line, tests from a script.
//
// The rules that do not depend on a window system live here, in the non-virtual entry points: the
// placement hint is used by exactly one box or dialog and then reset, the error box beeps first, an
// empty list is answered without a dialog, and opening a progress box or cancel dialog clears the ready
// flag until it closes. Implementations override the protected do... functions only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/value_dialog.h"

namespace veltrix {

// Flags of the running program that the shared dialogs change. The application's global state refers
// to the one instance its Ui holds.
struct RunFlags {
  bool ready = true;             // commands are accepted only while set
  bool cancelRequested = false;  // set by the cancel button, polled by long loops
  int placementHint = 0;         // 0..6: where the next box or dialog goes; reset by each use
};

enum class CancelMode {
  NoPanel = 0,  // label and button only
  Percent = 1,  // progress bar 0..100
  Counter = 2,  // the value as an integer text
};

struct ListRequest {
  std::string caption;             // up to 80 characters
  std::string label;               // up to 80 characters
  std::vector<std::string> items;  // shown in this order unless the user sorts
  int helpNumber = 0;              // below 1: no help button
  int startIndex = 0;              // clamped to the list
  bool sortButtons = false;
  bool wide = false;
  int columns = 1;
};

struct FileRequest {
  std::string title;
  std::string initialDirectory;
  std::string defaultName;  // a name or just an extension such as ".dt*"
  int helpContext = 0;
  std::string modes;   // letters R C E S A X U
  std::string filter;  // "display|pattern|display|pattern"
};

struct PathRequest {
  std::string title;
  std::string initialDirectory;
  int helpContext = 0;
  bool restricted = false;  // only the initial directory and its subdirectories
};

class Ui {
 public:
  static constexpr int kListCancelled = -2;
  static constexpr int kListEmpty = -1;

  virtual ~Ui() = default;

  RunFlags& flags() { return m_flags; }
  const RunFlags& flags() const { return m_flags; }

  // Message boxes; each text is at most 255 characters.
  bool confirm(std::string_view text);  // Yes/No: true for Yes
  void error(std::string_view text);    // beep, then OK
  void information(std::string_view text);
  bool warning(std::string_view text);  // OK/Cancel: true for OK
  // Error box with the text and the closing notice, then the program ends (the front end decides how).
  void fatal(std::string_view text);
  void beep() { doBeep(); }

  // Index of the chosen item in the list as displayed, kListCancelled, or kListEmpty for an empty list
  // (no dialog is shown then).
  int selectFromList(const ListRequest& request);
  // Shows a value dialog (placed by the placement hint). On "OK" the dialog runs dialog.check(); a
  // failed check leaves it open with the focus on the offending field. True once the user confirmed
  // and every check passed, false on "Abbrechen".
  bool valueDialog(ValueDialog& dialog);
  // Chosen full file name, or nothing when cancelled.
  std::optional<std::string> selectFile(const FileRequest& request);
  // Chosen directory, or nothing when cancelled.
  std::optional<std::string> choosePath(const PathRequest& request);

  void openProgress(std::string_view caption, std::string_view text);
  void closeProgress();

  void openCancelDialog(std::string_view message, CancelMode mode, bool showButton);
  // Lets pending input through first (so the cancel button works), then shows the value; negative
  // values are ignored.
  void updateCancelDialog(double value);
  void closeCancelDialog();
  bool cancelRequested() const { return m_flags.cancelRequested; }
  // Called by the front end when the user presses the cancel button or Escape.
  void requestCancel() { m_flags.cancelRequested = true; }

  static constexpr std::string_view kFatalSuffix = "\r\n\r\nProgramm wird abgebrochen!";

 protected:
  enum class BoxKind { Confirm, Error, Information, Warning, Fatal };

  // Shows one message box; returns true for Yes or OK.
  virtual bool doMessage(BoxKind kind, std::string_view text, int placementHint) = 0;
  virtual void doBeep() = 0;
  // Ends the program after a fatal error box.
  virtual void doTerminate() = 0;
  virtual int doSelectFromList(const ListRequest& request, int placementHint) = 0;
  virtual bool doValueDialog(ValueDialog& dialog, int placementHint) = 0;
  virtual std::optional<std::string> doSelectFile(const FileRequest& request) = 0;
  virtual std::optional<std::string> doChoosePath(const PathRequest& request) = 0;
  virtual void doOpenProgress(std::string_view caption, std::string_view text, int placementHint) = 0;
  virtual void doCloseProgress() = 0;
  virtual void doOpenCancelDialog(std::string_view message, CancelMode mode, bool showButton) = 0;
  // Processes pending input of the window system; may call requestCancel().
  virtual void doProcessPendingInput() = 0;
  virtual void doShowCancelValue(CancelMode mode, double value) = 0;
  virtual void doCloseCancelDialog() = 0;

 private:
  int takePlacementHint();

  RunFlags m_flags;
  CancelMode m_cancelMode = CancelMode::NoPanel;
  int m_openProgressBoxes = 0;
  int m_openCancelDialogs = 0;
};

}  // namespace veltrix
