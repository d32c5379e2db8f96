#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/batch_commands.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "core/datafile/file_objects.h"
#include "core/datafile/params.h"
#include "core/datafile/statistics_files.h"
#include "core/datafile/structure_edit.h"
#include "core/output/structure_listing.h"
#include "core/output/table_layout.h"
#include "core/stats/text_helpers.h"

namespace veltrix::cli {
namespace {

using namespace veltrix::literals;

// The statistics file of the command line, refused when it cannot be one.
bool checkStatisticsFileName(BatchContext& context) {
  if (IsStatisticsFileName(context.options.statFile)) return true;
  context.ui.error(fileNameForDisplay(context.options.statFile) +
                   ": keine Statistikdatei (die Endung beginnt nicht mit .dt)");
  return false;
}

// A directory, a pipe, a link loop or a name the system refuses: the file layer's message.
bool refuseUnlessRegular(BatchContext& context, const std::string& file, const FileProbe& probe) {
  if (probe.kind == EntryKind::RegularFile) return false;
  ShowFileError(context.ui, file, CannotOpenMessage());
  return true;
}

constexpr std::string_view kStructureUsage =
    "structure erwartet append NAME:FL... | recompute [NAME:FL...] | define NAME:FA:FL... | rename ALT NEU | "
    "delete NAME...";
constexpr std::size_t kNoDataBelow = 6;  // bytes: a statistics file this short holds no record

// NAME:FL or NAME:FA:FL split at the colons (a name holds none), the name converted to the program's
// text; nothing when the number of parts is not parts or a part is empty.
std::optional<std::vector<std::string>> splitItem(const std::string& argument, std::size_t parts) {
  std::vector<std::string> fields;
  SplitList(utf8ToWin1252(argument), ':', fields);
  if (fields.size() != parts) return std::nullopt;
  for (const std::string& field : fields)
    if (field.empty()) return std::nullopt;
  return fields;
}

std::optional<std::vector<std::vector<std::string>>> splitItems(BatchContext& context, std::size_t parts) {
  std::vector<std::vector<std::string>> items;
  const std::vector<std::string>& args = context.options.args;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::optional<std::vector<std::string>> item = splitItem(args[i], parts);
    if (!item) {
      context.ui.error("structure " + args[0] + " erwartet " + (parts == 2 ? "NAME:FL" : "NAME:FA:FL") +
                       ", nicht " + utf8ToWin1252(args[i]));
      return std::nullopt;
    }
    items.push_back(std::move(*item));
  }
  return items;
}

// Types a text into an edit of the dialog; the edit takes at most a few characters and refuses more.
bool typeInto(BatchContext& context, StructureList& dialog, StructureField field, const std::string& text) {
  if (dialog.setEditText(field, text)) return true;
  switch (field) {
    case StructureField::Name:
      context.ui.error("Unzulässiger Variablenname"_w);
      break;
    case StructureField::Position:
      context.ui.error("Unzulässiger Wert für Feldanfang"_w);
      break;
    case StructureField::Length:
      context.ui.error("Unzulässige Feldlänge"_w);
      break;
  }
  return false;
}

// Names the argument a refusal belongs to, after the dialog's own message.
int refusedAt(BatchContext& context, const std::vector<std::string>& item) {
  std::string text;
  for (const std::string& field : item) text += (text.empty() ? "" : ":") + field;
  context.ui.information("abgelehnt bei " + text + ", nichts gespeichert");
  return kExitFailed;
}

// The empty item at the end of the list, which takes the next variable; nothing when the list is full.
bool selectEmptyItem(BatchContext& context, StructureList& dialog) {
  const int last = static_cast<int>(dialog.items().size()) - 1;
  if (last < 0 || !dialog.items()[static_cast<std::size_t>(last)].empty()) {
    context.ui.error("Maximale Anzahl von Variablen belegt.");
    return false;
  }
  dialog.selectItem(last);
  return true;
}

// NAME:FL items typed into the append dialog, as the user types them into its empty item.
int appendItems(BatchContext& context, TNeuVar& dialog, const std::vector<std::vector<std::string>>& items) {
  for (const std::vector<std::string>& item : items) {
    if (!selectEmptyItem(context, dialog) || !typeInto(context, dialog, StructureField::Name, item[0]) ||
        !typeInto(context, dialog, StructureField::Length, item[1]) ||
        dialog.enter(StructureField::Length) != EntryOutcome::Stored)
      return refusedAt(context, item);
  }
  return kExitDone;
}

int saveStructure(const StructureList& dialog, TParams& params) {
  if (!dialog.changed()) return kExitDone;
  return SaveEditedStructure(dialog.items(), params) ? kExitDone : kExitFailed;
}

// The item of that name, as stored or as typed in upper case; -1 with the message when there is none.
int findNamed(BatchContext& context, const StructureList& dialog, const std::string& name) {
  int index = dialog.findItem(name);
  if (index < 0) index = dialog.findItem(UpperText(name));
  if (index < 0) context.ui.error(name + ": Variable nicht vorhanden");
  return index;
}

int runAppend(BatchContext& context, TParams& params, const std::vector<std::vector<std::string>>& items) {
  TNeuVar dialog(context.ui, params, NeuVarMode::Append);
  const int status = appendItems(context, dialog, items);
  return status == kExitDone ? saveStructure(dialog, params) : status;
}

// The warning first (answered by --yes); then the list given replaces the variables, or without a list
// the variables as they stand get consecutive positions.
int runRecompute(BatchContext& context, TParams& params, const std::vector<std::vector<std::string>>& items) {
  if (FileSize(context.options.statFile) >= static_cast<std::int64_t>(kNoDataBelow)) {
    context.ui.error(fileNameForDisplay(context.options.statFile) +
                     std::string(": die Statistikdatei enthält schon Daten, die Struktur wird nicht neu "
                                 "berechnet"_w));
    return kExitFailed;
  }
  std::string warning;
  for (const std::string& text : TSWarn::texts()) warning += (warning.empty() ? "" : "\r\n") + text;
  context.ui.beep();
  if (!context.ui.warning(warning)) return kExitFailed;
  TNeuVar dialog(context.ui, params, NeuVarMode::Recompute);
  if (!items.empty()) {
    dialog.selectItem(0);
    while (!dialog.items().front().empty()) dialog.removeItem();
  }
  const int status = appendItems(context, dialog, items);
  return status == kExitDone ? saveStructure(dialog, params) : status;
}

// NAME:FA:FL: a new variable in the empty item, or a new place for the variable of that name.
int runDefine(BatchContext& context, TParams& params, const std::vector<std::vector<std::string>>& items) {
  TFreiV dialog(context.ui, params);
  for (const std::vector<std::string>& item : items) {
    int index = dialog.findItem(item[0]);
    if (index < 0) index = dialog.findItem(UpperText(item[0]));
    if (index >= 0) {
      dialog.selectItem(index);
    } else if (!selectEmptyItem(context, dialog)) {
      return refusedAt(context, item);
    }
    if (!typeInto(context, dialog, StructureField::Name, item[0]) ||
        !typeInto(context, dialog, StructureField::Position, item[1]) ||
        !typeInto(context, dialog, StructureField::Length, item[2]) ||
        dialog.enter(StructureField::Length) != EntryOutcome::Stored)
      return refusedAt(context, item);
  }
  return saveStructure(dialog, params);
}

int runRename(BatchContext& context, TParams& params) {
  const std::vector<std::string>& args = context.options.args;
  TFreiV dialog(context.ui, params);
  const std::string oldName = utf8ToWin1252(args[1]);
  const std::string newName = utf8ToWin1252(args[2]);
  const int index = findNamed(context, dialog, oldName);
  if (index < 0) return kExitFailed;
  dialog.selectItem(index);
  if (!typeInto(context, dialog, StructureField::Name, newName) ||
      dialog.enter(StructureField::Name) != EntryOutcome::Stored)
    return refusedAt(context, {oldName, newName});
  return saveStructure(dialog, params);
}

// Each deletion is asked as the dialog asks it; only --yes answers Yes.
int runDelete(BatchContext& context, TParams& params) {
  const std::vector<std::string>& args = context.options.args;
  TFreiV dialog(context.ui, params);
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string name = utf8ToWin1252(args[i]);
    const int index = findNamed(context, dialog, name);
    if (index < 0) return kExitFailed;
    dialog.selectItem(index);
    if (!dialog.removeItem()) return refusedAt(context, {name});
  }
  return saveStructure(dialog, params);
}

int editStructure(BatchContext& context) {
  const std::vector<std::string>& args = context.options.args;
  const std::string& action = args[0];
  std::optional<std::vector<std::vector<std::string>>> items;
  if (action == "append" || action == "recompute" || action == "define") {
    if (args.size() < 2 && action != "recompute") {
      context.ui.error(std::string(kStructureUsage));
      return kExitUsage;
    }
    items = splitItems(context, action == "define" ? 3 : 2);
    if (!items) return kExitUsage;
  } else if ((action == "rename" && args.size() != 3) || (action == "delete" && args.size() < 2) ||
             (action != "rename" && action != "delete")) {
    context.ui.error(std::string(kStructureUsage));
    return kExitUsage;
  }
  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  if (action == "append") return runAppend(context, params, *items);
  if (action == "recompute") return runRecompute(context, params, *items);
  if (action == "define") return runDefine(context, params, *items);
  if (action == "rename") return runRename(context, params);
  return runDelete(context, params);
}

}  // namespace

bool ReadStudyParameters(BatchContext& context, TParams& params) {
  if (!checkStatisticsFileName(context)) return false;
  const std::string& file = context.options.statFile;
  const FileProbe statistics = ProbeFile(file);
  if (statistics.kind == EntryKind::Missing) {
    context.ui.error(fileNameForDisplay(file) + " : " + "\r" + "Datei existiert nicht!");
    return false;
  }
  if (refuseUnlessRegular(context, file, statistics)) return false;
  const std::string paramFile = ParameterFileName(file);
  if (ProbeFile(paramFile).kind == EntryKind::Missing) {
    context.ui.error(fileNameForDisplay(paramFile) + ": " + "Parameterdatei existiert nicht!");
    return false;
  }
  // A parameter file that cannot be read leaves the statistics file unselected: nothing is done.
  return params.read(paramFile) == ParamsReadStatus::Ok;
}

int runStructure(BatchContext& context) {
  if (!context.options.args.empty()) return editStructure(context);
  TParams params(context.ui);
  if (!ReadStudyParameters(context, params)) return kExitFailed;
  TTMnX tables;
  TSShowPrep(params, tables);
  WriteResultTables(context, tables, std::filesystem::path(context.options.statFile).filename().string());
  return kExitDone;
}

int runCreate(BatchContext& context) {
  if (!context.options.args.empty()) return kExitUsage;
  if (!checkStatisticsFileName(context)) return kExitFailed;
  const std::string& file = context.options.statFile;
  const std::string paramFile = ParameterFileName(file);
  // An empty statistics file without a parameter file is what an interrupted create leaves; it is
  // completed. A file with data, or an empty one that has its parameter file, exists already.
  const FileProbe statistics = ProbeFile(file);
  if (statistics.kind != EntryKind::Missing) {
    if (refuseUnlessRegular(context, file, statistics)) return kExitFailed;
    if (statistics.size > 0 || ProbeFile(paramFile).kind != EntryKind::Missing) {
      context.ui.error(fileNameForDisplay(file) + " : " + "\r\n\r\n" + "Datei existiert schon!");
      return kExitFailed;
    }
  }
  // An existing parameter file belongs to the new statistics file as well (a.dt1 and a.dt2 share
  // a.prm) when it reads without a fault; only a missing one gets the default contents.
  TParams params(context.ui);
  switch (CreateStatisticsFile(context.ui, params, file, paramFile, fileNameForDisplay(file))) {
    case CreateResult::Failed:
      return kExitFailed;
    case CreateResult::CreatedWithExistingParameters:
      context.ui.information(fileNameForDisplay(paramFile) + ": vorhandene Parameterdatei wird verwendet");
      return kExitDone;
    case CreateResult::Created:
      return kExitDone;
  }
  return kExitFailed;
}

}  // namespace veltrix::cli
