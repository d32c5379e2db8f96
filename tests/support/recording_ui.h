// A Ui for tests and fuzz targets that only takes note: every message box ("error: " or "other: " +
// its text, answered Yes/OK) and beep; any other dialog, and the end of the program, counts as
// unexpected. Header-only and free of any test framework, so fuzz targets can use it too.
#pragma once

#include <string>
#include <vector>

#include "core/base/ui.h"

namespace veltrix::test {

class RecordingUi : public Ui {
 public:
  std::vector<std::string> messages;
  int beeps = 0;
  int unexpected = 0;

 protected:
  bool doMessage(BoxKind kind, std::string_view text, int) override {
    messages.push_back((kind == BoxKind::Error ? "error: " : "other: ") + std::string(text));
    return true;
  }
  void doBeep() override { ++beeps; }
  void doTerminate() override { ++unexpected; }
  int doSelectFromList(const ListRequest&, int) override { return ++unexpected, kListCancelled; }
  bool doValueDialog(ValueDialog&, int) override { return ++unexpected, false; }
  std::optional<std::string> doSelectFile(const FileRequest&) override { return ++unexpected, std::nullopt; }
  std::optional<std::string> doChoosePath(const PathRequest&) override { return ++unexpected, std::nullopt; }
  void doOpenProgress(std::string_view, std::string_view, int) override { ++unexpected; }
  void doCloseProgress() override { ++unexpected; }
  void doOpenCancelDialog(std::string_view, CancelMode, bool) override { ++unexpected; }
  void doProcessPendingInput() override { ++unexpected; }
  void doShowCancelValue(CancelMode, double) override { ++unexpected; }
  void doCloseCancelDialog() override { ++unexpected; }
};

}  // namespace veltrix::test
