#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/batch_commands.h"
#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/groups/class_editor.h"
#include "core/stats/number_parse.h"
#include "core/stats/text_helpers.h"

namespace veltrix::cli {
namespace {

using namespace veltrix::literals;

std::optional<ClassDivisionType> textKind(std::string_view name) {
  if (name == "equal") return ClassDivisionType::Equal;
  if (name == "contains") return ClassDivisionType::Contains;
  if (name == "begins") return ClassDivisionType::BeginsWith;
  return std::nullopt;
}

}  // namespace

std::optional<int> GroupOrClassNumber(BatchContext& context, const std::string& text, int high,
                                      const char* what) {
  const ParsedNumber n = ParseField(text);
  if (n.decimals == 0 && n.intValue >= 0 && n.intValue <= high) return n.intValue;
  context.ui.error(std::string(what) + " erwartet eine Nummer von 0 bis " + std::to_string(high) + ": " +
                   utf8ToWin1252(text));
  return std::nullopt;
}

// The selections of the analyses refer to the old groups and divisions, so they are cleared, as the
// management dialog does when it closes.
int SaveChangedParameters(TParams& params) {
  params.clearSelectionSlots(0);
  return params.write() ? kExitDone : kExitFailed;
}

int runClass(BatchContext& context) {
  const std::vector<std::string>& args = context.options.args;
  if (args.size() < 2) {
    context.ui.error("class erwartet N show | delete | set [--text equal|contains|begins] WERTE...");
    return kExitUsage;
  }
  const auto number = GroupOrClassNumber(context, args[0], kMaxClassDivisions, "class");
  if (!number) return kExitUsage;
  const std::string& action = args[1];
  std::vector<std::string> values(args.begin() + 2, args.end());
  ClassDivisionType kind = ClassDivisionType::Numeric;
  if (action == "set" && !values.empty() && values[0] == "--text") {
    const auto text = values.size() > 1 ? textKind(values[1]) : std::nullopt;
    if (!text) {
      context.ui.error("--text erwartet equal, contains oder begins");
      return kExitUsage;
    }
    kind = *text;
    values.erase(values.begin(), values.begin() + 2);
  }
  if (action != "show" && action != "delete" && action != "set") {
    context.ui.error("class erwartet show, delete oder set, nicht " + utf8ToWin1252(action));
    return kExitUsage;
  }
  if (action != "set" && !values.empty()) {
    context.ui.error("class " + action + " erwartet keine weiteren Argumente");
    return kExitUsage;
  }
  if (values.size() > static_cast<std::size_t>(TEditKls::kRowCount)) {
    context.ui.error("Höchstens 29 Werte"_w);
    return kExitUsage;
  }
  const std::size_t longest =
      kind == ClassDivisionType::Numeric ? TEditKls::kNumericInputLength : TEditKls::kTextInputLength;
  for (const std::string& value : values) {
    if (utf8ToWin1252(value).size() > longest) {
      context.ui.error(std::string("Wert zu lang (höchstens "_w) + std::to_string(longest) +
                       " Zeichen): " + utf8ToWin1252(value));
      return kExitUsage;
    }
  }

  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  if (action == "show") {
    context.output.writeLine(params.classDivisionText(*number));
    const ClassDivisionRecord record = params.getClassDivision(*number);
    const TEditKls shown(context.ui, *number, record);
    for (const std::string& row : shown.rows())
      if (!row.empty()) context.output.writeLine(row);
    return kExitDone;
  }
  if (*number == 0) {
    context.ui.error("Klasseneinteilung 0 kann nicht geändert werden!"_w);
    return kExitFailed;
  }
  if (action == "delete") {
    params.putClassDivision(*number, ClassDivisionRecord{});
    return SaveChangedParameters(params);
  }
  // The values are typed into the editor row by row, and its OK check decides.
  TEditKls editor(context.ui, *number, ClassDivisionRecord{});
  editor.setType(kind);
  for (std::size_t i = 0; i < values.size(); ++i) {
    editor.selectRow(static_cast<int>(i));
    editor.setEditText(utf8ToWin1252(values[i]));
    editor.enter();
  }
  const ClassEditResult result = editor.ok();
  if (result.outcome == ClassEditOutcome::Refused) return kExitFailed;
  params.putClassDivision(*number, result.record);
  return SaveChangedParameters(params);
}

}  // namespace veltrix::cli
