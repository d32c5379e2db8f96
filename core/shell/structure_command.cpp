#include "core/shell/structure_command.h"

#include "core/base/ui.h"
#include "core/datafile/params.h"
#include "core/datafile/structure_edit.h"
#include "core/output/structure_listing.h"
#include "core/output/table_layout.h"
#include "core/shell/file_opening.h"
#include "core/shell/global_state.h"

namespace veltrix {

namespace {

constexpr int kAppendGroup = 401;
constexpr int kFreeGroup = 402;
constexpr int kRecomputeGroup = 404;
constexpr int kListingGroup = 406;

// A failed write has shown its message; the table in memory is the edited one all the same, so the
// result windows are out of date either way.
bool editAppendList(GlobalState& state, const StructureDialogs& dialogs, NeuVarMode mode) {
  TNeuVar model(state.ui, *state.params, mode);
  if (!dialogs.append || !dialogs.append(model) || !model.changed()) return false;
  SaveEditedStructure(model.items(), *state.params);
  return true;
}

}  // namespace

bool RunStructureCommand(GlobalState& state, const StructureDialogs& dialogs) {
  if (!state.params) return false;
  switch (state.commandGroup) {
    case kAppendGroup:
      return editAppendList(state, dialogs, NeuVarMode::Append);
    case kFreeGroup: {
      TFreiV model(state.ui, *state.params);
      if (!dialogs.free || !dialogs.free(model) || !model.changed()) return false;
      SaveEditedStructure(model.items(), *state.params);
      return true;
    }
    case kRecomputeGroup:
      if (!StructureEntryEnabled(state)) {
        state.ui.beep();
        return false;
      }
      state.ui.beep();
      if (!dialogs.warning || !dialogs.warning()) return false;
      return editAppendList(state, dialogs, NeuVarMode::Recompute);
    case kListingGroup:
      if (!state.tables) return false;
      TSShowPrep(*state.params, *state.tables);
      if (dialogs.showListing) dialogs.showListing();
      return false;
    default:
      state.ui.beep();
      return false;
  }
}

}  // namespace veltrix
