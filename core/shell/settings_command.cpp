#include "core/shell/settings_command.h"

#include "core/datafile/params.h"
#include "core/directtests/error_levels.h"
#include "core/shell/global_state.h"

namespace veltrix {

bool StoreErrorLevels(GlobalState& state, const ErrorLevelForm& form) {
  if (!state.params) return false;
  TParams& params = *state.params;
  const ParamSettings before = params.settings();
  const ErrorLevelChange change = ApplyErrorLevelForm(before, form);
  if (!change.changed) return false;
  params.setSettings(change.settings);
  if (!params.write()) {
    params.setSettings(before);
    return false;
  }
  ApplySettings(state, change.settings);
  return true;
}

}  // namespace veltrix
