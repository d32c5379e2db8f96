#include "core/manip/compiler.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/base/win1252.h"
#include "core/datafile/params.h"
#include "core/manip/command_lines.h"
#include "core/stats/number_parse.h"
#include "core/stats/real48.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

namespace {

using namespace veltrix::literals;

constexpr std::string_view kMessages[] = {
    "",
    "Formatfehler linke Seite",
    "Unbekannte Variable auf linker Seite",
    "Unbekannte Variable auf rechter Seite: ",
    "] fehlt",
    "= fehlt",
    "Unzulässiger Vergleichsoperator"_w,
    "Formatfehler auf rechter Seite",
    "Falsche Anzahl Variablen auf rechter Seite",
    "IF ohne abschließendes END"_w,
    "END oder ELSE ohne IF",
    "Leerer Klammerausdruck in der Formel",
    "Falsche Klammerstruktur",
    "Formel zu umfangreich",
};

// The working text of a formula names the references the compiler made itself (the bracketed
// variables 1..50 and the intermediates 51..99) as this byte and two digits. Any such byte that was
// typed is neutralised first, so a typed "V51" can never pass for an intermediate, and a digit typed
// right behind "[A]" never joins the number of its reference as it would in a plain "V1".
constexpr char kMarker = '\x01';
constexpr char kNeutral = '?';  // no part of the language

constexpr int kHeaderBytes = 6;
constexpr int kEntryBytes = 3;
constexpr int kMaxReference = 99;
constexpr int kTextLength = 10;
constexpr int kRplLength = 28;
constexpr int kOneTextLength = 17;
constexpr int kCharacterLength = 7;
constexpr int kReplacementOffset = 17;
constexpr int kKeywordLength = 5;
constexpr std::size_t kMaxLine = static_cast<std::size_t>(kMaxCommandLine);

enum class KeywordKind { Function, OneDate, TwoDates, Text };

struct Keyword {
  std::string_view text;  // as the statement shows it once its blanks are gone
  std::uint8_t code;
  KeywordKind kind;
};

constexpr Keyword kKeywords[] = {
    {"=MAX:", kStmtMax, KeywordKind::Function}, {"=MIN:", kStmtMin, KeywordKind::Function},
    {"=SUC:", kStmtSuc, KeywordKind::Function}, {"=SUM:", kStmtSum, KeywordKind::Function},
    {"=MIC:", kStmtMic, KeywordKind::Function}, {"=MIT:", kStmtMit, KeywordKind::Function},
    {"=SDC:", kStmtSdc, KeywordKind::Function}, {"=SDV:", kStmtSdv, KeywordKind::Function},
    {"=ANZ:", kStmtAnz, KeywordKind::Function}, {"=CMB:", kStmtCmb, KeywordKind::Function},
    {"=MMC:", kStmtMmc, KeywordKind::Function}, {"=SMC:", kStmtSmc, KeywordKind::Function},
    {"=RPL:", kStmtRpl, KeywordKind::Text},     {"=RPM:", kStmtRpm, KeywordKind::Text},
    {"=TXT:", kStmtTxt, KeywordKind::Text},     {"=RMV:", kStmtRmv, KeywordKind::Text},
    {"=APP:", kStmtApp, KeywordKind::Text},     {"=TNA:", kStmtTna, KeywordKind::OneDate},
    {"=TDA:", kStmtTda, KeywordKind::TwoDates}, {"=WDA:", kStmtWda, KeywordKind::TwoDates},
    {"=MDA:", kStmtMda, KeywordKind::TwoDates}, {"=JDA:", kStmtJda, KeywordKind::TwoDates},
    {"=TNB:", kStmtTnb, KeywordKind::OneDate},  {"=TDB:", kStmtTdb, KeywordKind::TwoDates},
    {"=WDB:", kStmtWdb, KeywordKind::TwoDates}, {"=MDB:", kStmtMdb, KeywordKind::TwoDates},
    {"=JDB:", kStmtJdb, KeywordKind::TwoDates}, {"=ZDM:", kStmtZdm, KeywordKind::TwoDates},
    {"=ZDS:", kStmtZds, KeywordKind::TwoDates},
};

struct FunctionName {
  std::string_view text;
  std::uint8_t code;
};

// In the order they are tried before an operand; no name is the start of another.
constexpr FunctionName kFunctions[] = {
    {"LN", kFnLn},   {"ABS", kFnAbs}, {"INT", kFnInt},   {"EXP", kFnExp},     {"COS", kFnCos},
    {"SIN", kFnSin}, {"LOG", kFnLog}, {"SQRT", kFnSqrt}, {"ROUND", kFnRound}, {"ARCSIN", kFnArcSin},
};

struct IfOperatorText {
  std::string_view text;
  std::uint8_t code;
};

constexpr IfOperatorText kIfOperators[] = {
    {"<", kIfLess},       {">", kIfGreater},       {"=", kIfEqual},
    {"<=", kIfLessEqual}, {">=", kIfGreaterEqual}, {"<>", kIfNotEqual},
};

void appendReference(std::string& text, int n) {
  text.push_back(kMarker);
  text.push_back(static_cast<char>('0' + n / 10));
  text.push_back(static_cast<char>('0' + n % 10));
}

bool isReferenceTo(std::string_view field, int n) {
  return field.size() == 3 && field[0] == kMarker && field[1] == '0' + n / 10 && field[2] == '0' + n % 10;
}

void put16(std::uint8_t* dst, int value) {
  dst[0] = static_cast<std::uint8_t>(value & 0xFF);
  dst[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
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

// The function written at text[p], with p moved behind its name; kFnNone when there is none.
std::uint8_t functionAt(std::string_view text, std::size_t& p) {
  const std::string_view rest = text.substr(p);
  for (const FunctionName& f : kFunctions) {
    if (rest.starts_with(f.text)) {
      p += f.text.size();
      return f.code;
    }
  }
  return kFnNone;
}

// One flat chain (no parentheses left in it) as a sub-expression appended to out; false on a syntax
// error. Typed references are valid for V1..Vk only.
bool compileChain(std::string_view text, int k, std::vector<std::uint8_t>& out) {
  const int typedLimit = std::min(k, kMaxRightVariables);
  std::size_t p = 0;
  const std::size_t n = text.size();
  std::uint8_t sign = 1;
  if (p < n && (text[p] == '+' || text[p] == '-')) {
    sign = text[p] == '-' ? 2 : 1;
    ++p;
  }
  out.push_back(sign);
  for (;;) {
    std::uint8_t operand = functionAt(text, p);
    if (p >= n) return false;
    double value = 0.0;
    const char c = text[p];
    if (c == kMarker) {
      if (p + 2 >= n || !IsDigit(text[p + 1]) || !IsDigit(text[p + 2])) return false;
      value = (text[p + 1] - '0') * 10 + (text[p + 2] - '0');
      operand |= kValueReference;
      p += 3;
    } else if (c == 'V') {
      const std::size_t first = ++p;
      int number = 0;
      for (; p < n && IsDigit(text[p]); ++p)
        if (number <= kMaxReference) number = number * 10 + (text[p] - '0');
      if (p == first || number < 1 || number > typedLimit) return false;
      value = number;
      operand |= kValueReference;
    } else if (IsDigitOrPoint(c)) {
      const std::size_t first = p;
      while (p < n && IsDigitOrPoint(text[p])) ++p;
      const ParsedNumber number = ParseField(text.substr(first, p - first));
      if (number.decimals < 0) return false;
      value = number.value;
    } else {
      return false;
    }
    std::uint8_t op = kOpEnd;
    if (p < n) {
      op = operatorCode(text[p]);
      if (op == kOpEnd) return false;
      ++p;
    }
    out.push_back(operand);
    std::uint8_t real[6];
    writeReal48(value, real);
    out.insert(out.end(), real, real + 6);
    out.push_back(op);
    if (op == kOpEnd) return true;
  }
}

// The formula over its working text (blanks removed, typed markers neutralised). The innermost group
// is compiled and replaced by its intermediate until no parentheses are left: a loop, so the depth of
// the nesting costs no stack.
FormulaResult compileWorkingText(std::string work, int k) {
  FormulaResult result;
  auto fail = [&result](int error) {
    result.code.clear();
    result.error = error;
    return result;
  };
  int next = kFirstIntermediate;
  for (;;) {
    const std::size_t close = work.find(')');
    std::size_t open = std::string::npos;
    std::string_view chain = work;
    if (close == std::string::npos) {
      if (work.find('(') != std::string::npos)
        return fail(work.back() == '(' ? kFormulaEmptyGroup : kFormulaParentheses);
    } else {
      open = work.rfind('(', close);
      if (open == std::string::npos) return fail(kFormulaParentheses);
      if (open + 1 == close) return fail(kFormulaEmptyGroup);
      if (next > kMaxReference) return fail(kFormulaTooLarge);
      chain = std::string_view(work).substr(open + 1, close - open - 1);
    }
    std::vector<std::uint8_t> sub;
    if (!compileChain(chain, k, sub)) return fail(kFormulaSyntax);
    // The closing zero byte is always needed, so it counts from the start.
    if (result.code.size() + sub.size() + 1 > static_cast<std::size_t>(kMaxFormulaBytes))
      return fail(kFormulaTooLarge);
    result.code.insert(result.code.end(), sub.begin(), sub.end());
    if (close == std::string::npos) {
      result.code.push_back(0);
      return result;
    }
    std::string reference;
    appendReference(reference, next++);
    work.replace(open, close - open + 1, reference);
  }
}

// Appends text with every marker byte neutralised.
void appendNeutral(std::string& out, std::string_view text) {
  for (const char c : text) out.push_back(c == kMarker ? kNeutral : c);
}

// True when the remainder of a function statement is exactly the references 1..k, one per field.
// The fields are cut as SplitCommaFields cuts them (the first ":" counts as a comma, a trailing comma
// ends the last field), but without its limits of 50 fields and 10 characters, which would let an
// extra field or a long one pass unseen.
bool onlyReferences(std::string_view rest, int k) {
  std::string work(rest);
  if (work.empty() || work.back() != ',') work.push_back(',');
  const std::size_t colon = work.find(':');
  if (colon != std::string::npos) work[colon] = ',';
  int field = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t cut = work.find(',', start);
    if (cut == std::string::npos) break;
    ++field;
    if (field > k || !isReferenceTo(std::string_view(work).substr(start, cut - start), field)) return false;
    start = cut + 1;
  }
  return field == k;
}

// A text parameter: its length byte and up to 10 characters.
void storeText(std::uint8_t* dst, std::string_view text) {
  text = text.substr(0, std::min(text.size(), static_cast<std::size_t>(kTextLength)));
  dst[0] = static_cast<std::uint8_t>(text.size());
  std::copy(text.begin(), text.end(), dst + 1);
}

int formulaError(int error) {
  switch (error) {
    case kFormulaEmptyGroup:
      return kErrEmptyParentheses;
    case kFormulaParentheses:
      return kErrParentheses;
    case kFormulaSyntax:
      return kErrRightFormat;
    default:
      return kErrTooLarge;
  }
}

}  // namespace

std::string_view StatementKeyword(int code) {
  for (const Keyword& k : kKeywords)
    if (k.code == code) return k.text.substr(1, 3);
  return {};
}

std::string_view FormulaFunctionName(int function) {
  for (const FunctionName& f : kFunctions)
    if (f.code == function) return f.text;
  return {};
}

std::string CompilerMessage(int error) {
  if (error < 1 || error > kErrTooLarge) return {};
  return std::string(kMessages[error]);
}

VariableRef ResolveCommandVariable(std::string_view name, const TParams& params) {
  const std::string_view trimmed = TrimmedView(name);
  if (trimmed.empty()) return VariableRef{};
  if (trimmed.size() == 3 && trimmed[0] == '*' && trimmed[1] == 'H' && trimmed[2] >= '1' &&
      trimmed[2] < '1' + kAuxiliaryStores) {
    VariableRef ref;
    ref.index = 0;
    ref.position = kAuxiliaryStorePosition + kAuxiliaryStoreLength * (trimmed[2] - '1');
    ref.length = kAuxiliaryStoreLength;
    ref.typeByte = kAuxiliaryStoreLength;
    return ref;
  }
  return params.findVariableByName(trimmed);
}

FormulaResult CompileFormula(std::string_view text, int k) {
  std::string work;
  work.reserve(text.size());
  for (const char c : text)
    if (c != ' ') work.push_back(c == kMarker ? kNeutral : c);
  return compileWorkingText(std::move(work), k);
}

StatementResult CompileStatement(std::string_view logicalLine, const TParams& params) {
  StatementResult result;
  std::uint8_t* b = result.statement.bytes.data();
  auto fail = [&result](int error) {
    result.statement = CompiledStatement{};
    result.error = error;
    return result;
  };
  auto done = [&result](int length) {
    result.statement.length = length;
    return result;
  };

  const std::string_view line = logicalLine.substr(0, std::min(logicalLine.size(), kMaxLine));
  std::size_t base = 0;  // offset in the logical line of the first character still looked at
  while (base < line.size() && line[base] == ' ') ++base;
  std::string typed(TrimmedView(line));
  if (typed.empty() || typed.front() == '/') return result;
  std::string upper = UpperText(typed);

  if (upper == "EXIT" || upper == "COPYDS" || upper == "END" || upper == "ELSE") {
    b[4] = upper == "EXIT"     ? kStmtExit
           : upper == "COPYDS" ? kStmtCopyRecord
           : upper == "END"    ? kStmtEnd
                               : kStmtElse;
    return done(kHeaderBytes);
  }

  const bool isIf = upper.starts_with("IF");
  if (isIf) {
    std::size_t skip = 2;
    while (skip < upper.size() && upper[skip] == ' ') ++skip;
    upper.erase(0, skip);
    typed.erase(0, skip);
    base += skip;
  }

  // The left side.
  if (upper.empty() || upper.front() != '[') return fail(kErrLeftFormat);
  const std::size_t leftEnd = upper.find(']');
  if (leftEnd == std::string::npos) return fail(kErrLeftFormat);
  const CommaFields left = SplitCommaFields(std::string_view(upper).substr(1, leftEnd - 1));
  const VariableRef target = ResolveCommandVariable(left.fields.empty() ? "" : left.fields.front(), params);
  if (target.index < 0) return fail(kErrUnknownLeft);
  put16(b, target.position);
  b[2] = target.typeByte;
  b[3] = kNoDecimalsGiven;
  if (left.colonField == 1) {
    const ParsedNumber decimals = ParseField(left.count > 1 ? std::string_view(left.fields[1]) : "");
    if (decimals.decimals != 0) return fail(kErrLeftFormat);
    b[3] = static_cast<std::uint8_t>(std::clamp(decimals.intValue, 0, 9));
  }
  std::fill(upper.begin(), upper.begin() + static_cast<std::ptrdiff_t>(leftEnd) + 1, ' ');
  std::fill(typed.begin(), typed.begin() + static_cast<std::ptrdiff_t>(leftEnd) + 1, ' ');

  // The right-side variables become the references 1..k of the working text.
  std::string work;
  int k = 0;
  for (std::size_t pos = leftEnd + 1;;) {
    const std::size_t open = upper.find('[', pos);
    appendNeutral(work, std::string_view(upper).substr(pos, open == std::string::npos ? open : open - pos));
    if (open == std::string::npos) break;
    const std::size_t close = upper.find(']', open + 1);
    if (close == std::string::npos) return fail(kErrBracketMissing);
    const std::string_view name = TrimmedView(std::string_view(upper).substr(open + 1, close - open - 1))
                                      .substr(0, kVariableNameLength);
    const VariableRef ref = ResolveCommandVariable(name, params);
    if (ref.index < 0) {
      fail(kErrUnknownRight);
      result.errorColumn = static_cast<int>(base + open);
      return result;
    }
    if (k == kMaxRightVariables) return fail(kErrTooLarge);
    ++k;
    std::uint8_t* entry = b + kHeaderBytes + kEntryBytes * (k - 1);
    put16(entry, ref.position);
    entry[2] = ref.typeByte;
    appendReference(work, k);
    pos = close + 1;
  }
  b[5] = static_cast<std::uint8_t>(k);
  std::string text;
  for (const char c : work)
    if (c != ' ') text.push_back(c);
  const int withVariables = kHeaderBytes + kEntryBytes * k;

  const std::string_view head = std::string_view(text).substr(0, std::min(text.size(), std::size_t{5}));
  const auto keyword = std::find_if(std::begin(kKeywords), std::end(kKeywords),
                                    [head](const Keyword& kw) { return kw.text == head; });
  if (keyword != std::end(kKeywords)) {
    if (isIf) return fail(kErrRightFormat);
    b[4] = keyword->code;
    const std::string_view rest = std::string_view(text).substr(kKeywordLength);
    switch (keyword->kind) {
      case KeywordKind::Function:
        if (k == 0) return fail(kErrVariableCount);
        if (!onlyReferences(rest, k)) return fail(kErrRightFormat);
        return done(withVariables);
      case KeywordKind::OneDate:
      case KeywordKind::TwoDates: {
        if (k == 0) return fail(kErrVariableCount);
        if (!onlyReferences(rest, k)) return fail(kErrRightFormat);
        if (k != (keyword->kind == KeywordKind::OneDate ? 1 : 2)) return fail(kErrVariableCount);
        // Dates are read as text, whatever the field's kind.
        for (int i = 0; i < k; ++i) b[kHeaderBytes + kEntryBytes * i + 2] |= 128;
        return done(withVariables);
      }
      case KeywordKind::Text:
        break;
    }
    if (k > 0) return fail(kErrVariableCount);
    // The parameters keep their letters as typed; SplitCommaFields trims and cuts them to 10.
    const CommaFields fields = SplitCommaFields(typed);
    auto parameter = [&fields](int i) {
      return i < fields.count ? TrimBlanks(fields.fields[static_cast<std::size_t>(i)], 0) : std::string();
    };
    switch (keyword->code) {
      case kStmtRpl: {
        std::string search = parameter(1);
        std::string replacement = parameter(2);
        // A comma as a parameter is written as two commas in a row.
        if (rest.starts_with(",,")) {
          search = ",";
          replacement = parameter(3);
        }
        if (rest.size() >= 3 && rest[1] == ',' && rest[2] == ',') replacement = ",";
        storeText(b + kHeaderBytes, search);
        storeText(b + kReplacementOffset, replacement);
        return done(kRplLength);
      }
      case kStmtRpm:
      case kStmtTxt:
        storeText(b + kHeaderBytes, parameter(1));
        return done(kOneTextLength);
      default: {
        const std::string character = parameter(1);
        b[kHeaderBytes] = static_cast<std::uint8_t>(character.empty() ? ' ' : character.front());
        return done(kCharacterLength);
      }
    }
  }

  std::string_view formula = text;
  if (!isIf) {
    if (formula.empty() || formula.front() != '=') return fail(kErrEqualsMissing);
    formula.remove_prefix(1);
    b[4] = kStmtAssign;
  } else {
    // A second character that can only belong to an operator makes it a two-character one ("=<" is
    // refused as an operator, not taken for "=" before a formula "<3").
    const std::size_t length =
        formula.size() >= 2 && (formula[1] == '=' || formula[1] == '>' || formula[1] == '<') ? 2 : 1;
    const std::string_view op = formula.substr(0, std::min(length, formula.size()));
    const auto found = std::find_if(std::begin(kIfOperators), std::end(kIfOperators),
                                    [op](const IfOperatorText& o) { return o.text == op; });
    if (op.empty() || found == std::end(kIfOperators)) return fail(kErrBadOperator);
    b[3] = found->code;
    formula.remove_prefix(op.size());
    if (formula.ends_with("THEN")) formula.remove_suffix(4);
    b[4] = kStmtIf;
  }
  const FormulaResult code = compileWorkingText(std::string(formula), k);
  if (code.error != kFormulaOk) return fail(formulaError(code.error));
  const int length = withVariables + static_cast<int>(code.code.size());
  if (length > kMaxStatementBytes) return fail(kErrTooLarge);
  std::copy(code.code.begin(), code.code.end(), b + withVariables);
  return done(length);
}

ProgramResult CompileProgram(const std::vector<std::string>& physicalLines, const TParams& params) {
  ProgramResult result;
  const std::vector<LogicalLine> lines = SplitLogicalLines(physicalLines);
  std::vector<std::uint8_t>& out = result.program.bytes;
  const int lastPhysical = static_cast<int>(physicalLines.size()) - 1;
  auto fail = [&](int error, const LogicalLine& line, int column) {
    result.ok = false;
    result.error = error;
    result.line = line.firstLine;
    result.program.bytes.clear();
    result.message = CompilerMessage(error);
    if (error == kErrUnknownRight) {
      const auto physical = static_cast<std::size_t>(PhysicalLineAt(line, column));
      const std::string_view quoted = physicalLines[physical];
      result.message += TrimBlanks(quoted.substr(0, std::min(quoted.size(), kMaxLine)), 1);
    }
    return result;
  };

  bool ifOpen = false;
  for (const LogicalLine& line : lines) {
    const StatementResult compiled = CompileStatement(line.text, params);
    if (compiled.error != kCompileOk) return fail(compiled.error, line, compiled.errorColumn);
    const int length = compiled.statement.length;
    const int code = length > 0 ? compiled.statement.bytes[4] : 0;
    if (code == kStmtIf) {
      if (ifOpen) return fail(kErrIfWithoutEnd, line, -1);
      ifOpen = true;
    } else if (code == kStmtElse || code == kStmtEnd) {
      if (!ifOpen) return fail(kErrEndWithoutIf, line, -1);
      if (code == kStmtEnd) ifOpen = false;
    }
    if (line.lastLine == lastPhysical && ifOpen) return fail(kErrIfWithoutEnd, line, -1);
    if (length == 0) continue;
    // The closing zero length belongs to the program too.
    if (out.size() + 2 + static_cast<std::size_t>(length) + 2 > static_cast<std::size_t>(kMaxProgramBytes))
      return fail(kErrTooLarge, line, -1);
    out.push_back(static_cast<std::uint8_t>(length & 0xFF));
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.insert(out.end(), compiled.statement.bytes.begin(), compiled.statement.bytes.begin() + length);
  }
  out.push_back(0);
  out.push_back(0);
  result.ok = true;
  return result;
}

std::vector<StatementView> ProgramStatements(const CommandProgram& program) {
  std::vector<StatementView> views;
  const std::vector<std::uint8_t>& b = program.bytes;
  std::size_t p = 0;
  while (p + 2 <= b.size()) {
    const std::size_t length = b[p] | (std::size_t{b[p + 1]} << 8);
    if (length == 0 || length > b.size() - p - 2) break;
    views.push_back(StatementView{b.data() + p + 2, static_cast<int>(length)});
    p += 2 + length;
  }
  return views;
}

}  // namespace veltrix
