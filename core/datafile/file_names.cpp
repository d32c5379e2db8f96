#include "core/datafile/file_names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <cerrno>
#include <climits>
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

// The directory part of a name up to and including its last "/"; "" for a name without one.
std::string directoryPrefix(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

// The directory that holds name, as the system opens it: "." for a name without "/", "/" for one
// right below the root.
std::string directoryToOpen(const std::string& name) {
  const std::string prefix = directoryPrefix(name);
  if (prefix.empty()) return ".";
  return prefix.size() == 1 ? prefix : prefix.substr(0, prefix.size() - 1);
}

// The name after following symbolic links to the entry that is no link (or to the place a dangling
// link points to); "" with errno set when that cannot be found (a loop, an unreadable link).
std::string followLinks(const std::string& name) {
  constexpr int kMaxHops = 40;  // the kernel's own limit
  std::string current = name;
  for (int hop = 0;; ++hop) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0) {
      if (errno == ENOENT) return current;  // nothing there: it is written here
      return {};
    }
    if (!S_ISLNK(info.st_mode)) return current;
    if (hop == kMaxHops) {
      errno = ELOOP;
      return {};
    }
    std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX) + 1, '\0');
    const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) >= target.size()) {  // the link changed meanwhile
      errno = EAGAIN;
      return {};
    }
    target.resize(static_cast<std::size_t>(length));
    if (target.empty()) {
      errno = ENOENT;
      return {};
    }
    current = target.front() == '/' ? target : directoryPrefix(current) + target;
  }
}

// Creates a new file under a name nobody else uses, derived from target; -1 with errno set when that
// is not possible. O_NOFOLLOW and O_EXCL together mean that whatever stands under a name already
// (a link included) makes the attempt fail instead of being followed.
int createUniqueTemporary(const std::string& target, std::string_view extension, std::string& temporaryName) {
  static constexpr char kCharacters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::random_device entropy;
  std::uniform_int_distribution<int> pick(0, 35);
  const std::string stem = ChangeExtension(target, extension) + "-";
  for (int attempt = 0; attempt < 64; ++attempt) {
    temporaryName = stem;
    for (int i = 0; i < 8; ++i) temporaryName += kCharacters[pick(entropy)];
    const int fd = openRetrying(temporaryName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Gives the temporary file the owner and permission bits of the file it replaces. False only when
// the new file would end up open to more people than the old one was.
bool takeOverAttributes(int fd, const struct stat& old) {
  if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
    // Allowed for root (and a group change for the owner); otherwise the file simply becomes ours.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  }
  if (::fchmod(fd, old.st_mode & 07777) == 0) return true;
  struct stat now {};
  return ::fstat(fd, &now) == 0 && (now.st_mode & ~old.st_mode & 0777) == 0;
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
  const std::string prefix = directoryPrefix(result);
  const std::string_view fileName = name.substr(prefix.size());
  DIR* listing = ::opendir(directoryToOpen(result).c_str());
  if (listing == nullptr) return result;
  std::string best;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view candidate(entry->d_name);
    if (equalsIgnoringAsciiCase(candidate, fileName) && (best.empty() || candidate < best))
      best = std::string(candidate);
  }
  ::closedir(listing);
  if (best.empty()) return result;
  return prefix + best;
}

std::string ParameterFileName(std::string_view statisticsFile) {
  return FindCaseVariant(CompanionFileName(statisticsFile, "prm"));
}

std::string CompanionFileName(std::string_view name, std::string_view extension) {
  const std::size_t at = extensionStart(name);
  bool letters = false;
  bool allCapitals = true;
  if (at != std::string_view::npos) {
    for (const char c : name.substr(at)) {
      if (c >= 'a' && c <= 'z') allCapitals = false;
      if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) letters = true;
    }
  }
  std::string newExtension(extension);
  if (letters && allCapitals)
    for (char& c : newExtension)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return ChangeExtension(name, newExtension);
}

FileProbe ProbeFile(std::string_view name) {
  FileProbe probe;
  if (!usable(name)) {
    probe.kind = EntryKind::Unusable;
    probe.error = name.empty() ? ENOENT : EINVAL;
    return probe;
  }
  struct stat info {};
  if (::stat(std::string(name).c_str(), &info) != 0) {
    probe.error = errno;
    // A name below a regular file (ENOTDIR) names nothing, like one in a missing directory.
    probe.kind = errno == ENOENT || errno == ENOTDIR ? EntryKind::Missing : EntryKind::Unusable;
    return probe;
  }
  if (S_ISREG(info.st_mode)) {
    probe.kind = EntryKind::RegularFile;
    probe.size = static_cast<std::int64_t>(info.st_size);
  } else {
    probe.kind = S_ISDIR(info.st_mode) ? EntryKind::Directory : EntryKind::Other;
  }
  return probe;
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
  // Non-blocking, so that a named pipe under the name fails at once; only a regular file counts.
  const int fd = openRetrying(std::string(name), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK, 0666);
  if (fd < 0) return false;
  struct stat info {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  return (::close(fd) == 0 || errno == EINTR) && regular;
}

bool CreateNewEmptyFile(std::string_view name) {
  if (!usable(name)) return false;
  const std::string path(name);
  const int fd = openRetrying(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK, 0666);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  if ((::close(fd) != 0 && errno != EINTR) || !synced) {
    ::unlink(path.c_str());
    return false;
  }
  FlushDirectoryOf(path);
  return true;
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
  // Non-blocking, so that a named pipe does not hang the open; only a regular file is read.
  const int fd = openRetrying(std::string(name), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return {};
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return {};
  }
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

bool ReplaceFileSafely(std::string_view name, std::string_view bytes, const ReplaceOptions& options) {
  if (!usable(name)) {
    errno = name.empty() ? ENOENT : EINVAL;
    return false;
  }
  const std::string target = followLinks(std::string(name));
  if (target.empty()) return false;
  struct stat old {};
  bool replacing = false;
  if (::lstat(target.c_str(), &old) == 0) {
    if (!S_ISREG(old.st_mode)) {
      errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
      return false;
    }
    replacing = true;
  } else if (errno != ENOENT) {
    return false;
  }

  std::string temporary;
  const int fd = createUniqueTemporary(target, options.temporaryExtension, temporary);
  if (fd < 0) return false;
  bool ok = (!replacing || takeOverAttributes(fd, old)) && writeAll(fd, bytes) && ::fsync(fd) == 0;
  int failure = ok ? 0 : errno;
  if (::close(fd) != 0 && errno != EINTR && ok) {
    ok = false;
    failure = errno;
  }
  errno = 0;
  if (ok && options.beforeCommit && !options.beforeCommit(target)) {
    ok = false;
    failure = errno != 0 ? errno : ECANCELED;
  }
  if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
    ok = false;
    failure = errno;
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    errno = failure;
    return false;
  }
  FlushDirectoryOf(target);
  return true;
}

namespace {

// Copies source into a new file named backup (through a unique temporary, flushed, renamed).
bool copyToBackup(const std::string& source, const std::string& backup, const struct stat& attributes) {
  const int in = openRetrying(source, O_RDONLY | O_NONBLOCK);
  if (in < 0) return false;
  std::string temporary;
  const int out = createUniqueTemporary(backup, "$$b", temporary);
  if (out < 0) {
    const int failure = errno;
    ::close(in);
    errno = failure;
    return false;
  }
  bool ok = takeOverAttributes(out, attributes);
  std::string block(std::size_t{1} << 20, '\0');
  while (ok) {
    const ssize_t got = ::read(in, block.data(), block.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    ok = writeAll(out, std::string_view(block.data(), static_cast<std::size_t>(got)));
  }
  ok = ok && ::fsync(out) == 0;
  int failure = ok ? 0 : errno;
  if (::close(out) != 0 && ok) {
    ok = false;
    failure = errno;
  }
  ::close(in);
  if (ok && ::rename(temporary.c_str(), backup.c_str()) != 0) {
    ok = false;
    failure = errno;
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    errno = failure;
  }
  return ok;
}

}  // namespace

SwapOutcome SwapInWorkFile(std::string_view statisticsFile, std::string_view workFile,
                           std::string_view backupFile) {
  const std::string work(workFile);
  auto fail = [&work](SwapOutcome outcome) {
    const int failure = errno;
    ::unlink(work.c_str());
    errno = failure;
    return outcome;
  };
  if (!usable(statisticsFile) || !usable(workFile) || !usable(backupFile)) {
    errno = EINVAL;
    return fail(SwapOutcome::WorkFileFailed);
  }
  const std::string target = followLinks(std::string(statisticsFile));
  if (target.empty()) return fail(SwapOutcome::RenameFailed);
  struct stat old {};
  const bool existing = ::stat(target.c_str(), &old) == 0;
  if (existing && !S_ISREG(old.st_mode)) {
    errno = EISDIR;
    return fail(SwapOutcome::RenameFailed);
  }
  {
    const int fd = openRetrying(work, O_WRONLY | O_NOFOLLOW);
    if (fd < 0) return fail(SwapOutcome::WorkFileFailed);
    bool ok = (!existing || takeOverAttributes(fd, old)) && ::fsync(fd) == 0;
    const int failure = errno;
    ::close(fd);
    errno = failure;
    if (!ok) return fail(SwapOutcome::WorkFileFailed);
  }
  const std::string backup(backupFile);
  if (existing && backup != target) {
    struct stat held {};
    if (::lstat(backup.c_str(), &held) == 0) {
      if (S_ISDIR(held.st_mode)) {
        errno = EISDIR;
        return fail(SwapOutcome::BackupFailed);
      }
      if (::unlink(backup.c_str()) != 0) return fail(SwapOutcome::BackupFailed);
    } else if (errno != ENOENT) {
      return fail(SwapOutcome::BackupFailed);
    }
    if (::link(target.c_str(), backup.c_str()) != 0 && !copyToBackup(target, backup, old))
      return fail(SwapOutcome::BackupFailed);
  }
  if (::rename(work.c_str(), target.c_str()) != 0) {
    // A backup linked to the statistics file must not outlive the failure: a later copy onto the
    // backup would write through the link into the statistics file.
    const int failure = errno;
    if (existing && backup != target) ::unlink(backup.c_str());
    errno = failure;
    return fail(SwapOutcome::RenameFailed);
  }
  FlushDirectoryOf(target);
  return SwapOutcome::Swapped;
}

bool WriteLineFile(std::string_view name, std::string_view text) {
  std::string content(text);
  content += "\r\n";
  return ReplaceFileSafely(name, content);
}

TFileCopy::Result CopyFile(Ui& ui, const std::string& source, const std::string& target) {
  TFileCopy copier(ui);
  return copier.copy(source, target);
}

bool FlushFile(std::string_view name) {
  if (!usable(name)) return false;
  const int fd = openRetrying(std::string(name), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

void FlushDirectoryOf(std::string_view name) {
  const int fd = openRetrying(directoryToOpen(std::string(name)), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace veltrix
