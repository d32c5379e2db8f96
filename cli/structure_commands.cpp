#include <filesystem>
#include <string>

#include "cli/batch.h"
#include "cli/batch_commands.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "core/datafile/params.h"
#include "core/output/structure_listing.h"
#include "core/output/table_layout.h"

namespace veltrix::cli {
namespace {

using namespace veltrix::literals;

bool isStatisticsFileName(const std::string& name) {
  return name.find(".dt") != std::string::npos;
}

// The statistics file of the command line, refused when it cannot be one.
bool checkStatisticsFileName(BatchContext& context) {
  if (isStatisticsFileName(context.options.statFile)) return true;
  context.ui.error(context.options.statFile + ": keine Statistikdatei (die Endung beginnt nicht mit .dt)");
  return false;
}

}  // namespace

int runStructure(BatchContext& context) {
  if (!context.options.args.empty()) return kExitUsage;
  if (!checkStatisticsFileName(context)) return kExitFailed;
  const std::string& file = context.options.statFile;
  const std::string paramFile = ChangeExtension(file, "prm");
  if (!std::filesystem::exists(file)) {
    context.ui.error(file + " : " + "\r" + "Datei existiert nicht!");
    return kExitFailed;
  }
  if (!std::filesystem::exists(paramFile)) {
    context.ui.error(paramFile + ": " + "Parameterdatei existiert nicht!");
    return kExitFailed;
  }
  TParams params(context.ui);
  // A parameter file that cannot be read leaves the statistics file unselected: nothing is listed.
  if (params.read(paramFile) != ParamsReadStatus::Ok) return kExitFailed;

  TTMnX tables;
  TSShowPrep(params, tables);
  WriteResultTables(context, tables, std::filesystem::path(file).filename().string());
  return kExitDone;
}

int runCreate(BatchContext& context) {
  if (!context.options.args.empty()) return kExitUsage;
  if (!checkStatisticsFileName(context)) return kExitFailed;
  const std::string& file = context.options.statFile;
  if (std::filesystem::exists(file)) {
    context.ui.error(file + " : " + "\r\n\r\n" + "Datei existiert schon!");
    return kExitFailed;
  }
  if (!CreateEmptyFile(file)) {
    context.ui.error(file + " :" + "\r\n\r\n" + "Datei kann nicht angelegt werden!");
    return kExitFailed;
  }
  // An existing parameter file belongs to the new statistics file as well (a.dt1 and a.dt2 share
  // a.prm); only a missing one gets the default contents.
  const std::string paramFile = ChangeExtension(file, "prm");
  if (std::filesystem::exists(paramFile)) {
    context.ui.information(paramFile + ": vorhandene Parameterdatei wird verwendet");
    return kExitDone;
  }
  TParams params(context.ui);
  if (!params.createDefault(paramFile)) {
    DeleteFile(file);
    return kExitFailed;
  }
  return kExitDone;
}

}  // namespace veltrix::cli
