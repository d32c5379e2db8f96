// Any bytes as a command file and two records: the part before the first 0x1E byte is the command
// text, the parts after it (up to the next 0x1E) are the records' characters. The text either
// compiles or gives its message; a compiled program renders to text that compiles to the same bytes
// (unless a rendered line is longer than a logical line may be), and runs on both records, the
// auxiliary stores carried from one to the next, without reading or writing outside anything.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"
#include "core/manip/command_lines.h"
#include "core/manip/compiler.h"
#include "core/manip/evaluator.h"
#include "core/manip/render.h"
#include "tests/support/recording_ui.h"

namespace {

const veltrix::TParams& studyParams() {
  static veltrix::test::RecordingUi ui;
  static veltrix::TParams params = [] {
    veltrix::TParams p(ui);
    p.putVariable(1, "A", 1, 4);
    p.putVariable(2, "B", 5, 6);
    p.putVariable(3, "D1>", 11, 10);
    p.putVariable(4, "D2>", 21, 10);
    p.putVariable(5, "T>", 31, 20);
    p.putVariable(6, "Z1", 51, 8);
    p.putVariable(7, "Z2", 59, 8);
    p.setVariableCount(7);
    return p;
  }();
  return params;
}

std::string_view part(std::string_view input, std::size_t& from) {
  if (from > input.size()) return {};
  const std::size_t end = input.find('\x1E', from);
  const std::string_view piece =
      input.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from);
  from = end == std::string_view::npos ? input.size() + 1 : end + 1;
  return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const veltrix::TParams& params = studyParams();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t from = 0;
  const std::string_view text = part(input, from);
  const std::string_view record1 = part(input, from);
  const std::string_view record2 = part(input, from);

  const veltrix::ProgramResult compiled = veltrix::CompileProgram(veltrix::SplitPhysicalLines(text), params);
  if (!compiled.ok) {
    if (compiled.message.empty() || compiled.error < 1 || compiled.error > 13) std::abort();
    return 0;
  }
  if (compiled.program.bytes.size() > veltrix::kMaxProgramBytes + 2) std::abort();

  const std::vector<std::string> rendered = veltrix::RenderProgram(compiled.program, params);
  bool fits = true;
  for (const std::string& line : rendered)
    if (line.size() > static_cast<std::size_t>(veltrix::kMaxCommandLine)) fits = false;
  if (fits) {
    const veltrix::ProgramResult again = veltrix::CompileProgram(rendered, params);
    if (!again.ok || again.program.bytes != compiled.program.bytes) std::abort();
  }

  veltrix::AuxiliaryStores stores;
  int writes = 0;
  const veltrix::RecordWriter writer = [&writes](const veltrix::RecordBuffer&) { return ++writes < 1000; };
  for (const std::string_view chars : {record1, record2}) {
    veltrix::RecordBuffer record;
    record.write(1, chars.substr(0, veltrix::kRecordLength));
    (void)veltrix::ExecuteProgram(compiled.program, record, stores, writer);
    std::string lines;
    record.appendLines(lines);
  }
  return 0;
}
