// The compiler of the manipulation language: a command file's statements to the compiled program
// that the evaluator runs on every record.
//
// A compiled statement (at most 500 bytes):
//   0-1  target field: 16-bit start position (1-based, little-endian)
//   2    target type byte (bit 7 text, bits 0-6 length)
//   3    assignment: decimals 0..9, or 10 when none were given; IF: comparison operator 1..6
//   4    statement code (StatementCode)
//   5    k, the number of bracketed variables on the right side
//   6..  per right-side variable 3 bytes: 16-bit start position and type byte, in order (variable i
//        is the operand Vi of the formula)
//   6+3k formula code (assignment, IF) or the text parameters (text statements)
// Text parameters: RPL search text at bytes 6-16 and replacement at 17-27, RPM and TXT one text at
// 6-16, each a length byte and up to 10 characters; RMV and APP the character at byte 6.
//
// Formula code: sub-expressions, then one zero byte. A sub-expression is a sign byte (1 plus, 2
// minus), then per operand 8 bytes: operand byte (function code in bits 0-4, + 32 for a value
// reference), a six-byte real (the constant, or n of the reference Vn) and the operator that follows
// (1 "+", 2 "-", 3 "*", 4 "/", 0 after the last operand). V1..Vk are the right-side variables, V51..V99
// the results of earlier sub-expressions in compilation order; the last sub-expression is the formula.
//
// The program: each statement preceded by its length as a 16-bit little-endian number; a length of 0
// ends it. Comments and empty lines produce nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix {

class TParams;

inline constexpr int kMaxStatementBytes = 500;
inline constexpr int kMaxProgramBytes = 23900;
inline constexpr int kMaxFormulaBytes = 500;
inline constexpr int kFirstIntermediate = 51;  // V51 is the first intermediate
inline constexpr int kMaxIntermediates = 49;   // V51..V99
inline constexpr int kMaxRightVariables = 50;  // V1..V50

// Auxiliary store n (1..8): a numeric field of 9 characters at 7813 + 9 n (H1 at 7822).
inline constexpr int kAuxiliaryStorePosition = 7822;
inline constexpr int kAuxiliaryStoreLength = 9;
inline constexpr int kAuxiliaryStores = 8;

enum StatementCode : std::uint8_t {
  kStmtAssign = 1,
  kStmtIf = 3,
  kStmtEnd = 4,
  kStmtElse = 5,
  kStmtMax = 11,
  kStmtMin = 12,
  kStmtSuc = 13,
  kStmtSum = 14,
  kStmtMic = 15,
  kStmtMit = 16,
  kStmtSdc = 17,
  kStmtSdv = 18,
  kStmtAnz = 19,
  kStmtCmb = 20,
  kStmtRpl = 21,
  kStmtRpm = 22,
  kStmtTxt = 23,
  kStmtRmv = 24,
  kStmtApp = 25,
  kStmtTna = 30,
  kStmtTda = 31,
  kStmtWda = 32,
  kStmtMda = 33,
  kStmtJda = 34,
  kStmtTnb = 35,
  kStmtTdb = 36,
  kStmtWdb = 37,
  kStmtMdb = 38,
  kStmtJdb = 39,
  kStmtZdm = 40,
  kStmtZds = 41,
  kStmtMmc = 60,
  kStmtSmc = 61,
  kStmtCopyRecord = 98,  // COPYDS
  kStmtExit = 99,
};

// Decimals byte of an assignment without ": nk".
inline constexpr std::uint8_t kNoDecimalsGiven = 10;

// IF operators in byte 3.
enum IfOperator : std::uint8_t {
  kIfLess = 1,
  kIfGreater,
  kIfEqual,
  kIfLessEqual,
  kIfGreaterEqual,
  kIfNotEqual
};

// Function codes in bits 0-4 of an operand byte; kValueReference marks an operand that is Vn.
enum FormulaFunction : std::uint8_t {
  kFnNone = 0,
  kFnAbs,
  kFnInt,
  kFnRound,
  kFnExp,
  kFnLn,
  kFnCos,
  kFnSin,
  kFnLog,
  kFnSqrt,
  kFnArcSin,
};
inline constexpr std::uint8_t kValueReference = 32;

enum FormulaOperator : std::uint8_t { kOpEnd = 0, kOpPlus, kOpMinus, kOpTimes, kOpDivide };

// Compiler errors 1..13 (the numbers of the messages).
enum CompileError : int {
  kCompileOk = 0,
  kErrLeftFormat = 1,         // "Formatfehler linke Seite"
  kErrUnknownLeft = 2,        // "Unbekannte Variable auf linker Seite"
  kErrUnknownRight = 3,       // "Unbekannte Variable auf rechter Seite: " + the line
  kErrBracketMissing = 4,     // "] fehlt"
  kErrEqualsMissing = 5,      // "= fehlt"
  kErrBadOperator = 6,        // "Unzulässiger Vergleichsoperator"
  kErrRightFormat = 7,        // "Formatfehler auf rechter Seite"
  kErrVariableCount = 8,      // "Falsche Anzahl Variablen auf rechter Seite"
  kErrIfWithoutEnd = 9,       // "IF ohne abschließendes END"
  kErrEndWithoutIf = 10,      // "END oder ELSE ohne IF"
  kErrEmptyParentheses = 11,  // "Leerer Klammerausdruck in der Formel"
  kErrParentheses = 12,       // "Falsche Klammerstruktur"
  kErrTooLarge = 13,          // "Formel zu umfangreich"
};

// Formula errors 1..4 of CompileFormula (they become errors 11, 12, 7 and 13 of a statement).
enum FormulaError : int {
  kFormulaOk = 0,
  kFormulaEmptyGroup = 1,
  kFormulaParentheses = 2,
  kFormulaSyntax = 3,
  kFormulaTooLarge = 4,
};

// The message text of error 1..13 (Windows-1252); for error 3 the caller appends the line.
std::string CompilerMessage(int error);

struct CompiledStatement {
  std::array<std::uint8_t, kMaxStatementBytes> bytes{};
  int length = 0;  // 0 for a comment or an empty line
};

struct StatementResult {
  CompiledStatement statement;
  int error = kCompileOk;
};

// One logical line (any bytes; at most 255 characters are looked at). Variables are found with
// params' find variable by name (names, "*DSNR", FA.FL, FA.FL>), the auxiliary stores *H1..*H8 by the
// compiler itself. Never reads outside the line nor writes past 500 bytes.
StatementResult CompileStatement(std::string_view logicalLine, const TParams& params);

struct FormulaResult {
  std::vector<std::uint8_t> code;  // with the closing zero byte
  int error = kFormulaOk;
};

// The formula text as it stands after the right-side variables were replaced by "V i"; k is their
// number. A reference typed as V0, V above k or V51 and beyond is a syntax error; more than 49
// intermediates or more than 500 bytes of code is kFormulaTooLarge. No recursion per parenthesis.
FormulaResult CompileFormula(std::string_view text, int k);

struct CommandProgram {
  // Statements with their 16-bit lengths, closed by a zero length (so never empty once compiled).
  std::vector<std::uint8_t> bytes;
};

struct ProgramResult {
  bool ok = false;
  CommandProgram program;
  int error = kCompileOk;
  std::string message;  // the message box text on failure (Windows-1252)
  int line = 0;         // on failure: 0-based first physical line of the failing logical line
};

// The physical lines of a command file to the program; stops at the first error.
ProgramResult CompileProgram(const std::vector<std::string>& physicalLines, const TParams& params);

// The statements of a program in order (views into its bytes), for the evaluator and the renderer.
// Stops at a zero length, at the end of the bytes, or at a length that would reach past them.
struct StatementView {
  const std::uint8_t* bytes = nullptr;
  int length = 0;
};
std::vector<StatementView> ProgramStatements(const CommandProgram& program);

}  // namespace veltrix
