// The study the compiler and renderer tests share, by position: A 1 (3), B 4 (5), C 9 (2), GEWICHT 11
// (5), GROESSE 16 (3), BMI 19 (5), D1 24 (8), D2 32 (8), T> 40 (10, text), NAME> 50 (20, text); and a
// statement compiled to its bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/datafile/params.h"
#include "core/manip/compiler.h"

namespace veltrix::test {

using Bytes = std::vector<std::uint8_t>;

// The variables above as entries 1..10; the count is left to the caller, who may add more.
inline void PutManipStudy(TParams& params) {
  params.putVariable(1, "A", 1, 3);
  params.putVariable(2, "B", 4, 5);
  params.putVariable(3, "C", 9, 2);
  params.putVariable(4, "GEWICHT", 11, 5);
  params.putVariable(5, "GROESSE", 16, 3);
  params.putVariable(6, "BMI", 19, 5);
  params.putVariable(7, "D1", 24, 8);
  params.putVariable(8, "D2", 32, 8);
  params.putVariable(9, "T>", 40, 10);
  params.putVariable(10, "NAME>", 50, 20);
}

// The bytes of a statement that must compile.
inline Bytes CompiledBytes(const std::string& line, const TParams& params) {
  const StatementResult result = CompileStatement(line, params);
  EXPECT_EQ(result.error, kCompileOk) << line;
  return Bytes(result.statement.bytes.begin(), result.statement.bytes.begin() + result.statement.length);
}

}  // namespace veltrix::test
