#include "core/entry/entry_records.h"

#include <algorithm>

#include "core/datafile/file_names.h"
#include "core/datafile/stat_record.h"
#include "core/entry/line_editor.h"

namespace veltrix {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
// A blank line 1 in front of a record changes none of its characters, but makes it start a record
// of its own whatever line number the line before it carries.
constexpr std::string_view kBlankFirstLine = "1\r\n";

// The lines of a record's text as the record reader takes them.
struct TextShape {
  bool any = false;  // a non-empty line
  int first = 0;     // number of the first and the last non-empty line
  int last = 0;
  int highest = 0;  // highest position the lines reach
};

TextShape ShapeOf(std::string_view text) {
  TextShape shape;
  TextLineSource source(text);
  std::string_view line;
  while (source.nextLine(line)) {
    if (line.empty()) continue;
    const int k = LineNumberOf(line[0]);
    if (!shape.any) shape.first = k;
    shape.any = true;
    shape.last = k;
    const int used = static_cast<int>(std::min<std::size_t>(line.size() - 1, kLineLength));
    shape.highest = std::max(shape.highest, (k - 1) * kLineLength + used);
  }
  return shape;
}

}  // namespace

EntryRecordFile::EntryRecordFile(Ui& ui) : m_ui(ui), m_editor(std::make_unique<TRndTxtMng>(ui)) {}

EntryRecordFile::~EntryRecordFile() = default;

bool EntryRecordFile::open(const std::string& statisticsFile) {
  close();
  m_fileName = statisticsFile;
  m_failed = false;
  m_current = 1;
  m_last = 0;
  m_endKnown = false;
  m_highestRead = 0;
  m_start = m_end = 0;
  m_isNew = false;
  if (!m_editor->open(statisticsFile)) return false;
  restart();
  return usable();
}

void EntryRecordFile::close() {
  m_editor->close();
}

bool EntryRecordFile::isOpen() const {
  return m_editor->isOpen();
}

bool EntryRecordFile::failed() const {
  return m_failed || m_editor->failed();
}

bool EntryRecordFile::usable() const {
  return m_editor->isOpen() && !failed();
}

void EntryRecordFile::setFaultHook(std::function<bool()> hook) {
  m_editor->setFaultHook(std::move(hook));
}

void EntryRecordFile::setBufferSizes(std::int64_t windowBlocks, std::int64_t moveChunk) {
  m_editor->setBufferSizes(windowBlocks, moveChunk);
}

std::int64_t EntryRecordFile::current() const {
  return m_current;
}

std::int64_t EntryRecordFile::lastRecord() const {
  return m_last;
}

bool EntryRecordFile::isNewRecord() const {
  return m_isNew;
}

int EntryRecordFile::highestPositionRead() const {
  return m_isNew ? 0 : m_highestRead;
}

// ---------------------------------------------------------------- reading

bool EntryRecordFile::readForward(RecordBuffer* buffer) {
  std::string line;
  bool found = false;
  int previous = 0;
  int highest = 0;
  std::int64_t start = 0;
  std::int64_t end = 0;
  for (;;) {
    if (!m_editor->nextLine(line)) {
      end = m_editor->dataLength();
      break;
    }
    if (line.empty()) continue;
    const int k = LineNumberOf(line[0]);
    if (found && k <= previous) {
      // The line starts the next record.
      end = m_editor->lineStart();
      m_editor->seek(end);
      break;
    }
    if (!found) {
      found = true;
      start = m_editor->lineStart();
      if (buffer != nullptr) buffer->clear();
    }
    const std::size_t used = std::min<std::size_t>(line.size() - 1, kLineLength);
    if (buffer != nullptr) buffer->write((k - 1) * kLineLength + 1, std::string_view(line).substr(1, used));
    highest = std::max(highest, (k - 1) * kLineLength + static_cast<int>(used));
    previous = k;
  }
  if (!found || !usable()) return false;
  m_start = start;
  m_end = end;
  m_highestRead = highest;
  m_isNew = false;
  m_editor->setRecordStart(start);
  return true;
}

std::int64_t EntryRecordFile::previousRecordStart(std::int64_t end) {
  m_editor->seek(end);
  std::string line;
  std::int64_t start = -1;
  int following = 0;
  while (m_editor->previousLine(line)) {
    if (line.empty()) continue;
    const int k = LineNumberOf(line[0]);
    // Line numbers decrease backwards through a record; one that does not belongs to the record before.
    if (start >= 0 && k >= following) break;
    start = m_editor->lineStart();
    following = k;
  }
  return usable() ? start : -1;
}

int EntryRecordFile::lastLineNumberBefore(std::int64_t offset) {
  m_editor->seek(offset);
  std::string line;
  while (m_editor->previousLine(line))
    if (!line.empty()) return LineNumberOf(line[0]);
  return 0;
}

int EntryRecordFile::firstLineNumberAt(std::int64_t offset) {
  m_editor->seek(offset);
  std::string line;
  while (m_editor->nextLine(line))
    if (!line.empty()) return LineNumberOf(line[0]);
  return 0;
}

void EntryRecordFile::restart() {
  m_editor->goToStart();
  m_current = 1;
  if (readForward(nullptr)) {
    m_last = std::max<std::int64_t>(m_last, 1);
    return;
  }
  if (!usable()) return;
  m_isNew = true;
  m_start = m_end = m_editor->dataLength();
  m_last = 0;
  m_endKnown = true;
}

bool EntryRecordFile::stepForward() {
  if (m_isNew || !usable()) return false;
  m_editor->seek(m_end);
  ++m_current;
  if (readForward(nullptr)) {
    m_last = std::max(m_last, m_current);
    return true;
  }
  if (!usable()) return false;
  m_isNew = true;
  m_start = m_end = m_editor->dataLength();
  m_last = m_current - 1;
  m_endKnown = true;
  return true;
}

bool EntryRecordFile::stepBackward() {
  if (m_current <= 1 || !usable()) return false;
  const std::int64_t start = previousRecordStart(m_start);
  if (start < 0) return false;
  m_editor->seek(start);
  if (!readForward(nullptr)) return false;
  --m_current;
  return true;
}

std::int64_t EntryRecordFile::goTo(std::int64_t n, RecordBuffer& buffer, const RecordProgress& progress) {
  if (!usable()) return 0;
  n = std::max<std::int64_t>(n, 1);
  if (m_endKnown) n = std::min(n, m_last + 1);
  std::int64_t moved = 0;
  const auto report = [&] {
    if (++moved % 20 == 0 && progress) progress(m_current);
  };
  if (n < m_current) {
    if (m_current - n < n - 1) {
      while (m_current > n && stepBackward()) report();
    } else {
      restart();
    }
  }
  while (m_current < n && stepForward()) report();
  if (!usable()) return 0;

  if (m_isNew) {
    buffer.clear();
    m_editor->seek(m_start);
    m_editor->setRecordStart(m_start);
  } else {
    m_editor->seek(m_start);
    if (!readForward(&buffer)) return 0;
  }
  return m_current;
}

std::int64_t EntryRecordFile::goToLast(RecordBuffer& buffer, const RecordProgress& progress) {
  if (!usable()) return 0;
  std::int64_t moved = 0;
  while (!m_endKnown && stepForward())
    if (++moved % 20 == 0 && progress) progress(m_current);
  if (!usable()) return 0;
  return goTo(std::max<std::int64_t>(m_last, 1), buffer, progress);
}

// ---------------------------------------------------------------- writing

EntryRecordFile::SaveResult EntryRecordFile::save(std::string_view lines) {
  if (!usable()) return SaveResult::Failed;
  const TextShape shape = ShapeOf(lines);
  std::string text;
  if (shape.any) {
    text = lines;
    if (text.back() != '\n') text += kLineEnd;
  }
  const std::int64_t length = m_editor->dataLength();

  if (m_isNew) {
    if (!shape.any) return SaveResult::Nothing;
    // The last line of the file may lack its line end.
    std::string lead;
    if (length > 0) {
      const unsigned char last = m_editor->byteAt(length - 1);
      if (last == '\r')
        lead = "\n";
      else if (last != '\n')
        lead = kLineEnd;
    }
    const std::size_t separator = lead.size();
    const int previousLast = lastLineNumberBefore(length);
    if (previousLast > 0 && shape.first > previousLast) lead += kBlankFirstLine;
    if (!usable() || !m_editor->insertAtEnd(lead + text)) return SaveResult::Failed;
    m_start = length + static_cast<std::int64_t>(separator);
    m_end = m_editor->dataLength();
    m_editor->setRecordStart(m_start);
    m_isNew = false;
    m_last = m_current;
    m_highestRead = shape.highest;
    return SaveResult::Appended;
  }

  // Neither the record before nor the one after may join the new lines: a following record whose
  // first line number is above the new last one (or, after a deletion, above the previous record's
  // last one) gets a blank line 1 in front.
  const int previousLast = lastLineNumberBefore(m_start);
  const int nextFirst = m_end < length ? firstLineNumberAt(m_end) : 0;
  if (!usable()) return SaveResult::Failed;

  if (!shape.any) {
    const std::string_view fill = previousLast > 0 && nextFirst > previousLast ? kBlankFirstLine : "";
    m_editor->setRecordStart(m_start);
    m_editor->seek(m_end);
    if (!m_editor->replaceFromRecordStart(fill)) return SaveResult::Failed;
    m_last = std::max<std::int64_t>(m_last - 1, 0);
    m_editor->seek(m_start);
    if (readForward(nullptr)) {
      m_last = std::max(m_last, m_current);
    } else {
      if (!usable()) return SaveResult::Failed;
      m_isNew = true;
      m_start = m_end = m_editor->dataLength();
      m_editor->setRecordStart(m_start);
      m_last = m_current - 1;
      m_endKnown = true;
    }
    return SaveResult::Deleted;
  }

  std::string replacement;
  if (previousLast > 0 && shape.first > previousLast) replacement = kBlankFirstLine;
  replacement += text;
  const std::int64_t recordLength = static_cast<std::int64_t>(replacement.size());
  if (nextFirst > shape.last) replacement += kBlankFirstLine;
  m_editor->setRecordStart(m_start);
  m_editor->seek(m_end);
  if (!m_editor->replaceFromRecordStart(replacement)) return SaveResult::Failed;
  m_end = m_start + recordLength;
  m_editor->seek(m_end);
  m_highestRead = shape.highest;
  return SaveResult::Replaced;
}

bool EntryRecordFile::makeBackup(const std::string& backupFile) {
  if (!usable()) return false;
  const std::int64_t length = m_editor->dataLength();
  m_editor->close();
  if (m_editor->failed()) return false;
  const TFileCopy::Result copied = CopyFile(m_ui, m_fileName, backupFile);
  if (!m_editor->open(m_fileName)) {
    m_failed = true;
    return false;
  }
  if (m_editor->dataLength() != length) {
    // Changed by someone else meanwhile: the positions known are no longer valid.
    m_endKnown = false;
    m_last = 0;
    restart();
  } else {
    m_editor->setRecordStart(m_start);
    m_editor->seek(m_end);
  }
  return copied == TFileCopy::Result::Copied && usable();
}

// ---------------------------------------------------------------- encoding

std::string EncodeEntryRecord(const RecordBuffer& buffer, int structureEnd, int highestPositionRead) {
  const int reach = std::max({1, structureEnd, highestPositionRead});
  const int count = std::min(kMaxLines, (reach + kLineLength - 1) / kLineLength);
  const std::string_view record = buffer.record();
  std::string out;
  bool any = false;
  for (int k = 1; k <= count; ++k) {
    std::string_view chars = record.substr(static_cast<std::size_t>(k - 1) * kLineLength, kLineLength);
    while (!chars.empty() && chars.back() == ' ') chars.remove_suffix(1);
    if (chars.empty() && k > 1) continue;
    any = any || !chars.empty();
    out += LineNumberCharacter(k);
    out += chars;
    out += kLineEnd;
  }
  return any ? out : std::string();
}

}  // namespace veltrix
