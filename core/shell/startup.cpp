#include "core/shell/startup.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
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
namespace {

std::string programDirectoryOf(const StartupEnvironment& environment) {
  const std::string directory = std::filesystem::path(environment.executablePath).parent_path().string();
  return directory.empty() ? "." : directory;
}

bool isRegularFile(const std::string& name) {
  return ProbeFile(name).kind == EntryKind::RegularFile;
}

// Anything under the name, a link that points nowhere included: such a name is never written over.
bool exists(const std::string& name) {
  struct stat info {};
  return !name.empty() && ::lstat(name.c_str(), &info) == 0;
}

// The first start in a configuration directory of its own: the installed sample study becomes the
// user's copy in "data" (never replacing a file there), the last file and the data path.
void seedSampleStudy(GlobalState& state, const StartupEnvironment& environment) {
  if (exists(state.lastFileFileName)) return;
  const std::string& sample = environment.sampleStudy;
  const std::string sampleParams = ParameterFileName(sample);
  if (!IsStatisticsFileName(sample) || !isRegularFile(sample) || !isRegularFile(sampleParams)) return;

  const std::string data = JoinPath(state.configDirectory, "data");
  const std::string copy = JoinPath(data, std::filesystem::path(sample).filename().string());
  if (!exists(copy)) {
    std::error_code ignored;
    std::filesystem::create_directories(data, ignored);
    const std::string copyParams = ParameterFileName(copy);
    if (exists(copyParams)) return;  // a parameter file of the user's own is never replaced
    // The parameter file first: a statistics file without its parameter file would be deselected.
    if (CopyFile(state.ui, sampleParams, copyParams) != TFileCopy::Result::Copied) {
      DeleteFile(copyParams);
      return;
    }
    if (CopyFile(state.ui, sample, copy) != TFileCopy::Result::Copied) {
      DeleteFile(copy);
      DeleteFile(copyParams);
      return;
    }
  }
  WriteLineFile(state.pathFileName, data);
  WriteLineFile(state.lastFileFileName, copy);
}

}  // namespace

bool DirectoryWritable(const std::string& directory) {
  if (directory.empty() || directory.find('\0') != std::string::npos) return false;
  std::string probe = JoinPath(directory, ".veltrix-probe-XXXXXX");
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

std::string ConfigurationDirectory(const StartupEnvironment& environment) {
  const std::string program = programDirectoryOf(environment);
  if (environment.programDirectoryWritable) return program;
  // Relative values of XDG_CONFIG_HOME are to be ignored.
  if (!environment.configHome.empty() && environment.configHome.front() == '/')
    return JoinPath(environment.configHome, "veltrix");
  if (!environment.homeDirectory.empty() && environment.homeDirectory.front() == '/')
    return JoinPath(JoinPath(environment.homeDirectory, ".config"), "veltrix");
  return program;
}

std::string PrepareConfigurationDirectory(const StartupEnvironment& environment) {
  const std::string directory = ConfigurationDirectory(environment);
  std::error_code ignored;
  std::filesystem::create_directories(directory, ignored);
  return directory;
}

void BuildProgramState(GlobalState& state, const StartupEnvironment& environment) {
  state.ui.flags().cancelRequested = false;
  state.ui.flags().ready = true;
  state.currentHelpContext = 0;
  state.screenWidth = environment.screenWidth;
  state.screenHeight = environment.screenHeight;

  // File names keep their case. The companion names use the whole program name, so that two long
  // names can never share a ".pth" or ".fil" file.
  const std::filesystem::path executable(environment.executablePath);
  state.programDirectory = programDirectoryOf(environment);
  state.configDirectory = PrepareConfigurationDirectory(environment);
  state.baseName = executable.stem().string();
  state.pathFileName = JoinPath(state.configDirectory, state.baseName + ".pth");
  state.lastFileFileName = JoinPath(state.configDirectory, state.baseName + ".fil");
  state.sysFileName = JoinPath(state.configDirectory, state.baseName + ".sys");
  if (state.configDirectory != state.programDirectory) seedSampleStudy(state, environment);

  state.dataPath = ReadFirstLine(state.pathFileName);
  state.lastFile = ReadFirstLine(state.lastFileFileName);
  // A name the system cannot look at (a link loop, a name too long, a directory that may not be
  // searched) is forgotten like a missing file; it must never stop the start.
  if (!state.lastFile.empty() && !isRegularFile(state.lastFile)) state.lastFile.clear();
  if (state.dataPath.empty()) state.dataPath = JoinPath(state.configDirectory, "data");
  state.dataPath = NormaliseDirectory(state.dataPath);
  if (state.dataPath.empty()) state.dataPath = state.configDirectory;

  state.sysParams = std::make_unique<TSysP>(state.ui, state.sysFileName);
  state.sysParams->load();

  const std::string copy = JoinPath(state.configDirectory, "copy");
  state.copyDirectory = DirectoryExists(copy) && !copy.empty() ? copy : state.configDirectory;
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
    state.workFiles[i] = JoinPath(state.configDirectory, unique + extensions[i]);

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

void ShutDown(GlobalState& state, ShutDownMode mode) {
  if (state.printer) {
    if (state.printer->bufferedTables() > 0 &&
        (mode == ShutDownMode::Unattended ||
         !state.ui.confirm("Druckerpuffer ist nicht leer!\r\n\r\n   Ausdrucken?")))
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
