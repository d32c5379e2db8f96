#include "core/datafile/statistics_files.h"

#include "core/base/file_prompts.h"
#include "core/base/ui.h"
#include "core/datafile/file_names.h"
#include "core/datafile/params.h"

namespace veltrix {

CreateResult CreateStatisticsFile(Ui& ui, TParams& params, const std::string& statisticsFile,
                                  const std::string& parameterFile, std::string_view shownName) {
  const FileProbe statistics = ProbeFile(statisticsFile);
  const bool statisticsMissing = statistics.kind == EntryKind::Missing;
  // A name that cannot be created (its directory is missing or not writable) is refused before the
  // parameter file is touched.
  const bool completing = statistics.kind == EntryKind::RegularFile && statistics.size == 0;
  if (!(completing || (statisticsMissing && CanCreateFile(statisticsFile)))) {
    showCannotCreate(ui, shownName);
    return CreateResult::Failed;
  }

  // The parameter file comes first: it is written whole through a temporary file, so a stop in
  // between leaves no statistics file that lacks one.
  const bool parametersExisted = ProbeFile(parameterFile).kind != EntryKind::Missing;
  if (parametersExisted) {
    // A directory, a pipe, a link loop or a damaged file under that name is reported by the reader;
    // it is never "used" and never replaced by a second, empty parameter file.
    if (params.read(parameterFile) != ParamsReadStatus::Ok) {
      params.reset();
      return CreateResult::Failed;
    }
  } else if (!params.createDefault(parameterFile)) {
    return CreateResult::Failed;
  }

  if (statisticsMissing && !CreateNewEmptyFile(statisticsFile)) {
    showCannotCreate(ui, shownName);
    if (!parametersExisted) DeleteFile(parameterFile);
    params.reset();
    return CreateResult::Failed;
  }
  return parametersExisted ? CreateResult::CreatedWithExistingParameters : CreateResult::Created;
}

}  // namespace veltrix
