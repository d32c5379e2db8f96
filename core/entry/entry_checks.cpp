#include "core/entry/entry_checks.h"

#include <algorithm>
#include <cstring>

#include "core/base/win1252.h"
#include "core/datafile/date_time.h"
#include "core/datafile/file_names.h"
#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"
#include "core/datafile/work_files.h"
#include "core/stats/number_parse.h"

namespace veltrix {

namespace {

using namespace veltrix::literals;

constexpr std::size_t kHeadBytes = 130;       // 16-bit count of units and the 128-byte descriptor
constexpr std::size_t kEntryBytes = 24;       // 6 units of 32 bits
constexpr std::int64_t kUnitCapacity = 8200;  // units a long list file holds
constexpr std::size_t kUnitsPerEntry = 6;
constexpr std::size_t kBoundLength = 10;
constexpr std::size_t kAllowedLength = 20;
constexpr std::size_t kMaxNumberLength = 9;

// Blanks and control characters around the text are removed.
std::string_view trimmed(std::string_view text) {
  const auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

// A stored text field: NUL bytes (what an unused part of the entry holds) read as blanks.
std::string storedText(const std::uint8_t* bytes, std::size_t length) {
  std::string text(reinterpret_cast<const char*>(bytes), length);
  std::replace(text.begin(), text.end(), '\0', ' ');
  return text;
}

// A value of the comparison: the number, the packed date or the seconds of the day; nullopt when the
// text does not read as the kind says. Kinds other than the date and time kinds read numbers.
std::optional<double> comparable(std::string_view text, char kind) {
  switch (kind) {
    case 'A': {
      const PackedDateText date = DateTextToPacked(text);
      if (date.packed == 0) return std::nullopt;
      return static_cast<double>(date.packed);
    }
    case 'B': {
      std::string digits;
      for (char c : text)
        if (c != ' ') digits += c;
      const PackedDateText date = DateTextToPacked(ReorderYearFirst(digits));
      if (date.packed == 0) return std::nullopt;
      return static_cast<double>(date.packed);
    }
    case 'Z': {
      const TimeValues time = TimeTextToValues(text);
      if (time.hours < 0) return std::nullopt;
      return static_cast<double>(time.secondsOfDay);
    }
    default: {
      const ParsedNumber number = ParseField(text);
      if (number.decimals < 0) return std::nullopt;
      return number.value;
    }
  }
}

// The items of a list separated by ";" (a ";" closes the last one as well), blanks around each
// removed; empty items are left out.
std::vector<std::string_view> listItems(std::string_view list) {
  std::vector<std::string_view> items;
  while (!list.empty()) {
    const std::size_t end = list.find(';');
    const std::string_view item = trimmed(list.substr(0, end));
    if (!item.empty()) items.push_back(item);
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return items;
}

EntryCheckOutcome refused(std::string_view message) {
  return EntryCheckOutcome{false, std::string(message)};
}

EntryCheckOutcome checkNumeric(std::string_view value, const EntryCheck* check) {
  const char kind = check ? check->kind : ' ';
  std::optional<double> reading;
  switch (kind) {
    case 'A':
    case 'B':
      reading = comparable(value, kind);
      if (!reading) return refused("Kein zulässiges Datum"_w);
      break;
    case 'Z':
      reading = comparable(value, kind);
      if (!reading) return refused("Keine zulässige Zeitangabe"_w);
      break;
    default: {
      const ParsedNumber number = ParseField(value);
      if (value.size() > kMaxNumberLength || number.decimals < 0) return refused("Eintrag nicht numerisch");
      if (kind == 'G' && number.decimals > 0) return refused("nicht ganzzahlig");
      reading = number.value;
      break;
    }
  }
  if (!check) return {};
  const std::string_view lower = trimmed(check->lower);
  const std::string_view upper = trimmed(check->upper);
  // A bound that does not read as the value does is no bound.
  if (const std::optional<double> low = comparable(lower, kind); low && *reading < *low)
    return refused("Eintrag < " + std::string(lower));
  if (const std::optional<double> high = comparable(upper, kind); high && *reading > *high)
    return refused("Eintrag > " + std::string(upper));
  return {};
}

EntryCheckOutcome checkText(std::string_view value, const EntryCheck* check) {
  if (!check) return {};
  const std::string_view allowed = trimmed(check->allowed);
  const std::vector<std::string_view> allowedItems = listItems(allowed);
  if (allowedItems.empty()) return {};
  for (std::string_view item : listItems(value))
    if (std::find(allowedItems.begin(), allowedItems.end(), item) != allowedItems.end()) return {};
  return refused(std::string("Unzulässige Eingabe\r(Zugelassen : "_w) + std::string(allowed) + ")");
}

}  // namespace

std::optional<double> EntryBoundValue(std::string_view text, char kind) {
  return comparable(trimmed(text), kind);
}

std::string EntryCheckFileName(std::string_view statisticsFile) {
  return FindCaseVariant(ChangeExtension(statisticsFile, "INC"));
}

EntryChecks EntryChecks::read(Ui& ui, std::string_view statisticsFile) {
  const std::string name = EntryCheckFileName(statisticsFile);
  if (ProbeFile(name).kind == EntryKind::Missing) return {};
  // Read as a long list file (its reader reports a file that cannot be read), then decoded from the
  // image of what it held.
  TLWkFS list(ui);
  const WorkListRead got = list.read(name);
  std::vector<std::uint8_t> image(kHeadBytes + std::size_t(got.n) * 4);
  image[0] = static_cast<std::uint8_t>(got.n & 0xFF);
  image[1] = static_cast<std::uint8_t>((got.n >> 8) & 0xFF);
  std::memcpy(image.data() + 2, got.descriptor.data(), got.descriptor.size());
  for (std::int32_t i = 0; i < got.n; ++i) {
    const auto unit = static_cast<std::uint32_t>(list.value(i));
    for (int b = 0; b < 4; ++b)
      image[kHeadBytes + std::size_t(i) * 4 + std::size_t(b)] = static_cast<std::uint8_t>(unit >> (8 * b));
  }
  return decode(image);
}

EntryChecks EntryChecks::decode(std::span<const std::uint8_t> bytes) {
  EntryChecks checks;
  if (bytes.size() < kHeadBytes) return checks;
  const auto announced = static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8));
  const auto present = static_cast<std::int64_t>((bytes.size() - kHeadBytes) / 4);
  const std::int64_t units = std::clamp<std::int64_t>(announced, 0, std::min(kUnitCapacity, present));
  const auto count = static_cast<std::size_t>(units) / kUnitsPerEntry;
  checks.m_entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = bytes.data() + kHeadBytes + i * kEntryBytes;
    EntryCheck check;
    check.position = static_cast<std::int16_t>(entry[0] | (entry[1] << 8));
    check.typeByte = entry[2];
    check.kind = static_cast<char>(entry[3]);
    check.lower = storedText(entry + 4, kBoundLength);
    check.upper = storedText(entry + 4 + kBoundLength, kBoundLength);
    check.allowed = storedText(entry + 4, kAllowedLength);
    checks.m_entries.push_back(std::move(check));
  }
  return checks;
}

const EntryCheck* EntryChecks::find(int position, std::uint8_t typeByte) const {
  // The entries are meant to be in order of position, but a file from outside need not be: every
  // entry is looked at, the first one that fits is taken.
  for (const EntryCheck& check : m_entries)
    if (check.position == position && check.typeByte == typeByte) return &check;
  return nullptr;
}

EntryCheckOutcome CheckEntryValue(std::string_view value, const VariableEntry& variable,
                                  const EntryCheck* check) {
  if (value.empty()) return {};
  return variable.isText() ? checkText(value, check) : checkNumeric(value, check);
}

PreparedValue PrepareFieldText(std::string_view typed, const VariableEntry& variable) {
  PreparedValue prepared;
  prepared.text = std::string(trimmed(typed));
  // A line break or end mark inside a record would break the file's lines: control characters are
  // stored as blanks.
  for (char& c : prepared.text)
    if (static_cast<unsigned char>(c) < ' ') c = ' ';
  if (!variable.isText()) std::replace(prepared.text.begin(), prepared.text.end(), ',', '.');
  if (prepared.text.size() > static_cast<std::size_t>(std::max(variable.length, 0)))
    prepared.tooLongMessage = "Eintrag zu lang (maximal " + std::to_string(variable.length) + " Zeichen)";
  return prepared;
}

void WriteFieldValue(RecordBuffer& record, const VariableEntry& variable, std::string_view text) {
  const auto length = static_cast<std::size_t>(std::max(variable.length, 0));
  text = text.substr(0, length);
  std::string field(length, ' ');
  const std::size_t start = variable.isText() ? 0 : length - text.size();
  field.replace(start, text.size(), text);
  record.write(variable.position, field);
}

std::string DisplayFieldValue(const RecordBuffer& record, const VariableEntry& variable) {
  std::string text(trimmed(record.field(variable.position, variable.length)));
  if (!variable.isText()) std::replace(text.begin(), text.end(), ',', '.');
  return text;
}

}  // namespace veltrix
