#include "core/shell/analysis_command.h"

#include "core/analysis/descriptors.h"
#include "core/analysis/variable_selection.h"
#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/output/table_layout.h"
#include "core/procedures/families.h"
#include "core/shell/global_state.h"

namespace veltrix {

bool RunAnalysis(GlobalState& state, int code, const SelectionStep& select) {
  if (!state.fileSelected() || !state.params) {
    state.ui.error("Keine Datei ausgewählt"_w);
    return false;
  }
  const PreparedAnalysis prepared = PrepareDescriptor(code);
  if (prepared.descriptor.empty() || !HasAnalysis(code)) return false;
  VariableSelectionModel model(state.ui, *state.params, code, prepared.descriptor, prepared.title);
  if (!select(model)) return false;
  AnalysisContext context{state.ui, *state.params, *state.tables, code};
  context.significance = state.significance;
  context.preferredTestMethod = state.preferredTestMethod;
  context.whiskerFactor = state.whiskerFactor;
  context.settings = state.params->settings();
  context.workFiles = state.workFiles;
  return RunAnalysisPass(context, state.currentFile, prepared.title).ok;
}

}  // namespace veltrix
