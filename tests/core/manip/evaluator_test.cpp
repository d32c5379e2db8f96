#include "core/manip/evaluator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/datafile/stat_record.h"
#include "core/manip/compiler.h"
#include "core/stats/number_format.h"
#include "core/stats/real48.h"

namespace veltrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A field as compiled statements name it: 1-based start position and type byte.
struct F {
  int position;
  int type;
  int length() const { return type & 127; }
};
constexpr int kText = 128;

// The fields of the test record.
constexpr F kA{1, 8};
constexpr F kB{9, 8};
constexpr F kC{17, 8};
constexpr F kN{25, 4};
constexpr F kX1{30, 6};
constexpr F kX2{36, 6};
constexpr F kX3{42, 6};
constexpr F kR{48, 10};
constexpr F kT1{60, kText | 10};
constexpr F kT2{70, kText | 10};
constexpr F kT3{80, kText | 12};
constexpr F kD1{100, kText | 10};
constexpr F kD2{110, kText | 10};
constexpr F kW{130, 16};
F store(int n) {
  return F{7813 + 9 * n, 9};
}

// ---------------------------------------------------------------- building compiled bytes by hand

void putWord(Bytes& bytes, int value) {
  bytes.push_back(static_cast<std::uint8_t>(value & 255));
  bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 255));
}

// Bytes 0-1 target position, 2 target type, 3 decimals or operator, 4 code, 5 k, 3 bytes per
// variable, then the tail (formula code or text parameters).
Bytes statement(std::uint8_t code, F target, int byte3, const std::vector<F>& variables,
                const Bytes& tail = {}) {
  Bytes bytes;
  putWord(bytes, target.position);
  bytes.push_back(static_cast<std::uint8_t>(target.type));
  bytes.push_back(static_cast<std::uint8_t>(byte3));
  bytes.push_back(code);
  bytes.push_back(static_cast<std::uint8_t>(variables.size()));
  for (const F& v : variables) {
    putWord(bytes, v.position);
    bytes.push_back(static_cast<std::uint8_t>(v.type));
  }
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  return bytes;
}

struct Term {
  std::uint8_t operandByte;
  double real;
};
Term num(double value, FormulaFunction function = kFnNone) {
  return Term{function, value};
}
Term ref(int n, FormulaFunction function = kFnNone) {
  return Term{static_cast<std::uint8_t>(function | kValueReference), static_cast<double>(n)};
}

std::uint8_t operatorCode(char c) {
  switch (c) {
    case '+':
      return kOpPlus;
    case '-':
      return kOpMinus;
    case '*':
      return kOpTimes;
    case '/':
      return kOpDivide;
    default:
      return kOpEnd;
  }
}

// One sub-expression: the sign byte, then per operand its byte, six-byte real and the following
// operator; operators[i] follows terms[i] ("+*" for a + b * c).
Bytes sub(char sign, const std::vector<Term>& terms, std::string_view operators = "") {
  Bytes bytes{static_cast<std::uint8_t>(sign == '-' ? 2 : 1)};
  for (std::size_t i = 0; i < terms.size(); ++i) {
    bytes.push_back(terms[i].operandByte);
    std::uint8_t real[6];
    writeReal48(terms[i].real, real);
    bytes.insert(bytes.end(), real, real + 6);
    bytes.push_back(i < operators.size() ? operatorCode(operators[i]) : std::uint8_t{kOpEnd});
  }
  return bytes;
}

// Sub-expressions in order, closed by the zero byte.
Bytes formula(const std::vector<Bytes>& subs) {
  Bytes bytes;
  for (const Bytes& s : subs) bytes.insert(bytes.end(), s.begin(), s.end());
  bytes.push_back(0);
  return bytes;
}

// A length byte and ten characters.
Bytes textParameter(std::string_view text) {
  Bytes bytes(11, 0);
  bytes[0] = static_cast<std::uint8_t>(text.size());
  for (std::size_t i = 0; i < text.size() && i < 10; ++i) bytes[1 + i] = static_cast<std::uint8_t>(text[i]);
  return bytes;
}

Bytes concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Statements with their 16-bit lengths and the closing zero length.
CommandProgram program(const std::vector<Bytes>& statements, bool closed = true) {
  CommandProgram p;
  for (const Bytes& s : statements) {
    putWord(p.bytes, static_cast<int>(s.size()));
    p.bytes.insert(p.bytes.end(), s.begin(), s.end());
  }
  if (closed) putWord(p.bytes, 0);
  return p;
}

Bytes assign(F target, int decimals, const std::vector<F>& variables, const Bytes& code) {
  return statement(kStmtAssign, target, decimals, variables, code);
}
// [target] = constant, with no decimals given.
Bytes assignConstant(F target, double value) {
  return assign(target, kNoDecimalsGiven, {}, formula({sub('+', {num(value)})}));
}

std::string right(std::string_view text, int width) {
  return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + std::string(text);
}
std::string left(std::string_view text, int width) {
  return std::string(text) + std::string(static_cast<std::size_t>(width) - text.size(), ' ');
}
std::string blanks(int width) {
  return std::string(static_cast<std::size_t>(width), ' ');
}

class EvaluatorTest : public ::testing::Test {
 protected:
  // The field's text padded with blanks to its length (cut when longer).
  void put(F field, std::string_view text) {
    std::string padded(text.substr(0, static_cast<std::size_t>(field.length())));
    padded.resize(static_cast<std::size_t>(field.length()), ' ');
    record.write(field.position, padded);
  }
  std::string field(F f) const { return std::string(record.field(f.position, f.length())); }
  void execute(const Bytes& s) {
    ExecuteStatement(s.data(), static_cast<int>(s.size()), record, state, writer);
  }

  RecordBuffer record;
  StatementState state;
  std::vector<std::string> copies;  // field C of every record COPYDS wrote
  bool writerSucceeds = true;
  RecordWriter writer = [this](const RecordBuffer& r) {
    copies.emplace_back(r.field(kC.position, kC.length()));
    return writerSucceeds;
  };
};

// ---------------------------------------------------------------- formulas

TEST(EvaluateFormulaTest, PrecedenceFunctionsAndFailures) {
  // V51 = -(2.7), V52 = -(100), V53 = -(4), V54 = -(3), used by the functions that need a negative
  // argument (the formula language has no negative constants).
  const Bytes negatives = concat(concat(sub('-', {num(2.7)}), sub('-', {num(100)})),
                                 concat(sub('-', {num(4)}), sub('-', {num(3)})));
  auto withNegatives = [&](const Bytes& last) {
    Bytes code = concat(negatives, last);
    code.push_back(0);
    return code;
  };
  struct Case {
    const char* name;
    Bytes code;
    bool ok;
    double value;
  };
  const std::vector<Case> cases = {
      {"2 + 3 * 4", formula({sub('+', {num(2), num(3), num(4)}, "+*")}), true, 14},   // 2 + 12
      {"8 / 4 / 2", formula({sub('+', {num(8), num(4), num(2)}, "//")}), true, 1},    // (8 / 4) / 2
      {"-2 * 3 + 1", formula({sub('-', {num(2), num(3), num(1)}, "*+")}), true, -5},  // -(6) + 1
      {"1 - 2 - 3", formula({sub('+', {num(1), num(2), num(3)}, "--")}), true, -4},   // left to right
      {"10 - 4 / 2 * 3 + 1", formula({sub('+', {num(10), num(4), num(2), num(3), num(1)}, "-/*+")}), true,
       5},                                                                                       // 10 - 6 + 1
      {"2 * 3 / 4 * 2", formula({sub('+', {num(2), num(3), num(4), num(2)}, "*/*")}), true, 3},  // 1.5 * 2
      {"(2 + 3) * (4 - 1)",
       formula({sub('+', {num(2), num(3)}, "+"), sub('+', {num(4), num(1)}, "-"),
                sub('+', {ref(51), ref(52)}, "*")}),
       true, 15},
      {"V1 + V2", formula({sub('+', {ref(1), ref(2)}, "+")}), true, 3.75},  // 1.5 + 2.25
      {"ROUND(2.5)", formula({sub('+', {num(2.5, kFnRound)})}), true, 2},   // half to even
      {"ROUND(3.5)", formula({sub('+', {num(3.5, kFnRound)})}), true, 4},
      {"INT(-2.7)", withNegatives(sub('+', {ref(51, kFnInt)})), true, -2},  // toward 0
      {"ABS(-3)", withNegatives(sub('+', {ref(54, kFnAbs)})), true, 3},
      {"EXP(-100)", withNegatives(sub('+', {ref(52, kFnExp)})), true, 0},  // x <= -86 gives 0
      {"EXP(0)", formula({sub('+', {num(0, kFnExp)})}), true, 1},
      {"LN(1)", formula({sub('+', {num(1, kFnLn)})}), true, 0},
      {"LOG(1000)", formula({sub('+', {num(1000, kFnLog)})}), true, 3},
      {"SQRT(16)", formula({sub('+', {num(16, kFnSqrt)})}), true, 4},
      {"COS(0) + SIN(0)", formula({sub('+', {num(0, kFnCos), num(0, kFnSin)}, "+")}), true, 1},
      {"ARCSIN(1)", formula({sub('+', {num(1, kFnArcSin)})}), true, 1.57079633},  // the approximation at 1
      {"SQRT(V51) applies to the intermediate",
       formula({sub('+', {num(20), num(4)}, "-"), sub('+', {ref(51, kFnSqrt)})}), true, 4},
      {"5 / 0", formula({sub('+', {num(5), num(0)}, "/")}), false, 0},
      {"LN(0)", formula({sub('+', {num(0, kFnLn)})}), false, 0},
      {"LOG(0)", formula({sub('+', {num(0, kFnLog)})}), false, 0},
      {"EXP(100)", formula({sub('+', {num(100, kFnExp)})}), false, 0},
      {"EXP(86)", formula({sub('+', {num(86, kFnExp)})}), false, 0},
      {"SQRT(-4)", withNegatives(sub('+', {ref(53, kFnSqrt)})), false, 0},
      {"ARCSIN(2)", formula({sub('+', {num(2, kFnArcSin)})}), false, 0},
      // Beyond the six-byte range (about 1.7e38) a value is an overflow.
      {"V3 * V3 with 1E38", formula({sub('+', {ref(3), ref(3)}, "*")}), false, 0},
      {"V3 + V3 with 1E38", formula({sub('+', {ref(3), ref(3)}, "+")}), false, 0},
      {"V3 * 1 with 1E38", formula({sub('+', {ref(3), num(1)}, "*")}), true, 1e38},
  };
  const double operands[] = {1.5, 2.25, 1e38};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FormulaValue result = EvaluateFormula(c.code.data(), static_cast<int>(c.code.size()), operands, 3);
    EXPECT_EQ(result.ok, c.ok);
    if (c.ok) {
      EXPECT_NEAR(result.value, c.value, 1e-9 * std::max(1.0, std::fabs(c.value)));
    }
  }
}

TEST(EvaluateFormulaTest, ConstantsAreSixByteReals) {
  // 0.1 is not exact in a six-byte real: 0.1 * 3 differs from 0.3 (that is why IF has a tolerance).
  const Bytes code = formula({sub('+', {num(0.1), num(3)}, "*")});
  const FormulaValue result = EvaluateFormula(code.data(), static_cast<int>(code.size()), nullptr, 0);
  ASSERT_TRUE(result.ok);
  EXPECT_NE(result.value, 0.3);
  EXPECT_NEAR(result.value, 0.3, 1e-11);
}

TEST(EvaluateFormulaTest, MalformedCodeFails) {
  const Bytes good = formula({sub('+', {ref(1), num(2)}, "+")});
  Bytes badSign = good;
  badSign[0] = 3;
  Bytes badOperator = good;
  badOperator[8] = 7;  // the operator after the first operand
  Bytes badFunction = good;
  badFunction[1] = kValueReference | 11;
  Bytes highBits = good;
  highBits[1] = 64 | kValueReference;
  struct Case {
    const char* name;
    Bytes code;
    int length;  // -1: the whole code
  };
  const std::vector<Case> cases = {
      {"empty", {}, -1},
      {"only the closing zero", {0}, -1},
      {"no closing zero", good, static_cast<int>(good.size()) - 1},
      {"operand cut short", good, 12},
      {"sign byte 3", badSign, -1},
      {"operator 7", badOperator, -1},
      {"function 11", badFunction, -1},
      {"operand byte with bit 6", highBits, -1},
      {"V0", formula({sub('+', {ref(0)})}), -1},
      {"V3 with k = 2", formula({sub('+', {ref(3)})}), -1},
      {"V51 before it is computed", formula({sub('+', {ref(51)})}), -1},
      {"V52 with one intermediate", formula({sub('+', {num(1)}), sub('+', {ref(52)})}), -1},
      {"V100", formula({sub('+', {ref(100)})}), -1},
      {"V1.5", formula({sub('+', {Term{kValueReference, 1.5}})}), -1},
  };
  const double operands[] = {1, 2};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int length = c.length < 0 ? static_cast<int>(c.code.size()) : c.length;
    EXPECT_FALSE(EvaluateFormula(c.code.data(), length, operands, 2).ok);
  }
  // The same code whole and well formed works (V1 + 2 = 3), so the failures above are the defects.
  const FormulaValue fine = EvaluateFormula(good.data(), static_cast<int>(good.size()), operands, 2);
  EXPECT_TRUE(fine.ok);
  EXPECT_EQ(fine.value, 3);
  // No operands given: a reference cannot be resolved.
  EXPECT_FALSE(EvaluateFormula(good.data(), static_cast<int>(good.size()), nullptr, 2).ok);
}

// ---------------------------------------------------------------- assignments and the store rule

TEST_F(EvaluatorTest, AssignmentStoresWithFormatInWidthOrBlanks) {
  const Bytes sum = formula({sub('+', {ref(1), ref(2)}, "+")});
  const Bytes product = formula({sub('+', {ref(1), ref(2)}, "*")});
  const Bytes plusOne = formula({sub('+', {ref(1), num(1)}, "+")});
  const Bytes third = formula({sub('+', {ref(1), num(3)}, "/")});
  const Bytes byZero = formula({sub('+', {ref(1), num(0)}, "/")});
  const Bytes minusHundred = sub('-', {num(100)});
  struct Case {
    const char* name;
    std::string a, b;
    F target;
    int decimals;
    Bytes code;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"A + B", "1.5", "2", kC, kNoDecimalsGiven, sum, right("3.5", 8)},
      {"B empty blanks C", "1.5", "", kC, kNoDecimalsGiven, sum, blanks(8)},
      {"text in a numeric field", "abc", "2", kC, kNoDecimalsGiven, sum, blanks(8)},
      {"24.01 is a number", "24.01", "0", kC, kNoDecimalsGiven, plusOne, right("25.01", 8)},
      {"1E999 is not a number", "1E999", "0", kC, kNoDecimalsGiven, plusOne, blanks(8)},
      {"31.02.2000 is not a number", "31.02.2000", "0", kC, kNoDecimalsGiven, plusOne, blanks(8)},
      {"a NUL byte", std::string("1\0", 2), "0", kC, kNoDecimalsGiven, plusOne, blanks(8)},
      {"a byte above 127",
       "\xB5"
       "1",
       "0", kC, kNoDecimalsGiven, plusOne, blanks(8)},
      {"1E38 * 1E38 overflows", "1E38", "1E38", kC, kNoDecimalsGiven, product, blanks(8)},
      {"A / 0", "7", "0", kC, kNoDecimalsGiven, byZero, blanks(8)},
      {"LN(0)", "1", "1", kC, kNoDecimalsGiven, formula({sub('+', {num(0, kFnLn)})}), blanks(8)},
      {"EXP(100)", "1", "1", kC, kNoDecimalsGiven, formula({sub('+', {num(100, kFnExp)})}), blanks(8)},
      {"EXP(-100)", "1", "1", kC, kNoDecimalsGiven, formula({minusHundred, sub('+', {ref(51, kFnExp)})}),
       right("0", 8)},
      {"-2 * 3 + 1", "1", "1", kC, kNoDecimalsGiven, formula({sub('-', {num(2), num(3), num(1)}, "*+")}),
       right("-5", 8)},
      // 1 / 3 with up to 9 decimals: "0.333333333" is too wide, 6 decimals fill the 8 places.
      {"none given, too many decimals", "1", "0", kC, kNoDecimalsGiven, third, "0.333333"},
      {"[C : 2]", "1", "0", kC, 2, third, right("0.33", 8)},
      {"[C : 0] rounds half to even", "2.5", "0", kC, 0, formula({sub('+', {ref(1)})}), right("2", 8)},
      // 12.3456 with 3 decimals is "12.346" (6 places); in 4 places 1 decimal is left: "12.3".
      {"fewer decimals to fit", "12.3456", "0", kN, 3, formula({sub('+', {ref(1)})}), "12.3"},
      // 12345 needs 5 places; the exponent form " 1.2E+04" does not fit 4 either: "*1.2".
      {"too wide gets *", "12345", "0", kN, kNoDecimalsGiven, formula({sub('+', {ref(1)})}), "*1.2"},
      // 1E20 in 8 places: the two-digit exponent form " 1.0E+20" fits exactly.
      {"exponent form", "1E20", "1", kC, kNoDecimalsGiven, product, " 1.0E+20"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    put(kA, c.a);
    put(kB, c.b);
    put(c.target, "XXXXXXXXXX");
    execute(assign(c.target, c.decimals, {kA, kB}, c.code));
    EXPECT_EQ(field(c.target), c.expected);
    EXPECT_TRUE(state.active);
  }
}

TEST_F(EvaluatorTest, TheStoreRuleIsFormatInWidth) {
  // [T : d] = [W] writes FormatInWidth(d, L, W) for every decimals setting and width, also where
  // decimals must be given up or the exponent form is needed.
  const std::vector<std::string> values = {"0",    "-0.0001", "2.5",      "-2.5",   "0.125", "123456.789",
                                           "1E-5", "-1E20",   "99999999", "1.7E38", "-7",    "3.14159265358"};
  for (const std::string& value : values) {
    for (const int decimals : {0, 1, 2, 5, 9, int{kNoDecimalsGiven}}) {
      for (const F target : {kN, kC, kR}) {
        SCOPED_TRACE(value + " with " + std::to_string(decimals) + " in " + std::to_string(target.length()));
        put(kW, value);
        execute(assign(target, decimals, {kW}, formula({sub('+', {ref(1)})})));
        const double x = std::stod(value);
        EXPECT_EQ(field(target),
                  FormatInWidth(decimals == kNoDecimalsGiven ? -9 : decimals, target.length(), x));
      }
    }
  }
}

TEST_F(EvaluatorTest, TargetsAtTheEdgesAreSafe) {
  // A target of length 0 takes nothing; one at the end of the buffer takes what fits.
  record.write(7995, "ABCDEF");
  execute(assignConstant(F{7995, 0}, 5));
  EXPECT_EQ(record.field(7995, 6), "ABCDEF");
  execute(assignConstant(F{7998, 10}, 5));
  EXPECT_EQ(record.field(7995, 6), "ABC   ");  // "         5" cut to positions 7998..8000
  execute(assignConstant(F{65535, 10}, 5));    // entirely outside: nothing happens
  // A variable outside the buffer is an empty field, so the result is missing.
  put(kC, "X");
  execute(assign(kC, kNoDecimalsGiven, {F{65000, 8}}, formula({sub('+', {ref(1)})})));
  EXPECT_EQ(field(kC), blanks(8));
}

// ---------------------------------------------------------------- IF, ELSE, END

TEST_F(EvaluatorTest, IfComparesWithRelativeTolerance) {
  const Bytes zeroPointOneTimesThree = formula({sub('+', {num(0.1), num(3)}, "*")});
  const Bytes five = formula({sub('+', {num(5)})});
  const Bytes billion = formula({sub('+', {num(1000000000)})});
  const Bytes byZero = formula({sub('+', {num(5), num(0)}, "/")});
  const Bytes viaB = formula({sub('+', {ref(1)})});
  struct Case {
    const char* name;
    std::string a;
    int op;
    Bytes code;
    std::string b;  // the right-side variable, used by viaB
    bool active;
  };
  const std::vector<Case> cases = {
      {"0.3 = 0.1 * 3", "0.3", kIfEqual, zeroPointOneTimesThree, "0", true},
      {"0.3000001 = 0.3", "0.3000001", kIfEqual, formula({sub('+', {num(0.3)})}), "0", false},
      // eps = 1e9 * 1e-10 = 0.1, so 0.05 away is equal.
      {"1000000000.05 = 1000000000", "1000000000.05", kIfEqual, billion, "0", true},
      {"1000000000.2 = 1000000000", "1000000000.2", kIfEqual, billion, "0", false},
      {"5 < 5", "5", kIfLess, five, "0", false},
      {"4.9 < 5", "4.9", kIfLess, five, "0", true},
      {"5 > 5", "5", kIfGreater, five, "0", false},
      {"5.1 > 5", "5.1", kIfGreater, five, "0", true},
      {"5 <= 5", "5", kIfLessEqual, five, "0", true},
      {"5.1 <= 5", "5.1", kIfLessEqual, five, "0", false},
      {"5 >= 5", "5", kIfGreaterEqual, five, "0", true},
      {"4.9 >= 5", "4.9", kIfGreaterEqual, five, "0", false},
      {"5 <> 5", "5", kIfNotEqual, five, "0", false},
      {"6 <> 5", "6", kIfNotEqual, five, "0", true},
      {"the IF field is empty", "", kIfNotEqual, five, "0", false},
      {"the IF field is text", "abc", kIfNotEqual, five, "0", false},
      {"the formula divides by 0", "5", kIfNotEqual, byZero, "0", false},
      {"a right-side variable is missing", "5", kIfNotEqual, viaB, "", false},
      {"the right-side variable is read", "5", kIfEqual, viaB, "5", true},
      {"unknown operator 7", "5", 7, five, "0", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    put(kW, c.a);
    put(kB, c.b);
    state = StatementState{};
    execute(statement(kStmtIf, kW, c.op, {kB}, c.code));
    EXPECT_EQ(state.active, c.active);
  }
}

TEST_F(EvaluatorTest, ElseAndEndSteerTheStatementsOfAProgram) {
  // IF [A] > 3; [C] = 1; ELSE; [C] = 2; END; [N] = 7
  const CommandProgram p =
      program({statement(kStmtIf, kA, kIfGreater, {}, formula({sub('+', {num(3)})})), assignConstant(kC, 1),
               statement(kStmtElse, F{0, 0}, 0, {}), assignConstant(kC, 2),
               statement(kStmtEnd, F{0, 0}, 0, {}), assignConstant(kN, 7)});
  struct Case {
    std::string a;
    std::string c;
  };
  for (const Case& c : {Case{"5", "1"}, Case{"2", "2"}, Case{"", "2"}}) {
    SCOPED_TRACE(c.a);
    put(kA, c.a);
    put(kC, "");
    put(kN, "");
    AuxiliaryStores stores;
    EXPECT_TRUE(ExecuteProgram(p, record, stores, writer));
    EXPECT_EQ(field(kC), right(c.c, 8));
    EXPECT_EQ(field(kN), right("7", 4));
  }
}

TEST_F(EvaluatorTest, StatementsAreSkippedWhileInactive) {
  // IF [A] > 10 (false); IF [B] > 0 (skipped, would be true); [C] = 1; COPYDS; EXIT; END; [N] = 7
  put(kA, "5");
  put(kB, "5");
  put(kC, "X");
  const CommandProgram p =
      program({statement(kStmtIf, kA, kIfGreater, {}, formula({sub('+', {num(10)})})),
               statement(kStmtIf, kB, kIfGreater, {}, formula({sub('+', {num(0)})})), assignConstant(kC, 1),
               statement(kStmtCopyRecord, F{0, 0}, 0, {}), statement(kStmtExit, F{0, 0}, 0, {}),
               statement(kStmtEnd, F{0, 0}, 0, {}), assignConstant(kN, 7)});
  AuxiliaryStores stores;
  EXPECT_TRUE(ExecuteProgram(p, record, stores, writer));
  EXPECT_EQ(field(kC), left("X", 8));
  EXPECT_TRUE(copies.empty());
  EXPECT_EQ(field(kN), right("7", 4));
}

// ---------------------------------------------------------------- column functions

TEST_F(EvaluatorTest, ColumnFunctionsWithTheirDecimals) {
  struct Case {
    const char* name;
    std::uint8_t code;
    int decimals;
    std::string x1, x2, x3;
    std::string expected;  // R, 10 places
  };
  const std::vector<Case> cases = {
      // 1.5, 12 and a missing third value.
      {"MAX 1.5, 12", kStmtMax, kNoDecimalsGiven, "1.5", "12", "", "12"},
      {"MAX keeps the field's decimals", kStmtMax, 3, "1.5", "12", "", "12"},
      {"MAX tie keeps the first", kStmtMax, kNoDecimalsGiven, "12.0", "12", "", "12.0"},
      {"MIN", kStmtMin, kNoDecimalsGiven, "1.5", "12", "", "1.5"},
      {"MIN tie keeps the first", kStmtMin, 4, "1", "1.00", "", "1"},
      {"SUM gives A", kStmtSum, kNoDecimalsGiven, "1.5", "", "", "1.5"},
      {"SUM 13.5, largest decimals 1", kStmtSum, kNoDecimalsGiven, "1.5", "12", "", "13.5"},
      {"SUM given 2", kStmtSum, 2, "1.5", "12", "", "13.50"},
      {"SUM 9 counts as not given", kStmtSum, 9, "1.5", "12", "", "13.5"},
      {"SUC with a missing value", kStmtSuc, kNoDecimalsGiven, "1.5", "12", "", ""},
      {"SUC complete", kStmtSuc, kNoDecimalsGiven, "1.5", "12", "3", "16.5"},
      {"MIT 13.5 / 2, decimals 1 + 1", kStmtMit, kNoDecimalsGiven, "1.5", "12", "", "6.75"},
      {"MIT given 0", kStmtMit, 0, "1.5", "12", "", "7"},  // 6.75 rounded
      {"MIC with a missing value", kStmtMic, kNoDecimalsGiven, "1.5", "12", "", ""},
      {"MIC complete 16.5 / 3", kStmtMic, kNoDecimalsGiven, "1.5", "12", "3", "5.50"},
      // s = sqrt((146.25 - 6.75 * 13.5) / 1) = sqrt(55.125) = 7.4246...
      {"SDV", kStmtSdv, kNoDecimalsGiven, "1.5", "12", "", "7.42"},
      {"SDC with a missing value", kStmtSdc, kNoDecimalsGiven, "1.5", "12", "", ""},
      // s = sqrt((155.25 - 5.5 * 16.5) / 2) = sqrt(32.25) = 5.6789...
      {"SDC complete", kStmtSdc, kNoDecimalsGiven, "1.5", "12", "3", "5.68"},
      {"SDV of one value", kStmtSdv, kNoDecimalsGiven, "4", "", "", "0.0"},
      {"ANZ", kStmtAnz, kNoDecimalsGiven, "1.5", "12", "", "2"},
      {"ANZ counts not-numbers when there is no number", kStmtAnz, 2, "abc", "", "x", "2"},
      {"ANZ of empty fields", kStmtAnz, kNoDecimalsGiven, "", "", "", "0"},
      {"MAX without a number", kStmtMax, kNoDecimalsGiven, "", "abc", "", ""},
      {"SUM without a number", kStmtSum, kNoDecimalsGiven, "", "", "", ""},
      {"MIT without a number", kStmtMit, kNoDecimalsGiven, "", "", "", ""},
      {"SUM 1E38 + 1E38 overflows", kStmtSum, kNoDecimalsGiven, "1E38", "1E38", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    put(kX1, c.x1);
    put(kX2, c.x2);
    put(kX3, c.x3);
    put(kR, "XXXXXXXXXX");
    execute(statement(c.code, kR, c.decimals, {kX1, kX2, kX3}));
    EXPECT_EQ(field(kR), c.expected.empty() ? blanks(10) : right(c.expected, 10));
  }
}

TEST_F(EvaluatorTest, AnzOverTextFieldsCountsTheNonEmptyOnes) {
  put(kT1, "Meier");
  put(kT2, "");
  put(kT3, "12");  // a text field is never a number
  execute(statement(kStmtAnz, kR, kNoDecimalsGiven, {kT1, kT2, kT3}));
  EXPECT_EQ(field(kR), right("2", 10));
}

// ---------------------------------------------------------------- CMB, MMC, SMC

TEST_F(EvaluatorTest, CombineKeepsTheEndInANumericFieldAndTheStartInAText) {
  put(kX1, "    12");
  put(kX2, "    34");
  execute(statement(kStmtCmb, kR, kNoDecimalsGiven, {kX1, kX2}));
  EXPECT_EQ(field(kR), "  12    34");  // the last 10 of "    12    34"

  put(kX1, "     1");
  put(kX2, "2");
  execute(statement(kStmtCmb, kR, kNoDecimalsGiven, {kX1, kX2}));
  EXPECT_EQ(field(kR), right("12", 10));  // "     12     " without its trailing blanks

  put(kT1, "AB");
  put(kT2, "CD");
  execute(statement(kStmtCmb, kT3, kNoDecimalsGiven, {kT1, kT2}));
  EXPECT_EQ(field(kT3), "AB        CD");  // the first 12 of "AB        CD        "

  put(kT1, "A");
  put(kX1, "     7");
  execute(statement(kStmtCmb, kT3, kNoDecimalsGiven, {kX1, kT1}));
  EXPECT_EQ(field(kT3), "     7A     ");
}

TEST_F(EvaluatorTest, MakeAndSplitLists) {
  put(kT1, " a; ");
  put(kT2, "");
  put(kX1, "   7");
  put(kT3, "XXXXXXXXXXXX");
  execute(statement(kStmtMmc, kT3, kNoDecimalsGiven, {kT1, kT2, kX1}));
  EXPECT_EQ(field(kT3), left("a;7;", 12));

  // "x; y;;z" + ";" holds the items x, y, (empty), z; the fifth variable finds the list exhausted.
  put(kT3, " x; y;;z ");
  for (const F& f : {kT1, kT2, kX1, kX2, kX3}) put(f, "QQQQQQQQQQ");
  execute(statement(kStmtSmc, kT3, kNoDecimalsGiven, {kT1, kT2, kX1, kX2, kX3}));
  EXPECT_EQ(field(kT1), left("x", 10));
  EXPECT_EQ(field(kT2), left("y", 10));
  EXPECT_EQ(field(kX1), blanks(6));
  EXPECT_EQ(field(kX2), left("z", 6));
  EXPECT_EQ(field(kX3), blanks(6));
  EXPECT_EQ(field(kT3), left(" x; y;;z ", 12));  // the list itself stays

  // MMC's list splits back into its items.
  put(kT1, "rot");
  put(kT2, "blau");
  execute(statement(kStmtMmc, kT3, kNoDecimalsGiven, {kT1, kT2}));
  put(kT1, "");
  put(kT2, "");
  execute(statement(kStmtSmc, kT3, kNoDecimalsGiven, {kT2, kT1}));
  EXPECT_EQ(field(kT2), left("rot", 10));
  EXPECT_EQ(field(kT1), left("blau", 10));
}

// ---------------------------------------------------------------- text statements

Bytes replaceStatement(F target, std::string_view search, std::string_view replacement) {
  return statement(kStmtRpl, target, kNoDecimalsGiven, {},
                   concat(textParameter(search), textParameter(replacement)));
}

TEST_F(EvaluatorTest, ReplaceRestartsAndAlwaysEnds) {
  struct Case {
    const char* name;
    F target;
    std::string before, search, replacement, expected;
  };
  const std::vector<Case> cases = {
      {"an by AN", kT1, "banana", "an", "AN", left("bANANa", 10)},
      // An empty search text is one blank: the blanks of the full field length are replaced too.
      {"empty search", kT1, "a b c", "", "-", "a-b-c-----"},
      // An empty replacement is as many blanks as the search text has characters.
      {"empty replacement", kT1, "xaby", "ab", "", left("x  y", 10)},
      {"both empty", kT1, "a b", "", "", left("a b", 10)},
      // a by ab: the next match is at the same place as the previous one, so it stops at once.
      {"a by ab", kT1, "aa", "a", "ab", left("aba", 10)},
      // a by ba moves the a one place on per round until it falls off the 255 characters.
      {"a by ba ends", kT1, "xa", "a", "ba", "xbbbbbbbbb"},
      // A numeric field is trimmed and right-aligned afterwards.
      {"numeric field", kX1, " 1,5", ",", ".", "   1.5"},
      {"no match", kX1, "12", "a", "b", "    12"},
      {"case as typed", kT1, "Abc", "a", "x", left("Abc", 10)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    put(c.target, c.before);
    execute(replaceStatement(c.target, c.search, c.replacement));
    EXPECT_EQ(field(c.target), c.expected);
  }
}

TEST_F(EvaluatorTest, TextStatements) {
  auto oneText = [](std::uint8_t code, F target, std::string_view text) {
    return statement(code, target, kNoDecimalsGiven, {}, textParameter(text));
  };
  auto oneCharacter = [](std::uint8_t code, F target, char c) {
    return statement(code, target, kNoDecimalsGiven, {}, Bytes{static_cast<std::uint8_t>(c)});
  };
  struct Case {
    const char* name;
    F target;
    std::string before;
    Bytes code;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"RPM fills an empty numeric field", kX1, "", oneText(kStmtRpm, kX1, "99"), "    99"},
      {"RPM leaves a number", kX1, "5", oneText(kStmtRpm, kX1, "99"), "5     "},
      {"RPM leaves a non-number", kX1, "abc", oneText(kStmtRpm, kX1, "99"), "abc   "},
      {"RPM leaves a text field", kT1, "", oneText(kStmtRpm, kT1, "99"), blanks(10)},
      {"TXT numeric", kX1, "5", oneText(kStmtTxt, kX1, "ja"), "    ja"},
      {"TXT text", kT1, "alt", oneText(kStmtTxt, kT1, "Neu"), left("Neu", 10)},
      {"TXT longer than the field keeps the end", kN, "", oneText(kStmtTxt, kN, "123456"), "3456"},
      {"RMV text", kT1, "a-b-c", oneCharacter(kStmtRmv, kT1, '-'), left("abc", 10)},
      {"RMV numeric", kX1, " 1.234", oneCharacter(kStmtRmv, kX1, '.'), "  1234"},
      {"RMV blank", kT1, "a b c", oneCharacter(kStmtRmv, kT1, ' '), left("abc", 10)},
      {"APP", kT1, "abc", oneCharacter(kStmtApp, kT1, 'x'), left("abcx", 10)},
      {"APP to a full field", kT1, "abcdefghij", oneCharacter(kStmtApp, kT1, 'x'), "abcdefghij"},
      {"APP leaves a numeric field", kX1, "12", oneCharacter(kStmtApp, kX1, 'x'), "12    "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    put(c.target, c.before);
    execute(c.code);
    EXPECT_EQ(field(c.target), c.expected);
  }
}

// ---------------------------------------------------------------- dates and times

TEST_F(EvaluatorTest, DateStatements) {
  struct Case {
    const char* name;
    std::uint8_t code;
    int decimals;
    std::string d1, d2;
    std::string expected;  // R, 10 places; empty for blanks
  };
  const std::vector<Case> cases = {
      {"TNA 01011801", kStmtTna, kNoDecimalsGiven, "01011801", "", "1"},
      // 199 years of 365 days and 48 leap days (1804..1996 without 1900), plus day 1.
      {"TNA 1.1.2000", kStmtTna, kNoDecimalsGiven, "1.1.2000", "", "72684"},
      {"TNA 29.2.2000", kStmtTna, 2, "29022000", "", "72743"},  // + 31 + 28; decimals 0 always
      {"TNA 29021900", kStmtTna, kNoDecimalsGiven, "29021900", "", ""},
      {"TNA 24.01 has no year", kStmtTna, kNoDecimalsGiven, "24.01", "", ""},
      {"TNA 31.02.2000", kStmtTna, kNoDecimalsGiven, "31.02.2000", "", ""},
      {"TNA empty", kStmtTna, kNoDecimalsGiven, "", "", ""},
      {"TNA with an inner blank", kStmtTna, kNoDecimalsGiven, "0101 1801", "", "1"},  // blanks are ignored
      {"TNA two-digit year", kStmtTna, kNoDecimalsGiven, "010190", "", ""},
      {"TNB 18010101", kStmtTnb, kNoDecimalsGiven, "18010101", "", "1"},
      {"TNB with inner blanks", kStmtTnb, kNoDecimalsGiven, "2000 01 01", "", "72684"},
      {"TNB of six digits", kStmtTnb, kNoDecimalsGiven, "200011", "", ""},
      {"TDA", kStmtTda, kNoDecimalsGiven, "15011990", "14021990", "30"},  // 16 + 14
      {"TDA reversed", kStmtTda, 2, "14021990", "15011990", "-30"},
      {"TDA second date invalid", kStmtTda, kNoDecimalsGiven, "15011990", "32011990", ""},
      {"TDA second date empty", kStmtTda, kNoDecimalsGiven, "15011990", "", ""},
      {"TDA dotted", kStmtTda, kNoDecimalsGiven, "15.01.1990", "14.02.1990", "30"},
      {"TDA dotted, one digit parts", kStmtTda, kNoDecimalsGiven, "15.1.1990", "1.2.1990", "17"},  // 16 + 1
      {"TDB", kStmtTdb, kNoDecimalsGiven, "19900115", "19900214", "30"},
      // 30 days are 4.2857 weeks, truncated.
      {"WDA none given", kStmtWda, kNoDecimalsGiven, "15011990", "14021990", "4"},
      {"WDA : 0", kStmtWda, 0, "15011990", "14021990", "4"},
      {"WDA : 1", kStmtWda, 1, "15011990", "14021990", "4.2"},
      {"WDA : 2", kStmtWda, 2, "15011990", "14021990", "4.28"},
      {"WDA : 5 gives 2", kStmtWda, 5, "15011990", "14021990", "4.28"},
      {"WDA : 9 gives 0", kStmtWda, 9, "15011990", "14021990", "4"},
      {"WDB : 2", kStmtWdb, 2, "19900115", "19900214", "4.28"},
      // 0 months in the year and a day rest of -1 + 30 = 29: 29 / 31 = 0.935...
      {"MDA", kStmtMda, kNoDecimalsGiven, "15011990", "14021990", "0"},
      {"MDA : 2", kStmtMda, 2, "15011990", "14021990", "0.93"},
      // rest 1 - 31 = -30 becomes max(0, 1) = 1; 1 month in the year: 1 + 1 / 31 = 1.032
      {"MDA day rest at least 1", kStmtMda, 2, "31011990", "01031990", "1.03"},
      // rest 31 - 1 = 30 stays 30: 30 / 31 = 0.967
      {"MDA day rest at most 30", kStmtMda, 2, "01011990", "31011990", "0.96"},
      // Reversed: from 14.1.1980 to 15.6.1990 are 10 years, 5 months and a rest of 1 day:
      // 10 + (5 + 1 / 31) / 12 = 10.419, negated.
      {"JDA : 1 reversed", kStmtJda, 1, "15061990", "14011980", "-10.4"},
      {"JDA reversed", kStmtJda, kNoDecimalsGiven, "15061990", "14011980", "-10"},
      {"MDA : 2 reversed", kStmtMda, 2, "15061990", "14011980", "-125.03"},  // 120 + 5 + 1 / 31
      {"JDA a whole year", kStmtJda, 2, "01031999", "01032000", "1.00"},
      {"JDB : 2", kStmtJdb, 2, "19990301", "20000301", "1.00"},
      {"MDB invalid", kStmtMdb, 2, "19990230", "20000301", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    put(kD1, c.d1);
    put(kD2, c.d2);
    put(kR, "XXXXXXXXXX");
    const bool one = c.code == kStmtTna || c.code == kStmtTnb;
    execute(statement(c.code, kR, c.decimals, one ? std::vector<F>{kD1} : std::vector<F>{kD1, kD2}));
    EXPECT_EQ(field(kR), c.expected.empty() ? blanks(10) : right(c.expected, 10));
  }
}

TEST_F(EvaluatorTest, TimeStatements) {
  struct Case {
    const char* name;
    std::uint8_t code;
    std::string z1, z2;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"ZDM over midnight", kStmtZdm, "23.30", "00.15", "45"},  // 15 - 1410 + 1440
      {"ZDM digit blocks", kStmtZdm, "0815", "1230", "255"},    // 750 - 495
      {"ZDM ignores seconds", kStmtZdm, "10.00.50", "10.01.10", "1"},
      {"ZDS", kStmtZds, "10.00.50", "10.01.10", "20"},
      {"ZDS over midnight", kStmtZds, "23.59.30", "00.00.15", "45"},  // 15 - 86370 + 86400
      {"ZDM to 24.00", kStmtZdm, "00.00", "24.00", "1440"},
      {"ZDM equal", kStmtZdm, "12.00", "12.00", "0"},
      {"ZDM invalid hour", kStmtZdm, "25.00", "12.00", ""},
      {"ZDS invalid minute", kStmtZds, "12.00", "12.60", ""},
      {"ZDM empty", kStmtZdm, "", "12.00", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    put(kD1, c.z1);
    put(kD2, c.z2);
    put(kR, "XXXXXXXXXX");
    execute(statement(c.code, kR, kNoDecimalsGiven, {kD1, kD2}));
    EXPECT_EQ(field(kR), c.expected.empty() ? blanks(10) : right(c.expected, 10));
  }
}

// ---------------------------------------------------------------- programs

TEST_F(EvaluatorTest, CopyRecordWritesTheIntermediateState) {
  // [C] = 1; COPYDS; [C] = 2
  const CommandProgram p =
      program({assignConstant(kC, 1), statement(kStmtCopyRecord, F{0, 0}, 0, {}), assignConstant(kC, 2)});
  AuxiliaryStores stores;
  EXPECT_TRUE(ExecuteProgram(p, record, stores, writer));
  EXPECT_EQ(copies, std::vector<std::string>{right("1", 8)});
  EXPECT_EQ(field(kC), right("2", 8));

  // A failed write ends the program there and reports it.
  copies.clear();
  writerSucceeds = false;
  EXPECT_FALSE(ExecuteProgram(p, record, stores, writer));
  EXPECT_EQ(copies, std::vector<std::string>{right("1", 8)});
  EXPECT_EQ(field(kC), right("1", 8));

  // No writer: the copy cannot be written.
  EXPECT_FALSE(ExecuteProgram(p, record, stores, RecordWriter{}));
}

TEST_F(EvaluatorTest, ExitSkipsTheRestButSavesTheStores) {
  // [*H5] = 3; [C] = 1; EXIT; [C] = 2
  const CommandProgram p = program({assignConstant(store(5), 3), assignConstant(kC, 1),
                                    statement(kStmtExit, F{0, 0}, 0, {}), assignConstant(kC, 2)});
  AuxiliaryStores stores;
  EXPECT_TRUE(ExecuteProgram(p, record, stores, writer));
  EXPECT_EQ(field(kC), right("1", 8));
  EXPECT_EQ(std::string(stores.chars.data() + 36, 9), right("3", 9));
}

TEST_F(EvaluatorTest, AuxiliaryStoresCarryH5ToH8) {
  // [*H5] = [*H5] + [X1]; [*H6] = [*H6] + 1; [*H2] = [*H1] + 1; [*H1] = 5
  const Bytes plusV2 = formula({sub('+', {ref(1), ref(2)}, "+")});
  const Bytes plusOne = formula({sub('+', {ref(1), num(1)}, "+")});
  const CommandProgram p =
      program({assign(store(5), kNoDecimalsGiven, {store(5), kX1}, plusV2),
               assign(store(6), kNoDecimalsGiven, {store(6)}, plusOne),
               assign(store(2), kNoDecimalsGiven, {store(1)}, plusOne), assignConstant(store(1), 5)});
  struct Step {
    std::string x;
    std::string h5;  // after the record
    std::string h6;
  };
  // The running sum of 1, 2.5, (missing), 4: a missing value blanks H5 for the rest of the run.
  const std::vector<Step> steps = {{"1", "1", "1"}, {"2.5", "3.5", "2"}, {"", "", "3"}, {"4", "", "4"}};
  AuxiliaryStores stores;  // a run starts with "000000000"
  for (const Step& s : steps) {
    SCOPED_TRACE(s.x);
    RecordBuffer fresh;
    record = fresh;
    record.write(7822, "        7");  // whatever the buffer held there, H1..H4 start blank
    put(kX1, s.x);
    ASSERT_TRUE(ExecuteProgram(p, record, stores, writer));
    const std::string saved(stores.chars.data(), stores.chars.size());
    EXPECT_EQ(saved.substr(0, 9), right("5", 9));  // H1 as the record left it
    EXPECT_EQ(saved.substr(9, 9), blanks(9));      // H2 = H1 + 1 with H1 blank at the start
    EXPECT_EQ(saved.substr(36, 9), s.h5.empty() ? blanks(9) : right(s.h5, 9));
    EXPECT_EQ(saved.substr(45, 9), right(s.h6, 9));
    EXPECT_EQ(saved.substr(54, 18), std::string(18, '0'));  // H7, H8 untouched
    EXPECT_EQ(record.field(7822 + 36, 9), saved.substr(36, 9));
  }
}

TEST_F(EvaluatorTest, TheBenchmarkProgram) {
  // [BMI : 1] = [GEWICHT] / ([GROESSE] / 100 * [GROESSE] / 100); IF [ALTER] >= 65; [*H5] = [*H5] + 1;
  // END; [DAUER] = TDA:[AUFNAHME>],[ENTLASS>]
  constexpr F kGewicht{1, 5}, kGroesse{6, 5}, kAlter{11, 3}, kBmi{14, 6}, kAufnahme{20, kText | 10},
      kEntlass{30, kText | 10}, kDauer{40, 5};
  const Bytes bmi =
      formula({sub('+', {ref(2), num(100), ref(3), num(100)}, "/*/"), sub('+', {ref(1), ref(51)}, "/")});
  const CommandProgram p =
      program({assign(kBmi, 1, {kGewicht, kGroesse, kGroesse}, bmi),
               statement(kStmtIf, kAlter, kIfGreaterEqual, {}, formula({sub('+', {num(65)})})),
               assign(store(5), kNoDecimalsGiven, {store(5)}, formula({sub('+', {ref(1), num(1)}, "+")})),
               statement(kStmtEnd, F{0, 0}, 0, {}),
               statement(kStmtTda, kDauer, kNoDecimalsGiven, {kAufnahme, kEntlass})});
  AuxiliaryStores stores;
  record.write(1, "   80  180 70");
  record.write(20, "01.03.2020");
  record.write(30, "15.03.2020");
  ASSERT_TRUE(ExecuteProgram(p, record, stores, writer));
  EXPECT_EQ(field(kBmi), "  24.7");  // 80 / 3.24 = 24.69
  EXPECT_EQ(field(kDauer), "   14");
  EXPECT_EQ(std::string(stores.chars.data() + 36, 9), right("1", 9));
  record.write(11, " 64");
  ASSERT_TRUE(ExecuteProgram(p, record, stores, writer));
  EXPECT_EQ(std::string(stores.chars.data() + 36, 9), right("1", 9));
}

// ---------------------------------------------------------------- malformed bytes

TEST_F(EvaluatorTest, MalformedStatementsDoNoHarm) {
  const Bytes good = assign(kC, kNoDecimalsGiven, {kA, kB}, formula({sub('+', {ref(1), ref(2)}, "+")}));
  put(kA, "1");
  put(kB, "2");
  struct Case {
    const char* name;
    Bytes bytes;
    int length;
    std::string expected;  // C afterwards; C is "X" before
  };
  const std::vector<Case> cases = {
      {"well formed", good, static_cast<int>(good.size()), right("3", 8)},
      {"shorter than a header", good, 5, left("X", 8)},
      {"shorter than its variables", good, 10, blanks(8)},
      {"formula without its closing zero", good, static_cast<int>(good.size()) - 1, blanks(8)},
      {"formula cut in an operand", good, 20, blanks(8)},
      {"V3 with k = 2", assign(kC, kNoDecimalsGiven, {kA, kB}, formula({sub('+', {ref(3)})})), -1, blanks(8)},
      {"k = 200 in 30 bytes",
       [&] {
         Bytes b = good;
         b[5] = 200;
         return b;
       }(),
       -1, blanks(8)},
      {"unknown code", statement(77, kC, 0, {}), -1, left("X", 8)},
      {"TDA with one date", statement(kStmtTda, kC, kNoDecimalsGiven, {kA}), -1, blanks(8)},
      {"RPL too short",
       [] {
         const Bytes b = replaceStatement(kC, "X", "Y");
         return Bytes(b.begin(), b.begin() + 20);
       }(),
       -1, left("X", 8)},
      {"RMV without its character", statement(kStmtRmv, kC, kNoDecimalsGiven, {}), -1, left("X", 8)},
      {"TXT text length 200 reads 10",
       statement(kStmtTxt, kC, kNoDecimalsGiven, {},
                 [] {
                   Bytes b = textParameter("1234567890");
                   b[0] = 200;
                   return b;
                 }()),
       -1, "34567890"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    put(kC, "X");
    state = StatementState{};
    // An exact-size copy, so a read past the given length shows under a sanitizer.
    const auto length =
        static_cast<std::ptrdiff_t>(c.length < 0 ? c.bytes.size() : static_cast<std::size_t>(c.length));
    const Bytes bytes(c.bytes.begin(), c.bytes.begin() + length);
    ExecuteStatement(bytes.data(), static_cast<int>(bytes.size()), record, state, writer);
    EXPECT_EQ(field(kC), c.expected);
  }
  ExecuteStatement(nullptr, 0, record, state, writer);  // nothing to run
  state = StatementState{};
  const Bytes ifCut = statement(kStmtIf, kA, kIfEqual, {kB}, {});  // no formula at all
  execute(ifCut);
  EXPECT_FALSE(state.active);
}

TEST_F(EvaluatorTest, ProgramsStopAtTheirBounds) {
  AuxiliaryStores stores;
  // A length that reaches past the bytes: that statement is not run.
  CommandProgram p = program({assignConstant(kC, 1), assignConstant(kN, 2)}, false);
  p.bytes.resize(p.bytes.size() - 1);
  put(kC, "");
  put(kN, "");
  EXPECT_TRUE(ExecuteProgram(p, record, stores, writer));
  EXPECT_EQ(field(kC), right("1", 8));
  EXPECT_EQ(field(kN), blanks(4));

  // Without the closing zero length the program ends with its bytes; an empty one only moves the stores.
  EXPECT_TRUE(ExecuteProgram(program({assignConstant(kN, 2)}, false), record, stores, writer));
  EXPECT_EQ(field(kN), right("2", 4));
  EXPECT_TRUE(ExecuteProgram(CommandProgram{}, record, stores, writer));

  // A zero length ends it even when bytes follow.
  CommandProgram early = program({assignConstant(kC, 7)});
  const CommandProgram rest = program({assignConstant(kN, 9)});
  early.bytes.insert(early.bytes.end(), rest.bytes.begin(), rest.bytes.end());
  EXPECT_TRUE(ExecuteProgram(early, record, stores, writer));
  EXPECT_EQ(field(kC), right("7", 8));
  EXPECT_EQ(field(kN), right("2", 4));

  // Statements must end within the first 23950 bytes. 2991 END statements take 2991 * 8 = 23928
  // bytes, a filler of 2 (or 3) bytes 4 (or 5) more, and [C] = 5 takes 2 + 16: it ends at byte 23950
  // (runs) or 23951 (does not).
  for (const int filler : {2, 3}) {
    SCOPED_TRACE(filler);
    std::vector<Bytes> statements(2991, statement(kStmtEnd, F{0, 0}, 0, {}));
    statements.push_back(Bytes(static_cast<std::size_t>(filler), 0));
    statements.push_back(assignConstant(kC, 5));
    const CommandProgram big = program(statements);
    ASSERT_EQ(big.bytes.size(), static_cast<std::size_t>(23928 + 2 + filler + 18 + 2));
    put(kC, "");
    EXPECT_TRUE(ExecuteProgram(big, record, stores, writer));
    EXPECT_EQ(field(kC), filler == 2 ? right("5", 8) : blanks(8));
  }
}

}  // namespace
}  // namespace veltrix
