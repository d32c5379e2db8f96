#include "core/shell/sort_command.h"

#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/shell/global_state.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

constexpr int kSortHelp = 15000;

}  // namespace

bool SortCurrentFile(GlobalState& state, const SortOptions& options) {
  if (!state.fileSelected() || !state.params) {
    state.ui.error("Keine Datei ausgewählt"_w);
    return false;
  }
  const TParams& params = *state.params;
  ListRequest request;
  request.caption = "Datei sortieren";
  request.label = "Variable für Sortierung auswählen :"_w;
  request.items = params.listVariables(VariableListMode::All).items;
  request.helpNumber = kSortHelp;
  const int index = state.ui.selectFromList(request);
  if (index < 0 || index >= static_cast<int>(request.items.size())) return false;
  // The list holds the variables in table order, then "*DSNR", which every index past them reads as.
  const VariableEntry variable =
      params.getVariable(index + 1 <= params.variableCount() ? index + 1 : kDsnrIndex);
  SortField field{std::string(TrimmedView(variable.name)), variable.position, variable.typeByte};
  TFSort sort(state.ui, state.currentFile, field, options);
  return sort.run().outcome == SortResult::Outcome::Done;
}

}  // namespace veltrix
