#include "core/shell/manip_command.h"

#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/manip/manip_editor.h"
#include "core/manip/manip_run.h"
#include "core/shell/global_state.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

constexpr std::string_view kChooseTitle = "Befehlsdatei auswählen oder neu anlegen (neuer Dateiname)"_w;
constexpr int kChooseHelp = 14100;

}  // namespace

bool EditAndRunCommands(GlobalState& state, const ManipEditorStep& edit) {
  if (!state.fileSelected() || !state.params) {
    state.ui.error("Keine Datei ausgewählt"_w);
    return false;
  }
  FileRequest request;
  request.title = std::string(kChooseTitle);
  request.initialDirectory = state.currentDirectory;
  request.defaultName = state.shortName + ".bf1";
  request.helpContext = kChooseHelp;
  request.modes = "RAC";
  const std::string pattern = state.shortName + ".bf*";
  request.filter = "Befehlsdateien (" + pattern + ")|" + pattern;
  const std::optional<std::string> chosen = state.ui.selectFile(request);
  if (!chosen) return false;

  ManipEditorModel model(*state.params, state.ui, *chosen);
  if (!edit(model)) return false;

  ListRequest groups;
  groups.caption = "Datenmanipulation";
  groups.label = "Ausführen für Gruppe :"_w;
  groups.items = state.params->listGroups().items;
  groups.wide = true;
  const int index = state.ui.selectFromList(groups);
  if (index < 0 || index >= static_cast<int>(groups.items.size())) return false;
  const int group = GroupNumberOfListLine(groups.items[static_cast<std::size_t>(index)]);
  if (group < 0) return false;
  const ManipRunResult run =
      RunProgram(state.ui, state.currentFile, model.program(), state.params->getGroup(group));
  return run.outcome == ManipRunResult::Outcome::Done;
}

}  // namespace veltrix
