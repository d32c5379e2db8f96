#include "core/datafile/file_names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <cerrno>
#include <cstdio>
#include <limits>
#include <random>

namespace veltrix {

namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
constexpr std::size_t kFirstLineLimit = 255;

// A name the operating system can be asked about: not empty, no NUL inside (the system would see
// only the part before it).
bool usable(std::string_view name) {
  return !name.empty() && name.find('\0') == std::string_view::npos;
}

int openRetrying(const std::string& name, int flags, mode_t mode = 0) {
  int fd = -1;
  do {
    fd = ::open(name.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

bool writeAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

// Creates a new file next to target under a name nobody else uses; -1 when that is not possible.
int createTemporaryNextTo(const std::string& target, std::string& temporaryName) {
  const std::size_t slash = target.rfind('/');
  const std::string directory = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  std::random_device entropy;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".vtx%ld-%08x.tmp", static_cast<long>(::getpid()), entropy());
    temporaryName = directory + suffix;
    const int fd = openRetrying(temporaryName, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

char asciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  return true;
}

// Index of the first character of the file name's extension, npos when it has none.
std::size_t extensionStart(std::string_view name) {
  const std::size_t slash = name.rfind('/');
  const std::size_t fileStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot < fileStart) return std::string_view::npos;
  return dot + 1;
}

}  // namespace

bool IsStatisticsFileName(std::string_view name) {
  const std::size_t at = extensionStart(name);
  return at != std::string_view::npos && at + 2 <= name.size() && asciiLower(name[at]) == 'd' &&
         asciiLower(name[at + 1]) == 't';
}

std::string BackupFileName(std::string_view statisticsFile) {
  std::string result(statisticsFile);
  if (!IsStatisticsFileName(statisticsFile)) return result;
  char& letter = result[extensionStart(statisticsFile) + 1];
  letter = letter == 'T' ? 'B' : 'b';
  return result;
}

std::string FindCaseVariant(std::string_view name) {
  std::string result(name);
  if (!usable(name)) return result;
  struct stat info {};
  if (::lstat(result.c_str(), &info) == 0) return result;
  const std::size_t slash = name.rfind('/');
  const std::string directory = slash == std::string_view::npos ? std::string(".")
                                : slash == 0                    ? std::string("/")
                                                                : std::string(name.substr(0, slash));
  const std::string_view fileName = name.substr(slash == std::string_view::npos ? 0 : slash + 1);
  DIR* listing = ::opendir(directory.c_str());
  if (listing == nullptr) return result;
  std::string best;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view candidate(entry->d_name);
    if (equalsIgnoringAsciiCase(candidate, fileName) && (best.empty() || candidate < best))
      best = std::string(candidate);
  }
  ::closedir(listing);
  if (best.empty()) return result;
  return std::string(name.substr(0, slash == std::string_view::npos ? 0 : slash + 1)) + best;
}

std::string ChangeExtension(std::string_view name, std::string_view extension) {
  const std::size_t slash = name.rfind('/');
  const std::size_t fileStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = name.rfind('.');
  const bool hasDot = dot != std::string_view::npos && dot >= fileStart;
  std::string result(name.substr(0, hasDot ? dot : name.size()));
  if (!extension.empty()) {
    result += '.';
    result += extension;
  }
  return result;
}

std::string JoinPath(std::string_view directory, std::string_view name) {
  if (directory.empty() || (!name.empty() && name.front() == '/')) return std::string(name);
  std::string result(directory);
  if (result.back() != '/') result += '/';
  result += name;
  return result;
}

bool DirectoryExists(std::string_view directory) {
  if (directory.empty()) return true;
  if (!usable(directory)) return false;
  struct stat info {};
  return ::stat(std::string(directory).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string NormaliseDirectory(std::string_view directory) {
  std::string result(directory);
  if (result.size() > 1 && result.back() == '/') result.pop_back();
  return DirectoryExists(result) ? result : std::string();
}

bool CreateEmptyFile(std::string_view name) {
  if (!usable(name)) return false;
  const int fd = openRetrying(std::string(name), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (fd < 0) return false;
  return ::close(fd) == 0 || errno == EINTR;
}

bool CanCreateFile(std::string_view name) {
  if (!usable(name)) return false;
  const std::string path(name);
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return !S_ISDIR(info.st_mode);
  const int fd = openRetrying(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) return errno == EEXIST;  // someone else created it meanwhile: it exists now
  ::close(fd);
  ::unlink(path.c_str());
  return true;
}

bool DeleteFile(std::string_view name) {
  return usable(name) && ::unlink(std::string(name).c_str()) == 0;
}

std::int64_t FileSize(std::string_view name) {
  if (!usable(name)) return 0;
  // Non-blocking, so that a named pipe does not hang the open.
  const int fd = openRetrying(std::string(name), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return 0;
  struct stat info {};
  const bool known = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  ::close(fd);
  return known ? static_cast<std::int64_t>(info.st_size) : 0;
}

FileTime FileDate(std::string_view name) {
  if (!usable(name)) return 0;
  struct stat info {};
  if (::stat(std::string(name).c_str(), &info) != 0) return 0;
  constexpr std::int64_t kMaxSeconds = std::numeric_limits<std::int64_t>::max() / kNanosecondsPerSecond - 1;
  const auto seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
  if (seconds > kMaxSeconds) return std::numeric_limits<std::int64_t>::max();
  if (seconds < -kMaxSeconds) return std::numeric_limits<std::int64_t>::min();
  return seconds * kNanosecondsPerSecond + static_cast<std::int64_t>(info.st_mtim.tv_nsec);
}

bool SetFileDate(std::string_view name, FileTime date) {
  if (!usable(name)) return false;
  // Floor division: the nanoseconds of a timespec are never negative.
  std::int64_t seconds = date / kNanosecondsPerSecond;
  std::int64_t nanoseconds = date % kNanosecondsPerSecond;
  if (nanoseconds < 0) {
    nanoseconds += kNanosecondsPerSecond;
    --seconds;
  }
  struct timespec times[2]{};
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(seconds);
  times[1].tv_nsec = static_cast<long>(nanoseconds);
  return ::utimensat(AT_FDCWD, std::string(name).c_str(), times, 0) == 0;
}

std::string ReadFirstLine(std::string_view name) {
  if (!usable(name)) return {};
  const int fd = openRetrying(std::string(name), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return {};
  char buffer[kFirstLineLimit];
  std::size_t got = 0;
  bool failed = false;
  while (got < kFirstLineLimit) {
    const ssize_t part = ::read(fd, buffer + got, kFirstLineLimit - got);
    if (part < 0 && errno == EINTR) continue;
    if (part < 0) failed = true;
    if (part <= 0) break;
    got += static_cast<std::size_t>(part);
  }
  ::close(fd);
  if (failed) return {};
  std::string line;
  for (std::size_t i = 0; i < got && buffer[i] != '\r'; ++i)
    if (buffer[i] != '\n') line += buffer[i];
  return line;
}

bool WriteLineFile(std::string_view name, std::string_view text) {
  if (!usable(name)) return false;
  const std::string path(name);
  std::string temporary;
  const int fd = createTemporaryNextTo(path, temporary);
  if (fd < 0) return false;
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
  std::string content(text);
  content += "\r\n";
  bool ok = writeAll(fd, content) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0 || errno == EINTR) && ok;
  if (ok) ok = ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  FlushDirectoryOf(path);
  return true;
}

TFileCopy::Result CopyFile(Ui& ui, const std::string& source, const std::string& target) {
  TFileCopy copier(ui);
  return copier.copy(source, target);
}

bool FlushFile(std::string_view name) {
  const int fd = openRetrying(std::string(name), O_RDONLY);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

void FlushDirectoryOf(std::string_view name) {
  const std::size_t slash = name.rfind('/');
  const std::string directory = slash == std::string_view::npos ? std::string(".")
                                : slash == 0                    ? std::string("/")
                                                                : std::string(name.substr(0, slash));
  const int fd = openRetrying(directory, O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace veltrix
