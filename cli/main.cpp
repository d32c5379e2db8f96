#include <iostream>
#include <string>
#include <vector>

#include "cli/batch.h"

int main(int argc, char* argv[]) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return veltrix::cli::runBatch(args, std::cout, std::cerr);
}
