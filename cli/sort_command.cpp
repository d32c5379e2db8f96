// STATFILE sort NAME [--memory MIB] [--progress]: sorts the records of the statistics file by the
// variable NAME, as command 1500 does.
#include <cstdint>
#include <optional>
#include <string>

#include "cli/batch.h"
#include "cli/batch_commands.h"
#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/entry/file_sort.h"
#include "core/stats/text_helpers.h"

namespace veltrix::cli {

using namespace veltrix::literals;

namespace {

constexpr std::int64_t kMaxMemoryMib = 2048;

struct SortArguments {
  std::string variable;
  std::int64_t memoryMib = 32;
  bool progress = false;
};

std::optional<std::int64_t> WholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool ParseArguments(BatchContext& context, SortArguments& parsed) {
  const std::vector<std::string>& args = context.options.args;
  if (args.empty() || args[0].empty() || args[0][0] == '-') {
    context.ui.error("sort erwartet einen Variablennamen, z. B. sort ALTER");
    return false;
  }
  parsed.variable = utf8ToWin1252(args[0]);
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--progress") {
      parsed.progress = true;
    } else if (a == "--memory") {
      const std::optional<std::int64_t> mib = i + 1 < args.size() ? WholeNumber(args[i + 1]) : std::nullopt;
      if (!mib || *mib < 1 || *mib > kMaxMemoryMib) {
        context.ui.error("--memory erwartet eine Zahl von 1 bis " + std::to_string(kMaxMemoryMib) +
                         " (MiB Arbeitsspeicher)");
        return false;
      }
      parsed.memoryMib = *mib;
      ++i;
    } else {
      context.ui.error("sort kennt die Angabe " + utf8ToWin1252(a) + " nicht");
      return false;
    }
  }
  return true;
}

const char* PhaseText(SortPhase phase) {
  switch (phase) {
    case SortPhase::Reading:
      return "gelesen";
    case SortPhase::Merging:
      return "zusammengeführt";
    case SortPhase::Writing:
      return "geschrieben";
  }
  return "";
}

}  // namespace

int runSort(BatchContext& context) {
  SortArguments parsed;
  if (!ParseArguments(context, parsed)) return kExitUsage;
  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  // The names the dialog offers: the variables in table order, then "*DSNR".
  const std::vector<std::string> names = params.listVariables(VariableListMode::All).items;
  const std::string_view wanted = TrimmedView(parsed.variable);
  int index = -1;
  for (std::size_t i = 0; i < names.size() && index < 0; ++i)
    if (TrimmedView(names[i]) == wanted) index = static_cast<int>(i);
  if (index < 0 || wanted.empty()) {
    context.ui.error("Variable " + std::string(wanted) + " ist nicht vorhanden");
    return kExitFailed;
  }
  const VariableEntry variable =
      params.getVariable(index + 1 <= params.variableCount() ? index + 1 : kDsnrIndex);
  SortOptions options;
  options.memoryBytes = parsed.memoryMib << 20;
  std::ostream& err = context.ui.errorStream();
  if (parsed.progress)
    options.onProgress = [&err](SortPhase phase, std::int64_t count) {
      err << "Sortieren: " << count << " Datensätze " << PhaseText(phase) << '\n';
    };
  TFSort sort(context.ui, context.options.statFile,
              SortField{std::string(wanted), variable.position, variable.typeByte}, options);
  const SortResult result = sort.run();
  if (result.outcome != SortResult::Outcome::Done) return kExitFailed;
  context.output.writeLine(std::string("Datensätze sortiert: "_w) + std::to_string(result.records));
  return kExitDone;
}

}  // namespace veltrix::cli
