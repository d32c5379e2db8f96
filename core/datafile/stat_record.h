// Records of the statistics file: the fixed-layout record buffer, the reader that assembles records
// from numbered physical lines, the writer that turns a record back into lines, and the value of a
// field inside a record.
//
// A logical record holds 7821 characters, kept as up to 99 physical lines of 79 characters. Each
// physical line starts with its line-number character (code 48 + k for line k), followed by the line's
// characters with trailing blanks removed. Lines 2..99 that are entirely blank are not written; line 1
// always is.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix {

class TTxtRFile;
class TTxtOFile;

inline constexpr int kRecordLength = 7821;  // 99 lines of 79 characters
inline constexpr int kLineLength = 79;
inline constexpr int kMaxLines = 99;
inline constexpr int kBufferLength = 8000;
// The running record number ("*DSNR"): six digits, right-aligned, at positions 7975..7980.
inline constexpr int kRecordNumberPosition = 7975;
inline constexpr int kRecordNumberLength = 6;
inline constexpr int kMaxRecordNumber = 999999;

// The 8000-character record buffer. Positions are 1-based as in field definitions: position p is
// text()[p - 1]. A fresh buffer is all blanks.
//
// The buffer remembers which parts may hold non-blank characters, so that clearing it for the next
// record only blanks those (a one-line record then costs 79 characters, not 8000). Every write through
// write() or setRecordNumber() is remembered; mutableData() hands out raw access and therefore makes
// the next clear() blank the whole buffer.
class RecordBuffer {
 public:
  RecordBuffer();

  std::string_view text() const { return std::string_view(m_chars.data(), m_chars.size()); }
  const char* data() const { return m_chars.data(); }
  // The logical record, positions 1..7821.
  std::string_view record() const { return text().substr(0, kRecordLength); }

  // The character at position (1-based); a blank outside 1..8000.
  char at(int position) const;
  // The characters position .. position + length - 1 that lie inside the buffer.
  std::string_view field(int position, int length) const;

  // Copies text to position (1-based); characters that would fall outside the buffer are dropped.
  void write(int position, std::string_view text);
  // Raw access; the whole buffer counts as written from now on.
  char* mutableData();

  // Makes the buffer all blanks again.
  void clear();
  // Appends the record's physical lines, each followed by CR LF, to out: the bytes WriteRecord
  // writes. Lines not written since the last clear are known to be blank and are not looked at.
  void appendLines(std::string& out) const;

  // The record number right-aligned in six characters at 7975..7980. Numbers above 999999 do not fit
  // and show 999999; numbers below 0 show as 0.
  void setRecordNumber(std::int64_t number);

 private:
  friend class RecordReader;

  // Dirty tracking in units of 79 characters: unit u covers the 0-based offsets u*79 .. u*79+78, so
  // units 0..98 are the lines of the logical record and units 99..101 the area behind it.
  static constexpr int kUnits = (kBufferLength + kLineLength - 1) / kLineLength;  // 102
  void markDirty(int offset, int length);
  void markAllDirty();

  std::array<std::uint64_t, 2> m_dirty{};
  std::array<char, kBufferLength> m_chars;
};

// A source of physical lines (without their line ends).
class LineSource {
 public:
  virtual ~LineSource() = default;
  // The next line, valid until the next call; false when no line is left.
  virtual bool nextLine(std::string_view& line) = 0;
};

// Lines of a text held in memory: split at LF, a CR before the LF dropped, and a Ctrl-Z as the very
// last byte ignored (the end-of-file mark of files written by the line editor).
class TextLineSource : public LineSource {
 public:
  explicit TextLineSource(std::string_view text);
  bool nextLine(std::string_view& line) override;

 private:
  std::string_view m_rest;
  bool m_done = false;
};

// Lines of an open text file.
class TextFileLineSource : public LineSource {
 public:
  explicit TextFileLineSource(TTxtRFile& file) : m_file(file) {}
  bool nextLine(std::string_view& line) override;

 private:
  TTxtRFile& m_file;
  std::string m_line;
};

// Assembles records from physical lines. Consecutive lines belong to one record while their line
// numbers strictly increase; a line whose number is not greater than the previous one starts the next
// record. Empty lines are skipped. A number character below "1" counts as line 1, one above code 147
// as line 99. Of the characters after the number character at most 79 are used: a longer physical line
// is cut to 79, so no line ever reaches into the next line's positions. Any bytes (NUL included) are
// taken as they are.
class RecordReader {
 public:
  explicit RecordReader(LineSource& source) : m_source(source) {}

  // Reads the next record into buffer: blanks what the buffer held, copies the record's lines, and
  // writes the running record number (1 for the first record). False when no line is left; the buffer
  // is then unchanged.
  bool next(RecordBuffer& buffer);

  // Records read so far.
  std::int64_t recordCount() const { return m_count; }
  // After next(): the line that starts another record has been read, so the record was not the last.
  bool hasPending() const { return m_hasPending; }

 private:
  // The next non-empty line, or false.
  bool nextNonEmpty(std::string_view& line);

  LineSource& m_source;
  std::int64_t m_count = 0;
  // The line that ended the previous record and starts the next one (its first 80 characters).
  std::array<char, kLineLength + 1> m_pending{};
  int m_pendingLength = 0;
  bool m_hasPending = false;
};

// The running record number as the record buffer holds it: right-aligned in six characters, numbers
// above 999999 shown as 999999 and below 0 as 0.
std::array<char, kRecordNumberLength> RecordNumberText(std::int64_t number);

// Line number 1..99 of a physical line from its first character.
int LineNumberOf(char numberCharacter);
// The number character of line k (1..99).
char LineNumberCharacter(int line);

// The physical lines of a record, without line ends. record holds positions 1..; positions beyond its
// end count as blank and positions beyond 7821 are not part of the record.
std::vector<std::string> EncodeRecord(std::string_view record);
inline std::vector<std::string> EncodeRecord(const RecordBuffer& buffer) {
  return EncodeRecord(buffer.record());
}

// Writes the record's physical lines, each followed by CR LF. False when the file reported an error.
bool WriteRecord(TTxtOFile& file, std::string_view record);
inline bool WriteRecord(TTxtOFile& file, const RecordBuffer& buffer) {
  return WriteRecord(file, buffer.record());
}

// The value of a field: its text without surrounding blanks and, for a numeric field, the number.
struct FieldValueResult {
  std::string_view text;  // points into the record that was read
  double value = 0.0;     // 0 for text fields and for empty or invalid numbers
  int status = -1;        // -1 blank, -2 not a number (or a non-empty text), else the decimals count
};

// The field of length typeByte & 127 at position (1-based) of record; bit 7 of typeByte marks a text
// field. Positions outside the record are simply not there, so any position and length are safe. The
// record number "*DSNR" is the numeric field at 7975 of length 6.
FieldValueResult FieldValue(std::string_view record, int position, int typeByte);
inline FieldValueResult FieldValue(const RecordBuffer& buffer, int position, int typeByte) {
  return FieldValue(buffer.text(), position, typeByte);
}

}  // namespace veltrix
