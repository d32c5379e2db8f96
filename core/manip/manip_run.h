// The run of a compiled program over the statistics file: every record is read, the program runs on
// the members of the chosen group, and every record (changed or not, COPYDS copies included) goes to
// the work file, which then replaces the statistics file; the previous file becomes its backup.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/datafile/params.h"
#include "core/manip/compiler.h"

namespace veltrix {

class Ui;

// The cancel dialog shows the count every this many records.
inline constexpr int kManipCountStep = 20;

struct ManipRunResult {
  enum class Outcome {
    Done,       // the work file replaced the statistics file
    Empty,      // "Datei ist leer (oder nicht vorhanden)"
    Cancelled,  // the work file was deleted, the statistics file is unchanged
    Failed,     // a write, the flush or the swap failed: reported, the statistics file is unchanged
  };
  Outcome outcome = Outcome::Failed;
  std::int64_t recordsRead = 0;
  std::int64_t recordsWritten = 0;
};

struct ManipRunOptions {
  // Fails the write of this record (1-based count of records written; 0: never), to test the
  // handling of a full disk.
  std::int64_t failWriteAt = 0;
};

// The groups a run may be limited to: the defined groups among 0..20, as the group choice lists them
// ("{3" + the group text, the number in characters 3..5).
std::vector<int> ManipGroupNumbers(const TParams& params);
// The group number of a line of that list; -1 when it holds none.
int GroupNumberOfListLine(std::string_view line);

// The work file of a statistics file: its name with the extension "$$$".
std::string ManipWorkFileName(const std::string& statisticsFile);

// Runs program over statisticsFile for the members of group (a record of the parameter object).
// Shows the cancel dialog "Datenmanipulation ausführen" with the count of records read.
ManipRunResult RunProgram(Ui& ui, const std::string& statisticsFile, const CommandProgram& program,
                          const GroupRecord& group, const ManipRunOptions& options = {});

}  // namespace veltrix
