// A manipulation program runs on every record of the statistics file, so its common statements
// (assignments, IF, the auxiliary stores, date differences) must not allocate. The test binary's
// operator new counts its calls; the test is a program of its own so that the replacement does not
// reach the other tests.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "core/datafile/stat_record.h"
#include "core/manip/compiler.h"
#include "core/manip/evaluator.h"
#include "core/stats/real48.h"
#include "tests/alloc/replaced_new.h"

namespace {

std::atomic<long> g_allocations{0};

}  // namespace

bool veltrix::test::OnAllocation(std::size_t) {
  ++g_allocations;
  return true;
}

namespace veltrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

void putWord(Bytes& bytes, int value) {
  bytes.push_back(static_cast<std::uint8_t>(value & 255));
  bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 255));
}

// The layout of compiler.h: target, type, decimals or operator, code, k, the variables, the tail.
Bytes statement(std::uint8_t code, int position, int type, int byte3,
                const std::vector<std::pair<int, int>>& variables, const Bytes& tail = {}) {
  Bytes bytes;
  putWord(bytes, position);
  bytes.push_back(static_cast<std::uint8_t>(type));
  bytes.push_back(static_cast<std::uint8_t>(byte3));
  bytes.push_back(code);
  bytes.push_back(static_cast<std::uint8_t>(variables.size()));
  for (const auto& [p, t] : variables) {
    putWord(bytes, p);
    bytes.push_back(static_cast<std::uint8_t>(t));
  }
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  return bytes;
}

void operand(Bytes& code, std::uint8_t operandByte, double real, std::uint8_t following) {
  code.push_back(operandByte);
  std::uint8_t bytes[6];
  writeReal48(real, bytes);
  code.insert(code.end(), bytes, bytes + 6);
  code.push_back(following);
}

TEST(ManipProgramAllocTest, TheCommonStatementsDoNotAllocate) {
  // [BMI : 1] = [GEWICHT] / ([GROESSE] / 100 * [GROESSE] / 100); IF [ALTER] >= 65;
  // [*H5] = [*H5] + 1; END; [DAUER] = TDA:[AUFNAHME>],[ENTLASS>]; [SUMME] = SUM:[GEWICHT],[GROESSE]
  // with GEWICHT at 1 (5), GROESSE at 6 (5), ALTER at 11 (3), BMI at 14 (6), AUFNAHME> at 20 (10),
  // ENTLASS> at 30 (10), DAUER at 40 (5), SUMME at 45 (8).
  Bytes bmi{1};
  operand(bmi, kValueReference, 2, kOpDivide);
  operand(bmi, 0, 100, kOpTimes);
  operand(bmi, kValueReference, 3, kOpDivide);
  operand(bmi, 0, 100, kOpEnd);
  bmi.push_back(1);
  operand(bmi, kValueReference, 1, kOpDivide);
  operand(bmi, kValueReference, 51, kOpEnd);
  bmi.push_back(0);
  Bytes sixtyFive{1};
  operand(sixtyFive, 0, 65, kOpEnd);
  sixtyFive.push_back(0);
  Bytes plusOne{1};
  operand(plusOne, kValueReference, 1, kOpPlus);
  operand(plusOne, 0, 1, kOpEnd);
  plusOne.push_back(0);
  const int h5 = kAuxiliaryStorePosition + 4 * kAuxiliaryStoreLength;
  const std::vector<Bytes> statements = {
      statement(kStmtAssign, 14, 6, 1, {{1, 5}, {6, 5}, {6, 5}}, bmi),
      statement(kStmtIf, 11, 3, kIfGreaterEqual, {}, sixtyFive),
      statement(kStmtAssign, h5, kAuxiliaryStoreLength, kNoDecimalsGiven, {{h5, kAuxiliaryStoreLength}},
                plusOne),
      statement(kStmtEnd, 0, 0, 0, {}),
      statement(kStmtTda, 40, 5, kNoDecimalsGiven, {{20, 128 | 10}, {30, 128 | 10}}),
      statement(kStmtSum, 45, 8, kNoDecimalsGiven, {{1, 5}, {6, 5}}),
  };
  CommandProgram program;
  for (const Bytes& s : statements) {
    putWord(program.bytes, static_cast<int>(s.size()));
    program.bytes.insert(program.bytes.end(), s.begin(), s.end());
  }
  putWord(program.bytes, 0);

  // Both date forms, an old and a young person, and one record with a missing weight.
  std::vector<RecordBuffer> records(4);
  records[0].write(1, "   80  180 70");
  records[1].write(1, " 62.5  165 30");
  records[2].write(1, "       170 81");
  records[3].write(1, "   95  190 65");
  for (std::size_t i = 0; i < records.size(); ++i) {
    records[i].write(20, i % 2 == 0 ? "01.03.2020" : "01032020");
    records[i].write(30, i % 2 == 0 ? "15.03.2020" : "15032020");
  }
  AuxiliaryStores stores;
  const RecordWriter writer = [](const RecordBuffer&) { return true; };

  const long before = g_allocations.load();
  bool allWritten = true;
  for (int round = 0; round < 100; ++round)
    for (RecordBuffer& record : records)
      allWritten = ExecuteProgram(program, record, stores, writer) && allWritten;
  EXPECT_EQ(g_allocations.load() - before, 0);

  EXPECT_TRUE(allWritten);
  // Three of the four records are 65 or older: 300 in H5 after 100 rounds.
  EXPECT_EQ(std::string(stores.chars.data() + 36, 9), "      300");
  EXPECT_EQ(records[0].field(14, 6), "  24.7");    // 80 / 3.24 = 24.69
  EXPECT_EQ(records[2].field(14, 6), "      ");    // the weight is missing
  EXPECT_EQ(records[0].field(40, 5), "   14");     // 1.3.2020 to 15.3.2020
  EXPECT_EQ(records[1].field(40, 5), "   14");     // the same as digit blocks
  EXPECT_EQ(records[1].field(45, 8), "   227.5");  // 62.5 + 165
  EXPECT_EQ(records[2].field(45, 8), "     170");  // SUM skips the missing weight
}

}  // namespace
}  // namespace veltrix
