#include "core/shell/entry_command.h"

#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "core/datafile/params.h"
#include "core/entry/input_model.h"
#include "core/shell/global_state.h"

namespace veltrix {

using namespace veltrix::literals;

bool EnterData(GlobalState& state, const DataEntryStep& window) {
  if (!state.fileSelected() || !state.params) {
    state.ui.error("Keine Datei ausgewählt"_w);
    return false;
  }
  const std::string backup =
      state.backupFileName.empty() ? BackupFileName(state.currentFile) : state.backupFileName;
  InputModel model(*state.params, state.ui, state.currentFile, backup);
  if (!model.open()) return false;
  window(model);
  return model.fileChanged();
}

}  // namespace veltrix
