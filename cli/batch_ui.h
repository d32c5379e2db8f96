// The Ui of a batch run: messages go to standard error as UTF-8, questions are answered from the
// command line (No, or Yes with --yes), dialogs that need a person are answered "cancelled".
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "core/base/ui.h"

namespace veltrix::cli {

// A message box's text on one line: each line break, with the blanks around it, becomes one blank.
std::string OneLineMessage(std::string_view text);

class BatchUi : public Ui {
 public:
  BatchUi(std::ostream& err, bool answerYes) : m_err(err), m_answerYes(answerYes) {}
  bool terminated() const { return m_terminated; }
  // Standard error, where the messages go (and the progress of --progress).
  std::ostream& errorStream() { return m_err; }

 protected:
  bool doMessage(BoxKind kind, std::string_view text, int placementHint) override;
  void doBeep() override {}
  void doTerminate() override { m_terminated = true; }
  int doSelectFromList(const ListRequest& request, int placementHint) override;
  // The command has put the values of its command line into the dialog: they are checked as "OK"
  // would check them; a refusal's message names the field.
  bool doValueDialog(ValueDialog& dialog, int placementHint) override;
  std::optional<std::string> doSelectFile(const FileRequest& request) override;
  std::optional<std::string> doChoosePath(const PathRequest& request) override;
  void doOpenProgress(std::string_view, std::string_view, int) override {}
  void doCloseProgress() override {}
  void doOpenCancelDialog(std::string_view, CancelMode, bool) override {}
  void doProcessPendingInput() override {}
  void doShowCancelValue(CancelMode, double) override {}
  void doCloseCancelDialog() override {}

 private:
  // "veltrix-batch: " + kind + ": " + the text on one line + the answer given, as UTF-8.
  void say(std::string_view kind, std::string_view text, std::string_view answer = {});

  std::ostream& m_err;
  bool m_answerYes;
  bool m_terminated = false;
};

}  // namespace veltrix::cli
