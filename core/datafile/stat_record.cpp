#include "core/datafile/stat_record.h"
#include "core/stats/text_helpers.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/datafile/file_objects.h"
#include "core/stats/number_parse.h"

namespace veltrix {

namespace {

constexpr unsigned char kFirstLineCode = 49;  // "1"
constexpr unsigned char kLastLineCode = 48 + kMaxLines;
constexpr char kEndOfFileMark = 26;  // Ctrl-Z

// Calls emit(lineText, length) for each physical line of the record, with the number character in
// lineText[0].
template <typename Emit>
bool forEachPhysicalLine(std::string_view record, Emit&& emit) {
  if (record.size() > static_cast<std::size_t>(kRecordLength)) record = record.substr(0, kRecordLength);
  char line[kLineLength + 1];
  for (int k = 1; k <= kMaxLines; ++k) {
    const std::size_t start = static_cast<std::size_t>(k - 1) * kLineLength;
    std::size_t used = 0;
    if (start < record.size()) {
      const std::string_view part = record.substr(start, kLineLength);
      used = part.size();
      while (used > 0 && part[used - 1] == ' ') --used;
      std::memcpy(line + 1, part.data(), used);
    }
    if (used == 0 && k > 1) continue;
    line[0] = LineNumberCharacter(k);
    if (!emit(line, static_cast<int>(used) + 1)) return false;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------- record buffer

RecordBuffer::RecordBuffer() {
  m_chars.fill(' ');
}

char RecordBuffer::at(int position) const {
  if (position < 1 || position > kBufferLength) return ' ';
  return m_chars[static_cast<std::size_t>(position - 1)];
}

std::string_view RecordBuffer::field(int position, int length) const {
  const std::int64_t first = std::max<std::int64_t>(position, 1);
  const std::int64_t last = std::min<std::int64_t>(std::int64_t{position} + length - 1, kBufferLength);
  if (last < first) return {};
  return text().substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1));
}

void RecordBuffer::write(int position, std::string_view text) {
  std::int64_t offset = std::int64_t{position} - 1;
  if (offset < 0) {
    if (static_cast<std::uint64_t>(-offset) >= text.size()) return;
    text.remove_prefix(static_cast<std::size_t>(-offset));
    offset = 0;
  }
  if (offset >= kBufferLength) return;
  const std::size_t room = static_cast<std::size_t>(kBufferLength - offset);
  const std::size_t count = std::min(room, text.size());
  if (count == 0) return;
  std::memcpy(m_chars.data() + offset, text.data(), count);
  markDirty(static_cast<int>(offset), static_cast<int>(count));
}

char* RecordBuffer::mutableData() {
  markAllDirty();
  return m_chars.data();
}

void RecordBuffer::markDirty(int offset, int length) {
  const int firstUnit = offset / kLineLength;
  const int lastUnit = (offset + length - 1) / kLineLength;
  for (int u = firstUnit; u <= lastUnit; ++u)
    m_dirty[static_cast<std::size_t>(u >> 6)] |= std::uint64_t{1} << (u & 63);
}

void RecordBuffer::markAllDirty() {
  m_dirty[0] = ~std::uint64_t{0};
  m_dirty[1] = (std::uint64_t{1} << (kUnits - 64)) - 1;
}

void RecordBuffer::clear() {
  for (std::size_t word = 0; word < m_dirty.size(); ++word) {
    std::uint64_t bits = m_dirty[word];
    while (bits != 0) {
      const int unit = static_cast<int>(word * 64) + std::countr_zero(bits);
      bits &= bits - 1;
      const int offset = unit * kLineLength;
      std::memset(m_chars.data() + offset, ' ',
                  static_cast<std::size_t>(std::min(kLineLength, kBufferLength - offset)));
    }
    m_dirty[word] = 0;
  }
}

void RecordBuffer::appendLines(std::string& out) const {
  for (int k = 1; k <= kMaxLines; ++k) {
    const int unit = k - 1;
    const bool dirty = ((m_dirty[static_cast<std::size_t>(unit >> 6)] >> (unit & 63)) & 1U) != 0;
    if (!dirty && k > 1) continue;
    const char* line = m_chars.data() + static_cast<std::size_t>(unit) * kLineLength;
    std::size_t used = dirty ? static_cast<std::size_t>(kLineLength) : 0;
    while (used > 0 && line[used - 1] == ' ') --used;
    if (used == 0 && k > 1) continue;
    out += LineNumberCharacter(k);
    out.append(line, used);
    out += "\r\n";
  }
}

std::array<char, kRecordNumberLength> RecordNumberText(std::int64_t number) {
  std::int64_t n = std::clamp<std::int64_t>(number, 0, kMaxRecordNumber);
  std::array<char, kRecordNumberLength> digits{};
  int i = kRecordNumberLength;
  do {
    digits[static_cast<std::size_t>(--i)] = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n != 0);
  while (i > 0) digits[static_cast<std::size_t>(--i)] = ' ';
  return digits;
}

void RecordBuffer::setRecordNumber(std::int64_t number) {
  const std::array<char, kRecordNumberLength> digits = RecordNumberText(number);
  write(kRecordNumberPosition, std::string_view(digits.data(), digits.size()));
}

// ---------------------------------------------------------------- line sources

TextLineSource::TextLineSource(std::string_view text) : m_rest(text) {
  if (!m_rest.empty() && m_rest.back() == kEndOfFileMark) m_rest.remove_suffix(1);
  m_done = m_rest.empty();
}

bool TextLineSource::nextLine(std::string_view& line) {
  if (m_done) return false;
  const std::size_t lf = m_rest.find('\n');
  if (lf == std::string_view::npos) {
    line = m_rest;
    m_rest = {};
    m_done = true;
  } else {
    line = m_rest.substr(0, lf);
    m_rest.remove_prefix(lf + 1);
    m_done = m_rest.empty();
  }
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

bool TextFileLineSource::nextLine(std::string_view& line) {
  m_file.readLine(m_line);
  // The reader returns an empty line once nothing is left; an empty line before that is a real one.
  if (m_line.empty() && m_file.end()) return false;
  line = m_line;
  return true;
}

// ---------------------------------------------------------------- reading

int LineNumberOf(char numberCharacter) {
  const auto code = static_cast<unsigned char>(numberCharacter);
  if (code < kFirstLineCode) return 1;
  if (code > kLastLineCode) return kMaxLines;
  return code - 48;
}

char LineNumberCharacter(int line) {
  return static_cast<char>(48 + std::clamp(line, 1, kMaxLines));
}

bool RecordReader::nextNonEmpty(std::string_view& line) {
  while (m_source.nextLine(line))
    if (!line.empty()) return true;
  return false;
}

bool RecordReader::next(RecordBuffer& buffer) {
  std::string_view line;
  if (m_hasPending) {
    line = std::string_view(m_pending.data(), static_cast<std::size_t>(m_pendingLength));
    m_hasPending = false;
  } else if (!nextNonEmpty(line)) {
    return false;
  }

  buffer.clear();
  int previous = 0;
  for (;;) {
    const int k = LineNumberOf(line[0]);
    const std::size_t length = std::min<std::size_t>(line.size() - 1, kLineLength);
    const std::size_t offset = static_cast<std::size_t>(k - 1) * kLineLength;
    std::memcpy(buffer.m_chars.data() + offset, line.data() + 1, length);
    buffer.m_dirty[static_cast<std::size_t>((k - 1) >> 6)] |= std::uint64_t{1} << ((k - 1) & 63);
    previous = k;

    if (!nextNonEmpty(line)) break;
    if (LineNumberOf(line[0]) <= previous) {
      // The line belongs to the next record; the source may reuse its storage, so keep a copy.
      m_pendingLength = static_cast<int>(std::min<std::size_t>(line.size(), kLineLength + 1));
      std::memcpy(m_pending.data(), line.data(), static_cast<std::size_t>(m_pendingLength));
      m_hasPending = true;
      break;
    }
  }
  buffer.setRecordNumber(++m_count);
  return true;
}

// ---------------------------------------------------------------- writing

std::vector<std::string> EncodeRecord(std::string_view record) {
  std::vector<std::string> lines;
  forEachPhysicalLine(record, [&lines](const char* text, int length) {
    lines.emplace_back(text, static_cast<std::size_t>(length));
    return true;
  });
  return lines;
}

bool WriteRecord(TTxtOFile& file, std::string_view record) {
  return forEachPhysicalLine(record, [&file](const char* text, int length) {
    return file.writeBufferLine(text, length) && !file.error();
  });
}

// ---------------------------------------------------------------- field value

FieldValueResult FieldValue(std::string_view record, int position, int typeByte) {
  const int length = typeByte & 127;
  const bool isText = (typeByte & 128) != 0;
  FieldValueResult result;
  const std::int64_t first = std::max<std::int64_t>(position, 1);
  const std::int64_t last =
      std::min<std::int64_t>(std::int64_t{position} + length - 1, static_cast<std::int64_t>(record.size()));
  if (last >= first)
    result.text = TrimmedView(
        record.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1)));
  if (isText) {
    result.status = result.text.empty() ? kEmptyField : kNotANumber;
    return result;
  }
  const ParsedNumber number = ParseNumber(result.text, 1, static_cast<int>(result.text.size()));
  result.value = number.value;
  result.status = number.decimals;
  return result;
}

}  // namespace veltrix
