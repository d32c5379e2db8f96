#include <filesystem>
#include <string>

#include "cli/batch.h"
#include "cli/batch_commands.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "core/datafile/file_objects.h"
#include "core/datafile/params.h"
#include "core/datafile/statistics_files.h"
#include "core/output/structure_listing.h"
#include "core/output/table_layout.h"

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
  if (!context.options.args.empty()) return kExitUsage;
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
