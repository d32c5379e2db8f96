// Any bytes as a parameter file: the reader keeps what is valid and never reads out of bounds. What
// it keeps must be writable, and the written form must read back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/datafile/params.h"
#include "core/shell/ui.h"

namespace {

class SilentUi : public veltrix::Ui {
 protected:
  bool doMessage(BoxKind, std::string_view, int) override { return false; }
  void doBeep() override {}
  void doTerminate() override { std::abort(); }  // reading must never end the program
  int doSelectFromList(const veltrix::ListRequest&, int) override { return kListCancelled; }
  std::optional<std::string> doSelectFile(const veltrix::FileRequest&) override { return std::nullopt; }
  std::optional<std::string> doChoosePath(const veltrix::PathRequest&) override { return std::nullopt; }
  void doOpenProgress(std::string_view, std::string_view, int) override {}
  void doCloseProgress() override {}
  void doOpenCancelDialog(std::string_view, veltrix::CancelMode, bool) override {}
  void doProcessPendingInput() override {}
  void doShowCancelValue(veltrix::CancelMode, double) override {}
  void doCloseCancelDialog() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilentUi ui;
  veltrix::TParams params(ui);
  params.decode(std::span<const std::uint8_t>(data, size));
  // Everything the object now answers must be safe to ask.
  for (int i = 0; i <= params.variableCount() + 1; ++i) (void)params.getVariable(i);
  for (int i = 0; i <= 21; ++i) {
    (void)params.classDivisionText(i);
    (void)params.groupText(i);
  }
  (void)params.listVariables(veltrix::VariableListMode::All);
  (void)params.findVariableByName("ALTER");

  const auto first = params.encode();
  veltrix::TParams again(ui);
  if (again.decode(first) != veltrix::ParamsReadStatus::Ok) std::abort();
  if (again.encode() != first) std::abort();
  return 0;
}
