// Any bytes twice: as the lines of a group definition, which either compile or give their message and,
// once compiled, render to text that compiles to the same definition; and as a stored group record
// (cut or zero-padded to 512 bytes), which the membership test and the rendering take without reading
// outside it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"
#include "core/groups/group_language.h"
#include "tests/support/recording_ui.h"

namespace {

const veltrix::TParams& studyParams() {
  static veltrix::test::RecordingUi ui;
  static veltrix::TParams params = [] {
    veltrix::TParams p(ui);
    p.putVariable(1, "ALTER", 1, 3);
    p.putVariable(2, "GESCHL", 4, 1);
    p.putVariable(3, "GEWICHT", 5, 6);
    p.putVariable(4, "NAME>", 11, 20);
    p.putVariable(5, "ORT>", 31, 10);
    p.setVariableCount(5);
    return p;
  }();
  return params;
}

const veltrix::RecordBuffer& sampleRecord() {
  static const veltrix::RecordBuffer buffer = [] {
    veltrix::RecordBuffer b;
    b.write(1, " 25");
    b.write(4, "1");
    b.write(5, "72,5");
    b.write(11, "Meierhofer");
    b.write(31, "a;b;c");
    b.setRecordNumber(17);
    return b;
  }();
  return buffer;
}

std::vector<std::uint8_t> definitionOf(const veltrix::GroupRecord& group) {
  return std::vector<std::uint8_t>(group.begin() + veltrix::kGroupDefinitionOffset, group.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const veltrix::TParams& params = studyParams();
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // (a) The input as definition lines.
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= input.size()) {
    const std::size_t end = std::min(input.find('\n', start), input.size());
    lines.emplace_back(input.substr(start, end - start));
    start = end + 1;
  }
  const veltrix::GroupCompileResult first = veltrix::CompileGroupDefinition(params, lines, "Titel", "Kurz");
  if (first.ok) {
    const std::vector<std::string> rendered = veltrix::RenderGroupDefinition(params, first.record);
    const veltrix::GroupCompileResult again =
        veltrix::CompileGroupDefinition(params, rendered, "Titel", "Kurz");
    if (!again.ok || definitionOf(again.record) != definitionOf(first.record)) std::abort();
    (void)veltrix::IsInGroup(sampleRecord().text(), first.record);
  } else if (first.message.empty() || first.lineIndex < 0 ||
             static_cast<std::size_t>(first.lineIndex) >= lines.size()) {
    std::abort();
  }

  // (b) The input as a stored group record.
  veltrix::GroupRecord raw{};
  std::copy_n(data, std::min(size, raw.size()), raw.begin());
  (void)veltrix::IsInGroup(sampleRecord().text(), raw);
  (void)veltrix::IsInGroup(input, raw);
  (void)veltrix::IsInGroup(std::string_view(), raw);
  (void)veltrix::RenderGroupDefinition(params, raw);
  return 0;
}
