// The analysis families: which procedure receives the data pass of an analysis code.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/analysis/analysis_procedure.h"

namespace veltrix {

// Whether the code has a descriptor and a family that runs it.
bool HasAnalysis(int code);

// The procedure of the code's kind, or nullptr when no family handles the kind.
std::unique_ptr<AnalysisProcedure> CreateProcedure(AnalysisContext& context);

}  // namespace veltrix

namespace veltrix {

struct AnalysisRunResult {
  bool ok = false;  // the pass ran and the tables are written
  bool cancelled = false;
  bool progressShown = false;
  std::int64_t records = 0;
};

// Runs an accepted analysis: clears the tables, sends the records of statisticsFile through the
// family's procedure and lets it write its tables; then the table manager learns the analysis code,
// its help topic (code x 10 + 1) and the caption. A code whose kind has no family runs nothing
// (ok false, nothing shown). progress receives every percentage the progress box would show.
AnalysisRunResult RunAnalysisPass(AnalysisContext& context, const std::string& statisticsFile,
                                  const std::string& title, void (*progress)(void*, double) = nullptr,
                                  void* progressContext = nullptr);

}  // namespace veltrix
