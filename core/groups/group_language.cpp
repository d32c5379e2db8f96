#include "core/groups/group_language.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/stats/number_format.h"
#include "core/stats/number_parse.h"
#include "core/stats/real48.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

namespace {

// Layout of a compiled term: head, n variable entries of 3 bytes, count byte, second byte, values.
constexpr int kHeadAlternative = 128;
constexpr int kHeadNot = 64;
constexpr int kHeadCompl = 32;
constexpr int kHeadVariableMask = 31;
constexpr int kCountText = 64;
constexpr int kModeEqual = 2;
constexpr int kModeContains = 3;
constexpr int kModeBeginsWith = 4;
constexpr int kValueSize = 6;
constexpr int kRangeSize = 12;
constexpr int kTermEntrySize = 3;

// Limits of the compiler (definition positions are 1-based).
constexpr int kMaxTermVariables = 30;
constexpr int kLastVariablePosition = 450;
constexpr int kLastEndPosition = 463;
constexpr std::size_t kMaxLogicalLine = 254;
constexpr std::size_t kMaxFields = 50;
constexpr std::size_t kFieldWidth = 10;
constexpr std::size_t kTextValueWidth = 6;

// Every term takes at least 6 bytes (head, one variable, count and second byte), so a definition of
// 465 bytes holds at most 77 of them.
constexpr int kMaxTerms = kGroupDefinitionLength / 6 + 1;

// Rendering: a line is continued before the text that would bring it to these lengths.
constexpr std::size_t kVariableWrap = 74;
constexpr std::size_t kVariablePad = 77;
constexpr std::size_t kValueWrap = 75;
constexpr std::size_t kValuePad = 76;

const char* const kMessages[] = {
    "",
    "Keine Variablen (: ?)",
    "Text- und numerische Felder gemischt",
    "Definition zu umfangreich",
    "Falsche Verwendung von  ,-,",
    "Zuviel Fortsetzungszeilen",
    "Keine Abfragewerte nach :",
    "Zuviele Variablen (max. 30 erlaubt)",
};

std::string_view trimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// ---------------------------------------------------------------- logical lines

struct LogicalLine {
  std::string text;
  std::size_t firstLine = 0;
};

enum class LineRead { End, Line, TooLong };

// The next logical line from lines[i..]: each physical line trimmed, a trailing "*" (and the blanks
// before it) joining the next physical line directly.
LineRead nextLogicalLine(const std::vector<std::string>& lines, std::size_t& i, LogicalLine& out) {
  if (i >= lines.size()) return LineRead::End;
  out.firstLine = i;
  out.text.clear();
  while (i < lines.size()) {
    std::string_view physical = TrimmedView(lines[i]);
    ++i;
    const bool continued = !physical.empty() && physical.back() == '*';
    if (continued) physical = trimRight(physical.substr(0, physical.size() - 1));
    if (out.text.size() + physical.size() > kMaxLogicalLine) {
      // The rest of the logical line is passed over, so that the caller may go on after it.
      while (continued && i < lines.size()) {
        const std::string_view next = TrimmedView(lines[i]);
        ++i;
        if (next.empty() || next.back() != '*') break;
      }
      return LineRead::TooLong;
    }
    out.text.append(physical);
    if (!continued) break;
  }
  return LineRead::Line;
}

// ---------------------------------------------------------------- numbers

// A field value in the precision of a stored six-byte real (as Real48::fromDouble(x).toDouble()):
// 39 fraction bits rounded to nearest even, tiny magnitudes 0, the largest magnitude saturated.
inline double storedPrecision(double x) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  const std::uint64_t sign = bits & (std::uint64_t{1} << 63);
  std::uint64_t magnitude = bits & ~(std::uint64_t{1} << 63);
  magnitude = (magnitude + 0xFFF + ((magnitude >> 13) & 1)) & ~std::uint64_t{0x1FFF};
  double rounded = 0.0;
  std::memcpy(&rounded, &magnitude, sizeof rounded);
  if (!(rounded >= kReal48MinNormal)) return 0.0;
  if (rounded > kReal48Max) rounded = kReal48Max;
  return sign != 0 ? -rounded : rounded;
}

// The six-byte real at b as a double (every six-byte real is exact in a double).
inline double storedValue(const std::uint8_t* b) {
  if (b[0] == 0) return 0.0;
  const std::uint64_t fraction = std::uint64_t{b[1]} | (std::uint64_t{b[2]} << 8) |
                                 (std::uint64_t{b[3]} << 16) | (std::uint64_t{b[4]} << 24) |
                                 (std::uint64_t{b[5] & 0x7Fu} << 32);
  const std::uint64_t bits = (std::uint64_t{b[5] & 0x80u} << 56) |
                             (static_cast<std::uint64_t>(int{b[0]} - 129 + 1023) << 52) | (fraction << 13);
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Whether text, read as a group value, gives back exactly the six bytes.
bool readsBackAs(const std::string& text, const std::uint8_t* bytes) {
  if (text.empty() || text.size() > kFieldWidth) return false;
  const ParsedNumber parsed = ParseField(text);
  if (parsed.decimals < 0) return false;
  const Real48 stored = Real48::fromDouble(parsed.value);
  return std::memcmp(stored.bytes.data(), bytes, kValueSize) == 0;
}

std::string stripFractionZeros(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

// The shortest text of at most 10 characters that a value field reads back as these six bytes, or ""
// when none of the forms tried does. Fixed and exponent forms come first; the exponent form with the
// digits as an integer (125E-32 for 1.25E-30) only when it is shorter and anyForm is asked for, or
// when nothing else fits.
std::string shortestNumberText(double value, const std::uint8_t* bytes, bool anyForm) {
  std::string best;
  std::string bestInteger;
  auto consider = [&](std::string& into, const std::string& text) {
    if ((into.empty() || text.size() < into.size()) && readsBackAs(text, bytes)) into = text;
  };
  char buffer[400];
  for (int decimals = 0; decimals <= 10; ++decimals) {
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    const std::string text = stripFractionZeros(buffer);
    consider(best, text);
    // "0.5" may also be written ".5".
    if (text.rfind("0.", 0) == 0) consider(best, text.substr(1));
    if (text.rfind("-0.", 0) == 0) consider(best, "-" + text.substr(2));
  }
  for (int digits = 1; digits <= 10; ++digits) {
    std::snprintf(buffer, sizeof buffer, "%.*E", digits - 1, value);
    const std::string full = buffer;
    const std::size_t e = full.find('E');
    if (e == std::string::npos) continue;
    const int exponent = std::atoi(full.c_str() + e + 1);
    const std::string mantissa = stripFractionZeros(full.substr(0, e));
    consider(best, mantissa + "E" + std::to_string(exponent));
    std::string integer;
    for (const char c : mantissa)
      if (c != '.') integer.push_back(c);
    const std::size_t digitCount = integer.size() - (integer.front() == '-' ? 1 : 0);
    consider(bestInteger, integer + "E" + std::to_string(exponent - static_cast<int>(digitCount) + 1));
  }
  if (best.empty() || (anyForm && !bestInteger.empty() && bestInteger.size() < best.size()))
    return bestInteger;
  return best;
}

// A numeric value as the editor shows it: with up to 8 decimals where that reads back as the stored
// value, else in the shortest form that does (shortest: always the shortest).
std::string numberText(const std::uint8_t* bytes, bool shortest) {
  const double value = storedValue(bytes);
  const std::string plain = FormatDecimals(-8, value);
  if (!shortest && readsBackAs(plain, bytes)) return plain;
  std::string text = shortestNumberText(value, bytes, shortest);
  return text.empty() ? plain : text;
}

// ---------------------------------------------------------------- compilation

struct Failure {
  int number = 0;
  std::string text;
};

Failure failure(int number) {
  return Failure{number, kMessages[number]};
}

Failure fieldFailure(std::string_view field) {
  return Failure{0, "Fehler: " + std::string(trimRight(field))};
}

// Compiles one term line into def at the 1-based write position p (the head's position); on success
// p becomes the position of the terminating zero.
bool compileTerm(const TParams& params, std::string_view line, std::uint8_t pending, std::uint8_t* def,
                 int& p, Failure& fail) {
  std::string upper = UpperText(line);
  if (upper.back() != ',') upper.push_back(',');
  const std::size_t colon = upper.find(':');
  if (colon == std::string::npos) {
    fail = failure(kGroupNoVariables);
    return false;
  }

  std::vector<std::string_view> fields;
  std::size_t fieldsBeforeColon = 0;
  std::size_t start = 0;
  const std::string_view text(upper);
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c != ',' && c != ':') continue;
    if (pos <= colon) ++fieldsBeforeColon;
    if (fields.size() < kMaxFields)
      fields.push_back(TrimmedView(text.substr(start, pos - start)).substr(0, kFieldWidth));
    start = pos + 1;
  }

  std::size_t first = 0;
  std::uint8_t keyword = 0;
  if (fieldsBeforeColon > 0 && fields[0] == "NOT") keyword = kHeadNot;
  if (fieldsBeforeColon > 0 && fields[0] == "COMPL") keyword = kHeadCompl;
  if (keyword != 0) first = 1;
  std::size_t n = fieldsBeforeColon - first;
  if (n == 1 && fields[first].empty()) n = 0;
  if (n < 1) {
    fail = failure(kGroupNoVariables);
    return false;
  }
  if (n > kMaxTermVariables) {
    fail = failure(kGroupTooManyVariables);
    return false;
  }

  // The variables, written after the head as they are found.
  bool textTerm = false;
  for (std::size_t i = 0; i < n; ++i) {
    const std::string_view field = fields[first + i];
    const VariableRef ref = params.findVariableByName(field);
    if (ref.index < 0) {
      fail = fieldFailure(field);
      return false;
    }
    const bool isText = (ref.typeByte & 128) != 0;
    if (i == 0) textTerm = isText;
    if (isText != textTerm) {
      fail = failure(kGroupMixedKinds);
      return false;
    }
    const int last = p + kTermEntrySize * static_cast<int>(i + 1);
    if (last > kLastVariablePosition) {
      fail = failure(kGroupTooLarge);
      return false;
    }
    std::uint8_t* entry = def + (last - kTermEntrySize);  // positions last - 2 .. last
    entry[0] = static_cast<std::uint8_t>(ref.position & 0xFF);
    entry[1] = static_cast<std::uint8_t>((ref.position >> 8) & 0xFF);
    entry[2] = ref.typeByte;
  }

  // The values.
  std::vector<Real48> singles;
  std::vector<std::array<Real48, 2>> ranges;
  std::vector<std::string_view> texts;
  int mode = kModeEqual;
  enum class After { Start, Single, Dash, RangeEnd } after = After::Start;
  Real48 low;
  for (std::size_t f = fieldsBeforeColon; !textTerm && f < fields.size(); ++f) {
    const std::string_view field = fields[f];
    if (field.empty()) continue;
    if (field == "-") {
      if (after != After::Single) {
        fail = failure(kGroupMisplacedRange);
        return false;
      }
      low = singles.back();
      singles.pop_back();
      after = After::Dash;
      continue;
    }
    const ParsedNumber number = ParseField(field);
    if (number.decimals == kEmptyField) continue;
    if (number.decimals < 0) {
      fail = fieldFailure(field);
      return false;
    }
    const Real48 value = Real48::fromDouble(number.value);
    if (after == After::Dash) {
      ranges.push_back({low, value});
      after = After::RangeEnd;
    } else {
      singles.push_back(value);
      after = After::Single;
    }
  }
  if (textTerm) {
    bool firstValue = true;
    for (std::size_t f = fieldsBeforeColon; f < fields.size(); ++f) {
      std::string_view value = fields[f];
      if (value.empty()) continue;
      if (firstValue) {
        if (value.front() == '?') mode = kModeContains;
        if (value.front() == '"') mode = kModeBeginsWith;
        if (mode != kModeEqual) value.remove_prefix(1);
        firstValue = false;
      }
      while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
      value = value.substr(0, kTextValueWidth);
      if (!value.empty()) texts.push_back(value);
    }
  } else if (after == After::Dash) {
    fail = failure(kGroupMisplacedRange);
    return false;
  }

  const std::size_t s = textTerm ? texts.size() : singles.size();
  const std::size_t r = ranges.size();
  if (s + r == 0) {
    fail = failure(kGroupNoValues);
    return false;
  }
  // Position of the terminating zero, checked before any value is written.
  const int end = p + kTermEntrySize * static_cast<int>(n) + 3 + kValueSize * static_cast<int>(s) +
                  kRangeSize * static_cast<int>(r);
  if (end > kLastEndPosition) {
    fail = failure(kGroupTooLarge);
    return false;
  }

  def[p - 1] = static_cast<std::uint8_t>(n | keyword | pending);
  std::uint8_t* out = def + (p - 1) + 1 + kTermEntrySize * n;
  *out++ = static_cast<std::uint8_t>(textTerm ? kCountText + s : s);
  *out++ = static_cast<std::uint8_t>(textTerm ? mode : static_cast<int>(r));
  if (textTerm) {
    for (const std::string_view value : texts) {
      std::memset(out, ' ', kValueSize);
      std::memcpy(out, value.data(), value.size());
      out += kValueSize;
    }
  } else {
    for (const Real48& value : singles) {
      std::memcpy(out, value.bytes.data(), kValueSize);
      out += kValueSize;
    }
    for (const auto& range : ranges) {
      std::memcpy(out, range[0].bytes.data(), kValueSize);
      std::memcpy(out + kValueSize, range[1].bytes.data(), kValueSize);
      out += kRangeSize;
    }
  }
  *out = 0;
  p = end;
  return true;
}

// ---------------------------------------------------------------- rendering

// The readable parts of one term.
struct RenderedTerm {
  bool alternative = false;
  int keyword = 0;
  std::vector<std::string> variables;
  std::string marker;
  std::vector<std::string> values;  // a range as "low,-" and "high"
  bool complete = false;            // false: the definition became unreadable inside this term
  int size = 0;                     // bytes of the term
};

// The name of a variable that compiles back to the same field: its name, or the field reference
// when the name would find another field (or when it is shorter and shortest is asked for).
std::string variableText(const TParams& params, int position, std::uint8_t typeByte, bool shortest) {
  std::string name(trimRight(params.findVariableByField(position, typeByte).name));
  const VariableRef byName = params.findVariableByName(name);
  const bool sameField = byName.index >= 0 && byName.position == position && byName.typeByte == typeByte;
  std::string reference = std::to_string(position) + "." + std::to_string(typeByte & 127);
  if ((typeByte & 128) != 0) reference += '>';
  const VariableRef byReference = params.findVariableByName(reference);
  const bool referenceWorks = reference.size() <= kFieldWidth && byReference.index >= 0 &&
                              byReference.position == position && byReference.typeByte == typeByte;
  if (referenceWorks && (!sameField || (shortest && reference.size() < name.size()))) return reference;
  return name;
}

RenderedTerm renderTerm(const TParams& params, const std::uint8_t* def, int p, bool shortest) {
  RenderedTerm term;
  const int head = def[p];
  term.alternative = (head & kHeadAlternative) != 0;
  term.keyword = head & (kHeadNot | kHeadCompl);
  const int n = head & kHeadVariableMask;
  int q = p + 1;
  for (int i = 0; i < n; ++i, q += kTermEntrySize) {
    if (q + kTermEntrySize > kGroupDefinitionLength) return term;
    const int position = def[q] | (def[q + 1] << 8);
    term.variables.push_back(variableText(params, position, def[q + 2], shortest));
  }
  if (n == 0 || q + 2 > kGroupDefinitionLength) return term;
  const int count = def[q];
  const int second = def[q + 1];
  q += 2;
  const bool text = (count & kCountText) != 0;
  bool readable = (count & 128) == 0;
  if (text) {
    if (second == kModeContains) term.marker = "?";
    if (second == kModeBeginsWith) term.marker = "\"";
    const int s = count & 63;
    for (int i = 0; i < s && readable; ++i, q += kValueSize) {
      if (q + kValueSize > kGroupDefinitionLength) {
        readable = false;
        break;
      }
      const std::string_view value(reinterpret_cast<const char*>(def + q), kValueSize);
      term.values.push_back(std::string(trimRight(value)));
    }
  } else {
    const int s = count & 127;
    for (int i = 0; i < s && readable; ++i, q += kValueSize) {
      if (q + kValueSize > kGroupDefinitionLength) {
        readable = false;
        break;
      }
      term.values.push_back(numberText(def + q, shortest));
    }
    for (int i = 0; i < second && readable; ++i, q += kRangeSize) {
      if (q + kRangeSize > kGroupDefinitionLength) {
        readable = false;
        break;
      }
      term.values.push_back(numberText(def + q, shortest) + ",-");
      term.values.push_back(numberText(def + q + kValueSize, shortest));
    }
  }
  term.complete = readable && q < kGroupDefinitionLength;
  term.size = q - p;
  return term;
}

// The editor lines of one term; compact puts the fewest characters between the fields.
std::vector<std::string> layoutTerm(const RenderedTerm& term, bool compact) {
  std::vector<std::string> lines;
  std::string line;
  if (term.keyword == kHeadNot) line = compact ? "NOT," : "NOT , ";
  if (term.keyword == kHeadCompl) line = compact ? "COMPL," : "COMPL , ";
  auto append = [&](const std::string& piece, std::size_t wrap, std::size_t pad, std::size_t indent) {
    if (line.size() + piece.size() >= wrap) {
      if (line.size() < pad) line.resize(pad, ' ');
      line += '*';
      lines.push_back(line);
      line.assign(indent, ' ');
    }
    line += piece;
  };
  for (std::size_t i = 0; i < term.variables.size(); ++i) {
    const bool last = i + 1 == term.variables.size();
    append(term.variables[i] + (last ? (compact ? ":" : " : ") : ","), kVariableWrap, kVariablePad, 3);
  }
  line += term.marker;
  for (std::size_t i = 0; i < term.values.size(); ++i) {
    const bool last = i + 1 == term.values.size();
    append(term.values[i] + (last ? "" : ","), kValueWrap, kValuePad, 5);
  }
  // A last value ending in "*" would read as a continuation.
  if (!line.empty() && line.back() == '*') line += ',';
  lines.push_back(line);
  return lines;
}

std::size_t logicalLength(const std::vector<std::string>& lines) {
  std::size_t i = 0;
  LogicalLine logical;
  if (nextLogicalLine(lines, i, logical) != LineRead::Line || i != lines.size()) return kMaxLogicalLine + 1;
  return logical.text.size();
}

// ---------------------------------------------------------------- membership

struct UpperTable {
  std::array<char, 256> map{};
  UpperTable() {
    for (int c = 0; c < 256; ++c) map[static_cast<std::size_t>(c)] = UpCaseChar(static_cast<char>(c));
  }
};
const UpperTable kUpper;

std::string_view fieldOf(std::string_view record, int position, int length) {
  const std::int64_t first = std::max<std::int64_t>(position, 1);
  const std::int64_t last =
      std::min<std::int64_t>(std::int64_t{position} + length - 1, static_cast<std::int64_t>(record.size()));
  if (last < first) return {};
  return record.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1));
}

bool numericTermMatches(std::string_view record, const std::uint8_t* term, int keyword) {
  const int n = term[0] & kHeadVariableMask;
  const std::uint8_t* values = term + 1 + kTermEntrySize * n;
  const int s = values[0];
  const int r = values[1];
  values += 2;
  const std::uint8_t* rangeValues = values + kValueSize * s;
  bool counted = false;
  for (int i = 0; i < n; ++i) {
    const std::uint8_t* entry = term + 1 + kTermEntrySize * i;
    const ParsedNumber number = ParseNumber(record, entry[0] | (entry[1] << 8), entry[2] & 127);
    if (number.decimals < 0) continue;
    counted = true;
    const double x = storedPrecision(number.value);
    bool match = false;
    for (int k = 0; k < s && !match; ++k) match = x == storedValue(values + kValueSize * k);
    for (int k = 0; k < r && !match; ++k) {
      const std::uint8_t* range = rangeValues + kRangeSize * k;
      match = storedValue(range) <= x && x <= storedValue(range + kValueSize);
    }
    if (match) return keyword == 0;
  }
  if (keyword == kHeadNot) return counted;
  return keyword == kHeadCompl;
}

bool textMatches(std::string_view text, std::string_view value, int mode, char* buffer) {
  switch (mode) {
    case kModeEqual:
      if (text.empty() && (value == "LEER" || value == "BLANK")) return true;
      return text == value;
    case kModeContains:
      if (!value.empty() && value.back() == ';' && (text.empty() || text.back() != ';')) {
        // text lies in buffer, which has room for one more character.
        buffer[text.size()] = ';';
        text = std::string_view(buffer, text.size() + 1);
      }
      return text.find(value) != std::string_view::npos;
    default:
      return text.substr(0, value.size()) == value;
  }
}

bool textTermMatches(std::string_view record, const std::uint8_t* term, int keyword) {
  const int n = term[0] & kHeadVariableMask;
  const std::uint8_t* values = term + 1 + kTermEntrySize * n;
  const int s = values[0] & 63;
  const int mode = values[1];
  values += 2;
  char buffer[128 + 1];
  for (int i = 0; i < n; ++i) {
    const std::uint8_t* entry = term + 1 + kTermEntrySize * i;
    const std::string_view field = TrimmedView(fieldOf(record, entry[0] | (entry[1] << 8), entry[2] & 127));
    for (std::size_t k = 0; k < field.size(); ++k)
      buffer[k] = kUpper.map[static_cast<unsigned char>(field[k])];
    const std::string_view text(buffer, field.size());
    for (int k = 0; k < s; ++k) {
      const std::string_view value =
          TrimmedView(std::string_view(reinterpret_cast<const char*>(values + kValueSize * k), kValueSize));
      if (textMatches(text, value, mode, buffer)) return keyword == 0;
    }
  }
  return keyword != 0;
}

}  // namespace

GroupCompileResult CompileGroupDefinition(const TParams& params, const std::vector<std::string>& lines,
                                          std::string_view longTitle, std::string_view shortTitle) {
  GroupCompileResult result;
  GroupRecord record{};
  SetGroupTitle(record, kGroupNameOffset, kGroupNameLength, longTitle);
  SetGroupTitle(record, kGroupShortNameOffset, kGroupShortNameLength, shortTitle);
  std::uint8_t* def = record.data() + kGroupDefinitionOffset;

  int p = 1;
  std::uint8_t pending = 0;
  std::size_t i = 0;
  LogicalLine logical;
  for (;;) {
    const LineRead read = nextLogicalLine(lines, i, logical);
    if (read == LineRead::End) break;
    Failure fail;
    bool ok = true;
    if (read == LineRead::TooLong) {
      fail = failure(kGroupTooManyContinued);
      ok = false;
    } else if (logical.text.empty()) {
      continue;
    } else if (UpperText(logical.text) == "OR") {
      pending = kHeadAlternative;
      continue;
    } else {
      ok = compileTerm(params, logical.text, pending, def, p, fail);
      pending = 0;
    }
    if (!ok) {
      result.messageNumber = fail.number;
      result.message = fail.text;
      result.lineIndex = static_cast<int>(logical.firstLine);
      return result;
    }
  }
  def[0] &= static_cast<std::uint8_t>(~kHeadAlternative);
  result.ok = true;
  result.record = record;
  return result;
}

std::vector<std::string> RenderGroupDefinition(const TParams& params, const GroupRecord& record) {
  std::vector<std::string> lines;
  const std::uint8_t* def = record.data() + kGroupDefinitionOffset;
  int p = 0;
  while (p < kGroupDefinitionLength && def[p] != 0 && (def[p] & kHeadVariableMask) != 0) {
    RenderedTerm term = renderTerm(params, def, p, false);
    if (term.alternative) lines.emplace_back("OR");
    std::vector<std::string> termLines = layoutTerm(term, false);
    if (logicalLength(termLines) > kMaxLogicalLine) {
      term = renderTerm(params, def, p, true);
      termLines = layoutTerm(term, true);
    }
    lines.insert(lines.end(), termLines.begin(), termLines.end());
    if (!term.complete) break;
    p += term.size;
  }
  return lines;
}

bool IsInGroup(std::string_view record, const GroupRecord& group) {
  const std::uint8_t* def = group.data() + kGroupDefinitionOffset;
  if (def[0] == 0) return true;

  // The terms' starts; a definition whose terms do not end inside its bytes selects nothing.
  std::array<std::uint16_t, kMaxTerms> starts;
  int count = 0;
  int p = 0;
  for (;;) {
    if (p >= kGroupDefinitionLength || count == kMaxTerms) return false;
    const int head = def[p];
    if (head == 0) break;
    const int n = head & kHeadVariableMask;
    if (n == 0 || n > kMaxTermVariables || (head & (kHeadNot | kHeadCompl)) == (kHeadNot | kHeadCompl))
      return false;
    const int q = p + 1 + kTermEntrySize * n;
    if (q + 2 > kGroupDefinitionLength) return false;
    const int countByte = def[q];
    const int second = def[q + 1];
    if ((countByte & 128) != 0) return false;
    int size = 0;
    if ((countByte & kCountText) != 0) {
      if (second < kModeEqual || second > kModeBeginsWith) return false;
      size = kValueSize * (countByte & 63);
    } else {
      size = kValueSize * countByte + kRangeSize * second;
    }
    starts[static_cast<std::size_t>(count++)] = static_cast<std::uint16_t>(p);
    p = q + 2 + size;
  }

  int t = 0;
  while (t < count) {
    const std::uint8_t* term = def + starts[static_cast<std::size_t>(t)];
    const int keyword = term[0] & (kHeadNot | kHeadCompl);
    const int countByte = term[1 + kTermEntrySize * (term[0] & kHeadVariableMask)];
    const bool truth = (countByte & kCountText) != 0 ? textTermMatches(record, term, keyword)
                                                     : numericTermMatches(record, term, keyword);
    if (truth) {
      if (t + 1 == count || (def[starts[static_cast<std::size_t>(t + 1)]] & kHeadAlternative) != 0)
        return true;
      ++t;
    } else {
      do ++t;
      while (t < count && (def[starts[static_cast<std::size_t>(t)]] & kHeadAlternative) == 0);
    }
  }
  return false;
}

bool IsInGroup(std::string_view record, const TParams& params, int g) {
  if (g < 0 || g > kMaxGroups) return false;
  return IsInGroup(record, params.getGroup(g));
}

}  // namespace veltrix
