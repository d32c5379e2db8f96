#include "core/manip/evaluator.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>

#include "core/datafile/date_time.h"
#include "core/stats/guarded_math.h"
#include "core/stats/number_format.h"
#include "core/stats/number_parse.h"
#include "core/stats/real48.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

namespace {

constexpr int kHeaderBytes = 6;
constexpr int kVariableBytes = 3;
constexpr int kOperandBytes = 8;  // operand byte, six-byte real, following operator
constexpr int kProgramByteLimit = 23950;
constexpr int kMaxFieldLength = 127;
constexpr int kHighestReference = 99;
constexpr int kNoneGivenDecimals = -9;  // up to 9 decimals, trailing zeros removed
constexpr int kHighestGivenColumnDecimals = 8;
constexpr double kIfTolerance = 1e-10;

// Text parameters: a length byte and up to 10 characters.
constexpr int kTextParameterCharacters = 10;
constexpr int kSearchOffset = 6;
constexpr int kReplacementOffset = 17;
constexpr int kCharacterOffset = 6;
constexpr int kReplaceLength = 28;
constexpr int kOneTextLength = 17;
constexpr int kCharacterLength = 7;

// The stores H1..H4 are blanked per record, H5..H8 carry over.
constexpr int kStoreCharacters = kAuxiliaryStores * kAuxiliaryStoreLength;
constexpr int kBlankedStoreCharacters = 4 * kAuxiliaryStoreLength;
static_assert(kStoreCharacters == std::tuple_size_v<decltype(AuxiliaryStores::chars)>);

// RPL searches again from the start after each replacement and stops when the next match is where
// the previous one was. A replacement that contains its search text moves the match to the right on
// every round; the working text is a string of at most 255 characters (cut after each replacement),
// so such a match falls off its end and the loop ends there. Replacements of equal length can shuffle the
// text many times (replacing "ab" by "ba" sorts it); this bound, far above what any field of 127 characters
// needs, keeps the loop finite whatever the texts are.
constexpr int kMaxReplacements = kMaxTextLength * kMaxTextLength;

constexpr auto kBlankArray = [] {
  std::array<char, kMaxTextLength> chars{};
  for (char& c : chars) c = ' ';
  return chars;
}();

std::string_view blanks(std::size_t count) {
  return std::string_view(kBlankArray.data(), std::min<std::size_t>(count, kBlankArray.size()));
}

struct Field {
  int position = 0;
  int type = 0;
  int length() const { return type & 127; }
  bool isText() const { return (type & 128) != 0; }
};

Field fieldAt(const std::uint8_t* bytes) {
  return Field{bytes[0] | (bytes[1] << 8), bytes[2]};
}

Field variableOf(const std::uint8_t* statement, int i) {
  return fieldAt(statement + kHeaderBytes + kVariableBytes * i);
}

std::string_view rawText(const RecordBuffer& record, const Field& field) {
  return record.field(field.position, field.length());
}

FieldValueResult readValue(const RecordBuffer& record, const Field& field) {
  return FieldValue(record.text(), field.position, field.type);
}

// ---------------------------------------------------------------- writing into fields

// All writes go through a local copy: the source text may be a view into the record itself.
void writeBlanks(RecordBuffer& record, const Field& target) {
  record.write(target.position, blanks(static_cast<std::size_t>(target.length())));
}

// The first L characters of text, blank-padded.
void writeLeft(RecordBuffer& record, const Field& target, std::string_view text) {
  const auto length = static_cast<std::size_t>(target.length());
  if (length == 0) return;
  char chars[kMaxFieldLength];
  const std::size_t used = std::min(length, text.size());
  std::memcpy(chars, text.data(), used);
  std::memset(chars + used, ' ', length - used);
  record.write(target.position, std::string_view(chars, length));
}

// The text without surrounding blanks, its last L characters right-aligned (as AlignText aligns to
// the right: a number keeps its digits).
void writeRight(RecordBuffer& record, const Field& target, std::string_view text) {
  const auto length = static_cast<std::size_t>(target.length());
  if (length == 0) return;
  text = TrimmedView(text);
  if (text.size() > length) text.remove_prefix(text.size() - length);
  char chars[kMaxFieldLength];
  const std::size_t free = length - text.size();
  std::memset(chars, ' ', free);
  std::memcpy(chars + free, text.data(), text.size());
  record.write(target.position, std::string_view(chars, length));
}

// A result beyond the six-byte real range (about 1.7e38) would be written as a text that no field
// reads back as a number, so it counts as an overflow, like a non-finite one.
bool representable(double value) {
  return std::fabs(value) <= kReal48Max;  // false for NaN
}

// FormatInWidth's first choice, the value with its decimals (trailing zeros removed for negative
// decimals, no sign on a zero), right-aligned; made without a string, since nearly every record takes
// this way. False when that text does not fit: FormatInWidth then gives up decimals.
bool writeFixed(RecordBuffer& record, const Field& target, int decimals, double value) {
  const int places = decimals < 0 ? -decimals : decimals;
  if (places > kMaxNumberTextLength) return false;
  char chars[64];
  const auto result = std::to_chars(chars, chars + sizeof chars, value, std::chars_format::fixed, places);
  if (result.ec != std::errc{}) return false;
  std::string_view text(chars, static_cast<std::size_t>(result.ptr - chars));
  if (decimals < 0 && text.find('.') != std::string_view::npos) {
    while (text.back() == '0') text.remove_suffix(1);
    if (text.back() == '.') text.remove_suffix(1);
  }
  if (text.front() == '-' && text.find_first_not_of("0.", 1) == std::string_view::npos) text.remove_prefix(1);
  const auto length = static_cast<std::size_t>(target.length());
  if (text.size() > length || text.size() > static_cast<std::size_t>(kMaxNumberTextLength)) return false;
  char field[kMaxFieldLength];
  const std::size_t free = length - text.size();
  std::memset(field, ' ', free);
  std::memcpy(field + free, text.data(), text.size());
  record.write(target.position, std::string_view(field, length));
  return true;
}

// The store rule of every statement with a numeric result.
void storeNumber(RecordBuffer& record, const Field& target, int decimals, double value) {
  const int length = target.length();
  if (length == 0) return;  // FormatInWidth would not cut the text to a width of 0
  if (!representable(value)) {
    writeBlanks(record, target);
    return;
  }
  if (writeFixed(record, target, decimals, value)) return;
  const std::string text = FormatInWidth(decimals, length, value);
  record.write(target.position, text);
}

struct NumericResult {
  bool ok = false;
  double value = 0.0;
  int decimals = kNoneGivenDecimals;
};

void storeResult(RecordBuffer& record, const Field& target, const NumericResult& result) {
  if (result.ok) {
    storeNumber(record, target, result.decimals, result.value);
  } else {
    writeBlanks(record, target);
  }
}

int storedDecimals(std::uint8_t byte3) {
  return byte3 <= 9 ? byte3 : kNoneGivenDecimals;
}

// ---------------------------------------------------------------- formulas

// The six-byte real as a double, put together from its bits: every six-byte value is a normal
// double, so this is readReal48's value without its scaling call (one per operand and record).
double real48Value(const std::uint8_t* bytes) {
  if (bytes[0] == 0) return 0.0;
  std::uint64_t low40 = 0;
  for (int i = 0; i < 5; ++i) low40 |= std::uint64_t{bytes[1 + i]} << (8 * i);
  constexpr int kFractionBits = 39;
  const std::uint64_t sign = (low40 >> kFractionBits) & 1;
  const std::uint64_t fraction = low40 & ((std::uint64_t{1} << kFractionBits) - 1);
  const std::uint64_t exponent = std::uint64_t{bytes[0]} - 129 + 1023;  // biases of the two forms
  return std::bit_cast<double>(sign << 63 | exponent << 52 | fraction << (52 - kFractionBits));
}

// The operand's function; false on a domain error or an unknown function code.
bool applyFunction(std::uint8_t function, double& x) {
  DomainFlag flag;
  switch (function) {
    case kFnNone:
      return true;
    case kFnAbs:
      x = std::fabs(x);
      return true;
    case kFnInt:
      x = Int(x);
      return true;
    case kFnRound:
      x = RoundToLong(x);
      return true;
    case kFnExp:
      x = SafeExp(x, flag);
      break;
    case kFnLn:
      x = SafeLn(x, flag);
      break;
    case kFnCos:
      x = std::cos(x);
      return true;
    case kFnSin:
      x = std::sin(x);
      return true;
    case kFnLog:
      x = SafeLog10(x, flag);
      break;
    case kFnSqrt:
      x = SafeSqrt(x, flag);
      break;
    case kFnArcSin:
      x = SafeArcSin(x, flag);
      break;
    default:
      return false;
  }
  return !flag.raised;
}

// Sums of the right-side variables that are read as numbers, for the column functions.
struct ColumnFigures {
  int n = 0;
  double sum = 0.0;
  double sumSquares = 0.0;
  double min = 0.0;
  double max = 0.0;
  int minDecimals = 0;
  int maxDecimals = 0;  // of the maximal field
  int largestDecimals = 0;
  bool anyMissing = false;
  int notNumbers = 0;
};

ColumnFigures columnFigures(const std::uint8_t* statement, int k, const RecordBuffer& record) {
  ColumnFigures f;
  for (int i = 0; i < k; ++i) {
    const FieldValueResult v = readValue(record, variableOf(statement, i));
    if (v.status < 0) {
      f.anyMissing = true;
      if (v.status == kNotANumber) ++f.notNumbers;
      continue;
    }
    if (f.n == 0 || v.value > f.max) {  // ties keep the first
      f.max = v.value;
      f.maxDecimals = v.status;
    }
    if (f.n == 0 || v.value < f.min) {
      f.min = v.value;
      f.minDecimals = v.status;
    }
    f.largestDecimals = f.n == 0 ? v.status : std::max(f.largestDecimals, v.status);
    ++f.n;
    f.sum += v.value;
    f.sumSquares += v.value * v.value;
  }
  return f;
}

NumericResult columnFunction(std::uint8_t code, std::uint8_t byte3, const ColumnFigures& f) {
  const bool given = byte3 <= kHighestGivenColumnDecimals;
  const int sumDecimals = given ? byte3 : f.largestDecimals;
  const int meanDecimals = given ? byte3 : f.largestDecimals + 1;
  if (code == kStmtAnz) return NumericResult{true, static_cast<double>(f.n > 0 ? f.n : f.notNumbers), 0};
  const bool complete = !f.anyMissing;
  const bool needsAll = code == kStmtSuc || code == kStmtMic || code == kStmtSdc;
  if (f.n == 0 || (needsAll && !complete)) return NumericResult{};
  const double n = f.n;
  switch (code) {
    case kStmtMax:
      return NumericResult{true, f.max, f.maxDecimals};
    case kStmtMin:
      return NumericResult{true, f.min, f.minDecimals};
    case kStmtSuc:
    case kStmtSum:
      return NumericResult{true, f.sum, sumDecimals};
    case kStmtMic:
    case kStmtMit:
      return NumericResult{true, f.sum / n, meanDecimals};
    case kStmtSdc:
    case kStmtSdv: {
      const double mean = f.sum / n;
      // Rounding can leave the sum of squares a hair below zero; SafeSqrt takes that as 0.
      const double s = f.n == 1 ? 0.0 : SafeSqrt((f.sumSquares - mean * f.sum) / std::max(n - 1.0, 1.0));
      return NumericResult{true, s, meanDecimals};
    }
    default:
      return NumericResult{};
  }
}

// ---------------------------------------------------------------- text statements

std::string_view textParameter(const std::uint8_t* statement, int offset) {
  const int count = std::min<int>(statement[offset], kTextParameterCharacters);
  return std::string_view(reinterpret_cast<const char*>(statement + offset + 1),
                          static_cast<std::size_t>(count));
}

// A text statement's result: left-aligned in a text field, trimmed and right-aligned in a numeric one.
void writeAligned(RecordBuffer& record, const Field& target, std::string_view text) {
  if (target.isText()) {
    writeLeft(record, target, text);
  } else {
    writeRight(record, target, text);
  }
}

void replaceText(const std::uint8_t* statement, const Field& target, RecordBuffer& record) {
  std::string_view search = textParameter(statement, kSearchOffset);
  std::string_view replacement = textParameter(statement, kReplacementOffset);
  if (search.empty()) search = blanks(1);
  if (replacement.empty()) replacement = blanks(search.size());

  char text[kMaxTextLength];
  const std::string_view original = rawText(record, target);
  std::size_t used = original.size();
  std::memcpy(text, original.data(), used);
  std::size_t previous = std::string_view::npos;
  for (int round = 0; round < kMaxReplacements; ++round) {
    const std::size_t at = std::string_view(text, used).find(search);
    if (at == std::string_view::npos || at == previous) break;
    // text[0, at) + replacement + text[at + |search|, used), cut to kMaxTextLength characters.
    char next[kMaxTextLength];
    std::memcpy(next, text, at);
    std::size_t size = at;
    const std::size_t inserted = std::min(replacement.size(), sizeof next - size);
    std::memcpy(next + size, replacement.data(), inserted);
    size += inserted;
    const std::size_t restStart = at + search.size();
    const std::size_t rest = std::min(used - restStart, sizeof next - size);
    std::memcpy(next + size, text + restStart, rest);
    size += rest;
    std::memcpy(text, next, size);
    used = size;
    previous = at;
  }
  writeAligned(record, target, std::string_view(text, used));
}

void removeCharacter(char c, const Field& target, RecordBuffer& record) {
  char text[kMaxFieldLength];
  std::size_t used = 0;
  for (const char x : rawText(record, target))
    if (x != c) text[used++] = x;
  writeAligned(record, target, std::string_view(text, used));
}

void appendCharacter(char c, const Field& target, RecordBuffer& record) {
  if (!target.isText()) return;
  char text[kMaxFieldLength + 1];
  const std::string_view original = rawText(record, target);
  std::size_t used = original.size();
  while (used > 0 && original[used - 1] == ' ') --used;
  std::memcpy(text, original.data(), used);
  text[used++] = c;
  writeLeft(record, target, std::string_view(text, used));
}

// CMB: the raw texts one after the other; a numeric field keeps the end, a text field the start.
void combine(const std::uint8_t* statement, int k, const Field& target, RecordBuffer& record) {
  std::string joined;
  for (int i = 0; i < k; ++i) joined.append(rawText(record, variableOf(statement, i)));
  if (target.isText()) {
    writeLeft(record, target, joined);
  } else {
    // Blanks at the ends are no part of what a right-aligned field keeps; the inner ones stay.
    writeRight(record, target, joined);
  }
}

// MMC: the non-empty texts as a list "a;b;c;".
void makeList(const std::uint8_t* statement, int k, const Field& target, RecordBuffer& record) {
  char list[kMaxFieldLength];
  std::size_t used = 0;
  for (int i = 0; i < k && used < sizeof list; ++i) {
    std::string_view item = rawText(record, variableOf(statement, i));
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && (item.back() == ' ' || item.back() == ';')) item.remove_suffix(1);
    if (item.empty()) continue;
    const std::size_t count = std::min(item.size(), sizeof list - used);
    std::memcpy(list + used, item.data(), count);
    used += count;
    if (used < sizeof list) list[used++] = ';';
  }
  writeLeft(record, target, std::string_view(list, used));
}

// SMC: the items of the target's list into the right-side variables, blanks once it is exhausted.
void splitList(const std::uint8_t* statement, int k, const Field& target, RecordBuffer& record) {
  // A copy, since the variables written may overlap the target.
  char chars[kMaxFieldLength];
  const std::string_view trimmed = TrimmedView(rawText(record, target));
  std::memcpy(chars, trimmed.data(), trimmed.size());
  const std::string_view list(chars, trimmed.size());
  std::size_t from = 0;  // the list ends with the ";" appended at list.size()
  for (int i = 0; i < k; ++i) {
    const Field variable = variableOf(statement, i);
    if (from > list.size()) {
      writeBlanks(record, variable);
      continue;
    }
    std::size_t cut = list.find(';', from);
    if (cut == std::string_view::npos) cut = list.size();
    writeLeft(record, variable, TrimmedView(list.substr(from, cut - from)));
    from = cut + 1;
  }
}

// ---------------------------------------------------------------- dates and times

struct DateValue {
  bool valid = false;
  int day = 0;
  int month = 0;
  int year = 0;
  std::int32_t dayNumber = 0;
};

bool allDigits(std::string_view text) {
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

int digitsValue(std::string_view digits) {
  int value = 0;
  for (const char c : digits) value = value * 10 + (c - '0');
  return value;
}

// SplitDate for the two shapes dates nearly always have, "ddmmyyyy" and "dd.mm.yyyy", without its
// copy of the text; every other text goes to SplitDate.
DateParts splitDate(std::string_view text) {
  if (text.size() == 8 && allDigits(text)) {
    return DateParts{static_cast<std::int16_t>(digitsValue(text.substr(0, 2))),
                     static_cast<std::int16_t>(digitsValue(text.substr(2, 2))),
                     static_cast<std::int16_t>(digitsValue(text.substr(4, 4)))};
  }
  if (text.size() == 10 && text[2] == '.' && text[5] == '.' && allDigits(text.substr(0, 2)) &&
      allDigits(text.substr(3, 2)) && allDigits(text.substr(6, 4))) {
    return DateParts{static_cast<std::int16_t>(digitsValue(text.substr(0, 2))),
                     static_cast<std::int16_t>(digitsValue(text.substr(3, 2))),
                     static_cast<std::int16_t>(digitsValue(text.substr(6, 4)))};
  }
  return SplitDate(text);
}

DateValue readDate(const RecordBuffer& record, const Field& field, bool yearFirst) {
  std::string_view text = TrimmedView(rawText(record, field));
  std::string reordered;
  if (yearFirst) {
    char compact[kMaxFieldLength];
    std::size_t used = 0;
    for (const char c : text)
      if (c != ' ') compact[used++] = c;
    if (used != 8) return DateValue{};
    reordered = ReorderYearFirst(std::string_view(compact, used));
    text = reordered;
  }
  const DateParts parts = splitDate(text);
  if (!IsValidDate(parts.day, parts.month, parts.year)) return DateValue{};
  return DateValue{true, parts.day, parts.month, parts.year,
                   DayNumber(parts.day, parts.month, parts.year).dayNumber};
}

// Days, weeks, months and years from the first to the second date; all negative when the second is
// the earlier one.
struct DateSpan {
  double days = 0.0;
  double weeks = 0.0;
  double months = 0.0;
  double years = 0.0;
};

DateSpan dateSpan(DateValue first, DateValue second) {
  const bool reversed = second.dayNumber < first.dayNumber;
  if (reversed) std::swap(first, second);
  DateSpan span;
  span.days = second.dayNumber - first.dayNumber;
  span.weeks = span.days / 7.0;
  const double whole = Int(span.weeks + 0.01);
  if (std::fabs(whole - span.weeks) < 0.01) span.weeks = whole;
  const int fullYears =
      second.year - first.year - (second.month * 100 + second.day < first.month * 100 + first.day ? 1 : 0);
  int monthsInYear = second.month - first.month - (second.day < first.day ? 1 : 0);
  if (monthsInYear < 0) monthsInYear += 12;
  int dayRest = second.day - first.day;
  if (dayRest < 0) dayRest = std::max(dayRest + 30, 1);
  dayRest = std::min(dayRest, 30);
  const double partOfMonth = dayRest / 31.0;
  span.months = 12.0 * fullYears + monthsInYear + partOfMonth;
  span.years = fullYears + (monthsInYear + partOfMonth) / 12.0;
  if (reversed) {
    // 0.0 - x keeps a zero positive.
    span = DateSpan{0.0 - span.days, 0.0 - span.weeks, 0.0 - span.months, 0.0 - span.years};
  }
  return span;
}

// Weeks, months and years show 0, 1 or 2 decimals, truncated toward 0.
int spanDecimals(std::uint8_t byte3) {
  if (byte3 == 1) return 1;
  if (byte3 >= 2 && byte3 <= 8) return 2;
  return 0;
}

double truncateTo(double x, int decimals) {
  const double scale = decimals == 0 ? 1.0 : decimals == 1 ? 10.0 : 100.0;
  return Int(x * scale) / scale;
}

NumericResult dateStatement(const std::uint8_t* statement, int k, const RecordBuffer& record) {
  const std::uint8_t code = statement[4];
  const bool yearFirst = code >= kStmtTnb;
  const int kind = (code - kStmtTna) % 5;  // 0 day number, 1 days, 2 weeks, 3 months, 4 years
  const int needed = kind == 0 ? 1 : 2;
  if (k < needed) return NumericResult{};
  const DateValue first = readDate(record, variableOf(statement, 0), yearFirst);
  if (!first.valid) return NumericResult{};
  if (kind == 0) return NumericResult{true, static_cast<double>(first.dayNumber), 0};
  const DateValue second = readDate(record, variableOf(statement, 1), yearFirst);
  if (!second.valid) return NumericResult{};
  const DateSpan span = dateSpan(first, second);
  if (kind == 1) return NumericResult{true, span.days, 0};
  const int decimals = spanDecimals(statement[3]);
  const double value = kind == 2 ? span.weeks : kind == 3 ? span.months : span.years;
  return NumericResult{true, truncateTo(value, decimals), decimals};
}

NumericResult timeStatement(const std::uint8_t* statement, int k, const RecordBuffer& record) {
  if (k < 2) return NumericResult{};
  const TimeValues first = TimeTextToValues(TrimmedView(rawText(record, variableOf(statement, 0))));
  const TimeValues second = TimeTextToValues(TrimmedView(rawText(record, variableOf(statement, 1))));
  if (first.hours < 0 || second.hours < 0) return NumericResult{};
  if (statement[4] == kStmtZdm) {
    int minutes = second.minutesOfDay - first.minutesOfDay;
    if (minutes < 0) minutes += 24 * 60;
    return NumericResult{true, static_cast<double>(minutes), 0};
  }
  std::int32_t seconds = second.secondsOfDay - first.secondsOfDay;
  if (seconds < 0) seconds += 24 * 60 * 60;
  return NumericResult{true, static_cast<double>(seconds), 0};
}

// ---------------------------------------------------------------- assignment and IF

// The formula of an assignment or IF over the right-side variables; fails when one is missing.
FormulaValue evaluateRightSide(const std::uint8_t* statement, int length, int k, const RecordBuffer& record) {
  double operands[kMaxRightVariables];
  for (int i = 0; i < k; ++i) {
    const FieldValueResult v = readValue(record, variableOf(statement, i));
    if (v.status < 0) return FormulaValue{};
    // Variables beyond V50 cannot be named: V51 and on are intermediates.
    if (i < kMaxRightVariables) operands[i] = v.value;
  }
  const int codeStart = kHeaderBytes + kVariableBytes * k;
  return EvaluateFormula(statement + codeStart, length - codeStart, operands,
                         std::min(k, kMaxRightVariables));
}

bool conditionHolds(std::uint8_t op, double f, double v) {
  const double eps = std::fabs(v) * kIfTolerance;
  switch (op) {
    case kIfLess:
      return f < v - eps;
    case kIfGreater:
      return f - v > eps;
    case kIfEqual:
      return std::fabs(f - v) <= eps;
    case kIfLessEqual:
      return f <= v + eps;
    case kIfGreaterEqual:
      return f >= v - eps;
    case kIfNotEqual:
      return std::fabs(f - v) > eps;
    default:
      return false;
  }
}

}  // namespace

FormulaValue EvaluateFormula(const std::uint8_t* code, int length, const double* operands, int k) {
  const FormulaValue failed;
  if (code == nullptr || length <= 0) return failed;
  const int references = operands == nullptr ? 0 : std::clamp(k, 0, kMaxRightVariables);
  double intermediates[kMaxIntermediates];
  int computed = 0;
  bool anySubExpression = false;
  double result = 0.0;
  int p = 0;
  for (;;) {
    if (p >= length) return failed;  // no closing zero byte
    const std::uint8_t sign = code[p++];
    if (sign == 0) break;
    if (sign != 1 && sign != 2) return failed;
    // One pass does both: "*" and "/" extend the current product left to right, "+" and "-" add the
    // finished product to the sum (from 0, the sign byte acting as the operator before the first).
    double sum = 0.0;
    double product = 0.0;
    std::uint8_t productSign = 0;  // the additive operator before the current product; 0 before the first
    std::uint8_t before = sign == 1 ? kOpPlus : kOpMinus;
    for (;;) {
      if (length - p < kOperandBytes) return failed;
      const std::uint8_t operandByte = code[p];
      double x = real48Value(code + p + 1);
      const std::uint8_t after = code[p + 7];
      p += kOperandBytes;
      if ((operandByte & ~std::uint8_t{63}) != 0) return failed;
      if ((operandByte & kValueReference) != 0) {
        if (!(x >= 1.0 && x <= kHighestReference) || x != std::floor(x)) return failed;
        const int n = static_cast<int>(x);
        if (n < kFirstIntermediate) {
          if (n > references) return failed;
          x = operands[n - 1];
        } else {
          if (n - kFirstIntermediate >= computed) return failed;  // not computed yet
          x = intermediates[n - kFirstIntermediate];
        }
      }
      if (!applyFunction(operandByte & 31, x)) return failed;
      switch (before) {
        case kOpTimes:
          product *= x;
          break;
        case kOpDivide:
          if (x == 0.0) return failed;
          product /= x;
          break;
        default:  // kOpPlus, kOpMinus
          if (productSign != 0) sum = productSign == kOpPlus ? sum + product : sum - product;
          productSign = before;
          product = x;
          break;
      }
      if (after == kOpEnd) break;
      if (after > kOpDivide) return failed;
      before = after;
    }
    sum = productSign == kOpPlus ? sum + product : sum - product;
    if (!representable(sum)) return failed;
    // Past V99 nothing can refer to a result; only the formula's value is still needed.
    if (computed < kMaxIntermediates) intermediates[computed++] = sum;
    result = sum;
    anySubExpression = true;
  }
  if (!anySubExpression) return failed;
  return FormulaValue{true, result};
}

void ExecuteStatement(const std::uint8_t* statement, int length, RecordBuffer& record, StatementState& state,
                      const RecordWriter& writer) {
  if (statement == nullptr || length < kHeaderBytes) return;
  const std::uint8_t code = statement[4];
  if (code == kStmtEnd) {
    state.active = true;
    return;
  }
  if (code == kStmtElse) {
    state.active = !state.active;
    return;
  }
  if (!state.active) return;

  const Field target = fieldAt(statement);
  const std::uint8_t byte3 = statement[3];
  const int k = statement[5];
  // A statement too short for its variables is malformed: its result is missing. A text statement
  // too short for its parameters, or CMB, MMC, SMC too short for their variables, change nothing.
  const bool complete = kHeaderBytes + kVariableBytes * k <= length;
  switch (code) {
    case kStmtAssign: {
      const FormulaValue value = complete ? evaluateRightSide(statement, length, k, record) : FormulaValue{};
      storeResult(record, target, NumericResult{value.ok, value.value, storedDecimals(byte3)});
      break;
    }
    case kStmtIf: {
      const FieldValueResult field = readValue(record, target);
      if (!complete || field.status < 0) {
        state.active = false;
        break;
      }
      const FormulaValue value = evaluateRightSide(statement, length, k, record);
      state.active = value.ok && conditionHolds(byte3, field.value, value.value);
      break;
    }
    case kStmtMax:
    case kStmtMin:
    case kStmtSuc:
    case kStmtSum:
    case kStmtMic:
    case kStmtMit:
    case kStmtSdc:
    case kStmtSdv:
    case kStmtAnz:
      storeResult(
          record, target,
          complete ? columnFunction(code, byte3, columnFigures(statement, k, record)) : NumericResult{});
      break;
    case kStmtCmb:
      if (complete) combine(statement, k, target, record);
      break;
    case kStmtMmc:
      if (complete) makeList(statement, k, target, record);
      break;
    case kStmtSmc:
      if (complete) splitList(statement, k, target, record);
      break;
    case kStmtRpl:
      if (length >= kReplaceLength) replaceText(statement, target, record);
      break;
    case kStmtRpm:
      if (length >= kOneTextLength && !target.isText() && readValue(record, target).status == kEmptyField)
        writeRight(record, target, textParameter(statement, kSearchOffset));
      break;
    case kStmtTxt:
      if (length >= kOneTextLength) writeAligned(record, target, textParameter(statement, kSearchOffset));
      break;
    case kStmtRmv:
      if (length >= kCharacterLength)
        removeCharacter(static_cast<char>(statement[kCharacterOffset]), target, record);
      break;
    case kStmtApp:
      if (length >= kCharacterLength)
        appendCharacter(static_cast<char>(statement[kCharacterOffset]), target, record);
      break;
    case kStmtTna:
    case kStmtTda:
    case kStmtWda:
    case kStmtMda:
    case kStmtJda:
    case kStmtTnb:
    case kStmtTdb:
    case kStmtWdb:
    case kStmtMdb:
    case kStmtJdb:
      storeResult(record, target, complete ? dateStatement(statement, k, record) : NumericResult{});
      break;
    case kStmtZdm:
    case kStmtZds:
      storeResult(record, target, complete ? timeStatement(statement, k, record) : NumericResult{});
      break;
    case kStmtCopyRecord:
      // Without a writer the copy cannot be made, which is a failed write as much as a full disk.
      if (!writer || !writer(record)) state.writeFailed = true;
      break;
    case kStmtExit:
      state.exit = true;
      break;
    default:
      break;  // an unknown code does nothing
  }
}

bool ExecuteProgram(const CommandProgram& program, RecordBuffer& record, AuxiliaryStores& saved,
                    const RecordWriter& writer) {
  record.write(kAuxiliaryStorePosition, blanks(kBlankedStoreCharacters));
  record.write(kAuxiliaryStorePosition + kBlankedStoreCharacters,
               std::string_view(saved.chars.data() + kBlankedStoreCharacters,
                                static_cast<std::size_t>(kStoreCharacters - kBlankedStoreCharacters)));

  // The statements are walked in place: a record costs no list of them.
  StatementState state;
  const std::uint8_t* bytes = program.bytes.data();
  const std::size_t size = std::min<std::size_t>(program.bytes.size(), kProgramByteLimit);
  std::size_t p = 0;
  while (p + 2 <= size) {
    const auto length = static_cast<std::size_t>(bytes[p] | (bytes[p + 1] << 8));
    if (length == 0 || p + 2 + length > size) break;
    state.exit = false;
    ExecuteStatement(bytes + p + 2, static_cast<int>(length), record, state, writer);
    if (state.writeFailed || state.exit) break;
    p += 2 + length;
  }

  const std::string_view stores = record.field(kAuxiliaryStorePosition, kStoreCharacters);
  std::memcpy(saved.chars.data(), stores.data(), stores.size());
  return !state.writeFailed;
}

}  // namespace veltrix
