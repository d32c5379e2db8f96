// The study the compiler and renderer tests share, by position: A 1 (3), B 4 (5), C 9 (2), GEWICHT 11
// (5), GROESSE 16 (3), BMI 19 (5), D1 24 (8), D2 32 (8), T> 40 (10, text), NAME> 50 (20, text); and a
// statement compiled to its bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/datafile/params.h"
#include "core/manip/compiler.h"
#include "core/stats/real48.h"

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

// Pieces of expected statement bytes, assembled by the tests from the layout of a compiled statement.
inline Bytes RealBytes(double value) {
  const Real48 r = Real48::fromDouble(value);
  return Bytes(r.bytes.begin(), r.bytes.end());
}
inline Bytes Concatenated(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}
// The six bytes in front of a statement: target position (16-bit), type byte, third byte, code, k.
inline Bytes StatementHead(int position, int type, int third, int code, int k) {
  return {static_cast<std::uint8_t>(position & 255), static_cast<std::uint8_t>(position >> 8),
          static_cast<std::uint8_t>(type),           static_cast<std::uint8_t>(third),
          static_cast<std::uint8_t>(code),           static_cast<std::uint8_t>(k)};
}

// The bytes of a statement that must compile.
inline Bytes CompiledBytes(const std::string& line, const TParams& params) {
  const StatementResult result = CompileStatement(line, params);
  EXPECT_EQ(result.error, kCompileOk) << line;
  return Bytes(result.statement.bytes.begin(), result.statement.bytes.begin() + result.statement.length);
}

}  // namespace veltrix::test
