#include "core/shell/startup.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <random>

#include "core/base/ui.h"
#include "core/datafile/file_names.h"
#include "core/datafile/params.h"
#include "core/output/print_manager.h"
#include "core/output/table_layout.h"
#include "core/shell/file_opening.h"
#include "core/shell/global_state.h"
#include "core/shell/sys_params.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

void BuildProgramState(GlobalState& state, const StartupEnvironment& environment) {
  state.ui.flags().cancelRequested = false;
  state.ui.flags().ready = true;
  state.currentHelpContext = 0;
  state.screenWidth = environment.screenWidth;
  state.screenHeight = environment.screenHeight;

  // File names keep their case. The companion names use the whole program name, so that two long
  // names can never share a ".pth" or ".fil" file.
  const std::filesystem::path executable(environment.executablePath);
  state.programDirectory = executable.parent_path().string();
  if (state.programDirectory.empty()) state.programDirectory = ".";
  state.baseName = executable.stem().string();
  state.pathFileName = JoinPath(state.programDirectory, state.baseName + ".pth");
  state.lastFileFileName = JoinPath(state.programDirectory, state.baseName + ".fil");
  state.sysFileName = JoinPath(state.programDirectory, state.baseName + ".sys");

  state.dataPath = ReadFirstLine(state.pathFileName);
  state.lastFile = ReadFirstLine(state.lastFileFileName);
  // A name the system cannot look at (a link loop, a name too long, a directory that may not be
  // searched) is forgotten like a missing file; it must never stop the start.
  std::error_code lastFileError;
  if (!state.lastFile.empty() && !std::filesystem::is_regular_file(state.lastFile, lastFileError))
    state.lastFile.clear();
  if (state.dataPath.empty()) state.dataPath = JoinPath(state.programDirectory, "data");
  state.dataPath = NormaliseDirectory(state.dataPath);
  if (state.dataPath.empty()) state.dataPath = state.programDirectory;

  state.sysParams = std::make_unique<TSysP>(state.ui, state.sysFileName);
  state.sysParams->load();

  const std::string copy = JoinPath(state.programDirectory, "copy");
  state.copyDirectory = DirectoryExists(copy) && !copy.empty() ? copy : state.programDirectory;
  state.copyBaseName = LowerText(state.baseName.substr(0, 4)) + "copy";
  state.printer = std::make_unique<TPrnManager>(state.ui);
  state.printer->setProgramBaseName(state.baseName);
  state.printer->setPrinterFont(state.sysParams->printerFont());
  state.printer->setAutoPrint(!state.sysParams->printSaveAutomaticOff());
  state.printer->fileSelected("", state.copyDirectory, state.copyBaseName);
}

void FinishStartup(GlobalState& state, const StartupEnvironment& environment) {
  state.mainHelpContext = kMainHelpContext;
  state.tableHelpContext = kTableHelpContext;
  state.graphHelpContext = kGraphHelpContext;
  state.currentHelpContext = kMainHelpContext;

  state.tables = std::make_unique<TTMnX>();
  try {
    state.params = std::make_unique<TParams>(state.ui);
  } catch (const std::bad_alloc&) {
    state.ui.fatal("Speicher zu klein");
    return;
  }
  const std::string unique = UniqueWorkName(environment.randomSeed, environment.millisecondsOfDay);
  const char* const extensions[] = {".$$a", ".$$b", ".$$m", ".$$x", ".$$y"};
  for (std::size_t i = 0; i < state.workFiles.size(); ++i)
    state.workFiles[i] = JoinPath(state.programDirectory, unique + extensions[i]);

  state.currentFile = state.lastFile;
  OpenStatisticsFile(state, OpenMode::Startup);
  state.titleWord = "KVT";
}

std::string UniqueWorkName(std::uint32_t randomSeed, std::int64_t millisecondsOfDay) {
  static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::mt19937 random(randomSeed);
  std::string name;
  name.push_back(kDigits[10 + random() % 26]);
  name.push_back(kDigits[random() % 36]);
  // 22^6 = 113379904 exceeds the milliseconds of a day (86400000), so six digits always suffice.
  std::int64_t ms = std::clamp<std::int64_t>(millisecondsOfDay, 0, 86'399'999);
  std::string time(6, '0');
  for (int i = 5; i >= 0; --i) {
    time[static_cast<std::size_t>(i)] = kDigits[ms % 22];
    ms /= 22;
  }
  return name + time;
}

bool MayClose(GlobalState& state) {
  if (!state.ui.flags().ready) return false;
  return state.ui.confirm("Beenden?");
}

void ShutDown(GlobalState& state) {
  if (state.printer) {
    if (state.printer->bufferedTables() > 0 &&
        !state.ui.confirm("Druckerpuffer ist nicht leer!\r\n\r\n   Ausdrucken?"))
      state.printer->DropBuffer();
    state.printer->Flush();  // a page already begun is finished either way
  }
  for (const std::string& file : state.workFiles)
    if (!file.empty()) DeleteFile(file);
  state.params.reset();
  state.tables.reset();
  if (state.sysParams) state.sysParams->save();
}

}  // namespace veltrix
