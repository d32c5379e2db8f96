#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/batch_commands.h"
#include "core/base/win1252.h"
#include "core/datafile/file_objects.h"
#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"
#include "core/groups/group_language.h"
#include "core/groups/group_management.h"
#include "core/stats/text_helpers.h"

namespace veltrix::cli {
namespace {

using namespace veltrix::literals;

bool defined(const GroupRecord& g) {
  return g[kGroupDefinitionOffset] != 0;
}

int refuseGroupZero(BatchContext& context) {
  context.ui.error("Gruppe 0 kann nicht geändert werden!"_w);
  return kExitFailed;
}

int showGroup(BatchContext& context, const TParams& params, int n) {
  const GroupRecord g = params.getGroup(n);
  context.output.writeLine(params.groupText(n));
  context.output.writeLine("Kurz-Bez. : " + GroupTitle(g, kGroupShortNameOffset, kGroupShortNameLength));
  for (const std::string& line : RenderGroupDefinition(params, g)) context.output.writeLine(line);
  return kExitDone;
}

// group N set [--title T] [--short S] [LINE...]: without lines only the titles change and the stored
// definition is kept as it is.
int setGroup(BatchContext& context, TParams& params, int n, const std::vector<std::string>& args) {
  const GroupRecord stored = params.getGroup(n);
  std::string longTitle = GroupTitle(stored, kGroupNameOffset, kGroupNameLength);
  std::string shortTitle = GroupTitle(stored, kGroupShortNameOffset, kGroupShortNameLength);
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if ((args[i] == "--title" || args[i] == "--short") && i + 1 < args.size()) {
      (args[i] == "--title" ? longTitle : shortTitle) = utf8ToWin1252(args[i + 1]);
      ++i;
    } else {
      lines.push_back(utf8ToWin1252(args[i]));
    }
  }
  GroupRecord record{};
  if (lines.empty()) {
    // Titles alone: the definition bytes stay (rendering and compiling again could change values
    // that do not fit the text form).
    record = stored;
    SetGroupTitle(record, kGroupNameOffset, kGroupNameLength, longTitle);
    SetGroupTitle(record, kGroupShortNameOffset, kGroupShortNameLength, shortTitle);
  } else {
    const GroupCompileResult compiled = CompileGroupDefinition(params, lines, longTitle, shortTitle);
    if (!compiled.ok) {
      context.ui.error("Zeile " + std::to_string(compiled.lineIndex + 1) + ": " + compiled.message);
      return kExitFailed;
    }
    record = compiled.record;
  }
  params.putGroup(n, record);
  return SaveChangedParameters(params);
}

}  // namespace

int runGroup(BatchContext& context) {
  const std::vector<std::string>& args = context.options.args;
  if (args.size() < 2 || (args[1] != "show" && args[1] != "delete" && args[1] != "set")) {
    context.ui.error("group erwartet N show | delete | set [--title T] [--short S] ZEILE...");
    return kExitUsage;
  }
  const auto n = GroupOrClassNumber(context, args[0], kMaxGroups, "group");
  if (!n) return kExitUsage;
  if (args[1] != "set" && args.size() > 2) {
    context.ui.error("group " + args[1] + " erwartet keine weiteren Argumente");
    return kExitUsage;
  }
  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  if (args[1] == "show") return showGroup(context, params, *n);
  if (*n == 0) return refuseGroupZero(context);
  if (args[1] == "delete") {
    params.putGroup(*n, GroupRecord{});
    return SaveChangedParameters(params);
  }
  return setGroup(context, params, *n, std::vector<std::string>(args.begin() + 2, args.end()));
}

int runCombine(BatchContext& context) {
  const std::vector<std::string>& args = context.options.args;
  if (args.size() != 4 || (args[3] != "--and" && args[3] != "--or")) {
    context.ui.error("combine erwartet A B T --and|--or");
    return kExitUsage;
  }
  std::array<int, 3> groups{};
  for (std::size_t i = 0; i < 3; ++i) {
    const auto n = GroupOrClassNumber(context, args[i], kMaxGroups, "combine");
    if (!n) return kExitUsage;
    groups[i] = *n;
  }
  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  const int target = groups[2];
  if (target == 0) return refuseGroupZero(context);
  if (!IsBlank(TrimBlanks(params.groupText(target).substr(5), 0)) &&
      !context.ui.confirm("Zielgruppe nicht leer. Überschreiben?"_w))
    return kExitFailed;
  const CombinationMode mode = args[3] == "--and" ? CombinationMode::Intersection : CombinationMode::Union;
  switch (CombineGroups(params, groups[0], groups[1], target, mode)) {
    case CombineOutcome::Stored:
      return SaveChangedParameters(params);
    case CombineOutcome::TooLarge:
      context.ui.error("Kombination wird zu umfangreich");
      return kExitFailed;
    case CombineOutcome::OrInvolved:
      context.ui.error("Durchschnitt nicht möglich.\r\n   Eine der Gruppen enthält OR!"_w);
      return kExitFailed;
    case CombineOutcome::TargetRefused:
      return refuseGroupZero(context);
  }
  return kExitFailed;
}

int runMembers(BatchContext& context) {
  const std::vector<std::string>& args = context.options.args;
  if (args.size() != 1) {
    context.ui.error("members erwartet die Nummer einer Gruppe");
    return kExitUsage;
  }
  const auto n = GroupOrClassNumber(context, args[0], kMaxGroups, "members");
  if (!n) return kExitUsage;
  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  const GroupRecord group = params.getGroup(*n);
  if (*n != 0 && !defined(group)) {
    context.ui.error("Gruppe Nr. " + std::to_string(*n) + " ist nicht definiert");
    return kExitFailed;
  }
  TTxtRFile file(context.ui);
  if (!file.open(context.options.statFile)) return kExitFailed;
  TextFileLineSource lines(file);
  RecordReader reader(lines);
  RecordBuffer buffer;
  while (reader.next(buffer))
    if (IsInGroup(buffer.text(), group)) context.output.writeLine(std::to_string(reader.recordCount()));
  return file.error() ? kExitFailed : kExitDone;
}

}  // namespace veltrix::cli
