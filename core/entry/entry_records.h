// The records of a statistics file as data entry sees them: one record at a time, reached by number,
// read and written in place through the line editor (TRndTxtMng). The file is edited without a
// temporary copy; the caller makes the backup copy (makeBackup) before the first change.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace veltrix {

class Ui;
class RecordBuffer;
class TRndTxtMng;

// Called with the record number passed while moving over many records (every 20 records).
using RecordProgress = std::function<void(std::int64_t recordNumber)>;

class EntryRecordFile {
 public:
  explicit EntryRecordFile(Ui& ui);
  ~EntryRecordFile();
  EntryRecordFile(const EntryRecordFile&) = delete;
  EntryRecordFile& operator=(const EntryRecordFile&) = delete;

  // Opens the statistics file for reading and writing and positions before record 1. A file that
  // cannot be opened for writing (read only, missing, no regular file) gives a message and false.
  bool open(const std::string& statisticsFile);
  // Closes the line editor; the file ends right after its end mark.
  void close();
  bool isOpen() const;
  // Set after an input/output error: the file name + ": IO-Err" was shown, the file is closed and
  // every later call does nothing (false, or the current numbers unchanged).
  bool failed() const;
  const std::string& fileName() const { return m_fileName; }

  // Moves to record n, clamped to 1 .. last + 1, and reads it into buffer (cleared first, then the
  // record's lines at positions (k - 1) * 79 + 1 ..; the running record number is not written). When
  // the file ends before record n the buffer is blank and the position is the new record after the
  // last. Moving backward from the current record is used when that is shorter than reading forward
  // from the start. Returns the record number reached (0 after a failure).
  std::int64_t goTo(std::int64_t n, RecordBuffer& buffer, const RecordProgress& progress = {});
  // Moves to the last record (record 1, a new record, for an empty file).
  std::int64_t goToLast(RecordBuffer& buffer, const RecordProgress& progress = {});

  // The current record number (1-based).
  std::int64_t current() const;
  // Records known so far: all of them once the end of the file has been reached.
  std::int64_t lastRecord() const;
  // The current position is the new record after the last.
  bool isNewRecord() const;
  // The highest position (1-based) that the current record's lines reached when it was read; 0 for
  // a new record.
  int highestPositionRead() const;

  enum class SaveResult { Replaced, Appended, Deleted, Nothing, Failed };
  // Writes lines (the record's physical lines, each followed by CR LF, as EncodeEntryRecord gives
  // them) for the current record. An existing record's lines are replaced, the rest of the file
  // moving by the difference; "" deletes it (the following records move up, the record number now
  // names the next record). At the new record after the last, the lines are appended (the last
  // record number increases and the position stays on the record written); "" writes nothing.
  SaveResult save(std::string_view lines);

  // Copies the statistics file to backupFile (closing the editor for the copy, reopening it and
  // returning to the current record). False, with a message, when the copy failed; the file is then
  // open at its current record as before and nothing was written.
  bool makeBackup(const std::string& backupFile);

  // For tests of the error path: called before every transfer of the file; true makes it fail as an
  // input/output error would.
  void setFaultHook(std::function<bool()> hook);
  // For tests: the line editor's window (in 128-byte blocks) and the pieces its edits move (bytes).
  void setBufferSizes(std::int64_t windowBlocks, std::int64_t moveChunk);

 private:
  // Reads the record at the editor's position (skipping empty lines) into buffer (when given): its
  // extent becomes the current one. False when no line is left.
  bool readForward(RecordBuffer* buffer);
  // Start of the record that ends at end; -1 when no line is before it.
  std::int64_t previousRecordStart(std::int64_t end);
  // Line number of the last non-empty line before offset; 0 when there is none.
  int lastLineNumberBefore(std::int64_t offset);
  // Line number of the first non-empty line at offset or after it; 0 when there is none.
  int firstLineNumberAt(std::int64_t offset);
  bool stepForward();
  bool stepBackward();
  void restart();
  bool usable() const;

  Ui& m_ui;
  std::string m_fileName;
  std::unique_ptr<TRndTxtMng> m_editor;
  std::int64_t m_current = 1;
  std::int64_t m_last = 0;
  bool m_endKnown = false;
  bool m_failed = false;
  int m_highestRead = 0;
  // The current record's bytes: from its first line up to the next record's first line (or the end
  // of the data). Both equal the data length at the new record after the last.
  std::int64_t m_start = 0;
  std::int64_t m_end = 0;
  bool m_isNew = false;
};

// The physical lines of the record in buffer, each followed by CR LF: line count =
// ceil(max(1, structureEnd, highestPositionRead) / 79), at most 99; each line is its line-number
// character and its characters with trailing blanks removed; blank lines other than line 1 are left
// out. "" when every line of that count is blank (the record is then deleted or not written).
std::string EncodeEntryRecord(const RecordBuffer& buffer, int structureEnd, int highestPositionRead);

}  // namespace veltrix
