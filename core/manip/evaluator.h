// Runs a compiled program on one record: reads the fields its statements name, evaluates formulas and
// functions, treats missing values, and writes the results into the record buffer.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "core/datafile/stat_record.h"
#include "core/manip/compiler.h"

namespace veltrix {

// The eight auxiliary stores kept between records (72 characters, H1 first). A run starts with all
// "0"; H1..H4 are blanked before each record, H5..H8 carry over.
struct AuxiliaryStores {
  std::array<char, kAuxiliaryStores * kAuxiliaryStoreLength> chars;
  AuxiliaryStores() { chars.fill('0'); }
};

// Writes the record as it stands to the output; false when the write failed.
using RecordWriter = std::function<bool(const RecordBuffer& record)>;

struct StatementState {
  bool active = true;
  bool exit = false;
  bool writeFailed = false;  // a COPYDS write failed
};

// Outcome of a formula.
struct FormulaValue {
  bool ok = false;  // false: a division by 0, a domain error, a malformed code or a non-finite value
  double value = 0.0;
};

// operands[i - 1] is Vi for i = 1..k. Reads only inside code[0..length).
FormulaValue EvaluateFormula(const std::uint8_t* code, int length, const double* operands, int k);

// One statement on the record (the buffer with the auxiliary stores at 7822..7893).
void ExecuteStatement(const std::uint8_t* statement, int length, RecordBuffer& record, StatementState& state,
                      const RecordWriter& writer);

// All statements on one record: prepares the auxiliary stores from saved, runs the statements until
// EXIT or the end, saves the stores again. False when a COPYDS write failed (the run must stop).
bool ExecuteProgram(const CommandProgram& program, RecordBuffer& record, AuxiliaryStores& saved,
                    const RecordWriter& writer);

}  // namespace veltrix
