// The line editor TRndTxtMng: a text file read line by line in both directions and edited in place.
//
// The file is held as data bytes followed by one end mark (the byte 26, Ctrl-Z); opening a file whose
// last byte is not 26 appends it (the file keeps its modification time). Every other byte, a NUL or
// a Ctrl-Z inside the text included, is data. Lines are split as TextLineSource splits them: a line
// ends at LF, one CR right before the LF (or at the end of the data) is dropped.
//
// Reading goes through a window of 128-byte blocks. Edits replace the bytes from the record start to
// the current position: a longer text first moves everything behind it (the end mark included) from
// the file's end backwards, then writes the text; a shorter one writes the text, moves the rest
// forward, writes the end mark and cuts the file right after it. There is no temporary copy: callers
// make a backup copy before the first edit.
//
// An input/output error is reported once (the file name + ": IO-Err" in an error box); the file is then
// closed, failed() is set, and every later call does nothing until the next open.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix {

class Ui;

class TRndTxtMng {
 public:
  static constexpr std::int64_t kBlockSize = 128;
  // 512 blocks (64 KiB) are held in memory at a time; edits move the rest of the file in 1 MiB pieces.
  static constexpr std::int64_t kWindowBlocks = 512;
  static constexpr std::int64_t kMoveChunk = std::int64_t{1} << 20;
  // Characters of a line kept in the line buffer; the rest of a longer line is skipped.
  static constexpr std::size_t kLineBufferSize = 8200;
  // Characters of a line handed out by nextLine / previousLine.
  static constexpr std::size_t kMaxLine = 255;
  static constexpr char kEndMark = 26;

  // Called before every read, write and cut of the file; true makes that transfer fail as an
  // input/output error would (for tests of the error path).
  using FaultHook = std::function<bool()>;

  explicit TRndTxtMng(Ui& ui);
  ~TRndTxtMng();
  TRndTxtMng(const TRndTxtMng&) = delete;
  TRndTxtMng& operator=(const TRndTxtMng&) = delete;

  // Opens an existing regular file for reading and writing and positions at its start. A file that
  // cannot be opened for writing (missing, no regular file, without any write permission bit - even
  // for a user whom the system would let write) gives "Datei kann nicht geöffnet werden!" and false.
  bool open(const std::string& name);
  // Closes the file (flushing it to the disk); the file ends right after its end mark.
  void close();
  bool isOpen() const { return m_fd >= 0; }
  bool failed() const { return m_failed; }
  const std::string& name() const { return m_name; }
  void setFaultHook(FaultHook hook) { m_faultHook = std::move(hook); }
  // Other sizes of the window (in blocks, at least 1) and of the pieces an edit moves (in bytes, at
  // least 1), for tests whose small files should cross their boundaries. Empties the window.
  void setBufferSizes(std::int64_t windowBlocks, std::int64_t moveChunk);

  // Bytes before the end mark.
  std::int64_t dataLength() const { return m_dataLength; }
  // Byte offset of the next line to read (0 .. dataLength()).
  std::int64_t position() const { return m_position; }

  void goToStart() { seek(0); }
  void goToEnd() { seek(m_dataLength); }
  // Moves to a byte offset, clamped to 0 .. dataLength(); it should be the start of a line.
  void seek(std::int64_t position);

  // Reads the line at the position and moves past its line end. The line buffer receives its first
  // kLineBufferSize characters; line its first kMaxLine. False at the end of the data (or when not
  // open), line then empty.
  bool nextLine(std::string& line);
  // Reads the line that ends just before the position and moves to its start. False at the start.
  bool previousLine(std::string& line);
  // The line read last: up to kLineBufferSize characters, its full length and where it starts.
  std::string_view lineBuffer() const { return m_lineBuffer; }
  std::int64_t lineLength() const { return m_lineLength; }
  std::int64_t lineStart() const { return m_lineStart; }

  // The record start: the first byte that replaceFromRecordStart and deleteRecord replace.
  void markRecordStart() { m_recordStart = m_position; }
  std::int64_t recordStart() const { return m_recordStart; }
  void setRecordStart(std::int64_t position);
  // A saved position to come back to.
  void markPosition() { m_mark = m_position; }
  void returnToMark() { seek(m_mark); }
  std::int64_t mark() const { return m_mark; }

  // Replaces the bytes from the record start up to the position by text; the position then follows the
  // text. False after an input/output error (reported).
  bool replaceFromRecordStart(std::string_view text);
  // Appends text to the data (before the end mark); the record start is then where it begins and the
  // position after it.
  bool insertAtEnd(std::string_view text);
  // Removes the bytes from the record start up to the position.
  bool deleteRecord() { return replaceFromRecordStart({}); }

  // The data byte at offset (0 .. dataLength() - 1) through the window; 0 outside or after an error.
  unsigned char byteAt(std::int64_t offset);

 private:
  // Makes the window hold offset; false after an error.
  bool load(std::int64_t offset);
  // The line that starts at start: fills the line buffer, returns the offset after its line end.
  std::int64_t readLineAt(std::int64_t start);
  // Offset of the last LF before end (searching back to 0), or -1.
  std::int64_t lastLineFeedBefore(std::int64_t end);

  bool readAt(std::int64_t offset, char* buffer, std::int64_t count);
  bool writeAt(std::int64_t offset, const char* buffer, std::int64_t count);
  bool cutAt(std::int64_t length);
  // Moves the count bytes at from to to (either direction), in pieces that never overwrite bytes
  // still to be moved.
  bool move(std::int64_t from, std::int64_t to, std::int64_t count);
  bool injectedFault();
  // Reports the error once, closes the file and sets failed().
  void ioError();

  Ui& m_ui;
  std::string m_name;
  int m_fd = -1;
  bool m_failed = false;
  FaultHook m_faultHook;

  std::int64_t m_dataLength = 0;
  std::int64_t m_position = 0;
  std::int64_t m_recordStart = 0;
  std::int64_t m_mark = 0;

  std::int64_t m_windowBytes = kBlockSize * kWindowBlocks;
  std::int64_t m_moveChunk = kMoveChunk;
  std::vector<char> m_window;
  std::int64_t m_windowStart = -1;  // offset of the window's first byte, -1 when it holds nothing
  std::int64_t m_windowLength = 0;  // bytes of the window that hold data

  std::string m_lineBuffer;
  std::int64_t m_lineLength = 0;
  std::int64_t m_lineStart = 0;
  std::vector<char> m_moveBuffer;
};

}  // namespace veltrix
