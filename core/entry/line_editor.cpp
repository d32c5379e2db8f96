#include "core/entry/line_editor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/base/ui.h"
#include "core/datafile/file_objects.h"

namespace veltrix {

namespace {

constexpr std::string_view kIoError = "IO-Err";

}  // namespace

TRndTxtMng::TRndTxtMng(Ui& ui) : m_ui(ui) {}

TRndTxtMng::~TRndTxtMng() {
  close();
}

bool TRndTxtMng::open(const std::string& name) {
  close();
  m_name = name;
  m_failed = false;
  m_dataLength = 0;
  m_position = m_recordStart = m_mark = 0;
  m_windowStart = -1;
  m_windowLength = 0;
  m_lineBuffer.clear();
  m_lineLength = m_lineStart = 0;

  const auto refuse = [this](int fd) {
    if (fd >= 0) ::close(fd);
    ShowFileError(m_ui, m_name, CannotOpenMessage());
    return false;
  };
  if (name.empty() || name.find('\0') != std::string::npos) return refuse(-1);
  // Non-blocking, so that a named pipe does not hold up the open; taken back for the regular file.
  int fd = -1;
  do {
    fd = ::open(name.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return refuse(-1);
  struct stat info {};
  const int flags = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
      ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
    return refuse(fd);
  // A file that its owner made read-only stays unchanged, also for a user the system lets write.
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return refuse(fd);
  m_fd = fd;

  const std::int64_t size = info.st_size;
  char last = 0;
  if (size > 0 && !readAt(size - 1, &last, 1)) return false;
  if (size > 0 && last == kEndMark) {
    m_dataLength = size - 1;
  } else {
    if (!writeAt(size, &kEndMark, 1)) return false;
    m_dataLength = size;
    // The end mark is no change of the text: the file keeps its date.
    const struct timespec times[2] = {{0, UTIME_OMIT}, info.st_mtim};
    ::futimens(m_fd, times);
  }
  m_window.resize(static_cast<std::size_t>(m_windowBytes));
  return true;
}

void TRndTxtMng::close() {
  if (m_fd < 0) return;
  // The file ends right after its end mark, whatever else may have grown it meanwhile.
  struct stat info {};
  bool ok = ::fstat(m_fd, &info) == 0;
  if (ok && info.st_size != m_dataLength + 1) ok = cutAt(m_dataLength + 1);
  if (m_fd < 0) return;  // the cut failed and was reported
  if (ok && ::fdatasync(m_fd) != 0) ok = false;
  if (!ok) {
    ioError();
    return;
  }
  ::close(m_fd);
  m_fd = -1;
  m_windowStart = -1;
}

void TRndTxtMng::setBufferSizes(std::int64_t windowBlocks, std::int64_t moveChunk) {
  m_windowBytes = kBlockSize * std::max<std::int64_t>(windowBlocks, 1);
  m_moveChunk = std::max<std::int64_t>(moveChunk, 1);
  m_window.resize(static_cast<std::size_t>(m_windowBytes));
  m_windowStart = -1;
}

void TRndTxtMng::seek(std::int64_t position) {
  m_position = std::clamp<std::int64_t>(position, 0, m_dataLength);
}

void TRndTxtMng::setRecordStart(std::int64_t position) {
  m_recordStart = std::clamp<std::int64_t>(position, 0, m_dataLength);
}

// ---------------------------------------------------------------- transfers

bool TRndTxtMng::injectedFault() {
  if (m_faultHook && m_faultHook()) {
    errno = EIO;
    return true;
  }
  return false;
}

void TRndTxtMng::ioError() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_windowStart = -1;
  if (!m_failed) ShowFileError(m_ui, m_name, kIoError);
  m_failed = true;
}

bool TRndTxtMng::readAt(std::int64_t offset, char* buffer, std::int64_t count) {
  if (m_fd < 0) return false;
  if (injectedFault()) return ioError(), false;
  while (count > 0) {
    const ssize_t got = ::pread(m_fd, buffer, static_cast<std::size_t>(count), offset);
    if (got < 0 && errno == EINTR) continue;
    // Fewer bytes than the file held when it was measured: it was cut behind our back.
    if (got <= 0) return ioError(), false;
    buffer += got;
    offset += got;
    count -= got;
  }
  return true;
}

bool TRndTxtMng::writeAt(std::int64_t offset, const char* buffer, std::int64_t count) {
  if (m_fd < 0) return false;
  if (injectedFault()) return ioError(), false;
  while (count > 0) {
    const ssize_t put = ::pwrite(m_fd, buffer, static_cast<std::size_t>(count), offset);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return ioError(), false;
    buffer += put;
    offset += put;
    count -= put;
  }
  return true;
}

bool TRndTxtMng::cutAt(std::int64_t length) {
  if (m_fd < 0) return false;
  if (injectedFault()) return ioError(), false;
  int result = 0;
  do {
    result = ::ftruncate(m_fd, length);
  } while (result != 0 && errno == EINTR);
  if (result != 0) return ioError(), false;
  return true;
}

bool TRndTxtMng::move(std::int64_t from, std::int64_t to, std::int64_t count) {
  if (count <= 0 || from == to) return true;
  const std::int64_t piece = std::min(count, m_moveChunk);
  if (static_cast<std::int64_t>(m_moveBuffer.size()) < piece)
    m_moveBuffer.resize(static_cast<std::size_t>(piece));
  char* buffer = m_moveBuffer.data();
  if (to > from) {
    // Towards the end: from the last piece backwards, so no byte is overwritten before it moved.
    for (std::int64_t done = count; done > 0;) {
      const std::int64_t n = std::min(piece, done);
      done -= n;
      if (!readAt(from + done, buffer, n) || !writeAt(to + done, buffer, n)) return false;
    }
  } else {
    for (std::int64_t done = 0; done < count;) {
      const std::int64_t n = std::min(piece, count - done);
      if (!readAt(from + done, buffer, n) || !writeAt(to + done, buffer, n)) return false;
      done += n;
    }
  }
  return true;
}

// ---------------------------------------------------------------- reading

bool TRndTxtMng::load(std::int64_t offset) {
  if (m_fd < 0) return false;
  if (m_windowStart >= 0 && offset >= m_windowStart && offset < m_windowStart + m_windowLength) return true;
  const std::int64_t start = offset - offset % m_windowBytes;
  const std::int64_t length = std::min(m_windowBytes, m_dataLength - start);
  m_windowStart = -1;
  if (length <= 0 || !readAt(start, m_window.data(), length)) return false;
  m_windowStart = start;
  m_windowLength = length;
  return true;
}

unsigned char TRndTxtMng::byteAt(std::int64_t offset) {
  if (offset < 0 || offset >= m_dataLength || !load(offset)) return 0;
  return static_cast<unsigned char>(m_window[static_cast<std::size_t>(offset - m_windowStart)]);
}

std::int64_t TRndTxtMng::readLineAt(std::int64_t start) {
  m_lineBuffer.clear();
  m_lineStart = start;
  std::int64_t offset = start;
  std::int64_t end = m_dataLength;
  while (offset < m_dataLength) {
    if (!load(offset)) return m_dataLength;
    const char* window = m_window.data();
    const std::int64_t inWindow = offset - m_windowStart;
    const std::int64_t available = m_windowLength - inWindow;
    const void* lf = std::memchr(window + inWindow, '\n', static_cast<std::size_t>(available));
    const std::int64_t take = lf != nullptr ? static_cast<const char*>(lf) - (window + inWindow) : available;
    const std::size_t room = kLineBufferSize - m_lineBuffer.size();
    m_lineBuffer.append(window + inWindow, static_cast<std::size_t>(std::min<std::int64_t>(take, room)));
    offset += take;
    if (lf != nullptr) {
      end = offset;
      break;
    }
  }
  m_lineLength = end - start;
  // One CR before the line end is part of the line end.
  if (m_lineLength > 0 && byteAt(end - 1) == '\r') {
    --m_lineLength;
    if (static_cast<std::int64_t>(m_lineBuffer.size()) > m_lineLength)
      m_lineBuffer.resize(static_cast<std::size_t>(m_lineLength));
  }
  return end < m_dataLength ? end + 1 : end;
}

std::int64_t TRndTxtMng::lastLineFeedBefore(std::int64_t end) {
  std::int64_t offset = end;
  while (offset > 0) {
    if (!load(offset - 1)) return -1;
    const char* window = m_window.data();
    const std::int64_t count = offset - m_windowStart;
    const void* lf = ::memrchr(window, '\n', static_cast<std::size_t>(count));
    if (lf != nullptr) return m_windowStart + (static_cast<const char*>(lf) - window);
    offset = m_windowStart;
  }
  return -1;
}

bool TRndTxtMng::nextLine(std::string& line) {
  line.clear();
  if (m_fd < 0 || m_position >= m_dataLength) return false;
  const std::int64_t next = readLineAt(m_position);
  if (m_fd < 0) return false;
  m_position = next;
  line.assign(m_lineBuffer, 0, std::min(kMaxLine, m_lineBuffer.size()));
  return true;
}

bool TRndTxtMng::previousLine(std::string& line) {
  line.clear();
  if (m_fd < 0 || m_position <= 0) return false;
  std::int64_t end = m_position;
  if (byteAt(end - 1) == '\n') --end;
  const std::int64_t start = lastLineFeedBefore(end) + 1;
  readLineAt(start);
  if (m_fd < 0) return false;
  m_position = start;
  line.assign(m_lineBuffer, 0, std::min(kMaxLine, m_lineBuffer.size()));
  return true;
}

// ---------------------------------------------------------------- editing

bool TRndTxtMng::replaceFromRecordStart(std::string_view text) {
  if (m_fd < 0) return false;
  const std::int64_t start = std::min(m_recordStart, m_position);
  const std::int64_t end = std::max(m_recordStart, m_position);
  const std::int64_t length = static_cast<std::int64_t>(text.size());
  const std::int64_t shift = length - (end - start);
  const std::int64_t newLength = m_dataLength + shift;
  m_windowStart = -1;

  if (end == m_dataLength) {
    // Nothing follows: the text and the end mark in one transfer, then the cut.
    std::string tail(text);
    tail += kEndMark;
    if (!writeAt(start, tail.data(), static_cast<std::int64_t>(tail.size()))) return false;
    if (shift < 0 && !cutAt(newLength + 1)) return false;
  } else if (shift > 0) {
    // Growing: the rest of the file (end mark included) moves first, from its end backwards.
    if (!move(end, end + shift, m_dataLength + 1 - end)) return false;
    if (!writeAt(start, text.data(), length)) return false;
  } else {
    // Same length or shrinking: the text first, then the rest moves forward behind it.
    if (!writeAt(start, text.data(), length)) return false;
    if (shift < 0) {
      if (!move(end, end + shift, m_dataLength - end)) return false;
      if (!writeAt(newLength, &kEndMark, 1) || !cutAt(newLength + 1)) return false;
    }
  }

  m_dataLength = newLength;
  if (m_mark >= end)
    m_mark += shift;
  else if (m_mark > start)
    m_mark = start;
  m_recordStart = start;
  m_position = start + length;
  return true;
}

bool TRndTxtMng::insertAtEnd(std::string_view text) {
  if (m_fd < 0) return false;
  m_recordStart = m_dataLength;
  m_position = m_dataLength;
  return replaceFromRecordStart(text);
}

}  // namespace veltrix
