// STATFILE manip CMDFILE [--group N] [--check] [--show]: compiles a command file of the manipulation
// language and runs it over the statistics file.
#include <algorithm>
#include <string>

#include "cli/batch.h"
#include "cli/batch_commands.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "core/datafile/params.h"
#include "core/manip/compiler.h"
#include "core/manip/manip_editor.h"
#include "core/manip/manip_run.h"
#include "core/manip/render.h"

namespace veltrix::cli {
namespace {

struct ManipArguments {
  std::string commandFile;
  int group = 0;
  bool check = false;
  bool show = false;
};

bool ParseArguments(BatchContext& context, ManipArguments& parsed) {
  const std::vector<std::string>& args = context.options.args;
  if (args.empty() || args[0].empty() || args[0][0] == '-') {
    context.ui.error("manip erwartet eine Befehlsdatei, z. B. manip studie.bf1 --group 2");
    return false;
  }
  parsed.commandFile = args[0];
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--check") {
      parsed.check = true;
    } else if (a == "--show") {
      parsed.show = true;
    } else if (a == "--group") {
      const std::optional<int> group =
          i + 1 < args.size() ? GroupOrClassNumber(context, args[i + 1], 255, "--group") : std::nullopt;
      if (!group) {
        if (i + 1 >= args.size()) context.ui.error("--group erwartet eine Gruppennummer");
        return false;
      }
      parsed.group = *group;
      ++i;
    } else {
      context.ui.error("manip kennt die Angabe " + utf8ToWin1252(a) + " nicht");
      return false;
    }
  }
  return true;
}

}  // namespace

int runManip(BatchContext& context) {
  ManipArguments parsed;
  if (!ParseArguments(context, parsed)) return kExitUsage;
  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  const std::vector<int> groups = ManipGroupNumbers(params);
  if (std::find(groups.begin(), groups.end(), parsed.group) == groups.end()) {
    context.ui.error("Gruppe " + std::to_string(parsed.group) + " ist nicht definiert.");
    return kExitFailed;
  }
  if (ProbeFile(parsed.commandFile).kind != EntryKind::RegularFile) {
    context.ui.error(fileNameForDisplay(parsed.commandFile) + ": Datei nicht gefunden");
    return kExitFailed;
  }
  const auto lines = ReadCommandFile(context.ui, parsed.commandFile);
  if (!lines) return kExitFailed;
  const ProgramResult compiled = CompileProgram(*lines, params);
  if (!compiled.ok) {
    context.ui.error(fileNameForDisplay(parsed.commandFile) + ", Zeile " + std::to_string(compiled.line + 1) +
                     ": " + compiled.message);
    return kExitFailed;
  }
  if (parsed.show)
    for (const std::string& line : RenderProgram(compiled.program, params)) context.output.writeLine(line);
  if (parsed.check) return kExitDone;
  const ManipRunResult run =
      RunProgram(context.ui, context.options.statFile, compiled.program, params.getGroup(parsed.group));
  if (run.outcome != ManipRunResult::Outcome::Done) return kExitFailed;
  context.output.writeLine(std::string("Datensätze gelesen: "_w) + std::to_string(run.recordsRead));
  context.output.writeLine(std::string("Datensätze geschrieben: "_w) + std::to_string(run.recordsWritten));
  return kExitDone;
}

}  // namespace veltrix::cli
