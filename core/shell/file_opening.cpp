#include "core/shell/file_opening.h"

#include <filesystem>

#include "core/base/file_prompts.h"
#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "core/datafile/file_objects.h"
#include "core/datafile/params.h"
#include "core/datafile/statistics_files.h"
#include "core/output/print_manager.h"
#include "core/shell/global_state.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;

// The printer buffer is printed out for the old file; protocol copies of the new one go next to it.
void announceToPrinter(GlobalState& state) {
  if (!state.printer) return;
  if (state.fileSelected())
    state.printer->fileSelected(state.displayName, state.currentDirectory, state.shortName);
  else
    state.printer->fileSelected("", state.copyDirectory, state.copyBaseName);
}

void deselect(GlobalState& state) {
  state.currentFile.clear();
  DerivePerFileNames(state);
  announceToPrinter(state);
}

// A missing statistics file the user wants: created with its parameter file, in the order that
// leaves nothing unusable behind when the program stops half-way.
void createNewFile(GlobalState& state) {
  if (!state.params) {
    if (!CreateNewEmptyFile(state.currentFile)) {
      showCannotCreate(state.ui, state.displayName);
      deselect(state);
    }
    return;
  }
  if (CreateStatisticsFile(state.ui, *state.params, state.currentFile, state.parameterFileName,
                           state.displayName) == CreateResult::Failed)
    deselect(state);
}

}  // namespace

void DerivePerFileNames(GlobalState& state) {
  if (state.currentFile.empty()) {
    state.parameterFileName.clear();
    state.backupFileName.clear();
    state.displayName.clear();
    state.shortName.clear();
    state.currentDirectory.clear();
    return;
  }
  const std::filesystem::path file(state.currentFile);
  state.parameterFileName = ParameterFileName(state.currentFile);
  state.backupFileName = BackupFileName(state.currentFile);
  // The display name is text for captions, prompts and print headings; the short name stays the file
  // system's bytes, since protocol files are named after it.
  state.displayName = fileNameForDisplay(file.filename().string());
  state.shortName = ChangeExtension(file.filename().string(), "");
  state.currentDirectory = NormaliseDirectory(file.parent_path().string());
}

void OpenStatisticsFile(GlobalState& state, OpenMode mode) {
  // Whatever happens below, the tests of the next file never judge by the previous file's levels.
  RestoreSignificanceDefaults(state);
  if (!IsStatisticsFileName(state.currentFile)) state.currentFile.clear();
  DerivePerFileNames(state);
  announceToPrinter(state);
  if (!state.fileSelected()) return;

  const FileProbe file = ProbeFile(state.currentFile);
  if (file.kind == EntryKind::Missing) {
    if (!askCreate(state.ui, state.displayName)) return deselect(state);
    createNewFile(state);
    DerivePerFileNames(state);  // the directory exists now
    // A parameter file that was there already brings its own settings.
    if (state.fileSelected() && state.params) ApplySettings(state, state.params->settings());
    return;
  }
  // A directory, a pipe, a link loop or a name the system refuses is no statistics file.
  if (file.kind != EntryKind::RegularFile) {
    ShowFileError(state.ui, state.currentFile, CannotOpenMessage());
    return deselect(state);
  }

  if (!state.params) return;
  if (ProbeFile(state.parameterFileName).kind != EntryKind::Missing) {
    // A parameter file that cannot be read (damaged, or no regular file) has been reported by the
    // reader; the file stays unselected so that nothing is analysed or saved on a structure that is
    // only partly there. One of another version leaves the file selected with an empty structure.
    if (state.params->read(state.parameterFileName) == ParamsReadStatus::Damaged) return deselect(state);
    return ApplySettings(state, state.params->settings());
  }
  if (mode == OpenMode::Startup) return deselect(state);
  if (!state.ui.confirm("Parameterdatei existiert nicht!\r\n\r\n   Neu anlegen?")) return deselect(state);
  if (!state.params->createDefault(state.parameterFileName)) return deselect(state);
  ApplySettings(state, state.params->settings());
}

bool StructureEntryEnabled(const GlobalState& state) {
  return FileSize(state.currentFile) < 6;
}

std::string WindowCaption(const GlobalState& state) {
  if (!state.fileSelected()) return state.titleWord;
  return state.titleWord + " - " + state.displayName.substr(0, 80);
}

bool ChooseStatisticsFile(GlobalState& state, const std::function<void()>& resetResultWindows) {
  FileRequest request;
  request.title = "Statistikdatei auswählen oder neu anlegen (neuer Dateiname)"_w;
  request.initialDirectory = state.dataPath;
  request.defaultName = ".dt*";
  request.helpContext = 11000;
  request.modes = "RC";
  request.filter = "Statistikdateien (*.dt*)|*.dt*";
  const std::optional<std::string> chosen = state.ui.selectFile(request);
  if (!chosen) return false;
  state.currentFile = *chosen;
  if (resetResultWindows) resetResultWindows();
  OpenStatisticsFile(state, OpenMode::Interactive);
  state.lastFile = state.currentFile;
  WriteLineFile(state.lastFileFileName, state.lastFile);
  return true;
}

bool PresetDataPath(GlobalState& state) {
  PathRequest request;
  request.title = "Pfad-Voreinstellung";
  request.initialDirectory = state.dataPath;
  request.helpContext = 17000;
  const std::optional<std::string> chosen = state.ui.choosePath(request);
  if (!chosen || chosen->empty()) return false;
  const std::string directory = NormaliseDirectory(*chosen);
  if (directory.empty()) return false;
  state.dataPath = directory;
  WriteLineFile(state.pathFileName, state.dataPath);
  return true;
}

}  // namespace veltrix
