#include "core/manip/compiler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/manip/command_lines.h"
#include "tests/core/manip/manip_study.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using test::Bytes;
using Lines = std::vector<std::string>;

// Expected codes are assembled here from the layout of a compiled statement, byte by byte.
constexpr auto real = test::RealBytes;
constexpr auto cat = test::Concatenated;
constexpr auto head = test::StatementHead;
Bytes var(int position, int type) {
  return {static_cast<std::uint8_t>(position & 255), static_cast<std::uint8_t>(position >> 8),
          static_cast<std::uint8_t>(type)};
}
// A constant operand and the operator after it (1 +, 2 -, 3 *, 4 /, 0 end).
Bytes num(double value, int op, int function = 0) {
  return cat({{static_cast<std::uint8_t>(function)}, real(value), {static_cast<std::uint8_t>(op)}});
}
// A reference operand Vn.
Bytes ref(int n, int op, int function = 0) {
  return cat({{static_cast<std::uint8_t>(function + 32)}, real(n), {static_cast<std::uint8_t>(op)}});
}
Bytes sign(int s) {
  return {static_cast<std::uint8_t>(s)};
}
const Bytes kEnd{0};

// A statement with a repeated piece, for the limits.
std::string repeated(const std::string& piece, int times, const std::string& separator) {
  std::string text;
  for (int i = 0; i < times; ++i) text += (i > 0 ? separator : "") + piece;
  return text;
}

// The study of these tests, by position: A 1 (3), B 4 (5), C 9 (2), GEWICHT 11 (5), GROESSE 16 (3),
// BMI 19 (5), D1 24 (8), D2 32 (8), T> 40 (10, text), NAME> 50 (20, text).
class ManipCompilerTest : public ::testing::Test {
 protected:
  ManipCompilerTest() : params(ui) {
    test::PutManipStudy(params);
    params.setVariableCount(10);
  }

  Bytes compiled(const std::string& line) const { return test::CompiledBytes(line, params); }
  int errorOf(const std::string& line) const { return CompileStatement(line, params).error; }

  test::ScriptedUi ui;
  TParams params;
};

TEST(ManipRealBytes, TheSixByteRealsOfTheExpectedCodesAreTheStoredForm) {
  // By hand: 1 = 1.0 * 2^0 (exponent 129); 100 = 1.5625 * 2^6 (135, fraction .1001b, top byte 0x48);
  // 51 = 1.59375 * 2^5 (134, fraction .10011b, top byte 0x4C).
  EXPECT_EQ(real(1), (Bytes{129, 0, 0, 0, 0, 0}));
  EXPECT_EQ(real(100), (Bytes{135, 0, 0, 0, 0, 0x48}));
  EXPECT_EQ(real(51), (Bytes{134, 0, 0, 0, 0, 0x4C}));
}

TEST_F(ManipCompilerTest, BmiHasThreeVariablesAndTheGroupAsIntermediate51) {
  // GROESSE is counted twice; the group is compiled first and becomes V51.
  const Bytes expected = cat({head(19, 5, 1, kStmtAssign, 3), var(11, 5), var(16, 3), var(16, 3), sign(1),
                              ref(2, 4), num(100, 3), ref(3, 4), num(100, 0),  // V51
                              sign(1), ref(1, 4), ref(51, 0), kEnd});
  EXPECT_EQ(compiled("[BMI : 1] = [GEWICHT] / ([GROESSE] / 100 * [GROESSE] / 100)"), expected);
  EXPECT_EQ(expected.size(), 66u);  // 6 + 3 * 3 + (1 + 4 * 8) + (1 + 2 * 8) + 1
}

struct StatementCase {
  std::string line;
  Bytes expected;
};

TEST_F(ManipCompilerTest, EveryStatementCompilesToItsLayout) {
  const Bytes ab = cat({var(4, 5), var(9, 2)});
  const std::vector<StatementCase> cases = {
      {"EXIT", head(0, 0, 0, kStmtExit, 0)},
      {"copyds", head(0, 0, 0, kStmtCopyRecord, 0)},
      {"  End  ", head(0, 0, 0, kStmtEnd, 0)},
      {"ELSE", head(0, 0, 0, kStmtElse, 0)},
      {"[A] = 1", cat({head(1, 3, 10, kStmtAssign, 0), sign(1), num(1, 0), kEnd})},
      {"[a] = -[b] + 2.5", cat({head(1, 3, 10, 1, 1), var(4, 5), sign(2), ref(1, 1), num(2.5, 0), kEnd})},
      {"[A : 12] = +3", cat({head(1, 3, 9, 1, 0), sign(1), num(3, 0), kEnd})},  // decimals cut to 9
      {"[A : -2] = 3", cat({head(1, 3, 0, 1, 0), sign(1), num(3, 0), kEnd})},
      {"[A : 0] = .5", cat({head(1, 3, 0, 1, 0), sign(1), num(0.5, 0), kEnd})},
      {"[A] = 5.", cat({head(1, 3, 10, 1, 0), sign(1), num(5, 0), kEnd})},
      {"IF [A] >= 3 THEN", cat({head(1, 3, kIfGreaterEqual, kStmtIf, 0), sign(1), num(3, 0), kEnd})},
      {"if [a]<>[b]", cat({head(1, 3, kIfNotEqual, 3, 1), var(4, 5), sign(1), ref(1, 0), kEnd})},
      {"IF [A] < -1", cat({head(1, 3, kIfLess, 3, 0), sign(2), num(1, 0), kEnd})},
      {"IF [A] > 1", cat({head(1, 3, kIfGreater, 3, 0), sign(1), num(1, 0), kEnd})},
      {"IF [A] = 1", cat({head(1, 3, kIfEqual, 3, 0), sign(1), num(1, 0), kEnd})},
      {"IF [A] <= 1", cat({head(1, 3, kIfLessEqual, 3, 0), sign(1), num(1, 0), kEnd})},
      {"[A] = 2 * (-3)",
       cat({head(1, 3, 10, 1, 0), sign(2), num(3, 0), sign(1), num(2, 3), ref(51, 0), kEnd})},
      {"[A] = ((3))",
       cat({head(1, 3, 10, 1, 0), sign(1), num(3, 0), sign(1), ref(51, 0), sign(1), ref(52, 0), kEnd})},
      {"[A] = SQRT([B] + 1)", cat({head(1, 3, 10, 1, 1), var(4, 5), sign(1), ref(1, 1), num(1, 0), sign(1),
                                   ref(51, 0, kFnSqrt), kEnd})},
      {"[A] = ABS[B] - INT2 * ROUND3 / EXP4 + LN5 + COS6 + SIN7 + LOG8 + SQRT9 + ARCSIN.5",
       cat({head(1, 3, 10, 1, 1), var(4, 5), sign(1), ref(1, 2, kFnAbs), num(2, 3, kFnInt),
            num(3, 4, kFnRound), num(4, 1, kFnExp), num(5, 1, kFnLn), num(6, 1, kFnCos), num(7, 1, kFnSin),
            num(8, 1, kFnLog), num(9, 1, kFnSqrt), num(0.5, 0, kFnArcSin), kEnd})},
      // A typed V1..Vk is the bracketed variable of that number.
      {"[A] = [B] + V1", cat({head(1, 3, 10, 1, 1), var(4, 5), sign(1), ref(1, 1), ref(1, 0), kEnd})},
      // Auxiliary stores at 7813 + 9 n, the record number at 7975 (6), direct references.
      {"[*H1] = [*H8] + [*DSNR] + [100.5] + [60.3>]",
       cat({head(7822, 9, 10, 1, 4), var(7885, 9), var(7975, 6), var(100, 5), var(60, 131), sign(1),
            ref(1, 1), ref(2, 1), ref(3, 1), ref(4, 0), kEnd})},
      {"[A] = MAX:[B],[C]", cat({head(1, 3, 10, kStmtMax, 2), ab})},
      {"[A] = min : [B] , [C]", cat({head(1, 3, 10, kStmtMin, 2), ab})},
      {"[A] = SUC:[B],[C]", cat({head(1, 3, 10, kStmtSuc, 2), ab})},
      {"[A : 2] = SUM:[B],[C]", cat({head(1, 3, 2, kStmtSum, 2), ab})},
      {"[A] = MIC:[B],[C]", cat({head(1, 3, 10, kStmtMic, 2), ab})},
      {"[A] = MIT:[B],[C]", cat({head(1, 3, 10, kStmtMit, 2), ab})},
      {"[A] = SDC:[B],[C]", cat({head(1, 3, 10, kStmtSdc, 2), ab})},
      {"[A] = SDV:[B],[C]", cat({head(1, 3, 10, kStmtSdv, 2), ab})},
      {"[A] = ANZ:[B],[C]", cat({head(1, 3, 10, kStmtAnz, 2), ab})},
      {"[A] = CMB:[B],[C]", cat({head(1, 3, 10, kStmtCmb, 2), ab})},
      {"[A] = MMC:[B],[C]", cat({head(1, 3, 10, kStmtMmc, 2), ab})},
      {"[A] = SMC:[B],[C],", cat({head(1, 3, 10, kStmtSmc, 2), ab})},  // a trailing comma ends the last field
      {"[A] = SUM:[B]", cat({head(1, 3, 10, kStmtSum, 1), var(4, 5)})},
      // Dates: bit 7 set on the variables (8 + 128 = 136), a text variable keeps its 138.
      {"[A] = TNA:[D1]", cat({head(1, 3, 10, kStmtTna, 1), var(24, 136)})},
      {"[A] = TNB:[T>]", cat({head(1, 3, 10, kStmtTnb, 1), var(40, 138)})},
      {"[A] = TDA:[D1],[D2]", cat({head(1, 3, 10, kStmtTda, 2), var(24, 136), var(32, 136)})},
      {"[A] = WDA:[D1],[D2]", cat({head(1, 3, 10, kStmtWda, 2), var(24, 136), var(32, 136)})},
      {"[A] = MDA:[D1],[D2]", cat({head(1, 3, 10, kStmtMda, 2), var(24, 136), var(32, 136)})},
      {"[A] = JDA:[D1],[D2]", cat({head(1, 3, 10, kStmtJda, 2), var(24, 136), var(32, 136)})},
      {"[A] = TDB:[D1],[D2]", cat({head(1, 3, 10, kStmtTdb, 2), var(24, 136), var(32, 136)})},
      {"[A] = WDB:[D1],[D2]", cat({head(1, 3, 10, kStmtWdb, 2), var(24, 136), var(32, 136)})},
      {"[A] = MDB:[D1],[D2]", cat({head(1, 3, 10, kStmtMdb, 2), var(24, 136), var(32, 136)})},
      {"[A] = JDB:[D1],[D2]", cat({head(1, 3, 10, kStmtJdb, 2), var(24, 136), var(32, 136)})},
      {"[A] = ZDM:[B],[C]", cat({head(1, 3, 10, kStmtZdm, 2), var(4, 133), var(9, 130)})},
      {"[A] = ZDS:[B],[C]", cat({head(1, 3, 10, kStmtZds, 2), var(4, 133), var(9, 130)})},
      // Text statements: length byte and characters, letters as typed.
      {"[T>] = RPL:abc,XyZ", cat({head(40, 138, 10, kStmtRpl, 0),
                                  {3, 'a', 'b', 'c', 0, 0, 0, 0, 0, 0, 0},
                                  {3, 'X', 'y', 'Z', 0, 0, 0, 0, 0, 0, 0}})},
      {"[T>] = rpl: a b , c ", cat({head(40, 138, 10, kStmtRpl, 0),
                                    {3, 'a', ' ', 'b', 0, 0, 0, 0, 0, 0, 0},
                                    {1, 'c', 0, 0, 0, 0, 0, 0, 0, 0, 0}})},
      {"[T>] = RPL:,,x", cat({head(40, 138, 10, kStmtRpl, 0),
                              {1, ',', 0, 0, 0, 0, 0, 0, 0, 0, 0},
                              {1, 'x', 0, 0, 0, 0, 0, 0, 0, 0, 0}})},
      {"[T>] = RPL:a,,", cat({head(40, 138, 10, kStmtRpl, 0),
                              {1, 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0},
                              {1, ',', 0, 0, 0, 0, 0, 0, 0, 0, 0}})},
      {"[T>] = RPL:,,,", cat({head(40, 138, 10, kStmtRpl, 0),
                              {1, ',', 0, 0, 0, 0, 0, 0, 0, 0, 0},
                              {1, ',', 0, 0, 0, 0, 0, 0, 0, 0, 0}})},
      {"[T>] = RPL:,x",
       cat({head(40, 138, 10, kStmtRpl, 0), Bytes(11, 0), {1, 'x', 0, 0, 0, 0, 0, 0, 0, 0, 0}})},
      {"[T>] = RPL:abcdefghijkl,b", cat({head(40, 138, 10, kStmtRpl, 0),
                                         {10, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'},
                                         {1, 'b', 0, 0, 0, 0, 0, 0, 0, 0, 0}})},
      {"[T>] = RPM:-", cat({head(40, 138, 10, kStmtRpm, 0), {1, '-', 0, 0, 0, 0, 0, 0, 0, 0, 0}})},
      {"[T>] = TXT:Hallo Welt!",
       cat({head(40, 138, 10, kStmtTxt, 0), {10, 'H', 'a', 'l', 'l', 'o', ' ', 'W', 'e', 'l', 't'}})},
      {"[T>] = RMV:xyz", cat({head(40, 138, 10, kStmtRmv, 0), {'x'}})},
      {"[T>] = APP:", cat({head(40, 138, 10, kStmtApp, 0), {' '}})},  // empty: a blank
  };
  for (const StatementCase& c : cases) EXPECT_EQ(compiled(c.line), c.expected) << c.line;
}

TEST_F(ManipCompilerTest, CommentsAndEmptyLinesProduceNothing) {
  for (const std::string line : {"", "    ", "/ Kommentar", "  /[XYZ] = ("}) {
    const StatementResult result = CompileStatement(line, params);
    EXPECT_EQ(result.error, kCompileOk) << line;
    EXPECT_EQ(result.statement.length, 0) << line;
  }
}

struct ErrorCase {
  std::string line;
  int error;
};

TEST_F(ManipCompilerTest, EachFaultGivesItsError) {
  const std::vector<ErrorCase> cases = {
      {"A = 3", kErrLeftFormat},
      {"[A = 3", kErrLeftFormat},
      {"[A : 2.5] = 3", kErrLeftFormat},
      {"[A : ] = 3", kErrLeftFormat},
      {"[A : X] = 3", kErrLeftFormat},
      {"IF", kErrLeftFormat},
      {"IF END", kErrLeftFormat},
      {"[XYZ] = 3", kErrUnknownLeft},
      {"[] = 3", kErrUnknownLeft},
      {"[*H9] = 3", kErrUnknownLeft},
      {"[A] = [XYZ] + 1", kErrUnknownRight},
      {"[A] = []", kErrUnknownRight},
      {"[A] = [B + 1", kErrBracketMissing},
      {"[A] 3", kErrEqualsMissing},
      {"[A]", kErrEqualsMissing},
      {"IF [A] =< 3", kErrBadOperator},
      {"IF [A] => 3", kErrBadOperator},
      {"IF [A] 3", kErrBadOperator},
      {"IF [A]", kErrBadOperator},
      {"[A] = 2 * -3", kErrRightFormat},
      {"[A] = SUM:[B],[C],5", kErrRightFormat},
      {"[A] = SUM:[B][C],V1", kErrRightFormat},
      {"[A] = SUM:[B],V1", kErrRightFormat},
      {"[A] = TDA:[D1],5", kErrRightFormat},
      {"IF [A] = MAX:[B],[C]", kErrRightFormat},
      {"IF [A] = TXT:abc", kErrRightFormat},
      {"[A] = 1.2.3", kErrRightFormat},
      {"[A] = 1" + std::string(39, '0'), kErrRightFormat},  // 1e39: beyond the six-byte reals
      {"[A] = .", kErrRightFormat},
      {"[A] = 1E5", kErrRightFormat},
      {"[A] = V0", kErrRightFormat},
      {"[A] = [B] + V2", kErrRightFormat},
      {"[A] = V51", kErrRightFormat},
      {"[A] = (3) + V51", kErrRightFormat},  // only the compiler names an intermediate
      {"[A] = 3 THEN", kErrRightFormat},
      {"[A] =", kErrRightFormat},
      {"[A] = 2 +", kErrRightFormat},
      {"[A] = SQRT", kErrRightFormat},
      {"[A] = SQRTABS2", kErrRightFormat},
      {"[A] = 2[B]", kErrRightFormat},
      {"[A] = 2\x01"
       "01",
       kErrRightFormat},  // a typed marker byte names nothing
      {"[A] = SUM:", kErrVariableCount},
      {"[A] = TDA:[D1]", kErrVariableCount},
      {"[A] = TNA:[D1],[D2]", kErrVariableCount},
      {"[A] = TNA:", kErrVariableCount},
      {"[T>] = RPL:[B],x", kErrVariableCount},
      {"[T>] = RPM:[B]", kErrVariableCount},
      {"[T>] = TXT:[B]", kErrVariableCount},
      {"[T>] = RMV:[B]", kErrVariableCount},
      {"[T>] = APP:[B]", kErrVariableCount},
      {"[A] = ()", kErrEmptyParentheses},
      {"[A] = 2 * (", kErrEmptyParentheses},
      {"[A] = (3) + ()", kErrEmptyParentheses},
      {"[A] = SQRT([B]", kErrParentheses},
      {"[A] = 3)", kErrParentheses},
      {"[A] = )3(", kErrParentheses},
      {"[A] = ((3)", kErrParentheses},
      // 51 bracketed variables; 50 nested groups (intermediates 51..100); 125 operands (1 + 8 * 125 bytes).
      {"[A] = " + repeated("[B]", 51, "+"), kErrTooLarge},
      {"[A] = " + std::string(50, '(') + "3" + std::string(50, ')'), kErrTooLarge},
      {"[A] = " + repeated("1", 125, "+"), kErrTooLarge},
      // 45 variables: 6 + 3 * 45 + 1 + 8 * 45 + 1 = 503 bytes.
      {"[A] = " + repeated("[B]", 45, "+"), kErrTooLarge},
  };
  for (const ErrorCase& c : cases) EXPECT_EQ(errorOf(c.line), c.error) << c.line;
}

TEST_F(ManipCompilerTest, LimitsThatStillFit) {
  // 44 variables: 6 + 3 * 44 + 1 + 8 * 44 + 1 = 492 bytes; 49 nested groups use V51..V99.
  const StatementResult wide = CompileStatement("[A] = " + repeated("[B]", 44, "+"), params);
  EXPECT_EQ(wide.error, kCompileOk);
  EXPECT_EQ(wide.statement.length, 492);
  const StatementResult deep =
      CompileStatement("[A] = " + std::string(49, '(') + "3" + std::string(49, ')'), params);
  EXPECT_EQ(deep.error, kCompileOk);
  EXPECT_EQ(deep.statement.length, 6 + 50 * 9 + 1);  // 49 intermediates and the formula, 9 bytes each
  // The 50 variables that may be bracketed: 50 * 4 - 1 + 6 characters, 6 + 150 + 1 + 400 + 1 > 500.
  EXPECT_EQ(errorOf("[A] = " + repeated("[B]", 50, "+")), kErrTooLarge);
  EXPECT_EQ(errorOf("[A] = SUM:" + repeated("[B]", 50, ",")), kCompileOk);
}

TEST_F(ManipCompilerTest, AGeneratedReferenceNeverJoinsATypedDigit) {
  // Eleven variables: "[B]1" would read as V11 if the reference were plain text.
  EXPECT_EQ(errorOf("[A] = [B]1 + " + repeated("[C]", 10, " + ")), kErrRightFormat);
  EXPECT_EQ(errorOf("[A] = [B] 1"), kErrRightFormat);
}

TEST_F(ManipCompilerTest, OnlyTheFirst255CharactersAreLookedAt) {
  EXPECT_EQ(compiled("[A] = 1" + std::string(100000, ' ') + "+ x"),
            cat({head(1, 3, 10, 1, 0), sign(1), num(1, 0), kEnd}));
  EXPECT_EQ(errorOf("[A] = " + std::string(100000, '(')), kErrEmptyParentheses);
  EXPECT_EQ(errorOf("[A] = 1" + std::string(247, ' ') + "+[B]"), kErrRightFormat);     // cut after the "+"
  EXPECT_EQ(errorOf("[A] = 1" + std::string(246, ' ') + "+[B]"), kErrBracketMissing);  // the "]" is cut off
}

TEST_F(ManipCompilerTest, NulBytesAreOrdinaryCharacters) {
  EXPECT_EQ(errorOf(std::string("[A] = 3\0", 8)), kErrRightFormat);
  EXPECT_EQ(errorOf(std::string("[A\0] = 3", 8)), kErrUnknownLeft);
  EXPECT_EQ(errorOf(std::string("\0", 1)), kErrLeftFormat);
  EXPECT_EQ(errorOf(std::string("[T>] = TXT:a\0b", 14)), kCompileOk);
}

TEST_F(ManipCompilerTest, TheUnknownRightVariableIsLocatedInTheLine) {
  const StatementResult result = CompileStatement("  IF  [A] = [B] + [XYZ]", params);
  EXPECT_EQ(result.error, kErrUnknownRight);
  EXPECT_EQ(result.errorColumn, 18);  // the second "[" after the operator, counted from 0
}

TEST(ManipFormula, ErrorsAndCodeOfTheFormulaAlone) {
  struct Case {
    std::string text;
    int k;
    int error;
  };
  const std::vector<Case> cases = {
      {"V1 / (V2 + 1)", 2, kFormulaOk},
      {"V3", 2, kFormulaSyntax},
      {"V51", 50, kFormulaSyntax},
      {"()", 0, kFormulaEmptyGroup},
      {"(", 0, kFormulaEmptyGroup},
      {"(1", 0, kFormulaParentheses},
      {")", 0, kFormulaParentheses},
      {"2*-3", 0, kFormulaSyntax},
      {"\x01"
       "51",
       0, kFormulaSyntax},
      {std::string(300, '(') + "1", 0, kFormulaParentheses},
      {std::string(300, '(') + "1" + std::string(300, ')'), 0, kFormulaTooLarge},
      {std::string(300, ')'), 0, kFormulaParentheses},
  };
  for (const Case& c : cases) EXPECT_EQ(CompileFormula(c.text, c.k).error, c.error) << c.text;
  EXPECT_EQ(CompileFormula("V1 / (V2 + 1)", 2).code,
            cat({sign(1), ref(2, 1), num(1, 0), sign(1), ref(1, 4), ref(51, 0), kEnd}));
}

// ---------------------------------------------------------------- lines and programs

TEST(ManipCommandLines, PhysicalLines) {
  struct Case {
    std::string text;
    Lines lines;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\n", {"a", "b"}},
      {"\n", {""}},
      {"a\n\n", {"a", ""}},
      {"a\r", {"a\r"}},
      {"a\n\x1A", {"a"}},
      {"a\x1A"
       "b",
       {"a\x1A"
        "b"}},
      {std::string("a\0b", 3), {std::string("a\0b", 3)}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitPhysicalLines(c.text), c.lines) << c.text;
}

TEST(ManipCommandLines, LogicalLinesJoinAtABlankAndAnAsterisk) {
  struct Case {
    Lines physical;
    std::vector<std::string> texts;
    std::vector<std::pair<int, int>> ranges;
  };
  const std::vector<Case> cases = {
      {{"[A] = 1 + *", "  2  "}, {"[A] = 1 +  2"}, {{0, 1}}},
      {{"a * *  ", "b"}, {"ab"}, {{0, 1}}},
      {{"a*", "b"}, {"a*", "b"}, {{0, 0}, {1, 1}}},
      {{"*", "b"}, {"*", "b"}, {{0, 0}, {1, 1}}},
      {{" *", "b"}, {"b"}, {{0, 1}}},
      {{"a *"}, {"a *"}, {{0, 0}}},
      {{"a *", "b *"}, {"ab *"}, {{0, 1}}},
      {{"x", "", "y"}, {"x", "", "y"}, {{0, 0}, {1, 1}, {2, 2}}},
      {{std::string(300, 'x')}, {std::string(255, 'x')}, {{0, 0}}},
      {{std::string(200, 'x') + " *", std::string(100, 'y')},
       {std::string(200, 'x') + std::string(55, 'y')},
       {{0, 1}}},
  };
  for (const Case& c : cases) {
    const std::vector<LogicalLine> lines = SplitLogicalLines(c.physical);
    ASSERT_EQ(lines.size(), c.texts.size()) << c.physical.front();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].text, c.texts[i]);
      EXPECT_EQ(lines[i].firstLine, c.ranges[i].first);
      EXPECT_EQ(lines[i].lastLine, c.ranges[i].second);
    }
  }
  const std::vector<LogicalLine> joined = SplitLogicalLines({"ab *", " *", "cd"});
  ASSERT_EQ(joined.size(), 1u);
  EXPECT_EQ(joined[0].text, "abcd");
  EXPECT_EQ(PhysicalLineAt(joined[0], 1), 0);
  EXPECT_EQ(PhysicalLineAt(joined[0], 2), 2);  // the empty middle part holds nothing
  EXPECT_EQ(PhysicalLineAt(joined[0], -1), 0);
  EXPECT_EQ(PhysicalLineAt(joined[0], 99), 2);
}

struct ProgramErrorCase {
  Lines lines;
  int error;
  int line;
  std::string message;
};

TEST_F(ManipCompilerTest, ProgramMessagesAndTheLineToSelect) {
  const std::string unknown = "Unbekannte Variable auf rechter Seite: ";
  const std::vector<ProgramErrorCase> cases = {
      {{"A = 1"}, 1, 0, "Formatfehler linke Seite"},
      {{"/ Kommentar", "[XYZ] = 1"}, 2, 1, "Unbekannte Variable auf linker Seite"},
      // The message quotes the physical line that holds the unknown variable.
      {{"[A] = 1", "[A] = [B] + *", "[XYZ]   "}, 3, 1, unknown + "[XYZ]"},
      {{"[A] = [XYZ] + *", "1"}, 3, 0, unknown + "[A] = [XYZ] + *"},
      {{"[A] = [B"}, 4, 0, "] fehlt"},
      {{"[A] 1"}, 5, 0, "= fehlt"},
      {{"IF [A] =< 3", "END"}, 6, 0, std::string("Unzulässiger Vergleichsoperator"_w)},
      {{"[A] = 2 * -3"}, 7, 0, "Formatfehler auf rechter Seite"},
      {{"[A] = SUM:"}, 8, 0, "Falsche Anzahl Variablen auf rechter Seite"},
      {{"IF [A] = 1", "[B] = 2", "IF [A] = 2", "END"}, 9, 2, std::string("IF ohne abschließendes END"_w)},
      {{"[A] = 1", "END"}, 10, 1, "END oder ELSE ohne IF"},
      {{"ELSE"}, 10, 0, "END oder ELSE ohne IF"},
      {{"[A] = ()"}, 11, 0, "Leerer Klammerausdruck in der Formel"},
      {{"[A] = SQRT([B]"}, 12, 0, "Falsche Klammerstruktur"},
      {{"[A] = " + repeated("[B]", 51, "+")}, 13, 0, "Formel zu umfangreich"},
      // An IF still open when the last line is done, also when that line is a comment or empty.
      {{"IF [A] = 1", "[B] = 2"}, 9, 1, std::string("IF ohne abschließendes END"_w)},
      {{"IF [A] = 1", "/ x"}, 9, 1, std::string("IF ohne abschließendes END"_w)},
      {{"IF [A] = 1", "ELSE", ""}, 9, 2, std::string("IF ohne abschließendes END"_w)},
      {{"IF [A] = 1"}, 9, 0, std::string("IF ohne abschließendes END"_w)},
      // The asterisk of the last line stays.
      {{"[A] = 1 + *"}, 7, 0, "Formatfehler auf rechter Seite"},
      {{"[A] = 1 *", "+ 2", "[XYZ] = 1"}, 2, 2, "Unbekannte Variable auf linker Seite"},
      {{"*"}, 1, 0, "Formatfehler linke Seite"},
  };
  for (const ProgramErrorCase& c : cases) {
    const ProgramResult result = CompileProgram(c.lines, params);
    EXPECT_FALSE(result.ok) << c.lines.front();
    EXPECT_EQ(result.error, c.error) << c.lines.front();
    EXPECT_EQ(result.line, c.line) << c.lines.front();
    EXPECT_EQ(result.message, c.message) << c.lines.front();
    EXPECT_EQ(CompilerMessage(c.error), c.error == 3 ? unknown : c.message);
  }
}

TEST_F(ManipCompilerTest, AProgramIsItsStatementsWithLengthsAndAClosingZero) {
  const Bytes one = cat({head(1, 3, 10, 1, 0), sign(1), num(1, 0), kEnd});             // 16 bytes
  const Bytes two = cat({head(1, 3, 10, 1, 0), sign(1), num(1, 1), num(2, 0), kEnd});  // 24 bytes
  const ProgramResult result = CompileProgram(
      {"/ Anfang", "IF [A] = 1", "[A] = 1", "ELSE", "", "[A] = 1 + *", "2", "END", "EXIT"}, params);
  ASSERT_TRUE(result.ok) << result.message;
  const Bytes expected = cat({{16, 0},
                              cat({head(1, 3, kIfEqual, kStmtIf, 0), sign(1), num(1, 0), kEnd}),
                              {16, 0},
                              one,
                              {6, 0},
                              head(0, 0, 0, kStmtElse, 0),
                              {24, 0},
                              two,
                              {6, 0},
                              head(0, 0, 0, kStmtEnd, 0),
                              {6, 0},
                              head(0, 0, 0, kStmtExit, 0),
                              {0, 0}});
  EXPECT_EQ(result.program.bytes, expected);
  const std::vector<StatementView> views = ProgramStatements(result.program);
  ASSERT_EQ(views.size(), 6u);
  EXPECT_EQ(views[3].length, 24);
  EXPECT_EQ(Bytes(views[3].bytes, views[3].bytes + 24), two);

  const ProgramResult empty = CompileProgram({}, params);
  ASSERT_TRUE(empty.ok);
  EXPECT_EQ(empty.program.bytes, (Bytes{0, 0}));
}

TEST_F(ManipCompilerTest, TheProgramKeepsWithin23900Bytes) {
  // "[A] = 1" takes 16 + 2 bytes: 1327 of them and the closing zero make 23888 bytes, one more 23906.
  const ProgramResult fits = CompileProgram(Lines(1327, "[A] = 1"), params);
  ASSERT_TRUE(fits.ok);
  EXPECT_EQ(fits.program.bytes.size(), 23888u);
  const ProgramResult full = CompileProgram(Lines(10000, "[A] = 1"), params);
  EXPECT_FALSE(full.ok);
  EXPECT_EQ(full.error, kErrTooLarge);
  EXPECT_EQ(full.line, 1327);
  EXPECT_TRUE(full.program.bytes.empty());
  EXPECT_TRUE(CompileProgram(Lines(10000, "/ nur Kommentar"), params).ok);
}

TEST_F(ManipCompilerTest, HostileCommandFiles) {
  const ProgramResult nul =
      CompileProgram(SplitPhysicalLines(std::string("[A] = 1\n\0\n[B] = 2", 17)), params);
  EXPECT_EQ(nul.error, kErrLeftFormat);
  EXPECT_EQ(nul.line, 1);
  // Without a final line end: 2 + 16 + 2 bytes.
  EXPECT_EQ(CompileProgram(SplitPhysicalLines("[A] = 1"), params).program.bytes.size(), 20u);
  // 10,000 continued lines, the last of 100,000 characters, join to one logical line of 255 characters
  // ("[A] = 1[A] = 1..."), whose right side is no formula.
  Lines continued(9999, "[A] = 1" + std::string(1000, ' ') + " *");
  continued.push_back("[A] = 1" + std::string(100000, 'x'));
  const ProgramResult huge = CompileProgram(continued, params);
  EXPECT_EQ(huge.error, kErrRightFormat);
  EXPECT_EQ(huge.line, 0);
  const std::vector<LogicalLine> joined = SplitLogicalLines(continued);
  ASSERT_EQ(joined.size(), 1u);
  EXPECT_EQ(joined[0].text.size(), 255u);
  EXPECT_EQ(joined[0].lastLine, 9999);
  // Cut within the 300 opening parentheses, so the last character is a "(".
  const ProgramResult nested =
      CompileProgram({"[A] = " + std::string(300, '(') + "1" + std::string(300, ')')}, params);
  EXPECT_EQ(nested.error, kErrEmptyParentheses);
}

TEST_F(ManipCompilerTest, RandomLinesGiveAStatementOrAMessage) {
  // Mostly the language's own characters, so that the lines get deep into the compiler.
  static const std::string alphabet = "[]()+-*/=<>:,. 0123456789VABCIFSQRTLNMXUTHEN*>\x01\x02";
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> length(0, 400);
  std::uniform_int_distribution<int> letter(0, static_cast<int>(alphabet.size()) - 1);
  std::uniform_int_distribution<int> anyByte(0, 255);
  int compiledStatements = 0;
  for (int run = 0; run < 20000; ++run) {
    std::string line = run % 3 == 0 ? "[A] = " : run % 3 == 1 ? "IF [B] " : "";
    const int size = length(rng);
    for (int i = 0; i < size; ++i)
      line.push_back(run % 10 == 0 ? static_cast<char>(anyByte(rng))
                                   : alphabet[static_cast<std::size_t>(letter(rng))]);
    const StatementResult result = CompileStatement(line, params);
    ASSERT_GE(result.error, kCompileOk);
    ASSERT_LE(result.error, kErrTooLarge);
    ASSERT_LE(result.statement.length, kMaxStatementBytes);
    if (result.error != kCompileOk) {
      EXPECT_EQ(result.statement.length, 0);
    } else if (result.statement.length > 0) {
      ++compiledStatements;
    }
  }
  EXPECT_GT(compiledStatements, 0);
}

}  // namespace
}  // namespace veltrix
