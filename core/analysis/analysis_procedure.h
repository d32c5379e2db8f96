// What an analysis family plugs into the data pass: a procedure that receives the records of the pass
// as numbered events and, after the pass, writes its tables. A family is one file pair under
// core/procedures and one row in core/procedures/families.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "core/datafile/params.h"
#include "core/stats/significance.h"

namespace veltrix {

class Ui;
class TTMnX;
class RecordBuffer;

// Event codes of the data pass.
enum AnalysisEvent : int {
  kEventStart = 0,        // the procedure creates and initialises its state; no record
  kEventRecord = 1,       // a record
  kEventLastRecord = 9,   // the last record of the pass
  kEventEndOfPass1 = 11,  // pass 1 finished, pass 2 begins (two-pass kinds)
  kEventFinished = 10,    // all passes finished; complete the accumulation
  kEventCancelled = 99,   // the run is cancelled; discard everything
};

// Everything a procedure may read or write during one run.
struct AnalysisContext {
  AnalysisContext(Ui& u, TParams& p, TTMnX& t, int analysisCode)
      : ui(u), params(p), tables(t), code(analysisCode) {}

  Ui& ui;
  TParams& params;  // selection slots, structure, groups, class divisions
  TTMnX& tables;    // the result
  int code = 0;     // analysis code
  // The working copy of the significance settings and the settings of the parameter file (factors,
  // quantile percentages).
  SignificanceLevels significance;
  int preferredTestMethod = 1;  // 0 parametric, 1 non-parametric
  double whiskerFactor = 1.0001;
  ParamSettings settings;
  // The five work files of the run (".$$a", ".$$b", ".$$m", ".$$x", ".$$y").
  std::array<std::string, 5> workFiles;
  // Set true by the run at its start; cleared by procedures (overlapping groups, a repeated
  // variable) to suppress tests.
  bool testsAllowed = true;
  bool testsAllowed2 = true;
};

// Takes a parameter file's settings into the context: the stored settings themselves, the levels
// with their texts, the preferred method and the whisker factor (what opening the file gives the
// window's working copy).
void UseFileSettings(AnalysisContext& context, const ParamSettings& settings);

class AnalysisProcedure {
 public:
  virtual ~AnalysisProcedure() = default;
  // Events 0, 1, 9, 11 (record is valid for 1 and 9 only). False ends the run as failed (a work
  // file could not be written); the procedure has reported why.
  virtual bool event(int code, const RecordBuffer& record) = 0;
  // Event 10: all records are in; complete the accumulation. False: the run failed.
  virtual bool finishPass() = 0;
  // Event 99: discard work files and state.
  virtual void cancel() = 0;
  // The finishing routine: computes and writes the tables into the context's table manager.
  virtual void writeTables() = 0;
  // Passes the family needs (2 for the multivariate kind).
  virtual int passCount() const { return 1; }
};

}  // namespace veltrix
