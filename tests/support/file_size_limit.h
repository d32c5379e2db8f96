// While an object of this class lives, no regular file of the process can grow beyond the given
// size: a write past it fails with EFBIG, as on a full disk. This makes write errors of regular files
// testable for every user, root included (a write-protected directory does not stop root).
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace veltrix::test {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);  // report EFBIG instead of ending the process
    ::getrlimit(RLIMIT_FSIZE, &m_previous);
    struct rlimit limit = m_previous;
    limit.rlim_cur = bytes;
    m_active = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_previousHandler);
  }
  // False when the limit could not be set (the test then cannot simulate the failure).
  bool active() const { return m_active; }

 private:
  struct rlimit m_previous {};
  void (*m_previousHandler)(int) = nullptr;
  bool m_active = false;
};

}  // namespace veltrix::test
