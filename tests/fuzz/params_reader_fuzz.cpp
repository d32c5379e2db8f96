// Any bytes as a parameter file: the reader keeps what is valid and never reads out of bounds. What
// it keeps must be writable, and the written form must read back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/datafile/params.h"
#include "tests/support/recording_ui.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  veltrix::test::RecordingUi ui;
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
  if (ui.unexpected != 0) std::abort();  // reading must never end the program or open a dialog
  return 0;
}
