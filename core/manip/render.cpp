#include "core/manip/render.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/datafile/params.h"
#include "core/stats/number_parse.h"
#include "core/stats/real48.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

namespace {

constexpr int kHeaderBytes = 6;
constexpr int kEntryBytes = 3;
constexpr int kOperandBytes = 8;
constexpr int kTextLength = 10;
constexpr int kReplacementOffset = 17;
constexpr int kMaxSignificantDigits = 17;  // enough for every double, so for every six-byte real

constexpr std::string_view kIfOperatorTexts[] = {"?", "<", ">", "=", "<=", ">=", "<>"};
constexpr std::string_view kOperatorTexts[] = {"", " + ", " - ", " * ", " / "};

int read16(const std::uint8_t* b) {
  return b[0] | (b[1] << 8);
}

bool isDateStatement(int code) {
  return code >= kStmtTna && code <= kStmtZds;
}

bool isFunctionStatement(int code) {
  return (code >= kStmtMax && code <= kStmtCmb) || code == kStmtMmc || code == kStmtSmc;
}

struct Field {
  int position = 0;
  std::uint8_t type = 0;
};

// Whether the compiler, reading name, comes to this field. In a date statement the compiler has set
// bit 7 of the variable's type byte itself.
bool namesField(const std::string& name, Field field, bool date, bool leftSide, const TParams& params) {
  if (name.empty() || name.find(']') != std::string::npos) return false;
  // The left side is cut into fields at "," and ":".
  if (leftSide && name.find_first_of(",:") != std::string::npos) return false;
  const VariableRef ref = ResolveCommandVariable(UpperText(name), params);
  if (ref.index < 0 || ref.position != field.position) return false;
  return date ? (ref.typeByte | 128) == field.type : ref.typeByte == field.type;
}

// The variable's name when the compiler reads it back as this field, an auxiliary store's name, else
// the direct reference FA.FL (FA.FL> for text). A date statement's field is looked up without the
// bit 7 the compiler added as well as with it, and written as FA.FL (the compiler adds the bit again).
std::string fieldText(Field field, const TParams& params, bool date, bool leftSide) {
  const int store = (field.position - kAuxiliaryStorePosition) / kAuxiliaryStoreLength;
  if (field.position >= kAuxiliaryStorePosition && store < kAuxiliaryStores) {
    const std::string name = "*H" + std::to_string(store + 1);
    if (namesField(name, field, date, leftSide, params)) return name;
  }
  std::vector<int> types{field.type};
  if (date) types.insert(types.begin(), field.type & 127);
  for (const int type : types) {
    const FieldName found = params.findVariableByField(field.position, type);
    // Index 0 is the generated FA.FL, which is only the last resort.
    if (found.index == 0) continue;
    const std::string name = TrimBlanks(found.name, 0);
    if (namesField(name, field, date, leftSide, params)) return name;
  }
  std::string reference = std::to_string(field.position) + "." + std::to_string(field.type & 127);
  if ((field.type & 128) != 0 && !date) reference += '>';
  return reference;
}

// ---------------------------------------------------------------- constants

bool readsBackAs(const std::string& text, const Real48& target) {
  const ParsedNumber parsed = ParseField(text);
  return parsed.decimals >= 0 && Real48::fromDouble(parsed.value) == target;
}

// digits * 10^exponent in digits and at most one point, without superfluous zeros (".5", not "0.5").
std::string plainText(std::string digits, int exponent) {
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return "0";
  digits.erase(0, first);
  while (digits.size() > 1 && digits.back() == '0') {
    digits.pop_back();
    ++exponent;
  }
  if (exponent >= 0) return digits + std::string(static_cast<std::size_t>(exponent), '0');
  const int point = static_cast<int>(digits.size()) + exponent;
  if (point > 0)
    return digits.substr(0, static_cast<std::size_t>(point)) + "." +
           digits.substr(static_cast<std::size_t>(point));
  return "." + std::string(static_cast<std::size_t>(-point), '0') + digits;
}

// The shortest text of digits and a point that the compiler reads as target. For each count of
// significant digits the nearest decimal and its two neighbours are tried: next to a power of two
// the values that read back lie unevenly around the real, so the nearest one may miss where a
// neighbour hits.
std::string constantText(double value, const Real48& target) {
  if (value == 0.0) return "0";
  std::string fallback;
  for (int digits = 1; digits <= kMaxSignificantDigits; ++digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value);
    const std::string scientific = buffer;
    const std::size_t e = scientific.find('e');
    if (e == std::string::npos) return scientific;
    std::string mantissa;
    for (std::size_t i = 0; i < e; ++i)
      if (IsDigit(scientific[i])) mantissa.push_back(scientific[i]);
    const int exponent = std::atoi(scientific.c_str() + e + 1) - (digits - 1);
    const unsigned long long nearest = std::strtoull(mantissa.c_str(), nullptr, 10);
    fallback = plainText(mantissa, exponent);
    std::string best;
    for (const unsigned long long candidate : {nearest, nearest - 1, nearest + 1}) {
      if (candidate == 0) continue;
      const std::string text = plainText(std::to_string(candidate), exponent);
      if ((best.empty() || text.size() < best.size()) && readsBackAs(text, target)) best = text;
    }
    if (!best.empty()) return best;
  }
  return fallback;
}

// ---------------------------------------------------------------- formulas

struct Operand {
  std::uint8_t kind = 0;
  const std::uint8_t* real = nullptr;
  std::uint8_t op = kOpEnd;
};

struct Chain {
  std::uint8_t sign = 1;
  std::vector<Operand> operands;
};

// The sub-expressions of a formula code, as far as they are readable.
std::vector<Chain> readChains(const std::uint8_t* code, int length) {
  std::vector<Chain> chains;
  int p = 0;
  while (p < length && code[p] != 0) {
    Chain chain;
    chain.sign = code[p++];
    bool closed = false;
    while (p + kOperandBytes <= length) {
      const Operand operand{code[p], code + p + 1, code[p + 7]};
      p += kOperandBytes;
      chain.operands.push_back(operand);
      if (operand.op == kOpEnd) {
        closed = true;
        break;
      }
      if (operand.op > kOpDivide) break;
    }
    chains.push_back(std::move(chain));
    if (!closed) break;
  }
  return chains;
}

// Writes a formula as text. Intermediates are written in place, each in one pair of parentheses;
// an intermediate can only be used by a later sub-expression and only once, which also bounds the
// depth of the calls by the 49 intermediates. The right-side variables are written in brackets in
// the order of their first use at the point where the next unwritten one is due, any other use as a
// typed reference Vn, so that the text numbers them as the code does.
class FormulaWriter {
 public:
  FormulaWriter(std::vector<Chain> chains, const std::vector<std::string>& variables)
      : m_chains(std::move(chains)), m_used(m_chains.size(), false), m_variables(variables) {}

  std::string text() { return m_chains.empty() ? std::string() : chain(m_chains.size() - 1); }

 private:
  std::string chain(std::size_t j) {
    std::string out = m_chains[j].sign == 2 ? "-" : "";
    for (const Operand& operand : m_chains[j].operands) {
      const int function = operand.kind & 31;
      const std::string_view name = FormulaFunctionName(function);
      out += function != kFnNone && name.empty() ? "?" : std::string(name);
      if ((operand.kind & kValueReference) != 0) {
        reference(readReal48(operand.real), j, out);
      } else {
        Real48 stored;
        std::copy(operand.real, operand.real + 6, stored.bytes.begin());
        const double value = stored.toDouble();
        // The compiler writes no negative constant; one that is there anyway shows its sign.
        out +=
            value < 0 ? "-" + constantText(-value, Real48::fromDouble(-value)) : constantText(value, stored);
      }
      out += operand.op <= kOpDivide ? kOperatorTexts[operand.op] : " ? ";
    }
    return out;
  }

  void reference(double value, std::size_t j, std::string& out) {
    if (!(value >= 1 && value <= 99) || value != std::floor(value)) {
      out += "V?";
      return;
    }
    const int n = static_cast<int>(value);
    if (n >= kFirstIntermediate) {
      const auto index = static_cast<std::size_t>(n - kFirstIntermediate);
      if (index < j && !m_used[index]) {
        m_used[index] = true;
        out += "(" + chain(index) + ")";
        return;
      }
    } else if (n == m_nextVariable && n <= static_cast<int>(m_variables.size())) {
      out += "[" + m_variables[static_cast<std::size_t>(n - 1)] + "]";
      ++m_nextVariable;
      return;
    }
    out += "V" + std::to_string(n);
  }

  std::vector<Chain> m_chains;
  std::vector<bool> m_used;
  const std::vector<std::string>& m_variables;
  int m_nextVariable = 1;
};

// A text parameter (length byte and characters) as far as the statement holds it.
std::string textAt(const std::uint8_t* s, int length, int offset) {
  if (offset >= length) return {};
  const int count = std::min({int{s[offset]}, kTextLength, length - offset - 1});
  return std::string(reinterpret_cast<const char*>(s + offset + 1), static_cast<std::size_t>(count));
}

// The parameters of RPL joined by a comma. A comma parameter then shows as two commas in a row
// (",,x", "a,,", ",,,"), which is how the compiler reads them; a comma after a search text of more
// than one character cannot be written (the compiler never makes one).
std::string replacementText(const std::string& search, const std::string& replacement) {
  return search + "," + replacement;
}

}  // namespace

std::string RenderStatement(const std::uint8_t* statement, int length, const TParams& params) {
  if (statement == nullptr || length < 5) return {};
  const std::uint8_t* s = statement;
  const int code = s[4];
  switch (code) {
    case kStmtExit:
      return "EXIT";
    case kStmtCopyRecord:
      return "COPYDS";
    case kStmtEnd:
      return "END";
    case kStmtElse:
      return "ELSE";
    default:
      break;
  }
  const bool date = isDateStatement(code);
  const std::string target = fieldText(Field{read16(s), s[2]}, params, false, true);
  const int declared = length > 5 ? s[5] : 0;
  const int k = std::min(declared, std::max(0, (length - kHeaderBytes) / kEntryBytes));
  std::vector<std::string> variables;
  for (int i = 0; i < k; ++i) {
    const std::uint8_t* entry = s + kHeaderBytes + kEntryBytes * i;
    variables.push_back(fieldText(Field{read16(entry), entry[2]}, params, date, false));
  }
  const int formulaStart = kHeaderBytes + kEntryBytes * k;
  auto formula = [&]() {
    if (formulaStart >= length) return std::string();
    return FormulaWriter(readChains(s + formulaStart, length - formulaStart), variables).text();
  };

  if (code == kStmtIf) {
    const std::string_view op = s[3] <= kIfNotEqual ? kIfOperatorTexts[s[3]] : "?";
    return "IF [" + target + "] " + std::string(op) + " " + formula();
  }
  std::string line = "[" + target;
  if (s[3] != kNoDecimalsGiven) line += " : " + std::to_string(s[3]);
  line += "] = ";
  if (code == kStmtAssign) return line + formula();
  const std::string_view keyword = StatementKeyword(code);
  if (keyword.empty()) return line + "?";
  line += std::string(keyword) + ":";
  if (isFunctionStatement(code) || date) {
    for (int i = 0; i < k; ++i) line += (i > 0 ? ", [" : "[") + variables[static_cast<std::size_t>(i)] + "]";
    return line;
  }
  switch (code) {
    case kStmtRpl:
      return line + replacementText(textAt(s, length, kHeaderBytes), textAt(s, length, kReplacementOffset));
    case kStmtRpm:
    case kStmtTxt:
      return line + textAt(s, length, kHeaderBytes);
    default:
      // RMV, APP: a blank is what an empty parameter stands for.
      if (length <= kHeaderBytes || s[kHeaderBytes] == ' ') return line;
      return line + static_cast<char>(s[kHeaderBytes]);
  }
}

std::vector<std::string> RenderProgram(const CommandProgram& program, const TParams& params) {
  std::vector<std::string> lines;
  for (const StatementView& view : ProgramStatements(program))
    lines.push_back(RenderStatement(view.bytes, view.length, params));
  return lines;
}

}  // namespace veltrix
