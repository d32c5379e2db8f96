// Start-up and shutdown of the program state: the companion files next to the executable, the data
// path, the system parameters, the work-file names, reopening the last statistics file.
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
};

// The program-wide part of the state: program directory and base name, companion file names, data
// path and last file from the companion files, the system parameters loaded from the ".sys" file (the
// caller applies them with its canvas), the copy directory. Clears the cancel request, sets the ready
// flag.
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
// parameters saved.
void ShutDown(GlobalState& state);

}  // namespace veltrix
