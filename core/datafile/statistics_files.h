// A statistics file together with its parameter file: creating the pair so that a program killed at
// any moment leaves either nothing new, or a pair that opens, or a state that the next attempt
// completes.
#pragma once

#include <string>
#include <string_view>

namespace veltrix {

class TParams;
class Ui;

enum class CreateResult {
  Failed,                         // reported; nothing of the pair was left behind that was not there before
  Created,                        // a new parameter file with the default contents
  CreatedWithExistingParameters,  // the parameter file was there already and read without a fault
};

// Creates the statistics file statisticsFile (which must be missing and creatable, or an empty
// regular file: anything else gets the cannot-create prompt for shownName) with its parameter file
// parameterFile, and leaves params holding the parameter file's contents. The steps, each of which
// leaves a usable state when the program stops right after it:
//   1. a parameter file that exists is read (any fault of it is reported, and nothing is created);
//      a missing one is written with the default contents, whole or not at all;
//   2. a missing statistics file is then created empty and exclusively (nothing under its name is
//      followed or overwritten); when that fails, the cannot-create prompt names shownName and a
//      parameter file written in step 1 is removed again.
// An empty statistics file left without a parameter file (by a program stopped earlier) is
// completed by step 1 alone.
CreateResult CreateStatisticsFile(Ui& ui, TParams& params, const std::string& statisticsFile,
                                  const std::string& parameterFile, std::string_view shownName);

}  // namespace veltrix
