// Command line of veltrix-batch:
//   veltrix-batch [--out FILE] [--csv[=SEP]] [--yes] STATFILE COMMAND [ARGS]
//   veltrix-batch [--out FILE] [--csv[=SEP]] - COMMAND [ARGS]      (commands that need no file)
//   veltrix-batch --help | --version
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace veltrix::cli {

struct BatchOptions {
  bool help = false;
  bool version = false;
  std::string outFile;  // empty: standard output
  bool csv = false;
  char separator = ';';  // with csv
  bool yes = false;      // confirm questions are answered Yes instead of No
  std::string statFile;  // "-" for none
  std::string command;
  std::vector<std::string> args;
};

struct ParsedOptions {
  std::optional<BatchOptions> options;
  std::string error;  // usage error when options is empty
};

ParsedOptions parseBatchOptions(const std::vector<std::string>& argv);

}  // namespace veltrix::cli
