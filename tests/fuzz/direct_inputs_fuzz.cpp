// Any typed texts in the direct tests' dialogs and the settings dialog: the entry check refuses or
// accepts them, an accepted test writes a sheet whose result lines keep to 80 characters and show no
// NaN, and the settings always end inside their ranges and in order.
//
// Input: byte 0 picks the test and the sidedness, the rest are the texts separated by line feeds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/directtests/direct_tests.h"
#include "core/directtests/error_levels.h"
#include "core/output/table_manager.h"
#include "tests/support/recording_ui.h"

namespace {

// The user types the texts and presses OK once; a refusal ends the dialog as "Abbrechen".
class TypingUi : public veltrix::test::RecordingUi {
 public:
  std::vector<std::string> texts;

 protected:
  bool doValueDialog(veltrix::ValueDialog& dialog, int) override {
    dialog.setTexts(texts);
    return dialog.check() < 0;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace veltrix;
  if (size < 1) return 0;
  constexpr int kCodes[] = {kTwoSampleTTestCode, kMcNemarCode, kSensitivityCode, kGoodnessOfFitCode};
  const int code = kCodes[data[0] % 4];
  const int sides = data[0] & 4 ? 2 : 1;
  TypingUi ui;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::size_t from = 0;
  while (from <= rest.size() && ui.texts.size() < 40) {
    const std::size_t end = std::min(rest.find('\n', from), rest.size());
    ui.texts.emplace_back(rest.substr(from, end - from));
    from = end + 1;
  }

  TTMng tables;
  if (TDTest(code, ui, MakeSignificanceLevels(sides, 0.05, 0.01), tables, nullptr)) {
    const TSTab* sheet = tables.table(1);
    if (!sheet || sheet->lines.empty()) std::abort();
    for (const std::string& line : sheet->lines) {
      if (line.find("NaN") != std::string::npos) std::abort();
      if (line.find("Testgr") != std::string::npos && line.size() > 82) std::abort();
    }
  }

  ErrorLevelForm form;
  std::string* fields[] = {&form.errorProbabilityA, &form.errorProbabilityB, &form.factorA,
                           &form.factorB,           &form.quantileA,         &form.quantileB};
  for (std::size_t i = 0; i < 6 && i < ui.texts.size(); ++i) *fields[i] = ui.texts[i];
  form.testKind = data[0] & 8 ? 2 : 1;
  form.whiskerIndex = data[0] >> 4;  // up to 15: clamped
  const ParamSettings s = ApplyErrorLevelForm(ParamSettings{}, form).settings;
  const auto inside = [](double x, double low, double high) { return x >= low - 1e-9 && x <= high + 1e-9; };
  if (!inside(s.errorProbabilityA, 0.0001, 0.25) || !inside(s.errorProbabilityB, 0.0001, 0.25) ||
      s.errorProbabilityA < s.errorProbabilityB)
    std::abort();
  if (!inside(s.factorA, 0.1, 10) || !inside(s.factorB, 0.1, 10) || s.factorA > s.factorB) std::abort();
  if (!inside(s.quantileA, 0.1, 99.9) || !inside(s.quantileB, 0.1, 99.9) || s.quantileA > s.quantileB)
    std::abort();
  if (s.whiskerIndex < 0 || s.whiskerIndex > 4) std::abort();
  return 0;
}
