// The entry checks of data entry: the entry-check file beside the statistics file (extension "INC"),
// the check of one typed value against its entry, and storing a checked value into a record.
//
// The file is a long list file: a signed 16-bit count of 32-bit units, the 128-byte descriptor, then
// 24 bytes (6 units) per entry in ascending order of field position:
//   0  2  field position (signed 16-bit, little-endian)
//   2  1  type byte of the variable (bits 0..6 length, bit 7 text)
//   3  1  check kind: " " number, "G" whole number, "A" date day-month-year, "B" date yyyymmdd,
//         "Z" time
//   4 10  lower bound (numeric variables), as entered
//  14 10  upper bound (numeric variables)
//   4 20  allowed texts separated by ";" (text variables, instead of the bounds)
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix {

class Ui;
class RecordBuffer;
struct VariableEntry;

struct EntryCheck {
  int position = 0;
  std::uint8_t typeByte = 0;
  char kind = ' ';
  std::string lower;    // 10 characters as stored (numeric variables)
  std::string upper;    // 10 characters as stored
  std::string allowed;  // 20 characters as stored (text variables)
};

// The statistics file's name with the extension "INC" (a case variant that exists is found).
std::string EntryCheckFileName(std::string_view statisticsFile);

class EntryChecks {
 public:
  // Reads the entry-check file of the statistics file; a missing file gives no entries. Any bytes are
  // safe: a short file, a count beyond the data or not a multiple of 6 uses only the whole entries
  // present; nothing is read past the end.
  static EntryChecks read(Ui& ui, std::string_view statisticsFile);
  static EntryChecks decode(std::span<const std::uint8_t> bytes);

  // The entry of the variable at position with this type byte, or nullptr.
  const EntryCheck* find(int position, std::uint8_t typeByte) const;
  const std::vector<EntryCheck>& entries() const { return m_entries; }

 private:
  std::vector<EntryCheck> m_entries;
};

// The outcome of checking a value. message is the failure text without the "\r" + "Korrektur ?" that
// the caller adds to its Yes/No question ("Eintrag nicht numerisch", "nicht ganzzahlig", "Kein
// zulässiges Datum", "Keine zulässige Zeitangabe", "Eintrag < " + lower, "Eintrag > " + upper,
// "Unzulässige Eingabe\r(Zugelassen : " + list + ")").
struct EntryCheckOutcome {
  bool passed = true;
  std::string message;
};

// A bound (or a value) read as the check kind compares it: the packed date for "A" (day first) and
// "B" (yyyymmdd), the seconds of the day for "Z", the number for every other kind; nullopt when the
// text does not read so (an unreadable bound is no bound). Blanks around the text do not count.
std::optional<double> EntryBoundValue(std::string_view text, char kind);

// Checks value (already prepared by PrepareFieldText) for the variable against its entry (nullptr:
// numeric variables only need to be numbers, text variables are not checked). An empty value always
// passes (a missing value).
EntryCheckOutcome CheckEntryValue(std::string_view value, const VariableEntry& variable,
                                  const EntryCheck* check);

// A typed value made ready for storing: surrounding blanks removed and, for a numeric variable, ","
// replaced by ".". A value longer than the field is refused with tooLongMessage set ("Eintrag zu lang
// (maximal " + FL + " Zeichen)"): it is never cut.
struct PreparedValue {
  std::string text;
  std::optional<std::string> tooLongMessage;
};
PreparedValue PrepareFieldText(std::string_view typed, const VariableEntry& variable);

// Writes text into the variable's field of the record: numeric values right-aligned, text values
// left-aligned, blank-padded to the field length. text must fit the field (PrepareFieldText).
void WriteFieldValue(RecordBuffer& record, const VariableEntry& variable, std::string_view text);

// The field's content as the entry window shows it: blanks removed around it and, for a numeric
// variable, "," shown as ".".
std::string DisplayFieldValue(const RecordBuffer& record, const VariableEntry& variable);

}  // namespace veltrix
