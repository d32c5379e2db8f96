// The one state record of the running program: where it lives, which statistics file is selected, which
// command runs, and the single objects of the run. The application (or a test) owns it and passes it by
// reference; there are no mutable globals.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/stats/significance.h"

namespace veltrix {

class Ui;
class TSysP;
class TParams;
class TTMnX;
class TPrnManager;
struct ParamSettings;

inline constexpr std::string_view kApplicationTitle = "Veltrix_5.x";
inline constexpr std::int32_t kMainHelpContext = 90000;
inline constexpr std::int32_t kTableHelpContext = 100000;
inline constexpr std::int32_t kGraphHelpContext = 200000;

struct GlobalState {
  explicit GlobalState(Ui& ui);
  ~GlobalState();
  GlobalState(const GlobalState&) = delete;
  GlobalState& operator=(const GlobalState&) = delete;

  // The Ui holds the ready flag, the cancel-request flag and the placement hint.
  Ui& ui;

  // ---- program-wide, set at start-up
  std::string programDirectory;  // of the executable, without a trailing "/"
  // The program directory when it is writable, else $XDG_CONFIG_HOME/veltrix (ConfigurationDirectory).
  std::string configDirectory;
  std::string baseName;          // the executable's name without extension
  std::string pathFileName;      // configDirectory/baseName.pth: the data path
  std::string lastFileFileName;  // configDirectory/baseName.fil: the last statistics file
  std::string sysFileName;       // configDirectory/baseName.sys: the system parameters
  std::string titleWord;         // "KVT" once started: the first word of the main window caption
  std::string dataPath;          // default directory of the file dialogs
  std::string lastFile;          // statistics file to reopen at start-up
  std::string copyDirectory;     // saved copies of results: configDirectory/copy, else configDirectory
  std::string copyBaseName;      // first four characters of the base name + "copy"
  int screenWidth = 0;
  int screenHeight = 0;
  std::int32_t currentHelpContext = 0;
  std::int32_t mainHelpContext = kMainHelpContext;
  std::int32_t tableHelpContext = kTableHelpContext;
  std::int32_t graphHelpContext = kGraphHelpContext;
  // configDirectory/<unique name>.$$a, and the same with $$b, $$m, $$x, $$y
  std::array<std::string, 5> workFiles;

  // ---- per statistics file; all empty while no file is selected
  std::string currentFile;
  std::string parameterFileName;  // the extension replaced by "prm", or the file of that name in another case
  std::string backupFileName;     // "dt" of the extension replaced by "db" (BackupFileName)
  std::string displayName;        // without directory, as Windows-1252 text (fileNameForDisplay)
  std::string shortName;          // file name without directory and extension (file-system bytes)
  std::string currentDirectory;

  // ---- the working copy of the current file's significance settings (defaults without a file)
  SignificanceLevels significance = MakeSignificanceLevels(1, 0.05, 0.01);
  int preferredTestMethod = 1;    // 0 parametric, 1 non-parametric
  double whiskerFactor = 1.0001;  // of box-and-whisker plots

  // ---- the inputs of the last direct test that ran to its end: its code and the dialog's texts,
  // row by row; the table window's test button repeats it with them (code 0: none)
  int directTestCode = 0;
  std::vector<std::string> directTestInputs;

  // ---- per command
  std::int32_t commandCode = 0;
  std::int32_t commandGroup = 0;    // code / 10
  std::int32_t commandVariant = 0;  // code % 10

  // ---- the single objects of the run
  std::unique_ptr<TSysP> sysParams;
  std::unique_ptr<TParams> params;
  std::unique_ptr<TTMnX> tables;         // the tables of the current result
  std::unique_ptr<TPrnManager> printer;  // printer buffer and protocol files

  bool fileSelected() const { return !currentFile.empty(); }
};

// The significance settings of a file as the working copy: sidedness, both levels with their derived
// texts, the preferred test method and the whisker factor.
void ApplySettings(GlobalState& state, const ParamSettings& settings);
// The working copy of the default settings (one-sided, 0.05 and 0.01, non-parametric, whisker 1).
void RestoreSignificanceDefaults(GlobalState& state);

}  // namespace veltrix
