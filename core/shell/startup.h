// Start-up and shutdown of the program state: the configuration directory with the companion files,
// the data path, the system parameters, the work-file names, reopening the last statistics file.
#pragma once

#include <cstdint>
#include <string>

namespace veltrix {

struct GlobalState;

// What the start-up learns from the machine; tests pass their own.
struct StartupEnvironment {
  std::string executablePath;  // absolute path of the program file
  int screenWidth = 0;
  int screenHeight = 0;
  std::uint32_t randomSeed = 0;        // for the unique work-file name
  std::int64_t millisecondsOfDay = 0;  // time of day of the start
  // Where the settings live when the program directory cannot take them.
  bool programDirectoryWritable = true;  // DirectoryWritable(program directory)
  std::string configHome;                // $XDG_CONFIG_HOME, "" when unset
  std::string homeDirectory;             // $HOME, "" when unset
  // The installed sample statistics file (<prefix>/share/veltrix/studie.dt1), "" when there is none.
  std::string sampleStudy;
};

// True when a file can be created in the directory: tried with a uniquely named file that is removed
// at once. Write bits alone do not tell (root ignores them, a read-only mount overrides them).
bool DirectoryWritable(const std::string& directory);

// The directory of the companion files (".sys", ".fil", ".pth"), the copy folder and the work files:
// the program directory when it is writable (a build tree, a private installation). Otherwise
// $XDG_CONFIG_HOME/veltrix when that is an absolute path, else $HOME/.config/veltrix; the program
// directory again when neither is known.
std::string ConfigurationDirectory(const StartupEnvironment& environment);
// ConfigurationDirectory, created with its parents when missing (a failure shows later, when the
// companion files cannot be written). The application makes it the working directory.
std::string PrepareConfigurationDirectory(const StartupEnvironment& environment);

// The program-wide part of the state: program directory and base name, the configuration directory,
// companion file names, data path and last file from the companion files, the system parameters loaded
// from the ".sys" file (the caller applies them with its canvas), the copy directory. Clears the cancel
// request, sets the ready flag.
//
// A first start in a configuration directory apart from the program (no ".fil" there yet) copies the
// installed sample study into its "data" folder, unless a statistics file of that name is there
// already, and makes it the last file and that folder the data path: the sample study opens, and the
// parameter file and the backup written beside it land in the user's folder, not in the read-only
// installation.
void BuildProgramState(GlobalState& state, const StartupEnvironment& environment);

// The rest of the start-up: help contexts, the parameter object, the five work-file names, the last
// statistics file reopened in start-up mode, the title word "KVT".
void FinishStartup(GlobalState& state, const StartupEnvironment& environment);

// Eight characters: a letter A..Z, a character of 0..9 A..Z, then the time of day in milliseconds as six
// base-22 digits (0..9, A..L), most significant first.
std::string UniqueWorkName(std::uint32_t randomSeed, std::int64_t millisecondsOfDay);

// The close question: refused while the ready flag is clear, otherwise "Beenden?".
bool MayClose(GlobalState& state);
// After the close was granted: the work files are deleted, the parameter object freed and the system
// parameters saved. A filled printer buffer is printed if the user says so; an unattended shutdown (the
// program was told to end from outside) asks nothing and drops it.
enum class ShutDownMode { Asking, Unattended };
void ShutDown(GlobalState& state, ShutDownMode mode = ShutDownMode::Asking);

}  // namespace veltrix
