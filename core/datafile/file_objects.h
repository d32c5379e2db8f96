// File objects: every file access of the program goes through these. One error policy for all: a
// failed operation is reported at once through the Ui (placement hint 4, the file name + ": " +
// message), the object closes itself, and every later transfer returns 0 without touching the file
// until it is opened again.
//
// Names are passed to the operating system byte for byte (no case change, no conversion). Only
// regular files are opened. The Ui must outlive the object: the destructor closes an open file and
// reports a failing close.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrix {

class Ui;

// The message of the file layer: the file name (as shown, see fileNameForDisplay) + ": " + message,
// in an error box placed by hint 4.
void ShowFileError(Ui& ui, std::string_view name, std::string_view message);
// "Datei kann nicht geöffnet werden!"
std::string_view CannotOpenMessage();

class TGFile {
 public:
  explicit TGFile(Ui& ui) : m_ui(ui) {}
  TGFile(const TGFile&) = delete;
  TGFile& operator=(const TGFile&) = delete;
  virtual ~TGFile();

  const std::string& name() const { return m_name; }
  bool isOpen() const { return m_fd >= 0; }
  // Set after any error; cleared by opening again.
  bool error() const { return m_error; }
  // Set at the end of a text file and after any error.
  bool end() const { return m_end; }
  // Result code of the last operation (0 = success, else an errno value).
  int lastResult() const { return m_lastResult; }

  // Bytes read or written; 0 when not open, count <= 0, or on error. A read returns fewer bytes than
  // asked only at the end of the file (that is not an error).
  std::int32_t readBlock(void* buffer, std::int32_t count);
  std::int32_t writeBlock(const void* buffer, std::int32_t count);
  // Closes an open file; "Fehler beim Schließen der Datei!" when that fails.
  void close();

 protected:
  enum class OpenMode { ReadOnly = 0, WriteOnly = 1, ReadWrite = 2 };
  enum class Disposition { Existing, CreateIfMissing, Replace, CreateNew };

  // Closes a previous file, clears the flags and opens name; reports "Datei kann nicht geöffnet werden!"
  // for anything but a regular file (a directory, a named pipe, a device). A named pipe never blocks
  // the open.
  bool openFile(const std::string& name, OpenMode mode, Disposition disposition);
  // The common error report: message box, error and end flags, close.
  void report(std::string_view message);
  // True when open; otherwise reports "Datei ist nicht geöffnet!" unless an error was reported already
  // (after an error every transfer is silent).
  bool checkOpen();
  Ui& ui() { return m_ui; }
  int fd() const { return m_fd; }
  void setEnd(bool end) { m_end = end; }

 private:
  Ui& m_ui;
  std::string m_name;
  int m_fd = -1;
  int m_lastResult = 0;
  bool m_error = false;
  bool m_end = false;
};

// Random access in bytes: parameter file, work files, file copy.
class TRndFile : public TGFile {
 public:
  using TGFile::TGFile;

  // Creates the file when missing; read and write.
  bool openForUpdate(const std::string& name);
  // An existing file, read only.
  bool openForReading(const std::string& name);
  // Deletes an existing file (or a symbolic link: it is not followed) and creates a new, empty one,
  // write only.
  bool create(const std::string& name);
  // A new file, write only; fails ("Datei kann nicht geöffnet werden!") when anything stands under
  // the name already, a symbolic link included, which is never followed.
  bool createNew(const std::string& name);

  // As the block transfers, and "Datei ist nicht geöffnet!" when the file is not open (silent after an
  // error). The count moved is kept in count().
  std::int32_t read(void* buffer, std::int32_t count);
  std::int32_t write(const void* buffer, std::int32_t count);
  // Byte position of the next transfer; "Fehler beim Positionieren!" when it cannot be set.
  bool seek(std::int64_t position);
  // Size of the open file in bytes (0 when not open).
  std::int64_t size() const;
  std::int32_t count() const { return m_count; }

 private:
  std::int32_t m_count = 0;
};

// Reads text lines. A line ends at LF; a CR right before the LF, or as the very last byte of the file,
// is dropped; every other byte (CR, NUL, Ctrl-Z inside the text) belongs to the line. Lines are cut to
// 255 characters and the rest of a longer line is skipped. An end-of-file mark (Ctrl-Z) as the last
// byte of the file is not part of the text. end() is set as soon as the last line has been returned;
// a read after that gives an empty line.
class TTxtRFile : public TGFile {
 public:
  using TGFile::TGFile;

  static constexpr std::size_t kMaxLine = 255;

  bool open(const std::string& name);
  // The next line without its line end; an empty line once nothing is left (end() is then true).
  std::string readLine();
  // Same, into a caller's buffer (no allocation per line on the hot path).
  void readLine(std::string& line);

 private:
  // Reads the next buffer full; false (with end set) when nothing is left.
  bool fill();

  static constexpr std::int32_t kBufferSize = 65536;
  std::string m_buffer;
  std::int32_t m_filled = 0;
  std::int32_t m_position = 0;  // 0-based index of the next unread byte
  bool m_eof = false;           // the operating system has no more bytes
  bool m_heldCtrlZ = false;     // a Ctrl-Z ended the last fill: kept back until we know whether more follows
};

// Writes text lines ended by CR LF.
class TTxtOFile : public TGFile {
 public:
  using TGFile::TGFile;
  // The text (cut to 255 characters) followed by CR LF, in one transfer.
  bool writeLine(std::string_view text);
  // The text without a line end (not cut).
  bool writeText(std::string_view text);
  // length bytes of buffer followed by CR LF (a negative length writes the line end only).
  bool writeBufferLine(const char* buffer, std::int32_t length);
};

// Creates (replacing an existing file) and writes.
class TTxtWFile : public TTxtOFile {
 public:
  using TTxtOFile::TTxtOFile;
  bool open(const std::string& name);
};

// Appends: creates the file when missing and writes at its end.
class TTxtAFile : public TTxtOFile {
 public:
  using TTxtOFile::TTxtOFile;
  bool open(const std::string& name);
};

// Copies a file in 32768-byte blocks and gives the target the source's modification time. Before
// copying, the free space of the target's file system is compared with the source size ("Zu wenig
// Speicherplatz. Diskette wechseln!", OK measures again, Cancel gives Cancelled). A failed open, read
// or write, or a target whose size differs from the source afterwards, is reported and gives Failed.
class TFileCopy {
 public:
  enum class Result { Copied, Cancelled, Failed };
  static constexpr std::int32_t kBlockSize = 32768;

  explicit TFileCopy(Ui& ui) : m_ui(ui) {}
  Result copy(const std::string& source, const std::string& target);
  // Block reads of the last copy (for tests of the block loop).
  int readsDone() const { return m_reads; }
  // Bytes copied by the last copy.
  std::int64_t bytesCopied() const { return m_bytes; }

 private:
  Ui& m_ui;
  int m_reads = 0;
  std::int64_t m_bytes = 0;
};

}  // namespace veltrix
