#include "core/shell/global_state.h"

#include "core/datafile/params.h"
#include "core/directtests/error_levels.h"
#include "core/output/print_manager.h"
#include "core/output/table_layout.h"
#include "core/shell/sys_params.h"

namespace veltrix {

GlobalState::GlobalState(Ui& ui_) : ui(ui_) {}

GlobalState::~GlobalState() = default;

void ApplySettings(GlobalState& state, const ParamSettings& settings) {
  state.significance = LevelsOf(settings);
  state.preferredTestMethod = settings.testMethod == 0 ? 0 : 1;
  state.whiskerFactor = WhiskerFactorOf(settings);
}

void RestoreSignificanceDefaults(GlobalState& state) {
  ApplySettings(state, ParamSettings{});
}

}  // namespace veltrix
