// Selecting the statistics file: the names derived from it, the opening flow with its questions, the
// interactive choice (command 1100) and the data-path preset (command 1700).
#pragma once

#include <functional>
#include <string>

namespace veltrix {

struct GlobalState;

enum class OpenMode {
  Startup,      // reopening the last file: a missing parameter file deselects silently
  Interactive,  // a file the user chose: missing files and parameter files may be created
};

// Parameter file, backup, display and short name and directory of the current file (all empty when
// no file is selected).
void DerivePerFileNames(GlobalState& state);

// Opens state.currentFile: a name whose file name's extension does not begin with "dt" (in any case)
// is no statistics file; a missing file is created with its parameter file after the create prompt
// (CreateStatisticsFile); anything but a regular file (a directory, a pipe, a link loop, a name the
// system refuses) gets the file layer's message. The parameter file - found whatever the case of its
// name - is read, or in interactive mode created with the default contents. Whenever the file
// cannot be used it is deselected (current file empty).
void OpenStatisticsFile(GlobalState& state, OpenMode mode);

// "&Struktur neu berechnen" is offered while the current statistics file holds no data (shorter than
// 6 bytes or missing).
bool StructureEntryEnabled(const GlobalState& state);

// The main window caption: the title word, and " - " + the display name (at most 80 characters) while
// a file is selected.
std::string WindowCaption(const GlobalState& state);

// Command 1100: the file selection for statistics files; a chosen name becomes the current file (the
// result windows are reset first), is opened interactively and remembered as the last file. False when
// the user cancelled.
bool ChooseStatisticsFile(GlobalState& state, const std::function<void()>& resetResultWindows);

// Command 1700: the path dialog on the data path; a chosen directory becomes the data path and is
// written to the path file. False when cancelled.
bool PresetDataPath(GlobalState& state);

}  // namespace veltrix
