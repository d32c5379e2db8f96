#include "core/datafile/file_objects.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>

#include "core/base/ui.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

constexpr std::string_view kCannotOpen = "Datei kann nicht geöffnet werden!"_w;
constexpr std::string_view kReadError = "Lesefehler!";
constexpr std::string_view kWriteError = "Schreibfehler!";
constexpr std::string_view kCloseError = "Fehler beim Schließen der Datei!"_w;
constexpr std::string_view kNotOpen = "Datei ist nicht geöffnet!"_w;
constexpr std::string_view kSeekError = "Fehler beim Positionieren!";
constexpr std::string_view kDiskTooSmall = "Zu wenig Speicherplatz. Diskette wechseln!";

constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kEndOfFileMark = 26;  // Ctrl-Z

// Free bytes for an unprivileged writer on the file system that will hold target; nothing when it
// cannot be measured (the copy then goes ahead and reports what fails).
std::optional<std::int64_t> freeSpaceFor(const std::string& target) {
  if (target.find('\0') != std::string::npos) return std::nullopt;
  std::filesystem::path directory = std::filesystem::path(target).parent_path();
  if (directory.empty()) directory = ".";
  std::error_code ec;
  const std::filesystem::space_info info = std::filesystem::space(directory, ec);
  if (ec) return std::nullopt;
  constexpr auto kMax = static_cast<std::uintmax_t>(std::numeric_limits<std::int64_t>::max());
  return static_cast<std::int64_t>(std::min(info.available, kMax));
}

// Source and target are one file (the same name, or two links to it).
bool sameFile(const std::string& source, const std::string& target) {
  if (source.find('\0') != std::string::npos || target.find('\0') != std::string::npos) return false;
  struct stat a {};
  struct stat b {};
  if (::stat(source.c_str(), &a) != 0 || ::stat(target.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Deletes a regular file or a symbolic link of that name; leaves everything else alone.
void removeFileOrLink(const std::string& name) {
  struct stat info {};
  if (::lstat(name.c_str(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)))
    ::unlink(name.c_str());
}

}  // namespace

void ShowFileError(Ui& ui, std::string_view name, std::string_view message) {
  std::string text = fileNameForDisplay(name);
  text += ": ";
  text += message;
  ui.flags().placementHint = 4;
  ui.error(text);
}

std::string_view CannotOpenMessage() {
  return kCannotOpen;
}

// ---------------------------------------------------------------- TGFile

TGFile::~TGFile() {
  close();
}

bool TGFile::openFile(const std::string& name, OpenMode mode, Disposition disposition) {
  close();
  m_name = name;
  m_error = false;
  m_end = false;
  m_lastResult = 0;
  if (name.find('\0') != std::string::npos) {
    m_lastResult = EINVAL;
    report(kCannotOpen);
    return false;
  }
  // Non-blocking, so that opening a named pipe returns at once instead of waiting for its other end;
  // the flag is taken back below once the file is known to be a regular one.
  int flags = O_CLOEXEC | O_NONBLOCK;
  switch (mode) {
    case OpenMode::ReadOnly:
      flags |= O_RDONLY;
      break;
    case OpenMode::WriteOnly:
      flags |= O_WRONLY;
      break;
    case OpenMode::ReadWrite:
      flags |= O_RDWR;
      break;
  }
  switch (disposition) {
    case Disposition::Existing:
      break;
    case Disposition::CreateIfMissing:
      flags |= O_CREAT;
      break;
    case Disposition::Replace:
      // The old file is deleted and a new one created in its place, exclusively: a symbolic link
      // standing under the name is removed, never written through. Anything but a file or a link (a
      // directory, a pipe, a device) stays, and the exclusive create below refuses it.
      removeFileOrLink(name);
      flags |= O_CREAT | O_EXCL | O_NOFOLLOW;
      break;
    case Disposition::CreateNew:
      flags |= O_CREAT | O_EXCL | O_NOFOLLOW;
      break;
  }
  int fd = -1;
  do {
    fd = ::open(name.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    m_lastResult = errno;
    report(kCannotOpen);
    return false;
  }
  // Only regular files are read and written: Linux opens a directory read-only without complaint
  // (its first read would fail), and a pipe or a device would block or swallow the data.
  struct stat info {};
  const int fileFlags = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || fileFlags < 0 ||
      ::fcntl(fd, F_SETFL, fileFlags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    m_lastResult = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    report(kCannotOpen);
    return false;
  }
  m_fd = fd;
  return true;
}

void TGFile::report(std::string_view message) {
  ShowFileError(m_ui, m_name, message);
  m_error = true;
  m_end = true;
  close();
}

bool TGFile::checkOpen() {
  if (isOpen()) return true;
  if (!m_error) {
    m_lastResult = EBADF;
    report(kNotOpen);
  }
  return false;
}

std::int32_t TGFile::readBlock(void* buffer, std::int32_t count) {
  if (!isOpen() || m_error || count <= 0) return 0;
  auto* bytes = static_cast<char*>(buffer);
  std::int32_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(m_fd, bytes + done, static_cast<std::size_t>(count - done));
    if (got < 0) {
      if (errno == EINTR) continue;
      m_lastResult = errno;
      report(kReadError);
      return 0;
    }
    if (got == 0) break;  // end of file
    done += static_cast<std::int32_t>(got);
  }
  m_lastResult = 0;
  return done;
}

std::int32_t TGFile::writeBlock(const void* buffer, std::int32_t count) {
  if (!isOpen() || m_error || count <= 0) return 0;
  const auto* bytes = static_cast<const char*>(buffer);
  std::int32_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(m_fd, bytes + done, static_cast<std::size_t>(count - done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      m_lastResult = put < 0 ? errno : ENOSPC;
      report(kWriteError);
      return 0;
    }
    done += static_cast<std::int32_t>(put);
  }
  m_lastResult = 0;
  return done;
}

void TGFile::close() {
  if (m_fd < 0) return;
  const int fd = m_fd;
  m_fd = -1;  // gone whatever close says; a report below must not close it again
  // On Linux the descriptor is released even when close is interrupted, so EINTR is no failure.
  if (::close(fd) != 0 && errno != EINTR) {
    m_lastResult = errno;
    report(kCloseError);
  }
}

// ---------------------------------------------------------------- TRndFile

bool TRndFile::openForUpdate(const std::string& name) {
  m_count = 0;
  return openFile(name, OpenMode::ReadWrite, Disposition::CreateIfMissing);
}

bool TRndFile::openForReading(const std::string& name) {
  m_count = 0;
  return openFile(name, OpenMode::ReadOnly, Disposition::Existing);
}

bool TRndFile::create(const std::string& name) {
  m_count = 0;
  return openFile(name, OpenMode::WriteOnly, Disposition::Replace);
}

bool TRndFile::createNew(const std::string& name) {
  m_count = 0;
  return openFile(name, OpenMode::WriteOnly, Disposition::CreateNew);
}

std::int32_t TRndFile::read(void* buffer, std::int32_t count) {
  m_count = checkOpen() ? readBlock(buffer, count) : 0;
  return m_count;
}

std::int32_t TRndFile::write(const void* buffer, std::int32_t count) {
  m_count = checkOpen() ? writeBlock(buffer, count) : 0;
  return m_count;
}

bool TRndFile::seek(std::int64_t position) {
  if (!checkOpen()) return false;
  if (::lseek(fd(), static_cast<off_t>(position), SEEK_SET) < 0) {
    report(kSeekError);
    return false;
  }
  return true;
}

std::int64_t TRndFile::size() const {
  struct stat info {};
  if (!isOpen() || ::fstat(fd(), &info) != 0) return 0;
  return static_cast<std::int64_t>(info.st_size);
}

// ---------------------------------------------------------------- TTxtRFile

bool TTxtRFile::open(const std::string& name) {
  m_filled = 0;
  m_position = 0;
  m_eof = false;
  m_heldCtrlZ = false;
  if (!openFile(name, OpenMode::ReadOnly, Disposition::Existing)) return false;
  if (m_buffer.size() != static_cast<std::size_t>(kBufferSize)) m_buffer.resize(kBufferSize);
  fill();
  return !error();
}

bool TTxtRFile::fill() {
  m_filled = 0;
  m_position = 0;
  if (end()) return false;
  if (!checkOpen()) return false;
  std::int32_t kept = 0;
  if (m_heldCtrlZ) {
    m_buffer[0] = kEndOfFileMark;
    kept = 1;
    m_heldCtrlZ = false;
  }
  if (!m_eof) {
    const std::int32_t wanted = kBufferSize - kept;
    const std::int32_t got = readBlock(m_buffer.data() + kept, wanted);
    if (error()) return false;
    kept += got;
    // readBlock only comes back short at the end of the file.
    if (got < wanted) m_eof = true;
  }
  // A Ctrl-Z is the end-of-file mark only as the very last byte of the file. At the end of a full
  // buffer that is not known yet, so the byte waits for the next fill.
  if (kept > 0 && m_buffer[static_cast<std::size_t>(kept - 1)] == kEndOfFileMark) {
    --kept;
    if (!m_eof) m_heldCtrlZ = true;
  }
  m_filled = kept;
  if (kept == 0) {
    setEnd(true);
    return false;
  }
  return true;
}

void TTxtRFile::readLine(std::string& line) {
  line.clear();
  // One byte beyond the limit is kept so that a CR before the line feed can still be told apart.
  constexpr std::size_t kKept = kMaxLine + 1;
  std::size_t rawLength = 0;
  char lastByte = 0;
  bool lineEnded = false;
  while (!end()) {
    if (m_position >= m_filled && !fill()) break;
    const char* start = m_buffer.data() + m_position;
    const auto available = static_cast<std::size_t>(m_filled - m_position);
    const auto* lineFeed = static_cast<const char*>(std::memchr(start, kLineFeed, available));
    const std::size_t taken = lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - start) : available;
    if (taken > 0) {
      if (line.size() < kKept) line.append(start, std::min(taken, kKept - line.size()));
      rawLength += taken;
      lastByte = start[taken - 1];
    }
    m_position += static_cast<std::int32_t>(taken);
    if (lineFeed != nullptr) {
      ++m_position;
      lineEnded = true;
      break;
    }
  }
  // Without a line feed this is the last line of the file: a CR as its very last byte is dropped too.
  if (lastByte == kCarriageReturn && rawLength <= kKept) line.pop_back();
  if (line.size() > kMaxLine) line.resize(kMaxLine);
  // Looking ahead sets end as soon as the last line has been handed out.
  if (lineEnded && m_position >= m_filled) fill();
}

std::string TTxtRFile::readLine() {
  std::string line;
  readLine(line);
  return line;
}

// ---------------------------------------------------------------- TTxtOFile and descendants

bool TTxtOFile::writeLine(std::string_view text) {
  char line[TTxtRFile::kMaxLine + 2];
  const std::size_t length = std::min(text.size(), TTxtRFile::kMaxLine);
  std::memcpy(line, text.data(), length);
  line[length] = kCarriageReturn;
  line[length + 1] = kLineFeed;
  const auto total = static_cast<std::int32_t>(length + 2);
  if (!checkOpen()) return false;
  return writeBlock(line, total) == total;
}

bool TTxtOFile::writeText(std::string_view text) {
  if (!checkOpen()) return false;
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  for (std::size_t done = 0; done < text.size();) {
    const auto part = static_cast<std::int32_t>(std::min(kChunk, text.size() - done));
    if (writeBlock(text.data() + done, part) != part) return false;
    done += static_cast<std::size_t>(part);
  }
  return true;
}

bool TTxtOFile::writeBufferLine(const char* buffer, std::int32_t length) {
  if (!checkOpen()) return false;
  const std::size_t size = length > 0 && buffer != nullptr ? static_cast<std::size_t>(length) : 0;
  std::string line;
  line.reserve(size + 2);
  line.append(buffer == nullptr ? "" : buffer, size);
  line += "\r\n";
  const auto total = static_cast<std::int32_t>(line.size());
  return writeBlock(line.data(), total) == total;
}

bool TTxtWFile::open(const std::string& name) {
  return openFile(name, OpenMode::WriteOnly, Disposition::Replace);
}

bool TTxtAFile::open(const std::string& name) {
  if (!openFile(name, OpenMode::WriteOnly, Disposition::CreateIfMissing)) return false;
  if (::lseek(fd(), 0, SEEK_END) < 0) {
    report(kSeekError);
    return false;
  }
  return true;
}

// ---------------------------------------------------------------- TFileCopy

TFileCopy::Result TFileCopy::copy(const std::string& source, const std::string& target) {
  m_reads = 0;
  m_bytes = 0;
  // Replacing a file by itself would first empty it; its content is already where it should be.
  if (sameFile(source, target)) return Result::Copied;

  const std::int64_t sourceSize = FileSize(source);
  const FileTime sourceDate = FileDate(source);
  for (;;) {
    const std::optional<std::int64_t> freeSpace = freeSpaceFor(target);
    if (!freeSpace || *freeSpace >= sourceSize) break;
    if (!m_ui.warning(kDiskTooSmall)) return Result::Cancelled;
  }

  TRndFile in(m_ui);
  TRndFile out(m_ui);
  if (!in.openForReading(source)) return Result::Failed;
  if (!out.create(target)) return Result::Failed;
  const auto buffer = std::make_unique<char[]>(kBlockSize);
  for (;;) {
    const std::int32_t got = in.read(buffer.get(), kBlockSize);
    ++m_reads;
    if (in.error()) break;
    if (got > 0 && out.write(buffer.get(), got) != got) break;
    m_bytes += got;
    if (got < kBlockSize) break;
  }
  in.close();
  out.close();
  if (in.error() || out.error()) return Result::Failed;

  // A copy that silently lost bytes (or a source that changed meanwhile) must not pass as done.
  if (FileSize(target) != m_bytes) {
    ShowFileError(m_ui, target, kWriteError);
    return Result::Failed;
  }
  if (FileSize(source) != m_bytes) {
    ShowFileError(m_ui, source, kReadError);
    return Result::Failed;
  }
  if (sourceDate != 0) SetFileDate(target, sourceDate);
  return Result::Copied;
}

}  // namespace veltrix
