// veltrix-batch: the program's commands without a window, dialog answers given as arguments.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace veltrix::cli {

enum ExitStatus : int {
  kExitDone = 0,
  kExitUsage = 1,   // the command line is wrong
  kExitFailed = 2,  // the command refused or failed
};

// Runs one batch command line (without the program name); results go to out, messages to err.
int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The text of --help.
std::string batchHelpText();

}  // namespace veltrix::cli
