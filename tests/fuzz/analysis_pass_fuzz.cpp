// Any bytes as a statistics file through the statistical parameters and the frequency tables: the
// first byte chooses the analysis (11, 13 with two or three variables, 19, 31 to 34, numeric or text
// classes) and the test method; every record reaches the
// cells, the counting work file and the tests. Nothing may crash, read out of bounds, or print a
// number that is not finite.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/analysis/descriptors.h"
#include "core/analysis/selection_slots.h"
#include "core/analysis/variable_selection.h"
#include "core/base/ui.h"
#include "core/datafile/params.h"
#include "core/groups/group_language.h"
#include "core/output/table_layout.h"
#include "core/procedures/families.h"
#include "core/stats/real48.h"

namespace {

class QuietUi : public veltrix::Ui {
 protected:
  bool doMessage(BoxKind, std::string_view, int) override { return false; }
  void doBeep() override {}
  void doTerminate() override {}
  int doSelectFromList(const veltrix::ListRequest&, int) override { return kListCancelled; }
  bool doValueDialog(veltrix::ValueDialog&, int) override { return false; }
  std::optional<std::string> doSelectFile(const veltrix::FileRequest&) override { return std::nullopt; }
  std::optional<std::string> doChoosePath(const veltrix::PathRequest&) override { return std::nullopt; }
  void doOpenProgress(std::string_view, std::string_view, int) override {}
  void doCloseProgress() override {}
  void doOpenCancelDialog(std::string_view, veltrix::CancelMode, bool) override {}
  void doProcessPendingInput() override {}
  void doShowCancelValue(veltrix::CancelMode, double) override {}
  void doCloseCancelDialog() override {}
};

bool Finite(const std::string& line) {
  return line.find("nan") == std::string::npos && line.find("NaN") == std::string::npos &&
         line.find("INF") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace veltrix;
  if (size == 0) return 0;
  static const std::string dir = [] {
    const std::string d = std::filesystem::temp_directory_path().string() + "/veltrix-fuzz-analysis-" +
                          std::to_string(::getpid());
    std::filesystem::create_directories(d);
    return d;
  }();
  const std::uint8_t choice = data[0];
  {
    std::ofstream out(dir + "/s.dt1", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  }
  QuietUi ui;
  TParams params(ui);
  params.putVariable(1, "X", 1, 5);
  params.putVariable(2, "G", 7, 1);
  params.putVariable(3, "Y", 9, 9);
  params.putVariable(4, "Z", 80, 4);
  params.setVariableCount(4);
  ClassDivisionRecord numeric{};
  numeric[0] = 1;
  numeric[1] = 3;  // upper bounds 1, 2, 3
  for (int i = 0; i < 3; ++i) writeReal48(i + 1, &numeric[static_cast<std::size_t>(2 + 6 * i)]);
  params.putClassDivision(1, numeric);
  ClassDivisionRecord text{};
  text[0] = 19;
  text[1] = 2 + 32 * 2;  // contains "1" or "2"
  text[2] = '1';
  text[8] = '2';
  for (int i = 3; i < 8; ++i) text[static_cast<std::size_t>(i)] = ' ';
  for (int i = 9; i < 14; ++i) text[static_cast<std::size_t>(i)] = ' ';
  params.putClassDivision(19, text);
  for (int g = 1; g <= 2; ++g) {
    const GroupCompileResult r = CompileGroupDefinition(params, {"G : " + std::to_string(g)}, "Gruppe", "G");
    if (r.ok) params.putGroup(g, r.record);
  }
  ParamSettings settings = params.settings();
  settings.testMethod = (choice >> 3) & 1;
  settings.testKind = 1 + ((choice >> 4) & 1);
  params.setSettings(settings);

  static constexpr int kCodes[] = {11, 13, 13, 19, 31, 32, 33, 34};
  const int code = kCodes[(choice & 3) + ((choice >> 5) & 1) * 4];
  const PreparedAnalysis prepared = PrepareDescriptor(code);
  VariableSelectionModel model(ui, params, code, prepared.descriptor, prepared.title);
  if (code == 11) {
    model.setEntries(kVariableBox1, {"X"});
    model.setEntries(kGroupBox1, {"0", "1", "2"});
  } else if (code == 13) {
    model.setEntries(kVariableBox1, (choice & 3) == 1 ? std::vector<std::string>{"X", "Y"}
                                                      : std::vector<std::string>{"X", "Y", "Z"});
    model.setEntries(kGroupBox1, {"0"});
    model.setCompleteCases((choice & 4) != 0);
  } else if (code == 19) {
    model.setEntries(kVariableBox1, {"X", "Y", "Z"});
    model.setEntries(kGroupBox1, {"1", "2"});
  } else if (code == 34) {
    model.setEntries(kGroupBox1, {"0", "1", "2"});
    model.setEntries(kGroupBox2, {"1", "2"});
  } else {
    // Class divisions: 1 of the standard ones (1, 2, 3 ...), 19 a text division.
    model.setEntries(kVariableBox1,
                     code == 33 ? std::vector<std::string>{"X", "Y", "Z"} : std::vector<std::string>{"X"});
    model.setEntries(kClassBox1, {(choice & 4) != 0 ? "19" : "1"});
    model.setEntries(kGroupBox1, {code == 31 ? "1" : "0"});
    if (code == 32) {
      model.setEntries(kVariableBox2, {"Y"});
      model.setEntries(kClassBox2, {"1"});
    }
  }
  if (!model.accept()) std::abort();
  TTMnX tables;
  AnalysisContext context(ui, params, tables, code);
  UseFileSettings(context, settings);
  for (std::size_t i = 0; i < 5; ++i) context.workFiles[i] = dir + "/w" + std::to_string(i);
  if (RunAnalysisPass(context, dir + "/s.dt1", prepared.title).ok) {
    for (int n = 1; n <= 9; ++n) {
      const FetchedTable t = tables.FetchTable(n);
      for (const std::string& line : t.lines)
        if (!Finite(line)) std::abort();
      for (const std::string& cell : t.grid.cells)
        if (!Finite(cell)) std::abort();
    }
  }
  return 0;
}
